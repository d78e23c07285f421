#pragma once
// Every size, position, pen and font of the windows is written for 96 DPI and scaled to the
// window's DPI where it is used, by scaled() below; at 96 DPI nothing changes.

#include <windows.h>

constexpr UINT baseDpi = USER_DEFAULT_SCREEN_DPI;

// `pixels` at 96 DPI, at `dpi`, rounded to the nearest pixel (halves away from zero).
int scaled(int pixels, UINT dpi);
// A window's client area and DPI, for laying out its children: px() scales a 96-DPI size.
struct ClientLayout {
    int width;
    int height;
    UINT dpi;
    int px(int pixels) const { return scaled(pixels, dpi); }
};
ClientLayout clientLayoutOf(HWND window);
// A box scaled edge by edge: boxes that touch at 96 DPI still touch, and none overlap.
RECT scaledBox(const RECT& box, UINT dpi);
// A square (a lamp): its corner and its side scaled, so that it stays round.
RECT scaledSquare(int left, int top, int side, UINT dpi);

// The DPI a window is laid out for: its top-level window's latest WM_DPICHANGED, else what
// Windows says (GetDpiForWindow where it exists, else the screen's DPI).
UINT dpiOf(HWND window);
// For WM_DPICHANGED: records the new DPI of a top-level window.
void setDpiOf(HWND window, UINT dpi);
// The screen's DPI, for the size of a window that does not exist yet.
UINT screenDpi();

// A control with a fixed place in its window, `box` at 96 DPI, is put there at the window's
// new DPI by placeFixedChildren.
void keepFixedPlace(HWND control, const RECT& box);
void placeFixedChildren(HWND window);

constexpr wchar_t uiFontFace[] = L"Segoe UI";
constexpr int uiFontPoints = 10;
// The UI font, uiFontFace at uiFontPoints, for `dpi`: made once per DPI, kept for the process.
HFONT uiFontAt(UINT dpi);
// The UI font for a window at `dpi`: uiFont at its DPI, the same font's other sizes at other
// DPIs; null while there is no uiFont.
HFONT uiFontFor(UINT dpi);
// Gives a standard control the UI font at its window's DPI (when both exist) and returns the
// control.
HWND applyUiFont(HWND control);
// The program's icon (the green lamp) in the caption and the task bar, at the window's DPI.
void setProgramIcons(HWND window);
// WM_DPICHANGED of a top-level window: records the DPI, gives the icons and every control
// the new size of icon and font, and takes the rectangle Windows suggests (its WM_SIZE then
// lays the window out). The window's own layout that does not follow WM_SIZE is the caller's.
void followDpiChange(HWND window, WPARAM wParam, LPARAM lParam);
