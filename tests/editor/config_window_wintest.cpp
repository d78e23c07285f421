// The configuration window over a stand-in main window, whose queue holds the refreshes
// posted: one operator's session, step by step. The test answers every message box and file
// dialog; the dialogs are the program's own calls, routed to the test. What each step shows is
// written in files/config-window-STEP.txt.
#include "editor/config_window.h"

#include <gtest/gtest.h>

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

std::wstring seen;    // "title|flags|text" per message box, "Save flags|filter" per file dialog
std::wstring folder;  // the scratch folder, seen as "<folder>"
int answer = IDOK;
std::optional<std::wstring> chosen;  // what the next file dialog returns; nothing: Cancel

std::wstring wide(const std::string& bytes) { return std::wstring(bytes.begin(), bytes.end()); }
std::string dataFile(const char* name) {
    return readBytes(TARVEX_TEST_SOURCE_DIR "/editor/files/" + std::string(name));
}

// Compared as a whole with files/NAME, written as the step should show it.
void expectShown(const std::wstring& shown, const char* name) {
    EXPECT_EQ(shown, wide(dataFile(name))) << name;
}

void record(std::wstring text) {
    for (std::size_t at; (at = text.find(folder)) != std::wstring::npos;)
        text.replace(at, folder.size(), L"<folder>");
    seen += text + L"\n";
}

int WINAPI answerPrompt(HWND owner, LPCWSTR text, LPCWSTR title, UINT flags) {
    EXPECT_EQ(owner, configWindow) << text;
    record(title + (L"|" + std::to_wstring(flags) + L"|") + text);
    return answer;
}

BOOL answerFileDialog(const wchar_t* kind, OPENFILENAMEW* dialog) {
    EXPECT_EQ(dialog->hwndOwner, configWindow);
    std::wstring shown = kind + (L" " + std::to_wstring(dialog->Flags) + L"|");
    for (const wchar_t* part = dialog->lpstrFilter; part && *part; part += wcslen(part) + 1)
        shown += part + std::wstring(L"|");  // pairs of description and pattern
    record(shown);
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
    SendMessageW(type, CB_SETCURSEL, tcp ? typeListTcpIndex : 0, 0);
    SendMessageW(configWindow, WM_COMMAND, MAKEWPARAM(typeComboBaseId + row, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(type));
    SetWindowTextW(control(hostEditBaseId + row), host.c_str());
    if (port) SetWindowTextW(control(portEditBaseId + row), port);
}

// Every control, "id class style|text|place", a check box's state and a list's items after.
std::wstring controls() {
    std::wstring shown;
    for (HWND c = GetWindow(configWindow, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(c, name, 32);
        wchar_t style[16] = {};
        swprintf(style, 16, L"%08lX", GetWindowLongW(c, GWL_STYLE));
        shown += std::to_wstring(GetDlgCtrlID(c)) + L" " + name + L" " + style + L"|" +
                 windowText(c) + L"|" + placeOf(c);
        if (std::wstring(name) == L"Button")
            shown += L"|" + std::to_wstring(SendMessageW(c, BM_GETCHECK, 0, 0));
        wchar_t item[32] = {};
        for (int i = 0; SendMessageW(c, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item)) > 0; ++i)
            shown += L"|" + std::wstring(item);
        const bool uiFontUsed = SendMessageW(c, WM_GETFONT, 0, 0) == LRESULT(uiFont);
        shown += uiFontUsed ? L"\n" : L"|another font\n";
    }
    return shown;
}

// Rows as shown and the slots they edit: "3 on tcp 127.0.0.1 [80] 10 = on tcp 127.0.0.1:80/10";
// the port after "-" when its field is disabled.
std::wstring rows(std::initializer_list<int> shown) {
    std::wstring text;
    for (const int i : shown) {
        const HWND port = control(portEditBaseId + i);
        const Target t = targetTable.snapshot()[static_cast<std::size_t>(i)];
        text += std::to_wstring(i + 1) +
                (IsDlgButtonChecked(configWindow, enableCheckBaseId + i) ? L" on " : L" off ") +
                windowText(control(typeComboBaseId + i)) + L" " +
                windowText(control(hostEditBaseId + i)) +
                (IsWindowEnabled(port) ? L" [" + windowText(port) + L"] "
                                       : L" -" + windowText(port) + L" ") +
                windowText(control(intervalComboBaseId + i)) +
                (t.enabled ? L" = on " : L" = off ") + probeTypeText(t.type) + L" " + t.host +
                L":" + std::to_wstring(t.port) + L"/" + std::to_wstring(t.interval) + L"\n";
    }
    return text;
}

// What a stored table changes besides the table: the two files, and the number of refreshes
// posted so far.
std::wstring effects() {
    static int refreshes = 0;
    for (MSG m{}; PeekMessageW(&m, mainWindow, WM_APP_REFRESH, WM_APP_REFRESH, PM_REMOVE);)
        ++refreshes;
    return wide(readBytes(configFilePath()) + "|" + readBytes(logFilePath())) + L"|" +
           std::to_wstring(refreshes);
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
        SCOPED_TRACE("the window as it opens: the interval 7 shows as 10, icmp shows no port");
        EXPECT_EQ(windowText(configWindow), L"Config");
        EXPECT_EQ(sizeText(configWindow), L"640x642");
        expectShown(controls(), "config-window-controls.txt");
        const HDC dc = CreateCompatibleDC(nullptr);  // labels: black on white, drawn transparent
        SetTextColor(dc, RGB(1, 0, 0));
        LOGBRUSH fill{};
        const LRESULT brush = SendMessageW(configWindow, WM_CTLCOLORSTATIC, WPARAM(dc), 0);
        GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof fill, &fill);
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
        EXPECT_EQ(fill.lbColor, RGB(255, 255, 255));
    }
    const ScratchFolder scratch;
    folder = scratch.file(L"data.d");
    const std::string exported = dataFile("exported.xml");
    {
        SCOPED_TRACE("Export writes the rows as shown; \".xml\" added asks before it replaces");
        std::filesystem::create_directories(folder);
        writeBytes(folder + L"\\kept.xml", "old");
        writeBytes(folder + L"\\backup.xml", "old");
        const std::pair<const wchar_t*, int> exports[] = {
            {L"\\kept", IDNO}, {L"\\backup", IDYES},        {L"\\backup.cfg", IDOK},
            {L"/slash", IDOK}, {L"\\no\\backup.xml", IDOK}, {nullptr, IDOK}};
        for (const auto& [name, reply] : exports) {
            chosen = name ? std::optional(folder + name) : std::nullopt;
            answer = reply;
            click(exportButtonId);
        }
        expectShown(seen, "config-window-export.txt");
        EXPECT_EQ(readBytes(folder + L"\\kept.xml"), "old");
        EXPECT_EQ(readBytes(folder + L"\\backup.xml"), exported);
        EXPECT_EQ(readBytes(folder + L"\\backup.cfg"), exported);
        EXPECT_EQ(readBytes(folder + L"/slash.xml"), exported);
    }
    std::wstring saved;
    {
        SCOPED_TRACE("Save without edits");
        expectAllResetBy(saveButtonId);
        expectShown(rows({0, 1, 2, 19}), "config-window-save.txt");
        EXPECT_EQ(readBytes(configFilePath()), exported);
        saved = effects();
        EXPECT_TRUE(saved.ends_with(L"|1")) << "one refresh";
    }
    {
        SCOPED_TRACE("only the first invalid row is reported, for Save and Export");
        seen = L"";
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
        expectShown(seen, "config-window-invalid.txt");
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
        expectShown(rows({0, 1, 2, 6, 19}), "config-window-trimmed.txt");
        EXPECT_EQ(readBytes(configFilePath()), dataFile("trimmed.xml"));
        stored = effects();
        EXPECT_TRUE(stored.ends_with(L"|2")) << "a second refresh";
    }
    {
        SCOPED_TRACE("imports of files without a configuration, and a cancelled one");
        seen = L"";
        writeBytes(folder + L"\\empty.xml", "");
        writeBytes(folder + L"\\hello.xml", "hello");
        for (const auto& name :
             {std::optional(folder + L"\\empty.xml"), std::optional(folder + L"\\hello.xml"),
              std::optional(folder), std::optional<std::wstring>()}) {
            chosen = name;
            click(importButtonId);
        }
        expectShown(seen + rows({2}), "config-window-refused.txt");
        EXPECT_EQ(effects(), stored);
    }
    {
        SCOPED_TRACE("an import is taken as read, without validation");
        chosen = wide(TARVEX_TEST_SOURCE_DIR "/editor/files/imported.xml");
        expectAllResetBy(importButtonId);
        expectShown(rows({0, 2, 5, 19}), "config-window-imported.txt");
        EXPECT_EQ(readBytes(configFilePath()), dataFile("imported.xml"));
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
        expectShown(rows({0, 19}), "config-window-reopened.txt");
    }
}
