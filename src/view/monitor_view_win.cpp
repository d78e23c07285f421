#include "view/monitor_view.h"

#include <commctrl.h>  // after windows.h, which the header includes

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "ui/accessible.h"
#include "ui/clipboard.h"
#include "ui/dpi.h"
#include "ui/gdi.h"
#include "ui/status_colors.h"
#include "ui/window_class.h"
#include "view/row_tips.h"
#include "view/view_rows.h"

namespace {

constexpr int resultsFrameTop = 6;
constexpr int resultsFrameBottomMargin = 6;
constexpr int protocolTextLeft = 300;

std::vector<ViewRow> shownRows;
int selectedRow = -1;
RowDetailsSource detailsSource = nullptr;
std::wstring detailsHeader;
std::wstring tipText;  // what a tooltip shows, kept until it asks again

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

// Around the lamp, the host and the protocol, clear of the results frame.
void paintFocus(HDC dc, int rowTop, UINT dpi) {
    const RECT box = scaledBox(RECT{6, rowTop - 3, resultsFrameLeft - 4, rowTop + 20}, dpi);
    DrawFocusRect(dc, &box);
}

bool hasFocus(HWND view) { return GetFocus() == view; }

LRESULT onPaint(HWND window) {
    const PaintScope paint(window);
    RECT client{};
    GetClientRect(window, &client);
    const BackBuffer buffer(paint.dc(), client.right, client.bottom);
    if (!buffer.ok()) return 0;
    paintMonitorView(buffer.dc(), client.right, client.bottom, dpiOf(window),
                     hasFocus(window) ? selectedRow : -1);
    buffer.copyTo(paint.dc());
    return 0;
}

// The focus rectangle, the keyboard's tooltip and the readers follow the selection while the
// view has the focus; without it the view shows no selection at all.
void showSelection(HWND view, bool moved) {
    InvalidateRect(view, nullptr, FALSE);
    const bool focused = hasFocus(view);
    showKeyboardTip(view, focused ? selectedRow : -1);
    if (focused && moved && selectedRow >= 0) announceSelectedItem(view, selectedRow + 1);
}

void select(HWND view, int row) {
    const int count = static_cast<int>(shownRows.size());
    const int chosen = count == 0 ? -1 : std::clamp(row, 0, count - 1);
    const bool moved = chosen != selectedRow;
    selectedRow = chosen;
    showSelection(view, moved);
}

// Ctrl+C: the selected row's details; Ctrl+Shift+C: a header and a line per row, for a
// spreadsheet. A beep when there is nothing to copy or the clipboard stayed held.
void copyDetails(HWND view, bool everyRow) {
    std::wstring text = everyRow ? detailsHeader + L"\r\n" : monitorRowDetails(selectedRow).shown;
    for (int row = 0; everyRow && row < static_cast<int>(shownRows.size()); ++row)
        text += monitorRowDetails(row).tableLine + L"\r\n";
    if (text.empty() || !copyTextToClipboard(view, text)) MessageBeep(MB_ICONWARNING);
}

LRESULT onKeyDown(HWND view, WPARAM key, LPARAM lParam) {
    switch (key) {
        case VK_UP: select(view, selectedRow - 1); return 0;
        case VK_DOWN: select(view, selectedRow + 1); return 0;
        case VK_HOME: select(view, 0); return 0;
        case VK_END: select(view, static_cast<int>(shownRows.size()) - 1); return 0;
        case 'C':
            if (GetKeyState(VK_CONTROL) >= 0) break;
            copyDetails(view, GetKeyState(VK_SHIFT) < 0);
            return 0;
        default: break;
    }
    return DefWindowProcW(view, WM_KEYDOWN, key, lParam);
}

// A click selects the row under the pointer and gives the view the focus.
LRESULT onClick(HWND view, LPARAM lParam) {
    SetFocus(view);
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (std::size_t row = 0; row < shownRows.size(); ++row) {
        const RECT box = monitorRowBox(view, row);
        if (PtInRect(&box, point)) select(view, static_cast<int>(row));
    }
    return 0;
}

LRESULT onFocusChange(HWND view) {
    if (selectedRow < 0 && !shownRows.empty()) selectedRow = 0;
    showSelection(view, true);
    return 0;
}

// After new rows or a new size: the mouse's tips over the rows, the selection and the
// keyboard's tip on its row.
void followRows(HWND view) {
    placeRowTips(view, shownRows.size());
    showSelection(view, false);
}

LRESULT onNotify(HWND view, WPARAM wParam, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code != TTN_GETDISPINFOW) return DefWindowProcW(view, WM_NOTIFY, wParam, lParam);
    tipText = monitorRowDetails(rowOfTipTool(header->idFrom)).shown;
    reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = tipText.data();
    return 0;
}

LRESULT CALLBACK monitorViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: createRowTips(window); return 0;
        case WM_SIZE: followRows(window); return 0;
        case WM_PAINT: return onPaint(window);
        case WM_ERASEBKGND: return 1;  // the paint covers every pixel from the back buffer
        case WM_GETDLGCODE: return DLGC_WANTARROWS;  // Up and Down select rows
        case WM_KEYDOWN: return onKeyDown(window, wParam, lParam);
        case WM_LBUTTONDOWN: return onClick(window, lParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS: return onFocusChange(window);
        case WM_NOTIFY: return onNotify(window, wParam, lParam);
        case WM_GETOBJECT: return answerMonitorViewObject(window, wParam, lParam);
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void paintMonitorView(HDC dc, int width, int height, UINT dpi, int focusedRow) {
    paintBackgroundAndFrame(dc, width, height, dpi);
    SetBkMode(dc, TRANSPARENT);
    const SelectGuard fontChoice(dc, uiFontFor(dpi));
    int rowTop = firstRowTop;
    for (std::size_t index = 0; index < shownRows.size(); ++index) {
        const ViewRow& row = shownRows[index];
        paintLamp(dc, row, rowTop, dpi);
        paintText(dc, hostTextLeft, rowTop, row.host, dpi);
        paintText(dc, protocolTextLeft, rowTop, row.protocolText, dpi);
        paintResultRuns(dc, row, rowTop, dpi);
        if (static_cast<int>(index) == focusedRow) paintFocus(dc, rowTop, dpi);
        rowTop += rowPitch;
    }
}

void showMonitorViewRows(HWND view, std::vector<ViewRow> rows) {
    shownRows = std::move(rows);
    selectedRow = std::min(selectedRow, static_cast<int>(shownRows.size()) - 1);
    if (!view) return;
    followRows(view);
    announceMonitorViewChanges(view);
}

const std::vector<ViewRow>& monitorViewRows() { return shownRows; }

int selectedMonitorRow() { return selectedRow; }

RECT monitorRowBox(HWND view, std::size_t row) {
    const UINT dpi = dpiOf(view);
    RECT client{};
    GetClientRect(view, &client);
    const int top = firstRowTop + rowPitch * static_cast<int>(row);
    return RECT{0, scaled(top, dpi), client.right, scaled(top + rowPitch, dpi)};
}

void setRowDetailsSource(RowDetailsSource source, std::wstring tableHeader) {
    detailsSource = source;
    detailsHeader = std::move(tableHeader);
}

RowDetailTexts monitorRowDetails(int row) {
    if (!detailsSource || row < 0 || row >= static_cast<int>(shownRows.size())) return {};
    return detailsSource(shownRows[static_cast<std::size_t>(row)]);
}

void registerMonitorViewClass() {
    // No background brush: the view paints every pixel itself.
    registerWindowClass(monitorViewClassName, guardedProcedure<monitorViewProc>, nullptr);
}
