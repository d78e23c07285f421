// At 144 DPI (the test prefix's copy at 150 %): every window, control, row and bar 1.5 times
// its size at 96 DPI, no text cut, and a change of DPI while running lays the main window out
// as a start at the new DPI does.
#include <gtest/gtest.h>

#include "app/monitoring.h"
#include "editor/config_window.h"
#include "log/log_window.h"
#include "model/target_table.h"
#include "support/wine_gui.h"
#include "ui/gdi.h"
#include "ui/messages.h"
#include "ui/ui_state.h"

namespace {

// The outer size, then every child as "id x,y,w,h font-height; ".
std::wstring layoutOf(HWND window) {
    std::wstring text = sizeText(window) + L": ";
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        LOGFONTW font{};
        GetObjectW(HFONT(SendMessageW(c, WM_GETFONT, 0, 0)), sizeof font, &font);
        text += std::to_wstring(GetDlgCtrlID(c)) + L" " + placeOf(c) + L" " +
                std::to_wstring(font.lfHeight) + L"; ";
    }
    return text;
}

// The controls whose texts (a list's items) do not fit their box in their own font.
std::wstring cutTexts(HWND window) {
    std::wstring cut;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t kind[16] = {}, item[32] = {};
        GetClassNameW(c, kind, 16);
        RECT box{};
        GetClientRect(c, &box);
        std::vector<std::wstring> texts{windowText(c)};
        if (kind == std::wstring(L"ComboBox")) {
            COMBOBOXINFO parts{};
            parts.cbSize = sizeof parts;
            GetComboBoxInfo(c, &parts);
            box = parts.rcItem;
            texts.clear();
            for (int i = 0; SendMessageW(c, CB_GETLBTEXT, i++, LPARAM(item)) > 0;)
                texts.push_back(item);
        }
        if (kind == std::wstring(L"Edit")) continue;  // the operator's text scrolls
        const HDC dc = GetDC(c);
        const SelectGuard font(dc, HFONT(SendMessageW(c, WM_GETFONT, 0, 0)));
        for (const std::wstring& text : texts) {
            RECT need = box;
            DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
            if (need.right > box.right || need.bottom > box.bottom)
                cut += text.substr(0, 20) + L" " + std::to_wstring(need.right) + L"x" +
                       std::to_wstring(need.bottom) + L" in " + std::to_wstring(box.right) + L"x" +
                       std::to_wstring(box.bottom) + L"; ";
        }
        ReleaseDC(c, dc);
    }
    return cut;
}

std::wstring iconSize(HWND window, WPARAM which) {
    ICONINFO parts{};
    GetIconInfo(HICON(SendMessageW(window, WM_GETICON, which, 0)), &parts);
    BITMAP colours{};
    GetObjectW(parts.hbmColor, sizeof colours, &colours);
    return std::to_wstring(colours.bmWidth) + L"x" + std::to_wstring(colours.bmHeight);
}

class HighDpi : public testing::Test {
protected:
    static void SetUpTestSuite() {
        removeDataFiles();
        window = startMainWindow();
        clickButton(window, 1001);  // monitoring off: only the test changes the table
        for (int button : {1003, 1005}) clickButton(window, button);
        std::vector<Target> table(targetSlotCount);
        table[0] = {true, ProbeType::tcp, L"127.0.0.1", 8080, 10, {}, 0};
        table[0].history.assign(145, 1);
        targetTable.lock().entries() = table;
        SendMessageW(window, WM_APP_REFRESH, 0, 0);
    }
    static HWND window;
};
HWND HighDpi::window = nullptr;

TEST_F(HighDpi, EverySizeIsOneAndAHalfTimesAndNoTextIsCut) {
    const HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 144) << "run in the prefix at 144 DPI";
    // The lamps stay round (27 and 18 pixels), 145 results take 3 pixels each, x 540 to 975.
    const std::tuple<HWND, int, int, COLORREF> pixels[] = {
        {window, 21, 37, 0x505050},
        {window, 34, 37, RGB(220, 0, 0)},
        {window, 47, 37, 0x505050},
        {window, 34, 50, 0x505050},
        {window, 624, 63, RGB(0, 170, 0)},
        {monitorViewWindow, 27, 32, RGB(0, 170, 0)},
        {monitorViewWindow, 540, 27, RGB(0, 170, 0)},
        {monitorViewWindow, 974, 27, RGB(0, 170, 0)},
        {monitorViewWindow, 975, 27, 0xFFFFFF}};
    for (const auto& [shown, x, y, colour] : pixels)
        EXPECT_TRUE(pumpUntil([&] { return pixelAt(shown, x, y) == colour; }, 2s)) << x << "," << y;
    for (int button : {1004, 1002}) clickButton(window, button);  // in front of the main window
    // Rows 2 to 19 of the grid repeat rows 1 and 20 at 39 pixels' pitch. Fonts: 15 points.
    const auto rows2To19 = [](std::wstring grid) {
        const std::size_t from = grid.find(L"1901 "), to = grid.find(L"1919 ");
        return grid.erase(from, to - from);
    };
    EXPECT_EQ(layoutOf(window),
              L"1044x1215: 1001 69,9,210,48 -20; 1002 294,9,210,48 -20; 1003 519,9,210,48 -20; "
              L"1004 747,9,123,48 -20; 1005 876,9,123,48 -20; 1200 15,105,1008,836 0; "
              L"1201 15,956,1008,210 -20; ");
    EXPECT_EQ(rows2To19(layoutOf(configWindow)),
              L"960x963: 0 15,15,45,27 -20; 0 68,15,90,27 -20; 0 188,15,240,27 -20; "
              L"0 593,15,150,27 -20; 0 758,15,180,27 -20; 1900 18,53,30,30 -20; "
              L"2000 68,48,105,32 -20; 2100 188,48,390,33 -20; 2200 593,48,135,33 -20; "
              L"2300 758,48,90,32 -20; 1919 18,794,30,30 -20; 2019 68,789,105,32 -20; "
              L"2119 188,789,390,33 -20; 2219 593,789,135,33 -20; 2319 758,789,90,32 -20; "
              L"2403 15,843,165,42 -20; 2404 195,843,165,42 -20; 2401 660,843,113,42 -20; "
              L"2402 788,843,112,42 -20; ");
    EXPECT_EQ(layoutOf(logWindow), L"1350x780: 3001 15,15,1310,659 -20; 3002 15,685,210,39 -20; ");
    EXPECT_EQ(cutTexts(window) + cutTexts(configWindow) + cutTexts(logWindow), L"");
    for (HWND each : {window, configWindow, logWindow})
        EXPECT_EQ(iconSize(each, ICON_SMALL) + L" " + iconSize(each, ICON_BIG), L"24x24 48x48");
}

// Wine keeps its frame of 144 DPI (a caption of 28 pixels) when the window moves to 96 DPI.
TEST_F(HighDpi, ChangeOfDpiLaysOutAsAStartAtThatDpi) {
    const std::wstring started = layoutOf(window);
    RECT outer{};
    GetWindowRect(window, &outer);
    const std::pair<int, std::wstring> changes[] = {
        {96,
         L"696x810: 1001 46,6,140,32 -13; 1002 196,6,140,32 -13; 1003 346,6,140,32 -13; "
         L"1004 498,6,82,32 -13; 1005 584,6,82,32 -13; 1200 10,70,670,546 0; "
         L"1201 10,626,670,140 -13; "},
        {144, started}};
    for (const auto& [dpi, layout] : changes) {
        RECT suggested{outer.left, outer.top, outer.left + 696 * dpi / 96,
                       outer.top + 810 * dpi / 96};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested));
        EXPECT_EQ(layoutOf(window), layout) << dpi;
    }
    closeMainWindow(window);
}

}  // namespace
