#pragma once
// The handles every window of the program relies on, both of the user-interface thread.
// mainWindow is set once, before the worker starts, and never cleared; other threads only
// read it to post messages. The handles of the other windows belong to the modules that
// create them (app/main_window.h, log/log_window.h, editor/config_window.h).

#include <windows.h>

extern HWND mainWindow;
extern HFONT uiFont;    // "Segoe UI", 10 points at the main window's DPI
extern UINT uiFontDpi;  // the DPI uiFont is made for
// The UI font at other DPIs and its hand-over to controls: ui/dpi.h.
