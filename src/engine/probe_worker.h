#pragma once
// The one background thread that sweeps the target table, probes every target in use that
// is due, records the results and reports failures. It never holds the table lock while
// probing, logging, posting or pausing.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "model/outage.h"

// The worker's two run flags, written only by the user-interface thread (the monitoring
// control) and read here without the table lock.
extern std::atomic<bool> isRunning;   // the worker probes due targets
extern std::atomic<bool> stopWorker;  // the worker must end; set once, at shutdown

// A steady-clock time (nanoseconds) before which the worker starts no probe: the largest
// value while the machine goes to sleep, a moment after the wake-up once it is back (so the
// network can come back first), 0 otherwise. Written only by the user-interface thread; a
// probe already under way when it is set is finished.
extern std::atomic<std::int64_t> probingHeldUntil;

// The probes answer as probeIcmp and probeTcp do (engine/probes.h): whether the target
// answered, and how long the answer took.
struct ProbeWorkerHooks {
    std::function<bool(const std::wstring& host, std::int64_t& roundTrip)> probeIcmp;
    std::function<bool(const std::wstring& host, std::uint16_t port, std::int64_t& roundTrip)>
        probeTcp;
    // Tells the user interface that results changed (the program posts WM_APP_REFRESH).
    std::function<void()> notifyRefresh;
    // Waits after each probe and between passes. Unset, the worker sleeps on the steady clock;
    // tests record the waits instead, and can act at each one.
    std::function<void(std::chrono::nanoseconds length)> pause = nullptr;
    // Tells the user interface that a target went down, came back or is unstable; called with
    // no lock held, after the result's log entries.
    std::function<void(const OutageNotice& notice)> notifyOutage = nullptr;
};

// Installed once before the worker thread starts.
void setProbeWorkerHooks(ProbeWorkerHooks hooks);

// The thread function: runs until stopWorker is set.
void runProbeWorker();
