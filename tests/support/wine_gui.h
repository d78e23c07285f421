#pragma once
// Helpers of the window tests under Wine, each test a process of its own.

#include <winsock2.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/app_wiring.h"
#include "app/main_window.h"
#include "model/data_folder.h"
#include "model/scratch_files.h"

using namespace std::chrono_literals;

inline void removeDataFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(configFilePath()), ignored);
    std::filesystem::remove(std::filesystem::path(logFilePath()), ignored);
}

// Winsock, the program's hooks and the main window, as the process entry starts them.
inline HWND startMainWindow() {
    WSADATA sockets{};
    WSAStartup(MAKEWORD(2, 2), &sockets);
    installAppHooks();
    registerMainWindowClass();
    HWND window = createMainWindow(GetModuleHandleW(nullptr));
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

inline HANDLE startProcess(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    CreateProcessW(nullptr, commandLine.data(), 0, 0, FALSE, 0, 0, 0, &startup, &started);
    return started.hProcess;
}

inline void closeMainWindow(HWND window) {
    DestroyWindow(window);
    for (MSG message{}; GetMessageW(&message, nullptr, 0, 0) > 0;) DispatchMessageW(&message);
}

// Handles messages until `done` answers true or `limit` has passed; the last answer.
inline bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (MSG message{};; MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
    }
}

inline void clickButton(HWND window, int id) {
    SendMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0);
    pumpUntil([] { return false; }, 50ms);
}

inline std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)), L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()) + 1);
    return text;
}

inline std::wstring sizeText(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    return std::to_wstring(outer.right - outer.left) + L"x" +
           std::to_wstring(outer.bottom - outer.top);
}

inline std::wstring rectText(int x, int y, int width, int height) {
    return std::to_wstring(x) + L"," + std::to_wstring(y) + L"," + std::to_wstring(width) + L"," +
           std::to_wstring(height);
}

// A child's "x,y,width,height" in its parent's client area; "hidden" while it is hidden.
inline std::wstring placeOf(HWND child) {
    if (!IsWindowVisible(child)) return L"hidden";
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return rectText(place.left, place.top, place.right - place.left, place.bottom - place.top);
}

// Read from the screen: a window's own DC leaves out the children it clips.
inline COLORREF pixelAt(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    static const HDC screen = GetDC(nullptr);  // kept for the test's whole process
    return GetPixel(screen, point.x, point.y);
}

// Log text's entries without time stamps (each line from its first " | " on), oldest first.
inline std::vector<std::wstring> logEvents(const std::wstring& text) {
    std::vector<std::wstring> events;
    for (std::size_t at = 0, end = 0; (at = text.find(L" | ", end)) != std::wstring::npos;)
        events.push_back(text.substr(at, (end = text.find_first_of(L"\r\n", at)) - at));
    return events;
}

inline std::vector<std::wstring> logEvents() {
    const std::string bytes = readBytes(logFilePath());
    return logEvents(std::wstring(bytes.begin(), bytes.end()));
}
