// The worker on this thread, with stand-ins that journal what it does, one line each: a probe
// ("icmp h", "tcp h:port"), a log entry (" | ..." without its time stamp), a notice to the
// window ("refresh <results in the table>", "notice <target>: <event>") and a wait ("pause
// <ms>"). A script acts on each.

#include "engine/probe_worker.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <system_error>
#include <tuple>
#include <utility>

#include "app/monitoring.h"
#include "app/shown_table.h"
#include "log/event_log.h"
#include "model/clock.h"
#include "model/data_folder_posix.h"
#include "model/scratch_files.h"
#include "model/target_table.h"

using namespace std::chrono_literals;

static Target on(const wchar_t* host, int interval = 60, ProbeType type = ProbeType::icmp) {
    return {.type = type, .host = host, .port = 443, .interval = interval};
}

class Monitoring : public ::testing::Test {
protected:
    void SetUp() override {
        setDataFolderForTests(scratch.path().wstring() + L"/");
        setLogLineSink([this](const std::wstring& line) { note(line.substr(19)); });
        // Every probe hands a time, 1234 us: the table keeps it only beside an answer.
        const auto probeTcp = [this](auto& host, std::uint16_t port, auto& roundTrip) {
            roundTrip = 1'234'567;
            return note(L"tcp " + host + L":" + std::to_wstring(port));
        };
        const auto refresh = [this] {
            std::size_t results = 0;
            for (auto& t : targetTable.snapshot()) results += t.history.size();
            note(L"refresh " + std::to_wstring(results));
        };
        const auto pause = [this](auto length) { note(L"pause " + std::to_wstring(length / 1ms)); };
        const auto notice = [this](const OutageNotice& n) {
            const wchar_t* events[] = {L"", L"down", L"up after ", L"unstable"};
            note(L"notice " + n.name + L": " + events[static_cast<int>(n.event)] +
                 (n.lasted ? durationText(n.lasted) : L""));
        };
        const auto probeIcmp = [this](auto& host, auto& roundTrip) {
            roundTrip = 1'234'567;
            return note(L"icmp " + host);
        };
        setProbeWorkerHooks({probeIcmp, probeTcp, refresh, pause, notice});
        targetTable.resetToDefaults();
        isRunning = true;
        stopWorker = false;
        probingHeldUntil = 0;
    }
    void TearDown() override { EXPECT_TRUE(shutdownMonitoring()); }
    bool note(const std::wstring& line) {
        journal += line + L"\n";
        if (journal.size() > 10000) stopWorker = true;  // a runaway worker
        return script(line);
    }
    std::function<bool(const std::wstring& line)> script = [](auto&) { return true; };
    std::wstring journal;
    const ScratchFolder scratch;  // the data folder, where monitor.log goes
};

// Without a worker thread monitoring stays off and says why; switching it off keeps results;
// switching it off or on forgets the outage states.
TEST_F(Monitoring, StartingTogglingAndAWorkerThatCannotBeCreated) {
    setProbeWorkerHooks({});  // a real, idle worker thread
    isRunning = false;
    targetTable.assign({{.history = {1, 0}, .outage = {.state = OutageState::down, .outages = 2}}});
    const auto state = [] {
        return std::tuple(isRunning.load(), workerThread.joinable(),
                          targetTable.snapshot()[0].outage.state);
    };
    setWorkerThreadStarter(
        []() -> std::thread { throw std::system_error(EAGAIN, std::generic_category()); });
    autoStartMonitoring();
    EXPECT_EQ(state(), std::tuple(false, false, OutageState::down));
    setWorkerThreadStarter([] { return std::thread(runProbeWorker); });
    autoStartMonitoring();
    EXPECT_EQ(state(), std::tuple(true, true, OutageState::down));
    EXPECT_FALSE(toggleMonitoring());
    EXPECT_EQ(state(), std::tuple(false, true, OutageState::unknown));
    targetTable.recordResult(0, 1, 0, 0, 0);  // a probe under way at the stop answers: up
    EXPECT_TRUE(toggleMonitoring());
    EXPECT_EQ(state(), std::tuple(true, true, OutageState::unknown));
    EXPECT_EQ(targetTable.snapshot()[0].outage.outages, 2) << "counted since the table came";
    EXPECT_EQ(targetTable.snapshot()[0].history, (std::deque<std::uint8_t>{1, 0, 1}));
    EXPECT_EQ(journal,
              LR"( | monitoring could not start: Resource temporarily unavailable
 | monitoring auto-start
 | monitoring stopped
 | monitoring started
)");
}

// Two sweeps, stopped at the second idle wait: slot order, each target in use once per due time,
// tcp with its port, the newest 2500 results kept and beside them the answers' times, due times
// from the sweep's clock reading; an outage's entries right after the FAIL entry, then its
// notice; one lost answer is none.
TEST_F(Monitoring, WorkerProbesDueTargetsInSlotOrderAndWaitsWhenNothingIsDue) {
    std::vector<Target> slots = {
        on(L"127.0.0.1"), on(L"127.0.0.2"), on(L"127.0.0.3", 30, ProbeType::tcp),
        on(L"127.0.0.4"), on(L""),          on(L"127.0.0.5", 0)};
    slots[0].nextDue = steadyNowNanos() + 3600 * nanosPerSecond;
    slots[1].history.assign(2500, 0);
    slots[1].history.front() = 1;  // the oldest result, pushed out by the newest
    slots[1].roundTrips.assign(2500, 7);
    slots[1].roundTrips.front() = 1;  // pushed out with it
    slots[1].outage = {OutageState::down, 0, steadyNowNanos() - 7200 * nanosPerSecond};
    slots[2].outage = {.state = OutageState::up, .failedInRow = 1};
    slots[3].enabled = false;
    slots[3].outage.state = OutageState::down;  // not in use, not counted
    slots.resize(20);
    targetTable.assign(slots);
    script = [idle = 0](auto& line) mutable {
        if (line == L"pause 80" && ++idle == 2) stopWorker = true;
        return line == L"icmp 127.0.0.2";
    };
    runProbeWorker();
    EXPECT_EQ(journal,
              LR"(icmp 127.0.0.2
 | 127.0.0.2 | icmp | UP after 2 h
notice 127.0.0.2 icmp: up after 2 h
refresh 2500
pause 10
tcp 127.0.0.3:443
 | 127.0.0.3 | tcp:443 | FAIL
 | 127.0.0.3 | tcp:443 | DOWN
notice 127.0.0.3 tcp:443: down
refresh 2501
pause 10
icmp 127.0.0.5
 | 127.0.0.5 | icmp | FAIL
refresh 2502
pause 10
pause 80
pause 80
)");
    const std::vector<Target> table = targetTable.snapshot();
    const std::int64_t sweep = table[4].nextDue;  // set at its first visit, then left alone
    for (const auto& [slot, seconds] : {std::pair{1, 60}, {2, 30}, {5, 1}})
        EXPECT_EQ(table[slot].nextDue - sweep, seconds * nanosPerSecond) << "slot " << slot;
    Target whole;
    ASSERT_TRUE(targetTable.copyEntry(1, whole));
    EXPECT_EQ(std::tuple(whole.history.front(), whole.history.back(), whole.roundTrips.size(),
                         whole.roundTrips.front(), whole.roundTrips.back()),
              std::tuple(0, 1, 2500u, 7u, 1234u));
    EXPECT_EQ(table[2].roundTrips, std::deque{noRoundTrip}) << "none beside a failure";
    EXPECT_EQ(table[2].outage.outages, 1);
    EXPECT_FALSE(targetTable.copyEntry(20, whole));
    takeShownTable();
    EXPECT_EQ(std::tuple(shownTable.up, shownTable.down), std::tuple(1u, 1u));
}

// Switched off in a sweep, the worker ends it, then only waits; a table shortened or emptied
// under a probe drops its result; a replaced table is swept; a probe that runs out of memory is
// given up and tried again after a pause; a stop ends a sweep at once.
TEST_F(Monitoring, WorkerSwitchedOffShortenedEmptiedReplacedOutOfMemoryAndStopped) {
    targetTable.assign({on(L"127.0.0.1"), on(L"127.0.0.2"), on(L"127.0.0.3")});
    Target failedOnce = on(L"127.0.0.8");  // unless the new table forgets it, a DOWN follows
    failedOnce.outage.failedInRow = 1;
    script = [memory = false, failedOnce](auto& line) mutable {
        if (line == L"icmp 127.0.0.1") {
            isRunning = false;
            targetTable.assign({on(L"127.0.0.1"), on(L"127.0.0.2")});
        }
        if (line == L"icmp 127.0.0.2") targetTable.assign({});
        if (line == L"pause 100") {
            targetTable.resetToDefaults();
            isRunning = true;
        }
        if (line == L"pause 80") targetTable.replaceAll({failedOnce, on(L"127.0.0.9")}, 1);
        if (line == L"icmp 127.0.0.8" && !std::exchange(memory, true)) throw std::bad_alloc();
        if (line == L"icmp 127.0.0.8") stopWorker = true;
        return line != L"icmp 127.0.0.8";
    };
    runProbeWorker();
    EXPECT_EQ(journal,
              LR"(icmp 127.0.0.1
refresh 1
pause 10
icmp 127.0.0.2
refresh 0
pause 10
pause 100
pause 80
icmp 127.0.0.8
pause 100
pause 80
icmp 127.0.0.8
 | 127.0.0.8 | icmp | FAIL
refresh 1
pause 10
)");
}

// Asleep, the worker starts no probe, not even in the sweep under way; awake, it waits
// sleepResumeDelay before probing again.
TEST_F(Monitoring, WorkerHoldsProbingFromSleepUntilAMomentAfterTheWakeUp) {
    targetTable.assign({on(L"127.0.0.1"), on(L"127.0.0.2")});
    script = [pauses = 0](auto& line) mutable {
        if (line == L"icmp 127.0.0.1") pauseMonitoringForSleep();
        if (line == L"pause 100")  // woke up 4.5 s ago (0.5 s to go), then 5 s ago
            resumeMonitoringAfterSleep(steadyNowNanos() -
                                       (++pauses == 1 ? 4'500'000'000 : 5 * nanosPerSecond));
        if (line == L"icmp 127.0.0.2") stopWorker = true;
        return true;
    };
    runProbeWorker();
    EXPECT_EQ(journal,
              LR"(icmp 127.0.0.1
 | paused for sleep
refresh 1
pause 10
pause 100
 | resumed after sleep
pause 100
 | resumed after sleep
icmp 127.0.0.2
refresh 2
pause 10
)");
}
