#include "model/text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "model/replace_checks.h"
#include "model/scratch_files.h"

namespace {

class TextFileTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    const std::wstring path = scratch.file(L"file.txt");
};

TEST_F(TextFileTest, StoresOneBytePerCharacterWithCrLfLineEnds) {
    ASSERT_TRUE(writeTextFile(path, L"a\nb"));
    EXPECT_EQ(readBytes(path), std::string("a\r\nb"));
    EXPECT_EQ(readTextFile(path), L"a\nb");

    ASSERT_TRUE(writeTextFile(path, L"caf\u00e9\u00ff\u0001"));
    EXPECT_EQ(readBytes(path), std::string("caf\xE9\xFF\x01"));
    EXPECT_EQ(readTextFile(path), L"caf\u00e9\u00ff\u0001");
}

TEST_F(TextFileTest, ReadsBytesByTheTextModeRule) {
    // CR LF is one line feed, a lone CR stays, 0x1A ends the text, and a UTF-8 byte order
    // mark is three ordinary characters.
    writeBytes(path, std::string("a\rb\r\r\nc\r\n\r\x1A" "after"));
    EXPECT_EQ(readTextFile(path), L"a\rb\r\nc\n\r");
    writeBytes(path, std::string("\xEF\xBB\xBFx\r"));
    EXPECT_EQ(readTextFile(path), L"\u00ef\u00bb\u00bfx\r");
}

TEST_F(TextFileTest, MissingEmptyAndFolderAllReadAsEmpty) {
    EXPECT_EQ(readTextFile(path), L"");
    EXPECT_FALSE(tryReadTextFile(path).has_value());
    EXPECT_FALSE(pathExists(path));

    writeBytes(path, "");
    EXPECT_EQ(readTextFile(path), L"");
    EXPECT_EQ(tryReadTextFile(path), std::optional<std::wstring>(L""));

    const std::wstring folder = scratch.file(L"folder");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(readTextFile(folder), L"");
    EXPECT_FALSE(tryReadTextFile(folder).has_value());
    EXPECT_TRUE(pathExists(folder));
}

TEST_F(TextFileTest, WriteReplacesTheWholeContent) {
    writeBytes(path, "a much longer old content\r\n");
    ASSERT_TRUE(writeTextFile(path, L"new"));
    EXPECT_EQ(readBytes(path), "new");
    ASSERT_TRUE(writeTextFile(path, L""));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(readBytes(path), "");
}

TEST_F(TextFileTest, WriteRefusesUnstorableTextAndLeavesTheFileAlone) {
    writeBytes(path, "old");
    EXPECT_FALSE(writeTextFile(path, L"x\u0100y"));
    EXPECT_EQ(readBytes(path), "old");

    const std::wstring missing = scratch.file(L"missing.txt");
    EXPECT_FALSE(writeTextFile(missing, L"\u4e2d"));
    EXPECT_FALSE(std::filesystem::exists(missing));

    EXPECT_FALSE(writeTextFile(scratch.file(L"no-such-folder/file.txt"), L"text"));
}

TEST_F(TextFileTest, AppendAddsAfterWhatWasThere) {
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

TEST_F(TextFileTest, ReplaceIsAllOrNothing) {
    expectReplaceIsAllOrNothing(scratch);

    writeBytes(path, "old");
    EXPECT_FALSE(replaceTextFile(path, L"\u0100"));
    EXPECT_EQ(readBytes(path), "old");
    ASSERT_TRUE(replaceTextFile(scratch.file(L"fresh.txt"), L"fresh"));
    EXPECT_EQ(readBytes(scratch.file(L"fresh.txt")), "fresh");
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
        names.push_back(entry.path().filename().wstring());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"config.xml", L"config.xml.tmp", L"file.txt",
                                                L"folder.xml", L"fresh.txt"}));
}

}  // namespace
