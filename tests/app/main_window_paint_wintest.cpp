// The header's pixels: the status lamp follows monitoring, the health bar the newest result
// of every target in use, each redrawn on WM_APP_REFRESH.

#include <gtest/gtest.h>

#include <limits>

#include "app/app_messages.h"
#include "model/target_table.h"
#include "support/wine_gui.h"

namespace {

constexpr COLORREF green = RGB(0, 170, 0);
constexpr COLORREF red = RGB(220, 0, 0);

class HeaderPaint : public ::testing::Test {
protected:
    void SetUp() override {
        removeDataFiles();
        window = startMainWindow();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { closeMainWindow(window); }

    // Sets slot `index` under the lock, never due, so the worker leaves it alone.
    void setSlot(std::size_t index, bool enabled, std::initializer_list<std::uint8_t> results) {
        {
            TargetTable::Locked table = targetTable.lock();
            Target& target = table.entries().at(index);
            target.enabled = enabled;
            target.host = L"127.0.0.1";
            target.history.assign(results);
            target.nextDue = std::numeric_limits<std::int64_t>::max();
        }
        PostMessageW(window, WM_APP_REFRESH, 0, 0);
        pumpMessagesFor(100ms);
    }
    COLORREF lamp() { return pixelAt(window, 23, 25); }
    COLORREF healthBar() { return pixelAt(window, 416, 42); }

    HWND window = nullptr;
};

TEST_F(HeaderPaint, DefaultTableIsHealthyAndTheLampFollowsMonitoring) {
    pumpMessagesFor(100ms);
    EXPECT_EQ(pixelAt(window, 5, 5), RGB(250, 250, 250));
    EXPECT_EQ(pixelAt(window, 5, 64), RGB(210, 210, 210));
    EXPECT_EQ(lamp(), green);
    EXPECT_EQ(pixelAt(window, 23, 16), RGB(80, 80, 80));  // the lamp's outline, top
    EXPECT_EQ(healthBar(), green);
    EXPECT_EQ(pixelAt(window, 346, 39), RGB(180, 180, 180));  // the bar's outline
    EXPECT_EQ(pixelAt(window, 486, 42), RGB(250, 250, 250));  // right edge excluded

    clickButton(window, 1001);
    EXPECT_EQ(lamp(), red);
    EXPECT_EQ(healthBar(), green);
    clickButton(window, 1001);
    EXPECT_EQ(lamp(), green);
}

TEST_F(HeaderPaint, HealthBarTurnsRedForUnprobedOrFailedTargetsInUse) {
    setSlot(5, true, {});
    EXPECT_EQ(healthBar(), red) << "a target in use without results";
    setSlot(5, true, {0, 1});
    EXPECT_EQ(healthBar(), green);
    setSlot(12, true, {1, 1, 0});
    EXPECT_EQ(healthBar(), red) << "one failed newest result";
    setSlot(12, false, {0});
    EXPECT_EQ(healthBar(), green) << "a disabled target does not count";
    EXPECT_EQ(lamp(), green);
}

}  // namespace
