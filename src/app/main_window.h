#pragma once
// The main window: header strip with the status lamp, five buttons and the health bar, and
// below it the monitor view and the status panel, each toggled by a button.

#include <windows.h>

#include <atomic>

constexpr int mainWindowWidth = 696;
// The health bar, one pixel below the "Monitor" button, at 96 DPI.
constexpr RECT healthBarBox{346, 39, 486, 45};

// The status lamp's box at `dpi`: x 14 to 32, y 16 to 34 at 96 DPI.
RECT statusLampAt(UINT dpi);

// The children's ids: the five buttons left to right, then the two panels.
enum MainWindowControlId : int {
    serverButtonId = 1001,
    configButtonId,
    monitorButtonId,
    logButtonId,
    statusButtonId,
    monitorViewId = 1200,
    statusPanelId,
};

extern HWND monitorViewWindow;  // the monitor view child, id 1200
extern HWND statusPanel;        // the status panel child, id 1201

// True from when a WM_APP_REFRESH is posted until the main window next reads the table, so
// that a burst of results costs one refresh: whoever posts sets it and posts only when it was
// false.
extern std::atomic<bool> refreshPosted;

void registerMainWindowClass();
// Creates the main window; its WM_CREATE loads config.xml and starts monitoring.
HWND createMainWindow(HINSTANCE instance);
