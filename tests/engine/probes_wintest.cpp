// Probes of loopback and of the sandbox's black hole and unreachable host only.
#include "engine/probes.h"

#include <winsock2.h>

#include <gtest/gtest.h>
#include <psapi.h>

#include <future>

#include "support/import_redirect.h"

static int WSAAPI failingGetsockopt(SOCKET, int, int, char*, int*) {
    WSASetLastError(WSAENOTSOCK);
    return SOCKET_ERROR;
}

// Nothing listens on port 1 of 127.0.0.1, which refuses at once; the sandbox's black hole
// never answers, and its unreachable host answers with an ICMP error. A failed probe hands no
// round-trip time, an answer one below the time-out.
TEST(Probes, SucceedOnlyOnAnAnswerAndLeakNothing) {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
    const std::wstring silent = _wgetenv(L"TARVEX_BLACK_HOLE") ?: L"";
    const std::wstring unreachable = _wgetenv(L"TARVEX_UNREACHABLE") ?: L"";
    ASSERT_TRUE(silent.starts_with(L"127.") && unreachable.starts_with(L"127."))
        << "run in scripts/sandbox.sh";
    const std::function<bool(std::int64_t&)> unanswered[] = {
        [](auto& t) { return probeTcp(L"127.0.0.1", 1, t); },
        [&](auto& t) { return probeTcp(silent, 80, t); },
        [&](auto& t) { return probeIcmp(silent, t); },
        [&](auto& t) { return probeIcmp(unreachable, t); }};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::future<double>> waits;  // seconds until each failed, -1 when it succeeded
    for (const auto& probe : unanswered)
        waits.push_back(std::async(std::launch::async, [&] {
            std::int64_t roundTrip = -1;
            if (probe(roundTrip) || roundTrip != 0) return -1.0;
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }));

    sockaddr_in address{};
    ASSERT_TRUE(resolveIPv4(L"127.0.0.1", address));
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    int length = sizeof address;
    bind(listener, reinterpret_cast<sockaddr*>(&address), length);
    listen(listener, SOMAXCONN);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const std::uint16_t port = ntohs(address.sin_port);
    std::int64_t took[2] = {};
    EXPECT_TRUE(probeIcmp(L"127.0.0.2", took[0]));
    EXPECT_TRUE(probeTcp(L"localhost", port, took[1]));
    for (const std::int64_t roundTrip : took)
        EXPECT_TRUE(roundTrip > 0 && roundTrip < 1'000'000'000) << roundTrip;
    for (const wchar_t* host : {L"::1", L"127.0.0.1:80", L"no-such-host.invalid"})
        EXPECT_FALSE(probeTcp(host, port, took[0]) || probeIcmp(host, took[1])) << host;
    const double earliest[] = {0, 0.9, 0.9, 0};  // a refusal or an ICMP error comes at once
    for (std::size_t i = 0; i < 4; ++i) {
        const double seconds = waits[i].get();
        EXPECT_GE(seconds, earliest[i]) << "probe " << i;
        EXPECT_LT(seconds, earliest[i] > 0 ? 1.8 : 0.5) << "probe " << i;
    }
    // Handles are numbered lowest free first: leaked ones would push a new one's number up.
    // Each answered connection is taken off the listener's queue, which a kernel may keep short.
    const auto newHandleAfter = [&](int tcp, int icmp) {
        for (int i = 0; i < tcp; ++i) {
            const bool answered = probeTcp(L"127.0.0.1", port, took[0]);
            EXPECT_TRUE(answered);
            if (answered) closesocket(accept(listener, nullptr, nullptr));
        }
        for (int i = 0; i < icmp; ++i) EXPECT_TRUE(probeIcmp(L"127.0.0.1", took[0]));
        const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        CloseHandle(event);
        return reinterpret_cast<std::uintptr_t>(event);
    };
    const std::uintptr_t handle = newHandleAfter(20, 20);  // sets up what later probes reuse
    PROCESS_MEMORY_COUNTERS before{}, after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    EXPECT_LE(newHandleAfter(1000, 200), handle + 64);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_LE(after.PagefileUsage, before.PagefileUsage + 64 * 1024);
    ASSERT_EQ(redirectImport(systemFunction(L"ws2_32.dll", "getsockopt"), (void*)failingGetsockopt),
              1);
    EXPECT_FALSE(probeTcp(L"127.0.0.1", port, took[0])) << "a pending error that cannot be read";
}
