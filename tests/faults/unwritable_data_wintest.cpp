// The program over a data folder it cannot write: config.xml is a folder and monitor.log is
// held by another handle without sharing, later the folder itself gives way to a file. The
// operator is told, the table entered in the configuration window is probed from memory,
// every entry reaches the log window, and nothing that was on disk is lost.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_state.h"
#include "editor/config_editor.h"
#include "model/data_folder.h"
#include "model/scratch_files.h"
#include "model/target_table.h"
#include "support/wine_gui.h"

namespace {

std::wstring told;

// Saves an echo to 127.0.0.1 and one to "::1", which has no IPv4 address: the new table is
// probed at once. What the log window shows from then on.
std::wstring saveTwoTargets(HWND window) {
    SetWindowTextW(logEdit, L"");
    clickButton(window, 1002);
    SetWindowTextW(GetDlgItem(configWindow, 2100), L"127.0.0.1");
    SetWindowTextW(GetDlgItem(configWindow, 2101), L"::1");
    clickButton(configWindow, 2401);
    EXPECT_TRUE(pumpUntil([] { return windowText(logEdit).find(L" | ::1 | icmp | FAIL\r\n") != std::wstring::npos &&
                                      targetTable.snapshot()[0].history == std::deque<std::uint8_t>{1}; }, 3s));
    return windowText(logEdit);
}

}  // namespace

TEST(UnwritableData, OperatorIsToldAndMonitoringGoesOnFromMemory) {
    removeDataFiles();
    const std::filesystem::path folder = std::filesystem::path(dataFolderPath()).parent_path();
    const std::string logged = "2026-01-01 00:00:00 | before\r\r\n";
    const std::wstring inMemory = L" | config saved in memory only: config.xml could not be written\r\n";
    std::filesystem::create_directory(configFilePath());
    writeBytes(logFilePath(), logged);
    const HANDLE lock = CreateFileW(logFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    showEditorMessage = [](HWND, LPCWSTR text, LPCWSTR, UINT) { return told += text, IDOK; };
    const HWND window = startMainWindow();
    clickButton(window, 1004);  // the log window, opened after the first entries
    const std::wstring shown = windowText(logEdit);
    EXPECT_NE(shown.find(L" | config.xml could not be read; monitoring the default table, file left unchanged: " +
                         configFilePath() + L"\r\n"), shown.npos) << shown;
    EXPECT_NE(shown.find(L" | monitoring auto-start\r\n"), shown.npos) << shown;
    EXPECT_NE(saveTwoTargets(window).find(inMemory), std::wstring::npos);
    CloseHandle(lock);
    EXPECT_EQ(readBytes(logFilePath()), logged);
    EXPECT_TRUE(std::filesystem::is_empty(configFilePath()));

    std::filesystem::remove_all(folder);
    writeBytes(folder, "in the way");
    EXPECT_NE(saveTwoTargets(window).find(inMemory), std::wstring::npos);
    closeMainWindow(window);
    EXPECT_EQ(readBytes(folder), "in the way");
    std::filesystem::remove(folder);
    const std::wstring once = told.substr(0, told.size() / 2);  // one message per save
    EXPECT_TRUE(once.starts_with(L"\"config.xml\" could not be written:\n" + configFilePath()) && told == once + once) << told;
}
