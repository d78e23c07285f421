#include "model/target_table.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// Meant for the ThreadSanitizer build: the worker's per-slot steps, snapshots, in-place
// readings and whole-table replacements all run at once, as they do in the program.
namespace {

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

    std::thread worker([&] {
        for (std::int64_t now = 2; !stop; ++now) {
            for (std::size_t i = 0; i < targetSlotCount; ++i) {
                Target copy;
                if (!table.copyEntryForSweep(i, now, copy)) continue;
                if (copy.host.rfind(L"gen-", 0) != 0) ++inconsistent;
                if (table.recordResult(i, static_cast<std::uint8_t>(now & 1), now)) ++recorded;
            }
        }
    });
    std::thread snapshotter([&] {
        while (!stop) {
            if (!isConsistent(table.snapshot())) ++inconsistent;
        }
    });
    std::thread painter([&] {
        while (!stop) {
            auto locked = table.lock();
            if (!isConsistent(locked.entries())) ++inconsistent;
        }
    });

    for (int number = 1; number <= 300; ++number) {
        table.lock().replaceAll(generation(number), number);
        std::this_thread::yield();
    }
    stop = true;
    worker.join();
    snapshotter.join();
    painter.join();

    EXPECT_EQ(inconsistent, 0);
    EXPECT_GT(recorded, 0);
    const std::vector<Target> last = table.snapshot();
    ASSERT_TRUE(isConsistent(last));
    EXPECT_EQ(last[0].host, L"gen-300");
}

}  // namespace
