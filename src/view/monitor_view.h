#pragma once
// The monitor view: one row per target in use with its lamp, host, protocol and the most
// recent results as bars, painted double-buffered from a copy taken under the table lock.

#include <windows.h>

constexpr wchar_t monitorViewClassName[] = L"Tarvex_MonitorView";

void registerMonitorViewClass();
// Paints the whole view for a client area of `width` x `height` at `dpi` into `dc`.
void paintMonitorView(HDC dc, int width, int height, UINT dpi = 96);
// Tells listening screen readers which rows changed what they say since the last call.
void announceMonitorViewChanges(HWND view);
// WM_GETOBJECT: the view as a list with one item per row.
LRESULT answerMonitorViewObject(HWND view, WPARAM wParam, LPARAM lParam);
