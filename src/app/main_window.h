#pragma once
// The main window: header strip with the status lamp, five buttons and the health bar, and
// below it the monitor view and the status panel, each toggled by a button.

#include <windows.h>

constexpr int mainWindowWidth = 696;

constexpr int serverButtonId = 1001;
constexpr int configButtonId = 1002;
constexpr int monitorButtonId = 1003;
constexpr int logButtonId = 1004;
constexpr int statusButtonId = 1005;
constexpr int monitorViewId = 1200;
constexpr int statusPanelId = 1201;

extern HWND monitorViewWindow;  // the monitor view child, id 1200
extern HWND statusPanel;        // the status panel child, id 1201

void registerMainWindowClass();
// Creates the main window; its WM_CREATE loads config.xml and starts monitoring.
HWND createMainWindow(HINSTANCE instance);
