// Probes of loopback and of the sandbox's black hole and unreachable host only.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <psapi.h>
// clang-format on
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <future>

#include "app/app_wiring.h"
#include "app/monitoring.h"
#include "engine/probes.h"
#include "model/target_table.h"
#include "support/wine_gui.h"

extern "C" void* __imp_GetAddrInfoW;  // the import slot of the program's name look-ups

namespace {

int lookups = 0;
decltype(&GetAddrInfoW) lookUp = nullptr;
INT WSAAPI countLookup(PCWSTR node, PCWSTR service, const ADDRINFOW* hints, PADDRINFOW* found) {
    ++lookups;
    return lookUp(node, service, hints, found);
}

// A socket on 127.0.0.1 at a free port (`port`), listening or only bound, so refusing.
SOCKET loopbackSocket(bool listening, std::uint16_t& port) {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{AF_INET, 0, {}, {}};
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), length);
    if (listening) listen(s, SOMAXCONN);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
    port = ntohs(a.sin_port);
    return s;
}

// Seconds until `probe` failed, or -1 when it succeeded.
std::future<double> failureTime(std::function<bool()> probe) {
    return std::async(std::launch::async, [probe] {
        const auto start = std::chrono::steady_clock::now();
        return probe() ? -1 : std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    });
}

}  // namespace

TEST(Probes, AnswerForLoopbackAndFailWithoutAnAnswer) {
    std::uint16_t open = 0, closed = 0;
    loopbackSocket(true, open);
    loopbackSocket(false, closed);
    const wchar_t* silent = _wgetenv(L"TARVEX_BLACK_HOLE");
    const wchar_t* unreachable = _wgetenv(L"TARVEX_UNREACHABLE");
    ASSERT_TRUE(silent && unreachable && !wcsncmp(silent, L"127.", 4) &&
                !wcsncmp(unreachable, L"127.", 4));
    std::future<double> waits[] = {
        failureTime([&] { return probeTcp(L"127.0.0.1", closed); }),
        failureTime([&] { return probeTcp(silent, 80); }),
        failureTime([&] { return probeIcmp(silent); }),
        failureTime([&] { return probeIcmp(unreachable); })};

    DWORD protection = 0;
    VirtualProtect(&__imp_GetAddrInfoW, sizeof(void*), PAGE_READWRITE, &protection);
    lookUp = reinterpret_cast<decltype(lookUp)>(__imp_GetAddrInfoW);
    __imp_GetAddrInfoW = reinterpret_cast<void*>(&countLookup);
    sockaddr_in address;
    std::memset(&address, 0xA5, sizeof address);
    ASSERT_TRUE(resolveIPv4(L"127.12.34.56", address));
    EXPECT_EQ(std::vector<unsigned char>(reinterpret_cast<unsigned char*>(&address), reinterpret_cast<unsigned char*>(&address + 1)),
              (std::vector<unsigned char>{2, 0, 0, 0, 127, 12, 34, 56, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(probeIcmp(L"127.0.0.2"));
    EXPECT_EQ(lookups, 0);
    EXPECT_TRUE(probeTcp(L"localhost", open) && probeTcp(L"127.0.0.1", open));
    EXPECT_EQ(lookups, 1);
    for (const wchar_t* host : {L"::1", L"127.0.0.1:80", L"no-such-host.invalid"}) {
        EXPECT_FALSE(resolveIPv4(host, address) || probeTcp(host, open) || probeIcmp(host)) << host;
    }
    for (auto& wait : waits) {
        const double seconds = wait.get();
        EXPECT_TRUE(seconds >= (&wait == &waits[3] ? 0 : 0.9) && seconds < 1.8) << seconds;
    }
}

// Thousands of loopback probes leave no handle or memory behind, and the real worker keeps
// full histories at 2500 with the newest results.
TEST(Probes, ManyProbesLeakNothingAndFullHistoriesStayFull) {
    std::uint16_t port = 0;
    const SOCKET listener = loopbackSocket(true, port);
    const auto failures = [&](int rounds) {
        int failed = 0;
        for (int i = 0; i < rounds; ++i) {
            failed += !probeTcp(L"127.0.0.1", port) + !probeIcmp(L"127.0.0.1");
            closesocket(accept(listener, nullptr, nullptr));
        }
        return failed;
    };
    ASSERT_EQ(failures(50), 0);  // sets up what later probes reuse
    // Handles are numbered lowest free first: leaked ones would push a new one's number up.
    const auto newHandle = [] {
        const HANDLE h = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        CloseHandle(h);
        return reinterpret_cast<std::uintptr_t>(h);
    };
    const std::uintptr_t handle = newHandle();
    PROCESS_MEMORY_COUNTERS before{}, after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    EXPECT_EQ(failures(1000), 0);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_LE(newHandle(), handle + 64);
    EXPECT_LE(after.PagefileUsage, before.PagefileUsage + 64 * 1024);

    {
        TargetTable::Locked table = targetTable.lock();
        table.resetToDefaults();
        for (std::size_t i = 0; i < 4; ++i) {
            table.entries()[i] = {true, ProbeType(i % 2), L"127.0.0.1", port, 1,
                                  std::deque<std::uint8_t>(2500, 0), 0};
        }
    }
    installAppHooks();
    autoStartMonitoring();
    const auto answers = [](const Target& t) {
        return std::count(t.history.begin(), t.history.end(), 1);
    };
    EXPECT_TRUE(pumpUntil([&] { const auto table = targetTable.snapshot();
        return std::all_of(table.begin(), table.begin() + 4, [&](const Target& t) { return answers(t) >= 2; }); }, 5s));
    ASSERT_TRUE(shutdownMonitoring());
    for (const Target& t : targetTable.snapshot()) {  // the answers at the back
        const std::ptrdiff_t kept = std::ssize(t.history);
        EXPECT_EQ(kept, t.host.empty() ? 0 : 2500);
        EXPECT_EQ(std::find(t.history.begin(), t.history.end(), 1) - t.history.begin(), kept - answers(t));
    }
}
