// At 144 DPI (the prefix's copy at 150 %): sizes 1.5 times, no text cut, DPI changes at run time.
#include <gtest/gtest.h>

#include "editor/config_window.h"
#include "log/log_window.h"
#include "model/target_table.h"
#include "support/wine_gui.h"
#include "ui/gdi.h"
#include "ui/messages.h"

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

// The controls' texts (and a list's items) that do not fit the control's box in its font.
std::wstring cutTexts(HWND window) {
    static const HDC dc = CreateCompatibleDC(nullptr);
    std::wstring cut;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        COMBOBOXINFO parts{};
        parts.cbSize = sizeof parts;
        if (!GetComboBoxInfo(c, &parts)) GetClientRect(c, &parts.rcItem);
        const SelectGuard font(dc, HFONT(SendMessageW(c, WM_GETFONT, 0, 0)));
        std::vector<std::wstring> texts{windowText(c)};
        wchar_t item[64];
        for (int i = 0; SendMessageW(c, CB_GETLBTEXT, i++, LPARAM(item)) > 0;)
            texts.push_back(item);
        for (const std::wstring& text : texts) {
            RECT need = parts.rcItem;
            DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
            if (need.right > parts.rcItem.right || need.bottom > parts.rcItem.bottom)
                cut += text + L"; ";
        }
    }
    return cut;
}

int iconSize(HWND window, WPARAM which) {
    ICONINFO parts{};
    GetIconInfo(HICON(SendMessageW(window, WM_GETICON, which, 0)), &parts);
    BITMAP colours{};
    return GetObjectW(parts.hbmColor, sizeof colours, &colours) ? colours.bmWidth : 0;
}

TEST(HighDpi, SizesTextsPixelsIconsAndAChangeOfDpi) {
    ASSERT_EQ(GetDeviceCaps(GetDC(nullptr), LOGPIXELSY), 144) << "run in the prefix at 144 DPI";
    removeDataFiles();
    const HWND window = startMainWindow();
    for (int button : {serverButtonId, monitorButtonId, statusButtonId})
        clickButton(window, button);  // off; both panels
    std::vector<Target> table(targetSlotCount);
    table[0] = {.type = ProbeType::tcp,
                .host = L"127.0.0.1",
                .port = 8080,
                .history = std::deque<std::uint8_t>(145, 1)};
    targetTable.lock().entries() = table;
    SendMessageW(window, WM_APP_REFRESH, 0, 0);
    // The lamps stay round (27 and 18 pixels), 145 results take 3 pixels each, x 540 to 975.
    // clang-format off
    const std::tuple<HWND, int, int, COLORREF> pixels[] = {{window, 21, 37, 0x505050},
        {window, 34, 37, RGB(220, 0, 0)}, {window, 47, 37, 0x505050}, {window, 34, 50, 0x505050},
        {window, 624, 63, RGB(0, 170, 0)}, {monitorViewWindow, 27, 32, RGB(0, 170, 0)},
        {monitorViewWindow, 540, 27, RGB(0, 170, 0)}, {monitorViewWindow, 974, 27, RGB(0, 170, 0)},
        {monitorViewWindow, 975, 27, 0xFFFFFF}};
    // clang-format on
    for (const auto& [shown, x, y, colour] : pixels)
        EXPECT_TRUE(pumpUntil([&] { return pixelAt(shown, x, y) == colour; }, 2s)) << x << "," << y;
    for (int button : {logButtonId, configButtonId})
        clickButton(window, button);  // in front of the main window
    const std::wstring at144 =
        L"1044x1215: 1001 69,9,210,48 -20; 1002 294,9,210,48 -20; 1003 519,9,210,48 -20; "
        L"1004 747,9,123,48 -20; 1005 876,9,123,48 -20; 1200 15,105,1008,836 0; "
        L"1201 15,956,1008,210 -20; ";
    EXPECT_EQ(layoutOf(window), at144);
    std::wstring grid = sizeText(configWindow);  // rows 1 and 20, and "Close"
    for (int id : {2100, 2200, 2300, 1919, 2019, 2402})
        grid += L" " + placeOf(GetDlgItem(configWindow, id));
    EXPECT_EQ(grid,
              L"960x963 188,48,390,33 593,48,135,33 758,48,90,32 18,794,30,30 "
              L"68,789,105,32 788,843,112,42");
    EXPECT_EQ(layoutOf(logWindow), L"1350x780: 3001 15,15,1310,659 -20; 3002 15,685,210,39 -20; ");
    EXPECT_EQ(cutTexts(window) + cutTexts(configWindow) + cutTexts(logWindow), L"");
    EXPECT_EQ(std::vector({iconSize(window, ICON_SMALL), iconSize(configWindow, ICON_BIG)}),
              std::vector({24, 48}));

    // A change of DPI while running; Wine keeps its frame of 144 DPI (a caption of 28 px).
    const std::pair<int, std::wstring> changes[] = {
        {96,
         L"696x810: 1001 46,6,140,32 -13; 1002 196,6,140,32 -13; 1003 346,6,140,32 -13; "
         L"1004 498,6,82,32 -13; 1005 584,6,82,32 -13; 1200 10,70,670,546 0; "
         L"1201 10,626,670,140 -13; "},
        {144, at144}};
    for (const auto& [dpi, layout] : changes) {
        RECT suggested{0, 0, 696 * dpi / 96, 810 * dpi / 96};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested));
        EXPECT_EQ(layoutOf(window), layout) << dpi;
    }
    closeMainWindow(window);
}

}  // namespace
