#pragma once
// One monitored host: its probe settings (stored in config.xml) and its run-time results.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "model/outage.h"

enum class ProbeType : std::int32_t { icmp = 0, tcp = 1 };

// The table always holds this many slots once the main window exists; slot i is entry i.
constexpr std::size_t targetSlotCount = 20;
// The newest results a target keeps; older ones are dropped from the front.
constexpr std::size_t historyLimit = 2500;
// Kept beside a result that got no answer, in place of a round-trip time.
constexpr std::uint32_t noRoundTrip = 0xFFFFFFFF;

struct Target {
    bool enabled = true;
    ProbeType type = ProbeType::icmp;
    std::wstring host;
    std::uint16_t port = 0;
    std::int32_t interval = 10;        // seconds between two probes
    std::deque<std::uint8_t> history;  // 1 = answered, 0 = not; oldest first
    // Beside the newest results, aligned at the back: each answer's round-trip time in
    // microseconds, noRoundTrip beside a failure.
    std::deque<std::uint32_t> roundTrips;
    std::int64_t nextDue = 0;  // steady-clock nanoseconds; 0 = not yet scheduled
    OutageTrack outage;        // run-time only, like the results
};

// Only targets in use are probed, drawn and counted.
inline bool isInUse(const Target& target) { return target.enabled && !target.host.empty(); }

// The lamp's and the health bar's question: was the newest result an answer? No result
// counts as none.
inline bool newestResultAnswered(const Target& target) {
    return !target.history.empty() && target.history.back() != 0;
}

// "icmp" or "tcp", the text form used in config.xml, the view and the log.
inline const wchar_t* probeTypeText(ProbeType type) {
    return type == ProbeType::tcp ? L"tcp" : L"icmp";
}

// How the view and the log name a target's probe: "icmp", or "tcp:" and the port.
inline std::wstring protocolText(const Target& target) {
    if (target.type == ProbeType::tcp) return L"tcp:" + std::to_wstring(target.port);
    return L"icmp";
}
