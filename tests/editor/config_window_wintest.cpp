// The configuration window over a stand-in main window, whose queue holds the refreshes
// posted: one operator's session. The test answers every message box and file dialog.
#include "editor/config_window.h"

#include <gtest/gtest.h>

#include "config/config_file.h"
#include "editor/config_editor.h"
#include "model/clock.h"
#include "model/data_folder.h"
#include "model/scratch_files.h"
#include "model/target_table.h"
#include "support/wine_gui.h"
#include "ui/ui_state.h"

namespace {

// "title|flags|text\n" per message box (flags 48: warning, 16: error, 308: Yes/No, No first);
// "S" per Save As and "O" per Open dialog.
std::wstring prompts, dialogs;
int answer = IDOK;
std::optional<std::wstring> chosen;

HWND control(int id) { return GetDlgItem(configWindow, id); }
void click(std::initializer_list<int> ids) {
    for (int id : ids) SendMessageW(control(id), BM_CLICK, 0, 0);
}

// As the operator edits row i; the type is picked as a list selection and its notice.
void edit(int i, bool on, bool tcp, const std::wstring& host, const wchar_t* port = nullptr) {
    SendMessageW(control(1900 + i), BM_SETCHECK, on, 0);
    SendMessageW(control(2000 + i), CB_SETCURSEL, tcp, 0);
    SendMessageW(configWindow, WM_COMMAND, MAKEWPARAM(2000 + i, CBN_SELCHANGE),
                 LPARAM(control(2000 + i)));
    SetWindowTextW(control(2100 + i), host.c_str());
    if (port) SetWindowTextW(control(2200 + i), port);
}

// Slot i as "on tcp 127.0.0.1:80/10|"; row i as shown, "on tcp 127.0.0.1 [80] 10|", the port
// after "-" when its field is disabled.
std::wstring slot(std::size_t i) {
    const Target t = targetTable.snapshot()[i];
    return (t.enabled ? L"on " : L"off ") + std::wstring(probeTypeText(t.type)) + L" " + t.host +
           L":" + std::to_wstring(t.port) + L"/" + std::to_wstring(t.interval) + L"|";
}
std::wstring row(int i) {
    const std::wstring port = windowText(control(2200 + i));
    return (SendMessageW(control(1900 + i), BM_GETCHECK, 0, 0) ? L"on " : L"off ") +
           windowText(control(2000 + i)) + L" " + windowText(control(2100 + i)) +
           (IsWindowEnabled(control(2200 + i)) ? L" [" + port + L"] " : L" -" + port + L" ") +
           windowText(control(2300 + i)) + L"|";
}

// What a stored table changes besides the table: the two files, and the number of refreshes
// posted so far.
std::wstring effects() {
    static int refreshes = 0;
    for (MSG m{}; PeekMessageW(&m, mainWindow, WM_APP + 1, WM_APP + 1, PM_REMOVE);) ++refreshes;
    const std::string files = readBytes(configFilePath()) + "|" + readBytes(logFilePath());
    return std::wstring(files.begin(), files.end()) + L"|" + std::to_wstring(refreshes);
}

// After the button, every target lost its results and is due at one clock reading since then.
void expectAllResetBy(int button) {
    const std::int64_t start = steadyNowNanos();
    click({button});
    for (const Target& t : targetTable.snapshot())
        EXPECT_TRUE(t.history.empty() && t.nextDue == targetTable.snapshot()[19].nextDue &&
                    t.nextDue >= start && t.nextDue <= steadyNowNanos());
}

// "class id text x y width height|": a list shows its items and dropped-down size, an edit
// field no text; "!" marks a control without the UI font.
std::wstring controlText(HWND c) {
    wchar_t kind[16] = {}, item[32] = {}, line[200];
    GetClassNameW(c, kind, 16);
    const bool list = kind == std::wstring(L"ComboBox");
    RECT r{};
    list ? SendMessageW(c, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&r)) : GetWindowRect(c, &r);
    MapWindowPoints(nullptr, configWindow, reinterpret_cast<POINT*>(&r), 2);
    std::wstring shown = list || kind == std::wstring(L"Edit") ? L"" : windowText(c);
    for (int i = 0; list && SendMessageW(c, CB_GETLBTEXT, i++, LPARAM(item)) > 0;) shown += item;
    std::swprintf(line, 200, L"%ls %d %ls %ld %ld %ld %ld%ls|", kind, GetDlgCtrlID(c),
                  shown.c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                  SendMessageW(c, WM_GETFONT, 0, 0) == LRESULT(uiFont) ? L"" : L"!");
    return line;
}

}  // namespace

// Slot 0 holds a hand-edited interval 7, slot 1 an icmp target's port 80; each slot a result.
TEST(ConfigWindow, OneSessionOfShowingExportingSavingAndImportingTheTable) {
    removeDataFiles();
    mainWindow = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, 0);
    uiFont = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Segoe UI");
    showEditorMessage = [](HWND owner, LPCWSTR text, LPCWSTR title, UINT flags) -> int {
        return prompts += title + (L"|" + std::to_wstring(flags) + L"|") + text +
                          (owner == configWindow ? L"\n" : L" (not owned)\n"),
               answer;
    };
    chooseEditorFile = [](HWND, bool saving) { return dialogs += saving ? L"S" : L"O", chosen; };
    std::vector<Target> table(targetSlotCount);
    table[0] = {false, ProbeType::tcp, L"127.0.0.1", 0, 7, {}, 0};
    table[1] = {false, ProbeType::icmp, L"localhost", 80, 30, {}, 0};
    table[2] = {true, ProbeType::tcp, L"127.0.0.2", 8080, 120, {}, 0};
    targetTable.lock().replaceAll(table, 1);
    for (std::size_t i = 0; i < targetSlotCount; ++i) targetTable.recordResult(i, 1, 5);
    openConfigWindow();

    std::wstring shown = windowText(configWindow) + L" " + sizeText(configWindow) + L"|";
    std::wstring expected =
        L"Config 640x642|Static 0 On 10 10 30 18|Static 0 Type 45 10 60 18|"
        L"Static 0 IP / Hostname 125 10 160 18|Static 0 Port (TCP) 395 10 "
        L"100 18|Static 0 Interval (sec) 505 10 120 18|";
    // Wine trims a list's dropped-down height of 300 to whole items: 276.
    for (int i = 0, y = 32; i < 20; ++i, y += 26) {
        wchar_t controls[400];
        std::swprintf(
            controls, 400,
            L"Button %d  12 %d 20 20|ComboBox %d icmptcp 45 %d 70 276|Edit %d  125 %d 260 22|"
            L"Edit %d  395 %d 90 22|ComboBox %d 25103060120 505 %d 60 276|",
            1900 + i, y + 3, 2000 + i, y, 2100 + i, y, 2200 + i, y, 2300 + i, y);
        expected += controls;
    }
    expected +=
        L"Button 2403 Import... 10 562 110 28|Button 2404 Export... 130 562 110 28|"
        L"Button 2401 Save 440 562 75 28|Button 2402 Close 525 562 75 28|";
    for (HWND c = GetWindow(configWindow, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        shown += controlText(c);
    EXPECT_EQ(shown, expected);
    const HDC dc = CreateCompatibleDC(nullptr);  // labels: black on white, drawn transparent
    SetTextColor(dc, 1);
    LOGBRUSH fill{};
    GetObjectW(HBRUSH(SendMessageW(configWindow, WM_CTLCOLORSTATIC, WPARAM(dc), 0)), sizeof fill,
               &fill);
    EXPECT_EQ(std::vector({GetBkMode(dc), int(GetTextColor(dc)), int(fill.lbColor)}),
              std::vector({TRANSPARENT, 0, 0xFFFFFF}));
    // The interval 7 shows as "10"; an icmp row never shows a port, a tcp row shows its field.
    EXPECT_EQ(row(0) + row(1) + row(2) + row(19),
              L"off tcp 127.0.0.1 [0] 10|off icmp localhost - 30|on tcp 127.0.0.2 [8080] 120|on "
              L"icmp  - 10|");

    // Export writes the rows as shown, not the table; ".xml" is added to a name without an
    // extension, and an existing file of the longer name is replaced only after a Yes.
    const ScratchFolder folder;
    const std::wstring dotted = folder.file(L"data.d");
    std::filesystem::create_directories(dotted);
    for (const wchar_t* name : {L"\\kept.xml", L"\\backup.xml"}) writeBytes(dotted + name, "old");
    for (auto [name, reply] : {std::pair{L"\\kept", IDNO},
                               {L"\\backup", IDYES},
                               {L"\\backup.cfg", IDOK},
                               {L"/slash", IDOK},
                               {L"\\no\\backup.xml", IDOK},
                               {nullptr, IDOK}})
        chosen = name ? std::optional(dotted + name) : std::nullopt, answer = reply, click({2404});
    const std::wstring question = L" already exists.\nDo you want to replace it?\n";
    EXPECT_EQ(prompts + dialogs, L"Config|308|" + dotted + L"\\kept.xml" + question +
                                     L"Config|308|" + dotted + L"\\backup.xml" + question +
                                     L"Config|16|Export failed.\nSSSSSS");
    const std::string exported = readBytes(dotted + L"\\backup.xml");

    expectAllResetBy(2401);  // Save, without edits
    EXPECT_EQ(
        slot(0) + slot(1) + slot(2) + slot(19),
        L"off tcp 127.0.0.1:0/10|off icmp localhost:0/30|on tcp 127.0.0.2:8080/120|on icmp :0/10|");
    EXPECT_EQ(readBytes(dotted + L"\\kept.xml") + readBytes(configFilePath()) +
                  readBytes(dotted + L"\\backup.cfg") + readBytes(dotted + L"/slash.xml"),
              "old" + exported + exported + exported);
    const std::wstring saved = effects();
    EXPECT_TRUE(saved.ends_with(L"|1"));

    // Only the first invalid row is reported, for Save and Export; then nothing else happens.
    prompts = dialogs = L"";
    edit(2, true, true, L"127.0.0.3", L"0");
    edit(6, true, true, L"127.0.0.7", L"70000");
    click({2401, 2404});
    const std::wstring row3 = L"Config validation|48|Row 3: TCP selected but port is invalid.\n";
    EXPECT_EQ(prompts + dialogs + effects(), row3 + row3 + saved);
    // Hosts are stored trimmed and cut to 254 characters, the fields keep what was typed; a
    // port field is emptied and disabled for icmp, and enabled, still empty, for tcp again.
    edit(2, true, true, L"  127.0.0.3 \t", L"65535");
    edit(6, false, false, std::wstring(254, L'h') + L"cut");
    edit(1, false, true, L"localhost");
    click({2401});
    EXPECT_EQ(slot(1) + slot(2) + slot(6),
              L"off tcp localhost:0/30|on tcp 127.0.0.3:65535/120|off icmp " +
                  std::wstring(254, L'h') + L":0/10|");
    EXPECT_EQ(row(1) + row(2) + row(6),
              L"off tcp localhost [] 30|on tcp   127.0.0.3 \t [65535] 120|off icmp " +
                  std::wstring(254, L'h') + L"cut - 10|");
    const std::wstring stored = effects();
    EXPECT_TRUE(stored.ends_with(L"|2"));

    // Imports of files without a configuration, and cancelled dialogs, change nothing.
    prompts = dialogs = L"";
    writeBytes(folder.file(L"empty.xml"), "");
    writeBytes(folder.file(L"hello.xml"), "hello");
    for (const auto& name : std::initializer_list<std::optional<std::wstring>>{
             folder.file(L"empty.xml"), folder.file(L"hello.xml"), dotted, {}})
        chosen = name, click({2403});
    const std::wstring refused = L"Config|16|Import failed (invalid XML).\n";
    EXPECT_EQ(prompts + dialogs + row(2) + effects(),
              refused + refused + refused + L"OOOOon tcp   127.0.0.3 \t [65535] 120|" + stored);
    // An import is taken as read, without validation, into the table, config.xml and the rows.
    std::vector<Target> imported(targetSlotCount);
    imported[5] = {true, ProbeType::tcp, L"127.0.0.5", 0, 7, {}, 0};
    chosen = folder.file(L"import.xml");
    ASSERT_TRUE(writeConfigFile(*chosen, imported));
    expectAllResetBy(2403);
    EXPECT_EQ(slot(2) + slot(5) + row(5) + row(2),
              L"on icmp :0/10|on tcp 127.0.0.5:0/7|on tcp 127.0.0.5 [0] 10|on icmp  - 10|");
    EXPECT_EQ(readBytes(configFilePath()), readBytes(*chosen));
    EXPECT_EQ(logEvents(), std::vector<std::wstring>(
                               {L" | config saved", L" | config saved", L" | config imported"}));
    EXPECT_TRUE(effects().ends_with(L"|3"));
}
