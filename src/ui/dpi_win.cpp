#include "ui/dpi.h"

#include <cstdint>
#include <map>

#include "ui/ui_state.h"

namespace {

// Where a top-level window keeps the DPI of its latest WM_DPICHANGED.
constexpr wchar_t dpiProperty[] = L"Tarvex.Dpi";
// Where a control with a fixed place keeps that place at 96 DPI, four 16-bit numbers.
constexpr wchar_t placeProperty[] = L"Tarvex.Place";
constexpr int smallIconSize = 16;  // caption, at 96 DPI
constexpr int largeIconSize = 32;  // task bar and Alt+Tab

// GetDpiForWindow exists from Windows 10 1607 on; the program also runs on Windows 7.
using DpiForWindow = UINT(WINAPI*)(HWND);
DpiForWindow dpiForWindow() {
    static const auto function = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return function;
}

HICON programIconAt(int size) {
    static std::map<int, HICON> icons;  // one per size, kept for the process
    HICON& icon = icons[size];
    if (!icon) {
        icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
    }
    return icon;
}

}  // namespace

int scaled(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), baseDpi); }

RECT scaledBox(const RECT& box, UINT dpi) {
    return RECT{scaled(box.left, dpi), scaled(box.top, dpi), scaled(box.right, dpi),
                scaled(box.bottom, dpi)};
}

RECT scaledSquare(int left, int top, int side, UINT dpi) {
    const int x = scaled(left, dpi);
    const int y = scaled(top, dpi);
    const int length = scaled(side, dpi);
    return RECT{x, y, x + length, y + length};
}

UINT screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : baseDpi;
}

UINT dpiOf(HWND window) {
    HWND top = GetAncestor(window, GA_ROOT);
    if (const auto stored = reinterpret_cast<UINT_PTR>(GetPropW(top, dpiProperty)))
        return static_cast<UINT>(stored);
    const UINT dpi = dpiForWindow() && top ? dpiForWindow()(top) : 0;
    return dpi ? dpi : screenDpi();
}

void setDpiOf(HWND window, UINT dpi) {
    SetPropW(window, dpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
}

void keepFixedPlace(HWND control, const RECT& box) {
    const LONG edges[] = {box.left, box.top, box.right, box.bottom};
    UINT_PTR packed = 0;
    for (const LONG edge : edges) packed = packed << 16 | static_cast<std::uint16_t>(edge);
    if (control) SetPropW(control, placeProperty, reinterpret_cast<HANDLE>(packed));
}

void placeFixedChildren(HWND window) {
    const UINT dpi = dpiOf(window);
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        auto packed = reinterpret_cast<UINT_PTR>(GetPropW(c, placeProperty));
        if (!packed) continue;
        LONG edges[4];
        for (int i = 3; i >= 0; --i, packed >>= 16) edges[i] = static_cast<std::int16_t>(packed);
        const RECT place = scaledBox(RECT{edges[0], edges[1], edges[2], edges[3]}, dpi);
        MoveWindow(c, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   TRUE);
    }
}

HFONT uiFontAt(UINT dpi) {
    static std::map<UINT, HFONT> fonts;  // one per DPI, kept for the process
    HFONT& font = fonts[dpi];
    if (!font) {
        LOGFONTW description{};
        description.lfHeight = -MulDiv(uiFontPoints, static_cast<int>(dpi), 72);
        description.lfWeight = FW_NORMAL;
        lstrcpynW(description.lfFaceName, uiFontFace, LF_FACESIZE);
        font = CreateFontIndirectW(&description);
    }
    return font;
}

void setProgramIcons(HWND window) {
    const UINT dpi = dpiOf(window);
    SendMessageW(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(programIconAt(scaled(smallIconSize, dpi))));
    SendMessageW(window, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(programIconAt(scaled(largeIconSize, dpi))));
}

void followDpiChange(HWND window, WPARAM wParam, LPARAM lParam) {
    setDpiOf(window, LOWORD(wParam));
    setProgramIcons(window);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        applyUiFont(child);
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT uiFontFor(UINT dpi) {
    if (!uiFont) return nullptr;
    return dpi == uiFontDpi ? uiFont : uiFontAt(dpi);
}

HWND applyUiFont(HWND control) {
    HFONT font = control ? uiFontFor(dpiOf(control)) : nullptr;
    if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return control;
}

ClientLayout clientLayoutOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom, dpiOf(window)};
}
