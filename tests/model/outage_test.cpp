#include "model/outage.h"

#include <gtest/gtest.h>

#include "model/clock.h"

// One result a minute ('x' no answer, 'o' an answer, '-' none); each change as its minute, the
// entries logged and, after ">", what the user is told.
static std::wstring changesOf(const std::string& results) {
    const wchar_t* told[] = {L"", L" >down", L" >up", L" >unstable "};
    OutageTrack track;
    std::wstring changes;
    for (std::size_t minute = 0; minute < results.size(); ++minute) {
        if (results[minute] == '-') continue;
        const auto now = static_cast<std::int64_t>(1000 + minute * 60) * nanosPerSecond;
        const OutageChange c = recordOutage(track, results[minute] == 'o', now);
        if (!c.wentDown && !c.cameUp) continue;
        changes += L", " + std::to_wstring(minute) + (c.wentDown ? L" DOWN" : L"") +
                   (c.cameUp ? L" UP " + durationText(c.lasted) : L"") +
                   (c.becameUnstable ? L" UNSTABLE" : L"") + told[static_cast<int>(c.notice)] +
                   (c.notice == OutageEvent::unstable ? std::to_wstring(c.changes) : L"");
    }
    return changes.substr(std::min<std::size_t>(changes.size(), 2));
}

TEST(Outage, TwoFailuresMakeDownOneAnswerUpAndTheFourthChangeInTenMinutesUnstable) {
    const std::pair<const char*, const wchar_t*> stories[] = {
        {"oxoxoxx--o", L"6 DOWN >down, 9 UP 3 min >up"},  // a lost answer, unknown -> up: silent
        {"xxxxx", L"1 DOWN >down"},                       // a target that never answers
        {"xxo---xx---oxxo",  // the 1st change is 10 min old at the 4th, the 3rd 7 min at the 6th
         L"1 DOWN >down, 2 UP 1 min >up, 7 DOWN >down, 11 UP 4 min >up, 13 DOWN >down, "
         L"14 UP 1 min UNSTABLE >unstable 4"},
        {"oxxoxxoxxo--xx----o",  // 4 min in one state: still unstable; 5 min: quiet again
         L"2 DOWN >down, 3 UP 1 min >up, 5 DOWN >down, 6 UP 1 min UNSTABLE >unstable 4, "
         L"8 DOWN, 9 UP 1 min, 13 DOWN, 18 UP 5 min >up"},
    };
    for (const auto& [results, changes] : stories)
        EXPECT_EQ(changesOf(results), changes) << results;
    const std::pair<double, const wchar_t*> durations[] = {
        {45.9, L"45 s"}, {59.99, L"59 s"}, {7559, L"2 h 5 min"}};
    for (const auto& [seconds, text] : durations)
        EXPECT_EQ(durationText(static_cast<std::int64_t>(seconds * 1e9)), text) << seconds;
}
