#include "editor/editor_fixture.h"

namespace {

using ConfigWindowTest = EditorTest;

// x, y, width and height in the configuration window's client area.
std::vector<LONG> placeOf(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, configWindow, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

std::vector<std::wstring> listItems(HWND list) {
    std::vector<std::wstring> items;
    const auto count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t item[32] = {};
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items.emplace_back(item);
    }
    return items;
}

bool isChecked(int row) {
    return SendMessageW(GetDlgItem(configWindow, enableCheckBaseId + row), BM_GETCHECK, 0, 0) ==
           BST_CHECKED;
}

}  // namespace

TEST_F(ConfigWindowTest, BuildsTheGridWithItsSizeIdsTextsAndFont) {
    EXPECT_EQ(windowText(configWindow), L"Config");
    const SIZE outer = outerSize(configWindow);
    EXPECT_EQ(outer.cx, 640);
    EXPECT_EQ(outer.cy, 642);
    RECT client{};
    GetClientRect(configWindow, &client);
    EXPECT_GE(client.right, 600);  // the grid fits without being cut
    EXPECT_GE(client.bottom, 590);
    EXPECT_EQ(GetWindow(configWindow, GW_OWNER), mainWindow);
    EXPECT_EQ(GetWindowLongW(configWindow, GWL_STYLE) & 0x00CF0000, 0x00CA0000);
    EXPECT_TRUE(GetWindowLongW(configWindow, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

    for (const wchar_t* label :
         {L"On", L"Type", L"IP / Hostname", L"Port (TCP)", L"Interval (sec)"}) {
        EXPECT_NE(FindWindowExW(configWindow, nullptr, L"Static", label), nullptr) << label;
    }
    const struct {
        int id;
        const wchar_t* text;
        std::vector<LONG> place;
    } buttons[] = {{importButtonId, L"Import...", {10, 562, 110, 28}},
                   {exportButtonId, L"Export...", {130, 562, 110, 28}},
                   {saveButtonId, L"Save", {440, 562, 75, 28}},
                   {closeButtonId, L"Close", {525, 562, 75, 28}}};
    for (const auto& button : buttons) {
        EXPECT_EQ(text(button.id), button.text);
        EXPECT_EQ(placeOf(control(button.id)), button.place) << button.id;
    }
    EXPECT_EQ(placeOf(control(enableCheckBaseId + 1)), (std::vector<LONG>{12, 61, 20, 20}));
    EXPECT_EQ(placeOf(control(hostEditBaseId + 19)), (std::vector<LONG>{125, 526, 260, 22}));
    EXPECT_EQ(placeOf(control(portEditBaseId + 19)), (std::vector<LONG>{395, 526, 90, 22}));

    for (int row = 0; row < configRowCount; ++row) {
        EXPECT_EQ(listItems(control(typeComboBaseId + row)),
                  (std::vector<std::wstring>{L"icmp", L"tcp"}));
        EXPECT_EQ(listItems(control(intervalComboBaseId + row)),
                  (std::vector<std::wstring>{L"2", L"5", L"10", L"30", L"60", L"120"}));
        EXPECT_NE(control(portEditBaseId + row), nullptr);
    }

    int children = 0;
    for (HWND child = GetWindow(configWindow, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ++children;
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), uiFont);
    }
    EXPECT_EQ(children, 5 + 5 * configRowCount + 4);
}

TEST_F(ConfigWindowTest, ShowsTheTableInTheRows) {
    // Slot 0: disabled tcp with port 0 and the hand-edited interval 7.
    EXPECT_FALSE(isChecked(0));
    EXPECT_EQ(text(typeComboBaseId), L"tcp");
    EXPECT_EQ(text(hostEditBaseId), L"127.0.0.1");
    EXPECT_EQ(text(portEditBaseId), L"0");
    EXPECT_TRUE(IsWindowEnabled(control(portEditBaseId)));
    EXPECT_EQ(text(intervalComboBaseId), L"10");
    // Slot 1: disabled icmp; its stored port 80 is not shown.
    EXPECT_FALSE(isChecked(1));
    EXPECT_EQ(text(typeComboBaseId + 1), L"icmp");
    EXPECT_EQ(text(portEditBaseId + 1), L"");
    EXPECT_FALSE(IsWindowEnabled(control(portEditBaseId + 1)));
    EXPECT_EQ(text(intervalComboBaseId + 1), L"30");
    EXPECT_EQ(text(portEditBaseId + 2), L"8080");
    EXPECT_EQ(text(intervalComboBaseId + 2), L"120");
    // A fresh slot.
    EXPECT_TRUE(isChecked(19));
    EXPECT_EQ(text(typeComboBaseId + 19), L"icmp");
    EXPECT_EQ(text(hostEditBaseId + 19), L"");
    EXPECT_FALSE(IsWindowEnabled(control(portEditBaseId + 19)));
    EXPECT_EQ(text(intervalComboBaseId + 19), L"10");
}

TEST_F(ConfigWindowTest, SwitchingTheTypeEmptiesAndDisablesThePort) {
    selectType(2, false);
    EXPECT_EQ(text(portEditBaseId + 2), L"");
    EXPECT_FALSE(IsWindowEnabled(control(portEditBaseId + 2)));
    selectType(2, true);
    EXPECT_TRUE(IsWindowEnabled(control(portEditBaseId + 2)));
    EXPECT_EQ(text(portEditBaseId + 2), L"");
}

TEST_F(ConfigWindowTest, SaveWithoutEditsResetsEveryTargetWritesLogsAndRefreshes) {
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) targetTable.recordResult(slot, 1, 5);
    SetWindowTextW(control(hostEditBaseId + 3), L"  127.0.0.3 \t");

    click(saveButtonId);

    const std::vector<Target> table = targetTable.snapshot();
    ASSERT_EQ(table.size(), targetSlotCount);
    for (const Target& target : table) {
        EXPECT_TRUE(target.history.empty());
        EXPECT_EQ(target.nextDue, table[0].nextDue);
    }
    EXPECT_GT(table[0].nextDue, 5);
    EXPECT_EQ(table[0].interval, 10);  // 7 was shown as "10" and is stored so
    EXPECT_EQ(table[0].port, 0);
    EXPECT_EQ(table[1].host, L"localhost");
    EXPECT_EQ(table[1].port, 0);  // an icmp row has no port
    EXPECT_EQ(table[2].port, 8080);
    EXPECT_EQ(table[3].host, L"127.0.0.3");
    EXPECT_EQ(text(hostEditBaseId + 3), L"  127.0.0.3 \t");

    EXPECT_EQ(readBytes(configFilePath()), documentBytes(table));
    ASSERT_EQ(loggedLines.size(), 1u);
    EXPECT_EQ(loggedLines[0].size(), 19 + std::wstring(L" | config saved").size());
    EXPECT_TRUE(loggedLines[0].ends_with(L" | config saved"));
    EXPECT_EQ(takeRefreshes(), 1);
    EXPECT_TRUE(prompts.empty());
    EXPECT_TRUE(IsWindow(configWindow));
}

TEST_F(ConfigWindowTest, OpensOnceClosesWithoutSavingAndReusesItsBrush) {
    HWND first = configWindow;
    openConfigWindow();
    EXPECT_EQ(configWindow, first);
    EXPECT_EQ(countOwnWindows(L"Tarvex_ConfigWnd"), 1);

    HDC dc = GetDC(first);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(first, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), 0));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    ReleaseDC(first, dc);
    LOGBRUSH colour{};
    ASSERT_TRUE(GetObjectW(brush, sizeof colour, &colour));
    EXPECT_EQ(colour.lbColor, RGB(255, 255, 255));

    SetWindowTextW(control(hostEditBaseId), L"unsaved");
    click(closeButtonId);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(configWindow, nullptr);

    std::vector<Target> table(targetSlotCount);
    table[0].host = L"127.0.0.9";
    targetTable.lock().replaceAll(table, 1);
    openConfigWindow();
    ASSERT_NE(configWindow, nullptr);
    EXPECT_EQ(text(hostEditBaseId), L"127.0.0.9");
    EXPECT_EQ(text(typeComboBaseId), L"icmp");
    dc = GetDC(configWindow);
    EXPECT_EQ(SendMessageW(configWindow, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), 0),
              reinterpret_cast<LRESULT>(brush));
    ReleaseDC(configWindow, dc);
    EXPECT_TRUE(loggedLines.empty());
    EXPECT_FALSE(pathExists(configFilePath()));
}
