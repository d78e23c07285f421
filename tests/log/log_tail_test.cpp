#include "log/log_tail.h"

#include <gtest/gtest.h>

#include "model/scratch_files.h"

TEST(LogTail, ReadsTheNewestWholeLinesAfterANote) {
    const ScratchFolder folder;
    const std::wstring path = folder.file(L"monitor.log");
    const std::wstring note = L"(older entries are in " + path + L")\r\n";
    writeBytes(path, "one\r\r\ntwo\xE9\r\r\nthree\r\r\n");  // 21 bytes, as monitor.log holds them
    const std::pair<std::uintmax_t, std::wstring> cases[] = {{21, L"one\r\ntwo\u00e9\r\nthree\r\n"},
                                                             {15, note + L"two\u00e9\r\nthree\r\n"},
                                                             {14, note + L"three\r\n"},
                                                             {8, note + L"three\r\n"},
                                                             {7, note}};
    for (const auto& [limit, shown] : cases) EXPECT_EQ(readLogTail(path, limit), shown) << limit;
    EXPECT_EQ(readLogTail(folder.file(L"missing.log"), 100), L"");
}
