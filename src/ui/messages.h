#pragma once
// The main window's private messages: the first three posted (never sent) to it by other
// threads, the last one the shell's.

#include <windows.h>

// Results or the table changed: repaint the view and the header, rebuild the status panel.
constexpr UINT WM_APP_REFRESH = WM_APP + 1;
// lParam: a new[]-allocated, null-terminated copy of one log entry; the main window owns it
// once posted and frees it with delete[] in every case.
constexpr UINT WM_APP_LOGLINE = WM_APP + 2;
// lParam: a new-allocated OutageNotice (model/outage.h) of a target that went down, came back
// or became unstable; owned and deleted by the main window once posted, as a log entry is.
constexpr UINT WM_APP_OUTAGE = WM_APP + 3;
// The notification-area icon's callback: LOWORD(lParam) is what happened to the icon.
constexpr UINT WM_APP_NOTIFYICON = WM_APP + 4;
