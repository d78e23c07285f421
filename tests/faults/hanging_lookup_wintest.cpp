// The real Tarvex.exe with a target whose name look-up hangs (the sandbox drops the resolver's
// queries for $TARVEX_SLOW_NAME, so the worker waits about 10 s inside GetAddrInfoW): the
// window keeps answering, and closing it ends the process within 3 s with exit code 0,
// without waiting for the look-up, with monitor.log whole and config.xml untouched.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "config/config_file.h"
#include "faults/fault_support.h"
#include "model/data_folder.h"
#include "support/wine_gui.h"

namespace {

bool logged(const std::wstring& event) {
    const std::vector<std::wstring> events = logEvents();
    return std::find(events.begin(), events.end(), event) != events.end();
}

TEST(HangingLookup, WindowAnswersAndClosesPromptlyWhileTheWorkerWaitsForAName) {
    const char* slowName = std::getenv("TARVEX_SLOW_NAME");
    if (!slowName) GTEST_SKIP() << "run in scripts/sandbox.sh, which provides a hanging name";
    const std::wstring slowHost(slowName, slowName + std::char_traits<char>::length(slowName));

    removeDataFiles();
    ASSERT_TRUE(startWinsock());
    const AcceptingPort open;
    ASSERT_NE(open.port(), 0);
    std::vector<Target> targets(targetSlotCount);
    for (Target& target : targets) target.enabled = false;
    // Slot 0 answers at once, then the sweep reaches slot 1 and waits for its name.
    targets[0] = Target{true, ProbeType::tcp, L"127.0.0.1", open.port(), 1, {}, 0};
    targets[1] = Target{true, ProbeType::icmp, slowHost, 0, 1, {}, 0};
    ASSERT_TRUE(writeConfigFile(configFilePath(), targets));
    const std::string configBytes = fileBytes(configFilePath());

    ChildProcess program(buildTreeProgram(L"Tarvex.exe"));
    ASSERT_TRUE(program.started());
    HWND window = shownMainWindow();
    ASSERT_NE(window, nullptr);
    pumpMessagesFor(1500ms);
    // The look-up has not come back (it would log a failure), so the worker is inside it.
    const std::wstring slowFailure = L" | " + slowHost + L" | icmp | FAIL";
    ASSERT_FALSE(logged(slowFailure)) << "the name look-up did not hang";

    EXPECT_TRUE(answersWithin(window, 1000ms));
    PostMessageW(GetDlgItem(window, 1003), BM_CLICK, 0, 0);  // show the monitor view
    EXPECT_TRUE(pumpUntil([&] { return outerSize(window).cy == 660; }, 1000ms));
    EXPECT_TRUE(answersWithin(window, 1000ms));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.hasEnded(3000ms)) << "still running 3 s after WM_CLOSE";
    EXPECT_EQ(program.exitCode(), 0u);

    EXPECT_FALSE(logged(slowFailure));  // ended before the look-up did
    EXPECT_TRUE(logged(L" | monitoring auto-start"));
    const std::string log = fileBytes(logFilePath());
    EXPECT_TRUE(log.size() >= 3 && log.compare(log.size() - 3, 3, "\r\r\n") == 0) << log;
    EXPECT_EQ(fileBytes(configFilePath()), configBytes);
}

}  // namespace
