// The configuration window over a stand-in main window, whose queue holds the refreshes
// posted: one operator's session, step by step. The test answers every message box and file
// dialog; the dialogs are the program's own calls, routed to the test.
#include "editor/config_window.h"

#include <gtest/gtest.h>

#include "config/config_file.h"
#include "editor/config_editor.h"
#include "model/clock.h"
#include "model/target_table.h"
#include "support/import_redirect.h"
#include "support/wine_gui.h"
#include "ui/messages.h"
#include "ui/ui_state.h"
// clang-format off
#include <commdlg.h>
// clang-format on

namespace {

std::wstring prompts;  // "title|flags|text\n" per message box
std::wstring dialogs;  // "Save flags\n" or "Open flags\n" per file dialog
int answer = IDOK;
std::optional<std::wstring> chosen;  // what the next file dialog returns; nothing: Cancel

int WINAPI answerPrompt(HWND owner, LPCWSTR text, LPCWSTR title, UINT flags) {
    EXPECT_EQ(owner, configWindow) << text;
    prompts += title + (L"|" + std::to_wstring(flags) + L"|") + text + L"\n";
    return answer;
}

BOOL answerFileDialog(const wchar_t* kind, OPENFILENAMEW* dialog) {
    EXPECT_EQ(dialog->hwndOwner, configWindow);
    std::wstring filter;  // pairs of description and pattern
    for (const wchar_t* part = dialog->lpstrFilter; part && *part; part += wcslen(part) + 1)
        filter += part + std::wstring(L"|");
    EXPECT_EQ(filter, L"XML Files (*.xml)|*.xml|All Files (*.*)|*.*|");
    dialogs += kind + (L" " + std::to_wstring(dialog->Flags) + L"\n");
    if (!chosen) return FALSE;
    lstrcpynW(dialog->lpstrFile, chosen->c_str(), static_cast<int>(dialog->nMaxFile));
    return TRUE;
}
BOOL WINAPI answerSaveAs(OPENFILENAMEW* dialog) { return answerFileDialog(L"Save", dialog); }
BOOL WINAPI answerOpen(OPENFILENAMEW* dialog) { return answerFileDialog(L"Open", dialog); }

HWND control(int id) { return GetDlgItem(configWindow, id); }
void click(int id) { SendMessageW(control(id), BM_CLICK, 0, 0); }

// As the operator edits a row; the type is picked as a list selection and its notice.
void edit(int row, bool on, bool tcp, const std::wstring& host, const wchar_t* port = nullptr) {
    SendMessageW(control(enableCheckBaseId + row), BM_SETCHECK, on ? BST_CHECKED : 0, 0);
    const HWND type = control(typeComboBaseId + row);
    SendMessageW(type, CB_SETCURSEL, tcp ? 1 : 0, 0);  // the items: "icmp", "tcp"
    SendMessageW(configWindow, WM_COMMAND, MAKEWPARAM(typeComboBaseId + row, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(type));
    SetWindowTextW(control(hostEditBaseId + row), host.c_str());
    if (port) SetWindowTextW(control(portEditBaseId + row), port);
}

// Slot i of the table as "on tcp 127.0.0.1:80/10|".
std::wstring described(const Target& t) {
    return (t.enabled ? L"on " : L"off ") + std::wstring(probeTypeText(t.type)) + L" " + t.host +
           L":" + std::to_wstring(t.port) + L"/" + std::to_wstring(t.interval) + L"|";
}
std::wstring slot(std::size_t i) { return described(targetTable.snapshot()[i]); }

// Row i as shown, "on tcp 127.0.0.1 [80] 10|"; the port after "-" when its field is disabled.
std::wstring row(int i) {
    const HWND port = control(portEditBaseId + i);
    const bool on = SendMessageW(control(enableCheckBaseId + i), BM_GETCHECK, 0, 0);
    return (on ? L"on " : L"off ") + windowText(control(typeComboBaseId + i)) + L" " +
           windowText(control(hostEditBaseId + i)) +
           (IsWindowEnabled(port) ? L" [" + windowText(port) + L"] "
                                  : L" -" + windowText(port) + L" ") +
           windowText(control(intervalComboBaseId + i)) + L"|";
}

// What a stored table changes besides the table: the two files, and the number of refreshes
// posted so far.
std::wstring effects() {
    static int refreshes = 0;
    for (MSG m{}; PeekMessageW(&m, mainWindow, WM_APP_REFRESH, WM_APP_REFRESH, PM_REMOVE);)
        ++refreshes;
    const std::string files = readBytes(configFilePath()) + "|" + readBytes(logFilePath());
    return std::wstring(files.begin(), files.end()) + L"|" + std::to_wstring(refreshes);
}

// After the button, every target lost its results and is due at one clock reading since then.
void expectAllResetBy(int button) {
    const std::int64_t start = steadyNowNanos();
    click(button);
    const std::int64_t end = steadyNowNanos();
    const std::vector<Target> table = targetTable.snapshot();
    for (const Target& t : table) {
        EXPECT_TRUE(t.history.empty());
        EXPECT_EQ(t.nextDue, table[0].nextDue);
    }
    EXPECT_GE(table[0].nextDue, start);
    EXPECT_LE(table[0].nextDue, end);
}

// A list's items, one after the other.
std::wstring itemsOf(HWND list) {
    std::wstring items;
    wchar_t item[32] = {};
    for (int i = 0; SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item)) > 0; ++i)
        items += item + std::wstring(L" ");
    return items;
}

const std::wstring saveAs =
    L"Save " + std::to_wstring(OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT) + L"\n";
const std::wstring openDialogShown =
    L"Open " + std::to_wstring(OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST) + L"\n";
std::wstring problemIn(const wchar_t* row) {
    return L"Config validation|" + std::to_wstring(MB_OK | MB_ICONWARNING) + L"|Row " + row +
           L": TCP selected but port is invalid.\n";
}
const std::wstring exportFailed = L"Config|" + std::to_wstring(MB_OK | MB_ICONERROR) + L"|";

}  // namespace

TEST(ConfigWindow, OneSessionOfShowingExportingSavingAndImportingTheTable) {
    removeDataFiles();
    mainWindow = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, 0);
    uiFont = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Segoe UI");
    showEditorMessage = answerPrompt;
    ASSERT_EQ(redirectImport(systemFunction(L"comdlg32.dll", "GetSaveFileNameW"),
                             reinterpret_cast<void*>(&answerSaveAs)),
              1);
    ASSERT_EQ(redirectImport(systemFunction(L"comdlg32.dll", "GetOpenFileNameW"),
                             reinterpret_cast<void*>(&answerOpen)),
              1);
    // A hand-edited interval 7, an icmp target's port 80; each slot a result.
    std::vector<Target> table(targetSlotCount);
    table[0] = {.enabled = false, .type = ProbeType::tcp, .host = L"127.0.0.1", .interval = 7};
    table[1] = {.enabled = false, .host = L"localhost", .port = 80, .interval = 30};
    table[2] = {.type = ProbeType::tcp, .host = L"127.0.0.2", .port = 8080, .interval = 120};
    table[19] = {.type = ProbeType::tcp, .host = L"127.0.0.20", .port = 2019, .interval = 60};
    targetTable.lock().replaceAll(table, 1);
    for (std::size_t i = 0; i < targetSlotCount; ++i) targetTable.recordResult(i, 1, 5);
    openConfigWindow();
    {
        SCOPED_TRACE("the window as it opens");
        EXPECT_EQ(windowText(configWindow), L"Config");
        EXPECT_EQ(sizeText(configWindow), L"640x642");
        std::wstring labels;  // the controls without an id
        for (HWND c = GetWindow(configWindow, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if (GetDlgCtrlID(c) == 0) labels += windowText(c) + L" " + placeOf(c) + L"|";
            EXPECT_EQ(SendMessageW(c, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(uiFont));
        }
        EXPECT_EQ(labels,
                  L"On 10,10,30,18|Type 45,10,60,18|IP / Hostname 125,10,160,18|"
                  L"Port (TCP) 395,10,100,18|Interval (sec) 505,10,120,18|");
        // Each row: check box, type list, host and port fields, interval list.
        const std::pair<int, const wchar_t*> rows[] = {
            {0, L"12,35,20,20 45,32,70,23 125,32,260,22 395,32,90,22 505,32,60,23 "},
            {1, L"12,61,20,20 45,58,70,23 125,58,260,22 395,58,90,22 505,58,60,23 "},
            {19, L"12,529,20,20 45,526,70,23 125,526,260,22 395,526,90,22 505,526,60,23 "}};
        for (const auto& [i, expected] : rows) {
            std::wstring shown;
            for (const int base : {enableCheckBaseId, typeComboBaseId, hostEditBaseId,
                                   portEditBaseId, intervalComboBaseId})
                shown += placeOf(control(base + i)) + L" ";
            EXPECT_EQ(shown, expected) << "row " << i + 1;
            EXPECT_EQ(itemsOf(control(typeComboBaseId + i)), L"icmp tcp ") << "row " << i + 1;
            EXPECT_EQ(itemsOf(control(intervalComboBaseId + i)), L"2 5 10 30 60 120 ")
                << "row " << i + 1;
        }
        std::wstring buttons;
        for (const int id : {importButtonId, exportButtonId, saveButtonId, closeButtonId})
            buttons += windowText(control(id)) + L" " + placeOf(control(id)) + L"|";
        EXPECT_EQ(buttons,
                  L"Import... 10,562,110,28|Export... 130,562,110,28|Save 440,562,75,28|"
                  L"Close 525,562,75,28|");
        const HDC dc = CreateCompatibleDC(nullptr);  // labels: black on white, drawn transparent
        SetTextColor(dc, RGB(1, 0, 0));
        LOGBRUSH fill{};
        const LRESULT brush = SendMessageW(configWindow, WM_CTLCOLORSTATIC, WPARAM(dc), 0);
        GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof fill, &fill);
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
        EXPECT_EQ(fill.lbColor, RGB(255, 255, 255));
        // The interval 7 shows as "10"; an icmp row never shows a port, a tcp row shows its field.
        EXPECT_EQ(row(0) + row(1) + row(2) + row(19),
                  L"off tcp 127.0.0.1 [0] 10|off icmp localhost - 30|on tcp 127.0.0.2 [8080] 120|"
                  L"on tcp 127.0.0.20 [2019] 60|");
    }

    const ScratchFolder folder;
    const std::wstring dotted = folder.file(L"data.d");
    std::string exported;
    {
        SCOPED_TRACE("Export writes the rows as shown; \".xml\" added asks before it replaces");
        std::filesystem::create_directories(dotted);
        writeBytes(dotted + L"\\kept.xml", "old");
        writeBytes(dotted + L"\\backup.xml", "old");
        const std::pair<const wchar_t*, int> exports[] = {
            {L"\\kept", IDNO}, {L"\\backup", IDYES},        {L"\\backup.cfg", IDOK},
            {L"/slash", IDOK}, {L"\\no\\backup.xml", IDOK}, {nullptr, IDOK}};
        for (const auto& [name, reply] : exports) {
            chosen = name ? std::optional(dotted + name) : std::nullopt;
            answer = reply;
            click(exportButtonId);
        }
        const std::wstring replace =
            L"Config|" + std::to_wstring(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) + L"|" + dotted;
        const std::wstring exists = L" already exists.\nDo you want to replace it?\n";
        EXPECT_EQ(prompts, replace + L"\\kept.xml" + exists + replace + L"\\backup.xml" + exists +
                               exportFailed + L"Export failed.\n");
        EXPECT_EQ(dialogs, saveAs + saveAs + saveAs + saveAs + saveAs + saveAs);
        exported = readBytes(dotted + L"\\backup.xml");
    }
    std::wstring saved;
    {
        SCOPED_TRACE("Save without edits");
        expectAllResetBy(saveButtonId);
        EXPECT_EQ(slot(0) + slot(1) + slot(2) + slot(19),
                  L"off tcp 127.0.0.1:0/10|off icmp localhost:0/30|on tcp 127.0.0.2:8080/120|"
                  L"on tcp 127.0.0.20:2019/60|");
        EXPECT_EQ(readBytes(dotted + L"\\kept.xml"), "old");
        EXPECT_EQ(readBytes(configFilePath()), exported);
        EXPECT_EQ(readBytes(dotted + L"\\backup.cfg"), exported);
        EXPECT_EQ(readBytes(dotted + L"/slash.xml"), exported);
        saved = effects();
        EXPECT_TRUE(saved.ends_with(L"|1")) << "one refresh";
    }
    {
        SCOPED_TRACE("only the first invalid row is reported, for Save and Export");
        prompts = dialogs = L"";
        edit(0, true, true, L"127.0.0.1", L"0");
        edit(2, true, true, L"127.0.0.3", L"0");
        edit(6, true, true, L"127.0.0.7", L"70000");
        edit(19, true, true, L"127.0.0.20", L"");
        click(saveButtonId);
        click(exportButtonId);
        edit(0, true, true, L"127.0.0.1", L"1");
        click(saveButtonId);
        edit(2, true, true, L"  127.0.0.3 \t", L"65535");
        edit(6, true, false, L"127.0.0.7");
        click(saveButtonId);
        EXPECT_EQ(prompts, problemIn(L"1") + problemIn(L"1") + problemIn(L"3") + problemIn(L"20"));
        EXPECT_EQ(dialogs, L"");
        EXPECT_EQ(effects(), saved);
    }
    std::wstring stored;
    {
        SCOPED_TRACE("Save: hosts trimmed and cut to 254 characters, the fields as typed");
        // A port field is emptied and disabled for icmp, and enabled, still empty, for tcp again.
        edit(19, true, true, L"127.0.0.20", L"65535");
        edit(6, false, false, std::wstring(254, L'h') + L"cut");
        edit(1, false, true, L"localhost");
        click(saveButtonId);
        EXPECT_EQ(slot(0) + slot(1) + slot(2) + slot(6) + slot(19),
                  L"on tcp 127.0.0.1:1/10|off tcp localhost:0/30|on tcp 127.0.0.3:65535/120|off "
                  L"icmp " +
                      std::wstring(254, L'h') + L":0/10|on tcp 127.0.0.20:65535/60|");
        ASSERT_TRUE(writeConfigFile(folder.file(L"table.xml"), targetTable.snapshot()));
        EXPECT_EQ(readBytes(configFilePath()), readBytes(folder.file(L"table.xml")));
        EXPECT_EQ(row(1) + row(2) + row(6),
                  L"off tcp localhost [] 30|on tcp   127.0.0.3 \t [65535] 120|off icmp " +
                      std::wstring(254, L'h') + L"cut - 10|");
        stored = effects();
        EXPECT_TRUE(stored.ends_with(L"|2")) << "a second refresh";
    }
    {
        SCOPED_TRACE("imports of files without a configuration, and a cancelled one");
        prompts = dialogs = L"";
        writeBytes(folder.file(L"empty.xml"), "");
        writeBytes(folder.file(L"hello.xml"), "hello");
        for (const auto& name :
             {std::optional(folder.file(L"empty.xml")), std::optional(folder.file(L"hello.xml")),
              std::optional(dotted), std::optional<std::wstring>()}) {
            chosen = name;
            click(importButtonId);
        }
        const std::wstring refused = exportFailed + L"Import failed (invalid XML).\n";
        EXPECT_EQ(prompts, refused + refused + refused);
        EXPECT_EQ(dialogs, openDialogShown + openDialogShown + openDialogShown + openDialogShown);
        EXPECT_EQ(row(2), L"on tcp   127.0.0.3 \t [65535] 120|");
        EXPECT_EQ(effects(), stored);
    }
    {
        SCOPED_TRACE("an import is taken as read, without validation");
        std::vector<Target> imported(targetSlotCount);
        imported[0] = {.host = L"127.0.0.10", .interval = 2};
        imported[5] = {.type = ProbeType::tcp, .host = L"127.0.0.5", .interval = 7};
        imported[19] = {.enabled = false, .type = ProbeType::tcp, .host = L"::1", .port = 1};
        chosen = folder.file(L"import.xml");
        ASSERT_TRUE(writeConfigFile(*chosen, imported));
        expectAllResetBy(importButtonId);
        EXPECT_EQ(slot(0) + slot(2) + slot(5) + slot(19),
                  L"on icmp 127.0.0.10:0/2|on icmp :0/10|on tcp 127.0.0.5:0/7|off tcp ::1:1/10|");
        EXPECT_EQ(row(0) + row(2) + row(5) + row(19),
                  L"on icmp 127.0.0.10 - 2|on icmp  - 10|on tcp 127.0.0.5 [0] 10|off tcp ::1 [1] "
                  L"10|");
        EXPECT_EQ(readBytes(configFilePath()), readBytes(*chosen));
        EXPECT_EQ(logEvents(), std::vector<std::wstring>({L" | config saved", L" | config saved",
                                                          L" | config imported"}));
        EXPECT_TRUE(effects().ends_with(L"|3")) << "a third refresh";
    }
    {
        SCOPED_TRACE("Close, and open again");
        const HWND closed = configWindow;
        click(closeButtonId);
        EXPECT_FALSE(IsWindow(closed));
        EXPECT_EQ(configWindow, nullptr);
        openConfigWindow();
        EXPECT_TRUE(IsWindowVisible(configWindow));
        EXPECT_EQ(row(0) + row(19), L"on icmp 127.0.0.10 - 2|off tcp ::1 [1] 10|");
    }
}
