#include "model/target_table.h"

#include <gtest/gtest.h>

// Recording results is checked through the worker, which is its one caller.
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
