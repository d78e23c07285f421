// One target's details from its kept results and times and its outage state, in every text
// form; the steady clock and the local time of day are given, never read.
#include "app/target_details.h"

#include <gtest/gtest.h>

#include "model/clock.h"

// Results from round-trip times in us, oldest first (noRoundTrip: no answer), in `state` for
// `seconds` at 00:05:00 and `ms` milliseconds local time.
static TargetDetails details(std::deque<std::uint32_t> times, OutageState state, double seconds,
                             unsigned ms = 0) {
    Target t{.type = ProbeType::tcp, .host = L"127.0.0.2", .port = 81, .roundTrips = times};
    for (std::uint32_t time : times) t.history.push_back(time != noRoundTrip);
    t.outage = {.state = state, .since = 5 * nanosPerSecond, .outages = 3};
    const auto now = 5 * nanosPerSecond + static_cast<std::int64_t>(seconds * 1e9);
    return targetDetailsOf(t, now, {2026, 12, 7, 0, 5, 0, ms});
}

TEST(TargetDetails, TimesPercentilesSharesAndTheirTexts) {
    const std::pair<std::uint32_t, const wchar_t*> times[] = {
        {0, L"<0.1 ms"},   {99, L"<0.1 ms"},  {100, L"0.1 ms"},  {849, L"0.8 ms"},
        {9999, L"9.9 ms"}, {10000, L"10 ms"}, {12999, L"12 ms"}, {noRoundTrip, L"-"}};
    for (const auto& [micros, text] : times) EXPECT_EQ(roundTripText(micros), text) << micros;

    const std::pair<std::pair<std::size_t, std::size_t>, const wchar_t*> shares[] = {
        {{2499, 2500}, L"2,499 of 2,500 answered, 99.9 %"},
        {{1, 2500}, L"1 of 2,500 answered, 0.1 %"},
        {{2, 3}, L"2 of 3 answered, 66.7 %"},
        {{1234567, 1234567}, L"1,234,567 of 1,234,567 answered, 100.0 %"},
        {{0, 3}, L"0 of 3 answered, 0.0 %"}};  // none kept: detailsText below
    for (const auto& [counts, text] : shares)
        EXPECT_EQ(answeredText({.answered = counts.first, .kept = counts.second}), text);

    std::deque<std::uint32_t> twenty;  // 2.0 ms down to 0.1 ms
    for (std::uint32_t us = 2000; us > 0; us -= 100) twenty.push_back(us);
    const std::pair<TargetDetails, const wchar_t*> rows[] = {
        {details({}, OutageState::unknown, 0), L"not known yet\t-\t-\t-\t-\t-\t0\t0"},
        {details({900, 3400, noRoundTrip, 800, 1200}, OutageState::up, 3),
         L"up\t00:04:57\t1.2 ms\t0.9 ms\t3.4 ms\t3.4 ms\t4\t5"},
        {details(twenty, OutageState::up, 0),
         L"up\t00:05:00\t0.1 ms\t1.0 ms\t1.9 ms\t2.0 ms\t20\t20"},
        {details({noRoundTrip, 0}, OutageState::down, 723),  // since the day before
         L"down\t23:52:57\t<0.1 ms\t<0.1 ms\t<0.1 ms\t<0.1 ms\t1\t2"},
        {details({}, OutageState::up, 0.5, 600), L"up\t00:05:00\t-\t-\t-\t-\t0\t0"}};
    for (const auto& [shown, row] : rows)
        EXPECT_EQ(detailsRow(shown), std::wstring(L"127.0.0.2\ttcp:81\t") + row);
    EXPECT_EQ(std::wstring(detailsRowHeader),
              L"host\tprotocol\tstate\tsince\tlast\tmedian\t95 %\tlargest\tanswered\tkept");

    EXPECT_EQ(detailsText(rows[1].first),
              L"127.0.0.2 tcp:81\r\nup since 00:04:57\r\n"
              L"round trip: last 1.2 ms, median 0.9 ms, 95 % 3.4 ms, largest 3.4 ms\r\n"
              L"4 of 5 answered, 80.0 %\r\noutages since the table was loaded: 3");
    EXPECT_EQ(detailsText(rows[0].first),
              L"127.0.0.2 tcp:81\r\nnot known yet\r\nround trip: no answer kept\r\n"
              L"0 of 0 answered\r\noutages since the table was loaded: 3");
    EXPECT_EQ(spokenDetails(rows[3].first),
              L"last <0.1 ms, median <0.1 ms; down since 23:52:57 (12 min 3 s)");
    EXPECT_EQ(spokenDetails(rows[0].first), L"not known yet");
}
