// The main window as the operator meets it, in one run: from its start-up to real probes.

#include "app/main_window.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/monitoring.h"
#include "config/config_file.h"
#include "editor/config_window.h"
#include "log/log_window.h"
#include "model/target_table.h"
#include "support/wine_gui.h"
#include "ui/messages.h"
#include "ui/ui_state.h"
#include "view/monitor_view.h"

namespace {

constexpr COLORREF green = RGB(0, 170, 0), red = RGB(220, 0, 0);

std::wstring statusText(const wchar_t* state, int inUse) {
    const std::wstring folder = dataFolderPath(), b(27, L' ');  // the labels' trailing blanks
    return L"Server Status:" + b.substr(8) + state + L"\r\nTargets:" + b + std::to_wstring(inUse) +
           L"\r\n\r\nConfig Path:" + b.substr(6) + folder + L"config.xml\r\nLog Path:" +
           b.substr(2) + folder + L"monitor.log\r\n\r\nDeveloped by:" + b.substr(7) +
           L"the Tarvex team\r\nEdition:" + b.substr(2) +
           L"Tarvex Desktop " TARVEX_VERSION_TEXT L"\r\n";
}

bool pixelBecomes(HWND window, int x, int y, COLORREF colour) {
    return pumpUntil([&] { return pixelAt(window, x, y) == colour; }, 2s);
}

int CALLBACK addText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM texts) {
    const EMRTEXT& text = reinterpret_cast<const EMREXTTEXTOUTW*>(record)->emrtext;
    const auto* chars = reinterpret_cast<const char*>(record) + text.offString;
    if (record->iType == EMR_EXTTEXTOUTW)
        *reinterpret_cast<std::wstring*>(texts) +=
            std::to_wstring(text.ptlReference.x) + L"," + std::to_wstring(text.ptlReference.y) +
            L" " + std::wstring(reinterpret_cast<const wchar_t*>(chars), text.nChars) + L"; ";
    return 1;
}

TEST(MainWindow, StartUpHeaderPanelsWindowsServerViewHealthAndProbes) {
    const std::string defaults = readBytes(L"" TARVEX_TEST_SOURCE_DIR "/config/files/default.xml");
    const char* good = "<target><slot>3</slot><type>TCP</type><host>127.0.0.4</host></target>";
    std::vector<Target> fresh(targetSlotCount), loaded = fresh;
    loaded[3] = {true, ProbeType::tcp, L"127.0.0.4", 0, 10, {}, 0};
    // config.xml before (null: none), the table read, after: only a missing or empty one is new.
    // clang-format off
    const std::tuple<const char*, std::vector<Target>, std::string> starts[] = {{"", fresh, defaults},
        {"hello", fresh, "hello"}, {good, loaded, good}, {nullptr, fresh, defaults}};
    // clang-format on
    HWND window = nullptr;
    for (const auto& [before, table, after] : starts) {
        if (window) closeMainWindow(window);
        removeDataFiles();
        if (!before) std::filesystem::remove_all(dataFolderPath());  // the program makes it anew
        if (before) writeBytes(configFilePath(), before);
        stopWorker = false;  // each start as in a new process
        window = startMainWindow();
        EXPECT_EQ(configDocumentText(targetTable.snapshot()), configDocumentText(table)) << after;
        EXPECT_EQ(readBytes(configFilePath()), after);
    }

    EXPECT_EQ(windowText(window).rfind(L"Tarvex Desktop " TARVEX_VERSION_TEXT, 0), 0u);
    EXPECT_TRUE(dataFolderPath().ends_with(L"\\AppData\\Local\\Tarvex\\")) << dataFolderPath();
    std::wstring seen;  // the children in creation order
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        seen += std::to_wstring(GetDlgCtrlID(c)) + L' ' + windowText(c) + L' ' + placeOf(c) + L"; ";
    EXPECT_EQ(seen,
              L"1001 Stop server 46,6,140,32; 1002 Config 196,6,140,32; 1003 Monitor 346,6,140,32; "
              L"1004 Log 498,6,82,32; 1005 Status 584,6,82,32; 1200  hidden; 1201 " +
                  statusText(L"RUNNING", 0) + L" hidden; ");
    const std::tuple<int, int, COLORREF> header[] = {{5, 63, 0xFAFAFA}, {5, 64, 0xD2D2D2},
                                                     {23, 25, green},   {346, 39, 0xB4B4B4},
                                                     {416, 42, green},  {486, 42, 0xFAFAFA}};
    for (const auto& [x, y, colour] : header) EXPECT_TRUE(pixelBecomes(window, x, y, colour));

    // Button (1: the window made 120 high), outer height, monitor view and status panel shown.
    const std::tuple<int, int, bool, bool> panels[] = {
        {0, 90, false, false},   {1003, 660, true, false}, {1, 120, true, false},
        {1005, 810, true, true}, {1003, 240, false, true}, {1003, 810, true, true}};
    for (const auto& [button, height, view, panel] : panels) {
        if (button > 1) clickButton(window, button);
        if (button == 1) SetWindowPos(window, nullptr, 0, 0, 696, height, SWP_NOMOVE);
        RECT client{};
        GetClientRect(window, &client);
        const int w = client.right - 20, h = client.bottom;
        EXPECT_EQ(
            sizeText(window) + L" " + placeOf(monitorViewWindow) + L" " + placeOf(statusPanel),
            L"696x" + std::to_wstring(height) + L" " +
                (view ? rectText(10, 70, w, std::max(h - 80 - 150 * panel, 60)) : L"hidden") +
                L" " + (panel ? rectText(10, h - 150, w, 140) : L"hidden"));
    }

    clickButton(window, 1004);
    EXPECT_EQ(windowText(logEdit).substr(19), L" | monitoring auto-start\r\n") << "logged before";
    RECT inside{};
    GetClientRect(logWindow, &inside);
    EXPECT_EQ(windowText(logWindow) + L" " + sizeText(logWindow) + L" " + placeOf(logEdit) + L" " +
                  windowText(GetDlgItem(logWindow, 3002)) + L" " +
                  placeOf(GetDlgItem(logWindow, 3002)),
              L"Tarvex - Log 900x520 " + rectText(10, 10, inside.right - 20, inside.bottom - 55) +
                  L" Delete log file " + rectText(10, inside.bottom - 38, 140, 26));
    clickButton(window, 1002);
    const HWND opened[] = {logWindow, configWindow};  // a second press opens no second window
    for (const int button : {1004, 1002}) clickButton(window, button);
    EXPECT_TRUE(opened[0] == logWindow && opened[1] == configWindow && IsWindow(opened[0]));
    for (HWND each : opened) SendMessageW(each, WM_CLOSE, 0, 0);
    clickButton(window, 1001);
    EXPECT_EQ(windowText(GetDlgItem(window, 1001)), L"Start server");
    EXPECT_TRUE(pixelBecomes(window, 23, 25, red));
    EXPECT_EQ(logEvents(windowText(logEdit)).back(), L" | monitoring stopped") << "while hidden";
    clickButton(logWindow, 3002);  // "Delete log file"
    EXPECT_EQ(readBytes(logFilePath()) + ":" + std::to_string(GetWindowTextLengthW(logEdit)), ":0");

    // With monitoring off only the test changes the table. Slots 0, 2, 4, 6 are in use (rows).
    std::vector<Target> table(targetSlotCount);
    for (int i = 0; i < 2500; ++i) table[6].history.push_back(i % 3 != 0 && i % 7 != 2);
    table[0] = {true, ProbeType::icmp, L"127.0.0.1", 0, 10, {1}, 0};
    table[1] = {false, ProbeType::icmp, L"127.0.0.9", 0, 10, {0}, 0};
    table[2] = {true, ProbeType::tcp, L"127.0.0.2", 443, 10, {1, 0}, 0};
    table[3].history = {0};
    table[4] = {true, ProbeType::tcp, L"127.0.0.3", 80, 10, {}, 0};
    table[6].host = L"127.0.0.4";
    targetTable.lock().entries() = table;
    const HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    paintMonitorView(recorder, 660, 300);
    std::wstring texts;
    EnumEnhMetaFile(nullptr, CloseEnhMetaFile(recorder), addText, &texts, nullptr);
    EXPECT_EQ(texts,
              L"32,10 127.0.0.1; 300,10 icmp; 32,36 127.0.0.2; 300,36 tcp:443; "
              L"32,62 127.0.0.3; 300,62 tcp:80; 32,88 127.0.0.4; 300,88 icmp; ");
    SendMessageW(window, WM_APP_REFRESH, 0, 0);
    UpdateWindow(monitorViewWindow);
    EXPECT_EQ(windowText(statusPanel), statusText(L"STOPPED", 4));
    // Row k (slot 2k): lamp, x 354-653; the newest results (2 px, 145 at most) end at x 650.
    const auto colourAt = [](int x, int y) {
        const COLORREF c = pixelAt(monitorViewWindow, x, y);
        return c == green ? 'g' : c == red ? 'r' : c == 0xFFFFFF ? 'w' : c == 0xD2D2D2 ? 'f' : '?';
    };
    for (const int slot : {0, 2, 4, 6, 8}) {
        const auto& results = table[slot].history;
        const int shown = std::min(static_cast<int>(results.size()), 145);
        std::string expected(1, slot == 8 ? 'w' : shown && results.back() ? 'g' : 'r');
        std::string painted(1, colourAt(18, 21 + 13 * slot));
        for (int x = 354; x < 654; ++x) {
            painted += colourAt(x, 18 + 13 * slot);
            expected += x >= 650 || x < 650 - 2 * shown ? "wf"[x == 360 || x == 649]
                                                        : "rg"[results.end()[x / 2 - 325]];
        }
        EXPECT_EQ(painted, expected) << "slot " << slot;
    }
    // The health bar: red while a target in use has no result or failed its newest probe.
    const std::tuple<int, std::deque<std::uint8_t>, COLORREF> health[] = {
        {4, {1}, red}, {6, {1}, red}, {2, {1}, green}, {4, {}, red}, {4, {1}, green}};
    for (const auto& [slot, results, colour] : health) {
        targetTable.lock().entries()[slot].history = results;
        PostMessageW(window, WM_APP_REFRESH, 0, 0);
        EXPECT_TRUE(pixelBecomes(window, 416, 42, colour)) << slot;
    }
    clickButton(window, 1001);  // real probes; nothing listens at the two ports
    const std::vector<std::wstring> failed{L" | monitoring started",
                                           L" | 127.0.0.2 | tcp:443 | FAIL",
                                           L" | 127.0.0.3 | tcp:80 | FAIL"};
    EXPECT_TRUE(pumpUntil(
        [&] { return logEvents() == failed && logEvents(windowText(logEdit)) == failed; }, 5s));
    EXPECT_TRUE(pixelBecomes(monitorViewWindow, 649, 44, red));

    // A large log opens with the whole lines of its newest 64 KB; the field keeps 160 K at most.
    const std::wstring note = L"(older entries are in " + logFilePath() + L")\r\n", line(98, L'x');
    std::string file;
    std::wstring newest = note;
    for (int i = 0; i < 2000; ++i) file += std::string(98, 'x') + "\r\r\n";
    for (int i = 0; i < 648; ++i) newest += line + L"\r\n";  // 648 entries of 101 bytes
    writeBytes(logFilePath(), file);
    clickButton(window, 1004);
    EXPECT_EQ(windowText(logEdit), newest);
    for (int i = 0; i < 200; ++i) appendLineToLogView(std::wstring(998, L'y').c_str());
    const std::wstring kept = windowText(logEdit);
    EXPECT_TRUE(kept.starts_with(note) && kept.ends_with(L"yy\r\n")) << kept.size();
    EXPECT_TRUE(kept.size() > 64 * 1024 && kept.size() <= 160 * 1024) << kept.size();
    EXPECT_GE(SendMessageW(logEdit, EM_GETLIMITTEXT, 0, 0), 160 * 1024);  // never a short field
    closeMainWindow(window);
}

}  // namespace
