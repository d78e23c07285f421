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
        const Target probed = {true, ProbeType::icmp, std::to_wstring(n), 0, 1, {}, 0};
        targetTable.lock().replaceAll(std::vector<Target>(20, probed), n);
        for (const Target& t : targetTable.snapshot()) halfDone += t.host != probed.host;
    }
    stopWorker = true;
    worker.join();
    targetTable.lock().replaceAll(
        std::vector<Target>(20, {false, ProbeType::tcp, L"h", 9, 3, {1}, 2}), 7);
    const Target last = targetTable.snapshot()[19];
    EXPECT_TRUE(halfDone == 0 && !last.enabled && last.host == L"h" && last.port == 9);
    EXPECT_TRUE(last.interval == 3 && last.history.empty() && last.nextDue == 7);
    targetTable.lock().resetToDefaults();
    const std::vector<Target> fresh = targetTable.snapshot();
    EXPECT_TRUE(fresh.size() == 20 && fresh[19].host.empty() && fresh[19].nextDue == 0);
}
