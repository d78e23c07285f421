#pragma once
// The monitor view's paint, with the drawing of the result bars passed in: the product
// draws runs of equal results, and the benchmark puts other ways of drawing the bars beside
// it on the same rows, background, lamps and texts.

#include <windows.h>

#include "ui/status_colors.h"
#include "view/view_rows.h"

// Draws the bars of one row whose top is `rowTop`.
using BarPainter = void (*)(HDC dc, const ViewRow& row, int rowTop);

// Bars `first` to `end` - 1 of a row of `barCount` bars.
RECT barSpan(int rowTop, std::size_t barCount, std::size_t first, std::size_t end);

// One filled rectangle for each run of equal results.
void paintResultRuns(HDC dc, const ViewRow& row, int rowTop);

void paintMonitorViewWith(HDC dc, int width, int height, BarPainter paintBars);
