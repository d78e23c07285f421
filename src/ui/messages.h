#pragma once
// The two private messages, both posted (never sent) to the main window.

#include <windows.h>

// Results or the table changed: repaint the view and the header, rebuild the status panel.
constexpr UINT WM_APP_REFRESH = WM_APP + 1;
// lParam: a new[]-allocated, null-terminated copy of one log entry; the main window owns it
// once posted and frees it with delete[] in every case.
constexpr UINT WM_APP_LOGLINE = WM_APP + 2;
