#include "view/view_rows.h"

#include <gtest/gtest.h>

namespace {

Target target(bool enabled, ProbeType type, const std::wstring& host, std::uint16_t port) {
    Target result;
    result.enabled = enabled;
    result.type = type;
    result.host = host;
    result.port = port;
    return result;
}

}  // namespace

TEST(ViewRows, OneRowPerTargetInUseWithTheNewestResults) {
    std::vector<Target> table(5);
    table[0] = target(true, ProbeType::tcp, L"web", 443);
    table[1] = target(false, ProbeType::icmp, L"disabled", 0);
    table[2] = target(true, ProbeType::tcp, L"", 80);
    table[3] = target(true, ProbeType::icmp, L"router", 99);
    for (int i = 0; i < 2500; ++i) table[3].history.push_back(static_cast<std::uint8_t>(i % 3));

    const std::vector<ViewRow> rows = buildViewRows(table);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].host, L"web");
    EXPECT_EQ(rows[0].protocolText, L"tcp:443");
    EXPECT_TRUE(rows[0].recentResults.empty());
    EXPECT_FALSE(lampShowsAnswer(rows[0])) << "never probed";
    EXPECT_EQ(rows[1].protocolText, L"icmp");
    ASSERT_EQ(rows[1].recentResults.size(), maxBarsPerRow);
    for (std::size_t i = 0; i < maxBarsPerRow; ++i) {
        EXPECT_EQ(rows[1].recentResults[i], (2500 - maxBarsPerRow + i) % 3 != 0) << i;
    }
    EXPECT_FALSE(lampShowsAnswer(rows[1])) << "the newest result, 2499 % 3, is 0";

    table[3].history.push_back(2);
    EXPECT_TRUE(lampShowsAnswer(buildViewRows(table)[1])) << "any non-zero byte is an answer";
}

TEST(ViewRows, BarsEndAtTheFramesRightEdgeAndFillItFromTheLeft) {
    EXPECT_EQ(firstBarLeft(0), 650);
    EXPECT_EQ(firstBarLeft(1), 648);
    EXPECT_EQ(firstBarLeft(144), 362);
    EXPECT_EQ(firstBarLeft(145), 360);
    EXPECT_EQ(firstBarLeft(2500), 360);
}
