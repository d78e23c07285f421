#include <gtest/gtest.h>

#include "model/data_folder.h"
#include "model/replace_checks.h"

TEST(DataFolder, IsTarvexBelowLocalAppDataAndCreatedWhenMissingAndReplacesOnlyTargets) {
    const std::wstring folder = dataFolderPath();
    EXPECT_TRUE(folder.ends_with(L"\\AppData\\Local\\Tarvex\\")) << folder;
    EXPECT_EQ(configFilePath(), folder + L"config.xml");
    std::filesystem::remove_all(folder);
    EXPECT_EQ(dataFolderPath(), folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    expectReplaceTouchesOnlyItsTarget(ScratchFolder());
}
