#include "log/log_tail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "model/scratch_files.h"
#include "model/text_file.h"

namespace {

// Entries as the event log writes them (CR CR LF), each with a lone CR and a Latin-1 byte,
// all of entryBytes bytes so the expected cut can be counted.
constexpr std::size_t entryBytes = 43;
std::string logEntries(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        char entry[64];
        std::snprintf(entry, sizeof entry, "2026-03-01 09:05:03 | h\r\xE9st-%05d | FAIL\r\r\n", i);
        bytes += entry;
    }
    return bytes;
}

class LogTail : public ::testing::Test {
protected:
    const ScratchFolder folder;
    const std::wstring path = folder.file(L"monitor.log");
};

TEST_F(LogTail, ReadsAFileWithinTheLimitWholeLikeReadTextFile) {
    writeBytes(path, "one\r\r\ntwo\r\r\nlone\rcr\xE9\r\r\n\x1A after end of text\r\r\n");
    EXPECT_EQ(readLogTail(path, 1 << 20), L"one\r\ntwo\r\nlone\rcr\u00E9\r\n");
    writeBytes(path, logEntries(10));
    ASSERT_EQ(readBytes(path).size(), 10 * entryBytes);
    EXPECT_EQ(readLogTail(path, 10 * entryBytes), readTextFile(path)) << "exactly the limit";
}

TEST_F(LogTail, CutsALargeFileAtALineStartAfterTheNote) {
    writeBytes(path, logEntries(1000));
    const std::wstring whole = readTextFile(path);
    const std::wstring note = L"(older entries are in " + path + L")\r\n";
    ASSERT_EQ(olderEntriesNote(path), note);
    // Mid-line (7 entries and a part), then exactly on a line start (7 entries).
    for (const std::size_t maxBytes : {7 * entryBytes + 20, 7 * entryBytes}) {
        const std::wstring tail = readLogTail(path, maxBytes);
        ASSERT_EQ(tail.substr(0, note.size()), note);
        const std::wstring shown = tail.substr(note.size());
        EXPECT_EQ(shown, whole.substr(whole.size() - shown.size())) << "the newest text, decoded";
        EXPECT_EQ(whole[whole.size() - shown.size() - 1], L'\n') << "starts a line";
        EXPECT_EQ(std::count(shown.begin(), shown.end(), L'\n'), 7) << maxBytes;
    }
}

TEST_F(LogTail, WithoutALineStartInTheEndOnlyTheNoteAndWithoutAFileNothing) {
    writeBytes(path, "old\r\r\n" + std::string(5000, 'x'));
    EXPECT_EQ(readLogTail(path, 1000), olderEntriesNote(path));
    EXPECT_EQ(readLogTail(folder.file(L"missing.log"), 1000), L"");
    EXPECT_EQ(readLogTail(folder.path().wstring(), 1000), L"") << "a folder";
}

}  // namespace
