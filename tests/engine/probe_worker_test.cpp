// Monitoring control and the real worker thread, run against stand-in probes.

#include "engine/probe_worker.h"

#include <gtest/gtest.h>

#include <sstream>
#include <system_error>

#include "app/monitoring.h"
#include "log/event_log.h"
#include "model/clock.h"
#include "model/data_folder.h"
#include "model/data_folder_posix.h"
#include "model/scratch_files.h"
#include "model/target_table.h"
#include "model/text_file.h"

using namespace std::chrono_literals;

static Target on(const wchar_t* host, int interval = 60, ProbeType type = ProbeType::icmp) {
    return {true, type, host, 443, interval, {}, 0};
}

// Besides the worker's own lines, the stand-in probes log "icmp <host>" or "tcp <host>:<port>",
// and every notice logs "refresh <results in the table>" (taken under the table lock, so a
// worker notifying while holding it would hang).
class Monitoring : public ::testing::Test {
protected:
    void SetUp() override {
        setDataFolderForTests(scratch.path().wstring() + L"/");
        targetTable.lock().resetToDefaults();
        stopWorker = false;  // for the next test in the same process
    }
    void TearDown() override { EXPECT_TRUE(shutdownMonitoring()); }
    // The first slots (fresh ones after them) and how the probes answer; the worker starts.
    static void start(std::vector<Target> slots, std::function<bool(const std::wstring&)> answer) {
        const auto probe = [answer](const std::wstring& call) {
            appendLogLine(call);
            return answer(call);
        };
        setProbeWorkerHooks({[probe](auto& host) { return probe(L"icmp " + host); },
                             [probe](auto& host, std::uint16_t port) {
                                 return probe(L"tcp " + host + L":" + std::to_wstring(port));
                             },
                             [] {
                                 std::size_t results = 0;
                                 for (auto& t : targetTable.snapshot()) results += t.history.size();
                                 appendLogLine(L"refresh " + std::to_wstring(results));
                             }});
        slots.resize(20);
        targetTable.lock().entries() = slots;
        isRunning = true;
        workerThread = std::thread(runProbeWorker);
    }
    // monitor.log once it holds `lines` lines (3 s at most), without time stamps and CRs.
    static std::wstring log(std::size_t lines) {
        std::wstring text, journal;
        for (int i = 0; i < 1500 && std::count(text.begin(), text.end(), L'\n') < int(lines); ++i) {
            std::this_thread::sleep_for(2ms);
            text = readTextFile(logFilePath());
        }
        std::wistringstream in(text);
        for (std::wstring line; std::getline(in, line);) {
            line.pop_back();  // the CR
            journal += line.substr(std::iswdigit(line[0]) ? 19 : 0) + L"\n";
        }
        return journal;
    }
    // Sweeps seen within `limit`: the test clears slot 19's due time again and again, and
    // every sweep's visit sets it.
    static int sweeps(std::chrono::milliseconds limit) {
        int seen = 0;
        for (auto end = std::chrono::steady_clock::now() + limit;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(1ms)) {
            seen += std::exchange(targetTable.lock().entries()[19].nextDue, 0) != 0;
        }
        return seen;
    }
    const ScratchFolder scratch;  // the data folder, where monitor.log goes
};

// Without a worker thread monitoring stays off and says why; toggling retries the start.
TEST_F(Monitoring, StartingTogglingAndAWorkerThatCannotBeCreated) {
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
    EXPECT_EQ(log(4),
              L" | monitoring could not start: " + std::wstring(why.begin(), why.end()) +
                  L"\n | monitoring auto-start\n | monitoring stopped\n | monitoring started\n");
}

// In slot order, each target in use once its due time has come, tcp with its port, all
// scheduled from the sweep's time; a log line per failure and a notice after every probe.
TEST_F(Monitoring, WorkerProbesDueTargetsInSlotOrder) {
    Target notDue = on(L"127.0.0.6", 1);
    notDue.nextDue = steadyNowNanos() + 3600 * nanosPerSecond;
    start({notDue,
           on(L"127.0.0.2"),
           on(L"127.0.0.3", 30, ProbeType::tcp),
           {false, ProbeType::icmp, L"127.0.0.4", 0, 1, {}, 0},
           on(L""),
           on(L"127.0.0.5")},
          [](const std::wstring& call) { return call == L"icmp 127.0.0.2"; });
    EXPECT_EQ(log(8),
              L"icmp 127.0.0.2\nrefresh 1\ntcp 127.0.0.3:443\n | 127.0.0.3 | tcp:443 | FAIL\n"
              L"refresh 2\nicmp 127.0.0.5\n | 127.0.0.5 | icmp | FAIL\nrefresh 3\n");
    const std::vector<Target> table = targetTable.snapshot();
    const std::int64_t sweep = table[4].nextDue;  // set at its first visit, then left alone
    EXPECT_EQ(table[1].nextDue - sweep, 60 * nanosPerSecond);
    EXPECT_EQ(table[2].nextDue - sweep, 30 * nanosPerSecond);
    EXPECT_EQ(table[3].nextDue, sweep);
    EXPECT_EQ(table[1].history, std::deque<std::uint8_t>{1});
    EXPECT_EQ(table[2].history, std::deque<std::uint8_t>{0});
}

// Switched off in a sweep, the worker finishes it, then idles touching nothing; a result whose
// slot went away is dropped; an empty table and a replaced one are swept; a stop in a sweep
// ends it before the next slot.
TEST_F(Monitoring, WorkerSwitchedOffShortenedReplacedAndStopped) {
    start({on(L"127.0.0.1"), on(L"127.0.0.2"), on(L"127.0.0.3")}, [](const std::wstring& call) {
        if (call == L"icmp 127.0.0.1") isRunning = false;
        if (call == L"icmp 127.0.0.2") targetTable.lock().entries().resize(1);
        stopWorker = call == L"icmp 127.0.0.8";
        return true;
    });
    log(4);
    targetTable.lock().entries()[0].nextDue = 0;
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(targetTable.snapshot()[0].nextDue, 0);
    EXPECT_EQ(targetTable.snapshot()[0].history, std::deque<std::uint8_t>{1});
    targetTable.lock().entries().clear();
    isRunning = true;
    std::this_thread::sleep_for(100ms);
    targetTable.lock().replaceAll({on(L"127.0.0.8"), on(L"127.0.0.9")}, steadyNowNanos());
    EXPECT_EQ(log(6),
              L"icmp 127.0.0.1\nrefresh 1\nicmp 127.0.0.2\nrefresh 1\nicmp 127.0.0.8\nrefresh 1\n");
    EXPECT_TRUE(shutdownMonitoring());
    EXPECT_EQ(log(6),
              L"icmp 127.0.0.1\nrefresh 1\nicmp 127.0.0.2\nrefresh 1\nicmp 127.0.0.8\nrefresh 1\n");
}

// An idle worker (nothing due, then every target off) pauses between sweeps: a spinning one
// would be seen hundreds of times.
TEST_F(Monitoring, IdleWorkerPausesBetweenSweeps) {
    start({on(L"127.0.0.1", 3600)}, [](auto&) { return true; });
    for (bool enabled : {true, false}) {
        targetTable.lock().entries()[0].enabled = enabled;
        const int seen = sweeps(400ms);
        EXPECT_TRUE(seen >= 1 && seen <= 12) << seen;
    }
    EXPECT_EQ(log(2), L"icmp 127.0.0.1\nrefresh 1\n");  // probed once in its due time
}
