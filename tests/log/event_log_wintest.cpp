#include "log/event_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "log/timestamp_shape.h"
#include "model/data_folder.h"
#include "model/scratch_files.h"

namespace {

TEST(EventLogOnWindows, TimestampHasTheLogShape) { expectTimestampShape(formatTimestamp()); }

TEST(EventLogOnWindows, EntriesReachMonitorLogAndTheSink) {
    std::filesystem::remove(logFilePath());
    std::vector<std::wstring> received;
    setLogLineSink([&received](const std::wstring& line) { received.push_back(line); });
    const std::wstring first = formatTimestamp() + L" | monitoring started";
    appendLogLine(first);
    appendLogLine(L"t | 127.0.0.1 | tcp:80 | FAIL");
    setLogLineSink(nullptr);

    const std::string firstBytes(first.begin(), first.end());
    EXPECT_EQ(readBytes(logFilePath()), firstBytes + "\r\r\nt | 127.0.0.1 | tcp:80 | FAIL\r\r\n");
    EXPECT_EQ(received, (std::vector<std::wstring>{first, L"t | 127.0.0.1 | tcp:80 | FAIL"}));
}

}  // namespace
