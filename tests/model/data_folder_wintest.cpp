#include "model/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/replace_checks.h"
#include "model/scratch_files.h"
#include "model/text_file.h"

namespace {

TEST(DataFolder, IsTarvexBelowLocalAppDataAndIsCreatedWhenMissing) {
    const std::wstring folder = dataFolderPath();
    EXPECT_TRUE(folder.ends_with(L"\\AppData\\Local\\Tarvex\\")) << folder;
    EXPECT_EQ(configFilePath(), folder + L"config.xml");
    EXPECT_EQ(logFilePath(), folder + L"monitor.log");
    std::filesystem::remove_all(folder);
    ASSERT_FALSE(std::filesystem::exists(folder));
    EXPECT_EQ(dataFolderPath(), folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(TextFileOnWindows, StoresTheSameBytesAsTheNativeBuild) {
    ScratchFolder scratch;
    expectReplaceIsAllOrNothing(scratch);
    // A file name outside the ANSI code page must work as well.
    const std::wstring path = scratch.file(L"caf\u00e9-\u4e2d.txt");
    ASSERT_TRUE(writeTextFile(path, L"a\nb\u00e9"));
    EXPECT_EQ(readTextFile(path), L"a\nb\u00e9");
    TextOutput output = openTextOutput(path, TextOutputMode::append);
    output.write(L"entry\r\n");
    ASSERT_TRUE(output.close());
    EXPECT_EQ(readBytes(path),
              "a\r\nb\xE9"
              "entry\r\r\n");
}

}  // namespace
