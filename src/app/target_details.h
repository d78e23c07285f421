#pragma once
// What is shown of one target on demand: since when it is up or down, how fast and how often
// it answers, in the forms a tooltip, the clipboard and a screen reader take. Computed from a
// whole copy of one entry (TargetTable::copyEntry) when asked, never on the worker's path.

#include <cstddef>
#include <cstdint>
#include <string>

#include "log/local_time.h"
#include "model/target.h"

struct TargetDetails {
    std::wstring host;
    std::wstring protocol;  // "icmp", or "tcp:" and the port
    OutageState state = OutageState::unknown;
    std::int64_t lasted = 0;       // how long it has been in `state`, in ns
    std::int32_t sinceSecond = 0;  // the local time of day `state` began, seconds after midnight
    // Round-trip times of the kept answers in microseconds, noRoundTrip while none is kept.
    // The median and the 95th percentile are the nearest-rank ones: an even count's median is
    // the lower of its two middle times.
    std::uint32_t last = noRoundTrip;
    std::uint32_t median = noRoundTrip;
    std::uint32_t percentile95 = noRoundTrip;
    std::uint32_t largest = noRoundTrip;
    std::size_t answered = 0;  // kept results that answered
    std::size_t kept = 0;      // kept results
    int outages = 0;           // since the table was put in place
};

// `now` is the steady clock's reading and `localNow` the local time at that moment: the
// wall-clock start of the state is the time of day now less the steady time since it began.
TargetDetails targetDetailsOf(const Target& target, std::int64_t now, const LocalTime& localNow);

// "<0.1 ms" below 0.1 ms, "0.8 ms" below 10 ms, "12 ms" from there, each rounded down; "-" for
// noRoundTrip.
std::wstring roundTripText(std::uint32_t micros);
// "up since 10:42:03", "down since 14:02:10 (12 min)" or "not known yet".
std::wstring stateText(const TargetDetails& details);
// "2,498 of 2,500 answered, 99.9 %": 100.0 % only when all answered, 0.0 % only when none did;
// "0 of 0 answered" before the first result.
std::wstring answeredText(const TargetDetails& details);

// Five lines joined by "\r\n", for a tooltip and the clipboard: the host and protocol, the
// state, the round-trip times, the answered share and the outages.
std::wstring detailsText(const TargetDetails& details);
// What a screen reader hears after a row's answered count: "last 0.8 ms, median 0.9 ms; up
// since 10:42:03" (without the times while no answer is kept).
std::wstring spokenDetails(const TargetDetails& details);

// A table for a spreadsheet: this header line, then one row of ten tab-separated fields per
// target, both without a line end. Counts are written without separators, absent values "-".
extern const wchar_t* const detailsRowHeader;
std::wstring detailsRow(const TargetDetails& details);
