#pragma once
// Monitoring on and off (the "server" of the user interface) and the worker thread's life.
// Both flags are written only by the user-interface thread.

#include <atomic>
#include <thread>

extern std::atomic<bool> isRunning;   // the worker probes due targets
extern std::atomic<bool> stopWorker;  // the worker must end; set once, at shutdown
extern std::thread workerThread;

// Starts the worker and switches monitoring on, logging " | monitoring auto-start". When
// the thread cannot be created, monitoring stays off and the reason is logged.
void autoStartMonitoring();
// Flips monitoring, logs " | monitoring started" or " | monitoring stopped" and returns
// the new state.
bool toggleMonitoring();
// Stops and joins the worker; waits at most for the probe in progress.
void shutdownMonitoring();
