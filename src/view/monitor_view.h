#pragma once
// The monitor view: one row per target in use with its lamp, host, protocol and the most
// recent results as bars, painted double-buffered from the rows the main window last gave it.

#include <windows.h>

#include <vector>

#include "view/view_rows.h"

constexpr wchar_t monitorViewClassName[] = L"Tarvex_MonitorView";

void registerMonitorViewClass();
// The rows the view shows from now on (user-interface thread only). When `view` is not null
// it is repainted, and listening screen readers are told which rows changed what they say.
void showMonitorViewRows(HWND view, std::vector<ViewRow> rows);
// Paints the whole view for a client area of `width` x `height` at `dpi` into `dc`.
void paintMonitorView(HDC dc, int width, int height, UINT dpi = 96);
// The rows shown, as last given to showMonitorViewRows.
const std::vector<ViewRow>& monitorViewRows();
// Tells listening screen readers which rows changed what they say since the last call.
void announceMonitorViewChanges(HWND view);
// WM_GETOBJECT: the view as a list with one item per row.
LRESULT answerMonitorViewObject(HWND view, WPARAM wParam, LPARAM lParam);
