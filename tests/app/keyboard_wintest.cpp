// The windows driven from the keyboard alone: each key's messages go through the program's own
// step of the message loop, as a user's keys do.
#include <gtest/gtest.h>

#include "editor/config_editor.h"
#include "editor/config_window.h"
#include "log/log_window.h"
#include "support/wine_gui.h"
#include "ui/dialog_keys.h"

namespace {

// A key pressed and released on the focused control, with or without Shift held; answers the
// id of the control that has the focus afterwards.
int press(UINT key, bool shift = false) {
    BYTE keys[256] = {};
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
        dispatchUiMessage(message);
    return GetDlgCtrlID(GetFocus());
}

std::vector<int> tabs(int count, bool shift = false) {
    std::vector<int> focused;
    while (count-- > 0) focused.push_back(press(VK_TAB, shift));
    return focused;
}

TEST(Keyboard, TabShiftTabSpaceEnterArrowsAndEscapeInEveryWindow) {
    removeDataFiles();
    const HWND window = startMainWindow();
    // The main window: the five buttons left to right and round again; Enter and Space press.
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 1001);
    EXPECT_EQ(tabs(5), std::vector({1002, 1003, 1004, 1005, 1001}));
    EXPECT_EQ(tabs(3, true), std::vector({1005, 1004, 1003}));
    press(VK_RETURN);  // "Monitor"
    EXPECT_TRUE(IsWindowVisible(monitorViewWindow));
    EXPECT_EQ(press(VK_TAB, true), 1002);
    EXPECT_EQ(press(VK_SPACE), 2100) << "the configuration window starts on row 1's host";

    // The type list by arrow key: row 1 becomes tcp and its port field takes the focus too.
    EXPECT_EQ(press(VK_TAB, true), 2000);
    press(VK_DOWN);
    EXPECT_EQ(windowText(rowTypeCombo[0]) + L" " + std::to_wstring(IsWindowEnabled(rowPortEdit[0])),
              L"tcp 1");
    std::vector<int> order{2100, 2200, 2300};  // row by row; an icmp row's port is disabled
    for (int row = 1; row < 20; ++row)
        for (int column : {1900, 2000, 2100, 2300}) order.push_back(column + row);
    order.insert(order.end(), {2403, 2404, 2401, 2402, 1900, 2000});
    EXPECT_EQ(tabs(static_cast<int>(order.size())), order);
    press(VK_TAB, true);
    press(VK_SPACE);
    EXPECT_EQ(SendMessageW(rowEnableCheck[0], BM_GETCHECK, 0, 0), BST_UNCHECKED);
    tabs(2);
    for (UINT digit : {'1', '2', '7'}) press(digit);
    EXPECT_EQ(windowText(rowHostEdit[0]), L"127");
    press(VK_ESCAPE);
    EXPECT_EQ(configWindow, nullptr);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 1002) << "the main window's focus comes back";

    // The log window: the field, then its button, and Escape hides it; not so the main window.
    tabs(2);
    EXPECT_EQ(press(VK_SPACE), 3001);
    EXPECT_EQ(tabs(2), std::vector({3002, 3001}));
    press(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(logWindow));
    press(VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(window));
    closeMainWindow(window);
}

}  // namespace
