#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "log/event_log.h"
#include "log/log_window.h"
#include "log/timestamp_shape.h"
#include "model/data_folder.h"
#include "model/text_file.h"
#include "support/wine_gui.h"

namespace {

constexpr int deleteButtonId = 3002;

// A plain owner in place of the main window; log entries reach the field the way the main
// window hands them on.
class LogWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        removeDataFiles();
        mainWindow = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 200, 100, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
        setLogLineSink([](const std::wstring& line) { appendLineToLogView(line.c_str()); });
    }
    void TearDown() override { setLogLineSink({}); }

    static std::wstring field() { return windowText(logEdit); }
    static std::string logBytes() { return fileBytes(logFilePath()); }
    static std::wstring note() { return L"(older entries are in " + logFilePath() + L")\r\n"; }
};

// The field's left, top and right margins, the gap below it, then the button's left edge,
// width, height and bottom margin.
std::vector<LONG> margins() {
    RECT client{}, places[2]{};
    GetClientRect(logWindow, &client);
    GetWindowRect(logEdit, &places[0]);
    GetWindowRect(GetDlgItem(logWindow, deleteButtonId), &places[1]);
    MapWindowPoints(nullptr, logWindow, reinterpret_cast<POINT*>(places), 4);
    const RECT& edit = places[0];
    const RECT& button = places[1];
    return {edit.left,
            edit.top,
            client.right - edit.right,
            button.top - edit.bottom,
            button.left,
            button.right - button.left,
            button.bottom - button.top,
            client.bottom - button.bottom};
}

std::wstring numberedEntry(int number, std::size_t width) {
    std::wstring entry = L"2026-03-01 09:05:03 | host-" + std::to_wstring(number) + L" | FAIL";
    entry.resize(width, L'x');
    return entry;
}

}  // namespace

TEST(EventLogOnWindows, TimestampHasTheLogShape) { expectTimestampShape(formatTimestamp()); }

TEST_F(LogWindowTest, OpensOnceWithItsControlsAndTheFileText) {
    appendLogLine(L"2026-03-01 09:05:03 | monitoring auto-start");
    appendLogLine(L"2026-03-01 09:05:04 | host | icmp | FAIL");
    openLogWindow();
    ASSERT_TRUE(IsWindow(logWindow));
    EXPECT_EQ(windowText(logWindow), L"Tarvex - Log");
    EXPECT_EQ(GetWindow(logWindow, GW_OWNER), mainWindow);
    EXPECT_EQ(outerSize(logWindow).cx, 900);
    EXPECT_EQ(outerSize(logWindow).cy, 520);
    EXPECT_TRUE(IsWindowVisible(logWindow));
    EXPECT_EQ(GetDlgItem(logWindow, 3001), logEdit);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(logEdit, GWL_STYLE)), 0x50200844u);
    EXPECT_TRUE(GetWindowLongPtrW(logEdit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(windowText(GetDlgItem(logWindow, deleteButtonId)), L"Delete log file");
    EXPECT_EQ(field(),
              L"2026-03-01 09:05:03 | monitoring auto-start\r\n"
              L"2026-03-01 09:05:04 | host | icmp | FAIL\r\n");
    const std::vector<LONG> expected{10, 10, 10, 7, 10, 140, 26, 12};
    EXPECT_EQ(margins(), expected);
    MoveWindow(logWindow, 30, 40, 640, 333, TRUE);
    EXPECT_EQ(margins(), expected);

    const HWND first = logWindow;
    openLogWindow();
    EXPECT_EQ(logWindow, first);
    EXPECT_EQ(countOwnWindows(L"Tarvex_LogWnd"), 1);
}

TEST_F(LogWindowTest, AHiddenWindowKeepsItsLinesAndReloadsTheFileWhenOpened) {
    openLogWindow();
    EXPECT_EQ(field(), L"") << "no monitor.log yet";
    SendMessageW(logWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(logWindow) && !IsWindowVisible(logWindow));

    appendLogLine(L"2026-03-01 09:05:03 | monitoring stopped");
    appendLineToLogView(L"only in the field");
    EXPECT_EQ(field(), L"2026-03-01 09:05:03 | monitoring stopped\r\nonly in the field\r\n");
    openLogWindow();
    EXPECT_TRUE(IsWindowVisible(logWindow));
    EXPECT_EQ(field(), L"2026-03-01 09:05:03 | monitoring stopped\r\n") << "reloaded";
}

TEST_F(LogWindowTest, DeleteLogFileEmptiesFileAndFieldAndTheNextEntryShowsInBoth) {
    openLogWindow();
    clickButton(logWindow, deleteButtonId);
    EXPECT_TRUE(pathExists(logFilePath())) << "a missing log is created empty";
    EXPECT_EQ(logBytes(), "");

    appendLogLine(L"2026-03-01 09:05:03 | one");
    clickButton(logWindow, deleteButtonId);
    EXPECT_EQ(logBytes(), "");
    EXPECT_EQ(field(), L"");
    appendLogLine(L"2026-03-01 09:05:05 | monitoring started");
    EXPECT_EQ(logBytes(), "2026-03-01 09:05:05 | monitoring started\r\r\n");
    EXPECT_EQ(field(), L"2026-03-01 09:05:05 | monitoring started\r\n");
}

// The field grows far past an edit's default limit (30,000 characters, past which new lines
// would silently be dropped), then loses its oldest lines in whole, past its own bound.
TEST_F(LogWindowTest, TheFieldTakesEveryLineAndDropsItsOldestPastItsBound) {
    openLogWindow();
    SendMessageW(logWindow, WM_CLOSE, 0, 0);  // hidden, it still takes every line
    const std::size_t entryChars = 200;       // with its line end
    int entries = 0, cuts = 0;
    std::size_t length = 0, longest = 0;
    while (cuts < 2 && entries < 6000) {  // 1.2 million characters at the most
        appendLineToLogView(numberedEntry(entries++, entryChars - 2).c_str());
        const auto grown = static_cast<std::size_t>(GetWindowTextLengthW(logEdit));
        if (grown < length) ++cuts;
        length = grown;
        longest = std::max(longest, length);
    }
    ASSERT_EQ(cuts, 2) << "still growing at " << length << " characters";
    EXPECT_TRUE(longest > 30'000u && longest <= 1'100'000u) << longest;

    // One note, then whole entries in order up to the newest.
    const std::wstring text = field();
    ASSERT_EQ(text.substr(0, note().size()), note());
    const std::size_t kept = (text.size() - note().size()) / entryChars;
    ASSERT_EQ(note().size() + kept * entryChars, text.size());
    ASSERT_GT(kept, 100u);
    for (std::size_t k = 0; k < kept; ++k) {
        const int number = entries - static_cast<int>(kept - k);
        ASSERT_EQ(text.substr(note().size() + k * entryChars, entryChars),
                  numberedEntry(number, entryChars - 2) + L"\r\n");
    }
}

TEST_F(LogWindowTest, ALargeFileOpensWithItsNewestEntriesAfterTheNote) {
    {
        TextOutput log(logFilePath(), TextOutputMode::truncate);
        for (int i = 0; i < 40'000; ++i) log.write(numberedEntry(i, 100) + L"\r\n");
    }
    openLogWindow();
    const std::wstring text = field();
    EXPECT_EQ(text.substr(0, note().size()), note());
    EXPECT_LT(text.size(), 2'000'000u) << "4 MB file";
    EXPECT_EQ(text.substr(note().size(), 27), L"2026-03-01 09:05:03 | host-") << "a whole entry";
    EXPECT_EQ(text.substr(text.size() - 102), numberedEntry(39'999, 100) + L"\r\n");
}
