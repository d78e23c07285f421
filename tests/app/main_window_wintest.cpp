// The main window as the operator meets it: its size for each panel combination, the server
// button, the status lamp and the health bar, the status panel's text and the secondary
// windows.

#include <gtest/gtest.h>

#include <deque>
#include <limits>
#include <tuple>

#include "app/app_messages.h"
#include "config/config_file.h"
#include "model/data_folder.h"
#include "model/target_table.h"
#include "support/wine_gui.h"

namespace {

constexpr COLORREF green = RGB(0, 170, 0);
constexpr COLORREF red = RGB(220, 0, 0);
constexpr int serverButton = 1001, monitorButton = 1003, statusButton = 1005;

// The status panel's text; the labels' trailing blanks are counted here.
std::wstring statusText(const wchar_t* state, int inUse) {
    const auto line = [](const wchar_t* label, std::size_t blanks, const std::wstring& value) {
        return label + std::wstring(blanks, L' ') + value + L"\r\n";
    };
    const std::wstring folder = dataFolderPath();
    return line(L"Server Status:", 19, state) + line(L"Targets:", 27, std::to_wstring(inUse)) +
           L"\r\n" + line(L"Config Path:", 21, folder + L"config.xml") +
           line(L"Log Path:", 25, folder + L"monitor.log") + L"\r\n" +
           line(L"Developed by:", 20, L"the Tarvex team") +
           line(L"Edition:", 25, L"Tarvex Desktop " TARVEX_VERSION_TEXT);
}

// A child's left, top, right and bottom in its parent's client area.
RECT placeOf(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

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
    HWND child(int id) const { return GetDlgItem(window, id); }
    COLORREF lamp() const { return pixelAt(window, 23, 25); }
    COLORREF healthBar() const { return pixelAt(window, 416, 42); }
    HWND window = nullptr;
};

TEST_F(MainWindow, PanelButtonsSetTheOuterHeight) {
    start();
    const auto shown = [&] {
        return std::to_wstring(outerSize(window).cx) + L"x" +
               std::to_wstring(outerSize(window).cy) +
               (IsWindowVisible(child(1200)) ? L" view" : L"") +
               (IsWindowVisible(child(1201)) ? L" panel" : L"");
    };
    EXPECT_EQ(shown(), L"696x90");
    const std::pair<int, const wchar_t*> steps[] = {{monitorButton, L"696x660 view"},
                                                    {statusButton, L"696x810 view panel"},
                                                    {monitorButton, L"696x240 panel"},
                                                    {statusButton, L"696x90"}};
    for (const auto& [button, expected] : steps) {
        clickButton(window, button);
        EXPECT_EQ(shown(), expected);
    }
    // With both shown: the view from (10, 70), 10 pixels above the 140-pixel panel, and 10
    // pixels between each of them and the client area's other edges.
    clickButton(window, monitorButton);
    clickButton(window, statusButton);
    RECT client{};
    GetClientRect(window, &client);
    const RECT view = placeOf(child(1200));
    const RECT panel = placeOf(child(1201));
    EXPECT_EQ((std::vector<LONG>{view.left, view.top, client.right - view.right,
                                 panel.top - view.bottom, panel.bottom - panel.top, panel.left,
                                 client.right - panel.right, client.bottom - panel.bottom}),
              (std::vector<LONG>{10, 70, 10, 10, 140, 10, 10, 10}));
}

TEST_F(MainWindow, ServerButtonSwitchesMonitoringTheLampAndTheHiddenStatusPanel) {
    start();
    pumpMessagesFor(100ms);
    // The header strip and its bottom line, the lamp's and the bar's outlines, the bar's
    // excluded right edge, then the lamp and the bar of a healthy default table.
    const std::tuple<int, int, COLORREF> header[] = {{5, 5, RGB(250, 250, 250)},
                                                     {5, 64, RGB(210, 210, 210)},
                                                     {23, 16, RGB(80, 80, 80)},
                                                     {346, 39, RGB(180, 180, 180)},
                                                     {486, 42, RGB(250, 250, 250)},
                                                     {23, 25, green},
                                                     {416, 42, green}};
    for (const auto& [x, y, colour] : header)
        EXPECT_EQ(pixelAt(window, x, y), colour) << x << ',' << y;
    EXPECT_EQ(windowText(child(serverButton)), L"Stop server");
    EXPECT_EQ(windowText(child(1201)), statusText(L"RUNNING", 0));

    clickButton(window, serverButton);
    EXPECT_EQ(windowText(child(serverButton)), L"Start server");
    EXPECT_EQ(windowText(child(1201)), statusText(L"STOPPED", 0));
    EXPECT_FALSE(IsWindowVisible(child(1201)));
    EXPECT_EQ(lamp(), red);
    EXPECT_EQ(healthBar(), green);

    clickButton(window, serverButton);
    EXPECT_EQ(windowText(child(serverButton)), L"Stop server");
    EXPECT_EQ(lamp(), green);
    EXPECT_EQ(logEvents(),
              (std::vector<std::wstring>{L" | monitoring auto-start", L" | monitoring stopped",
                                         L" | monitoring started"}));
}

TEST_F(MainWindow, HealthBarTurnsRedForUnprobedOrFailedTargetsInUse) {
    start();
    const struct {
        std::size_t slot;
        bool enabled;
        std::deque<std::uint8_t> results;
        COLORREF bar;
    } steps[] = {{5, true, {}, red},  // in use, not probed yet
                 {5, true, {0, 1}, green},
                 {12, true, {1, 1, 0}, red},  // one failed newest result
                 {12, false, {0}, green}};    // a disabled target does not count
    constexpr std::int64_t never = std::numeric_limits<std::int64_t>::max();  // not due
    for (const auto& step : steps) {
        const Target target{step.enabled, ProbeType::icmp, L"127.0.0.1", 0,
                            10,           step.results,    never};
        targetTable.lock().entries().at(step.slot) = target;
        PostMessageW(window, WM_APP_REFRESH, 0, 0);
        pumpMessagesFor(100ms);
        EXPECT_EQ(healthBar(), step.bar) << step.slot << ' ' << step.results.size();
    }
    EXPECT_EQ(lamp(), green);
}

TEST_F(MainWindow, StatusPanelCountsOnlyTargetsInUse) {
    std::vector<Target> targets(targetSlotCount);
    for (Target& target : targets) target.interval = 3600;  // one probe each is plenty
    targets[0].host = L"127.0.0.1";
    targets[4] = {true, ProbeType::tcp, L"127.0.0.1", 9, 3600, {}, 0};
    targets[6] = {false, ProbeType::icmp, L"127.0.0.2", 0, 3600, {}, 0};  // switched off
    ASSERT_TRUE(writeConfigFile(configFilePath(), targets));
    start();
    clickButton(window, statusButton);
    EXPECT_TRUE(IsWindowVisible(child(1201)));
    EXPECT_EQ(windowText(child(1201)), statusText(L"RUNNING", 2));
    EXPECT_NE(dataFolderPath().find(L"\\AppData\\Local\\Tarvex\\"), std::wstring::npos);
}

TEST_F(MainWindow, LogAndConfigButtonsOpenOneWindowEach) {
    start();
    for (const int button : {1004, 1004, 1002, 1002}) clickButton(window, button);
    EXPECT_EQ(countOwnWindows(L"Tarvex_LogWnd"), 1);
    EXPECT_EQ(countOwnWindows(L"Tarvex_ConfigWnd"), 1);

    // A hidden log window still receives new entries.
    HWND log = FindWindowW(L"Tarvex_LogWnd", nullptr);
    ASSERT_NE(log, nullptr);
    SendMessageW(log, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(log));
    clickButton(window, serverButton);
    const std::wstring shown = windowText(GetDlgItem(log, 3001));
    EXPECT_NE(shown.find(L" | monitoring stopped\r\n"), std::wstring::npos) << shown;
}

}  // namespace
