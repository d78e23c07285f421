// Probes of loopback and of the sandbox's black hole and unreachable host only.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <psapi.h>
// clang-format on
#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <utility>

#include "engine/probes.h"

extern "C" void* __imp_GetAddrInfoW;  // the import slot of the program's name look-ups

namespace {

int lookups = 0;
void* lookUp = nullptr;
INT WSAAPI countLookup(PCWSTR node, PCWSTR service, const ADDRINFOW* hints, PADDRINFOW* found) {
    return ++lookups, decltype(&GetAddrInfoW)(lookUp)(node, service, hints, found);
}

// Seconds until `probe` failed, or -1 when it succeeded.
std::future<double> failureTime(std::function<bool()> probe) {
    return std::async(std::launch::async, [probe] {
        const auto start = std::chrono::steady_clock::now();
        return probe() ? -1 : std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    });
}

}  // namespace

// Nothing listens on port 1 of 127.0.0.1; the sandbox's black hole never answers, and its
// unreachable host answers with an ICMP error.
TEST(Probes, SucceedOnlyOnAnAnswerAndLeakNothing) {
    const wchar_t* silent = _wgetenv(L"TARVEX_BLACK_HOLE");
    const wchar_t* unreachable = _wgetenv(L"TARVEX_UNREACHABLE");
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    ASSERT_TRUE(silent && unreachable && !wcsncmp(silent, L"127.", 4) && !wcsncmp(unreachable, L"127.", 4));
    std::future<double> waits[] = {failureTime([] { return probeTcp(L"127.0.0.1", 1); }),
                                   failureTime([&] { return probeTcp(silent, 80); }),
                                   failureTime([&] { return probeIcmp(silent); }),
                                   failureTime([&] { return probeIcmp(unreachable); })};
    DWORD protection = 0;
    VirtualProtect(&__imp_GetAddrInfoW, sizeof(void*), PAGE_READWRITE, &protection);
    lookUp = std::exchange(__imp_GetAddrInfoW, reinterpret_cast<void*>(&countLookup));
    sockaddr_in address;
    std::memset(&address, 0xA5, sizeof address);
    ASSERT_TRUE(resolveIPv4(L"127.12.34.56", address));
    EXPECT_EQ(std::vector<unsigned char>(reinterpret_cast<unsigned char*>(&address), reinterpret_cast<unsigned char*>(&address + 1)),
              (std::vector<unsigned char>{2, 0, 0, 0, 127, 12, 34, 56, 0, 0, 0, 0, 0, 0, 0, 0}));
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    int length = sizeof address;
    resolveIPv4(L"127.0.0.1", address);
    bind(listener, reinterpret_cast<sockaddr*>(&address), length);
    listen(listener, SOMAXCONN);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const std::uint16_t port = ntohs(address.sin_port);
    EXPECT_TRUE(probeIcmp(L"127.0.0.2") && lookups == 0);
    EXPECT_TRUE(probeTcp(L"localhost", port) && probeTcp(L"127.0.0.1", port) && lookups == 1);
    for (const wchar_t* host : {L"::1", L"127.0.0.1:80", L"no-such-host.invalid"})
        EXPECT_FALSE(resolveIPv4(host, address) || probeTcp(host, port) || probeIcmp(host)) << host;
    for (auto& wait : waits) {
        const double seconds = wait.get();
        EXPECT_TRUE(seconds >= (&wait == &waits[3] ? 0 : 0.9) && seconds < 1.8) << &wait - waits << ": " << seconds;
    }

    // Handles are numbered lowest free first: leaked ones would push a new one's number up.
    int failed = 0;
    const auto newHandleAfter = [&](int tcp, int icmp) {
        for (int i = 0; i < tcp; ++i) failed += !probeTcp(L"127.0.0.1", port), closesocket(accept(listener, nullptr, nullptr));
        for (int i = 0; i < icmp; ++i) failed += !probeIcmp(L"127.0.0.1");
        const HANDLE h = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        return CloseHandle(h), reinterpret_cast<std::uintptr_t>(h);
    };
    const std::uintptr_t handle = newHandleAfter(20, 20);  // sets up what later probes reuse
    PROCESS_MEMORY_COUNTERS before{}, after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    EXPECT_LE(newHandleAfter(1000, 200), handle + 64);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_LE(after.PagefileUsage, before.PagefileUsage + 64 * 1024);
    EXPECT_EQ(failed, 0);
}
