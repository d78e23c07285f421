// config.xml is a folder and monitor.log held without sharing: the operator is told, the table
// is probed from memory, every entry reaches the log window, and nothing on disk is lost.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor/config_editor.h"
#include "editor/config_window.h"
#include "log/log_window.h"
#include "model/data_folder.h"
#include "model/scratch_files.h"
#include "model/target_table.h"
#include "support/wine_gui.h"
#include "ui/ui_state.h"

TEST(UnwritableData, OperatorIsToldAndMonitoringGoesOnFromMemory) {
    removeDataFiles();
    std::filesystem::create_directory(dataFolderPath() + L"config.xml");
    const std::string logged = "2026-01-01 00:00:00 | before\r\r\n";
    writeBytes(logFilePath(), logged);
    const HANDLE lock =
        CreateFileW(logFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    static std::wstring told;
    showEditorMessage = [](HWND, LPCWSTR text, LPCWSTR, UINT) {
        told += text;
        return IDOK;
    };
    const HWND window = startMainWindow();
    clickButton(window, logButtonId);  // the log window, opened after the first entries
    // An echo to 127.0.0.1 and one to "::1", which has no IPv4 address, probed at once.
    clickButton(window, configButtonId);
    SetWindowTextW(GetDlgItem(configWindow, hostEditBaseId), L"127.0.0.1");
    SetWindowTextW(GetDlgItem(configWindow, hostEditBaseId + 1), L"::1");
    clickButton(configWindow, saveButtonId);
    const auto shows = [](const std::wstring& entry) {
        return windowText(logEdit).find(L" | " + entry + L"\r\n") != std::wstring::npos;
    };
    const auto probed = [&] { return targetTable.snapshot()[0].history.size() == 1; };
    EXPECT_TRUE(pumpUntil([&] { return shows(L"::1 | icmp | FAIL"); }, 3s));
    EXPECT_TRUE(pumpUntil(probed, 1s)) << "the echo to 127.0.0.1";
    EXPECT_EQ(targetTable.snapshot()[0].history.front(), 1);
    const std::wstring unreadable =
        L"config.xml could not be read; monitoring the default "
        L"table, file left unchanged: " +
        configFilePath();
    for (const std::wstring& entry : {unreadable, std::wstring(L"monitoring auto-start"),
                                      std::wstring(L"config saved in memory only: config.xml "
                                                   L"could not be written")})
        EXPECT_TRUE(shows(entry)) << entry;
    closeMainWindow(window);
    CloseHandle(lock);
    EXPECT_EQ(readBytes(logFilePath()), logged);
    EXPECT_TRUE(
        told.starts_with(L"\"config.xml\" could not be written:\n" + configFilePath() + L"\n"))
        << told;
}
