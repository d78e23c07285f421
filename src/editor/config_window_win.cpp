#include "editor/config_window.h"

#include <string>

#include "config/config_store.h"
#include "editor/config_editor.h"
#include "log/event_log.h"
#include "model/data_folder.h"
#include "ui/dialog_keys.h"
#include "ui/dpi.h"
#include "ui/status_colors.h"
#include "ui/ui_state.h"
#include "ui/window_class.h"

HWND configWindow = nullptr;
EditorMessageBox showEditorMessage = MessageBoxW;

namespace {

constexpr wchar_t configClassName[] = L"Tarvex_ConfigWnd";
constexpr int configWindowWidth = 640;
constexpr int configWindowHeight = 642;

// Shared by every opening of the window and kept for the life of the process.
HBRUSH configBrush = nullptr;

LRESULT onCreate(HWND window) {
    configWindow = window;
    setProgramIcons(window);
    if (!configBrush) configBrush = CreateSolidBrush(backgroundColour);
    createConfigGrid(window);
    fillConfigRows();
    return 0;
}

void onSave(HWND window) {
    const auto list = readConfigRows(window);
    if (!list) return;
    // The rows keep their text as typed: blanks around a host stay in its field.
    announceTableChange(window, L"saved", placeAndStoreTable(*list));
}

bool isTypeCombo(int id) { return id >= typeComboBaseId && id < typeComboBaseId + configRowCount; }

LRESULT onCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    switch (id) {
        case saveButtonId: onSave(window); return 0;
        case closeButtonId:
        case IDCANCEL: DestroyWindow(window); return 0;  // "Close" or Escape
        case importButtonId: importConfigFile(window); return 0;
        case exportButtonId: exportConfigRows(window); return 0;
        default:
            if (isTypeCombo(id) && HIWORD(wParam) == CBN_SELCHANGE) {
                updatePortField(id - typeComboBaseId);
                return 0;
            }
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// An edit field draws its text opaque: drawn transparent, a single-line edit leaves the old
// characters behind when text is deleted or scrolled (the same white, so the same pixels).
LRESULT onControlColour(UINT message, WPARAM wParam) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetBkMode(dc, message == WM_CTLCOLOREDIT ? OPAQUE : TRANSPARENT);
    SetBkColor(dc, backgroundColour);
    SetTextColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<LRESULT>(configBrush);
}

LRESULT onDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    followDpiChange(window, wParam, lParam);
    placeFixedChildren(window);
    return 0;
}

LRESULT onDestroy() {
    configWindow = nullptr;
    return 0;
}

LRESULT CALLBACK configWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return onCreate(window);
        case WM_COMMAND: return onCommand(window, message, wParam, lParam);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC: return onControlColour(message, wParam);
        case WM_DESTROY: return onDestroy();
        case WM_ACTIVATE: return restoreFocus(window, wParam, rowHostEdit[0]);  // row 1's host
        case WM_NEXTDLGCTL: return moveFocus(window, wParam, lParam);
        case DM_GETDEFID: return focusedButtonAsDefault(window);
        case WM_DPICHANGED: return onDpiChanged(window, wParam, lParam);
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void openConfigWindow() {
    registerWindowClass(configClassName, guardedProcedure<configWindowProc>,
                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (bringToFront(configWindow)) return;
    const UINT dpi = screenDpi();  // where Windows opens a new window
    HWND window = CreateWindowExW(
        WS_EX_DLGMODALFRAME, configClassName, L"Config", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
        CW_USEDEFAULT, CW_USEDEFAULT, scaled(configWindowWidth, dpi),
        scaled(configWindowHeight, dpi), mainWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window) ShowWindow(window, SW_SHOW);
}

void announceTableChange(HWND window, std::wstring_view action, bool stored) {
    std::wstring event = L"config ";
    event += action;
    if (!stored) event += L" in memory only: config.xml could not be written";
    logEvent(event);
    if (!stored) {
        const std::wstring text = L"\"config.xml\" could not be written:\n" + configFilePath() +
                                  L"\n\nThe new settings are in use, but they will be lost when "
                                  L"Tarvex ends unless they are saved again.";
        showEditorMessage(window, text.c_str(), L"Config", MB_OK | MB_ICONERROR);
    }
}
