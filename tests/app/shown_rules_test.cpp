// What the main window shows of a table, without a window: the health bar's verdict and
// words, the monitor view's rows, lamps, bars and spoken texts.
#include <gtest/gtest.h>

#include "app/health.h"
#include "view/view_rows.h"

static Target slot(const wchar_t* host, std::deque<std::uint8_t> history, bool enabled = true) {
    return {.enabled = enabled, .host = host, .history = std::move(history)};
}

TEST(ShownRules, HealthRowsAndBars) {
    const std::pair<std::vector<Target>, std::wstring> healths[] = {
        {{slot(L"", {0}), slot(L"127.0.0.1", {0}, false)}, L"no targets"},  // neither in use
        {{slot(L"a", {0, 1}), slot(L"b", {1})}, L"all targets answering"},
        {{slot(L"a", {1, 0}), slot(L"b", {}), slot(L"c", {1})}, L"2 of 3 targets down"},
    };
    for (const auto& [table, spoken] : healths) {
        EXPECT_EQ(spokenHealth(table), spoken);
        EXPECT_EQ(allTargetsInUseAnswered(table), spoken != L"2 of 3 targets down") << spoken;
    }

    std::deque<std::uint8_t> history(2999, 1);
    history.push_back(0);
    std::vector<Target> table = {slot(L"127.0.0.2", history), slot(L"off", {1}, false),
                                 slot(L"", {1}), slot(L"127.0.0.1", {}),
                                 slot(L"127.0.0.3", {0, 1})};
    table[0].type = ProbeType::tcp;
    table[0].port = 443;
    std::wstring spoken;
    for (const ViewRow& row : buildViewRows(table))
        spoken += spokenName(row) + L"|" + spokenValue(row) + L"|" + spokenDescription(row) + L"|" +
                  std::to_wstring(row.recentResults.size()) + L" bars, oldest " +
                  (row.recentResults.empty() || row.recentResults.front() ? L"g" : L"r") + L"\n";
    EXPECT_EQ(spoken,
              L"127.0.0.2 tcp:443|down|144 of 145 answered|145 bars, oldest g\n"
              L"127.0.0.1 icmp|not probed yet|0 of 0 answered|0 bars, oldest g\n"
              L"127.0.0.3 icmp|up|1 of 2 answered|2 bars, oldest r\n");
    const std::pair<std::size_t, int> barLefts[] = {{0, 650}, {1, 648}, {145, 360}, {146, 360}};
    for (const auto& [bars, left] : barLefts)
        EXPECT_EQ(firstBarLeft(bars), left) << bars << " bars";
}
