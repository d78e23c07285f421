// The real program monitors a name whose look-up hangs (the sandbox drops its queries): the
// window still answers, and closing it ends the program at once, with config.xml untouched.
#include <gtest/gtest.h>

#include <cstring>

#include "config/config_file.h"
#include "faults/program.h"
#include "model/data_folder.h"
#include "support/wine_gui.h"

TEST(HangingLookup, WindowAnswersAndClosesPromptly) {
    const char* slow = std::getenv("TARVEX_SLOW_NAME");
    ASSERT_TRUE(slow) << "run in scripts/sandbox.sh, which provides a hanging name";
    removeDataFiles();
    std::vector<Target> targets(targetSlotCount);
    targets[0].host.assign(slow, slow + std::strlen(slow));
    ASSERT_TRUE(writeConfigFile(configFilePath(), targets));
    const std::string config = fileBytes(configFilePath());
    const HANDLE tarvex = startProgram(L"../Tarvex.exe");
    ASSERT_TRUE(tarvex);
    HWND window = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(window = FindWindowW(L"Tarvex_MainWnd", nullptr)); }, 10s));
    pumpMessagesFor(500ms);  // the worker is inside the look-up by now
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result));
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = WaitForSingleObject(tarvex, 3000);
    if (code != WAIT_OBJECT_0) TerminateProcess(tarvex, 99);
    GetExitCodeProcess(tarvex, &code);
    EXPECT_EQ(code, 0u);
    // The look-up never came back: no failure was logged.
    EXPECT_EQ(logEvents(), std::vector<std::wstring>{L" | monitoring auto-start"});
    EXPECT_EQ(fileBytes(configFilePath()), config);
}
