#include "app/monitoring.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "engine/probe_worker.h"
#include "model/data_folder.h"
#include "model/data_folder_posix.h"
#include "model/target_table.h"
#include "model/text_file.h"

namespace {

// The event texts of monitor.log, each entry's time stamp cut off.
std::vector<std::wstring> loggedEvents() {
    const std::wstring text = readTextFile(logFilePath());
    std::vector<std::wstring> events;
    const std::wstring lineEnd = L"\r\n";
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(lineEnd, start)) != std::wstring::npos;
         start = end + lineEnd.size()) {
        events.push_back(text.substr(start + 19, end - start - 19));
    }
    EXPECT_EQ(start, text.size()) << "the last entry has no line end";
    return events;
}

class MonitoringTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove_all(folder_);
        setDataFolderForTests(folder_.wstring() + L"/");
        targetTable.lock().resetToDefaults();  // nothing in use: the worker only idles
    }
    void TearDown() override {
        shutdownMonitoring();
        std::filesystem::remove_all(folder_);
    }

private:
    const std::filesystem::path folder_ = std::filesystem::temp_directory_path() /
                                          ("tarvex-monitoring-" + std::to_string(getpid()));
};

TEST_F(MonitoringTest, AutoStartThenTogglingTwiceLogsEachChange) {
    autoStartMonitoring();
    EXPECT_TRUE(isRunning);
    EXPECT_TRUE(workerThread.joinable());
    EXPECT_FALSE(toggleMonitoring());
    EXPECT_FALSE(isRunning);
    EXPECT_TRUE(toggleMonitoring());
    EXPECT_TRUE(isRunning);
    shutdownMonitoring();
    EXPECT_FALSE(isRunning);
    EXPECT_FALSE(workerThread.joinable());

    EXPECT_EQ(loggedEvents(),
              (std::vector<std::wstring>{L" | monitoring auto-start", L" | monitoring stopped",
                                         L" | monitoring started"}));
}

TEST_F(MonitoringTest, WorkerThatCannotBeCreatedLeavesMonitoringOffAndSaysWhy) {
    const std::system_error failure(std::make_error_code(std::errc::resource_unavailable_try_again));
    setWorkerThreadStarter([&]() -> std::thread { throw failure; });
    autoStartMonitoring();
    EXPECT_FALSE(isRunning);
    EXPECT_FALSE(workerThread.joinable());
    EXPECT_FALSE(toggleMonitoring());  // still no thread: stays off
    EXPECT_FALSE(isRunning);

    setWorkerThreadStarter([] { return std::thread(runProbeWorker); });
    EXPECT_TRUE(toggleMonitoring());
    EXPECT_TRUE(workerThread.joinable());

    const std::string reason = failure.what();
    const std::wstring notStarted =
        L" | monitoring could not start: " + std::wstring(reason.begin(), reason.end());
    EXPECT_EQ(loggedEvents(),
              (std::vector<std::wstring>{notStarted, notStarted, L" | monitoring started"}));
}

}  // namespace
