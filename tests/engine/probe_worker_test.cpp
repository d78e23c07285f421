// The worker on this thread; stand-ins journal what it does (files/journals.txt), a script acts.

#include "engine/probe_worker.h"

#include <gtest/gtest.h>

#include <new>
#include <system_error>
#include <utility>

#include "app/monitoring.h"
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
        const auto probeTcp = [this](auto& host, std::uint16_t port) {
            return note(L"tcp " + host + L":" + std::to_wstring(port));
        };
        const auto refresh = [this] {
            std::size_t results = 0;
            for (auto& t : targetTable.snapshot()) results += t.history.size();
            note(L"refresh " + std::to_wstring(results));
        };
        const auto pause = [this](auto length) { note(L"pause " + std::to_wstring(length / 1ms)); };
        setProbeWorkerHooks(
            {[this](auto& host) { return note(L"icmp " + host); }, probeTcp, refresh, pause});
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
    // Compares the journal with its section in files/journals.txt.
    void expectJournal(const std::string& section) {
        const std::string all = testFile("engine/files/journals.txt");
        const std::size_t from = all.find("== " + section + "\n") + section.size() + 4;
        const std::string lines = all.substr(from, all.find("\n\n", from) + 1 - from);
        EXPECT_EQ(journal, std::wstring(lines.begin(), lines.end()));
    }
    std::function<bool(const std::wstring& line)> script = [](auto&) { return true; };
    std::wstring journal;
    const ScratchFolder scratch;  // the data folder, where monitor.log goes
};

// Without a worker thread monitoring stays off and says why; switching it off keeps results.
TEST_F(Monitoring, StartingTogglingAndAWorkerThatCannotBeCreated) {
    setProbeWorkerHooks({});  // a real, idle worker thread
    isRunning = false;
    std::vector<Target> slots(20);
    slots[0].history = {1, 0};
    targetTable.assign(slots);
    const std::system_error failure(
        std::make_error_code(std::errc::resource_unavailable_try_again));
    setWorkerThreadStarter([&]() -> std::thread { throw failure; });
    autoStartMonitoring();
    EXPECT_FALSE(isRunning);
    EXPECT_FALSE(workerThread.joinable());
    setWorkerThreadStarter([] { return std::thread(runProbeWorker); });
    autoStartMonitoring();
    EXPECT_TRUE(isRunning);
    EXPECT_TRUE(workerThread.joinable());
    EXPECT_FALSE(toggleMonitoring());
    EXPECT_FALSE(isRunning);
    EXPECT_TRUE(toggleMonitoring());
    EXPECT_TRUE(isRunning);
    EXPECT_EQ(targetTable.snapshot()[0].history, (std::deque<std::uint8_t>{1, 0}));
    expectJournal("toggled");
}

// Two sweeps, stopped at the second idle wait: slot order, each target in use once per due time,
// tcp with its port, the newest 2500 results kept, due times from the sweep's clock reading.
TEST_F(Monitoring, WorkerProbesDueTargetsInSlotOrderAndWaitsWhenNothingIsDue) {
    std::vector<Target> slots = {
        on(L"127.0.0.1"), on(L"127.0.0.2"), on(L"127.0.0.3", 30, ProbeType::tcp),
        on(L"127.0.0.4"), on(L""),          on(L"127.0.0.5", 0)};
    slots[0].nextDue = steadyNowNanos() + 3600 * nanosPerSecond;
    slots[1].history.assign(2500, 0);
    slots[1].history.front() = 1;  // the oldest result, pushed out by the newest
    slots[3].enabled = false;
    slots.resize(20);
    targetTable.assign(slots);
    script = [idle = 0](auto& line) mutable {
        if (line == L"pause 80" && ++idle == 2) stopWorker = true;
        return line == L"icmp 127.0.0.2";
    };
    runProbeWorker();
    expectJournal("two sweeps");
    const std::vector<Target> table = targetTable.snapshot();
    const std::int64_t sweep = table[4].nextDue;  // set at its first visit, then left alone
    EXPECT_EQ(table[1].nextDue - sweep, 60 * nanosPerSecond);
    EXPECT_EQ(table[2].nextDue - sweep, 30 * nanosPerSecond);
    EXPECT_EQ(table[5].nextDue - sweep, 1 * nanosPerSecond);
    EXPECT_EQ(table[1].history.front(), 0);
    EXPECT_EQ(table[1].history.back(), 1);
}

// Switched off in a sweep, the worker ends it, then only waits; a table shortened or emptied
// under a probe drops its result; a replaced table is swept; a probe that runs out of memory is
// given up and tried again after a pause; a stop ends a sweep at once.
TEST_F(Monitoring, WorkerSwitchedOffShortenedEmptiedReplacedOutOfMemoryAndStopped) {
    targetTable.assign({on(L"127.0.0.1"), on(L"127.0.0.2"), on(L"127.0.0.3")});
    script = [memory = false](auto& line) mutable {
        if (line == L"icmp 127.0.0.1") {
            isRunning = false;
            targetTable.assign({on(L"127.0.0.1"), on(L"127.0.0.2")});
        }
        if (line == L"icmp 127.0.0.2") targetTable.assign({});
        if (line == L"pause 100") {
            targetTable.resetToDefaults();
            isRunning = true;
        }
        if (line == L"pause 80") targetTable.replaceAll({on(L"127.0.0.8"), on(L"127.0.0.9")}, 1);
        if (line == L"icmp 127.0.0.8" && !std::exchange(memory, true)) throw std::bad_alloc();
        if (line == L"icmp 127.0.0.8") stopWorker = true;
        return line != L"icmp 127.0.0.8";
    };
    runProbeWorker();
    expectJournal("switched off, shortened, emptied, replaced, out of memory and stopped");
}

// Asleep, the worker starts no probe, not even mid-sweep; awake, it waits sleepResumeDelay.
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
    expectJournal("asleep and awake");
}
