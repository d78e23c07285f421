#include "log/event_log.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "log/timestamp_shape.h"
#include "model/data_folder_posix.h"
#include "model/scratch_files.h"
#include "model/text_file.h"

namespace {

std::wstring localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    wchar_t text[32];
    std::wcsftime(text, 32, L"%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

// Each test logs into a data folder of its own, which the first entry creates, and keeps
// what the sink receives.
class EventLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDataFolderForTests(folder);
        setLogLineSink([this](const std::wstring& line) {
            std::scoped_lock lock(sinkMutex);
            received.push_back(line);
        });
    }
    void TearDown() override { setLogLineSink(nullptr); }

    std::string logBytes() const { return readBytes(logPath); }

    ScratchFolder scratch;
    const std::wstring folder = scratch.file(L"data") + L"/";
    const std::wstring logPath = folder + L"monitor.log";
    std::mutex sinkMutex;
    std::vector<std::wstring> received;
};

TEST(Timestamp, IsTheLocalTimeInNineteenCharacters) {
    const std::wstring before = localNow();
    const std::wstring stamp = formatTimestamp();
    const std::wstring after = localNow();
    expectTimestampShape(stamp);
    // Fixed-width fields from year to second compare like the times they show.
    EXPECT_LE(before, stamp);
    EXPECT_LE(stamp, after);
}

TEST_F(EventLogTest, FirstEntryCreatesFolderAndFileAndEachEntryIsOneLine) {
    ASSERT_FALSE(std::filesystem::exists(folder));
    appendLogLine(L"2026-03-01 09:05:03 | monitoring auto-start");
    EXPECT_TRUE(std::filesystem::is_regular_file(logPath));
    appendLogLine(L"2026-03-01 09:05:04 | 127.0.0.1 | tcp:80 | FAIL");
    appendLogLine(L"2026-03-01 09:05:05 | monitoring stopped");

    EXPECT_EQ(logBytes(),
              "2026-03-01 09:05:03 | monitoring auto-start\r\r\n"
              "2026-03-01 09:05:04 | 127.0.0.1 | tcp:80 | FAIL\r\r\n"
              "2026-03-01 09:05:05 | monitoring stopped\r\r\n");
    EXPECT_EQ(readTextFile(logPath),
              L"2026-03-01 09:05:03 | monitoring auto-start\r\n"
              L"2026-03-01 09:05:04 | 127.0.0.1 | tcp:80 | FAIL\r\n"
              L"2026-03-01 09:05:05 | monitoring stopped\r\n");
    EXPECT_EQ(received, (std::vector<std::wstring>{
                            L"2026-03-01 09:05:03 | monitoring auto-start",
                            L"2026-03-01 09:05:04 | 127.0.0.1 | tcp:80 | FAIL",
                            L"2026-03-01 09:05:05 | monitoring stopped"}));
}

TEST_F(EventLogTest, HostTextIsWrittenUnchangedExceptWhatWouldBreakTheLine) {
    appendLogLine(L"t | a | b | icmp | FAIL");
    appendLogLine(L"t | two\nlines\tand\rcr | icmp | FAIL");
    appendLogLine(L"t | caf\u00e9\u4e2d | icmp | FAIL");
    EXPECT_EQ(logBytes(),
              "t | a | b | icmp | FAIL\r\r\n"
              "t | two?lines?and?cr | icmp | FAIL\r\r\n"
              "t | caf\xE9? | icmp | FAIL\r\r\n");
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0], L"t | a | b | icmp | FAIL");
    EXPECT_EQ(received[1], L"t | two?lines?and?cr | icmp | FAIL");
}

TEST_F(EventLogTest, SinkGetsTheEntryWhenTheFileCannotBeOpened) {
    std::filesystem::create_directories(logPath);  // a folder where the file should be
    appendLogLine(L"t | monitoring started");
    EXPECT_TRUE(std::filesystem::is_directory(logPath));
    EXPECT_EQ(received, std::vector<std::wstring>{L"t | monitoring started"});

    setLogLineSink(nullptr);  // without a sink the file is still written
    std::filesystem::remove(logPath);
    appendLogLine(L"t | config saved");
    EXPECT_EQ(logBytes(), "t | config saved\r\r\n");
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(EventLogTest, EntriesFromTwoThreadsStayWholeAndInOrder) {
    constexpr int perThread = 300;
    auto writer = [](wchar_t name) {
        for (int i = 0; i < perThread; ++i) {
            appendLogLine(std::wstring(1, name) + L" | " + std::to_wstring(i) + L" | FAIL");
        }
    };
    std::thread first(writer, L'a');
    std::thread second(writer, L'b');
    first.join();
    second.join();

    std::wistringstream lines(readTextFile(logPath));
    int next[2] = {0, 0};  // per thread, the number its next entry must carry
    for (std::wstring line; std::getline(lines, line);) {
        ASSERT_TRUE(line.size() > 1 && line.back() == L'\r') << "entry without its line end";
        line.pop_back();
        ASSERT_TRUE(line[0] == L'a' || line[0] == L'b') << "torn entry";
        int& expected = next[line[0] - L'a'];
        ASSERT_EQ(line, line.substr(0, 1) + L" | " + std::to_wstring(expected) + L" | FAIL");
        ++expected;
    }
    EXPECT_EQ(next[0], perThread);
    EXPECT_EQ(next[1], perThread);
    std::scoped_lock lock(sinkMutex);
    EXPECT_EQ(received.size(), 2u * perThread);
}

}  // namespace
