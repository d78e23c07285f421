// The windows driven from the keyboard alone, the keys going through the program's loop step.
#include "support/wine_gui.h"
#include "ui/dialog_keys.h"

namespace {

// Presses a key `count` times, Shift held or not; the id of the focused control after each.
std::vector<int> keys(UINT key, int count = 1, bool shift = false) {
    BYTE keys[256] = {};
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    std::vector<int> focused;
    while (count-- > 0) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
        for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
            dispatchUiMessage(message);
        focused.push_back(GetDlgCtrlID(GetFocus()));
    }
    return focused;
}

TEST(Keyboard, TabShiftTabSpaceEnterArrowsAndEscapeInEveryWindow) {
    removeDataFiles();
    const HWND window = startMainWindow();
    // The main window: the five buttons left to right and round again; Enter and Space press.
    keys(VK_RETURN);  // on "Stop server", which has the focus at first
    EXPECT_EQ(windowText(GetDlgItem(window, serverButtonId)), L"Start server");
    EXPECT_EQ(keys(VK_TAB, 5), std::vector<int>({configButtonId, monitorButtonId, logButtonId,
                                            statusButtonId, serverButtonId}));
    EXPECT_EQ(keys(VK_TAB, 3, true), std::vector<int>({statusButtonId, logButtonId, monitorButtonId}));
    keys(VK_SPACE);  // "Monitor"
    EXPECT_TRUE(IsWindowVisible(monitorViewWindow));
    keys(VK_TAB, 1, true);
    EXPECT_EQ(keys(VK_SPACE), std::vector<int>({hostEditBaseId}))
        << "the configuration window starts there";

    // The type list by arrow key: row 1 becomes tcp and its port field takes the focus too.
    EXPECT_EQ(keys(VK_TAB, 1, true), std::vector<int>({typeComboBaseId}));
    keys(VK_DOWN);
    EXPECT_EQ(windowText(rowTypeCombo[0]) + L" " + std::to_wstring(IsWindowEnabled(rowPortEdit[0])),
              L"tcp 1");
    // Row by row (an icmp row's port is disabled), the buttons, and round to row 1.
    std::wstring order;
    for (const int id : keys(VK_TAB, 85)) order += std::to_wstring(id) + L"\n";
    expectAsFile(order, "app/files/config-tab-order.txt");
    keys(VK_TAB, 1, true);
    keys(VK_SPACE);
    EXPECT_EQ(SendMessageW(rowEnableCheck[0], BM_GETCHECK, 0, 0), BST_UNCHECKED);
    keys(VK_TAB, 2);
    for (UINT digit : {'1', '2', '7'}) keys(digit);
    EXPECT_EQ(windowText(rowHostEdit[0]), L"127");
    keys(VK_ESCAPE);
    EXPECT_EQ(configWindow, nullptr);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), configButtonId) << "the main window's focus comes back";

    // The log window: the field, then its button, and Escape hides it; not so the main window.
    keys(VK_TAB, 2);
    EXPECT_EQ(keys(VK_SPACE), std::vector<int>({logEditId}));
    EXPECT_EQ(keys(VK_TAB, 2), std::vector<int>({deleteLogButtonId, logEditId}));
    keys(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(logWindow));
    keys(VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(window));
    closeMainWindow(window);
}

}  // namespace
