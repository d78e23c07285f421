#pragma once
// Whether a target in use is out: a layer above its results. One lost answer is not an
// outage: a target is down after two failed probes in a row and up again after one answer.

#include <cstdint>
#include <deque>
#include <string>

enum class OutageState : std::uint8_t { unknown, up, down };

// Run-time only, never stored: every new table, and every stop or start of monitoring,
// begins again with unknown.
struct OutageTrack {
    OutageState state = OutageState::unknown;
    int failedInRow = 0;
    std::int64_t since = 0;            // steady-clock ns when `state` began; 0 while unknown
    std::deque<std::int64_t> changes;  // steady-clock ns of the changes of the last 10 min
    bool unstable = false;             // announced as unstable: its changes are not notified
    int outages = 0;  // times it went down since the table was put in place; kept when forgotten
};

enum class OutageEvent : std::uint8_t { none, down, up, unstable };

// What one result changed: what to log, in this order, and what the user is told.
struct OutageChange {
    bool wentDown = false;
    bool cameUp = false;
    bool becameUnstable = false;
    std::int64_t lasted = 0;  // cameUp: how long the target was down, in ns
    OutageEvent notice = OutageEvent::none;
    int changes = 0;  // the changes of the last 10 min, this one included
};

// Steps `track` by one probe result that arrived at steady-clock time `now`.
OutageChange recordOutage(OutageTrack& track, bool answered, std::int64_t now);

// How long something lasted, rounded down: "45 s", "12 min 3 s", "12 min", "2 h 5 min", "2 h".
std::wstring durationText(std::int64_t nanos);

// What the worker hands the user interface when a change is to be told.
struct OutageNotice {
    std::wstring name;  // host and protocol, "127.0.0.2 tcp:81" or "127.0.0.3 icmp"
    OutageEvent event = OutageEvent::none;
    std::int64_t lasted = 0;  // up: how long the target was down, in ns
    int changes = 0;          // unstable: the changes counted in the window
};
