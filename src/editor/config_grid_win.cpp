#include <cwchar>

#include "editor/config_editor.h"
#include "model/target_table.h"
#include "ui/accessible.h"
#include "ui/dpi.h"
#include "ui/window_class.h"

RowControls rowEnableCheck{};
RowControls rowTypeCombo{};
RowControls rowHostEdit{};
RowControls rowPortEdit{};
RowControls rowIntervalCombo{};

namespace {

constexpr int intervalChoices[] = {2, 5, 10, 30, 60, 120};
constexpr WPARAM defaultIntervalIndex = 2;  // "10"

struct HeaderLabel {
    const wchar_t* text;
    int x;
    int width;
};

constexpr HeaderLabel headerLabels[] = {
    {L"On", 10, 30},
    {L"Type", 45, 60},
    {L"IP / Hostname", 125, 160},
    {L"Port (TCP)", 395, 100},
    {L"Interval (sec)", 505, 120},
};

struct PushButton {
    const wchar_t* text;
    int x;
    int width;
    int id;
};

constexpr PushButton pushButtons[] = {
    {L"Import...", 10, 110, importButtonId},
    {L"Export...", 130, 110, exportButtonId},
    {L"Save", 440, 75, saveButtonId},
    {L"Close", 525, 75, closeButtonId},
};

constexpr int headerY = 10;
constexpr int firstRowY = 32;
constexpr int rowPitch = 26;
constexpr int buttonY = 562;
constexpr int buttonHeight = 28;
constexpr int droppedListHeight = 300;

// A visible control with the UI font, at its place (given at 96 DPI) scaled to the window's DPI.
HWND createControl(HWND parent, DWORD extendedStyle, const wchar_t* className, DWORD style, int x,
                   int y, int width, int height, int id, const wchar_t* text = L"") {
    const RECT box{x, y, x + width, y + height};
    HWND control =
        createChildWindow(parent, extendedStyle, className, text, WS_CHILD | WS_VISIBLE | style, id,
                          scaledBox(box, dpiOf(parent)));
    keepFixedPlace(control, box);
    return applyUiFont(control);
}

// What a screen reader calls a row's control: "Row 3 host".
void nameForReaders(HWND control, int row, const wchar_t* what) {
    setAccessibleName(control, L"Row " + std::to_wstring(row + 1) + L" " + what);
}

void addListItem(HWND list, const wchar_t* text) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void createRow(HWND window, int row) {
    const int y = firstRowY + rowPitch * row;
    HWND check = createControl(window, 0, L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 12, y + 3, 20,
                               20, enableCheckBaseId + row);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);

    HWND type = createControl(window, 0, L"ComboBox", WS_TABSTOP | CBS_DROPDOWNLIST, 45, y, 70,
                              droppedListHeight, typeComboBaseId + row);
    addListItem(type, L"icmp");
    addListItem(type, L"tcp");
    SendMessageW(type, CB_SETCURSEL, 0, 0);

    HWND host = createControl(window, WS_EX_CLIENTEDGE, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, 125,
                              y, 260, 22, hostEditBaseId + row);
    HWND port = createControl(window, WS_EX_CLIENTEDGE, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, 395,
                              y, 90, 22, portEditBaseId + row);

    HWND interval = createControl(window, 0, L"ComboBox", WS_TABSTOP | CBS_DROPDOWNLIST, 505, y, 60,
                                  droppedListHeight, intervalComboBaseId + row);
    for (int seconds : intervalChoices) {
        wchar_t number[16];
        std::swprintf(number, 16, L"%d", seconds);
        addListItem(interval, number);
    }
    SendMessageW(interval, CB_SETCURSEL, defaultIntervalIndex, 0);

    nameForReaders(check, row, L"on");
    nameForReaders(type, row, L"type");
    nameForReaders(host, row, L"host");
    nameForReaders(port, row, L"port");
    nameForReaders(interval, row, L"interval");
    rowEnableCheck[row] = check;
    rowTypeCombo[row] = type;
    rowHostEdit[row] = host;
    rowPortEdit[row] = port;
    rowIntervalCombo[row] = interval;
    updatePortField(row);
}

void showTarget(int row, const Target& target) {
    const bool tcp = target.type == ProbeType::tcp;
    SendMessageW(rowEnableCheck[row], BM_SETCHECK, target.enabled ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(rowTypeCombo[row], CB_SETCURSEL, static_cast<WPARAM>(tcp ? typeListTcpIndex : 0),
                 0);
    SetWindowTextW(rowHostEdit[row], target.host.c_str());

    wchar_t number[16] = L"";
    if (tcp) std::swprintf(number, 16, L"%u", static_cast<unsigned>(target.port));
    SetWindowTextW(rowPortEdit[row], number);

    // A hand-edited interval that the list does not offer shows as the default.
    std::swprintf(number, 16, L"%d", target.interval);
    const LRESULT found = SendMessageW(rowIntervalCombo[row], CB_FINDSTRINGEXACT,
                                       static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(number));
    SendMessageW(rowIntervalCombo[row], CB_SETCURSEL,
                 found == CB_ERR ? defaultIntervalIndex : static_cast<WPARAM>(found), 0);
    updatePortField(row);
}

}  // namespace

void createConfigGrid(HWND window) {
    for (const HeaderLabel& label : headerLabels) {
        createControl(window, 0, L"STATIC", 0, label.x, headerY, label.width, 18, 0, label.text);
    }
    for (int row = 0; row < configRowCount; ++row) createRow(window, row);
    for (const PushButton& button : pushButtons) {
        createControl(window, 0, L"BUTTON", WS_TABSTOP, button.x, buttonY, button.width,
                      buttonHeight, button.id, button.text);
    }
}

void updatePortField(int row) {
    HWND port = rowPortEdit[row];
    if (!port) return;
    const bool tcp = rowTypeCombo[row] &&
                     SendMessageW(rowTypeCombo[row], CB_GETCURSEL, 0, 0) == typeListTcpIndex;
    EnableWindow(port, tcp);
    if (!tcp) SetWindowTextW(port, L"");
}

void fillConfigRows() {
    // The copy is taken under the table's lock; no control is touched while it is held.
    const std::vector<Target> table = targetTable.snapshot();
    for (int row = 0; row < configRowCount; ++row) {
        const std::size_t slot = static_cast<std::size_t>(row);
        showTarget(row, slot < table.size() ? table[slot] : Target{});
    }
}
