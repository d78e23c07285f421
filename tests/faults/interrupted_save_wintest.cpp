// A save killed at random points leaves config.xml the old or the new whole document.
#include <gtest/gtest.h>

#include <random>

#include "config/config_file.h"
#include "faults/program.h"
#include "model/data_folder.h"
#include "model/scratch_files.h"
#include "support/wine_gui.h"

TEST(InterruptedSave, ConfigFileIsAlwaysTheOldOrTheNewWholeDocument) {
    removeDataFiles();
    const ScratchFolder folder;
    std::vector<Target> tables[2] = {std::vector<Target>(20), std::vector<Target>(20)};
    for (std::size_t i = 0; i < 20; ++i) {  // documents that differ throughout, in length too
        tables[1][i] = {true, ProbeType::tcp, L"127.0.0." + std::to_wstring(i + 100), 4000, 60, {}, 0};
    }
    ASSERT_TRUE(writeConfigFile(folder.file(L"0.xml"), tables[0]) &&
                writeConfigFile(folder.file(L"1.xml"), tables[1]));
    const std::string documents[2] = {readBytes(folder.path() / "0.xml"), readBytes(folder.path() / "1.xml")};
    const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"TarvexSaveLoop");
    const std::wstring files = folder.file(L"0.xml") + L" " + folder.file(L"1.xml");
    std::mt19937 random(std::random_device{}());
    int found[2] = {};
    for (int kill = 0; kill < 20; ++kill) {
        ResetEvent(ready);
        const HANDLE saver = startProgram(L"config_save_loop.exe", L"TarvexSaveLoop " + files);
        ASSERT_EQ(WaitForSingleObject(ready, 10000), WAIT_OBJECT_0);
        // Spins rather than sleeps, so that the kills spread over the whole save.
        const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(random() % 20000);
        while (std::chrono::steady_clock::now() < end) {}
        TerminateProcess(saver, 1);
        WaitForSingleObject(saver, INFINITE);
        const std::string bytes = fileBytes(configFilePath());
        ASSERT_TRUE(bytes == documents[0] || bytes == documents[1]) << "kill " << kill << ":\n" << bytes;
        ++found[bytes == documents[1]];
    }
    EXPECT_TRUE(found[0] > 0 && found[1] > 0);
}
