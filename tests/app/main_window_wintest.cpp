// The main window as the operator meets it, in one run of steps: from its start-up to real
// probes. Most steps write what they saw as text and compare it whole with a file of files/.

#include <map>

#include "app/monitoring.h"
#include "support/wine_gui.h"
#include "view/monitor_view.h"

namespace {

// Green, red, white, the background, the frames, the health bar's outline.
char colourName(COLORREF colour) {
    const std::map<COLORREF, char> names{{RGB(0, 170, 0), 'g'},     {RGB(220, 0, 0), 'r'},
                                         {RGB(255, 255, 255), 'w'}, {RGB(250, 250, 250), 'b'},
                                         {RGB(210, 210, 210), 'f'}, {RGB(180, 180, 180), 'o'}};
    return names.contains(colour) ? names.at(colour) : '?';
}

// The window and its controls; in the main window the header's colours and both logs' entries.
std::wstring screen(HWND window) {
    std::wstring seen = windowDump(window);
    if (window != logWindow) {
        // Background, separator, status lamp, health bar's outline and inside, and beyond it.
        seen += L"header:";
        for (const POINT p : {POINT{5, 63}, {5, 64}, {23, 25}, {346, 39}, {416, 42}, {486, 42}})
            seen += std::wstring(L" ") + wchar_t(colourName(pixelAt(window, p.x, p.y)));
        seen += L"\n" + eventLines(logEvents(), L"monitor.log:");
    }
    return seen + eventLines(logEvents(windowText(logEdit)), L"log window:");
}

void expectScreen(HWND window, const std::string& file) {
    pumpUntil([&] { return asInFiles(screen(window)) == fileText("app/files/" + file); }, 5s);
    expectAsFile(screen(window), "app/files/" + file);
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
            L" " + std::wstring(reinterpret_cast<const wchar_t*>(chars), text.nChars) + L"\n";
    return 1;
}

// Per row: the lamp at (18, y + 3), then the runs of colours from x 354 to 653 at y.
std::wstring rows() {
    std::wstring seen;
    for (int y = 18; y < 140; y += 26) {
        seen += wchar_t(colourName(pixelAt(monitorViewWindow, 18, y + 3)));
        for (int x = 354, end = 354; x < 654; x = end) {
            const COLORREF colour = pixelAt(monitorViewWindow, x, y);
            while (end < 654 && pixelAt(monitorViewWindow, end, y) == colour) ++end;
            seen += L" " + std::to_wstring(end - x) + wchar_t(colourName(colour));
        }
        seen += L"\n";
    }
    return seen;
}

}  // namespace

TEST(MainWindow, StartUpHeaderPanelsWindowsServerViewHealthAndProbes) {
    HWND window = nullptr;
    {
        SCOPED_TRACE("start-ups: only a missing or empty config.xml is written anew");
        const std::string defaults = testFile("config/files/default.xml");
        const char* good = "<target><slot>3</slot><type>TCP</type><host>127.0.0.4</host></target>";
        std::wstring seen;
        // config.xml's bytes (null: no data folder), and whether a handle holds it unshared.
        const std::pair<const char*, bool> starts[] = {
            {"", false}, {"hello", false}, {good, false}, {good, true}, {nullptr, false}};
        for (const auto& [before, held] : starts) {
            if (window) closeMainWindow(window);
            removeDataFiles();
            if (!before) std::filesystem::remove_all(dataFolderLocation());
            if (before) writeBytes(dataFolderPath() + L"config.xml", before);
            const HANDLE holder = held ? CreateFileW(configFilePath().c_str(), GENERIC_READ, 0,
                                                     nullptr, OPEN_EXISTING, 0, nullptr)
                                       : nullptr;
            stopWorker = false;  // each start as in a new process
            const std::wstring from = localTimeText();
            window = startMainWindow();
            const std::wstring to = localTimeText();
            std::vector<std::wstring> events = logEvents();  // without the probes' timed lines
            std::erase_if(events, [](const std::wstring& e) { return e.ends_with(L"| FAIL"); });
            if (holder) CloseHandle(holder);
            const std::string file = readBytes(configFilePath());
            seen += L"config.xml: " +
                    (file == defaults ? L"default.xml" : std::wstring(file.begin(), file.end()));
            for (const Target& target : targetTable.snapshot())
                if (!target.host.empty())
                    seen += L" | in use: " + protocolText(target) + L" " + target.host;
            seen += L"\n" + eventLines(events, L"monitor.log:");
            const std::string logged = readBytes(logFilePath());
            const std::wstring stamp(logged.begin(), logged.begin() + 19);
            EXPECT_LE(from, stamp) << "the local time when it was logged";
            EXPECT_LE(stamp, to) << "the local time when it was logged";
        }
        expectAsFile(seen, "app/files/start-ups.txt");
    }
    {
        SCOPED_TRACE("the header");
        EXPECT_TRUE(dataFolderPath().ends_with(L"\\AppData\\Local\\Tarvex\\")) << dataFolderPath();
        expectScreen(window, "main-window-started.txt");
    }
    {
        SCOPED_TRACE("the panels after each button (0: the window made 120 high)");
        std::wstring seen;
        const int presses[] = {monitorButtonId, 0, statusButtonId, monitorButtonId,
                               monitorButtonId};
        for (const int button : presses) {
            if (button) clickButton(window, button);
            if (!button) SetWindowPos(window, nullptr, 0, 0, mainWindowWidth, 120, SWP_NOMOVE);
            seen += sizeText(window) + L" " + placeOf(monitorViewWindow) + L" " +
                    placeOf(statusPanel) + L"\n";
        }
        expectAsFile(seen, "app/files/main-window-panels.txt");
    }
    {
        SCOPED_TRACE("the log window as it opens; a second press opens no second window");
        clickButton(window, logButtonId);
        EXPECT_TRUE(IsWindowVisible(logWindow));
        expectAsFile(screen(logWindow), "app/files/log-window.txt");  // with what came before
        expectShowsItsEnd(logEdit);
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
        expectScreen(window, "main-window-stopped.txt");
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
        SCOPED_TRACE("the monitor view: texts painted, then lamps and bars");
        const HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        paintMonitorView(recorder, 660, 300);
        std::wstring texts;
        EnumEnhMetaFile(nullptr, CloseEnhMetaFile(recorder), addText, &texts, nullptr);
        SendMessageW(window, WM_APP_REFRESH, 0, 0);
        UpdateWindow(monitorViewWindow);
        expectAsFile(texts + rows(), "app/files/monitor-view.txt");
        expectScreen(window, "main-window-4-in-use.txt");
    }
    {
        SCOPED_TRACE(
            "the health bar: red while a target in use has no result or failed its newest");
        const std::tuple<int, std::deque<std::uint8_t>, char> health[] = {
            {4, {1}, 'r'}, {6, {1}, 'r'}, {2, {1}, 'g'}, {4, {}, 'r'}, {4, {1}, 'g'}};
        for (const auto& [slot, results, colour] : health) {
            targetTable.lock().entries()[slot].history = results;
            PostMessageW(window, WM_APP_REFRESH, 0, 0);
            EXPECT_TRUE(
                pumpUntil([&] { return colourName(pixelAt(window, 416, 42)) == colour; }, 2s))
                << slot;
        }
    }
    {
        SCOPED_TRACE("Start server: real probes; nothing listens at the two ports");
        clickButton(window, serverButtonId);
        expectScreen(window, "main-window-probed.txt");
        EXPECT_TRUE(
            pumpUntil([] { return colourName(pixelAt(monitorViewWindow, 649, 44)) == 'r'; }, 2s));
    }
    {
        SCOPED_TRACE("a large log opens again with the whole lines of its newest 64 KB");
        std::string file;
        std::wstring newest = L"(older entries are in " + logFilePath() + L")\r\n";
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
