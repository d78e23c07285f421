// The main window as the operator meets it, in one run of steps: from its start-up to real
// probes.

#include "app/main_window.h"

#include <gtest/gtest.h>

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

constexpr COLORREF green = RGB(0, 170, 0);
constexpr COLORREF red = RGB(220, 0, 0);

std::wstring statusText(const wchar_t* state, const wchar_t* targetsInUse) {
    const std::wstring folder = dataFolderPath();
    return L"Server Status:                   " + std::wstring(state) +
           L"\r\nTargets:                           " + targetsInUse +
           L"\r\n\r\nConfig Path:                     " + folder +
           L"config.xml\r\nLog Path:                         " + folder +
           L"monitor.log\r\n\r\nDeveloped by:                    the Tarvex team\r\n"
           L"Edition:                         Tarvex Desktop " TARVEX_VERSION_TEXT L"\r\n";
}

// The Windows clock as a log entry's time stamp shows it.
std::wstring localTimeText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t text[20];
    std::swprintf(text, 20, L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return text;
}

bool pixelBecomes(HWND window, int x, int y, COLORREF colour) {
    return pumpUntil([&] { return pixelAt(window, x, y) == colour; }, 2s);
}

// The caret stands on the field's last line, and the text's end is in view.
void expectShowsItsEnd(HWND edit) {
    const LRESULT lines = SendMessageW(edit, EM_GETLINECOUNT, 0, 0);
    EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), lines - 1);
    const LRESULT end = SendMessageW(edit, EM_POSFROMCHAR, GetWindowTextLengthW(edit) - 1, 0);
    RECT client{};
    GetClientRect(edit, &client);
    EXPECT_LT(static_cast<short>(HIWORD(end)), client.bottom) << "the end's top";
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

// "6w 2g" as "wwwwwwgg".
std::string runs(const char* counted) {
    std::string colours;
    for (std::istringstream in(counted); in;) {
        int count = 0;
        char colour = '?';
        if (in >> count >> colour) colours.append(count, colour);
    }
    return colours;
}

struct Start {
    const char* before;  // config.xml's bytes; null: no data folder
    bool held;           // another handle holds config.xml open without sharing
    const std::wstring table;
    const char* after;  // config.xml's bytes
    std::wstring firstEvent;
};

}  // namespace

TEST(MainWindow, StartUpHeaderPanelsWindowsServerViewHealthAndProbes) {
    HWND window = nullptr;
    {
        SCOPED_TRACE("start-ups: only a missing or empty config.xml is written anew");
        const std::string defaults = readBytes(TARVEX_TEST_SOURCE_DIR "/config/files/default.xml");
        const char* good = "<target><slot>3</slot><type>TCP</type><host>127.0.0.4</host></target>";
        std::vector<Target> loaded(targetSlotCount);
        loaded[3] = {.type = ProbeType::tcp, .host = L"127.0.0.4"};
        const std::wstring fresh = configDocumentText({});
        const std::wstring started = L" | monitoring auto-start";
        const Start starts[] = {{"", false, fresh, defaults.c_str(), started},
                                {"hello", false, fresh, "hello", started},
                                {good, false, configDocumentText(loaded), good, started},
                                {good, true, fresh, good,
                                 L" | config.xml could not be read; monitoring the default table, "
                                 L"file left unchanged: " +
                                     configFilePath()},
                                {nullptr, false, fresh, defaults.c_str(), started}};
        for (const Start& start : starts) {
            if (window) closeMainWindow(window);
            removeDataFiles();
            if (!start.before) std::filesystem::remove_all(dataFolderLocation());
            if (start.before) writeBytes(dataFolderPath() + L"config.xml", start.before);
            const HANDLE holder = start.held ? CreateFileW(configFilePath().c_str(), GENERIC_READ,
                                                           0, nullptr, OPEN_EXISTING, 0, nullptr)
                                             : nullptr;
            stopWorker = false;  // each start as in a new process
            const std::wstring before = localTimeText();
            window = startMainWindow();
            const std::wstring after = localTimeText();
            if (holder) CloseHandle(holder);
            EXPECT_EQ(configDocumentText(targetTable.snapshot()), start.table) << start.after;
            EXPECT_EQ(readBytes(configFilePath()), start.after);
            EXPECT_EQ(logEvents().front(), start.firstEvent);
            EXPECT_EQ(logEvents().back(), started);
            const std::string logged = readBytes(logFilePath());
            const std::wstring stamp(logged.begin(), logged.begin() + 19);
            EXPECT_LE(before, stamp) << "the local time when it was logged";
            EXPECT_LE(stamp, after) << "the local time when it was logged";
        }
    }
    {
        SCOPED_TRACE("the header");
        EXPECT_EQ(windowText(window),
                  L"Tarvex Desktop " TARVEX_VERSION_TEXT L" - by the Tarvex team");
        EXPECT_TRUE(dataFolderPath().ends_with(L"\\AppData\\Local\\Tarvex\\")) << dataFolderPath();
        std::vector<int> ids;  // the children in creation order
        std::wstring seen;
        for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            ids.push_back(GetDlgCtrlID(c));
            seen += windowText(c) + L" " + placeOf(c) + L"; ";
        }
        EXPECT_EQ(ids,
                  std::vector<int>({serverButtonId, configButtonId, monitorButtonId, logButtonId,
                                    statusButtonId, monitorViewId, statusPanelId}));
        EXPECT_EQ(seen,
                  L"Stop server 46,6,140,32; Config 196,6,140,32; Monitor 346,6,140,32; "
                  L"Log 498,6,82,32; Status 584,6,82,32;  hidden; " +
                      statusText(L"RUNNING", L"0") + L" hidden; ");
        // Background, separator, status lamp, health bar's outline and inside, and beyond it.
        const std::tuple<int, int, COLORREF> header[] = {{5, 63, RGB(250, 250, 250)},
                                                         {5, 64, RGB(210, 210, 210)},
                                                         {23, 25, green},
                                                         {346, 39, RGB(180, 180, 180)},
                                                         {416, 42, green},
                                                         {486, 42, RGB(250, 250, 250)}};
        for (const auto& [x, y, colour] : header)
            EXPECT_TRUE(pixelBecomes(window, x, y, colour)) << x << "," << y;
    }
    {
        SCOPED_TRACE("the panels: window size, monitor view, status panel");
        const auto shown = [&] {
            return sizeText(window) + L" " + placeOf(monitorViewWindow) + L" " +
                   placeOf(statusPanel);
        };
        EXPECT_EQ(shown(), L"696x90 hidden hidden");
        // After each button (0: the window made 120 high).
        const std::pair<int, const wchar_t*> panels[] = {
            {monitorButtonId, L"696x660 10,70,670,555 hidden"},
            {0, L"696x120 10,70,670,60 hidden"},
            {statusButtonId, L"696x810 10,70,670,555 10,635,670,140"},
            {monitorButtonId, L"696x240 hidden 10,65,670,140"},
            {monitorButtonId, L"696x810 10,70,670,555 10,635,670,140"}};
        for (const auto& [button, expected] : panels) {
            if (button) clickButton(window, button);
            if (!button) SetWindowPos(window, nullptr, 0, 0, mainWindowWidth, 120, SWP_NOMOVE);
            EXPECT_EQ(shown(), expected);
        }
    }
    {
        SCOPED_TRACE("the log window as it opens");
        clickButton(window, logButtonId);
        EXPECT_TRUE(IsWindowVisible(logWindow));
        EXPECT_EQ(logEvents(windowText(logEdit)),
                  std::vector<std::wstring>{L" | monitoring auto-start"})
            << "logged before it opened";
        expectShowsItsEnd(logEdit);
        EXPECT_EQ(windowText(logWindow), L"Tarvex - Log");
        EXPECT_EQ(sizeText(logWindow), L"900x520");
        EXPECT_EQ(placeOf(logEdit), L"10,10,872,438");
        const HWND deleteButton = GetDlgItem(logWindow, deleteLogButtonId);
        EXPECT_EQ(windowText(deleteButton) + L" " + placeOf(deleteButton),
                  L"Delete log file 10,455,140,26");
    }
    {
        SCOPED_TRACE("a second press opens no second window");
        clickButton(window, configButtonId);
        const HWND opened[] = {logWindow, configWindow};
        clickButton(window, logButtonId);
        clickButton(window, configButtonId);
        EXPECT_EQ(logWindow, opened[0]);
        EXPECT_EQ(configWindow, opened[1]);
        SendMessageW(configWindow, WM_CLOSE, 0, 0);
        SendMessageW(logWindow, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindowVisible(logWindow));
    }
    {
        SCOPED_TRACE("Stop server, and Delete log file in the hidden log window");
        clickButton(window, serverButtonId);
        EXPECT_EQ(windowText(GetDlgItem(window, serverButtonId)), L"Start server");
        EXPECT_EQ(windowText(statusPanel), statusText(L"STOPPED", L"0"));
        EXPECT_TRUE(pixelBecomes(window, 23, 25, red)) << "the status lamp";
        EXPECT_EQ(logEvents().back(), L" | monitoring stopped");
        EXPECT_EQ(logEvents(windowText(logEdit)).back(), L" | monitoring stopped");
        clickButton(logWindow, deleteLogButtonId);
        EXPECT_EQ(readBytes(logFilePath()), "");
        EXPECT_EQ(GetWindowTextLengthW(logEdit), 0);
    }
    // With monitoring off only the test changes the table. Slots 0, 2, 4, 6 are in use (rows).
    std::vector<Target> table(targetSlotCount);
    table[0] = {.host = L"127.0.0.1", .history = {1}};
    table[1] = {.enabled = false, .host = L"127.0.0.9", .history = {0}};
    table[2] = {.type = ProbeType::tcp, .host = L"127.0.0.2", .port = 443, .history = {1, 0}};
    table[3].history = {0};
    table[4] = {.type = ProbeType::tcp, .host = L"127.0.0.3", .port = 80};
    table[6].host = L"127.0.0.4";
    table[6].history.assign(2355, 1);  // older than the newest 145 a row shows
    for (const auto& [count, result] : {std::pair{1, 0}, {1, 1}, {40, 0}, {100, 1}, {2, 0}, {1, 1}})
        table[6].history.insert(table[6].history.end(), count, result);
    targetTable.lock().entries() = table;
    {
        SCOPED_TRACE("the monitor view");
        const HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        paintMonitorView(recorder, 660, 300);
        std::wstring texts;
        EnumEnhMetaFile(nullptr, CloseEnhMetaFile(recorder), addText, &texts, nullptr);
        EXPECT_EQ(texts,
                  L"32,10 127.0.0.1; 300,10 icmp; 32,36 127.0.0.2; 300,36 tcp:443; "
                  L"32,62 127.0.0.3; 300,62 tcp:80; 32,88 127.0.0.4; 300,88 icmp; ");
        SendMessageW(window, WM_APP_REFRESH, 0, 0);
        UpdateWindow(monitorViewWindow);
        EXPECT_EQ(windowText(statusPanel), statusText(L"STOPPED", L"4"));
        const auto colourAt = [](int x, int y) {
            const COLORREF c = pixelAt(monitorViewWindow, x, y);
            if (c == green) return 'g';
            if (c == red) return 'r';
            if (c == RGB(255, 255, 255)) return 'w';
            return c == RGB(210, 210, 210) ? 'f' : '?';  // the results frame
        };
        // Per row: the lamp at (18, lampY), and x 354 to 653 at barsY (frame at 360 and 649).
        const std::tuple<int, int, const char*> rows[] = {
            {21, 18, "g 6w 1f 287w 2g 4w"},
            {47, 44, "r 6w 1f 285w 2g 2r 4w"},
            {73, 70, "r 6w 1f 288w 1f 4w"},
            {99, 96, "g 6w 2r 2g 80r 200g 4r 2g 4w"},
            {125, 122, "w 6w 1f 288w 1f 4w"}};  // no fifth row
        for (const auto& [lampY, barsY, expected] : rows) {
            std::string painted(1, colourAt(18, lampY));
            painted += ' ';
            for (int x = 354; x < 654; ++x) painted += colourAt(x, barsY);
            const std::string colours(expected);
            EXPECT_EQ(painted, colours.substr(0, 2) + runs(colours.c_str() + 2))
                << "row at " << barsY;
        }
    }
    {
        SCOPED_TRACE(
            "the health bar: red while a target in use has no result or failed its newest");
        const std::tuple<int, std::deque<std::uint8_t>, COLORREF> health[] = {
            {4, {1}, red}, {6, {1}, red}, {2, {1}, green}, {4, {}, red}, {4, {1}, green}};
        for (const auto& [slot, results, colour] : health) {
            targetTable.lock().entries()[slot].history = results;
            PostMessageW(window, WM_APP_REFRESH, 0, 0);
            EXPECT_TRUE(pixelBecomes(window, 416, 42, colour)) << "slot " << slot;
        }
    }
    {
        SCOPED_TRACE("Start server: real probes; nothing listens at the two ports");
        clickButton(window, serverButtonId);
        EXPECT_EQ(windowText(GetDlgItem(window, serverButtonId)), L"Stop server");
        EXPECT_TRUE(pixelBecomes(window, 23, 25, green)) << "the status lamp";
        const std::vector<std::wstring> failed{L" | monitoring started",
                                               L" | 127.0.0.2 | tcp:443 | FAIL",
                                               L" | 127.0.0.3 | tcp:80 | FAIL"};
        EXPECT_TRUE(pumpUntil([&] { return logEvents() == failed; }, 5s)) << "monitor.log";
        const auto shown = [&] { return logEvents(windowText(logEdit)) == failed; };
        EXPECT_TRUE(pumpUntil(shown, 2s)) << "the hidden log window";
        EXPECT_TRUE(pixelBecomes(monitorViewWindow, 649, 44, red));
        EXPECT_EQ(windowText(statusPanel), statusText(L"RUNNING", L"4"));
    }
    {
        SCOPED_TRACE("a large log opens again with the whole lines of its newest 64 KB");
        const std::wstring note = L"(older entries are in " + logFilePath() + L")\r\n";
        std::string file;
        std::wstring newest = note;
        for (int i = 0; i < 2000; ++i) file += std::string(98, 'x') + "\r\r\n";
        for (int i = 0; i < 648; ++i) newest += std::wstring(98, L'x') + L"\r\n";  // 101 bytes each
        writeBytes(logFilePath(), file);
        clickButton(window, logButtonId);
        EXPECT_TRUE(IsWindowVisible(logWindow));
        EXPECT_EQ(windowText(logEdit), newest);
        expectShowsItsEnd(logEdit);
    }
    {
        SCOPED_TRACE("new entries: the field keeps the newest 64 to 160 K characters");
        for (int i = 0; i < 200; ++i) appendLineToLogView(std::wstring(998, L'y').c_str());
        const std::wstring kept = windowText(logEdit);
        EXPECT_TRUE(kept.starts_with(L"(older entries are in ")) << kept.substr(0, 100);
        EXPECT_TRUE(kept.ends_with(std::wstring(998, L'y') + L"\r\n"));
        EXPECT_GT(kept.size(), 64 * 1024u);
        EXPECT_LE(kept.size(), 160 * 1024u);
        EXPECT_GE(SendMessageW(logEdit, EM_GETLIMITTEXT, 0, 0), 160 * 1024);  // never a short field
        expectShowsItsEnd(logEdit);
    }
    closeMainWindow(window);
}
