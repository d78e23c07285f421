#include "app/health.h"

#include <gtest/gtest.h>

namespace {

Target inUse(std::initializer_list<std::uint8_t> results) {
    Target target;
    target.host = L"127.0.0.1";
    target.history.assign(results);
    return target;
}

TEST(Health, TableWithoutTargetsInUseIsHealthy) {
    std::vector<Target> table(targetSlotCount);
    EXPECT_TRUE(allTargetsInUseAnswered(table));
    // Neither a disabled target nor one without a host counts, whatever its results.
    table[0] = inUse({0});
    table[0].enabled = false;
    table[1].history.assign({0, 0});
    EXPECT_TRUE(allTargetsInUseAnswered(table));
}

TEST(Health, NewestResultOfEveryTargetInUseDecides) {
    std::vector<Target> table(targetSlotCount);
    table[3] = inUse({0, 0, 1});
    table[7] = inUse({1});
    EXPECT_TRUE(allTargetsInUseAnswered(table));

    table[19] = inUse({});  // not probed yet
    EXPECT_FALSE(allTargetsInUseAnswered(table));

    table[19] = inUse({1, 0});
    EXPECT_FALSE(allTargetsInUseAnswered(table));
}

}  // namespace
