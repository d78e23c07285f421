#pragma once
// The configuration window: the 20 slots as a grid of rows, with Save, Close, Import and
// Export. Opened by the main window's "Config" button; at most one exists.

#include <windows.h>

extern HWND configWindow;  // the open configuration window; null while none is open

// Registers the class on first use; creates the window, or brings the open one forward.
void openConfigWindow();
