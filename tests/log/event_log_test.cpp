#include "log/event_log.h"

#include <gtest/gtest.h>

#include "log/log_tail.h"
#include "model/data_folder.h"
#include "model/data_folder_posix.h"
#include "model/scratch_files.h"

TEST(EventLog, FileGetsOneLinePerEntryFromTheClearingOnTheSinkEveryEntryTheTailWholeLines) {
    const ScratchFolder scratch;
    const std::wstring logPath = scratch.file(logFileName);
    setDataFolderForTests(scratch.path().wstring() + L"/");
    static std::vector<std::wstring> sunk;
    setLogLineSink([](const std::wstring& line) { sunk.push_back(line); });
    std::filesystem::create_directory(logPath);  // a folder where the file should be
    appendLogLine(L"t | started");
    std::filesystem::remove(logPath);
    appendLogLine(L"t | cleared");
    ASSERT_TRUE(clearLogFile());
    for (const wchar_t* entry : {L"t | a\nb\u00e9\u4e2d | FAIL", L"two\u00e9", L"three"})
        appendLogLine(entry);
    EXPECT_EQ(readBytes(logPath), "t | a?b\xE9? | FAIL\r\r\ntwo\xE9\r\r\nthree\r\r\n");
    std::wstring stamp = formatTimestamp();
    for (wchar_t& c : stamp) c = (c >= L'0' && c <= L'9') ? L'd' : c;
    EXPECT_EQ(stamp, L"dddd-dd-dd dd:dd:dd");
    EXPECT_EQ(sunk,
              (std::vector<std::wstring>{L"t | started", L"t | cleared",
                                         L"t | a?b\u00e9\u4e2d | FAIL", L"two\u00e9", L"three"}));
    // The newest whole lines of the 34 bytes above, after a note when older ones are left out.
    const std::wstring note = L"(older entries are in " + logPath + L")\r\n";
    const std::pair<std::uintmax_t, std::wstring> tails[] = {
        {34, L"t | a?b\u00e9? | FAIL\r\ntwo\u00e9\r\nthree\r\n"},
        {15, note + L"two\u00e9\r\nthree\r\n"},
        {14, note + L"three\r\n"}};
    for (const auto& [limit, shown] : tails) EXPECT_EQ(readLogTail(logPath, limit), shown) << limit;
    EXPECT_EQ(readLogTail(scratch.file(L"missing.log"), 100), L"");
}
