#include "app/monitoring.h"

#include <future>
#include <limits>
#include <memory>
#include <string>
#include <system_error>
#include <utility>

#include "log/event_log.h"
#include "model/target_table.h"

std::thread workerThread;

namespace {

WorkerThreadStarter workerThreadStarter = [] { return std::thread(runProbeWorker); };

// The runtime's reasons are plain ASCII; each byte becomes one character.
std::wstring widen(const char* text) {
    std::wstring wide;
    for (; *text != '\0'; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

// True when the worker thread runs. Without a thread the program still works, only
// nothing is probed, so a failure to create one is logged rather than fatal.
bool ensureWorkerThread() {
    if (workerThread.joinable()) return true;
    if (stopWorker.load()) return false;  // shut down for good
    try {
        workerThread = workerThreadStarter();
        return true;
    } catch (const std::system_error& error) {
        logEvent(L"monitoring could not start: " + widen(error.what()));
        return false;
    }
}

}  // namespace

void setWorkerThreadStarter(WorkerThreadStarter starter) {
    workerThreadStarter = std::move(starter);
}

void autoStartMonitoring() {
    if (!ensureWorkerThread()) return;
    isRunning.store(true);
    logEvent(L"monitoring auto-start");
}

bool toggleMonitoring() {
    const bool wasRunning = isRunning.load();
    if (!wasRunning && !ensureWorkerThread()) return false;
    isRunning.exchange(!wasRunning);
    // On both: what a target did while monitoring was off is not news, and a probe still
    // under way at a stop records its result after it.
    targetTable.forgetOutages();
    logEvent(wasRunning ? L"monitoring stopped" : L"monitoring started");
    return !wasRunning;
}

void pauseMonitoringForSleep() {
    probingHeldUntil.store(std::numeric_limits<std::int64_t>::max());
    logEvent(L"paused for sleep");
}

void resumeMonitoringAfterSleep(std::int64_t now) {
    probingHeldUntil.store(now + std::chrono::nanoseconds(sleepResumeDelay).count());
    logEvent(L"resumed after sleep");
}

bool shutdownMonitoring() {
    stopWorker.store(true);
    isRunning.store(false);
    if (!workerThread.joinable()) return true;
    // std::thread has no join with a time limit: a helper joins it and reports, and only the
    // wait for that report is bounded. Past the limit the helper is left behind with the
    // worker; the caller ends the process, which ends both.
    auto joined = std::make_shared<std::promise<void>>();
    std::future<void> workerEnded = joined->get_future();
    try {
        std::thread([joined] {
            workerThread.join();
            joined->set_value();
        }).detach();
    } catch (const std::system_error&) {
        workerThread.join();  // no helper: wait as long as it takes
        return true;
    }
    return workerEnded.wait_for(workerStopLimit) == std::future_status::ready;
}
