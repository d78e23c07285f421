#pragma once
// The process-wide window handles and the one UI font, all of the user-interface thread.
// mainWindow is set once, before the worker starts, and never cleared; other threads only
// read it to post messages.

#include <windows.h>

extern HWND mainWindow;
extern HWND monitorViewWindow;
extern HWND statusPanel;
extern HWND logWindow;     // set by the log window at its creation, never cleared
extern HWND logEdit;
extern HWND configWindow;  // set and cleared by the configuration window
extern HFONT uiFont;       // "Segoe UI", 10 points; lives as long as the main window

// Gives a standard control the UI font (when both exist).
void applyUiFont(HWND control);
