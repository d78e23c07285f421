#pragma once
// Targets for tests: one built in a line, its settings as one text, and whether it is fresh.

#include <string>
#include <utility>

#include "model/target.h"

inline Target makeTarget(bool enabled, ProbeType type, std::wstring host, std::uint16_t port,
                         std::int32_t interval) {
    return {enabled, type, std::move(host), port, interval, {}, 0};
}

// "enabled,type,host,port,interval", e.g. "1,tcp,127.0.0.1,80,10".
inline std::wstring settingsText(const Target& target) {
    return std::to_wstring(target.enabled) + L"," + probeTypeText(target.type) + L"," +
           target.host + L"," + std::to_wstring(target.port) + L"," +
           std::to_wstring(target.interval);
}

// Enabled, icmp, no host, port 0, every 10 seconds, no results, not scheduled.
inline bool isFresh(const Target& target) {
    return settingsText(target) == L"1,icmp,,0,10" && target.history.empty() && target.nextDue == 0;
}
