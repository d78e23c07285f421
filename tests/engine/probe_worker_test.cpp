#include "engine/probe_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/monitoring.h"
#include "log/event_log.h"
#include "model/clock.h"
#include "model/data_folder_posix.h"
#include "model/scratch_files.h"
#include "model/target_checks.h"
#include "model/target_table.h"

using namespace std::chrono_literals;
using Journal = std::vector<std::wstring>;
using History = std::deque<std::uint8_t>;

namespace {

// Runs the real worker against probes that stand in for the network. Everything the worker
// does outside the table goes into one journal, in order: "icmp <host>" or "tcp <host>:<port>"
// when a probe begins, "refresh <results in the table>" for every notice, and "log" followed
// by the entry's text for every log entry.
class ProbeWorkerTest : public ::testing::Test {
protected:
    using Respond = std::function<bool(const std::wstring& host)>;

    void SetUp() override {
        setDataFolderForTests(scratch_.path().wstring() + L"/");
        setLogLineSink([this](const std::wstring& line) {
            EXPECT_EQ(line.substr(0, 19).find_first_not_of(L"0123456789-: "), line.npos) << line;
            note(L"log" + line.substr(19));
        });
        targetTable.lock().resetToDefaults();
    }
    void TearDown() override {
        shutdownMonitoring();
        setLogLineSink({});
    }

    static Target entry(std::size_t slot) { return targetTable.snapshot().at(slot); }

    // `respond` answers each probe on the worker thread; it may block or change the table
    // meanwhile, as a user can while a real probe waits for its time-out.
    ProbeWorkerHooks script(Respond respond) {
        const auto probe = [this, respond](const std::wstring& call, const std::wstring& host) {
            note(call, steadyNowNanos());
            return respond(host);
        };
        return {[probe](const std::wstring& host) { return probe(L"icmp " + host, host); },
                [probe](const std::wstring& host, std::uint16_t port) {
                    return probe(L"tcp " + host + L":" + std::to_wstring(port), host);
                },
                // Counts under the table lock: a worker that notified while holding it hangs.
                [this] {
                    std::size_t results = 0;
                    for (const Target& target : targetTable.snapshot()) {
                        results += target.history.size();
                    }
                    note(L"refresh " + std::to_wstring(results));
                }};
    }
    void startWorker(ProbeWorkerHooks hooks) {
        setProbeWorkerHooks(std::move(hooks));
        isRunning = true;
        workerThread = std::thread(runProbeWorker);
    }
    Journal journal() {
        std::scoped_lock lock(mutex_);
        return journal_;
    }
    bool waitForJournal(std::size_t count) {
        for (int waits = 0; waits < 1500; ++waits) {  // 3 seconds at most
            if (journal().size() >= count) return true;
            std::this_thread::sleep_for(2ms);
        }
        return false;
    }

    std::vector<std::int64_t> probeTimes_;  // steady-clock nanoseconds when each probe began

private:
    void note(const std::wstring& text, std::int64_t probeTime = 0) {
        std::scoped_lock lock(mutex_);
        journal_.push_back(text);
        if (probeTime != 0) probeTimes_.push_back(probeTime);
    }

    std::mutex mutex_;
    Journal journal_;
    ScratchFolder scratch_;  // the data folder, where monitor.log goes
};

const auto answerAll = [](const std::wstring&) { return true; };

TEST_F(ProbeWorkerTest, ProbesDueTargetsInSlotOrderEachSweepSchedulingFromItsOwnTime) {
    {
        auto table = targetTable.lock();  // new targets, so due in the first sweep
        table.entries()[2] = makeTarget(true, ProbeType::icmp, L"127.0.0.2", 0, 0);
        table.entries()[5] = makeTarget(true, ProbeType::tcp, L"127.0.0.5", 8080, 60);
        table.entries()[7] = makeTarget(false, ProbeType::icmp, L"127.0.0.7", 0, 10);
    }  // slot 9 stays enabled without a host
    const std::int64_t before = steadyNowNanos();
    startWorker(script([](const std::wstring& host) {
        // An edit made while the probe runs decides the next due time.
        if (host == L"127.0.0.5") targetTable.lock().entries()[5].interval = -5;
        return true;
    }));
    ASSERT_TRUE(waitForJournal(8));
    shutdownMonitoring();

    // Intervals of zero or less count as one second. Each notice comes after its result was
    // recorded; successes log nothing, and targets not in use are never probed.
    EXPECT_EQ(journal(),
              (Journal{L"icmp 127.0.0.2", L"refresh 1", L"tcp 127.0.0.5:8080", L"refresh 2",
                       L"icmp 127.0.0.2", L"refresh 3", L"tcp 127.0.0.5:8080", L"refresh 4"}));
    EXPECT_GE(probeTimes_[1] - probeTimes_[0], 10'000'000);  // the pause after a probe
    for (std::size_t first : {0u, 1u}) {
        const std::int64_t gap = probeTimes_[first + 2] - probeTimes_[first];
        EXPECT_GT(gap, 900'000'000);
        EXPECT_LT(gap, 2 * nanosPerSecond);
    }
    const std::vector<Target> table = targetTable.snapshot();
    EXPECT_EQ(table[2].nextDue, table[5].nextDue);  // both from the sweep, not the probe
    // Targets not in use are scheduled once, in the first sweep, and otherwise left alone.
    EXPECT_EQ(table[7].nextDue, table[9].nextDue);
    EXPECT_GE(table[7].nextDue, before);
    EXPECT_LE(table[7].nextDue, probeTimes_[0]);
}

TEST_F(ProbeWorkerTest, FailuresAreLoggedAndAStopWaitsOnlyForTheProbeInProgress) {
    History full;
    for (int i = 0; i < 2500; ++i) full.push_back(i % 3 == 0 ? 1 : 0);
    {
        auto table = targetTable.lock();
        table.entries()[0] = makeTarget(true, ProbeType::tcp, L"127.0.0.1", 9, 10);
        table.entries()[0].history = full;
        table.entries()[1] = makeTarget(true, ProbeType::icmp, L"127.0.0.1", 0, 10);
        table.entries()[2] = makeTarget(true, ProbeType::icmp, L"127.0.0.3", 0, 10);
        table.entries()[3] = makeTarget(true, ProbeType::icmp, L"127.0.0.4", 0, 10);
    }
    ProbeWorkerHooks hooks = script([](const std::wstring& host) {
        if (host == L"127.0.0.1") return false;
        std::this_thread::sleep_for(host == L"127.0.0.3" ? 300ms : 3s);
        return true;
    });
    hooks.probeTcp = nullptr;  // a missing probe counts as one that got no answer
    startWorker(std::move(hooks));
    ASSERT_TRUE(waitForJournal(6));
    const auto start = std::chrono::steady_clock::now();
    shutdownMonitoring();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);

    // The newest result pushes out the oldest; the probe in progress at the stop is still
    // recorded, and the next slot is not probed.
    EXPECT_EQ(journal(), (Journal{L"log | 127.0.0.1 | tcp:9 | FAIL", L"refresh 2500",
                                  L"icmp 127.0.0.1", L"log | 127.0.0.1 | icmp | FAIL",
                                  L"refresh 2501", L"icmp 127.0.0.3", L"refresh 2502"}));
    full.pop_front();
    full.push_back(0);
    EXPECT_EQ(entry(0).history, full);
    EXPECT_EQ(entry(1).history, History{0});
}

TEST_F(ProbeWorkerTest, SwitchingOffFinishesTheSweepThenIdlesKeepingResults) {
    targetTable.lock().entries()[0].host = L"127.0.0.1";
    targetTable.lock().entries()[1].host = L"127.0.0.2";
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    startWorker(script([released](const std::wstring& host) {
        if (host == L"127.0.0.1") released.wait();
        return true;
    }));
    ASSERT_TRUE(waitForJournal(1));
    isRunning = false;
    release.set_value();
    ASSERT_TRUE(waitForJournal(4));               // the sweep under way still probes slot 1
    targetTable.lock().entries()[0].nextDue = 0;  // due at once, if anything probed it
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(journal().size(), 4u);
    EXPECT_EQ(entry(0).nextDue, 0);  // nothing is touched while off

    isRunning = true;
    ASSERT_TRUE(waitForJournal(6));
    EXPECT_EQ(journal()[4], L"icmp 127.0.0.1");
    EXPECT_EQ(entry(0).history, (History{1, 1}));
    EXPECT_EQ(entry(1).history, History{1});

    // Switched off again, the worker idles in short pauses and ends soon after the stop.
    isRunning = false;
    std::this_thread::sleep_for(150ms);
    const auto start = std::chrono::steady_clock::now();
    shutdownMonitoring();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_EQ(journal().size(), 6u);
}

TEST_F(ProbeWorkerTest, TableShortenedEmptiedAndReplacedDuringASweep) {
    for (std::size_t slot = 0; slot < 4; ++slot) {
        targetTable.lock().entries()[slot].host = L"127.0.0." + std::to_wstring(slot + 1);
    }
    startWorker(script([](const std::wstring& host) {
        auto table = targetTable.lock();
        if (host == L"127.0.0.1") table.entries().resize(2);
        if (host == L"127.0.0.2") table.entries().clear();
        return true;
    }));
    ASSERT_TRUE(waitForJournal(4));
    std::this_thread::sleep_for(200ms);  // sweeps over the empty table
    std::vector<Target> fresh(20);
    fresh[0].host = L"127.0.0.9";
    targetTable.lock().replaceAll(fresh, steadyNowNanos());
    ASSERT_TRUE(waitForJournal(6));
    shutdownMonitoring();
    // The result of the probe whose slot vanished is dropped.
    EXPECT_EQ(journal(), (Journal{L"icmp 127.0.0.1", L"refresh 1", L"icmp 127.0.0.2", L"refresh 0",
                                  L"icmp 127.0.0.9", L"refresh 1"}));
}

}  // namespace
