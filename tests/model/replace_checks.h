#pragma once
// replaceTextFile is all or nothing on every platform: the new file in place and no temporary
// file left, or the old file (or a folder in the way) exactly as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "model/scratch_files.h"
#include "model/text_file.h"

inline void expectReplaceIsAllOrNothing(const ScratchFolder& scratch) {
    const std::wstring path = scratch.file(L"config.xml");
    ASSERT_TRUE(replaceTextFile(path, L"fresh"));
    EXPECT_EQ(readBytes(path), "fresh");
    ASSERT_TRUE(replaceTextFile(path, L"new\n"));
    EXPECT_EQ(readBytes(path), "new\r\n");
    EXPECT_FALSE(replaceTextFile(path, L"x\u0100"));  // a character the file cannot store
    EXPECT_EQ(readBytes(path), "new\r\n");

    // The temporary file's name is taken by a folder: the write cannot even start.
    std::filesystem::create_directory(path + L".tmp");
    EXPECT_FALSE(replaceTextFile(path, L"newer"));
    EXPECT_EQ(readBytes(path), "new\r\n");
    // The target is a folder: the new text must not take its place.
    const std::wstring folder = scratch.file(L"folder.xml");
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(replaceTextFile(folder, L"new"));

    std::set<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
        names.insert(entry.path().filename());
    }
    EXPECT_EQ(names,
              (std::set<std::filesystem::path>{"config.xml", "config.xml.tmp", "folder.xml"}));
    EXPECT_TRUE(std::filesystem::is_directory(path + L".tmp"));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}
