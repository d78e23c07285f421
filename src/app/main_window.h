#pragma once
// The main window: header strip with the status lamp, five buttons and the health bar, and
// below it the monitor view and the status panel, each toggled by a button.

#include <windows.h>

constexpr int mainWindowWidth = 696;

void registerMainWindowClass(HINSTANCE instance);
// Creates the main window; its WM_CREATE loads config.xml and starts monitoring.
HWND createMainWindow(HINSTANCE instance);
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void layoutMainWindow(HWND window);
