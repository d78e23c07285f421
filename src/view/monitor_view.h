#pragma once
// The monitor view: one row per target in use with its lamp, host, protocol and the most
// recent results as bars, painted double-buffered from a copy taken under the table lock.

#include <windows.h>

void registerMonitorViewClass(HINSTANCE instance);
LRESULT CALLBACK monitorViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Paints the whole view for a client area of `width` x `height` into `dc`.
void paintMonitorView(HDC dc, int width, int height);
