#include "engine/probe_worker.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/monitoring.h"
#include "log/event_log.h"
#include "model/clock.h"
#include "model/data_folder_posix.h"
#include "model/target_table.h"

using namespace std::chrono_literals;

namespace {

struct ProbeCall {
    std::wstring host;
    bool tcp = false;
    std::uint16_t port = 0;
    std::int64_t at = 0;  // steady-clock nanoseconds when the probe began
};

using Respond = std::function<bool(const ProbeCall& call)>;
using History = std::deque<std::uint8_t>;

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = 3s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Stands in for the network. Every probe is recorded when it begins and answered by the
// test's `respond`, which runs on the worker thread and may block or change the table
// meanwhile, as a user can while a real probe waits for its time-out.
class ProbeScript {
public:
    ProbeWorkerHooks hooks(Respond respond) {
        respond_ = std::move(respond);
        return {[this](const std::wstring& host) { return probe({host, false, 0, 0}); },
                [this](const std::wstring& host, std::uint16_t port) {
                    return probe({host, true, port, 0});
                },
                // Locks the table, so a worker that posted while holding it would hang here.
                [this] {
                    std::size_t results = 0;
                    for (const Target& target : targetTable.snapshot()) {
                        results += target.history.size();
                    }
                    std::scoped_lock lock(mutex_);
                    resultsAtRefresh_.push_back(results);
                }};
    }
    std::vector<ProbeCall> calls() {
        std::scoped_lock lock(mutex_);
        return calls_;
    }
    std::vector<std::size_t> resultsAtRefresh() {
        std::scoped_lock lock(mutex_);
        return resultsAtRefresh_;
    }
    bool waitForCalls(std::size_t count) {
        return waitUntil([&] { return calls().size() >= count; });
    }

private:
    bool probe(ProbeCall call) {
        call.at = steadyNowNanos();
        {
            std::scoped_lock lock(mutex_);
            calls_.push_back(call);
        }
        return respond_(call);
    }

    Respond respond_;
    std::mutex mutex_;
    std::vector<ProbeCall> calls_;
    std::vector<std::size_t> resultsAtRefresh_;
};

class ProbeWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove_all(folder_);
        setDataFolderForTests(folder_.wstring() + L"/");
        setLogLineSink([this](const std::wstring&) { ++loggedLines_; });
        targetTable.lock().resetToDefaults();
    }
    void TearDown() override {
        shutdownMonitoring();
        setLogLineSink({});
        std::filesystem::remove_all(folder_);
    }

    // Puts a target in use into `slot`; it is new, so due in the first sweep.
    static void setTarget(std::size_t slot, ProbeType type, const std::wstring& host,
                          std::uint16_t port = 0, std::int32_t interval = 10) {
        auto table = targetTable.lock();
        Target& target = table.entries().at(slot);
        target.type = type;
        target.host = host;
        target.port = port;
        target.interval = interval;
    }
    static Target entry(std::size_t slot) { return targetTable.snapshot().at(slot); }

    void startWorker(Respond respond, bool monitoringOn = true) {
        setProbeWorkerHooks(script_.hooks(std::move(respond)));
        isRunning = monitoringOn;
        workerThread = std::thread(runProbeWorker);
    }
    // The entries of monitor.log without their time stamps; each must end in CR CR LF.
    std::vector<std::string> loggedEvents() const {
        std::ifstream file(folder_ / "monitor.log", std::ios::binary);
        std::vector<std::string> events;
        for (std::string line; std::getline(file, line);) {
            EXPECT_EQ(line.substr(0, 19).find_first_not_of("0123456789-: "), line.npos) << line;
            EXPECT_TRUE(line.ends_with("\r\r") && !file.eof()) << line;
            events.push_back(line.substr(19, line.size() - 21));
        }
        return events;
    }

    ProbeScript script_;
    std::atomic<int> loggedLines_{0};  // entries handed to the log, from any thread

private:
    const std::filesystem::path folder_ = std::filesystem::temp_directory_path() /
                                          ("tarvex-worker-" + std::to_string(getpid()));
};

const Respond answerAll = [](const ProbeCall&) { return true; };

TEST_F(ProbeWorkerTest, ProbesDueTargetsInSlotOrderScheduledFromOneSweepTime) {
    setTarget(2, ProbeType::icmp, L"127.0.0.2", 0, 5);
    setTarget(5, ProbeType::tcp, L"127.0.0.5", 8080, 7);
    setTarget(7, ProbeType::icmp, L"127.0.0.7");
    targetTable.lock().entries()[7].enabled = false;  // slot 9 stays enabled without a host
    const std::int64_t before = steadyNowNanos();
    startWorker(answerAll);
    ASSERT_TRUE(script_.waitForCalls(2));
    std::this_thread::sleep_for(300ms);  // a few more sweeps with nothing due
    shutdownMonitoring();

    const std::vector<ProbeCall> calls = script_.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].host, L"127.0.0.2");
    EXPECT_FALSE(calls[0].tcp);
    EXPECT_EQ(calls[1].host, L"127.0.0.5");
    EXPECT_TRUE(calls[1].tcp);
    EXPECT_EQ(calls[1].port, 8080);
    EXPECT_GE(calls[1].at - calls[0].at, 10'000'000);  // the pause after a probe

    const std::vector<Target> table = targetTable.snapshot();
    const std::int64_t sweep = table[2].nextDue - 5 * nanosPerSecond;
    EXPECT_EQ(table[5].nextDue - 7 * nanosPerSecond, sweep);
    EXPECT_GE(sweep, before);
    EXPECT_LE(sweep, calls[0].at);
    EXPECT_EQ(table[2].history, History{1});
    EXPECT_EQ(table[5].history, History{1});
    // Targets not in use are scheduled once, in the first sweep, and otherwise left alone.
    for (std::size_t slot : {7u, 9u}) {
        EXPECT_TRUE(table[slot].history.empty());
        EXPECT_EQ(table[slot].nextDue, sweep);
    }
    // One notice per probe, each after its result was recorded; successes log nothing.
    EXPECT_EQ(script_.resultsAtRefresh(), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(loggedLines_, 0);
}

TEST_F(ProbeWorkerTest, IntervalOfZeroOrLessProbesAboutOnceASecond) {
    setTarget(0, ProbeType::icmp, L"127.0.0.1", 0, 0);
    setTarget(1, ProbeType::icmp, L"127.0.0.2", 0, 60);
    startWorker([](const ProbeCall& call) {
        // An edit made while the probe runs decides the next due time.
        if (call.host == L"127.0.0.2") targetTable.lock().entries()[1].interval = -5;
        return true;
    });
    ASSERT_TRUE(script_.waitForCalls(4));
    shutdownMonitoring();

    const std::vector<ProbeCall> calls = script_.calls();
    for (std::size_t first : {0u, 1u}) {
        EXPECT_EQ(calls[first].host, calls[first + 2].host);
        const std::int64_t gap = calls[first + 2].at - calls[first].at;
        EXPECT_GT(gap, 900'000'000);
        EXPECT_LT(gap, 2 * nanosPerSecond);
    }
}

// Without probe hooks every probe fails: the worker still runs, records and logs.
TEST_F(ProbeWorkerTest, KeepsTheNewest2500ResultsAndTreatsMissingProbesAsFailed) {
    setTarget(0, ProbeType::tcp, L"127.0.0.1", 9);
    setTarget(1, ProbeType::icmp, L"127.0.0.1");
    History expected;
    {
        auto table = targetTable.lock();
        History& history = table.entries()[0].history;
        for (int i = 0; i < 2500; ++i) history.push_back(i % 3 == 0 ? 1 : 0);
        expected = history;
    }
    setProbeWorkerHooks({});
    isRunning = true;
    workerThread = std::thread(runProbeWorker);
    ASSERT_TRUE(waitUntil([&] { return loggedLines_ == 2; }));
    shutdownMonitoring();

    expected.pop_front();
    expected.push_back(0);
    EXPECT_EQ(entry(0).history, expected);
    EXPECT_EQ(entry(1).history, History{0});
    EXPECT_EQ(loggedEvents(), (std::vector<std::string>{" | 127.0.0.1 | tcp:9 | FAIL",
                                                        " | 127.0.0.1 | icmp | FAIL"}));
}

TEST_F(ProbeWorkerTest, FailedProbesWriteOneLineEachToMonitorLog) {
    setTarget(0, ProbeType::tcp, L"127.0.0.1", 8080);
    setTarget(1, ProbeType::icmp, L"127.0.0.1");
    setTarget(2, ProbeType::icmp, L"127.0.0.3");
    startWorker([](const ProbeCall& call) { return call.host == L"127.0.0.3"; });
    ASSERT_TRUE(script_.waitForCalls(3));
    shutdownMonitoring();

    EXPECT_EQ(loggedEvents(), (std::vector<std::string>{" | 127.0.0.1 | tcp:8080 | FAIL",
                                                        " | 127.0.0.1 | icmp | FAIL"}));
    EXPECT_EQ(entry(0).history, History{0});
    EXPECT_EQ(entry(2).history, History{1});
}

TEST_F(ProbeWorkerTest, SwitchingOffFinishesTheSweepThenIdlesKeepingResults) {
    setTarget(0, ProbeType::icmp, L"127.0.0.1");
    setTarget(1, ProbeType::icmp, L"127.0.0.2");
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    startWorker([released](const ProbeCall& call) {
        if (call.host == L"127.0.0.1") released.wait();
        return true;
    });
    ASSERT_TRUE(script_.waitForCalls(1));
    isRunning = false;
    release.set_value();
    ASSERT_TRUE(script_.waitForCalls(2));  // the sweep under way still probes slot 1
    targetTable.lock().entries()[0].nextDue = 0;  // due at once, if anything probed it
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(script_.calls().size(), 2u);
    EXPECT_EQ(entry(1).history, History{1});

    isRunning = true;
    ASSERT_TRUE(script_.waitForCalls(3));
    shutdownMonitoring();
    EXPECT_EQ(script_.calls()[2].host, L"127.0.0.1");
    EXPECT_EQ(entry(0).history, (History{1, 1}));
}

TEST_F(ProbeWorkerTest, StopWhileOffEndsWithinAnIdlePause) {
    setTarget(0, ProbeType::icmp, L"127.0.0.1");
    startWorker(answerAll, false);
    std::this_thread::sleep_for(150ms);
    const auto start = std::chrono::steady_clock::now();
    shutdownMonitoring();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_TRUE(script_.calls().empty());
    EXPECT_EQ(entry(0).nextDue, 0);  // nothing is touched while off
}

TEST_F(ProbeWorkerTest, StopDuringASweepWaitsOnlyForTheProbeInProgress) {
    setTarget(0, ProbeType::icmp, L"127.0.0.1");
    setTarget(1, ProbeType::icmp, L"127.0.0.2");
    startWorker([](const ProbeCall& call) {
        std::this_thread::sleep_for(call.host == L"127.0.0.1" ? 300ms : 3s);
        return true;
    });
    ASSERT_TRUE(script_.waitForCalls(1));
    const auto start = std::chrono::steady_clock::now();
    shutdownMonitoring();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_EQ(script_.calls().size(), 1u);
    EXPECT_EQ(entry(0).history, History{1});  // the probe in progress is still recorded
    EXPECT_TRUE(entry(1).history.empty());
}

TEST_F(ProbeWorkerTest, TableShortenedOrEmptiedDuringASweep) {
    for (std::size_t slot = 0; slot < 4; ++slot) {
        setTarget(slot, ProbeType::icmp, L"127.0.0." + std::to_wstring(slot + 1));
    }
    startWorker([](const ProbeCall& call) {
        auto table = targetTable.lock();
        if (call.host == L"127.0.0.1") table.entries().resize(2);
        if (call.host == L"127.0.0.2") table.entries().clear();
        return true;
    });
    ASSERT_TRUE(script_.waitForCalls(2));
    std::this_thread::sleep_for(200ms);  // sweeps over the empty table
    std::vector<Target> fresh(20);
    fresh[0].host = L"127.0.0.9";
    targetTable.lock().replaceAll(fresh, steadyNowNanos());
    ASSERT_TRUE(script_.waitForCalls(3));
    shutdownMonitoring();

    const std::vector<ProbeCall> calls = script_.calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].host, L"127.0.0.2");
    EXPECT_EQ(calls[2].host, L"127.0.0.9");
    EXPECT_EQ(entry(0).history, History{1});
}

}  // namespace
