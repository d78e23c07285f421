// The main window from its start-ups to real probes, by mouse and keyboard, read by a screen
// reader in another process (this program again): files/main-window-session.txt; a large log.
// clang-format off
#include <oleacc.h>
#include <commctrl.h>  // after windows.h, which oleacc.h includes
// clang-format on

#include <algorithm>
#include <ctime>
#include <iterator>
#include <map>

#include "app/monitoring.h"
#include "config/config_file.h"
#include "config/document_changes.h"
#include "support/wine_gui.h"
#include "ui/dialog_keys.h"
#include "ui/gdi.h"
#include "view/monitor_view.h"

namespace {

// Green, red, white, the background, the frames, the health bar's outline, a lamp's rim.
char colourName(COLORREF colour) {
    const std::map<COLORREF, char> names{{RGB(0, 170, 0), 'g'},     {RGB(220, 0, 0), 'r'},
                                         {RGB(255, 255, 255), 'w'}, {RGB(250, 250, 250), 'b'},
                                         {RGB(210, 210, 210), 'f'}, {RGB(180, 180, 180), 'o'},
                                         {RGB(80, 80, 80), 'd'}};
    return names.contains(colour) ? names.at(colour) : '?';
}

// The dump; in the main window the header's colours and monitor.log; the log window's unless alike.
std::wstring screen(HWND window, const std::vector<int>& ids) {
    std::wstring seen = windowDump(window, ids);
    const std::vector<std::wstring> file = logEvents(), shown = logEvents(windowText(logEdit));
    const bool same = window != logWindow && file == shown;
    if (window != logWindow) {
        seen += L"header:";
        for (const POINT p : {POINT{5, 63}, {5, 64}, {23, 25}, {346, 39}, {416, 42}, {486, 42}})
            seen += std::wstring(L" ") + wchar_t(colourName(pixelAt(window, p.x, p.y)));
        seen += L"\n" + eventLines(file, same ? L"monitor.log and log window:" : L"monitor.log:");
    }
    return seen + (same ? L"" : eventLines(shown, L"log window:"));
}

// The C runtime's local time as a log entry's time stamp shows it.
std::string localTimeText() {
    const std::time_t now = std::time(nullptr);
    char text[20];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    return text;
}

// A start-up as the session file tells; its time stamp is checked against the local time.
std::wstring start(std::wistream& words) {
    std::wstring how, before;
    words >> how;
    if (how == L"held") words >> before;  // "config.xml"
    std::getline(words >> std::ws, before);
    if (mainWindow) closeMainWindow(mainWindow);
    removeDataFiles();
    if (how == L"without") std::filesystem::remove_all(dataFolderLocation());
    if (how != L"without") writeBytes(configFilePath(), narrow(before));
    const HANDLE holder = how == L"held" ? CreateFileW(configFilePath().c_str(), GENERIC_READ, 0,
                                                       nullptr, OPEN_EXISTING, 0, nullptr)
                                         : nullptr;
    stopWorker = false;  // each start as in a new process
    const std::string from = localTimeText();
    startMainWindow();
    const std::string to = localTimeText();
    std::vector<std::wstring> events = logEvents();
    std::erase_if(events, [](const std::wstring& e) { return e.ends_with(L"| FAIL"); });
    if (holder) CloseHandle(holder);
    const std::string file = readBytes(configFilePath());
    const std::string stamp = readBytes(logFilePath()).substr(0, 19);
    std::wstring seen = L"config.xml: " + (file == defaultDocument() ? L"default" : wide(file));
    for (const Target& target : targetTable.snapshot())
        if (!target.host.empty())
            seen += L" | in use: " + protocolText(target) + L" " + target.host;
    seen += from <= stamp && stamp <= to ? L" | logged at local time" : L" | logged " + wide(stamp);
    return seen + L"\n" + eventLines(events, L"monitor.log:");
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

// Per row: the lamp, then the runs of colours from x 354 to 653.
std::wstring rows() {
    std::wstring seen;
    for (int y = 18; y < 120; y += 26) {
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

// The caret on the last line, and the line at the field's bottom edge the last (or, after the
// final line end, the one before).
bool endInView(HWND edit) {
    const LRESULT lines = SendMessageW(edit, EM_GETLINECOUNT, 0, 0);
    RECT client{};
    GetClientRect(edit, &client);
    const LRESULT bottom = SendMessageW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(2, client.bottom - 2));
    return SendMessageW(edit, EM_LINEFROMCHAR, WPARAM(-1), 0) == lines - 1 &&
           HIWORD(bottom) >= lines - 2;
}

constexpr wchar_t readerOutput[] = L"TARVEX_READER_OUTPUT";  // set: this process is the reader
std::wstring readerFile;  // where the reader writes what it read and heard

VARIANT childId(LONG child) {
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = child;
    return id;
}

// "role|name|value|description" of a client object (child 0) or of one of its items.
std::wstring describe(IAccessible* object, LONG child) {
    const VARIANT id = childId(child);
    VARIANT role{};
    wchar_t text[64] = L"";
    if (object->get_accRole(id, &role) == S_OK) GetRoleTextW(role.lVal, text, 64);
    std::wstring line = text;
    for (auto part : {&IAccessible::get_accName, &IAccessible::get_accValue,
                      &IAccessible::get_accDescription}) {
        BSTR answer = nullptr;
        (object->*part)(id, &answer);
        line += L"|" + std::wstring(answer ? answer : L"");
        SysFreeString(answer);
    }
    return line + L"\n";
}

// The client object of `window` and its children `first` to `last` (or its last child); with
// `walk`, how a reader walks them: the children counted, the first and last child, the ones
// after the first two, and the item at the health bar's centre.
std::wstring readClient(HWND window, LONG first, LONG last, bool walk = false) {
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
    std::wstring text;
    LONG count = 0, x = 0, y = 0, width = 0, height = 0;
    object->get_accChildCount(&count);
    for (LONG child = first; child <= std::min(last, count); ++child)
        text += describe(object, child);
    if (walk) {
        text += L"walk: " + std::to_wstring(count) + L" children";
        for (const auto& [direction, from] : {std::pair{NAVDIR_FIRSTCHILD, 0L},
                                              {NAVDIR_LASTCHILD, 0L},
                                              {NAVDIR_NEXT, 1L},
                                              {NAVDIR_NEXT, 2L}}) {
            VARIANT end{};
            object->accNavigate(direction, childId(from), &end);
            HWND reached = nullptr;  // past the drawn items the walk reaches child windows
            IAccessible* other = nullptr;
            if (end.vt == VT_DISPATCH &&
                end.pdispVal->QueryInterface(__uuidof(IAccessible),
                                             reinterpret_cast<void**>(&other)) == S_OK) {
                WindowFromAccessibleObject(other, &reached);
                other->Release();
            }
            text += L", " + (end.vt == VT_I4 ? std::to_wstring(end.lVal)
                             : reached       ? L"window " + std::to_wstring(GetDlgCtrlID(reached))
                                             : L"none");
            VariantClear(&end);
        }
        VARIANT found{};
        object->accLocation(&x, &y, &width, &height, childId(2));
        object->accHitTest(x + width / 2, y + height / 2, &found);
        text += L"; at the bar " + std::to_wstring(found.lVal) + L"\n";
    }
    object->Release();
    return text;
}

std::vector<std::wstring> heard;  // in any order: reading one change may take the next first

// A changed value anywhere; the view's items as they are selected and focused.
void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    IAccessible* source = nullptr;
    VARIANT id{};
    if (event != EVENT_OBJECT_VALUECHANGE && (child <= 0 || GetDlgCtrlID(window) != monitorViewId))
        return;
    if (AccessibleObjectFromEvent(window, object, child, &source, &id) != S_OK) return;
    const std::map<DWORD, std::wstring> kinds{{EVENT_OBJECT_VALUECHANGE, L"changed: "},
                                              {EVENT_OBJECT_FOCUS, L"focused: "},
                                              {EVENT_OBJECT_SELECTION, L"selected: "}};
    heard.push_back(kinds.at(event) + describe(source, id.lVal));
    source->Release();
}

// The reader: reads the header, the view's first rows and row 3's host, listens, writes it down.
const bool isReader = [] {
    wchar_t output[MAX_PATH];
    if (!GetEnvironmentVariableW(readerOutput, output, MAX_PATH)) return false;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HWND main = FindWindowW(L"Tarvex_MainWnd", nullptr);
    std::wstring read =
        readClient(main, 1, 2, true) + readClient(GetDlgItem(main, monitorViewId), 0, 2) +
        readClient(GetDlgItem(FindWindowW(L"Tarvex_ConfigWnd", nullptr), hostEditBaseId + 2), 0, 0);
    for (const DWORD event : {EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION})
        SetWinEventHook(event, event, nullptr, hear, 0, 0,
                        WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"TarvexReaderReady"));
    pumpUntil([] { return heard.size() >= 4; }, 20s);
    std::sort(heard.begin(), heard.end());
    for (const std::wstring& change : heard) read += change;
    IAccessible* view = nullptr;  // the focused and the selected item after the events
    AccessibleObjectFromWindow(GetDlgItem(main, monitorViewId), OBJID_CLIENT, __uuidof(IAccessible),
                               reinterpret_cast<void**>(&view));
    VARIANT focused{}, selected{}, state{};
    view->get_accFocus(&focused);
    view->get_accSelection(&selected);
    view->get_accState(childId(selected.lVal), &state);
    read += L"focus " + std::to_wstring(focused.lVal) + L", selection " +
            std::to_wstring(selected.lVal) + L":" +
            (state.lVal & STATE_SYSTEM_SELECTED ? L" selected" : L"") +
            (state.lVal & STATE_SYSTEM_FOCUSED ? L" focused" : L"") + L"\n";
    writeBytes(output, narrow(read));
    ExitProcess(0);
}();

// The controls' texts (and a list's items) that do not fit the control's box in its font.
std::wstring cutTexts(HWND window) {
    static const HDC dc = CreateCompatibleDC(nullptr);
    std::wstring cut;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        COMBOBOXINFO parts{.cbSize = sizeof(COMBOBOXINFO)};
        if (!GetComboBoxInfo(c, &parts)) GetClientRect(c, &parts.rcItem);
        const SelectGuard font(dc, HFONT(SendMessageW(c, WM_GETFONT, 0, 0)));
        std::vector<std::wstring> texts{windowText(c)};
        wchar_t item[64];
        for (int i = 0; SendMessageW(c, CB_GETLBTEXT, i++, LPARAM(item)) > 0;)
            texts.push_back(item);
        for (const std::wstring& text : texts) {
            RECT need = parts.rcItem;
            DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
            if (need.right > parts.rcItem.right || need.bottom > parts.rcItem.bottom)
                cut += text + L"; ";
        }
    }
    return cut;
}

int iconSize(HWND window, WPARAM which) {
    ICONINFO parts{};
    GetIconInfo(HICON(SendMessageW(window, WM_GETICON, which, 0)), &parts);
    BITMAP colours{};
    return GetObjectW(parts.hbmColor, sizeof colours, &colours) ? colours.bmWidth : 0;
}

HANDLE reader = nullptr;

// A tooltip shown: the mouse's, or the keyboard's with its corner in the view; its first line
// (the row's host and protocol) and how many more lines it has.
BOOL CALLBACK seenTip(HWND window, LPARAM shown) {
    wchar_t name[32] = L"";
    GetClassNameW(window, name, 32);
    TTTOOLINFOW tool{.cbSize = sizeof tool};
    if (lstrcmpiW(name, TOOLTIPS_CLASSW) || !IsWindowVisible(window)) return TRUE;
    SendMessageW(window, TTM_ENUMTOOLSW, 0, LPARAM(&tool));  // the keyboard's has one tool
    const bool keyboard = tool.uFlags & TTF_TRACK;
    POINT corner{};
    ClientToScreen(window, &corner);
    ScreenToClient(monitorViewWindow, &corner);
    const std::wstring text = windowText(window);
    *reinterpret_cast<std::wstring*>(shown) =
        (keyboard
             ? L"keyboard tip at " + std::to_wstring(corner.x) + L"," + std::to_wstring(corner.y)
             : L"mouse tip") +
        L": " + text.substr(0, text.find(L"\r\n")) + L" and " +
        std::to_wstring(std::ranges::count(text, L'\n')) + L" lines more\n";
    return FALSE;
}

// Presses a key `times` as the keyboard does; after each, the focused control: its id, its text
// (not the log's), and whether it is checked.
std::wstring keys(std::wistream& words) {
    const std::map<std::wstring, UINT> named{
        {L"Enter", VK_RETURN},  {L"Space", VK_SPACE}, {L"Tab", VK_TAB},
        {L"Shift+Tab", VK_TAB}, {L"Down", VK_DOWN},   {L"Escape", VK_ESCAPE},
        {L"End", VK_END},       {L"Ctrl+C", 'C'},     {L"Ctrl+Shift+C", 'C'}};
    std::wstring key, shown;
    int times = 1, last = 0;
    words >> key >> times;
    if (key.size() > 1 && !named.contains(key)) sessionMistake(L"no key named \"" + key + L"\"");
    BYTE state[256] = {};
    state[VK_SHIFT] = key.find(L"Shift") != key.npos ? 0x80 : 0;
    state[VK_CONTROL] = key.starts_with(L"Ctrl") ? 0x80 : 0;
    for (int i = 0; i < times; ++i) {
        SetKeyboardState(state);
        const UINT code = key.size() == 1 ? key[0] : named.at(key);
        PostMessageW(GetFocus(), WM_KEYDOWN, code, 1);
        PostMessageW(GetFocus(), WM_KEYUP, code, 0xC0000001);
        for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
            dispatchUiMessage(message);
        const HWND focus = GetFocus();
        const int id = GetDlgCtrlID(focus);
        shown += (i == 0 ? L"" : id > last ? L", " : L"\n") + std::to_wstring(id);
        shown += focus == logEdit ? L"" : L" \"" + windowText(focus) + L"\"";
        if (SendMessageW(focus, BM_GETCHECK, 0, 0) == BST_CHECKED) shown += L" checked";
        last = id;
    }
    return shown + L"\n";
}

// "WINDOW [ID ...]": the window's dump (only those controls), `whole`: with what screen() adds.
Verb look(bool whole) {
    return waited([whole](std::wistream& words) {
        const HWND window = windowNamed(word(words));
        const std::vector<int> ids(std::istream_iterator<int, wchar_t>(words), {});
        return [=] { return asInFiles(whole ? screen(window, ids) : windowDump(window, ids)); };
    });
}

const Verbs verbs = {
    {L"start", show(start)},
    {L"key", show(keys)},
    {L"windows", show(windowStates)},
    {L"reader",  // started, it tells when it listens
     action([](std::wistream&) {
         const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"TarvexReaderReady");
         reader = startTestsAgain(L"-*", readerOutput, readerFile);  // it reads before any test
         if (!pumpUntil([&] { return WaitForSingleObject(ready, 0) == WAIT_OBJECT_0; }, 20s))
             sessionMistake(L"the reader does not listen");
     })},
    {L"heard", show([](std::wistream&) {
         pumpUntil([&] { return WaitForSingleObject(reader, 0) == WAIT_OBJECT_0; }, 30s);
         return wide(readBytes(readerFile));
     })},
    {L"look", look(true)},
    {L"dump", look(false)},
    {L"pixel", waited([](std::wistream& words) {  // "WINDOW X Y [X Y ...]": each point's colour
         const HWND window = windowNamed(word(words));
         std::vector<POINT> points;
         for (POINT p{}; words >> p.x >> p.y;) points.push_back(p);
         return [=] {
             std::wstring colours;
             for (const POINT p : points)
                 colours += L" " + std::wstring(1, colourName(pixelAt(window, p.x, p.y)));
             return colours.substr(1) + L"\n";
         };
     })},
    {L"status", waited([](std::wistream&) {  // the server's state and the targets in use
         return [] {
             const std::wstring text = asInFiles(windowText(statusPanel));
             return text.substr(0, text.find(L'\n', text.find(L'\n') + 1) + 1);
         };
     })},
    {L"click", action([](std::wistream& w) {
         click(rest(w));
         pumpUntil([] { return false; }, 50ms);
     })},
    {L"panels", show([](std::wistream& w) {  // "[HIGH]": made that high; places, status font
         if (int high = 0; w >> high)
             SetWindowPos(mainWindow, nullptr, 0, 0, mainWindowWidth, high, SWP_NOMOVE);
         return sizeText(mainWindow) + L" " + placeOf(monitorViewWindow) + L" " +
                placeOf(statusPanel) + L" " + fontHeight(statusPanel) + L"\n";
     })},
    {L"cut", show([](std::wistream&) {
         return cutTexts(mainWindow) + cutTexts(configWindow) + cutTexts(logWindow);
     })},
    {L"icons", show([](std::wistream&) {
         return std::to_wstring(iconSize(mainWindow, ICON_SMALL)) + L" " +
                std::to_wstring(iconSize(configWindow, ICON_BIG)) + L"\n";
     })},
    {L"dpi",  // each window is told of a new DPI (96 or 144) and a place: where it went, its font
     show([](std::wistream& w) {
         const int dpi = std::stoi(word(w)), from = dpi == 96 ? 144 : 96;
         std::wstring shown;
         for (int left = 20; const wchar_t* name : {L"main", L"config", L"log"}) {
             const HWND window = windowNamed(name);
             RECT box{};
             GetWindowRect(window, &box);
             RECT suggested{left, 30, left + (box.right - box.left) * dpi / from,
                            30 + (box.bottom - box.top) * dpi / from};
             SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested));
             GetWindowRect(window, &box);
             shown += std::wstring(left > 20 ? L" ; " : L"") + name + L" " +
                      std::to_wstring(box.left) + L"," + std::to_wstring(box.top) + L" " +
                      sizeText(window) + L" " + fontHeight(GetWindow(window, GW_CHILD));
             left += 10;
         }
         return shown + L"\n";
     })},
    {L"open-again",  // the log and configuration windows: a second press opens no second one
     show([](std::wistream&) {
         const HWND config = configWindow, log = logWindow;
         for (const wchar_t* label : {L"Log", L"Config"}) click(label);
         return logWindow == log && configWindow == config ? L"the same windows\n" : L"others\n";
     })},
    {L"close",
     action([](std::wistream& w) { SendMessageW(windowNamed(rest(w)), WM_CLOSE, 0, 0); })},
    {L"table", action([](std::wistream& w) {
         std::vector<Target> table;
         readConfigText(rest(w), table);
         targetTable.assign(table);
     })},
    {L"focus", action([](std::wistream& w) { SetFocus(windowNamed(rest(w))); })},
    {L"tip",
     waited([](std::wistream& words) {  // the view's tooltip shown ("X Y": the pointer there)
         if (POINT p{}; words >> p.x >> p.y) {
             ClientToScreen(monitorViewWindow, &p);
             SetCursorPos(p.x, p.y);
         }
         return [] {
             std::wstring shown = L"no tip\n";
             EnumThreadWindows(GetCurrentThreadId(), seenTip, LPARAM(&shown));
             return shown;
         };
     })},
    {L"clipboard", show([](std::wistream&) {
         OpenClipboard(nullptr);
         const HANDLE data = GetClipboardData(CF_UNICODETEXT);
         const auto* text = static_cast<const wchar_t*>(data ? GlobalLock(data) : nullptr);
         const std::wstring copied = text ? text : L"(no text)";
         if (text) GlobalUnlock(data);
         CloseClipboard();
         return replaced(copied, {{L"\t", L"<tab>"}}) + L"\n";
     })},
    {L"painted", show([](std::wistream&) {       // the texts the view paints, where; its rows
         pumpUntil([] { return false; }, 50ms);  // the refreshes posted
         const HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
         paintMonitorView(recorder, 660, 300);
         std::wstring texts;
         EnumEnhMetaFile(nullptr, CloseEnhMetaFile(recorder), addText, &texts, nullptr);
         return texts + rows();
     })},
    {L"results", action([](std::wistream& words) {  // a slot's results: as the session says
         std::vector<Target> table = targetTable.snapshot();
         Target& target = table.at(std::stoul(word(words)));
         target.history = {};
         target.roundTrips = {};
         for (std::wstring run; words >> run;) {
             const std::size_t star = run.find(L'*'), colon = run.find(L':');
             const std::size_t count = star == run.npos ? 1 : std::stoul(run);
             const bool answered = run[star == run.npos ? 0 : star + 1] == L'1';
             target.history.insert(target.history.end(), count, answered);
             target.roundTrips.insert(
                 target.roundTrips.end(), count,
                 colon == run.npos ? noRoundTrip : std::stoul(run.substr(colon + 1)));
         }
         targetTable.assign(table);
         PostMessageW(mainWindow, WM_APP_REFRESH, 0, 0);
     })},
};

}  // namespace

TEST(MainWindow, StartUpsKeysPanelsWindowsServerViewReaderHealthProbesAndALargeLog) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const ScratchFolder scratch;
    readerFile = scratch.file(L"read.txt");
    runSession("app/files/main-window-session.txt", verbs);
    // A large log opens again with the whole lines of its newest 64 KB.
    std::string file;
    std::wstring newest = L"(older entries are in " + logFilePath() + L")\r\n";
    for (int i = 0; i < 2000; ++i) file += std::string(98, 'x') + "\r\r\n";
    for (int i = 0; i < 648; ++i) newest += std::wstring(98, L'x') + L"\r\n";  // 101 bytes each
    writeBytes(logFilePath(), file);
    click(L"Log");
    EXPECT_EQ(windowText(logEdit), newest);
    EXPECT_TRUE(endInView(logEdit));
    // New entries: the field keeps the newest 64 to 160 K characters.
    for (int i = 0; i < 200; ++i) appendLineToLogView(std::wstring(998, L'y').c_str());
    const std::wstring kept = windowText(logEdit);
    EXPECT_TRUE(kept.starts_with(L"(older entries are in ")) << kept.substr(0, 100);
    EXPECT_TRUE(kept.ends_with(std::wstring(998, L'y') + L"\r\n"));
    EXPECT_GT(kept.size(), 64 * 1024u);
    EXPECT_LE(kept.size(), 160 * 1024u);
    EXPECT_GE(SendMessageW(logEdit, EM_GETLIMITTEXT, 0, 0), 160 * 1024);  // never a short field
    EXPECT_TRUE(endInView(logEdit)) << "after new entries";
    closeMainWindow(mainWindow);
}

TEST(HighDpi, SizesTextsPixelsIconsAndAChangeOfDpi) {
    ASSERT_EQ(GetDeviceCaps(GetDC(nullptr), LOGPIXELSY), 144) << "run in the prefix at 144 DPI";
    runSession("app/files/high-dpi-session.txt", verbs);
    closeMainWindow(mainWindow);
}
