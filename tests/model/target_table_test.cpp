#include "model/target_table.h"

#include <gtest/gtest.h>

#include <thread>

#include "model/clock.h"

TEST(TargetTable, RecordKeepsTheNewestResultsAndSchedulesByTheInterval) {
    TargetTable table;
    table.lock().resetToDefaults();
    // Slot i: its interval, how many results it gets (k % 3 == 0 at clock 1000 + k), and the
    // seconds from the last clock reading to the next due time.
    const std::tuple<std::int32_t, std::size_t, std::int64_t> cases[] = {
        {7, 2501, 7}, {0, 2500, 1}, {-5, 1, 1}};
    for (std::size_t slot = 0; slot < std::size(cases); ++slot) {
        const auto [interval, count, seconds] = cases[slot];
        table.lock().entries()[slot].interval = interval;
        std::deque<std::uint8_t> newest;
        for (std::size_t k = 0; k < count; ++k) {
            table.recordResult(slot, k % 3 == 0, 1000 + k);
            if (k + 2500 >= count) newest.push_back(k % 3 == 0);
        }
        EXPECT_EQ(table.snapshot()[slot].history, newest) << slot;
        EXPECT_EQ(table.snapshot()[slot].nextDue, 999 + count + seconds * nanosPerSecond);
    }
}

TEST(TargetTable, ReplaceAllRestartsEveryTargetAndResetGivesTwentyFreshOnes) {
    TargetTable table;
    table.lock().replaceAll(std::vector<Target>(20, {false, ProbeType::tcp, L"h", 9, 3, {1}, 2}),
                            5);
    const Target replaced = {false, ProbeType::tcp, L"h", 9, 3, {}, 5};
    for (const Target& want : {replaced, Target{true, ProbeType::icmp, L"", 0, 10, {}, 0}}) {
        if (want.enabled) table.lock().resetToDefaults();
        ASSERT_EQ(table.snapshot().size(), 20u);
        for (const Target& t : table.snapshot()) {
            EXPECT_EQ(std::tie(t.enabled, t.type, t.host, t.port, t.interval, t.history, t.nextDue),
                      std::tie(want.enabled, want.type, want.host, want.port, want.interval,
                               want.history, want.nextDue));
        }
    }
}

// Under ThreadSanitizer: the worker's steps race against replacements, and every snapshot
// holds one replacement whole.
TEST(TargetTable, ReadersNeverSeeAHalfDoneReplacement) {
    TargetTable table;
    const auto replace = [&table](int n) {
        table.lock().replaceAll(
            std::vector<Target>(20, {true, ProbeType::icmp, std::to_wstring(n), 0, 1, {}, 0}), n);
    };
    replace(0);
    std::atomic<bool> stop{false};
    int halfDone = 0;
    std::thread worker([&] {
        for (Target copy; !stop;) {
            for (std::size_t i = 0; table.copyEntryForSweep(i, 0, copy); ++i)
                table.recordResult(i, 1, 0);
            const std::vector<Target> entries = table.snapshot();
            halfDone += entries.front().host != entries.back().host;
        }
    });
    for (int n = 1; n < 300; ++n) replace(n);
    stop = true;
    worker.join();
    EXPECT_EQ(halfDone, 0);
}
