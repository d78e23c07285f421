#pragma once
// replaceTextFile anywhere: all or nothing, and no other file touched, not even the
// operator's own "<name>.tmp", whether the write succeeds or fails, and no temporary left.
#include <gtest/gtest.h>

#include "model/scratch_files.h"
#include "model/text_file.h"

inline void expectReplaceTouchesOnlyItsTarget(const ScratchFolder& scratch) {
    const std::wstring path = scratch.file(L"backup.xml"), folder = scratch.file(L"folder.xml");
    writeBytes(path + L".tmp", "the operator's own");
    std::filesystem::create_directory(folder);
    for (const wchar_t* text : {L"fresh", L"new\n"}) ASSERT_TRUE(replaceTextFile(path, text));
    EXPECT_FALSE(replaceTextFile(path, L"x\u0100"));  // a character the file cannot store
    EXPECT_FALSE(replaceTextFile(folder, L"new"));    // a folder is never replaced
    EXPECT_EQ(readBytes(path) + readBytes(path + L".tmp"), "new\r\nthe operator's own");
    EXPECT_EQ(std::ranges::distance(std::filesystem::directory_iterator(scratch.path())), 3);
}
