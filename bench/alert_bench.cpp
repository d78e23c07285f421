// How soon the operator hears of an outage, with the real main window, worker and probes:
//   alert_bench <first port> <rounds>
// Ten TCP targets at 1 s, 127.0.0.1:<first port> to <first port> + 9, on listeners of this
// program's own. Each round starts the server, lets the targets answer, closes the ten
// listeners (the ten go down together), opens them again (the ten come back) and stops the
// server, which forgets the outages, so that no target becomes unstable.
// Noted through the program's own imports (connect, closesocket and Shell_NotifyIconW are
// redirected to timing stand-ins that call Windows') and its log sink: when the probe that
// changed a target ended, when its DOWN or UP line was written, and when the balloon was
// handed to the shell. Prints the DOWN line's delay behind its probe, the balloon's behind the
// group's first changing probe, and how many balloons each group gave.
// It overwrites config.xml and monitor.log in the data folder of its Wine prefix.

// shellapi.h needs windows.h before it.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_wiring.h"
#include "app/main_window.h"
#include "bench_support.h"
#include "config/config_file.h"
#include "log/event_log.h"
#include "model/data_folder.h"
#include "support/import_redirect.h"

namespace {

constexpr int targetCount = 10;

std::mutex noting;  // the worker, the shell thread and this thread note
std::map<SOCKET, int> portOfSocket;
std::map<int, std::int64_t> probeEnded;  // port -> when its latest probe ended
std::int64_t groupBegan = 0;             // the first changing probe not yet told by a balloon
int changesSeen = 0;                     // DOWN and UP lines
int balloonsSeen = 0;
std::vector<double> lineDelays;     // ms, DOWN line behind its probe
std::vector<double> balloonDelays;  // ms, balloon behind the group's first changing probe

template <typename Function>
Function windowsFunction(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Function>(systemFunction(dll, name));
}

int WSAAPI notedConnect(SOCKET socket, const sockaddr* address, int length) {
    static const auto real = windowsFunction<decltype(&connect)>(L"ws2_32.dll", "connect");
    {
        const std::scoped_lock lock(noting);
        portOfSocket[socket] = ntohs(reinterpret_cast<const sockaddr_in*>(address)->sin_port);
    }
    return real(socket, address, length);
}

// A probe's last call.
int WSAAPI notedClose(SOCKET socket) {
    static const auto real = windowsFunction<decltype(&closesocket)>(L"ws2_32.dll", "closesocket");
    const std::int64_t now = steadyNowNanos();
    {
        const std::scoped_lock lock(noting);
        if (const auto found = portOfSocket.find(socket); found != portOfSocket.end()) {
            probeEnded[found->second] = now;
            portOfSocket.erase(found);
        }
    }
    return real(socket);
}

BOOL WINAPI notedShellCall(DWORD message, PNOTIFYICONDATAW data) {
    static const auto real =
        windowsFunction<decltype(&Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
    if (message == NIM_MODIFY && (data->uFlags & NIF_INFO)) {
        const std::int64_t now = steadyNowNanos();
        const std::scoped_lock lock(noting);
        ++balloonsSeen;
        if (groupBegan != 0) balloonDelays.push_back(nanosToMillis(now - groupBegan));
        groupBegan = 0;
    }
    return real(message, data);
}

// "<time> | 127.0.0.1 | tcp:<port> | DOWN" or "... | UP after <duration>".
void noteLogLine(const std::wstring& line) {
    const std::int64_t now = steadyNowNanos();
    const bool down = line.ends_with(L" | DOWN");
    if (!down && line.find(L" | UP after ") == std::wstring::npos) return;
    const std::size_t port = line.find(L"tcp:");
    if (port == std::wstring::npos) return;
    const std::scoped_lock lock(noting);
    const std::int64_t probe = probeEnded[std::stoi(line.substr(port + 4))];
    ++changesSeen;
    if (down) lineDelays.push_back(nanosToMillis(now - probe));
    if (groupBegan == 0) groupBegan = probe;
}

template <typename Done>
bool waitFor(Done done, double seconds) {
    const std::int64_t end = steadyNowNanos() + static_cast<std::int64_t>(seconds * 1e9);
    while (steadyNowNanos() < end) {
        handlePendingMessages();
        {
            const std::scoped_lock lock(noting);
            if (done()) return true;
        }
        Sleep(5);
    }
    return false;
}

std::vector<SOCKET> openListeners(int firstPort) {
    std::vector<SOCKET> listeners;
    for (int i = 0; i < targetCount; ++i) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(firstPort + i));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener, SOMAXCONN);
        listeners.push_back(listener);
    }
    return listeners;
}

void closeListeners(const std::vector<SOCKET>& listeners) {
    for (const SOCKET listener : listeners) closesocket(listener);
}

// Waits for the ten DOWN or UP lines and their balloon, then a second more for any other
// balloon; answers how many balloons came.
int balloonsOfGroup() {
    int changes = 0, balloons = 0;
    {
        const std::scoped_lock lock(noting);
        changes = changesSeen + targetCount;
        balloons = balloonsSeen;
    }
    waitFor([&] { return changesSeen >= changes && balloonsSeen > balloons; }, 10);
    waitFor([] { return false; }, 1);
    const std::scoped_lock lock(noting);
    return balloonsSeen - balloons;
}

int run(int firstPort, long rounds) {
    std::vector<Target> targets(targetCount);
    for (int i = 0; i < targetCount; ++i) {
        Target& target = targets[static_cast<std::size_t>(i)];
        target.type = ProbeType::tcp;
        target.host = L"127.0.0.1";
        target.port = static_cast<std::uint16_t>(firstPort + i);
        target.interval = 1;
    }
    dataFolderPath();
    if (!writeConfigFile(configFilePath(), targets)) return 1;
    redirectImport(systemFunction(L"ws2_32.dll", "connect"), (void*)notedConnect);
    redirectImport(systemFunction(L"ws2_32.dll", "closesocket"), (void*)notedClose);
    redirectImport(systemFunction(L"shell32.dll", "Shell_NotifyIconW"), (void*)notedShellCall);
    // As startProgram, with this program's log sink in place of the window's.
    installAppHooks();
    setLogLineSink(noteLogLine);
    registerMainWindowClass();
    const HWND window = createMainWindow(GetModuleHandleW(nullptr));
    ShowWindow(window, SW_SHOWNORMAL);
    const HWND serverButton = GetDlgItem(window, serverButtonId);
    std::vector<int> perGroup;
    for (long round = 0; round < rounds; ++round) {
        const std::vector<SOCKET> listeners = openListeners(firstPort);
        if (round > 0) SendMessageW(serverButton, BM_CLICK, 0, 0);  // "Start server"
        waitFor([] { return false; }, 2.5);                         // every target answers
        closeListeners(listeners);
        perGroup.push_back(balloonsOfGroup());
        const std::vector<SOCKET> again = openListeners(firstPort);
        perGroup.push_back(balloonsOfGroup());
        SendMessageW(serverButton, BM_CLICK, 0, 0);  // "Stop server": the outages are forgotten
        closeListeners(again);
    }
    DestroyWindow(window);
    handlePendingMessages();
    std::printf("alert: %d TCP targets at 1 s, %ld rounds of all down, then all up again\n",
                targetCount, rounds);
    printFigures("DOWN line after its probe", "ms", lineDelays);
    printFigures("balloon after the group's first probe", "ms", balloonDelays);
    std::printf("%-46s", "balloons per group (down, up, ...)");
    for (const int count : perGroup) std::printf(" %d", count);
    std::printf("\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const WinsockSession winsock;
    const int firstPort = static_cast<int>(numberArgument(argc, argv, 1, 0));
    if (!winsock.ok() || argc != 3 || firstPort <= 0 || firstPort > 65535 - targetCount) {
        std::fprintf(stderr, "usage: alert_bench <first port> <rounds>\n");
        return 2;
    }
    return run(firstPort, numberArgument(argc, argv, 2, 5));
}
