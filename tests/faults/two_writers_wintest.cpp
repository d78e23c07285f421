// Two log_writer.exe processes with two threads each append to monitor.log at once.
#include <gtest/gtest.h>

#include <map>

#include "faults/fault_support.h"
#include "log/timestamp_shape.h"
#include "model/data_folder.h"

TEST(TwoWriters, EveryEntryLandsWholeWithItsTabAsQuestionMarkOnceAndInItsThreadsOrder) {
    removeDataFiles();
    const std::wstring writer = buildTreeProgram(L"tests/log_writer.exe");
    ChildProcess a(writer, L"A"), b(writer, L"B");
    ASSERT_TRUE(a.hasEnded(60s) && b.hasEnded(60s) && a.exitCode() + b.exitCode() == 0);
    const std::string bytes = fileBytes(logFilePath());
    std::map<std::string, int> next;  // per writing thread, the number of its next entry
    std::size_t at = 0;
    for (std::size_t end; (end = bytes.find("\r\r\n", at)) != bytes.npos; at = end + 3) {
        const std::string entry = bytes.substr(at, end - at), thread = entry.substr(22, 2);
        expectTimestampShape(std::wstring(entry.begin(), entry.begin() + 19));
        ASSERT_EQ(entry.substr(19), " | " + thread + "?" + std::to_string(next[thread]++));
    }
    EXPECT_EQ(at, bytes.size());  // nothing after the last whole entry
    EXPECT_EQ(next,
              (std::map<std::string, int>{{"A0", 2000}, {"A1", 2000}, {"B0", 2000}, {"B1", 2000}}));
}
