#include "model/target_table.h"

#include <gtest/gtest.h>

#include <thread>

// Replacing clears every result and makes every target due at the one time given. Under
// ThreadSanitizer another thread takes snapshots during the replacements: each holds one whole.
// (A fresh target's values show in the default config.xml.)
TEST(TargetTable, ReplaceAllRestartsEveryTargetAndResetGivesTwentyFreshOnes) {
    TargetTable table;
    table.lock().resetToDefaults();
    std::atomic<bool> stop{false};
    int halfDone = 0;
    std::thread reader([&] {
        for (std::vector<Target> entries; !stop; entries = table.snapshot()) {
            for (const Target& t : entries) halfDone += t.nextDue != entries[0].nextDue;
        }
    });
    const Target used = {false, ProbeType::tcp, L"h", 9, 3, {1}, 2};
    for (int n = 1; n <= 300; ++n) table.lock().replaceAll(std::vector<Target>(20, used), n);
    stop = true;
    reader.join();
    const Target last = table.snapshot()[19];
    EXPECT_TRUE(halfDone == 0 && !last.enabled && last.host == L"h" && last.port == 9);
    EXPECT_TRUE(last.interval == 3 && last.history.empty() && last.nextDue == 300);
    table.lock().resetToDefaults();
    const std::vector<Target> fresh = table.snapshot();
    EXPECT_TRUE(fresh.size() == 20 && fresh[19].host.empty() && fresh[19].nextDue == 0);
}
