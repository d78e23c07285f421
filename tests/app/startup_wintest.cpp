// What the main window's creation does with config.xml: a missing or empty file becomes the
// default table and a new file, a good file is loaded and left alone, and a file that exists
// but cannot be read is never overwritten.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "config/config_file.h"
#include "model/data_folder.h"
#include "model/target_table.h"
#include "support/wine_gui.h"

namespace {

bool isFreshTarget(const Target& target) {
    return target.enabled && target.type == ProbeType::icmp && target.host.empty() &&
           target.port == 0 && target.interval == 10 && target.history.empty();
}

bool holdsDefaultTable() {
    const std::vector<Target> table = targetTable.snapshot();
    return table.size() == targetSlotCount &&
           std::all_of(table.begin(), table.end(), isFreshTarget);
}

std::size_t countLines(const std::string& bytes) {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

FILETIME lastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool logMentions(const std::wstring& text) {
    const std::vector<std::wstring> events = logEvents();
    return std::any_of(events.begin(), events.end(), [&](const std::wstring& event) {
        return event.find(text) != std::wstring::npos;
    });
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        removeDataFiles();
        path = configFilePath();
    }
    void startAndClose() { closeMainWindow(startMainWindow()); }

    void expectDefaultTableWrittenAnew() {
        startAndClose();
        EXPECT_TRUE(holdsDefaultTable());
        EXPECT_EQ(countLines(fileBytes(path)), 165u);
        std::vector<Target> reread;
        EXPECT_EQ(readConfigFileStatus(path, reread), ConfigReadStatus::read);
        EXPECT_TRUE(std::all_of(reread.begin(), reread.end(), isFreshTarget));
        EXPECT_FALSE(logMentions(L"config.xml"));
    }

    // The file is there but cannot be read: the table is the default one, the file keeps
    // its bytes, and the log says why.
    void expectUnreadableFileLeftAlone() {
        startAndClose();
        EXPECT_TRUE(holdsDefaultTable());
        EXPECT_TRUE(
            logMentions(L" | config.xml could not be read; monitoring the default table, "
                        L"file left unchanged: " +
                        path));
        EXPECT_TRUE(logMentions(L" | monitoring auto-start"));
    }

    std::wstring path;
};

TEST_F(Startup, MissingFileBecomesTheDefaultTableAndANewFile) { expectDefaultTableWrittenAnew(); }

TEST_F(Startup, EmptyFileBecomesTheDefaultTableAndANewFile) {
    std::ofstream(std::filesystem::path(path)).close();
    expectDefaultTableWrittenAnew();
}

TEST_F(Startup, GoodFileIsLoadedWithoutBeingRewritten) {
    std::vector<Target> targets(targetSlotCount);
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) {
        targets[slot].enabled = false;  // nothing to probe
        targets[slot].host = L"127.0.0." + std::to_wstring(slot + 1);
        targets[slot].interval = static_cast<std::int32_t>(slot + 5);
    }
    targets[3].type = ProbeType::tcp;
    targets[3].port = 8080;
    ASSERT_TRUE(writeConfigFile(path, targets));
    // An old time stamp shows any rewrite, even one within the same second.
    const std::string bytes = fileBytes(path);
    {
        HANDLE file =
            CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const FILETIME old{0x69050000u, 0x01D5C036u};  // 2020-01-01
        SetFileTime(file, nullptr, nullptr, &old);
        CloseHandle(file);
    }
    const FILETIME before = lastWriteTime(path);

    startAndClose();
    const std::vector<Target> table = targetTable.snapshot();
    ASSERT_EQ(table.size(), targetSlotCount);
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) {
        EXPECT_EQ(table[slot].host, targets[slot].host);
        EXPECT_EQ(table[slot].interval, targets[slot].interval);
        EXPECT_EQ(table[slot].nextDue, table[0].nextDue);  // all due at once
        EXPECT_TRUE(table[slot].history.empty());
    }
    EXPECT_NE(table[0].nextDue, 0);
    EXPECT_EQ(table[3].type, ProbeType::tcp);
    EXPECT_EQ(table[3].port, 8080);
    EXPECT_EQ(fileBytes(path), bytes);
    const FILETIME after = lastWriteTime(path);
    EXPECT_EQ(CompareFileTime(&before, &after), 0);
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
