#include "support/wine_gui.h"

#include <winsock2.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/app_wiring.h"
#include "app/main_window.h"
#include "model/data_folder.h"
#include "model/text_file.h"

void removeDataFiles() {
    const std::filesystem::path folder(dataFolderPath());
    std::error_code ignored;
    std::filesystem::remove_all(folder / L"config.xml", ignored);
    std::filesystem::remove(folder / L"monitor.log", ignored);
}

HWND startMainWindow() {
    WSADATA sockets{};
    WSAStartup(MAKEWORD(2, 2), &sockets);
    installAppHooks();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerMainWindowClass(instance);
    HWND window = createMainWindow(instance);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

void closeMainWindow(HWND window) {
    DestroyWindow(window);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

void pumpMessagesFor(std::chrono::milliseconds duration) {
    pumpUntil([] { return false; }, duration);
}

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void clickButton(HWND window, int id) {
    SendMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0);
    pumpMessagesFor(50ms);
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

SIZE outerSize(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

int countOwnWindows(const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        int count;
    } search{className, 0};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            auto* wanted = reinterpret_cast<Search*>(found);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (lstrcmpW(name, wanted->className) == 0) ++wanted->count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

// Read from the screen, not the window's DC: a parent's DC excludes its children when it
// clips them, and another process's window has no DC of ours.
COLORREF pixelAt(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

std::string fileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::wstring> logEvents() {
    std::wistringstream text(readTextFile(dataFolderPath() + L"monitor.log"));
    std::vector<std::wstring> events;
    for (std::wstring line; std::getline(text, line);) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        const std::size_t separator = line.find(L" | ");
        if (separator != std::wstring::npos) events.push_back(line.substr(separator));
    }
    return events;
}
