// The notification-area icon of the real main window over loopback: every Shell_NotifyIconW call
// recorded on its way to Wine's own notification area, the flashes counted, the menu answered.
#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <mutex>
#include <regex>

#include "config/config_file.h"
#include "engine/probe_worker.h"
#include "support/import_redirect.h"
#include "support/wine_gui.h"
#include "ui/status_colors.h"

namespace {

std::mutex noting;
std::wstring transcript;  // a line per call or look, in order
int flashes = 0;
std::atomic<std::size_t> balloons = 0;
std::wstring menuChoice;                  // the menu item the operator picks
std::atomic<HANDLE> shellHeld = nullptr;  // set: the next call waits for it, as a hung shell

// Adds `line`, when given, to the transcript; answers the transcript.
std::wstring noted(const std::wstring& line = L"") {
    const std::scoped_lock lock(noting);
    return transcript += line.empty() ? L"" : line + L"\n";
}

// The lamp's colour at the icon's centre.
std::wstring lampOf(HICON icon) {
    ICONINFO parts{};
    GetIconInfo(icon, &parts);
    const HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, parts.hbmColor);
    const COLORREF centre = GetPixel(dc, 8, 8);
    DeleteDC(dc);
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    const std::map<COLORREF, std::wstring> names{
        {answeredColour, L"green"}, {failedColour, L"red"}, {unknownColour, L"grey"}};
    return names.contains(centre) ? names.at(centre) : L"?";
}

// "add|modify LAMP "TIP"", "balloon warning|info "TITLE" "TEXT"", "version N", "delete"; a
// duration as "#" (it differs by a second with the probes' timing); "(refused)" when Wine's
// notification area refused the call.
BOOL WINAPI recordShellCall(DWORD message, PNOTIFYICONDATAW data) {
    static const auto shell = reinterpret_cast<decltype(&Shell_NotifyIconW)>(
        systemFunction(L"shell32.dll", "Shell_NotifyIconW"));
    if (const HANDLE held = shellHeld.exchange(nullptr);
        held && WaitForSingleObject(held, 5000) == WAIT_TIMEOUT)
        noted(L"(the window waited for the shell)");
    const BOOL accepted = shell(message, data);
    const wchar_t* verbs[] = {L"add", L"modify", L"delete", L"focus", L"version"};
    const UINT flags = NIF_ICON | NIF_TIP | NIF_MESSAGE | NIF_SHOWTIP;
    const bool ours = data->cbSize == sizeof *data && data->hWnd == mainWindow && data->uID == 1;
    std::wstring line = std::wstring(ours ? L"" : L"(not icon 1) ") + verbs[message];
    if (message == NIM_SETVERSION)
        line += L" " + std::to_wstring(data->uVersion);
    else if (data->uFlags & NIF_INFO)
        line = (data->dwInfoFlags == NIIF_WARNING ? L"balloon warning \"" : L"balloon info \"") +
               std::wstring(data->szInfoTitle) + L"\" \"" + data->szInfo + L"\"";
    else if (message != NIM_DELETE)
        line +=
            L" " + lampOf(data->hIcon) + L" \"" + data->szTip + L"\"" +
            (data->uFlags == flags && data->uCallbackMessage == WM_APP_NOTIFYICON ? L"" : L" ?");
    line = replaced(std::regex_replace(line, std::wregex(L"after \\d+ s"), L"after # s"),
                    {{L"\n", L"|"}});
    noted(line + (accepted ? L"" : L" (refused)"));
    balloons += (data->uFlags & NIF_INFO) ? 1 : 0;  // noted first: a stage waits for it
    return accepted;
}

BOOL WINAPI countFlash(PFLASHWINFO flash) {
    flashes += flash->hwnd == mainWindow && flash->dwFlags == (FLASHW_TRAY | FLASHW_TIMERNOFG);
    return TRUE;
}

// Notes the items and answers the command of menuChoice.
BOOL WINAPI pickFromMenu(HMENU menu, UINT, int, int, int, HWND, const RECT*) {
    std::wstring line = L"menu";
    UINT picked = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[32] = L"";
        GetMenuStringW(menu, UINT(i), text, 32, MF_BYPOSITION);
        line += std::wstring(i ? L" | " : L" ") + (*text ? text : L"-");
        if (text == menuChoice) picked = GetMenuItemID(menu, i);
    }
    noted(line + L": " + menuChoice);
    return BOOL(picked);
}

}  // namespace

TEST(NotifyIcon, FollowsTheTargetsGathersBalloonsAndAnswersItsMenu) {
    for (const auto& [dll, name, to] :
         {std::tuple{L"shell32.dll", "Shell_NotifyIconW", (void*)recordShellCall},
          {L"user32.dll", "FlashWindowEx", (void*)countFlash},
          {L"user32.dll", "TrackPopupMenu", (void*)pickFromMenu}})
        ASSERT_GE(redirectImport(systemFunction(dll, name), to), 1) << name;
    removeDataFiles();
    // A closed port; four listeners, of which three stop together, then the fourth.
    std::vector<Target> targets{{.type = ProbeType::tcp, .host = L"127.0.0.2", .port = 47500}};
    for (std::uint16_t port = 47501; port <= 47504; ++port)
        targets.push_back({.type = ProbeType::tcp, .host = L"127.0.0.1", .port = port});
    for (Target& target : targets) target.interval = 1;
    ASSERT_TRUE(writeConfigFile(configFilePath(), targets));
    stopWorker = false;
    const HWND window = startMainWindow();
    std::vector<SOCKET> listeners;
    const auto listen = [&] {
        for (std::uint16_t port = 47501; port <= 47504; ++port) {
            sockaddr_in address{.sin_family = AF_INET, .sin_port = htons(port)};
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            listeners.push_back(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
            bind(listeners.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
            ::listen(listeners.back(), SOMAXCONN);
        }
    };
    const auto stop = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) closesocket(std::exchange(listeners[i], 0));
    };
    // The window sleeps through the probes that change the targets: their refreshes merge into
    // one, and the icon shows one state. Then it waits for the balloon.
    const auto stage = [&](const std::function<void()>& act, DWORD sleep, std::size_t shown) {
        act();
        Sleep(sleep);
        EXPECT_TRUE(pumpUntil([&] { return balloons >= shown; }, 10s));
    };
    stage(listen, 1500, 1);
    ShowWindow(window, SW_MINIMIZE);  // from here on, a target that goes down flashes the button
    stage([&] { stop(0, 3); }, 3000, 2);
    stage([&] { stop(3, 4); }, 3000, 3);
    listeners.clear();
    stage(listen, 1500, 4);
    noted(L"flashes: " + std::to_wstring(flashes));
    // The shell hangs on the new add; the window goes on at once and lets it go.
    const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    shellHeld = release;
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    SetEvent(release);
    pumpUntil([] { return noted().ends_with(L"version 4\n"); }, 5s);
    // A click on the icon, then the menu's commands, each time with the window minimized.
    for (const wchar_t* choice : {L"(click)", L"Show Tarvex", L"Stop server", L"Exit"}) {
        ShowWindow(window, SW_MINIMIZE);
        menuChoice = choice;
        SendMessageW(window, WM_APP_NOTIFYICON, MAKEWPARAM(20, 20),
                     MAKELPARAM(menuChoice == L"(click)" ? NIN_SELECT : WM_CONTEXTMENU, 1));
        if (menuChoice == L"Stop server")
            pumpUntil([] { return noted().ends_with(L"stopped\"\n"); }, 5s);
        if (menuChoice != L"Exit")
            noted(IsIconic(window)                  ? L"window minimized"
                  : GetForegroundWindow() == window ? L"window shown, in front"
                                                    : L"window shown, behind");
    }
    for (MSG message{}; GetMessageW(&message, nullptr, 0, 0) > 0;) DispatchMessageW(&message);
    stop(0, 4);
    CloseHandle(release);
    EXPECT_EQ(noted(),
              LR"(add grey "Tarvex: waiting for the first answers"
version 4
modify red "Tarvex: 1 of 5 targets down"
balloon warning "Target down" "127.0.0.2 tcp:47500 is down"
modify red "Tarvex: 4 of 5 targets down"
balloon warning "3 targets down" "127.0.0.1 tcp:47501|127.0.0.1 tcp:47502|127.0.0.1 tcp:47503"
modify red "Tarvex: 5 of 5 targets down"
balloon warning "No target answers" "No target answers: the network may be down"
modify red "Tarvex: 1 of 5 targets down"
balloon info "4 targets answer again" "127.0.0.1 tcp:47501 after # s|127.0.0.1 tcp:47502 after # s|127.0.0.1 tcp:47503 after # s|127.0.0.1 tcp:47504 after # s"
flashes: 4
add red "Tarvex: 1 of 5 targets down" (refused)
modify red "Tarvex: 1 of 5 targets down"
version 4
window shown, in front
menu Show Tarvex | Stop server | - | Exit: Show Tarvex
window shown, in front
menu Show Tarvex | Stop server | - | Exit: Stop server
modify grey "Tarvex: monitoring stopped"
window minimized
menu Show Tarvex | Start server | - | Exit: Exit
delete
)");
}
