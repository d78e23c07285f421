#pragma once
// The process-wide window handles and the one UI font, all of the user-interface thread.
// mainWindow is set once, before the worker starts, and never cleared; other threads only
// read it to post messages.

#include <windows.h>

extern HWND mainWindow;
extern HWND monitorViewWindow;
extern HWND statusPanel;
extern HWND logWindow;  // set by the log window at its creation, never cleared
extern HWND logEdit;
extern HWND configWindow;  // set and cleared by the configuration window
extern HFONT uiFont;       // "Segoe UI", 10 points at the main window's DPI
extern UINT uiFontDpi;     // the DPI uiFont is made for

// The UI font for a window at `dpi`: uiFont at its DPI, the same font's other sizes at other
// DPIs; null while there is no uiFont.
HFONT uiFontFor(UINT dpi);
// Gives a standard control the UI font at its window's DPI (when both exist).
void applyUiFont(HWND control);
