#pragma once
// The notification-area icon's lamp and tip, from the monitoring state and the outage counts.

#include <cstddef>
#include <string>

enum class TrayLamp { green, red, grey };

struct TrayState {
    TrayLamp lamp = TrayLamp::grey;
    std::wstring tip;  // "Tarvex: 2 of 6 targets down"
};

// `up` and `down` count the targets in use in those outage states.
TrayState trayStateOf(bool running, std::size_t inUse, std::size_t up, std::size_t down);
