#include "log/log_window.h"

#include <algorithm>
#include <string>

#include "log/event_log.h"
#include "log/log_tail.h"
#include "model/data_folder.h"
#include "ui/dialog_keys.h"
#include "ui/dpi.h"
#include "ui/ui_state.h"
#include "ui/window_class.h"

HWND logWindow = nullptr;
HWND logEdit = nullptr;

namespace {

constexpr wchar_t logWindowTitle[] = L"Tarvex - Log";
constexpr wchar_t logWindowClassName[] = L"Tarvex_LogWnd";

// An edit control lays out every line it holds: under Wine, setting 1,000 lines of log takes
// about 70 ms and one append gets slower as the text grows. So the field holds only the
// newest part of the log: at most logViewTailBytes of the file when it is loaded (opening
// stays well under 200 ms however large the file), and at most logViewMaxChars while lines
// arrive. Past that, the oldest lines are cut in one chunk down to logViewKeptChars, so only
// one append in about 1,500 pays for a cut.
constexpr std::uintmax_t logViewTailBytes = 64 * 1024;
constexpr std::size_t logViewMaxChars = 160 * 1024;
constexpr std::size_t logViewKeptChars = 64 * 1024;
// How far past the cut point a line end is looked for; entries are far shorter.
constexpr std::size_t lineEndSearchChars = 4096;

std::size_t textLength(HWND edit) { return static_cast<std::size_t>(GetWindowTextLengthW(edit)); }

void moveCaretToEnd(HWND edit) {
    const LPARAM end = static_cast<LPARAM>(textLength(edit));
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
}

void replaceSelection(HWND edit, const std::wstring& text) {
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Makes room for `incoming` characters: when the field would pass its bound, its oldest
// whole lines give way to the note that older entries are in the file.
void trimOldestLines(HWND edit, std::size_t incoming) {
    const std::size_t length = textLength(edit);
    if (length + incoming <= logViewMaxChars) return;
    const std::size_t cutAtLeast = std::min(length, length + incoming - logViewKeptChars);
    std::wstring head(cutAtLeast + lineEndSearchChars + 1, L'\0');
    head.resize(
        static_cast<std::size_t>(GetWindowTextW(edit, head.data(), static_cast<int>(head.size()))));
    const std::size_t lineEnd = cutAtLeast == 0 ? 0 : head.find(L'\n', cutAtLeast - 1);
    const std::size_t cut = lineEnd == std::wstring::npos ? head.size() : lineEnd + 1;
    SendMessageW(edit, EM_SETSEL, 0, static_cast<LPARAM>(cut));
    replaceSelection(edit, olderEntriesNote(logFilePath()));
}

void placeControls(HWND window) {
    const ClientLayout client = clientLayoutOf(window);
    if (HWND edit = GetDlgItem(window, logEditId)) {
        MoveWindow(edit, client.px(10), client.px(10), client.width - client.px(20),
                   client.height - client.px(55), TRUE);
    }
    if (HWND button = GetDlgItem(window, deleteLogButtonId)) {
        MoveWindow(button, client.px(10), client.height - client.px(38), client.px(140),
                   client.px(26), TRUE);
    }
}

// Replaces the field's text with the newest part of monitor.log and scrolls to the end.
void reloadLogView(HWND edit) {
    if (!edit) return;
    SetWindowTextW(edit, readLogTail(logFilePath(), logViewTailBytes).c_str());
    moveCaretToEnd(edit);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

LRESULT onCreate(HWND window) {
    // Both are placed by placeControls once they exist.
    HWND edit = applyUiFont(createChildWindow(window, WS_EX_CLIENTEDGE, L"EDIT", L"",
                                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL |
                                                  ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                                              logEditId, RECT{}));
    applyUiFont(createChildWindow(window, 0, L"BUTTON", L"Delete log file",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                  deleteLogButtonId, RECT{}));
    setProgramIcons(window);
    placeControls(window);
    // The default limit (30000 characters) would silently drop every later entry.
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    logWindow = window;
    logEdit = edit;
    reloadLogView(logEdit);
    return 0;
}

// "Delete log file" empties the file rather than deleting it, and the field with it. A file
// that could not be emptied (another program holds it) keeps the field as it was, and the
// operator is told: an empty field would say the entries are gone.
void emptyLogFileAndView(HWND window) {
    if (!clearLogFile()) {
        const std::wstring text = L"\"monitor.log\" could not be emptied:\n" + logFilePath() +
                                  L"\n\nAnother program may have it open.";
        MessageBoxW(window, text.c_str(), logWindowTitle, MB_OK | MB_ICONERROR);
        return;
    }
    if (logEdit) SetWindowTextW(logEdit, L"");
}

LRESULT onCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDCANCEL) {  // Escape: hidden as by its close box
        ShowWindow(window, SW_HIDE);
        return 0;
    }
    if (LOWORD(wParam) != deleteLogButtonId) {
        return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
    }
    emptyLogFileAndView(window);
    return 0;
}

LRESULT CALLBACK logWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return onCreate(window);
        case WM_SIZE: placeControls(window); return 0;
        case WM_CLOSE:
            ShowWindow(window, SW_HIDE);  // kept, with its text, until the main window ends
            return 0;
        case WM_COMMAND: return onCommand(window, wParam, lParam);
        case WM_ACTIVATE: return restoreFocus(window, wParam, logEdit);
        case WM_NEXTDLGCTL: return moveFocus(window, wParam, lParam);
        case DM_GETDEFID: return focusedButtonAsDefault(window);
        case WM_DPICHANGED: followDpiChange(window, wParam, lParam); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void openLogWindow() {
    registerWindowClass(logWindowClassName, guardedProcedure<logWindowProc>,
                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (bringToFront(logWindow)) {
        reloadLogView(logEdit);
        return;
    }
    const UINT dpi = screenDpi();  // where Windows opens a new window
    HWND window = CreateWindowExW(0, logWindowClassName, logWindowTitle, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, scaled(900, dpi), scaled(520, dpi),
                                  mainWindow, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
}

void appendLineToLogView(const wchar_t* line) {
    if (!line || !logEdit || !IsWindow(logEdit)) return;
    const std::wstring entry = std::wstring(line) + L"\r\n";
    trimOldestLines(logEdit, entry.size());
    moveCaretToEnd(logEdit);
    replaceSelection(logEdit, entry);
    SendMessageW(logEdit, EM_SCROLLCARET, 0, 0);
}
