// The configuration window over a stand-in main window, counting the refreshes it is
// asked for: one operator's session, whose steps and what each shows are written in
// files/config-session.txt. The test answers every message box and file dialog; the dialogs
// are the program's own calls, routed to the test.
#include "config/config_store.h"
#include "model/clock.h"
#include "support/import_redirect.h"
#include "support/wine_gui.h"
#include "ui/dpi.h"
// clang-format off
#include <commdlg.h>
// clang-format on

namespace {

std::wstring folder;                 // the scratch folder, "<folder>" in the session
std::optional<std::wstring> chosen;  // what the next file dialog returns; nothing: Cancel
int refreshes = 0;                   // the main window told of a new table

// Noted among the prompts as "Save flags|filter" or "Open flags|filter".
BOOL answerFileDialog(const wchar_t* kind, OPENFILENAMEW* dialog) {
    EXPECT_EQ(dialog->hwndOwner, configWindow);
    prompts += kind + (L" " + std::to_wstring(dialog->Flags) + L"|");
    for (const wchar_t* part = dialog->lpstrFilter; part && *part; part += wcslen(part) + 1)
        prompts += part + std::wstring(L"|");  // pairs of description and pattern
    prompts += L"\n";
    if (!chosen) return FALSE;
    lstrcpynW(dialog->lpstrFile, chosen->c_str(), static_cast<int>(dialog->nMaxFile));
    return TRUE;
}
BOOL WINAPI answerSaveAs(OPENFILENAMEW* dialog) { return answerFileDialog(L"Save", dialog); }
BOOL WINAPI answerOpen(OPENFILENAMEW* dialog) { return answerFileDialog(L"Open", dialog); }

HWND control(int id) { return GetDlgItem(configWindow, id); }

// Row N edited as "on|off icmp|tcp HOST [PORT]" says, as the operator edits it; the type is
// picked as a list selection and its notice.
void edit(int row, const std::wstring& fields) {
    std::wistringstream words(fields);
    std::wstring on, type, host, port;
    words >> on >> type >> std::quoted(host);
    const int i = row - 1;
    CheckDlgButton(configWindow, enableCheckBaseId + i, on == L"on" ? BST_CHECKED : BST_UNCHECKED);
    const HWND list = control(typeComboBaseId + i);
    SendMessageW(list, CB_SETCURSEL, type == L"tcp" ? typeListTcpIndex : 0, 0);
    SendMessageW(configWindow, WM_COMMAND, MAKEWPARAM(typeComboBaseId + i, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    SetWindowTextW(control(hostEditBaseId + i), host.c_str());
    if (words >> std::quoted(port)) SetWindowTextW(control(portEditBaseId + i), port.c_str());
}

// Rows as shown and the slots they edit: "3 on tcp 127.0.0.1 [80] 10 = on tcp 127.0.0.1:80/10";
// the port after "-" when its field is disabled.
std::wstring rows(std::wistream& numbers) {
    std::wstring text;
    for (int row; numbers >> row;) {
        const int i = row - 1;
        const HWND port = control(portEditBaseId + i);
        const Target t = targetTable.snapshot()[static_cast<std::size_t>(i)];
        text += std::to_wstring(row) +
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

// After the button, every target lost its results and is due at one clock reading since then.
void expectAllResetBy(const std::wstring& button) {
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

// Carries out one line of the session; what it shows, for a look.
std::wstring perform(const std::wstring& verb, std::wistream& words, const std::wstring&) {
    std::wstring name, rest;
    words >> name;
    std::getline(words >> std::ws, rest);
    const std::wstring line = verb + L" " + name + L" " + rest;
    const std::wstring path = name == L"config.xml" ? configFilePath() : folder + L"\\" + name;
    if (verb == L"write") writeBytes(path, narrow(rest));
    if (verb == L"export" || verb == L"import" || verb == L"choose") {
        chosen = name == L"cancel" ? std::nullopt : std::optional(name);
        promptAnswer = rest.empty() ? IDOK : rest == L"yes" ? IDYES : IDNO;
        if (verb != L"choose") click(verb == L"export" ? L"Export..." : L"Import...");
    }
    if (verb == L"click") click(name + (rest.empty() ? L"" : L" " + rest));
    if (verb == L"reset-by") expectAllResetBy(name);
    if (verb == L"edit") edit(std::stoi(name), rest);
    if (verb == L"same") {
        EXPECT_EQ(readBytes(path), testFile("editor/files/" + narrow(rest))) << line;
    }
    if (verb == L"open") openConfigWindow();
    std::wistringstream numbers(name + L" " + rest);
    if (verb == L"prompts") return std::exchange(prompts, L"");
    if (verb == L"rows") return rows(numbers);
    if (verb == L"file") return wide(readBytes(path)) + L"\n";
    if (verb == L"log") return eventLines(logEvents(), L"log:");
    if (verb == L"window")  // closed: no window of its class is left
        return !FindWindowW(L"Tarvex_ConfigWnd", nullptr) ? L"closed\n"
               : IsWindowVisible(configWindow)            ? L"shown\n"
                                                          : L"hidden\n";
    if (verb == L"refreshes") return std::to_wstring(refreshes) + L"\n";
    return L"";
}

}  // namespace

TEST(ConfigWindow, OneSessionOfShowingExportingSavingAndImportingTheTable) {
    removeDataFiles();
    mainWindow = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, 0);
    uiFont = uiFontAt(96);
    showEditorMessage = answerPrompt;
    for (const auto& [dialog, standIn] :
         {std::pair("GetSaveFileNameW", &answerSaveAs), std::pair("GetOpenFileNameW", &answerOpen)})
        ASSERT_EQ(redirectImport(systemFunction(L"comdlg32.dll", dialog),
                                 reinterpret_cast<void*>(standIn)),
                  1);
    // A hand-edited interval 7, an icmp target's port 80; each slot a result.
    std::vector<Target> table(targetSlotCount);
    table[0] = {.enabled = false, .type = ProbeType::tcp, .host = L"127.0.0.1", .interval = 7};
    table[1] = {.enabled = false, .host = L"localhost", .port = 80, .interval = 30};
    table[2] = {.type = ProbeType::tcp, .host = L"127.0.0.2", .port = 8080, .interval = 120};
    table[19] = {.type = ProbeType::tcp, .host = L"127.0.0.20", .port = 2019, .interval = 60};
    targetTable.replaceAll(table, 1);
    for (std::size_t i = 0; i < targetSlotCount; ++i) targetTable.recordResult(i, 1, 5);
    openConfigWindow();
    // The window as it opens (the interval 7 shows as 10, icmp shows no port); its labels are
    // black on white, drawn transparent.
    expectAsFile(windowDump(configWindow), "editor/files/config-window-controls.txt");
    const HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 0, 0));
    const LRESULT brush = SendMessageW(configWindow, WM_CTLCOLORSTATIC, WPARAM(dc), 0);
    LOGBRUSH fill{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof fill, &fill);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << "labels";
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0)) << "labels";
    EXPECT_EQ(fill.lbColor, RGB(255, 255, 255)) << "labels";
    setTablePlacedHook([] { ++refreshes; });
    const ScratchFolder scratch;
    folder = scratch.file(L"data.d");
    std::filesystem::create_directories(folder);
    runSession(
        "editor/files/config-session.txt", perform,
        {{L"<folder>", folder}, {L"<tab>", L"\t"}, {L"<tests>", L"" TARVEX_TEST_SOURCE_DIR}});
}
