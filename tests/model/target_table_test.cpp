#include "model/target_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "engine/probe_worker.h"

// Every field of a target, for comparisons that show them all.
static std::wstring text(const Target& t) {
    return (t.enabled ? L"on " : L"off ") + protocolText(t) + L" " + t.host + L" every " +
           std::to_wstring(t.interval) + L" s, " + std::to_wstring(t.history.size()) +
           L" results, due " + std::to_wstring(t.nextDue);
}

// The real worker probes and records while the table is replaced and read on other threads
// (ThreadSanitizer watches); each replacement lands whole, results cleared, one due time.
TEST(TargetTable, ReplaceAllRestartsEveryTargetAndResetGivesTwentyFreshOnes) {
    const auto answer = [](auto&, auto&) { return true; };
    setProbeWorkerHooks({answer, {}, {}, [](auto) { std::this_thread::yield(); }});
    isRunning = true;
    std::thread worker(runProbeWorker);
    std::atomic<bool> replacing = true;
    int mixed = 0;  // snapshots, taken on a thread of their own, that hold two replacements
    std::thread reader([&] {
        while (replacing) {
            const std::vector<Target> seen = targetTable.snapshot();
            mixed +=
                std::ranges::any_of(seen, [&](const Target& t) { return t.host != seen[0].host; });
        }
    });
    for (int n = 1; n <= 300; ++n)
        targetTable.replaceAll(
            std::vector<Target>(20, Target{.host = std::to_wstring(n), .interval = 1}), n);
    replacing = false;
    reader.join();
    stopWorker = true;
    worker.join();
    EXPECT_EQ(mixed, 0) << "entries of a replacement seen beside older ones";
    const Target replacement = {.enabled = false,
                                .type = ProbeType::tcp,
                                .host = L"h",
                                .port = 9,
                                .interval = 3,
                                .history = {1},
                                .nextDue = 2};
    targetTable.replaceAll(std::vector<Target>(20, replacement), 7);
    EXPECT_EQ(text(targetTable.snapshot()[19]), L"off tcp:9 h every 3 s, 0 results, due 7");
    targetTable.resetToDefaults();
    EXPECT_EQ(targetTable.snapshot().size(), targetSlotCount);
    EXPECT_EQ(text(targetTable.snapshot()[19]), L"on icmp  every 10 s, 0 results, due 0");
}
