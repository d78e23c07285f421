#include <tuple>

#include "editor/editor_fixture.h"

namespace {

using ConfigWindowTest = EditorTest;

// x, y, width and height in the configuration window's client area.
std::vector<LONG> placeOf(int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(configWindow, id), &rect);
    MapWindowPoints(nullptr, configWindow, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

std::wstring listItems(int id) {
    std::wstring items;
    const HWND list = GetDlgItem(configWindow, id);
    for (LRESULT i = 0; i < SendMessageW(list, CB_GETCOUNT, 0, 0); ++i) {
        wchar_t item[32] = {};
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        items += item + std::wstring(L",");
    }
    return items;
}

}  // namespace

TEST_F(ConfigWindowTest, BuildsTheGridWithItsSizeTextsListsAndFont) {
    EXPECT_EQ(windowText(configWindow), L"Config");
    EXPECT_EQ(outerSize(configWindow).cx, 640);
    EXPECT_EQ(outerSize(configWindow).cy, 642);
    EXPECT_EQ(GetWindow(configWindow, GW_OWNER), mainWindow);
    EXPECT_EQ(GetWindowLongW(configWindow, GWL_STYLE) & 0x00CF0000, 0x00CA0000);
    EXPECT_TRUE(GetWindowLongW(configWindow, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    for (const wchar_t* label :
         {L"On", L"Type", L"IP / Hostname", L"Port (TCP)", L"Interval (sec)"}) {
        EXPECT_NE(FindWindowExW(configWindow, nullptr, L"Static", label), nullptr) << label;
    }
    const std::tuple<int, const wchar_t*, std::vector<LONG>> controls[] = {
        {importButtonId, L"Import...", {10, 562, 110, 28}},
        {exportButtonId, L"Export...", {130, 562, 110, 28}},
        {saveButtonId, L"Save", {440, 562, 75, 28}},
        {closeButtonId, L"Close", {525, 562, 75, 28}},
        {enableCheckBaseId + 1, L"", {12, 61, 20, 20}},
        {hostEditBaseId + 19, L"", {125, 526, 260, 22}},
        {portEditBaseId + 19, L"", {395, 526, 90, 22}}};
    for (const auto& [id, label, place] : controls) {
        EXPECT_EQ(text(id), label);
        EXPECT_EQ(placeOf(id), place) << id;
    }
    for (int index = 0; index < configRowCount; ++index) {
        EXPECT_EQ(listItems(typeComboBaseId + index), L"icmp,tcp,");
        EXPECT_EQ(listItems(intervalComboBaseId + index), L"2,5,10,30,60,120,");
        EXPECT_NE(control(portEditBaseId + index), nullptr);
    }
    int children = 0;
    for (HWND child = GetWindow(configWindow, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT), ++children) {
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), uiFont);
    }
    EXPECT_EQ(children, 5 + 5 * configRowCount + 4);
}

// Slot 0 holds a hand-edited interval 7 and slot 1 an icmp target's stored port 80.
TEST_F(ConfigWindowTest, ShowsTheTableInTheRowsAndTheTypeRulesThePortField) {
    EXPECT_EQ(row(0), L"off tcp 127.0.0.1 [0] 10");
    EXPECT_EQ(row(1), L"off icmp localhost - 30");
    EXPECT_EQ(row(2), L"on tcp 127.0.0.2 [8080] 120");
    EXPECT_EQ(row(19), L"on icmp  - 10");
    selectType(2, false);
    EXPECT_EQ(row(2), L"on icmp 127.0.0.2 - 120");
    selectType(2, true);
    EXPECT_EQ(row(2), L"on tcp 127.0.0.2 [] 120");
}

TEST_F(ConfigWindowTest, SaveWithoutEditsResetsEveryTargetWritesLogsAndRefreshes) {
    for (std::size_t index = 0; index < targetSlotCount; ++index) {
        targetTable.recordResult(index, 1, 5);
    }
    SetWindowTextW(control(hostEditBaseId + 3), L"  127.0.0.3 \t");
    click(saveButtonId);

    const std::vector<Target> table = targetTable.snapshot();
    EXPECT_TRUE(allResetTogether(table));
    // 7 was shown as "10" and is stored so; an icmp row has no port; the host is trimmed.
    EXPECT_EQ(describe(table[0]), L"off tcp 127.0.0.1:0/10");
    EXPECT_EQ(describe(table[1]), L"off icmp localhost:0/30");
    EXPECT_EQ(describe(table[2]), L"on tcp 127.0.0.2:8080/120");
    EXPECT_EQ(describe(table[3]), L"on icmp 127.0.0.3:0/10");
    EXPECT_EQ(text(hostEditBaseId + 3), L"  127.0.0.3 \t");
    EXPECT_EQ(readTextFile(configFilePath()), configDocumentText(table));
    EXPECT_EQ(loggedEvents, std::vector<std::wstring>{L" | config saved"});
    EXPECT_EQ(takeRefreshes(), 1);
    EXPECT_TRUE(prompts.empty());
    EXPECT_TRUE(IsWindow(configWindow));
}

// The window shares one white brush for its controls' backgrounds with every later opening.
TEST_F(ConfigWindowTest, OpensOnceClosesWithoutSavingAndReusesItsBrush) {
    const HWND first = configWindow;
    openConfigWindow();
    EXPECT_EQ(configWindow, first);
    EXPECT_EQ(countOwnWindows(L"Tarvex_ConfigWnd"), 1);
    const auto colours = [](UINT message) {
        const HDC dc = GetDC(configWindow);
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(configWindow, message, reinterpret_cast<WPARAM>(dc), 0));
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
        ReleaseDC(configWindow, dc);
        return brush;
    };
    const HBRUSH brush = colours(WM_CTLCOLOREDIT);
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
    EXPECT_EQ(row(0), L"on icmp 127.0.0.9 - 10");
    EXPECT_EQ(colours(WM_CTLCOLORSTATIC), brush);
    EXPECT_TRUE(loggedEvents.empty());
    EXPECT_FALSE(pathExists(configFilePath()));
}
