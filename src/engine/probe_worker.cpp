#include "engine/probe_worker.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <new>
#include <thread>
#include <utility>

#include "log/event_log.h"
#include "model/clock.h"
#include "model/target_table.h"

std::atomic<bool> isRunning{false};
std::atomic<bool> stopWorker{false};
std::atomic<std::int64_t> probingHeldUntil{0};

namespace {

constexpr std::chrono::milliseconds pauseAfterProbe{10};  // spaces probes and repaints
constexpr std::chrono::milliseconds pauseIdleSweep{80};   // nothing was due: the longest wait
constexpr std::chrono::milliseconds pauseMonitoringOff{100};

// Written before the thread starts; the thread copies them once at its start.
ProbeWorkerHooks installedHooks;

// Sleeps at least `length` on the steady clock, unless a hook takes the wait. A sleep may
// wake early by the platform's tick (Windows rounds to milliseconds), so the rest is slept
// again, rounded up.
void pause(const ProbeWorkerHooks& hooks, std::chrono::nanoseconds length) {
    if (hooks.pause) return hooks.pause(length);
    using std::chrono::steady_clock;
    const auto deadline = steady_clock::now() + length;
    for (auto now = steady_clock::now(); now < deadline; now = steady_clock::now()) {
        std::this_thread::sleep_for(std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
    }
}

bool probingHeld() { return steadyNowNanos() < probingHeldUntil.load(); }

// A missing probe counts as a probe that got no answer.
bool probe(const ProbeWorkerHooks& hooks, const Target& target, std::int64_t& roundTrip) {
    if (target.type == ProbeType::tcp) {
        return hooks.probeTcp && hooks.probeTcp(target.host, target.port, roundTrip);
    }
    return hooks.probeIcmp && hooks.probeIcmp(target.host, roundTrip);
}

// How a log entry names a target's probe: "<host> | tcp:<port>", or "icmp" without a port.
std::wstring loggedName(const Target& target) {
    return target.host + L" | " + protocolText(target);
}

// The entries of an outage change, in the order it gives, then the notice to the window.
void reportOutage(const ProbeWorkerHooks& hooks, const Target& target, const OutageChange& change) {
    const std::wstring name = loggedName(target);
    if (change.wentDown) logEvent(name + L" | DOWN");
    if (change.cameUp) logEvent(name + L" | UP after " + durationText(change.lasted));
    if (change.becameUnstable) logEvent(name + L" | UNSTABLE");
    if (change.notice == OutageEvent::none || !hooks.notifyOutage) return;
    hooks.notifyOutage(
        {target.host + L" " + protocolText(target), change.notice, change.lasted, change.changes});
}

// Probes one due slot with no lock held and records the result under a short one. When
// the table has meanwhile become shorter, the result is dropped.
void probeSlot(const ProbeWorkerHooks& hooks, std::size_t slot, const Target& target,
               std::int64_t now) {
    std::int64_t roundTrip = 0;
    const bool answered = probe(hooks, target, roundTrip);
    OutageChange change;
    targetTable.recordResult(slot, answered ? 1 : 0, roundTrip, now, steadyNowNanos(), &change);
    if (!answered) logEvent(loggedName(target) + L" | FAIL");
    reportOutage(hooks, target, change);
    if (hooks.notifyRefresh) hooks.notifyRefresh();
    pause(hooks, pauseAfterProbe);
}

// After a sweep that found nothing due, the worker waits until the earliest target in use
// falls due, but never longer than the idle pause. A target is then probed close to its
// time, and since it is rescheduled from the sweep's clock reading, its period does not
// drift by the length of an idle pause.
std::chrono::nanoseconds idlePause(std::int64_t earliestDue) {
    const std::int64_t untilDue = earliestDue - steadyNowNanos();
    return std::clamp(std::chrono::nanoseconds(untilDue), std::chrono::nanoseconds(0),
                      std::chrono::nanoseconds(pauseIdleSweep));
}

// One pass over the table in slot order. Every target is scheduled from the one clock
// reading `now`, so a target that falls due during the sweep waits for the next one. The
// worker also looks at stopWorker (and whether probing is held) before each slot, so closing
// the program, or the machine going to sleep, waits for at most the probe in progress, not for
// the rest of the sweep.
void runSweep(const ProbeWorkerHooks& hooks) {
    const std::size_t slotCount = targetTable.slotCount();
    const std::int64_t now = steadyNowNanos();
    bool probedInSweep = false;
    std::int64_t earliestDue = std::numeric_limits<std::int64_t>::max();
    for (std::size_t slot = 0; slot < slotCount; ++slot) {
        if (stopWorker.load() || probingHeld()) return;
        Target target;
        if (!targetTable.copyEntryForSweep(slot, now, target)) break;
        if (!isInUse(target)) continue;
        if (now < target.nextDue) {
            earliestDue = std::min(earliestDue, target.nextDue);
            continue;
        }
        probeSlot(hooks, slot, target, now);
        probedInSweep = true;
    }
    if (!probedInSweep) pause(hooks, idlePause(earliestDue));
}

}  // namespace

void setProbeWorkerHooks(ProbeWorkerHooks hooks) { installedHooks = std::move(hooks); }

void runProbeWorker() {
    const ProbeWorkerHooks hooks = installedHooks;
    while (!stopWorker.load()) {
        // Out of memory, a sweep is given up and tried again later: an exception leaving the
        // thread would end the program.
        try {
            if (isRunning.load() && !probingHeld()) {
                runSweep(hooks);
            } else {
                pause(hooks, pauseMonitoringOff);
            }
        } catch (const std::bad_alloc&) {
            pause(hooks, pauseMonitoringOff);
        }
    }
}
