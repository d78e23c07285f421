// The configuration window over a stand-in main window, whose queue holds the refreshes posted.
// The test answers every message box and file dialog.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "config/config_file.h"
#include "editor/config_editor.h"
#include "editor/config_window.h"
#include "model/clock.h"
#include "model/data_folder.h"
#include "model/scratch_files.h"
#include "model/target_table.h"
#include "model/text_file.h"
#include "support/wine_gui.h"

namespace {

// "title|flags|text\n" per message box (flags 48: warning, 16: error, 308: Yes/No, No first);
// "S" per Save As and "O" per Open dialog.
std::wstring prompts, dialogs;
int answer = IDOK;
std::optional<std::wstring> chosen;

HWND control(int id) { return GetDlgItem(configWindow, id); }
void click(int id) { SendMessageW(control(id), BM_CLICK, 0, 0); }

// "on tcp 127.0.0.1:80/10|": slot i of the table.
std::wstring slot(std::size_t i) {
    const Target t = targetTable.snapshot()[i];
    return (t.enabled ? L"on " : L"off ") + std::wstring(probeTypeText(t.type)) + L" " + t.host +
           L":" + std::to_wstring(t.port) + L"/" + std::to_wstring(t.interval) + L"|";
}

// "on tcp 127.0.0.1 [80] 10|": row i as shown, the port after "-" when its field is disabled.
std::wstring row(int i) {
    const std::wstring port = windowText(control(2200 + i));
    return (SendMessageW(control(1900 + i), BM_GETCHECK, 0, 0) ? L"on " : L"off ") +
           windowText(control(2000 + i)) + L" " + windowText(control(2100 + i)) +
           (IsWindowEnabled(control(2200 + i)) ? L" [" + port + L"] " : L" -" + port + L" ") +
           windowText(control(2300 + i)) + L"|";
}

// As the operator edits row i; the type is picked as a list selection and its notice.
void editRow(int i, bool on, bool tcp, const std::wstring& host, const wchar_t* port) {
    SendMessageW(control(1900 + i), BM_SETCHECK, on, 0);
    SendMessageW(control(2000 + i), CB_SETCURSEL, tcp, 0);
    SendMessageW(configWindow, WM_COMMAND, MAKEWPARAM(2000 + i, CBN_SELCHANGE), 0);
    SetWindowTextW(control(2100 + i), host.c_str());
    if (port) SetWindowTextW(control(2200 + i), port);
}

int refreshes() {  // taken from the stand-in main window's queue
    int count = 0;
    for (MSG m{}; PeekMessageW(&m, mainWindow, WM_APP + 1, WM_APP + 1, PM_REMOVE);) ++count;
    return count;
}

// What an action may change besides the rows: files, refreshes, settings, results, due times.
std::wstring state() {
    const std::string files = fileBytes(configFilePath()) + fileBytes(logFilePath());
    std::wstring all = std::wstring(files.begin(), files.end()) + std::to_wstring(refreshes());
    for (std::size_t i = 0; i < targetSlotCount; ++i) {
        const Target t = targetTable.snapshot()[i];
        all += slot(i) + std::to_wstring(t.history.size()) + L"," + std::to_wstring(t.nextDue);
    }
    return all;
}

// Every target lost its results and is due at one clock reading taken since `start`.
void expectAllReset(std::int64_t start) {
    const std::vector<Target> table = targetTable.snapshot();
    for (const Target& t : table) EXPECT_TRUE(t.history.empty() && t.nextDue == table[0].nextDue);
    EXPECT_TRUE(table[0].nextDue >= start && table[0].nextDue <= steadyNowNanos());
}

// Slot 0 holds a hand-edited interval 7, slot 1 an icmp target's port 80; each slot a result.
void openEditor() {
    removeDataFiles();
    mainWindow = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, 0);
    uiFont = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Segoe UI");
    showEditorMessage = [](HWND owner, LPCWSTR text, LPCWSTR title, UINT flags) -> int {
        EXPECT_EQ(owner, configWindow);
        prompts += title + (L"|" + std::to_wstring(flags) + L"|") + text + L"\n";
        return answer;
    };
    chooseEditorFile = [](HWND, bool saving) { return dialogs += saving ? L"S" : L"O", chosen; };
    std::vector<Target> table(targetSlotCount);
    table[0] = {false, ProbeType::tcp, L"127.0.0.1", 0, 7, {}, 0};
    table[1] = {false, ProbeType::icmp, L"localhost", 80, 30, {}, 0};
    table[2] = {true, ProbeType::tcp, L"127.0.0.2", 8080, 120, {}, 0};
    targetTable.lock().replaceAll(table, 1);
    for (std::size_t i = 0; i < targetSlotCount; ++i) targetTable.recordResult(i, 1, 5);
    openConfigWindow();
    ASSERT_NE(configWindow, nullptr);
}

// "class id text x y width height|": a list shows its items and dropped-down size, an edit
// field no text; "!" marks a control without the UI font.
std::wstring placeOf(HWND c) {
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

TEST(ConfigWindow, BuildsTheGridShowsTheTableSavesAndCloses) {
    openEditor();
    EXPECT_EQ(windowText(configWindow), L"Config");
    EXPECT_EQ(outerSize(configWindow).cx * 10000 + outerSize(configWindow).cy, 6400642);
    EXPECT_EQ(GetWindow(configWindow, GW_OWNER), mainWindow);
    std::wstring shown, expected =
        L"Static 0 On 10 10 30 18|Static 0 Type 45 10 60 18|Static 0 IP / Hostname 125 10 160 "
        L"18|Static 0 Port (TCP) 395 10 100 18|Static 0 Interval (sec) 505 10 120 18|";
    // Wine trims a list's dropped-down height of 300 to whole items: 276.
    for (int i = 0, y = 32; i < 20; ++i, y += 26) {
        wchar_t controls[400];
        std::swprintf(controls, 400,
                      L"Button %d  12 %d 20 20|ComboBox %d icmptcp 45 %d 70 276|Edit %d  125 %d "
                      L"260 22|Edit %d  395 %d 90 22|ComboBox %d 25103060120 505 %d 60 276|",
                      1900 + i, y + 3, 2000 + i, y, 2100 + i, y, 2200 + i, y, 2300 + i, y);
        expected += controls;
    }
    expected += L"Button 2403 Import... 10 562 110 28|Button 2404 Export... 130 562 110 28|"
                L"Button 2401 Save 440 562 75 28|Button 2402 Close 525 562 75 28|";
    for (HWND c = GetWindow(configWindow, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        shown += placeOf(c);
    EXPECT_EQ(shown, expected);

    // The interval 7 shows as "10"; an icmp row never shows a port.
    EXPECT_EQ(row(0) + row(1) + row(2) + row(19), L"off tcp 127.0.0.1 [0] 10|off icmp localhost "
                                                  L"- 30|on tcp 127.0.0.2 [8080] 120|on icmp  - 10|");
    editRow(2, true, false, L"127.0.0.2", nullptr);
    const std::wstring icmp = row(2);
    editRow(2, true, true, L"127.0.0.2", nullptr);
    EXPECT_EQ(icmp + row(2), L"on icmp 127.0.0.2 - 120|on tcp 127.0.0.2 [] 120|");
    SetWindowTextW(control(2202), L"8080");

    const std::int64_t start = steadyNowNanos();
    click(2401);  // Save, without edits
    expectAllReset(start);
    EXPECT_EQ(slot(0) + slot(1) + slot(2) + slot(19), L"off tcp 127.0.0.1:0/10|off icmp localhost:"
                                                      L"0/30|on tcp 127.0.0.2:8080/120|on icmp :0/10|");
    EXPECT_EQ(readTextFile(configFilePath()), configDocumentText(targetTable.snapshot()));
    EXPECT_EQ(logEvents(), std::vector<std::wstring>{L" | config saved"});
    EXPECT_EQ(refreshes(), 1);
    const HWND first = configWindow;
    openConfigWindow();
    EXPECT_TRUE(configWindow == first && countOwnWindows(L"Tarvex_ConfigWnd") == 1);

    // Labels: transparent black text on the white brush.
    const HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, 1);
    LOGBRUSH fill{};
    GetObjectW(HBRUSH(SendMessageW(configWindow, WM_CTLCOLORSTATIC, WPARAM(dc), 0)), 12, &fill);
    EXPECT_EQ(std::vector({GetBkMode(dc), int(GetTextColor(dc)), int(fill.lbColor)}),
              std::vector({TRANSPARENT, 0, 0xFFFFFF}));
    pumpMessagesFor(100ms);
    EXPECT_EQ(pixelAt(configWindow, 620, 20), RGB(255, 255, 255));  // beside "Interval (sec)"

    const std::wstring saved = state();
    SetWindowTextW(control(2100), L"unsaved");
    click(2402);  // Close
    EXPECT_FALSE(IsWindow(first) || configWindow || !prompts.empty());
    EXPECT_EQ(state(), saved);
    openConfigWindow();
    EXPECT_EQ(row(0), L"off tcp 127.0.0.1 [0] 10|");
}

TEST(ConfigWindow, SaveRefusesUnusablePortsAndUnstorableHosts) {
    openEditor();
    const std::wstring unchanged = state(), port = L": TCP selected but port is invalid.\n";
    for (const wchar_t* text : {L"0", L"65536", L"-5", L"abc"}) {
        editRow(5, true, true, L"127.0.0.6", text);
        click(2401);
    }
    // Rows 3, 6 and 7 invalid: only row 3 is reported, and Export opens no dialog.
    editRow(2, true, true, L"127.0.0.2", L"0");
    editRow(6, true, true, L"127.0.0.7", L"70000");
    editRow(13, true, false, L"h\u0142ost", nullptr);
    click(2404);
    click(2401);
    editRow(2, true, true, L"127.0.0.2", L"8080");
    editRow(5, false, true, L"127.0.0.6", L"0");
    editRow(6, true, true, L"127.0.0.7", L"1");
    click(2401);
    const std::wstring row3 = L"Config validation|48|Row 3" + port, row6 = L"Config validation|48|Row 6" + port;
    EXPECT_EQ(prompts, row6 + row6 + row6 + row6 + row3 + row3 +
                           L"Config validation|48|Row 14: the host name holds characters that "
                           L"cannot be stored.\n");
    EXPECT_EQ(dialogs + state(), unchanged);

    std::wstring longHost;
    for (int i = 0; i < 300; ++i) longHost += static_cast<wchar_t>(L'a' + i % 26);
    editRow(7, true, true, L" \t ", L"abc");
    editRow(8, true, true, L"", L"-1");
    editRow(9, true, true, L"127.0.0.10", L"65535");
    editRow(10, true, true, L"127.0.0.11", L"443abc");
    editRow(11, true, true, L"127.0.0.12", L"99999");
    editRow(11, true, false, L"127.0.0.12", nullptr);
    editRow(12, true, false, L"  127.0.0.13 \t", nullptr);
    editRow(13, false, false, longHost, nullptr);
    prompts.clear();
    click(2401);
    std::wstring stored = prompts;
    for (std::size_t i = 5; i < 14; ++i) stored += slot(i);
    EXPECT_EQ(stored, L"off tcp 127.0.0.6:0/10|on tcp 127.0.0.7:1/10|on tcp :0/10|on tcp :0/10|on "
                      L"tcp 127.0.0.10:65535/10|on tcp 127.0.0.11:443/10|on icmp 127.0.0.12:0/10|"
                      L"on icmp 127.0.0.13:0/10|off icmp " + longHost.substr(0, 254) + L":0/10|");
    EXPECT_EQ(row(12), L"on icmp   127.0.0.13 \t - 10|");  // the field keeps what was typed
    EXPECT_EQ(readTextFile(configFilePath()), configDocumentText(targetTable.snapshot()));
}

TEST(ConfigWindow, ExportsTheRowsAndImportsFiles) {
    openEditor();
    const ScratchFolder folder;
    const std::wstring dotted = folder.file(L"data.d"), appended = dotted + L"\\backup.xml";
    std::filesystem::create_directories(dotted);
    editRow(4, true, true, L"127.0.0.5", L"8443");
    std::vector<Target> rows = targetTable.snapshot();  // as shown: no interval 7, no icmp port
    rows[0].interval = 10;
    rows[1].port = 0;
    rows[4] = {true, ProbeType::tcp, L"127.0.0.5", 8443, 10, {}, 0};
    const std::wstring unchanged = state();
    for (auto [name, written] : {std::pair{L"\\backup", L"\\backup.xml"},
                                 {L"\\backup.cfg", L"\\backup.cfg"}, {L"/slash", L"/slash.xml"}}) {
        chosen = dotted + name;
        click(2404);
        EXPECT_EQ(readTextFile(dotted + written), configDocumentText(rows)) << written;
    }
    EXPECT_FALSE(pathExists(dotted + L"\\backup"));
    writeBytes(appended, "old");  // replaced under the appended name only after a Yes
    chosen = dotted + L"\\backup";
    answer = IDNO;
    click(2404);
    EXPECT_EQ(readBytes(appended), "old");
    answer = IDYES;
    click(2404);
    EXPECT_EQ(readTextFile(appended), configDocumentText(rows));
    chosen = dotted + L"\\missing\\backup.xml";
    click(2404);
    const std::wstring question = L"Config|308|" + appended + L" already exists.\nDo you want to replace it?\n";
    EXPECT_EQ(prompts, question + question + L"Config|16|Export failed.\n");

    // Files without a configuration, and cancelled dialogs, change nothing.
    prompts.clear();
    writeBytes(folder.file(L"empty.xml"), "");
    writeBytes(folder.file(L"hello.xml"), "hello");
    for (const wchar_t* name : {L"missing.xml", L"empty.xml", L"hello.xml", L"data.d"}) {
        chosen = folder.file(name);
        click(2403);
    }
    chosen.reset();
    click(2403);
    click(2404);
    const std::wstring refused = L"Config|16|Import failed (invalid XML).\n";
    EXPECT_EQ(prompts + dialogs, refused + refused + refused + refused + L"SSSSSSOOOOOS");
    EXPECT_EQ(state() + row(4), unchanged + L"on tcp 127.0.0.5 [8443] 10|");

    // An import is taken as read, without validation, into the table, config.xml and the rows.
    std::vector<Target> imported(targetSlotCount);
    imported[5] = {true, ProbeType::tcp, L"127.0.0.5", 0, 7, {}, 0};
    chosen = folder.file(L"import.xml");
    ASSERT_TRUE(writeConfigFile(*chosen, imported));
    const std::int64_t start = steadyNowNanos();
    click(2403);
    expectAllReset(start);
    EXPECT_EQ(slot(5) + slot(2) + row(5) + row(4),
              L"on tcp 127.0.0.5:0/7|on icmp :0/10|on tcp 127.0.0.5 [0] 10|on icmp  - 10|");
    EXPECT_EQ(fileBytes(configFilePath()), fileBytes(*chosen));
    EXPECT_EQ(refreshes(), 1);

    // config.xml cannot be written: the new table is in use, and the operator is told.
    std::filesystem::remove(configFilePath());
    std::filesystem::create_directory(configFilePath());
    prompts.clear();
    click(2403);
    SetWindowTextW(control(2205), L"1");
    SetWindowTextW(control(2109), L"127.0.0.10");
    click(2401);
    EXPECT_EQ(row(9) + slot(9), L"on icmp 127.0.0.10 - 10|on icmp 127.0.0.10:0/10|");
    const std::wstring told = L"Config|16|\"config.xml\" could not be written:\n" + configFilePath();
    EXPECT_TRUE(prompts.starts_with(told) && prompts.substr(prompts.size() / 2) == prompts.substr(0, prompts.size() / 2)) << prompts;
    const std::wstring memoryOnly = L" in memory only: config.xml could not be written";
    EXPECT_EQ(logEvents(), (std::vector<std::wstring>{L" | config imported",
                                                      L" | config imported" + memoryOnly,
                                                      L" | config saved" + memoryOnly}));
}
