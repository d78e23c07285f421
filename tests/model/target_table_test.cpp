#include "model/target_table.h"

#include <gtest/gtest.h>

#include <thread>

#include "engine/probe_worker.h"

// The real worker probes and records on its own thread while the table is replaced and read
// here (ThreadSanitizer watches); each replacement lands whole, results cleared, one due time.
TEST(TargetTable, ReplaceAllRestartsEveryTargetAndResetGivesTwentyFreshOnes) {
    const auto answer = [](auto&) { return true; };
    setProbeWorkerHooks({answer, {}, {}, [](auto) { std::this_thread::yield(); }});
    isRunning = true;
    std::thread worker(runProbeWorker);
    int halfDone = 0;
    for (int n = 1; n <= 300; ++n) {
        const Target probed = {.host = std::to_wstring(n), .interval = 1};
        targetTable.lock().replaceAll(std::vector<Target>(20, probed), n);
        for (const Target& t : targetTable.snapshot()) halfDone += t.host != probed.host;
    }
    stopWorker = true;
    worker.join();
    EXPECT_EQ(halfDone, 0) << "entries of a replacement seen beside older ones";
    const Target replacement = {.enabled = false,
                                .type = ProbeType::tcp,
                                .host = L"h",
                                .port = 9,
                                .interval = 3,
                                .history = {1},
                                .nextDue = 2};
    targetTable.lock().replaceAll(std::vector<Target>(20, replacement), 7);
    const Target last = targetTable.snapshot()[19];
    EXPECT_FALSE(last.enabled);
    EXPECT_EQ(last.type, ProbeType::tcp);
    EXPECT_EQ(last.host, L"h");
    EXPECT_EQ(last.port, 9);
    EXPECT_EQ(last.interval, 3);
    EXPECT_TRUE(last.history.empty());
    EXPECT_EQ(last.nextDue, 7);
    targetTable.lock().resetToDefaults();
    const std::vector<Target> fresh = targetTable.snapshot();
    EXPECT_EQ(fresh.size(), targetSlotCount);
    EXPECT_EQ(fresh[19].host, L"");
    EXPECT_EQ(fresh[19].nextDue, 0);
}
