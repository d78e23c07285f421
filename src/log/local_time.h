#pragma once
// The wall clock, used only for the time stamps of log entries.

struct LocalTime {
    unsigned year, month, day, hour, minute, second;
};

LocalTime readLocalTime();
