// The real Tarvex.exe in its own process, watched from outside as an operator would: one
// loopback port that listens and one that does not, a green and a red row in the monitor
// view, the failure in monitor.log, and a prompt end on WM_CLOSE.

#include <gtest/gtest.h>
#include <winsock2.h>

#include <algorithm>
#include <filesystem>

#include "config/config_file.h"
#include "model/data_folder.h"
#include "support/wine_gui.h"

namespace {

constexpr COLORREF green = RGB(0, 170, 0);
constexpr COLORREF red = RGB(220, 0, 0);

// A loopback TCP port: listening while the object lives when `listening`, else bound once
// and closed again, so that nothing answers on it.
class LoopbackPort {
public:
    explicit LoopbackPort(bool listening) {
        socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof(address);
        bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        if (listening) {
            listen(socket_, SOMAXCONN);
        } else {
            closesocket(socket_);
            socket_ = INVALID_SOCKET;
        }
    }
    ~LoopbackPort() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
    }
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;
    std::uint16_t port() const { return port_; }

private:
    SOCKET socket_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
};

// The program sits beside the tests' folder in the build tree.
std::wstring programPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path().parent_path() / L"Tarvex.exe").wstring();
}

class RunningProgram {
public:
    RunningProgram() {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + programPath() + L"\"";
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process_);
    }
    ~RunningProgram() {
        if (!process_.hProcess) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);  // only after a failed check
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return process_.hProcess != nullptr; }
    HANDLE process() const { return process_.hProcess; }

private:
    PROCESS_INFORMATION process_{};
};

bool logHas(const std::wstring& event) {
    const std::vector<std::wstring> events = logEvents();
    return std::find(events.begin(), events.end(), event) != events.end();
}

TEST(EndToEnd, ListeningPortIsGreenClosedPortIsRedAndLogged) {
    removeDataFiles();
    WSADATA sockets{};
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &sockets), 0);
    const LoopbackPort open(true);
    const LoopbackPort closed(false);
    std::vector<Target> targets(targetSlotCount);
    for (Target& target : targets) target.enabled = false;
    for (const std::size_t slot : {0u, 1u}) {
        targets[slot] = Target{true, ProbeType::tcp, L"127.0.0.1", 0, 1, {}, 0};
    }
    targets[0].port = open.port();
    targets[1].port = closed.port();
    ASSERT_TRUE(writeConfigFile(configFilePath(), targets));

    RunningProgram program;
    ASSERT_TRUE(program.started()) << "no " << std::filesystem::path(programPath()).string();
    HWND window = nullptr;
    // Visible only once its creation, buttons included, is complete.
    ASSERT_TRUE(pumpUntil(
        [&] {
            window = FindWindowW(L"Tarvex_MainWnd", nullptr);
            return window && IsWindowVisible(window);
        },
        10s));
    PostMessageW(GetDlgItem(window, 1003), BM_CLICK, 0, 0);  // show the monitor view
    HWND view = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(view = GetDlgItem(window, 1200)); }, 5s));
    EXPECT_EQ(outerSize(window).cy, 660);

    // Row k's lamp centre is at (18, 21 + 26 k); its newest result bar ends at x 650.
    const std::wstring failure =
        L" | 127.0.0.1 | tcp:" + std::to_wstring(closed.port()) + L" | FAIL";
    const bool seen = pumpUntil(
        [&] {
            return pixelAt(view, 18, 21) == green && pixelAt(view, 649, 18) == green &&
                   pixelAt(view, 18, 47) == red && pixelAt(view, 649, 44) == red && logHas(failure);
        },
        10s);
    EXPECT_TRUE(seen) << "lamps " << pixelAt(view, 18, 21) << ", " << pixelAt(view, 18, 47);
    EXPECT_FALSE(logHas(L" | 127.0.0.1 | tcp:" + std::to_wstring(open.port()) + L" | FAIL"));
    EXPECT_TRUE(logHas(L" | monitoring auto-start"));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.process(), 3000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(program.process(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    WSACleanup();
}

}  // namespace
