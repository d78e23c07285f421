// The configuration window over a stand-in main window, counting the refreshes it is asked
// for: files/config-session.txt. The program's file dialogs are routed to the test.
#include <windows.h>
#include <commdlg.h>

#include "config/config_store.h"
#include "config/document_changes.h"
#include "model/clock.h"
#include "support/import_redirect.h"
#include "support/wine_gui.h"
#include "ui/dpi.h"

namespace {

std::wstring folder;                 // the scratch folder, "<folder>" in the session
std::optional<std::wstring> chosen;  // what the next file dialog returns; nothing: Cancel

// Noted among the prompts as "Save flags|filter" or "Open flags|filter".
BOOL answerFileDialog(const wchar_t* kind, OPENFILENAMEW* dialog) {
    prompts += (dialog->hwndOwner == configWindow ? L"" : L"(not over the configuration window) ") +
               (kind + (L" " + std::to_wstring(dialog->Flags) + L"|"));
    for (const wchar_t* part = dialog->lpstrFilter; part && *part; part += wcslen(part) + 1)
        prompts += part + std::wstring(L"|");  // pairs of description and pattern
    prompts += L"\n";
    if (chosen) lstrcpynW(dialog->lpstrFile, chosen->c_str(), static_cast<int>(dialog->nMaxFile));
    return chosen.has_value();
}
BOOL WINAPI answerSaveAs(OPENFILENAMEW* dialog) { return answerFileDialog(L"Save", dialog); }
BOOL WINAPI answerOpen(OPENFILENAMEW* dialog) { return answerFileDialog(L"Open", dialog); }

HWND control(int id) { return GetDlgItem(configWindow, id); }

// "ROW on|off icmp|tcp HOST [PORT]": the row edited, the type picked as the list notifies it.
void edit(std::wistream& words) {
    int row = 0;
    std::wstring on, type, host, port;
    words >> row >> on >> type >> std::quoted(host);
    const int i = row - 1;
    CheckDlgButton(configWindow, enableCheckBaseId + i, on == L"on" ? BST_CHECKED : BST_UNCHECKED);
    const HWND list = control(typeComboBaseId + i);
    SendMessageW(list, CB_SETCURSEL, type == L"tcp" ? typeListTcpIndex : 0, 0);
    SendMessageW(configWindow, WM_COMMAND, MAKEWPARAM(typeComboBaseId + i, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    SetWindowTextW(control(hostEditBaseId + i), host.c_str());
    if (words >> std::quoted(port)) SetWindowTextW(control(portEditBaseId + i), port.c_str());
}

// "3 on tcp 127.0.0.1 [80] 10 = on tcp 127.0.0.1:80/10"; "-PORT" when its field is disabled.
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

// Presses the button: every target must lose its results and be due at one reading since.
std::wstring resetBy(const std::wstring& button) {
    const std::int64_t start = steadyNowNanos();
    click(button);
    const std::int64_t end = steadyNowNanos();
    std::wstring wrong;
    const std::vector<Target> table = targetTable.snapshot();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (!table[i].history.empty() || table[i].nextDue != table[0].nextDue)
            wrong += L" " + std::to_wstring(i);
    if (table[0].nextDue < start || table[0].nextDue > end) wrong += L" not due at the press";
    return wrong.empty() ? L"all emptied, due at the press\n" : L"kept or apart:" + wrong + L"\n";
}

std::wstring path(const std::wstring& name) {
    return name == L"config.xml" ? configFilePath() : folder + L"\\" + name;
}

std::wstring files(std::wistream& names) {
    std::wstring first, name, shown;
    names >> first;
    shown = wide(changesOf(readBytes(path(first))));
    while (names >> name)
        if (readBytes(path(name)) != readBytes(path(first)))
            shown += name + L" differs: " + wide(changesOf(readBytes(path(name))));
    return shown.ends_with(L"\n") ? shown : shown + L"\n";
}

void answer(std::wistream& words) {
    std::wstring name, reply;
    words >> name >> reply;
    chosen = name == L"cancel" ? std::nullopt : std::optional(name);
    promptAnswer = reply.empty() ? IDOK : reply == L"yes" ? IDYES : IDNO;
}

int refreshes = 0;  // the main window told of a new table

const Verbs verbs = {
    {L"write", action([](std::wistream& w) {
         const std::wstring name = word(w);
         writeBytes(path(name), narrow(rest(w)));
     })},
    {L"export", action([](std::wistream& w) { answer(w), click(L"Export..."); })},
    {L"import", action([](std::wistream& w) { answer(w), click(L"Import..."); })},
    {L"choose", action(answer)},
    {L"click", action([](std::wistream& w) { click(rest(w)); })},
    {L"edit", action(edit)},
    {L"open", action([](std::wistream&) { openConfigWindow(); })},
    {L"reset-by", show([](std::wistream& w) { return resetBy(rest(w)); })},
    {L"prompts", show([](std::wistream&) { return std::exchange(prompts, L""); })},
    {L"rows", show(rows)},
    {L"file", show(files)},
    {L"log", show([](std::wistream&) { return eventLines(logEvents(), L"log:"); })},
    {L"windows", show(windowStates)},
    {L"refreshes", show([](std::wistream&) { return std::to_wstring(refreshes) + L"\n"; })},
};

}  // namespace

TEST(ConfigWindow, OneSessionOfShowingExportingSavingAndImportingTheTable) {
    removeDataFiles();
    mainWindow = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, 0);
    uiFont = uiFontAt(96);
    setTablePlacedHook([] { ++refreshes; });
    showEditorMessage = answerPrompt;
    for (const auto& [dialog, standIn] :
         {std::pair("GetSaveFileNameW", &answerSaveAs), std::pair("GetOpenFileNameW", &answerOpen)})
        ASSERT_EQ(redirectImport(systemFunction(L"comdlg32.dll", dialog), (void*)standIn), 1);
    // A hand-edited interval 7, an icmp target's port 80.
    std::vector<Target> table(targetSlotCount);
    table[0] = {.enabled = false, .type = ProbeType::tcp, .host = L"127.0.0.1", .interval = 7};
    table[1] = {.enabled = false, .host = L"localhost", .port = 80, .interval = 30};
    table[2] = {.type = ProbeType::tcp, .host = L"127.0.0.2", .port = 8080, .interval = 120};
    table[19] = {.type = ProbeType::tcp, .host = L"127.0.0.20", .port = 2019, .interval = 60};
    targetTable.replaceAll(table, 1);
    for (std::size_t i = 0; i < targetSlotCount; ++i) targetTable.recordResult(i, 1, 0, 5, 5);
    openConfigWindow();
    // As it opens: interval 7 shows as 10, icmp no port; labels black, transparent, on white.
    expectAsFile(windowDump(configWindow), "editor/files/config-window-controls.txt");
    const HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 0, 0));
    const auto brush = HBRUSH(SendMessageW(configWindow, WM_CTLCOLORSTATIC, WPARAM(dc), 0));
    LOGBRUSH fill{};
    GetObjectW(brush, sizeof fill, &fill);
    EXPECT_EQ(std::tuple(GetBkMode(dc), GetTextColor(dc), fill.lbColor),
              std::tuple(TRANSPARENT, RGB(0, 0, 0), RGB(255, 255, 255)));
    const ScratchFolder scratch;
    folder = scratch.file(L"data.d");
    std::filesystem::create_directories(folder);
    runSession("editor/files/config-session.txt", verbs,
               {{L"<folder>", folder}, {L"<tab>", L"\t"}});
}
