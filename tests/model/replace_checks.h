#pragma once
// replaceTextFile is all or nothing on every platform: the new file in place and no temporary
// file left, or the old file (or a folder in the way) exactly as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/scratch_files.h"
#include "model/text_file.h"

inline void expectReplaceIsAllOrNothing(const ScratchFolder& scratch) {
    const std::wstring path = scratch.file(L"config.xml");
    writeBytes(path, "old");
    ASSERT_TRUE(replaceTextFile(path, L"new\n"));
    EXPECT_EQ(readBytes(path), "new\r\n");
    EXPECT_FALSE(std::filesystem::exists(path + L".tmp"));

    // The temporary file's name is taken by a folder: the write cannot even start.
    const std::wstring blocker = path + L".tmp";
    std::filesystem::create_directory(blocker);
    EXPECT_FALSE(replaceTextFile(path, L"newer"));
    EXPECT_EQ(readBytes(path), "new\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(blocker));

    // The target is a folder: the new text must not take its place.
    const std::wstring folder = scratch.file(L"folder.xml");
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(replaceTextFile(folder, L"new"));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_FALSE(std::filesystem::exists(folder + L".tmp"));
}
