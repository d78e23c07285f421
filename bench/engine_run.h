#pragma once
// The benchmarks' 20 loopback targets, full histories, and the program's real worker run over
// them as the program runs it between start-up and shutdown.

#include <string>
#include <utility>
#include <vector>

#include "app/monitoring.h"
#include "bench_support.h"
#include "engine/probe_worker.h"
#include "model/target_table.h"

constexpr std::int32_t benchIntervalSeconds = 2;
inline const wchar_t* const loopbackHost = L"127.0.0.1";

// Slot s at an interval of 2 s: an even slot is a TCP target at 127.0.0.1:`firstPort` + s (the
// script's listener accepts there), an odd one an ICMP target at 127.0.0.<s + 1>.
inline std::vector<Target> loopbackTargets(int firstPort) {
    std::vector<Target> targets(targetSlotCount);
    for (std::size_t slot = 0; slot < targets.size(); ++slot) {
        Target& target = targets[slot];
        target.interval = benchIntervalSeconds;
        if (slot % 2 == 0) {
            target.type = ProbeType::tcp;
            target.host = loopbackHost;
            target.port = static_cast<std::uint16_t>(firstPort + static_cast<int>(slot));
        } else {
            target.host = L"127.0.0." + std::to_wstring(slot + 1);
        }
    }
    return targets;
}

// Gives `target` historyLimit results and their round-trip times: about one in twenty failed,
// at random places drawn from `random`, the answers 0.2 to 2.2 ms.
inline void fillFullHistory(Target& target, std::uint32_t& random) {
    target.history.clear();
    target.roundTrips.clear();
    for (std::size_t i = 0; i < historyLimit; ++i) {
        random = random * 1664525u + 1013904223u;
        const bool failed = (random >> 16) % 20 == 0;
        target.history.push_back(failed ? 0 : 1);
        target.roundTrips.push_back(failed ? noRoundTrip : 200 + (random >> 8) % 2000);
    }
}

// Fills the table (every target due at once, no results), starts monitoring as the program does
// at start-up, calls `during` while the worker runs and stops it as the program does at
// shutdown. Returns the steady-clock time at which the targets fell due.
template <typename During>
std::int64_t runWorker(std::vector<Target> targets, ProbeWorkerHooks hooks, During during) {
    setProbeWorkerHooks(std::move(hooks));
    const std::int64_t start = steadyNowNanos();
    targetTable.replaceAll(std::move(targets), start);
    autoStartMonitoring();
    during();
    shutdownMonitoring();
    return start;
}
