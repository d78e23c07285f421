#pragma once
// The monitor view: one row per target in use with its lamp, host, protocol and the most
// recent results as bars, painted double-buffered from the rows the main window last gave it.
// A Tab stop: the arrow keys, Home and End select a row, whose details show beside it; Ctrl+C
// copies them, Ctrl+Shift+C every row's as a table.

#include <windows.h>

#include <string>
#include <vector>

#include "view/view_rows.h"

constexpr wchar_t monitorViewClassName[] = L"Tarvex_MonitorView";

// Where the rows' details come from; `tableHeader` is the first line Ctrl+Shift+C copies.
void setRowDetailsSource(RowDetailsSource source, std::wstring tableHeader);
// Row `row`'s details now; empty texts for no such row or without a source.
RowDetailTexts monitorRowDetails(int row);

void registerMonitorViewClass();
// The rows the view shows from now on (user-interface thread only). When `view` is not null
// it is repainted, and listening screen readers are told which rows changed what they say.
void showMonitorViewRows(HWND view, std::vector<ViewRow> rows);
// Paints the whole view for a client area of `width` x `height` at `dpi` into `dc`, with a
// focus rectangle around row `focusedRow` unless it is negative.
void paintMonitorView(HDC dc, int width, int height, UINT dpi = 96, int focusedRow = -1);
// The rows shown, as last given to showMonitorViewRows.
const std::vector<ViewRow>& monitorViewRows();
// The row the keyboard selected (Up, Down, Home, End or a click), -1 while there is none. It
// is marked (a focus rectangle, a tooltip, the readers' focus) only while the view has the
// focus, so without it the view looks as if nothing were selected.
int selectedMonitorRow();
// Row `row`'s box in the view's client area at the view's DPI, the full width of the view.
RECT monitorRowBox(HWND view, std::size_t row);
// Tells listening screen readers which rows changed what they say since the last call.
void announceMonitorViewChanges(HWND view);
// WM_GETOBJECT: the view as a list with one item per row.
LRESULT answerMonitorViewObject(HWND view, WPARAM wParam, LPARAM lParam);
