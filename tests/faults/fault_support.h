#pragma once
// What the fault tests share: loopback ports that answer or stay silent, programs of the
// build tree (Tarvex.exe, the test helpers) run in processes of their own, and a look into
// another process's windows. Everything here touches 127.0.0.1 only.

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

#include "support/wine_gui.h"

// Winsock 2.2 for the rest of the test's process (every test runs in a process of its own).
inline bool startWinsock() {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

// A TCP port on 127.0.0.1 whose own thread accepts every connection and closes it at once,
// so that any number of probes find it open and nothing piles up in its queue.
class AcceptingPort {
public:
    AcceptingPort() : listener_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {
        sockaddr_in address = loopbackAddress(0);
        int length = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(listener_, SOMAXCONN) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] { acceptUntilStopped(); });
    }
    ~AcceptingPort() {
        stop_ = true;
        if (acceptor_.joinable()) acceptor_.join();
        closesocket(listener_);
    }
    AcceptingPort(const AcceptingPort&) = delete;
    AcceptingPort& operator=(const AcceptingPort&) = delete;

    std::uint16_t port() const { return port_; }  // 0 when the port could not be opened

    static sockaddr_in loopbackAddress(std::uint16_t port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        return address;
    }

private:
    // Looks at the stop flag every 50 ms, so the destructor never waits on a blocked accept.
    void acceptUntilStopped() {
        while (!stop_) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(listener_, &readable);
            timeval wait{0, 50'000};
            if (select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
            const SOCKET connection = accept(listener_, nullptr, nullptr);
            if (connection != INVALID_SOCKET) closesocket(connection);
        }
    }

    SOCKET listener_;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread acceptor_;
};

// A port on 127.0.0.1 on which nothing listens: bound once to learn a free number, then
// closed again.
inline std::uint16_t closedLoopbackPort() {
    const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = AcceptingPort::loopbackAddress(0);
    int length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(probe);
    return ntohs(address.sin_port);
}

// A program of the build tree: `relative` to the folder above the tests' executable, where
// Tarvex.exe stands ("Tarvex.exe", "tests/name.exe").
inline std::wstring buildTreeProgram(const std::wstring& relative) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path().parent_path() / relative).wstring();
}

// A program in a process of its own. One that is still running when the object ends (only
// after a failed check) is ended with exit code 99.
class ChildProcess {
public:
    explicit ChildProcess(const std::wstring& program, const std::wstring& arguments = L"") {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &process_)) {
            process_ = {};
        }
    }
    ~ChildProcess() {
        if (!process_.hProcess) return;
        if (!hasEnded(std::chrono::milliseconds(0))) kill(99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return process_.hProcess != nullptr; }
    bool hasEnded(std::chrono::milliseconds wait) const {
        return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(wait.count())) ==
               WAIT_OBJECT_0;
    }
    // Ends the process at once, wherever it stands, and waits until it is gone.
    void kill(UINT exitCode) {
        TerminateProcess(process_.hProcess, exitCode);
        WaitForSingleObject(process_.hProcess, INFINITE);
    }
    DWORD exitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
};

// The main window of a Tarvex.exe the test started, once it is shown (which it is only when
// its creation, buttons included, is complete); null when none is shown within 10 s.
inline HWND shownMainWindow() {
    const auto shown = [] {
        HWND window = FindWindowW(L"Tarvex_MainWnd", nullptr);
        return window && IsWindowVisible(window) ? window : nullptr;
    };
    pumpUntil([&] { return shown() != nullptr; }, 10s);
    return shown();
}

// True when the thread of `window` handles a message within `limit`.
inline bool answersWithin(HWND window, std::chrono::milliseconds limit) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                               static_cast<UINT>(limit.count()), &result) != 0;
}

// The text of a window of another process (GetWindowTextW gives "" for those by design);
// empty when the window does not answer within a second.
inline std::wstring remoteWindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 1000, &copied)) {
        return {};
    }
    text.resize(copied);
    return text;
}
