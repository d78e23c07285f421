#include "model/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "model/replace_checks.h"
#include "model/scratch_files.h"

namespace {

class TextFileTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    const std::wstring path = scratch.file(L"file.txt");
};

TEST_F(TextFileTest, WritesOneBytePerCharacterWithCrLfLineEndsOverWhatWasThere) {
    const std::vector<std::pair<std::wstring, std::string>> cases = {
        {L"a\nb", "a\r\nb"}, {L"caf\u00e9\u00ff\u0001", "caf\xE9\xFF\x01"}, {L"", ""}};
    for (const auto& [text, bytes] : cases) {
        writeBytes(path, "a much longer old content\r\n");
        ASSERT_TRUE(writeTextFile(path, text));
        EXPECT_EQ(readBytes(path), bytes);
        EXPECT_EQ(readTextFile(path), text);
    }
}

TEST_F(TextFileTest, ReadsBytesByTheTextModeRuleAndTellsMissingFromEmpty) {
    // CR LF is one line feed, a lone CR stays, 0x1A ends the text, and a UTF-8 byte order
    // mark is three ordinary characters.
    const std::vector<std::pair<std::string, std::wstring>> cases = {
        {"a\rb\r\r\nc\r\n\r\x1A-after", L"a\rb\r\nc\n\r"},
        {"\xEF\xBB\xBFx\r", L"\u00ef\u00bb\u00bfx\r"},
        {"", L""}};
    for (const auto& [bytes, text] : cases) {
        writeBytes(path, bytes);
        EXPECT_EQ(tryReadTextFile(path), std::optional<std::wstring>(text));
    }
    const std::wstring missing = scratch.file(L"missing.txt");
    const std::wstring folder = scratch.path().wstring();
    for (const std::wstring& unreadable : {missing, folder}) {
        EXPECT_FALSE(tryReadTextFile(unreadable).has_value());
        EXPECT_EQ(readTextFile(unreadable), L"");
    }
    EXPECT_FALSE(pathExists(missing));
    EXPECT_TRUE(pathExists(folder));
}

TEST_F(TextFileTest, WriteRefusesUnstorableTextAndLeavesTheFileAlone) {
    writeBytes(path, "old");
    EXPECT_FALSE(writeTextFile(path, L"x\u0100y"));
    EXPECT_EQ(readBytes(path), "old");
    EXPECT_FALSE(writeTextFile(scratch.file(L"missing.txt"), L"\u4e2d"));
    EXPECT_FALSE(std::filesystem::exists(scratch.file(L"missing.txt")));
    EXPECT_FALSE(writeTextFile(scratch.file(L"no-such-folder/file.txt"), L"text"));
}

TEST_F(TextFileTest, AppendAddsAfterWhatWasThereAndTruncateStartsAfresh) {
    writeBytes(path, "old\r\n");
    for (const wchar_t* text : {L"one\n", L"two\u00e9"}) {
        TextOutput output = openTextOutput(path, TextOutputMode::append);
        ASSERT_TRUE(output.isOpen());
        output.write(text);
        EXPECT_TRUE(output.close());
    }
    EXPECT_EQ(readBytes(path), "old\r\none\r\ntwo\xE9");

    TextOutput truncating = openTextOutput(path, TextOutputMode::truncate);
    truncating.write(L"\u0100!");  // a stream cannot refuse: the character becomes "?"
    EXPECT_TRUE(truncating.close());
    EXPECT_EQ(readBytes(path), "?!");

    TextOutput intoFolder = openTextOutput(scratch.path().wstring(), TextOutputMode::append);
    EXPECT_FALSE(intoFolder.isOpen());
    EXPECT_FALSE(intoFolder.close());
}

TEST_F(TextFileTest, ReplaceIsAllOrNothing) { expectReplaceIsAllOrNothing(scratch); }

}  // namespace
