#pragma once
// The main window's header for screen readers: the status lamp ("Monitoring": "running" or
// "stopped") and the health bar ("Health") as the first two children of the window's client
// object, before its buttons and panels.

#include <windows.h>

// WM_GETOBJECT of the main window.
LRESULT answerHeaderObject(HWND window, WPARAM wParam, LPARAM lParam);
// Tells listening screen readers when the lamp or the bar says something new.
void announceHeaderChanges(HWND window);
