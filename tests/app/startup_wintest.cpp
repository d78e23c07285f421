// What the main window's creation does with config.xml: a missing or empty file becomes the
// default table and a new file, a good file is loaded and left alone, and a file that exists
// but cannot be read is never overwritten.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "config/config_file.h"
#include "model/data_folder.h"
#include "model/scratch_files.h"
#include "model/target_table.h"
#include "model/text_file.h"
#include "support/wine_gui.h"

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override { removeDataFiles(); }

    // Starts and closes the main window: the table then holds `expected` without results,
    // and the log holds `firstEvent` (when given) and the start of monitoring.
    void startAndExpect(const std::vector<Target>& expected, const std::wstring& firstEvent = {}) {
        closeMainWindow(startMainWindow());
        const std::vector<Target> table = targetTable.snapshot();
        ASSERT_EQ(table.size(), targetSlotCount);
        EXPECT_EQ(configDocumentText(table), configDocumentText(expected));
        EXPECT_TRUE(std::all_of(table.begin(), table.end(),
                                [](const Target& target) { return target.history.empty(); }));
        std::vector<std::wstring> events{L" | monitoring auto-start"};
        if (!firstEvent.empty()) events.insert(events.begin(), firstEvent);
        EXPECT_EQ(logEvents(), events);
    }

    void expectDefaultsWrittenAnew() {
        startAndExpect(defaults);
        const std::string bytes = fileBytes(path);
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 165);
        EXPECT_EQ(readTextFile(path), configDocumentText(defaults));
    }

    void expectUnreadableFileLeftAlone() {
        startAndExpect(defaults,
                       L" | config.xml could not be read; monitoring the default "
                       L"table, file left unchanged: " +
                           path);
    }

    const std::wstring path = configFilePath();
    const std::vector<Target> defaults = std::vector<Target>(targetSlotCount);
};

TEST_F(Startup, MissingFileBecomesTheDefaultTableAndANewFile) { expectDefaultsWrittenAnew(); }

TEST_F(Startup, EmptyFileBecomesTheDefaultTableAndANewFile) {
    writeBytes(std::filesystem::path(path), "");
    expectDefaultsWrittenAnew();
}

TEST_F(Startup, GoodFileIsLoadedWithoutBeingRewritten) {
    std::vector<Target> targets(targetSlotCount);
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) {
        targets[slot].enabled = false;  // nothing to probe
        targets[slot].host = L"127.0.0." + std::to_wstring(slot + 1);
        targets[slot].interval = static_cast<std::int32_t>(slot + 5);
    }
    targets[3] = {false, ProbeType::tcp, L"127.0.0.4", 8080, 8, {}, 0};
    ASSERT_TRUE(writeConfigFile(path, targets));
    // An old time stamp shows any rewrite, even one within the same second.
    const FILETIME old{0x69050000u, 0x01D5C036u};  // 2020-01-01
    HANDLE file =
        CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &old));
    CloseHandle(file);
    const std::string bytes = fileBytes(path);

    startAndExpect(targets);
    const std::vector<Target> table = targetTable.snapshot();
    EXPECT_NE(table[0].nextDue, 0);
    for (const Target& target : table) EXPECT_EQ(target.nextDue, table[0].nextDue);  // all due
    EXPECT_EQ(fileBytes(path), bytes);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    EXPECT_EQ(CompareFileTime(&old, &data.ftLastWriteTime), 0);
}

TEST_F(Startup, LockedFileIsLeftUnchanged) {
    std::vector<Target> targets(targetSlotCount);
    targets[0].host = L"127.0.0.1";
    ASSERT_TRUE(writeConfigFile(path, targets));
    const std::string bytes = fileBytes(path);
    HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    expectUnreadableFileLeftAlone();
    CloseHandle(lock);
    EXPECT_EQ(fileBytes(path), bytes);
}

TEST_F(Startup, FolderInPlaceOfTheFileIsLeftUnchanged) {
    ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::path(path)));
    expectUnreadableFileLeftAlone();
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(path)));
}

}  // namespace
