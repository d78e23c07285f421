#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "model/target_table.h"
#include "view/monitor_view.h"

namespace {

constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF green = RGB(0, 170, 0);
constexpr COLORREF red = RGB(220, 0, 0);

// The table set to `slots` (the other slots fresh, so not in use), then paintMonitorView's
// picture of a view 676 pixels wide, painted into a 32-bit top-down DIB section and copied.
class PaintedView {
public:
    static constexpr int width = 676;
    explicit PaintedView(const std::vector<Target>& slots, int height = 560)
        : pixels_(static_cast<std::size_t>(width * height)) {
        std::vector<Target> table(targetSlotCount);
        std::copy(slots.begin(), slots.end(), table.begin());
        targetTable.lock().entries() = table;
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
                        {}};
        void* bits = nullptr;
        const HDC dc = CreateCompatibleDC(nullptr);
        const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ previous = SelectObject(dc, bitmap);
        paintMonitorView(dc, width, height);
        GdiFlush();
        if (bits) std::memcpy(pixels_.data(), bits, pixels_.size() * sizeof(std::uint32_t));
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }

    COLORREF at(int x, int y) const {
        const std::uint32_t pixel = pixels_[static_cast<std::size_t>(y * width + x)];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    // Row k starts at y 10 + 26 k: its lamp's centre, and the middle of its bars at `x`.
    COLORREF lamp(int row) const { return at(18, 21 + 26 * row); }
    COLORREF bar(int x, int row) const { return at(x, 18 + 26 * row); }

private:
    std::vector<std::uint32_t> pixels_;
};

Target inUse(const wchar_t* host, std::deque<std::uint8_t> results) {
    return {true, ProbeType::icmp, host, 0, 10, std::move(results), 0};
}

}  // namespace

TEST(MonitorView, OneRowPerTargetInUseWithItsLampAndBars) {
    const Target disabled{false, ProbeType::icmp, L"off", 0, 10, {1}, 0};
    const PaintedView view(
        {inUse(L"up", {1}), disabled, inUse(L"down", {1, 0}), inUse(L"", {1}), inUse(L"new", {})});
    // Slots not in use leave no gap: rows 0, 1 and 2 are the first, third and fifth slots.
    EXPECT_EQ(view.lamp(0), green);
    EXPECT_EQ(view.lamp(1), red);
    EXPECT_EQ(view.lamp(2), red) << "no result yet counts as none";
    EXPECT_EQ(view.lamp(3), white);

    // One result: one bar at x 648..649, y 13..22.
    for (int x = 647; x <= 650; ++x) {
        for (int y = 12; y <= 23; ++y) {
            const bool inside = x >= 648 && x <= 649 && y >= 13 && y <= 22;
            EXPECT_EQ(view.at(x, y) == green, inside) << x << "," << y;
        }
    }
    // Oldest at the left: green 646..647, then the failed newest 648..649.
    EXPECT_EQ(view.bar(645, 1), white);
    EXPECT_EQ(view.bar(646, 1), green);
    EXPECT_EQ(view.bar(648, 1), red);
    EXPECT_EQ(view.bar(649, 1), red);
    for (int x = 361; x < 649; ++x) EXPECT_EQ(view.bar(x, 2), white) << x;
}

TEST(MonitorView, ALongHistoryShowsItsNewest145ResultsFromTheFramesLeftEdge) {
    std::deque<std::uint8_t> results;
    for (int i = 0; i < 2500; ++i) results.push_back((i / 3) % 2 == 0 && i % 7 != 0 ? 1 : 0);
    const PaintedView view({inUse(L"long", results)});
    EXPECT_EQ(view.bar(359, 0), white);
    EXPECT_EQ(view.bar(650, 0), white);
    for (int bar = 0; bar < 145; ++bar) {
        const COLORREF expected = results[2500 - 145 + bar] ? green : red;
        EXPECT_EQ(view.bar(360 + 2 * bar, 0), expected) << "bar " << bar;
        EXPECT_EQ(view.bar(361 + 2 * bar, 0), expected) << "bar " << bar;
    }
}

TEST(MonitorView, WithoutTargetsInUseOnlyTheBackgroundAndTheFrameShow) {
    const int height = 300;
    const PaintedView view({}, height);
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < PaintedView::width; ++x) {
            const bool onFrame = x >= 360 && x < 650 && y >= 6 && y < height - 6 &&
                                 (x == 360 || x == 649 || y == 6 || y == height - 7);
            if (view.at(x, y) != (onFrame ? RGB(210, 210, 210) : white) && ++wrong <= 5) {
                ADD_FAILURE() << "pixel " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}
