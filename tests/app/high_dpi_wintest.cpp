// At 144 DPI (the prefix's copy at 150 %): sizes 1.5 times, no text cut, DPI changes at run time.
// The three windows as they show are written in files/high-dpi.txt.
#include "support/wine_gui.h"
#include "ui/gdi.h"

namespace {

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
    EXPECT_EQ(cutTexts(window) + cutTexts(configWindow) + cutTexts(logWindow), L"");
    EXPECT_EQ(std::vector({iconSize(window, ICON_SMALL), iconSize(configWindow, ICON_BIG)}),
              std::vector({24, 48}));
    std::wstring seen = windowDump(window) + windowDump(configWindow) + windowDump(logWindow);
    // A change of DPI while running; Wine keeps its frame of 144 DPI (a caption of 28 px).
    for (const int dpi : {96, 144}) {
        RECT suggested{0, 0, 696 * dpi / 96, 810 * dpi / 96};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested));
        seen += L"at " + std::to_wstring(dpi) + L" DPI: " + windowDump(window);
    }
    expectAsFile(seen, "app/files/high-dpi.txt");
    closeMainWindow(window);
}

}  // namespace
