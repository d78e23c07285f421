#pragma once
// The main window: header strip with the status lamp, five buttons and the health bar, and
// below it the monitor view and the status panel, each toggled by a button.

#include <windows.h>

constexpr int mainWindowWidth = 696;
// The health bar, one pixel below the "Monitor" button, at 96 DPI.
constexpr RECT healthBarBox{346, 39, 486, 45};

// The status lamp's box at `dpi`: x 14 to 32, y 16 to 34 at 96 DPI.
RECT statusLampAt(UINT dpi);

void registerMainWindowClass(HINSTANCE instance);
// Creates the main window; its WM_CREATE loads config.xml and starts monitoring.
HWND createMainWindow(HINSTANCE instance);
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void layoutMainWindow(HWND window);
