// The program over a data folder it cannot write: config.xml is a folder and monitor.log is
// held by another handle without sharing, later the folder itself gives way to a file. The
// operator is told, the table entered in the configuration window is probed from memory,
// every entry reaches the log window, and nothing that was on disk is lost.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "editor/config_editor.h"
#include "model/data_folder.h"
#include "model/target_table.h"
#include "support/wine_gui.h"

namespace {

std::wstring told;

// Enters an echo to 127.0.0.1 and one to a host without an IPv4 address, both every 2 s,
// and saves; waits for two failures more in the log window.
void saveTwoTargetsAndWatch(HWND window) {
    clickButton(window, 1002);
    SetWindowTextW(GetDlgItem(configWindow, 2100), L"127.0.0.1");
    SetWindowTextW(GetDlgItem(configWindow, 2101), L"::1");
    SendMessageW(GetDlgItem(configWindow, 2300), CB_SETCURSEL, 0, 0);
    SendMessageW(GetDlgItem(configWindow, 2301), CB_SETCURSEL, 0, 0);
    clickButton(configWindow, 2401);
    const auto failures = [] {
        std::wstring shown = windowText(logEdit);
        std::size_t count = 0;
        for (auto at = shown.find(L" | ::1 | icmp | FAIL\r\n"); at != shown.npos; at = shown.find(L"::1", at + 1)) ++count;
        return count;
    };
    const std::size_t before = failures();
    EXPECT_TRUE(pumpUntil([&] { return failures() >= before + 2; }, 5s));
    EXPECT_EQ(targetTable.snapshot()[0].history.back(), 1);
}

}  // namespace

TEST(UnwritableData, OperatorIsToldAndMonitoringGoesOnFromMemory) {
    removeDataFiles();
    const std::filesystem::path config(configFilePath()), folder(dataFolderPath());
    std::filesystem::create_directory(config);
    std::ofstream(std::filesystem::path(logFilePath()), std::ios::binary) << "2026-01-01 00:00:00 | before\r\r\n";
    const HANDLE lock = CreateFileW(logFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    showEditorMessage = [](HWND, LPCWSTR text, LPCWSTR, UINT) { return told += text, IDOK; };
    const HWND window = startMainWindow();
    clickButton(window, 1004);  // the log window
    saveTwoTargetsAndWatch(window);
    const std::wstring shown = windowText(logEdit);
    for (const wchar_t* entry : {L" | config.xml could not be read; monitoring the default table, file left unchanged: ",
                                 L" | monitoring auto-start\r\n", L" | config saved in memory only: config.xml could not be written\r\n"})
        EXPECT_NE(shown.find(entry), shown.npos) << entry;
    CloseHandle(lock);
    EXPECT_TRUE(pumpUntil([] { return logEvents().size() > 1; }, 3s));
    EXPECT_EQ(logEvents()[0], L" | before");
    EXPECT_TRUE(std::filesystem::is_empty(config));

    std::filesystem::remove_all(folder.parent_path());
    std::ofstream(folder.parent_path()) << "in the way";
    saveTwoTargetsAndWatch(window);
    closeMainWindow(window);
    EXPECT_EQ(fileBytes(folder.parent_path()), "in the way");
    const std::wstring notWritten = L"\"config.xml\" could not be written:\n" + configFilePath();
    EXPECT_TRUE(told.starts_with(notWritten) && told.find(notWritten, 1) != told.npos) << told;
    std::filesystem::remove(folder.parent_path());
}
