// The monitor view's paint of 20 targets with 145 results each, about one in twenty failed
// and scattered: paintMonitorView into the view's off-screen bitmap, then the whole WM_PAINT
// of a shown view window. Usage: view_paint_bench [rounds]

#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench_support.h"
#include "model/target_table.h"
#include "ui/dpi.h"
#include "ui/gdi.h"
#include "ui/ui_state.h"
#include "view/monitor_view.h"
#include "view/view_rows.h"

namespace {

// The view's client area in the main window with only the monitor shown.
constexpr int viewWidth = 662;
constexpr int viewHeight = 546;

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
    uiFont = uiFontAt(baseDpi);  // as the main window makes it
    uiFontDpi = baseDpi;
    const int failedShown = fillTable();

    HDC screen = GetDC(nullptr);
    const BackBuffer buffer(screen, viewWidth, viewHeight);
    ReleaseDC(nullptr, screen);
    for (int warmUp = 0; warmUp < 10; ++warmUp) {
        paintMonitorView(buffer.dc(), viewWidth, viewHeight);
    }
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        times.push_back(
            millisOf([&buffer] { paintMonitorView(buffer.dc(), viewWidth, viewHeight); }));
    }
    std::printf("20 rows x %zu bars, %d of %zu shown results failed, view %d x %d, %d rounds\n",
                maxBarsPerRow, failedShown, targetSlotCount * maxBarsPerRow, viewWidth, viewHeight,
                rounds);
    printFigures("paintMonitorView (runs of equal results)", "ms", times);
    printFigures("whole WM_PAINT of a shown view window", "ms", timeWholePaints(rounds));
    return 0;
}
