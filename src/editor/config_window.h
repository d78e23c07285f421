#pragma once
// The configuration window: the 20 slots as a grid of rows, with Save, Close, Import and
// Export. Opened by the main window's "Config" button; at most one exists.

#include <windows.h>

// Registers the class on first use; creates the window, or brings the open one forward.
void openConfigWindow();
