#pragma once
// The one background thread that sweeps the target table, probes every target in use that
// is due, records the results and reports failures. It never holds the table lock while
// probing, logging, posting or pausing.

#include <cstdint>
#include <functional>
#include <string>

struct ProbeWorkerHooks {
    std::function<bool(const std::wstring& host)> probeIcmp;
    std::function<bool(const std::wstring& host, std::uint16_t port)> probeTcp;
    // Tells the user interface that results changed (the program posts WM_APP_REFRESH).
    std::function<void()> notifyRefresh;
};

// Installed once before the worker thread starts.
void setProbeWorkerHooks(ProbeWorkerHooks hooks);

// The thread function: runs until stopWorker is set.
void runProbeWorker();
