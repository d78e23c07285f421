#include "log/event_log.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>

#include "log/timestamp_shape.h"
#include "model/data_folder_posix.h"
#include "model/scratch_files.h"
#include "model/text_file.h"

namespace {

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

    const ScratchFolder scratch;
    const std::wstring folder = scratch.file(L"data") + L"/";
    const std::wstring logPath = folder + L"monitor.log";
    std::mutex sinkMutex;
    std::vector<std::wstring> received;
};

TEST(Timestamp, IsTheLocalTimeInNineteenCharacters) {
    const auto localNow = [] {
        const std::time_t now = std::time(nullptr);
        std::tm parts{};
        localtime_r(&now, &parts);
        wchar_t text[32];
        std::wcsftime(text, 32, L"%Y-%m-%d %H:%M:%S", &parts);
        return std::wstring(text);
    };
    const std::wstring before = localNow();
    const std::wstring stamp = formatTimestamp();
    expectTimestampShape(stamp);
    // Fixed-width fields from year to second compare like the times they show.
    EXPECT_LE(before, stamp);
    EXPECT_LE(stamp, localNow());
}

// Host text is written unchanged except what would break the line or cannot be stored.
TEST_F(EventLogTest, EachEntryIsOneLineEndedByCrCrLfInAFileTheFirstEntryCreates) {
    ASSERT_FALSE(std::filesystem::exists(folder));
    for (const wchar_t* line :
         {L"2026-03-01 09:05:03 | monitoring auto-start", L"t | a | b | icmp | FAIL",
          L"t | two\nlines\tand\rcr | icmp | FAIL", L"t | caf\u00e9\u4e2d | icmp | FAIL"}) {
        appendLogLine(line);
    }
    EXPECT_EQ(readBytes(logPath),
              "2026-03-01 09:05:03 | monitoring auto-start\r\r\n"
              "t | a | b | icmp | FAIL\r\r\n"
              "t | two?lines?and?cr | icmp | FAIL\r\r\n"
              "t | caf\xE9? | icmp | FAIL\r\r\n");
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(std::vector(received.begin(), received.begin() + 3),
              (std::vector<std::wstring>{L"2026-03-01 09:05:03 | monitoring auto-start",
                                         L"t | a | b | icmp | FAIL",
                                         L"t | two?lines?and?cr | icmp | FAIL"}));
}

TEST_F(EventLogTest, SinkGetsTheEntryWhenTheFileCannotBeOpened) {
    std::filesystem::create_directories(logPath);  // a folder where the file should be
    appendLogLine(L"t | monitoring started");
    EXPECT_TRUE(std::filesystem::is_directory(logPath));
    EXPECT_EQ(received, std::vector<std::wstring>{L"t | monitoring started"});

    setLogLineSink(nullptr);  // without a sink the file is still written
    std::filesystem::remove(logPath);
    appendLogLine(L"t | config saved");
    EXPECT_EQ(readBytes(logPath), "t | config saved\r\r\n");
    EXPECT_EQ(received.size(), 1u);
}

TEST_F(EventLogTest, EntriesFromTwoThreadsStayWholeAndInOrder) {
    constexpr int perThread = 300;
    const auto writer = [](wchar_t name) {
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
        ASSERT_TRUE(line.size() > 1 && (line[0] == L'a' || line[0] == L'b')) << "torn entry";
        int& expected = next[line[0] - L'a'];
        ASSERT_EQ(line, line.substr(0, 1) + L" | " + std::to_wstring(expected++) + L" | FAIL\r");
    }
    EXPECT_EQ(next[0], perThread);
    EXPECT_EQ(next[1], perThread);
    std::scoped_lock lock(sinkMutex);
    EXPECT_EQ(received.size(), 2u * perThread);
}

}  // namespace
