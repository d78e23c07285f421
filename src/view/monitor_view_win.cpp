#include "view/monitor_view.h"

#include <vector>

#include "ui/dpi.h"
#include "ui/gdi.h"
#include "ui/status_colors.h"
#include "ui/window_class.h"
#include "view/view_rows.h"

namespace {

constexpr int resultsFrameTop = 6;
constexpr int resultsFrameBottomMargin = 6;
constexpr int hostTextLeft = 32;
constexpr int protocolTextLeft = 300;

std::vector<ViewRow> shownRows;

void paintBackgroundAndFrame(HDC dc, int width, int height, UINT dpi) {
    const RECT client{0, 0, width, height};
    const SolidBrush background(backgroundColour);
    FillRect(dc, &client, background.get());

    const SolidPen outline(separatorColour, dpi);
    const SelectGuard brushChoice(dc, background.get());
    const SelectGuard penChoice(dc, outline.get());
    Rectangle(dc, scaled(resultsFrameLeft, dpi), scaled(resultsFrameTop, dpi),
              scaled(resultsFrameRight, dpi), height - scaled(resultsFrameBottomMargin, dpi));
}

void paintLamp(HDC dc, const ViewRow& row, int rowTop, UINT dpi) {
    const SolidBrush fill(row.answered ? answeredColour : failedColour);
    const SolidPen outline(lampOutlineColour, dpi);
    const SelectGuard brushChoice(dc, fill.get());
    const SelectGuard penChoice(dc, outline.get());
    const RECT lamp = scaledSquare(12, rowTop + 5, 12, dpi);
    Ellipse(dc, lamp.left, lamp.top, lamp.right, lamp.bottom);
}

void paintText(HDC dc, int left, int top, const std::wstring& text, UINT dpi) {
    TextOutW(dc, scaled(left, dpi), scaled(top, dpi), text.c_str(), static_cast<int>(text.size()));
}

// Bars `first` to `end` - 1 of a row of `barCount` bars, at 96 DPI.
RECT barSpan(int rowTop, std::size_t barCount, std::size_t first, std::size_t end) {
    const int left = firstBarLeft(barCount);
    return RECT{left + barWidth * static_cast<int>(first), rowTop + 3,
                left + barWidth * static_cast<int>(end), rowTop + 13};
}

// One filled rectangle for each run of equal results.
void paintResultRuns(HDC dc, const ViewRow& row, int rowTop, UINT dpi) {
    const std::vector<bool>& results = row.recentResults;
    if (results.empty()) return;
    const SolidBrush answered(answeredColour);
    const SolidBrush failed(failedColour);
    for (std::size_t first = 0; first < results.size();) {
        std::size_t end = first + 1;
        while (end < results.size() && results[end] == results[first]) ++end;
        const RECT run = scaledBox(barSpan(rowTop, results.size(), first, end), dpi);
        FillRect(dc, &run, results[first] ? answered.get() : failed.get());
        first = end;
    }
}

LRESULT onPaint(HWND window) {
    const PaintScope paint(window);
    RECT client{};
    GetClientRect(window, &client);
    const BackBuffer buffer(paint.dc(), client.right, client.bottom);
    if (!buffer.ok()) return 0;
    paintMonitorView(buffer.dc(), client.right, client.bottom, dpiOf(window));
    buffer.copyTo(paint.dc());
    return 0;
}

LRESULT CALLBACK monitorViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: return onPaint(window);
        case WM_ERASEBKGND: return 1;  // the paint covers every pixel from the back buffer
        case WM_GETOBJECT: return answerMonitorViewObject(window, wParam, lParam);
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void paintMonitorView(HDC dc, int width, int height, UINT dpi) {
    paintBackgroundAndFrame(dc, width, height, dpi);
    SetBkMode(dc, TRANSPARENT);
    const SelectGuard fontChoice(dc, uiFontFor(dpi));
    int rowTop = firstRowTop;
    for (const ViewRow& row : shownRows) {
        paintLamp(dc, row, rowTop, dpi);
        paintText(dc, hostTextLeft, rowTop, row.host, dpi);
        paintText(dc, protocolTextLeft, rowTop, row.protocolText, dpi);
        paintResultRuns(dc, row, rowTop, dpi);
        rowTop += rowPitch;
    }
}

void showMonitorViewRows(HWND view, std::vector<ViewRow> rows) {
    shownRows = std::move(rows);
    if (!view) return;
    InvalidateRect(view, nullptr, FALSE);
    announceMonitorViewChanges(view);
}

const std::vector<ViewRow>& monitorViewRows() { return shownRows; }

void registerMonitorViewClass() {
    // No background brush: the view paints every pixel itself.
    registerWindowClass(monitorViewClassName, guardedProcedure<monitorViewProc>, nullptr);
}
