#pragma once
// The log window: monitor.log in a read-only text field, live new entries, and a button
// that empties the file. Created once, hidden on close, reloaded when opened again.

#include <windows.h>

// The "Log" button: registers the class on first use, creates the window or shows it,
// brings it to the front and reloads it from the file.
void openLogWindow();
// Replaces the field's text with the newest part of monitor.log and scrolls to the end.
void reloadLogView(HWND edit);
// Appends one entry and its line end to the field while the log window exists.
void appendLineToLogView(const wchar_t* line);
