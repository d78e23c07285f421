#pragma once
// The monitor view: one row per target in use with its lamp, host, protocol and the most
// recent results as bars, painted double-buffered from a copy taken under the table lock.

#include <windows.h>

constexpr wchar_t monitorViewClassName[] = L"Tarvex_MonitorView";

void registerMonitorViewClass();
// Paints the whole view for a client area of `width` x `height` into `dc`.
void paintMonitorView(HDC dc, int width, int height);
