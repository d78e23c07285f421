#pragma once
// The wall clock: the time stamps of log entries, and the time of day a target's state began.

struct LocalTime {
    unsigned year, month, day, hour, minute, second;
    unsigned millisecond = 0;  // so that a time of day worked out backwards does not jitter
};

LocalTime readLocalTime();
