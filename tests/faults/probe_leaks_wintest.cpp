// Long runs of probes against loopback leave nothing behind: 10,000 probes keep the process's
// handle count and private memory where they were, and the real worker, probing targets
// whose histories are already full, keeps every history at 2500 with the newest results.

// psapi.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "app/app_wiring.h"
#include "app/monitoring.h"
#include "engine/probes.h"
#include "faults/fault_support.h"
#include "model/clock.h"
#include "model/target_table.h"

namespace {

// The handles this process holds, sockets and ICMP handles included, counted in the
// system's handle list: GetProcessHandleCount answers 0 under Wine 8.
std::size_t handleCount() {
    struct HandleEntry {
        ULONG ownerProcessId;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    constexpr ULONG systemHandleInformation = 16;
    constexpr LONG bufferTooSmall = static_cast<LONG>(0xC0000004);
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<ULONG_PTR> buffer(1 << 16);  // pointer-aligned
    LONG status;
    while ((status = query(systemHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), nullptr)) ==
           bufferTooSmall) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) return 0;
    const ULONG count = static_cast<ULONG>(buffer[0]);
    const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + 1);
    return static_cast<std::size_t>(
        std::count_if(entries, entries + count, [](const HandleEntry& entry) {
            return entry.ownerProcessId == GetCurrentProcessId();
        }));
}

// The commit charge: what Windows calls private bytes (PrivateUsage reads 0 under Wine 8).
SIZE_T privateBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

// Rounds of probes: a TCP probe of the accepting port and an ICMP echo to 127.0.0.1 each;
// answers how many of them got no answer.
int failedProbes(std::uint16_t port, int rounds) {
    int failed = 0;
    for (int round = 0; round < rounds; ++round) {
        failed += !probeTcp(L"127.0.0.1", port);
        failed += !probeIcmp(L"127.0.0.1");
    }
    return failed;
}

TEST(ProbeLeaks, TenThousandProbesKeepHandlesAndMemoryFlat) {
    ASSERT_TRUE(startWinsock());
    const AcceptingPort open;
    ASSERT_NE(open.port(), 0);
    const std::uint16_t closed = closedLoopbackPort();
    // The first probes load and set up what every later one reuses.
    ASSERT_EQ(failedProbes(open.port(), 100), 0);
    const std::size_t handlesBefore = handleCount();
    ASSERT_GT(handlesBefore, 0u);
    const SIZE_T privateBefore = privateBytes();

    int failed = 0;
    for (int block = 0; block < 3; ++block) {
        failed += failedProbes(open.port(), 1650);
        // A closed port costs the whole 1 s wait under Wine: a few of them only.
        failed += probeTcp(L"127.0.0.1", closed) ? 0 : 1;
    }
    EXPECT_EQ(failed, 3);  // exactly the closed port's three

    const std::size_t handlesAfter = handleCount();
    const SIZE_T privateAfter = privateBytes();
    std::printf("10,000 probes: handles %zu -> %zu, private bytes %zu -> %zu KB\n",
                handlesBefore, handlesAfter, privateBefore / 1024, privateAfter / 1024);
    EXPECT_LE(handlesAfter, handlesBefore + 2);
    EXPECT_LE(privateAfter, privateBefore + 256 * 1024);  // 26 bytes lost a probe would show
}

TEST(ProbeLeaks, FullHistoriesStayAtTheLimitWithTheNewestResults) {
    ASSERT_TRUE(startWinsock());
    const AcceptingPort open;
    ASSERT_NE(open.port(), 0);
    // Every target in use has 2500 failures and answers every probe now; interval 0 counts
    // as one second.
    std::deque<std::uint8_t> failures(historyLimit, 0);
    {
        TargetTable::Locked table = targetTable.lock();
        table.resetToDefaults();
        for (std::size_t slot = 0; slot < 8; ++slot) {
            Target& target = table.entries()[slot];
            target.host = L"127.0.0.1";
            target.type = slot % 2 ? ProbeType::tcp : ProbeType::icmp;
            target.port = open.port();
            target.interval = 0;
            target.history = failures;
            target.nextDue = steadyNowNanos();
        }
    }
    installAppHooks();  // the real probes; no main window to tell
    autoStartMonitoring();
    std::this_thread::sleep_for(std::chrono::milliseconds(4500));
    ASSERT_TRUE(shutdownMonitoring());

    const std::vector<Target> table = targetTable.snapshot();
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) {
        const std::deque<std::uint8_t>& history = table[slot].history;
        if (slot >= 8) {
            EXPECT_TRUE(history.empty()) << slot;
            continue;
        }
        ASSERT_EQ(history.size(), historyLimit) << slot;
        // The newest results at the back, each an answer, the oldest failures gone.
        const auto answered =
            static_cast<std::size_t>(std::count(history.begin(), history.end(), 1));
        EXPECT_GE(answered, 4u) << slot;
        EXPECT_LE(answered, 6u) << slot;
        EXPECT_TRUE(std::all_of(history.end() - static_cast<std::ptrdiff_t>(answered),
                                history.end(), [](std::uint8_t result) { return result == 1; }))
            << slot;
    }
}

}  // namespace
