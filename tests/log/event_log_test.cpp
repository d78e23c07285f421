#include "log/event_log.h"

#include <gtest/gtest.h>

#include "model/data_folder_posix.h"
#include "model/scratch_files.h"

TEST(EventLog, FileGetsOneLinePerEntryFromTheClearingOnAndTheSinkEveryEntry) {
    const ScratchFolder scratch;
    const std::wstring logPath = scratch.file(L"monitor.log");
    setDataFolderForTests(scratch.path().wstring() + L"/");
    static std::vector<std::wstring> sunk;
    setLogLineSink([](const std::wstring& line) { sunk.push_back(line); });
    std::filesystem::create_directory(logPath);  // a folder where the file should be
    appendLogLine(L"t | started");
    std::filesystem::remove(logPath);
    appendLogLine(L"t | cleared");
    ASSERT_TRUE(clearLogFile());
    appendLogLine(L"t | a\nb\u00e9\u4e2d | FAIL");
    EXPECT_EQ(readBytes(logPath), "t | a?b\xE9? | FAIL\r\r\n");
    std::wstring stamp = formatTimestamp();
    for (wchar_t& c : stamp) c = (c >= L'0' && c <= L'9') ? L'd' : c;
    EXPECT_EQ(stamp, L"dddd-dd-dd dd:dd:dd");
    EXPECT_EQ(sunk, (std::vector<std::wstring>{L"t | started", L"t | cleared",
                                               L"t | a?b\u00e9\u4e2d | FAIL"}));
}
