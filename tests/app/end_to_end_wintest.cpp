// The real Tarvex.exe in its own process, watched from outside as an operator would: one
// loopback port that listens and one that does not, a green and a red row in the monitor
// view, the failure in monitor.log, and a prompt end on WM_CLOSE.

#include <gtest/gtest.h>
#include <winsock2.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "config/config_file.h"
#include "model/data_folder.h"
#include "support/wine_gui.h"

namespace {

constexpr COLORREF green = RGB(0, 170, 0);
constexpr COLORREF red = RGB(220, 0, 0);

// A TCP socket bound to a loopback port of the system's choice, which is stored in `port`.
SOCKET boundLoopbackSocket(std::uint16_t& port) {
    const SOCKET bound = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    bind(bound, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(bound, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return bound;
}

bool logHas(const std::wstring& event) {
    const std::vector<std::wstring> events = logEvents();
    return std::find(events.begin(), events.end(), event) != events.end();
}

TEST(EndToEnd, ListeningPortIsGreenClosedPortIsRedAndLogged) {
    removeDataFiles();
    WSADATA sockets{};
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &sockets), 0);
    std::vector<Target> targets(targetSlotCount);  // the others have no host: not in use
    targets[0] = targets[1] = {true, ProbeType::tcp, L"127.0.0.1", 0, 1, {}, 0};
    listen(boundLoopbackSocket(targets[0].port), SOMAXCONN);
    closesocket(boundLoopbackSocket(targets[1].port));  // nothing answers there
    ASSERT_TRUE(writeConfigFile(configFilePath(), targets));

    // The program sits beside the tests' folder in the build tree.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const auto program = std::filesystem::path(self).parent_path().parent_path() / L"Tarvex.exe";
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started))
        << program.string();
    CloseHandle(started.hThread);
    // Ends the program when a failed check left it running; fails harmlessly once it ended.
    const auto end = [](HANDLE process) {
        TerminateProcess(process, 99);
        CloseHandle(process);
    };
    const std::unique_ptr<void, decltype(end)> process(started.hProcess, end);
    HWND window = nullptr;
    // Visible only once its creation, buttons included, is complete.
    ASSERT_TRUE(pumpUntil(
        [&] {
            return (window = FindWindowW(L"Tarvex_MainWnd", nullptr)) && IsWindowVisible(window);
        },
        10s));
    PostMessageW(GetDlgItem(window, 1003), BM_CLICK, 0, 0);  // show the monitor view
    HWND view = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(view = GetDlgItem(window, 1200)); }, 5s));

    // Row k's lamp centre is at (18, 21 + 26 k); its newest result bar ends at x 650.
    const std::wstring failure =
        L" | 127.0.0.1 | tcp:" + std::to_wstring(targets[1].port) + L" | FAIL";
    EXPECT_TRUE(pumpUntil(
        [&] {
            return pixelAt(view, 18, 21) == green && pixelAt(view, 649, 18) == green &&
                   pixelAt(view, 18, 47) == red && pixelAt(view, 649, 44) == red && logHas(failure);
        },
        10s))
        << "lamps " << pixelAt(view, 18, 21) << ", " << pixelAt(view, 18, 47);
    EXPECT_FALSE(logHas(L" | 127.0.0.1 | tcp:" + std::to_wstring(targets[0].port) + L" | FAIL"));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.get(), 3000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    WSACleanup();
}

}  // namespace
