#pragma once
// Monitoring on and off (the "server" of the user interface) and the worker thread's life.
// Both flags are written only by the user-interface thread.

#include <atomic>
#include <functional>
#include <thread>

extern std::atomic<bool> isRunning;   // the worker probes due targets
extern std::atomic<bool> stopWorker;  // the worker must end; set once, at shutdown
extern std::thread workerThread;

// Starts the worker and switches monitoring on, logging " | monitoring auto-start". When
// the thread cannot be created, monitoring stays off and the reason is logged.
void autoStartMonitoring();
// Flips monitoring, logs " | monitoring started" or " | monitoring stopped" and returns
// the new state. Switching on when the worker could not be started tries to start it
// again; when that fails too, monitoring stays off and the reason is logged.
bool toggleMonitoring();
// Stops and joins the worker; waits at most for the probe in progress.
void shutdownMonitoring();

// Creates the worker thread: std::thread(runProbeWorker) unless replaced. Like that
// constructor it throws std::system_error when no thread can be created; tests install a
// starter that does so.
using WorkerThreadStarter = std::function<std::thread()>;
void setWorkerThreadStarter(WorkerThreadStarter starter);
