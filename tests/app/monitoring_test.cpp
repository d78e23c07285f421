#include "app/monitoring.h"

#include <gtest/gtest.h>

#include <system_error>

#include "engine/probe_worker.h"
#include "log/event_log.h"
#include "model/data_folder_posix.h"
#include "model/scratch_files.h"
#include "model/target_table.h"

namespace {

// Nothing is in use, so the worker only idles; the log's entries are kept without their
// time stamps.
class MonitoringTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDataFolderForTests(scratch.file(L"data") + L"/");
        targetTable.lock().resetToDefaults();
        setLogLineSink([this](const std::wstring& line) { events.push_back(line.substr(19)); });
    }
    void TearDown() override {
        shutdownMonitoring();
        setLogLineSink(nullptr);
    }
    const ScratchFolder scratch;
    std::vector<std::wstring> events;
};

TEST_F(MonitoringTest, AutoStartThenTogglingTwiceLogsEachChange) {
    autoStartMonitoring();
    EXPECT_TRUE(isRunning && workerThread.joinable());
    EXPECT_FALSE(toggleMonitoring());
    EXPECT_FALSE(isRunning);
    EXPECT_TRUE(toggleMonitoring());
    EXPECT_TRUE(isRunning);
    shutdownMonitoring();
    EXPECT_FALSE(isRunning || workerThread.joinable());
    EXPECT_EQ(events,
              (std::vector<std::wstring>{L" | monitoring auto-start", L" | monitoring stopped",
                                         L" | monitoring started"}));
}

TEST_F(MonitoringTest, WorkerThatCannotBeCreatedLeavesMonitoringOffAndSaysWhy) {
    const std::system_error failure(
        std::make_error_code(std::errc::resource_unavailable_try_again));
    setWorkerThreadStarter([&]() -> std::thread { throw failure; });
    autoStartMonitoring();
    EXPECT_FALSE(isRunning || workerThread.joinable());
    EXPECT_FALSE(toggleMonitoring());  // still no thread: stays off
    EXPECT_FALSE(isRunning);

    setWorkerThreadStarter([] { return std::thread(runProbeWorker); });
    EXPECT_TRUE(toggleMonitoring());
    EXPECT_TRUE(workerThread.joinable());
    const std::string reason = failure.what();
    const std::wstring notStarted =
        L" | monitoring could not start: " + std::wstring(reason.begin(), reason.end());
    EXPECT_EQ(events,
              (std::vector<std::wstring>{notStarted, notStarted, L" | monitoring started"}));
}

}  // namespace
