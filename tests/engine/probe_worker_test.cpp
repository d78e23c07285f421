// Monitoring control and the real worker, against stand-in probes and a journal (read once the
// worker has ended) of one line per probe ("icmp <host>", "tcp <host>:<port>"), per log entry
// (without its time stamp) and per notice ("refresh" and the results then in the table).

#include "engine/probe_worker.h"

#include <gtest/gtest.h>

#include <system_error>

#include "app/monitoring.h"
#include "log/event_log.h"
#include "model/clock.h"
#include "model/data_folder_posix.h"
#include "model/scratch_files.h"
#include "model/target_table.h"

using namespace std::chrono_literals;

static Target on(const wchar_t* host, int interval = 60, ProbeType type = ProbeType::icmp) {
    return {true, type, host, 443, interval, {}, 0};
}

class Monitoring : public ::testing::Test {
protected:
    void SetUp() override {
        setDataFolderForTests(scratch.path().wstring() + L"/");
        setLogLineSink([this](const std::wstring& line) { journal += line.substr(19) + L"\n"; });
        setProbeWorkerHooks({[this](auto& host) { return probe(L"icmp " + host); },
                             [this](auto& host, std::uint16_t port) {
                                 return probe(L"tcp " + host + L":" + std::to_wstring(port));
                             },
                             [this] {
                                 std::size_t results = 0;
                                 for (auto& t : targetTable.snapshot()) results += t.history.size();
                                 journal += L"refresh " + std::to_wstring(results) + L"\n";
                             }});
        targetTable.lock().resetToDefaults();
        isRunning = true;
        stopWorker = false;
    }
    void TearDown() override { EXPECT_TRUE(shutdownMonitoring()); }
    bool probe(const std::wstring& call) {
        journal += call + L"\n";
        return answer(call);
    }
    // Waits (3 s at most) until `done` holds for the table.
    static void waitFor(bool (*done)(const std::vector<Target>&)) {
        for (int i = 0; i < 1500 && !done(targetTable.snapshot()); ++i)
            std::this_thread::sleep_for(2ms);
    }
    std::function<bool(const std::wstring& call)> answer = [](auto&) { return true; };
    std::wstring journal;
    const ScratchFolder scratch;  // the data folder, where monitor.log goes
};

// Without a worker thread monitoring stays off and says why.
TEST_F(Monitoring, StartingTogglingAndAWorkerThatCannotBeCreated) {
    isRunning = false;
    const std::system_error failure(
        std::make_error_code(std::errc::resource_unavailable_try_again));
    setWorkerThreadStarter([&]() -> std::thread { throw failure; });
    autoStartMonitoring();
    EXPECT_FALSE(isRunning || workerThread.joinable());
    setWorkerThreadStarter([] { return std::thread(runProbeWorker); });
    autoStartMonitoring();
    EXPECT_TRUE(isRunning && workerThread.joinable());
    EXPECT_FALSE(toggleMonitoring() || isRunning);
    EXPECT_TRUE(toggleMonitoring() && isRunning);
    const std::string why = failure.what();
    EXPECT_EQ(journal,
              L" | monitoring could not start: " + std::wstring(why.begin(), why.end()) +
                  L"\n | monitoring auto-start\n | monitoring stopped\n | monitoring started\n");
}

// On the test's thread until slot 6 falls due and its probe stops the worker: in slot order,
// each target in use once per due time, tcp with its port, the newest 2500 results kept, all
// scheduled from the sweep's time; a log line per failure, a notice after every probe.
TEST_F(Monitoring, WorkerProbesDueTargetsInSlotOrder) {
    std::vector<Target> slots = {
        on(L"127.0.0.1"), on(L"127.0.0.2"), on(L"127.0.0.3", 30, ProbeType::tcp),
        on(L"127.0.0.4"), on(L""),          on(L"127.0.0.5", 0),
        on(L"127.0.0.6")};
    slots[0].nextDue = steadyNowNanos() + 3600 * nanosPerSecond;
    slots[1].history.assign(2500, 0);
    slots[1].history.front() = 1;  // the oldest result, pushed out by the newest
    slots[3].enabled = false;
    slots[6].nextDue = steadyNowNanos() + 300'000'000;
    slots.resize(20);
    targetTable.lock().entries() = slots;
    answer = [](auto& call) {
        return call == L"icmp 127.0.0.2" || (stopWorker = call == L"icmp 127.0.0.6");
    };
    runProbeWorker();
    EXPECT_EQ(journal,
              L"icmp 127.0.0.2\nrefresh 2500\ntcp 127.0.0.3:443\n | 127.0.0.3 | tcp:443 | FAIL\n"
              L"refresh 2501\nicmp 127.0.0.5\n | 127.0.0.5 | icmp | FAIL\nrefresh 2502\n"
              L"icmp 127.0.0.6\nrefresh 2503\n");
    const std::vector<Target> table = targetTable.snapshot();
    const std::int64_t sweep = table[4].nextDue;  // set at its first visit, then left alone
    EXPECT_EQ(table[1].nextDue - sweep, 60 * nanosPerSecond);
    EXPECT_EQ(table[2].nextDue - sweep, 30 * nanosPerSecond);
    EXPECT_EQ(table[5].nextDue - sweep, 1 * nanosPerSecond);
    EXPECT_EQ(table[3].nextDue, sweep);
    EXPECT_TRUE(table[1].history.front() == 0 && table[1].history.back() == 1);
    EXPECT_EQ(table[2].history, std::deque<std::uint8_t>{0});
}

// Switched off in a sweep, the worker ends it, then idles touching nothing; a result whose slot
// went away is dropped; an empty and a replaced table are swept; a stop ends a sweep at once.
TEST_F(Monitoring, WorkerSwitchedOffShortenedReplacedAndStopped) {
    targetTable.lock().entries() = {on(L"127.0.0.1"), on(L"127.0.0.2"), on(L"127.0.0.3")};
    answer = [](auto& call) {
        if (call == L"icmp 127.0.0.1") isRunning = false;
        if (call == L"icmp 127.0.0.2") targetTable.lock().entries().resize(1);
        return !(stopWorker = call == L"icmp 127.0.0.8");
    };
    workerThread = std::thread(runProbeWorker);
    waitFor([](auto& table) { return table.size() == 1; });
    targetTable.lock().entries()[0].nextDue = 0;
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(targetTable.snapshot()[0].nextDue, 0);
    EXPECT_EQ(targetTable.snapshot()[0].history, std::deque<std::uint8_t>{1});
    targetTable.lock().entries().clear();
    isRunning = true;
    std::this_thread::sleep_for(100ms);
    targetTable.lock().replaceAll({on(L"127.0.0.8"), on(L"127.0.0.9")}, steadyNowNanos());
    waitFor([](auto& table) { return !table[0].history.empty(); });
    ASSERT_TRUE(shutdownMonitoring());
    EXPECT_EQ(journal,
              L"icmp 127.0.0.1\nrefresh 1\nicmp 127.0.0.2\nrefresh 1\nicmp 127.0.0.8\n"
              L" | 127.0.0.8 | icmp | FAIL\nrefresh 1\n");
}

// An idle worker (nothing due, then every target off) pauses between sweeps: while the test
// clears slot 19's due time again and again, a spinning one would set it hundreds of times.
TEST_F(Monitoring, IdleWorkerPausesBetweenSweeps) {
    targetTable.lock().entries()[0] = on(L"127.0.0.1", 3600);
    workerThread = std::thread(runProbeWorker);
    for (bool enabled : {true, false}) {
        targetTable.lock().entries()[0].enabled = enabled;
        int sweeps = 0;
        for (auto end = std::chrono::steady_clock::now() + 400ms;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(1ms)) {
            sweeps += std::exchange(targetTable.lock().entries()[19].nextDue, 0) != 0;
        }
        EXPECT_TRUE(sweeps >= 1 && sweeps <= 12) << sweeps;
    }
    ASSERT_TRUE(shutdownMonitoring());
    EXPECT_EQ(journal, L"icmp 127.0.0.1\nrefresh 1\n");  // probed once in its due time
}
