#pragma once
// Runs the program's real worker over a table of 20 loopback targets for a while, as the
// program does between start-up and shutdown. Shared by the schedule and lock benchmarks.

#include <algorithm>
#include <chrono>
#include <iterator>
#include <string>
#include <thread>
#include <utility>

#include "app/monitoring.h"
#include "bench_support.h"
#include "engine/probe_worker.h"
#include "model/target_table.h"

constexpr std::int32_t benchIntervalSeconds = 2;
// Where the targets that time out stand, and how many there can be.
constexpr std::size_t timingOutSlots[] = {4, 9, 14, 19};
constexpr std::size_t maxTimingOut = std::size(timingOutSlots);

// Slot s answers: an even slot is a TCP target at 127.0.0.1:`firstListeningPort` + s (the
// script's listener accepts there), an odd one an ICMP target at 127.0.0.<s + 1>. The first
// `timingOut` entries of timingOutSlots are replaced by targets at the sandbox's black hole,
// TCP and ICMP in turn. Outside the sandbox closed ports stand in for them, but those do not
// time out: a refused connection fails at once.
inline std::vector<Target> loopbackTargets(int firstListeningPort, int closedPort,
                                           std::size_t timingOut) {
    std::vector<Target> targets(targetSlotCount);
    for (std::size_t slot = 0; slot < targets.size(); ++slot) {
        Target& target = targets[slot];
        target.interval = benchIntervalSeconds;
        if (slot % 2 == 0) {
            target.type = ProbeType::tcp;
            target.host = loopbackHost;
            target.port = static_cast<std::uint16_t>(firstListeningPort + slot);
        } else {
            target.host = L"127.0.0." + std::to_wstring(slot + 1);
        }
    }
    const std::wstring blackHole = blackHoleHost();
    for (std::size_t i = 0; i < std::min(timingOut, maxTimingOut); ++i) {
        Target& target = targets[timingOutSlots[i]];
        if (!blackHole.empty()) {
            target.type = i % 2 == 1 ? ProbeType::icmp : ProbeType::tcp;
            target.host = blackHole;
            target.port = static_cast<std::uint16_t>(closedPort);
        } else {
            target.type = ProbeType::tcp;
            target.host = loopbackHost;
            target.port = static_cast<std::uint16_t>(closedPort + i);
        }
    }
    return targets;
}

// "tcp 127.0.0.1:47000" or "icmp 127.0.0.2"; hosts here are plain ASCII.
inline std::string targetText(const Target& target) {
    std::string text = target.type == ProbeType::tcp ? "tcp " : "icmp ";
    for (const wchar_t c : target.host) text += static_cast<char>(c);
    if (target.type == ProbeType::tcp) {
        text += ':';
        text += std::to_string(target.port);
    }
    return text;
}

// Fills the table (every target due at once, histories kept as given), starts monitoring as
// the program does at start-up, lets the worker run for `seconds` and stops it as the
// program does at shutdown.
// Returns the steady-clock time at which the targets fell due.
inline std::int64_t runWorkerFor(std::vector<Target> targets, ProbeWorkerHooks hooks,
                                 long seconds) {
    setProbeWorkerHooks(std::move(hooks));
    const std::int64_t start = steadyNowNanos();
    for (Target& target : targets) target.nextDue = start;
    targetTable.assign(std::move(targets));
    autoStartMonitoring();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    shutdownMonitoring();
    return start;
}
