#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "model/target_table.h"
#include "view/monitor_view.h"

namespace {

constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF green = RGB(0, 170, 0);
constexpr COLORREF red = RGB(220, 0, 0);
constexpr COLORREF frameGrey = RGB(210, 210, 210);
constexpr int viewWidth = 676;
constexpr int viewHeight = 560;

int rowTop(int row) { return 10 + 26 * row; }

// paintMonitorView's picture in a 32-bit top-down DIB section, read back pixel by pixel.
class PaintedView {
public:
    PaintedView(int width, int height) : width_(width), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const std::uint32_t*>(bits);
        previous_ = SelectObject(dc_, bitmap_);
        paintMonitorView(dc_, width, height);
        GdiFlush();
    }
    ~PaintedView() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    PaintedView(const PaintedView&) = delete;
    PaintedView& operator=(const PaintedView&) = delete;

    COLORREF at(int x, int y) const {
        const std::uint32_t pixel = bits_[y * width_ + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    COLORREF lampCentre(int row) const { return at(18, rowTop(row) + 11); }
    COLORREF barMiddle(int x, int row) const { return at(x, rowTop(row) + 8); }

private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
};

Target inUse(const std::wstring& host, std::vector<std::uint8_t> results) {
    Target target;
    target.host = host;
    target.history.assign(results.begin(), results.end());
    return target;
}

void fillTable(const std::vector<Target>& slots) {
    TargetTable::Locked table = targetTable.lock();
    table.entries().assign(targetSlotCount, Target{});
    std::copy(slots.begin(), slots.end(), table.entries().begin());
}

}  // namespace

TEST(MonitorView, OneRowPerTargetInUseWithItsLampAndBars) {
    Target disabled = inUse(L"off", {1});
    disabled.enabled = false;
    fillTable(
        {inUse(L"up", {1}), disabled, inUse(L"down", {1, 0}), inUse(L"", {1}), inUse(L"new", {})});
    const PaintedView view(viewWidth, viewHeight);

    // Slots not in use leave no gap: rows 0, 1 and 2 are the first, third and fifth slots.
    EXPECT_EQ(view.lampCentre(0), green);
    EXPECT_EQ(view.lampCentre(1), red);
    EXPECT_EQ(view.lampCentre(2), red) << "no result yet counts as none";
    EXPECT_EQ(view.lampCentre(3), white);

    // One result: one bar at x 648..649, y+3..y+12.
    const int top = rowTop(0);
    for (int y = top + 3; y < top + 13; ++y) {
        EXPECT_EQ(view.at(648, y), green) << y;
        EXPECT_EQ(view.at(649, y), green) << y;
    }
    EXPECT_NE(view.barMiddle(647, 0), green);
    EXPECT_NE(view.barMiddle(650, 0), green);
    EXPECT_NE(view.at(648, top + 2), green);
    EXPECT_NE(view.at(648, top + 13), green);

    // Oldest at the left: green 646..647, then the failed newest 648..649.
    EXPECT_EQ(view.barMiddle(645, 1), white);
    EXPECT_EQ(view.barMiddle(646, 1), green);
    EXPECT_EQ(view.barMiddle(648, 1), red);
    EXPECT_EQ(view.barMiddle(649, 1), red);
    for (int x = 361; x < 649; ++x) EXPECT_EQ(view.barMiddle(x, 2), white) << x;
}

TEST(MonitorView, ALongHistoryShowsItsNewest145ResultsFromTheFramesLeftEdge) {
    std::vector<std::uint8_t> results;
    for (int i = 0; i < 2500; ++i) results.push_back((i / 3) % 2 == 0 && i % 7 != 0 ? 1 : 0);
    fillTable({inUse(L"long", results)});
    const PaintedView view(viewWidth, viewHeight);

    EXPECT_EQ(view.barMiddle(359, 0), white);
    EXPECT_EQ(view.barMiddle(650, 0), white);
    for (int bar = 0; bar < 145; ++bar) {
        const COLORREF expected = results[2500 - 145 + bar] ? green : red;
        EXPECT_EQ(view.barMiddle(360 + 2 * bar, 0), expected) << "bar " << bar;
        EXPECT_EQ(view.barMiddle(361 + 2 * bar, 0), expected) << "bar " << bar;
    }
}

TEST(MonitorView, WithoutTargetsInUseOnlyTheBackgroundAndTheFrameShow) {
    fillTable({});
    const int height = 300;
    const PaintedView view(viewWidth, height);
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < viewWidth; ++x) {
            const bool onFrame = x >= 360 && x < 650 && y >= 6 && y < height - 6 &&
                                 (x == 360 || x == 649 || y == 6 || y == height - 7);
            if (view.at(x, y) != (onFrame ? frameGrey : white) && ++wrong <= 5) {
                ADD_FAILURE() << "pixel " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}
