#pragma once
// The main window's side of the alerts: the notification-area icon that follows what the
// window shows, the balloons gathered from the worker's outage notices, the icon's menu, and
// the flashing taskbar button.

#include <windows.h>

// WM_CREATE, once the table is shown: the icon is added.
void startAlerts(HWND window);
// Each time the window shows the table, and at each stop or start: the icon's lamp and tip.
void showAlertState();
// WM_APP_OUTAGE: lParam is the posted notice, freed here.
LRESULT onOutage(HWND window, LPARAM lParam);
// WM_TIMER: shows the gathered balloon once it is due.
LRESULT onAlertTimer(HWND window, WPARAM timer);
// WM_APP_NOTIFYICON: a click or a key on the icon, or its menu.
LRESULT onNotifyIcon(HWND window, WPARAM wParam, LPARAM lParam);
// True for the registered "TaskbarCreated" message, on which the icon is added again.
bool onTaskbarCreated(UINT message);
// WM_DESTROY: the icon goes. Also when the window could not be created after its WM_CREATE
// (`window` null then).
void stopAlerts(HWND window);
