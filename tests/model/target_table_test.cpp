#include "model/target_table.h"

#include <gtest/gtest.h>

#include <string>

#include "model/clock.h"

namespace {

Target tcpTarget(const std::wstring& host, std::uint16_t port, std::int32_t interval) {
    Target target;
    target.type = ProbeType::tcp;
    target.host = host;
    target.port = port;
    target.interval = interval;
    return target;
}

void expectFresh(const Target& target) {
    EXPECT_TRUE(target.enabled);
    EXPECT_EQ(target.type, ProbeType::icmp);
    EXPECT_EQ(target.host, L"");
    EXPECT_EQ(target.port, 0);
    EXPECT_EQ(target.interval, 10);
    EXPECT_TRUE(target.history.empty());
    EXPECT_EQ(target.nextDue, 0);
    EXPECT_FALSE(isInUse(target));
}

TEST(Target, FreshValuesAndUse) {
    expectFresh(Target{});
    Target target;
    target.host = L"127.0.0.1";
    EXPECT_TRUE(isInUse(target));
    target.enabled = false;
    EXPECT_FALSE(isInUse(target));
    EXPECT_STREQ(probeTypeText(ProbeType::icmp), L"icmp");
    EXPECT_STREQ(probeTypeText(ProbeType::tcp), L"tcp");
}

TEST(TargetTable, ResetGivesTwentyFreshTargetsWhateverItHeld) {
    TargetTable table;
    {
        auto locked = table.lock();
        locked.replaceAll({tcpTarget(L"a", 1, 5), tcpTarget(L"b", 2, 6)}, 42);
        locked.resetToDefaults();
        ASSERT_EQ(locked.entries().size(), targetSlotCount);
    }
    for (const Target& target : table.snapshot()) expectFresh(target);
}

TEST(TargetTable, RecordKeepsTheNewestResultsAndSnapshotCopiesThem) {
    TargetTable table;
    table.lock().resetToDefaults();
    table.lock().entries()[3].interval = 7;
    const std::size_t total = historyLimit + 123;
    for (std::size_t i = 0; i < total; ++i) {
        ASSERT_TRUE(table.recordResult(3, static_cast<std::uint8_t>(i % 3 == 0), 1000 + i));
    }
    const std::vector<Target> copy = table.snapshot();
    ASSERT_EQ(copy.size(), targetSlotCount);
    const Target& entry = copy[3];
    ASSERT_EQ(entry.history.size(), historyLimit);
    for (std::size_t i = 0; i < historyLimit; ++i) {
        ASSERT_EQ(entry.history[i], (i + total - historyLimit) % 3 == 0 ? 1 : 0) << "at " << i;
    }
    EXPECT_EQ(entry.nextDue, static_cast<std::int64_t>(1000 + total - 1) + 7 * nanosPerSecond);
    EXPECT_TRUE(copy[2].history.empty());
    EXPECT_TRUE(copy[4].history.empty());
}

TEST(TargetTable, RecordSchedulesAtLeastOneSecondAhead) {
    TargetTable table;
    table.lock().replaceAll({tcpTarget(L"a", 1, 0), tcpTarget(L"b", 2, -5)}, 0);
    ASSERT_TRUE(table.recordResult(0, 1, 500));
    ASSERT_TRUE(table.recordResult(1, 0, 500));
    const std::vector<Target> copy = table.snapshot();
    EXPECT_EQ(copy[0].nextDue, 500 + nanosPerSecond);
    EXPECT_EQ(copy[1].nextDue, 500 + nanosPerSecond);
    EXPECT_FALSE(table.recordResult(2, 1, 500));
    EXPECT_FALSE(table.recordResult(targetSlotCount, 1, 500));
}

TEST(TargetTable, ReplaceAllCopiesSettingsAndRestartsEveryTarget) {
    TargetTable table;
    table.lock().resetToDefaults();
    for (std::size_t i = 0; i < targetSlotCount; ++i) table.recordResult(i, 1, 100 + i);

    std::vector<Target> list(targetSlotCount);
    list[0] = tcpTarget(L"127.0.0.1", 8080, 30);
    list[0].history = {1, 0, 1};
    list[0].nextDue = 99;
    list[5].enabled = false;
    list[5].host = L"host | with bar";
    const std::int64_t before = steadyNowNanos();
    table.lock().replaceAll(list, steadyNowNanos());

    const std::vector<Target> copy = table.snapshot();
    ASSERT_EQ(copy.size(), targetSlotCount);
    EXPECT_EQ(copy[0].type, ProbeType::tcp);
    EXPECT_EQ(copy[0].host, L"127.0.0.1");
    EXPECT_EQ(copy[0].port, 8080);
    EXPECT_EQ(copy[0].interval, 30);
    EXPECT_FALSE(copy[5].enabled);
    EXPECT_EQ(copy[5].host, L"host | with bar");
    for (const Target& target : copy) {
        EXPECT_TRUE(target.history.empty());
        EXPECT_EQ(target.nextDue, copy[0].nextDue);
    }
    EXPECT_GE(copy[0].nextDue, before);
}

TEST(TargetTable, CopyForSweepSchedulesUnscheduledTargetsOnly) {
    TargetTable table;
    table.lock().resetToDefaults();
    table.lock().entries()[1].nextDue = 77;
    table.lock().entries()[0].host = L"127.0.0.1";

    Target copy;
    ASSERT_TRUE(table.copyEntryForSweep(0, 5000, copy));
    EXPECT_EQ(copy.nextDue, 5000);
    EXPECT_EQ(copy.host, L"127.0.0.1");
    EXPECT_EQ(table.snapshot()[0].nextDue, 5000);

    ASSERT_TRUE(table.copyEntryForSweep(1, 6000, copy));
    EXPECT_EQ(copy.nextDue, 77);
    EXPECT_EQ(table.snapshot()[1].nextDue, 77);

    copy.host = L"changed";
    EXPECT_FALSE(table.copyEntryForSweep(targetSlotCount, 7000, copy));
    EXPECT_EQ(copy.host, L"changed");
}

}  // namespace
