#pragma once
// The log window: monitor.log in a read-only text field, live new entries, and a button
// that empties the file. Created once, hidden on close, reloaded when opened again.

#include <windows.h>

enum LogWindowControlId : int { logEditId = 3001, deleteLogButtonId };

extern HWND logWindow;  // set when the log window is created, never cleared
extern HWND logEdit;    // its text field

// The "Log" button: registers the class on first use, creates the window or shows it,
// brings it to the front and reloads it from the file.
void openLogWindow();
// Appends one entry and its line end to the field while the log window exists.
void appendLineToLogView(const wchar_t* line);
