// A process killed while it saves the configuration, at a random point, many times over:
// config.xml is always one of the two complete documents it was saving, never a cut or mixed
// one, and reads back as that table.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>

#include "config/config_file.h"
#include "faults/fault_support.h"
#include "faults/helpers/two_tables.h"
#include "model/data_folder.h"
#include "support/wine_gui.h"

namespace {

using Clock = std::chrono::steady_clock;

// Spins rather than sleeps: Sleep's granularity would bunch the kills at a few points of
// the save.
void spinFor(std::chrono::microseconds length) {
    const auto end = Clock::now() + length;
    while (Clock::now() < end) {
    }
}

bool sameSettings(const std::vector<Target>& read, const std::vector<Target>& saved) {
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) {
        if (read[slot].enabled != saved[slot].enabled || read[slot].type != saved[slot].type ||
            read[slot].host != saved[slot].host || read[slot].port != saved[slot].port ||
            read[slot].interval != saved[slot].interval) {
            return false;
        }
    }
    return true;
}

TEST(InterruptedSave, ConfigFileIsAlwaysTheOldOrTheNewWholeDocument) {
    removeDataFiles();
    const std::wstring path = configFilePath();
    const std::filesystem::path temporary(path + L".tmp");
    ASSERT_TRUE(writeConfigFile(path, savedTable(true)));
    const std::string second = fileBytes(path);
    ASSERT_TRUE(writeConfigFile(path, savedTable(false)));
    const std::string first = fileBytes(path);
    ASSERT_NE(first.size(), second.size());

    const std::wstring eventName = L"TarvexSaveLoopReady-" + std::to_wstring(GetCurrentProcessId());
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(ready, nullptr);
    const std::wstring helper = buildTreeProgram(L"tests/config_save_loop.exe");
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delayMicros(0, 20'000);

    int kills = 0, killsMidWrite = 0, foundFirst = 0, foundSecond = 0;
    const auto end = Clock::now() + std::chrono::seconds(25);
    while (kills < 200 && Clock::now() < end) {
        ResetEvent(ready);
        ChildProcess saver(helper, eventName);
        ASSERT_TRUE(saver.started()) << std::filesystem::path(helper).string();
        // The first save is done, so every kill below lands somewhere in the loop of saves.
        ASSERT_EQ(WaitForSingleObject(ready, 10'000), WAIT_OBJECT_0)
            << "the helper ended with " << saver.exitCode();
        spinFor(std::chrono::microseconds(delayMicros(random)));
        saver.kill(1);
        ++kills;
        if (std::filesystem::exists(temporary)) ++killsMidWrite;

        const std::string bytes = fileBytes(path);
        ASSERT_TRUE(bytes == first || bytes == second)
            << "kill " << kills << " left " << bytes.size() << " bytes:\n"
            << bytes;
        ++(bytes == first ? foundFirst : foundSecond);
    }
    CloseHandle(ready);
    std::printf("%d kills: %d during a write, config.xml held the first table %d times and the "
                "second %d times\n",
                kills, killsMidWrite, foundFirst, foundSecond);

    // Enough kills to mean something, and some of them inside a write.
    EXPECT_GE(kills, 50);
    EXPECT_GT(killsMidWrite, 0);
    EXPECT_GT(foundFirst, 0);
    EXPECT_GT(foundSecond, 0);
    std::vector<Target> read;
    ASSERT_EQ(readConfigFileStatus(path, read), ConfigReadStatus::read);
    EXPECT_TRUE(sameSettings(read, savedTable(false)) || sameSettings(read, savedTable(true)));
    removeDataFiles();
    std::filesystem::remove(temporary);
}

}  // namespace
