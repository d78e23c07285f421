// The monitor view's paint of 20 targets with 145 results each, about one in twenty failed
// and scattered, into the view's off-screen bitmap: paintMonitorView (one rectangle per run
// of equal results) against the plain reading (one brush created and deleted per bar), turn
// about in the same run, then a pixel-for-pixel comparison of the two pictures and the
// whole WM_PAINT of a shown view window. Usage: view_paint_bench [rounds]

#include <cstdint>
#include <cstdio>
#include <vector>

#include "model/target_table.h"
#include "ui/gdi.h"
#include "ui_bench.h"
#include "view/monitor_view.h"
#include "view/monitor_view_paint.h"

namespace {

// The view's client area in the main window with only the monitor shown.
constexpr int viewWidth = 662;
constexpr int viewHeight = 546;

void paintBarsOneBrushEach(HDC dc, const ViewRow& row, int rowTop, UINT dpi) {
    const std::size_t count = row.recentResults.size();
    for (std::size_t i = 0; i < count; ++i) {
        const SolidBrush brush(row.recentResults[i] ? answeredColour : failedColour);
        const RECT bar = scaledBox(barSpan(rowTop, count, i, i + 1), dpi);
        FillRect(dc, &bar, brush.get());
    }
}

void plainPaint(HDC dc, int width, int height) {
    paintMonitorViewWith(dc, width, height, paintBarsOneBrushEach);
}

// 20 targets with full histories; answers the number of failures among the shown results.
int fillTable() {
    std::uint32_t random = 20260301;
    int failedShown = 0;
    std::vector<Target> table(targetSlotCount);
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) {
        Target& target = table[slot];
        target.host = L"127.0.0." + std::to_wstring(slot + 1);
        target.type = slot % 2 ? ProbeType::tcp : ProbeType::icmp;
        target.port = 443;
        for (std::size_t i = 0; i < historyLimit; ++i) {
            random = random * 1664525u + 1013904223u;
            const bool failed = (random >> 16) % 20 == 0;
            target.history.push_back(failed ? 0 : 1);
            if (failed && i >= historyLimit - maxBarsPerRow) ++failedShown;
        }
    }
    showMonitorViewRows(nullptr, buildViewRows(table));
    return failedShown;
}

std::size_t differingPixels(HDC one, HDC other) {
    std::size_t differing = 0;
    for (int y = 0; y < viewHeight; ++y) {
        for (int x = 0; x < viewWidth; ++x)
            differing += GetPixel(one, x, y) != GetPixel(other, x, y);
    }
    return differing;
}

std::vector<double> timeWholePaints(int rounds) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    registerMonitorViewClass();
    RECT outer{0, 0, viewWidth, viewHeight};
    AdjustWindowRectEx(&outer, WS_POPUP, FALSE, WS_EX_CLIENTEDGE);
    HWND view = CreateWindowExW(WS_EX_CLIENTEDGE, L"Tarvex_MonitorView", L"", WS_POPUP | WS_VISIBLE,
                                0, 0, outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                nullptr, instance, nullptr);
    handlePendingMessages();
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        times.push_back(millisOf(
            [view] { RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }));
    }
    DestroyWindow(view);
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = static_cast<int>(numberArgument(argc, argv, 1, 300));
    uiFont = createBenchUiFont();
    const int failedShown = fillTable();

    HDC screen = GetDC(nullptr);
    const BackBuffer ours(screen, viewWidth, viewHeight);
    const BackBuffer plain(screen, viewWidth, viewHeight);
    ReleaseDC(nullptr, screen);
    for (int warmUp = 0; warmUp < 10; ++warmUp) {
        paintMonitorView(ours.dc(), viewWidth, viewHeight);
        plainPaint(plain.dc(), viewWidth, viewHeight);
    }

    std::vector<double> oursTimes;
    std::vector<double> plainTimes;
    for (int round = 0; round < rounds; ++round) {
        oursTimes.push_back(
            millisOf([&ours] { paintMonitorView(ours.dc(), viewWidth, viewHeight); }));
        plainTimes.push_back(millisOf([&plain] { plainPaint(plain.dc(), viewWidth, viewHeight); }));
    }
    const std::size_t differing = differingPixels(ours.dc(), plain.dc());

    std::printf("20 rows x %zu bars, %d of %zu shown results failed, view %d x %d, %d rounds\n",
                maxBarsPerRow, failedShown, targetSlotCount * maxBarsPerRow, viewWidth, viewHeight,
                rounds);
    const Figures oursFigures = summarize(oursTimes);
    const Figures plainFigures = summarize(plainTimes);
    printFigures("paintMonitorView (runs of equal results)", "ms", oursFigures);
    printFigures("plain reading (one brush per bar)", "ms", plainFigures);
    std::printf("speed-up, plain median / ours median: %.1f x\n",
                plainFigures.median / oursFigures.median);
    std::printf("pixels differing between the two pictures: %zu of %d\n", differing,
                viewWidth * viewHeight);
    printFigures("whole WM_PAINT of a shown view window", "ms", summarize(timeWholePaints(rounds)));
    return differing == 0 ? 0 : 1;
}
