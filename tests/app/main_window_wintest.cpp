// The main window as the operator meets it, from its start-ups to real probes: the steps and
// what each shows are written in files/main-window-session.txt, then a large log is opened.

#include <map>

#include "app/monitoring.h"
#include "support/session.h"
#include "view/monitor_view.h"

namespace {

// Green, red, white, the background, the frames, the health bar's outline.
char colourName(COLORREF colour) {
    const std::map<COLORREF, char> names{{RGB(0, 170, 0), 'g'},     {RGB(220, 0, 0), 'r'},
                                         {RGB(255, 255, 255), 'w'}, {RGB(250, 250, 250), 'b'},
                                         {RGB(210, 210, 210), 'f'}, {RGB(180, 180, 180), 'o'}};
    return names.contains(colour) ? names.at(colour) : '?';
}

// The window and its controls; in the main window the header's colours and monitor.log's
// entries; the entries in the log window.
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

// The Windows clock as a log entry's time stamp shows it.
std::string localTimeText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[20];
    std::snprintf(text, 20, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return text;
}

// "start [held] config.xml BYTES" or "start without a data folder": the program started anew
// over that config.xml (held: a handle holds it unshared); shows config.xml afterwards, the
// targets in use, and the log's entries but the probes' timed ones. Its time stamp is the
// Windows clock's.
std::wstring start(std::wistream& words) {
    static HWND window = nullptr;
    std::wstring how, before;
    words >> how;
    if (how == L"held") words >> before;  // "config.xml"
    std::getline(words >> std::ws, before);
    if (window) closeMainWindow(window);
    removeDataFiles();
    if (how == L"without") std::filesystem::remove_all(dataFolderLocation());
    if (how != L"without") writeBytes(dataFolderPath() + L"config.xml", narrow(before));
    const HANDLE holder = how == L"held" ? CreateFileW(configFilePath().c_str(), GENERIC_READ, 0,
                                                       nullptr, OPEN_EXISTING, 0, nullptr)
                                         : nullptr;
    stopWorker = false;  // each start as in a new process
    const std::string from = localTimeText();
    window = startMainWindow();
    const std::string to = localTimeText();
    std::vector<std::wstring> events = logEvents();
    std::erase_if(events, [](const std::wstring& e) { return e.ends_with(L"| FAIL"); });
    if (holder) CloseHandle(holder);
    const std::string file = readBytes(configFilePath());
    const std::string stamp = readBytes(logFilePath()).substr(0, 19);
    EXPECT_LE(from, stamp) << "the local time when it was logged";
    EXPECT_LE(stamp, to) << "the local time when it was logged";
    std::wstring seen =
        L"config.xml: " +
        (file == testFile("config/files/default.xml") ? L"default.xml" : wide(file));
    for (const Target& target : targetTable.snapshot())
        if (!target.host.empty())
            seen += L" | in use: " + protocolText(target) + L" " + target.host;
    return seen + L"\n" + eventLines(events, L"monitor.log:");
}

// Slots 0, 2, 4 and 6 in use; slot 6 with 2500 results, older ones than the 145 a row shows.
void installTable() {
    std::vector<Target> table(targetSlotCount);
    table[0] = {.host = L"127.0.0.1", .history = {1}};
    table[1] = {.enabled = false, .host = L"127.0.0.9", .history = {0}};
    table[2] = {.type = ProbeType::tcp, .host = L"127.0.0.2", .port = 443, .history = {1, 0}};
    table[3].history = {0};
    table[4] = {.type = ProbeType::tcp, .host = L"127.0.0.3", .port = 80};
    table[6].host = L"127.0.0.4";
    table[6].history.assign(2355, 1);
    for (const auto& [count, result] : {std::pair{1, 0}, {1, 1}, {40, 0}, {100, 1}, {2, 0}, {1, 1}})
        table[6].history.insert(table[6].history.end(), count, result);
    targetTable.lock().entries() = table;
    SendMessageW(mainWindow, WM_APP_REFRESH, 0, 0);
    UpdateWindow(monitorViewWindow);
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

// The texts the view paints, where it paints them.
std::wstring paintedTexts() {
    const HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    paintMonitorView(recorder, 660, 300);
    std::wstring texts;
    EnumEnhMetaFile(nullptr, CloseEnhMetaFile(recorder), addText, &texts, nullptr);
    return texts;
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

// The caret stands on the field's last line, and the text's end is in view.
void expectShowsItsEnd(HWND edit) {
    const LRESULT lines = SendMessageW(edit, EM_GETLINECOUNT, 0, 0);
    EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), lines - 1);
    const LRESULT end = SendMessageW(edit, EM_POSFROMCHAR, GetWindowTextLengthW(edit) - 1, 0);
    RECT client{};
    GetClientRect(edit, &client);
    EXPECT_LT(static_cast<short>(HIWORD(end)), client.bottom) << "the end's top";
}

std::wstring perform(const std::wstring& verb, std::wistream& words, const std::wstring& want) {
    std::wstring what;
    if (verb == L"start") return start(words);
    if (verb == L"look" || verb == L"pixel") {
        int x = 0, y = 0;
        words >> what >> x >> y;
        const HWND window = what == L"log"    ? logWindow
                            : what == L"view" ? monitorViewWindow
                                              : mainWindow;
        const auto seen = [&] {
            return verb == L"look" ? asInFiles(screen(window))
                                   : std::wstring(1, colourName(pixelAt(window, x, y))) + L"\n";
        };
        pumpUntil([&] { return seen() == want; }, 5s);
        return seen();
    }
    std::getline(words, what);
    if (verb == L"click") click(what);
    if (verb == L"click") pumpUntil([] { return false; }, 50ms);
    if (verb == L"resize")
        SetWindowPos(mainWindow, nullptr, 0, 0, mainWindowWidth, std::stoi(what), SWP_NOMOVE);
    if (verb == L"panels")
        return sizeText(mainWindow) + L" " + placeOf(monitorViewWindow) + L" " +
               placeOf(statusPanel) + L"\n";
    if (verb == L"end-in-view") expectShowsItsEnd(logEdit);
    if (verb == L"open-again") {  // the log and configuration windows: no second one opens
        const HWND config = configWindow, log = logWindow;
        for (const wchar_t* label : {L"Log", L"Config"}) click(label);
        EXPECT_EQ(logWindow, log);
        EXPECT_EQ(configWindow, config);
    }
    if (verb == L"close") SendMessageW(what == L"log" ? logWindow : configWindow, WM_CLOSE, 0, 0);
    if (verb == L"file") return wide(readBytes(dataFolderPath() + what));
    if (verb == L"table") installTable();
    if (verb == L"painted") return paintedTexts() + rows();
    if (verb == L"results") {
        std::wistringstream results(what);
        int slot = 0;
        results >> slot;
        std::deque<std::uint8_t>& history = targetTable.lock().entries()[slot].history;
        history.clear();
        for (int result; results >> result;) history.push_back(result);
        PostMessageW(mainWindow, WM_APP_REFRESH, 0, 0);
    }
    return L"";
}

}  // namespace

TEST(MainWindow, StartUpsHeaderPanelsWindowsServerViewHealthProbesAndALargeLog) {
    runSession("app/files/main-window-session.txt", perform);
    {
        SCOPED_TRACE("a large log opens again with the whole lines of its newest 64 KB");
        std::string file;
        std::wstring newest = L"(older entries are in " + logFilePath() + L")\r\n";
        for (int i = 0; i < 2000; ++i) file += std::string(98, 'x') + "\r\r\n";
        for (int i = 0; i < 648; ++i) newest += std::wstring(98, L'x') + L"\r\n";  // 101 bytes each
        writeBytes(logFilePath(), file);
        click(L"Log");
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
    closeMainWindow(mainWindow);
}
