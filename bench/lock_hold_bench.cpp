// How long the table lock is held, on a full table (20 targets with 2500 results each)
// while the real worker probes 20 loopback targets at an interval of 2 s.
// - The painting side, on the real table, after every refresh the worker announces (and at
//   least every 50 ms): the monitor view's row copy, the main window's health scan and the
//   status panel's snapshot, each timed from inside its guard. The time each waited for the
//   lock is printed too: it is what the real worker's holds cost the painting.
// - The worker side: the table's own sweep steps (the length read, copyEntryForSweep and
//   recordResult), called every 10 ms on a second full table beside the real one. Its lock
//   is never contended, so a call's duration is its hold plus an uncontended lock/unlock.
// Usage: lock_hold_bench <seconds> <first listening port>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "app/health.h"
#include "engine/probes.h"
#include "engine_run.h"
#include "view/view_rows.h"

namespace {

std::mutex refreshMutex;
std::condition_variable refreshed;
bool refreshPending = false;
std::atomic<bool> runEnded{false};

struct PaintSamples {
    std::vector<double> viewRows, healthScan, statusSnapshot;
    std::size_t rowsCopied = 0;  // shows the copies did their work
    std::size_t healthyScans = 0;
};

struct WorkerSamples {
    std::vector<double> lengthRead, copyEntry, recordResult;
};

double micros(std::int64_t nanos) { return static_cast<double>(nanos) / 1e3; }

// A hold this long would be felt: the goal for every hold of the table lock.
constexpr double longHoldMicros = 200;

// The figures, and how many holds were long: on a loaded machine the maximum is often one
// hold during which the holder lost its core.
void printHolds(const char* label, const std::vector<double>& samples) {
    printFigures(label, "us", summarize(samples));
    const auto longHolds = std::count_if(samples.begin(), samples.end(),
                                         [](double held) { return held > longHoldMicros; });
    std::printf("%-46s %td of %zu over %.0f us\n", "", longHolds, samples.size(), longHoldMicros);
}

// Every target with a full history, alternating answers and failures.
std::vector<Target> withFullHistories(std::vector<Target> targets) {
    for (Target& target : targets) {
        for (std::size_t i = 0; i < historyLimit; ++i) target.history.push_back(i % 3 != 0);
    }
    return targets;
}

// Times one snapshot of the real table (the wait for its lock included), then hands it to
// `copy`, which is not timed.
template <typename Copy>
void timePaintHold(std::vector<double>& held, Copy copy) {
    const std::int64_t start = steadyNowNanos();
    const std::vector<Target> entries = targetTable.snapshot();
    held.push_back(micros(steadyNowNanos() - start));
    copy(entries);
}

void paintAfterEachRefresh(PaintSamples& samples) {
    while (!runEnded.load()) {
        {
            std::unique_lock lock(refreshMutex);
            refreshed.wait_for(lock, std::chrono::milliseconds(50), [] { return refreshPending; });
            refreshPending = false;
        }
        std::vector<ViewRow> rows;
        bool healthy = false;
        std::vector<Target> snapshot;
        timePaintHold(samples.viewRows,
                      [&](const std::vector<Target>& entries) { rows = buildViewRows(entries); });
        timePaintHold(samples.healthScan, [&](const std::vector<Target>& entries) {
            healthy = allTargetsInUseAnswered(entries);
        });
        timePaintHold(samples.statusSnapshot,
                      [&](const std::vector<Target>& entries) { snapshot = entries; });
        samples.rowsCopied += rows.size();
        if (healthy) ++samples.healthyScans;
    }
}

template <typename Call>
void timeCall(std::vector<double>& samples, Call call) {
    const std::int64_t start = steadyNowNanos();
    call();
    samples.push_back(micros(steadyNowNanos() - start));
}

void runSweepStepsBeside(const std::vector<Target>& full, WorkerSamples& samples) {
    TargetTable mirror;
    mirror.assign(full);
    while (!runEnded.load()) {
        const std::int64_t now = steadyNowNanos();
        std::size_t length = 0;
        timeCall(samples.lengthRead, [&] { length = mirror.slotCount(); });
        for (std::size_t slot = 0; slot < length; ++slot) {
            Target copy;
            timeCall(samples.copyEntry, [&] { mirror.copyEntryForSweep(slot, now, copy); });
            timeCall(samples.recordResult, [&] { mirror.recordResult(slot, 1, now); });
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

ProbeWorkerHooks realProbesAnnouncingRefresh() {
    ProbeWorkerHooks hooks;
    hooks.probeIcmp = [](const std::wstring& host) { return probeIcmp(host); };
    hooks.probeTcp = [](const std::wstring& host, std::uint16_t port) {
        return probeTcp(host, port);
    };
    hooks.notifyRefresh = [] {
        {
            std::scoped_lock lock(refreshMutex);
            refreshPending = true;
        }
        refreshed.notify_one();
    };
    return hooks;
}

}  // namespace

int main(int argc, char** argv) {
    const long seconds = numberArgument(argc, argv, 1, 0);
    const long firstPort = numberArgument(argc, argv, 2, 0);
    if (seconds <= 0 || firstPort <= 0 || firstPort > 65535 - 20) {
        std::fprintf(stderr, "usage: %s <seconds> <first listening port>\n", argv[0]);
        return 2;
    }
    const WinsockSession winsock;
    if (!winsock.ok()) return 1;
    const std::vector<Target> full =
        withFullHistories(loopbackTargets(static_cast<int>(firstPort), 0, 0));

    PaintSamples paint;
    WorkerSamples worker;
    std::thread painter(paintAfterEachRefresh, std::ref(paint));
    std::thread sweepSteps(runSweepStepsBeside, std::cref(full), std::ref(worker));
    runWorkerFor(full, realProbesAnnouncingRefresh(), seconds);
    runEnded.store(true);
    refreshed.notify_one();
    painter.join();
    sweepSteps.join();

    std::printf("lock holds: 20 targets x %zu results, real worker for %ld s\n", historyLimit,
                seconds);
    printHolds("paint: monitor view row copy", paint.viewRows);
    printHolds("paint: health scan", paint.healthScan);
    printHolds("paint: status panel snapshot", paint.statusSnapshot);
    std::printf("%-46s %zu rows copied in %zu paints, %zu scans found all answering\n", "",
                paint.rowsCopied, paint.viewRows.size(), paint.healthyScans);
    printHolds("worker: sweep length read", worker.lengthRead);
    printHolds("worker: copyEntryForSweep", worker.copyEntry);
    printHolds("worker: recordResult", worker.recordResult);
    return 0;
}
