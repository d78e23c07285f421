// The windows driven from the keyboard alone, the keys going through the program's loop step;
// the keys pressed and what each shows are written in files/keyboard-session.txt.
#include <map>

#include "support/session.h"
#include "ui/dialog_keys.h"

namespace {

// The focused control: its id, its text (not a multi-line field's), and whether it is checked.
std::wstring focused() {
    const HWND focus = GetFocus();
    wchar_t name[16] = {};
    GetClassNameW(focus, name, 16);
    const bool log =
        lstrcmpiW(name, L"Edit") == 0 && (GetWindowLongW(focus, GWL_STYLE) & ES_MULTILINE);
    return std::to_wstring(GetDlgCtrlID(focus)) + (log ? L"" : L" \"" + windowText(focus) + L"\"") +
           (SendMessageW(focus, BM_GETCHECK, 0, 0) == BST_CHECKED ? L" checked\n" : L"\n");
}

// Presses a key, Shift held or not, as the keyboard does; the focused control after it.
std::wstring press(UINT key, bool shift) {
    BYTE keys[256] = {};
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
        dispatchUiMessage(message);
    return focused();
}

std::wstring state(const wchar_t* name, HWND window) {
    return name + std::wstring(!window                   ? L" closed"
                               : IsWindowVisible(window) ? L" shown"
                                                         : L" hidden");
}

// "key NAME [times]", "type TEXT": the focused control after each key; "windows": which show.
std::wstring perform(const std::wstring& verb, std::wistream& words, const std::wstring&) {
    if (verb == L"windows")
        return state(L"main window", mainWindow) + state(L", monitor view", monitorViewWindow) +
               state(L", configuration window", configWindow) + state(L", log window", logWindow) +
               L"\n";
    const std::map<std::wstring, UINT> keys{{L"Enter", VK_RETURN}, {L"Space", VK_SPACE},
                                            {L"Tab", VK_TAB},      {L"Shift+Tab", VK_TAB},
                                            {L"Down", VK_DOWN},    {L"Escape", VK_ESCAPE}};
    std::wstring key, shown;
    int times = 1;
    words >> key >> times;
    if (verb == L"type")
        for (const wchar_t letter : key) shown += press(letter, false);
    if (verb == L"key")
        for (int i = 0; i < times; ++i) shown += press(keys.at(key), key.starts_with(L"Shift"));
    return shown;
}

TEST(Keyboard, TabShiftTabSpaceEnterArrowsAndEscapeInEveryWindow) {
    removeDataFiles();
    const HWND window = startMainWindow();
    runSession("app/files/keyboard-session.txt", perform);
    closeMainWindow(window);
}

}  // namespace
