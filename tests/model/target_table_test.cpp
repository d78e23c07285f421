#include "model/target_table.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "model/clock.h"
#include "model/target_checks.h"

namespace {

TEST(TargetTable, RecordKeepsTheNewestResultsInOrderAndSchedulesByTheInterval) {
    TargetTable table;
    table.lock().resetToDefaults();
    table.lock().entries()[0].interval = 0;  // intervals below one second count as one
    table.lock().entries()[1].interval = -5;
    table.lock().entries()[3].interval = 7;
    const std::size_t total = historyLimit + 123;
    for (std::size_t i = 0; i < total; ++i) {
        ASSERT_TRUE(table.recordResult(3, static_cast<std::uint8_t>(i % 3 == 0), 1000 + i));
    }
    ASSERT_TRUE(table.recordResult(0, 1, 500) && table.recordResult(1, 0, 500));
    EXPECT_FALSE(table.recordResult(targetSlotCount, 1, 500));

    const std::vector<Target> copy = table.snapshot();
    const Target& entry = copy[3];
    ASSERT_EQ(entry.history.size(), historyLimit);
    for (std::size_t i = 0; i < historyLimit; ++i) {
        ASSERT_EQ(entry.history[i], (i + total - historyLimit) % 3 == 0 ? 1 : 0) << "at " << i;
    }
    EXPECT_EQ(entry.nextDue, static_cast<std::int64_t>(1000 + total - 1) + 7 * nanosPerSecond);
    EXPECT_EQ(copy[0].nextDue, 500 + nanosPerSecond);
    EXPECT_EQ(copy[1].nextDue, 500 + nanosPerSecond);
    EXPECT_TRUE(copy[2].history.empty() && copy[4].history.empty());
}

TEST(TargetTable, ReplaceAllRestartsEveryTargetAndResetGivesTwentyFreshOnes) {
    TargetTable table;
    table.lock().resetToDefaults();
    for (std::size_t i = 0; i < targetSlotCount; ++i) table.recordResult(i, 1, 100 + i);
    std::vector<Target> list(3);
    list[0] = makeTarget(false, ProbeType::tcp, L"host | with bar", 8080, 30);
    list[0].history = {1, 0, 1};
    list[0].nextDue = 99;
    table.lock().replaceAll(list, 12345);
    std::vector<Target> copy = table.snapshot();
    ASSERT_EQ(copy.size(), 3u);
    EXPECT_EQ(settingsText(copy[0]), L"0,tcp,host | with bar,8080,30");
    for (const Target& target : copy) {
        EXPECT_TRUE(target.history.empty() && target.nextDue == 12345);
    }

    table.lock().resetToDefaults();
    copy = table.snapshot();
    ASSERT_EQ(copy.size(), targetSlotCount);
    for (const Target& target : copy) EXPECT_TRUE(isFresh(target));
    EXPECT_TRUE(isFresh(Target{}));
}

// The ThreadSanitizer build's check: the worker's per-slot steps, snapshots, in-place readings
// and whole-table replacements all run at once, as they do in the program.
std::vector<Target> generation(int number) {
    std::vector<Target> list(targetSlotCount);
    for (Target& target : list) target.host = L"gen-" + std::to_wstring(number);
    return list;
}

// A replacement is seen whole or not at all: every entry carries the same generation, no
// history exceeds the limit, and all entries that have no result yet share one due time.
bool isConsistent(const std::vector<Target>& entries) {
    if (entries.size() != targetSlotCount) return false;
    const std::int64_t* untouchedDue = nullptr;
    for (const Target& target : entries) {
        if (target.host != entries[0].host || target.history.size() > historyLimit) return false;
        if (!target.history.empty()) continue;
        if (untouchedDue && *untouchedDue != target.nextDue) return false;
        untouchedDue = &target.nextDue;
    }
    return true;
}

TEST(TargetTableThreads, ReadersNeverSeeAHalfDoneReplacement) {
    TargetTable table;
    table.lock().replaceAll(generation(0), 1);
    std::atomic<bool> stop{false};
    std::atomic<int> inconsistent{0};
    std::atomic<int> recorded{0};
    const std::function<void()> roles[] = {
        [&] {  // the worker
            for (std::int64_t now = 2; !stop; ++now) {
                for (std::size_t i = 0; i < targetSlotCount; ++i) {
                    Target copy;
                    if (!table.copyEntryForSweep(i, now, copy)) continue;
                    if (copy.host.rfind(L"gen-", 0) != 0) ++inconsistent;
                    if (table.recordResult(i, static_cast<std::uint8_t>(now & 1), now)) ++recorded;
                }
            }
        },
        [&] {  // the status panel
            while (!stop) inconsistent += isConsistent(table.snapshot()) ? 0 : 1;
        },
        [&] {  // the painter, reading in place
            while (!stop) inconsistent += isConsistent(table.lock().entries()) ? 0 : 1;
        }};
    std::vector<std::thread> threads;
    for (const auto& role : roles) threads.emplace_back(role);

    for (int number = 1; number <= 300; ++number) {
        table.lock().replaceAll(generation(number), number);
        std::this_thread::yield();
    }
    stop = true;
    for (std::thread& thread : threads) thread.join();

    EXPECT_EQ(inconsistent, 0);
    EXPECT_GT(recorded, 0);
    const std::vector<Target> last = table.snapshot();
    ASSERT_TRUE(isConsistent(last));
    EXPECT_EQ(last[0].host, L"gen-300");
}

}  // namespace
