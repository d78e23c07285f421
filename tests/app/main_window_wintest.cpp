// The main window as the operator meets it: its size for each panel combination, the server
// button, the status panel's text and the secondary windows.

#include <gtest/gtest.h>

#include "app/status_panel.h"
#include "config/config_file.h"
#include "model/data_folder.h"
#include "support/wine_gui.h"

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { removeDataFiles(); }
    void TearDown() override {
        if (window) closeMainWindow(window);
    }
    void start() {
        window = startMainWindow();
        ASSERT_NE(window, nullptr);
    }
    HWND window = nullptr;
};

TEST_F(MainWindow, PanelButtonsSetTheOuterHeight) {
    start();
    auto height = [&] { return outerSize(window).cy; };
    EXPECT_EQ(outerSize(window).cx, 696);
    EXPECT_EQ(height(), 90);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, 1200)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, 1201)));

    clickButton(window, 1003);  // Monitor
    EXPECT_EQ(height(), 660);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, 1200)));
    clickButton(window, 1005);  // Status
    EXPECT_EQ(height(), 810);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, 1201)));

    // Both panels keep 10 pixels to the edges, and the view ends 10 pixels above the panel.
    RECT client{}, view{}, panel{};
    GetClientRect(window, &client);
    GetWindowRect(GetDlgItem(window, 1200), &view);
    GetWindowRect(GetDlgItem(window, 1201), &panel);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&view), 2);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&panel), 2);
    EXPECT_EQ(view.left, 10);
    EXPECT_EQ(view.top, 70);
    EXPECT_EQ(view.right, client.right - 10);
    EXPECT_EQ(view.bottom, panel.top - 10);
    EXPECT_EQ(panel.bottom, client.bottom - 10);
    EXPECT_EQ(panel.bottom - panel.top, 140);

    clickButton(window, 1003);
    EXPECT_EQ(height(), 240);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, 1200)));
    clickButton(window, 1005);
    EXPECT_EQ(height(), 90);
    EXPECT_EQ(outerSize(window).cx, 696);
}

TEST_F(MainWindow, ServerButtonSwitchesMonitoringAndTheHiddenStatusPanel) {
    start();
    HWND server = GetDlgItem(window, 1001);
    HWND panel = GetDlgItem(window, 1201);
    EXPECT_EQ(windowText(server), L"Stop server");
    EXPECT_EQ(windowText(panel), buildStatusText(true, 0, dataFolderPath()));

    clickButton(window, 1001);
    EXPECT_EQ(windowText(server), L"Start server");
    EXPECT_EQ(windowText(panel), buildStatusText(false, 0, dataFolderPath()));
    EXPECT_FALSE(IsWindowVisible(panel));

    clickButton(window, 1001);
    EXPECT_EQ(windowText(server), L"Stop server");
    const std::vector<std::wstring> expected{L" | monitoring auto-start", L" | monitoring stopped",
                                             L" | monitoring started"};
    EXPECT_EQ(logEvents(), expected);
}

TEST_F(MainWindow, StatusPanelCountsOnlyTargetsInUse) {
    std::vector<Target> targets(targetSlotCount);
    for (Target& target : targets) target.interval = 3600;  // one probe each is plenty
    targets[0].host = L"127.0.0.1";
    targets[4].host = L"127.0.0.1";
    targets[4].type = ProbeType::tcp;
    targets[4].port = 9;
    targets[6].host = L"127.0.0.2";
    targets[6].enabled = false;  // a host, but switched off
    ASSERT_TRUE(writeConfigFile(configFilePath(), targets));
    start();
    clickButton(window, 1005);
    HWND panel = GetDlgItem(window, 1201);
    EXPECT_TRUE(IsWindowVisible(panel));
    const std::wstring text = windowText(panel);
    EXPECT_EQ(text, buildStatusText(true, 2, dataFolderPath()));
    EXPECT_NE(text.find(L"\\AppData\\Local\\Tarvex\\config.xml\r\n"), std::wstring::npos);
}

TEST_F(MainWindow, LogAndConfigButtonsOpenOneWindowEach) {
    start();
    clickButton(window, 1004);
    clickButton(window, 1004);
    EXPECT_EQ(countOwnWindows(L"Tarvex_LogWnd"), 1);
    clickButton(window, 1002);
    clickButton(window, 1002);
    EXPECT_EQ(countOwnWindows(L"Tarvex_ConfigWnd"), 1);

    // A hidden log window still receives new entries.
    HWND log = FindWindowW(L"Tarvex_LogWnd", nullptr);
    ASSERT_NE(log, nullptr);
    SendMessageW(log, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(log));
    clickButton(window, 1001);
    const std::wstring shown = windowText(GetDlgItem(log, 3001));
    EXPECT_NE(shown.find(L" | monitoring stopped\r\n"), std::wstring::npos) << shown;
}

}  // namespace
