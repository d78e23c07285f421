// What the operator reads outside the window: the balloons gathered from outage notices, and
// the notification-area icon's lamp and tip.
#include <gtest/gtest.h>

#include "alert/alert_balloons.h"
#include "alert/tray_state.h"
#include "model/clock.h"

static OutageNotice notice(std::wstring name, OutageEvent event, std::int64_t lasted = 0) {
    return {
        .name = std::move(name), .event = event, .lasted = lasted * nanosPerSecond, .changes = 4};
}

TEST(AlertTexts, BalloonsGatheredOverTwoSecondsAndTrayTips) {
    using enum OutageEvent;
    const std::wstring h(125, L'h'), hhh = h + h + h;  // names too long for one balloon
    const std::pair<std::vector<OutageNotice>, std::wstring> balloons[] = {
        {{notice(L"127.0.0.2 tcp:81", down)}, L"! Target down: 127.0.0.2 tcp:81 is down"},
        {{notice(L"a", up, 723)}, L"i Target answers again: a answers again after 12 min 3 s"},
        {{notice(L"a", unstable)}, L"! Target unstable: a is unstable: 4 changes in 10 min"},
        {{notice(L"a", down), notice(L"b", down), notice(L"c", down)},
         L"! 3 targets down: a\nb\nc"},
        {{notice(L"a", up, 45), notice(L"b", up, 7200)},
         L"i 2 targets answer again: a after 45 s\nb after 2 h"},
        {{notice(L"a", up, 60), notice(L"b", unstable)},
         L"! 2 changes: a answers again after 1 min\nb is unstable: 4 changes in 10 min"},
        {{notice(h + L"1", down), notice(h + L"2", down), notice(h, down)},
         L"! 3 targets down: " + h + L"1\n..."},  // with the second, "\n..." would not fit
        {{notice(hhh, down)}, L"! Target down: " + hhh.substr(0, 252) + L"..."},  // 255 in all
    };
    const auto shownOf = [](const std::optional<Balloon>& b) {
        return b ? (b->warning ? L"! " : L"i ") + b->title + L": " + b->text : L"nothing";
    };
    for (const auto& [notices, shown] : balloons) {
        BalloonGatherer gatherer;
        for (std::size_t i = 0; i < notices.size(); ++i)  // the last one 1.9 s after the first
            gatherer.add(notices[i], 10 * nanosPerSecond + 1'900'000'000 * (i > 0));
        EXPECT_EQ(gatherer.dueAt(), 12 * nanosPerSecond);
        EXPECT_EQ(shownOf(gatherer.take(12 * nanosPerSecond - 1, false)), L"nothing");
        EXPECT_EQ(shownOf(gatherer.take(12 * nanosPerSecond, false)), shown);
        EXPECT_EQ(gatherer.dueAt(), 0);
        EXPECT_EQ(shownOf(gatherer.take(99 * nanosPerSecond, false)), L"nothing");  // shown once
        gatherer.add(notices[0], 0);  // every target in use is down when the group is shown
        EXPECT_EQ(shownOf(gatherer.take(2 * nanosPerSecond, true)),
                  L"! No target answers: No target answers: the network may be down");
    }
    const std::tuple<bool, int, int, int, std::wstring> trays[] = {
        {false, 6, 6, 0, L"grey Tarvex: monitoring stopped"},
        {true, 0, 0, 0, L"grey Tarvex: no target in use"},
        {true, 3, 0, 0, L"grey Tarvex: waiting for the first answers"},
        {true, 6, 3, 2, L"red Tarvex: 2 of 6 targets down"},
        {true, 1, 0, 1, L"red Tarvex: 1 of 1 target down"},
        {true, 6, 6, 0, L"green Tarvex: 6 targets answer"},
        {true, 2, 1, 0, L"green Tarvex: 1 target answers"},
    };
    const wchar_t* lamps[] = {L"green ", L"red ", L"grey "};
    for (const auto& [running, inUse, up, down, shown] : trays)
        EXPECT_EQ(lamps[static_cast<int>(trayStateOf(running, inUse, up, down).lamp)] +
                      trayStateOf(running, inUse, up, down).tip,
                  shown);
}
