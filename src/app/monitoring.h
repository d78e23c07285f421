#pragma once
// Monitoring on and off (the "server" of the user interface) and the worker thread's life:
// the only writer of the worker's run flags isRunning and stopWorker.

#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>

#include "engine/probe_worker.h"

extern std::thread workerThread;

// Starts the worker and switches monitoring on, logging " | monitoring auto-start". When
// the thread cannot be created, monitoring stays off and the reason is logged.
void autoStartMonitoring();
// Flips monitoring, makes every target's outage state unknown again, logs " | monitoring
// started" or " | monitoring stopped" and returns the new state. Switching on when the worker could
// not be started tries to start it again; when that fails too, monitoring stays off and the reason
// is logged.
bool toggleMonitoring();
// The machine goes to sleep: no probe is started from now on, and " | paused for sleep" is
// logged. Probes that ran into the sleep would fail only because the network is down.
void pauseMonitoringForSleep();
// The machine woke up at steady-clock time `now`: probing starts again sleepResumeDelay
// later, when Wi-Fi or the VPN has had a moment to come back, and " | resumed after sleep" is
// logged.
constexpr std::chrono::seconds sleepResumeDelay{5};
void resumeMonitoringAfterSleep(std::int64_t now);
// How long shutdown waits for the worker. A probe ends within about a second, but a name
// look-up has no time-out of its own and may hold the worker much longer.
constexpr std::chrono::milliseconds workerStopLimit{2000};
// Stops the worker and waits at most workerStopLimit for the probe in progress. True when
// the worker ended and was joined. False when it is still inside a probe or a name look-up:
// it is then left running, and the caller must end the process at once without running exit
// code that the worker may still use.
bool shutdownMonitoring();

// Creates the worker thread: std::thread(runProbeWorker) unless replaced. Like that
// constructor it throws std::system_error when no thread can be created; tests install a
// starter that does so.
using WorkerThreadStarter = std::function<std::thread()>;
void setWorkerThreadStarter(WorkerThreadStarter starter);
