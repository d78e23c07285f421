// A busy desktop: config.xml held open by another handle while Save runs, the log's lock byte
// held by a process that hangs, a 5 GB config.xml, a temporary file left by a killed save,
// and the machine going to sleep and waking up while monitoring.
#include <gtest/gtest.h>

#include <thread>

#include "config/config_file.h"
#include "editor/config_editor.h"
#include "editor/config_window.h"
#include "model/target_table.h"
#include "support/wine_gui.h"

class DesktopFaults : public ::testing::Test {
protected:
    void SetUp() override { removeDataFiles(); }
    void TearDown() override { removeDataFiles(); }
    static HANDLE openShared(const std::wstring& path) {
        return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, 0, nullptr);
    }
    static inline std::wstring told;  // the editor's message boxes, answered by tell
    static int WINAPI tell(HWND, LPCWSTR text, LPCWSTR, UINT) {
        told += text;
        return IDOK;
    }
    // "Save" with config.xml held open by another handle for `holdMs`.
    static void saveWhileHeld(int holdMs, const wchar_t* host) {
        const HANDLE held = openShared(configFilePath());
        std::jthread release([&] {
            Sleep(holdMs);
            CloseHandle(held);
        });
        SetWindowTextW(GetDlgItem(configWindow, 2100), host);
        const auto start = std::chrono::steady_clock::now();
        clickButton(configWindow, 2401);
        std::printf("Save with config.xml held %d ms took %lld ms\n", holdMs,
                    static_cast<long long>((std::chrono::steady_clock::now() - start) / 1ms));
    }
    const std::wstring folder = dataFolderPath();
};

TEST_F(DesktopFaults, SaveRidesOutABriefHoldAndFailsCleanlyOnALongOne) {
    const HWND window = startMainWindow();
    clickButton(window, 1002);
    clickButton(configWindow, 1900);  // row 1 off: its host is never probed
    showEditorMessage = tell;
    saveWhileHeld(300, L"brief.test");
    const std::string saved = readBytes(configFilePath());
    EXPECT_NE(saved.find("<host>brief.test</host>"), std::string::npos);
    saveWhileHeld(5000, L"long.test");
    EXPECT_EQ(readBytes(configFilePath()), saved);
    EXPECT_TRUE(told.starts_with(L"\"config.xml\" could not be written:")) << told;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_FALSE(entry.path().filename().wstring().starts_with(L"~tvx")) << entry;
    EXPECT_EQ(logEvents(),
              (std::vector<std::wstring>{
                  L" | monitoring auto-start", L" | config saved",
                  L" | config saved in memory only: config.xml could not be written"}));
    closeMainWindow(window);
}

TEST_F(DesktopFaults, LogLockHeldByAHungProcessHoldsNoWindowUp) {
    const HANDLE log = openShared(logFilePath());
    OVERLAPPED lockByte{};
    lockByte.Offset = 0xFFFFFFFE;
    lockByte.OffsetHigh = 0x7FFFFFFF;
    ASSERT_TRUE(LockFileEx(log, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockByte));
    const HANDLE tarvex = startProcess(L"\"" + std::wstring(TARVEX_EXE) + L"\"");
    HWND window = nullptr;
    ASSERT_TRUE(pumpUntil(
        [&] { return IsWindowVisible(window = FindWindowW(L"Tarvex_MainWnd", 0)); }, 10s));
    PostMessageW(GetDlgItem(window, 1001), BM_CLICK, 0, 0);
    EXPECT_TRUE(pumpUntil([] { return logEvents().size() == 2; }, 1s));
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer));
    EXPECT_EQ(logEvents(),
              (std::vector<std::wstring>{L" | monitoring auto-start", L" | monitoring stopped"}));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(tarvex, 3000), WAIT_OBJECT_0);
}

// Sparse: 5 GB that take no room on the disk.
TEST_F(DesktopFaults, GiantConfigIsNotReadAndLeftoverTemporariesGo) {
    const HANDLE config = openShared(configFilePath());
    LARGE_INTEGER size{};
    size.QuadPart = 5'000'000'000;
    ASSERT_TRUE(SetFilePointerEx(config, size, nullptr, FILE_BEGIN) && SetEndOfFile(config));
    CloseHandle(config);
    for (const wchar_t* name : {L"~tvx1234", L"keep.xml.tmp"}) writeBytes(folder + name, "kept?");
    const HWND window = startMainWindow();
    EXPECT_EQ(std::filesystem::file_size(configFilePath()), 5'000'000'000u);
    EXPECT_FALSE(std::filesystem::exists(folder + L"~tvx1234"));
    EXPECT_EQ(readBytes(folder + L"keep.xml.tmp"), "kept?");
    std::filesystem::remove(folder + L"keep.xml.tmp");
    clickButton(window, 1002);
    showEditorMessage = tell;
    chooseEditorFile = [](HWND, bool) -> std::optional<std::wstring> { return configFilePath(); };
    clickButton(configWindow, 2403);
    EXPECT_EQ(told, L"Import failed (invalid XML).");
    EXPECT_EQ(logEvents(), (std::vector<std::wstring>{
                               L" | config.xml could not be read; monitoring the default table, "
                               L"file left unchanged: " +
                                   configFilePath(),
                               L" | monitoring auto-start"}));
    closeMainWindow(window);
}

// Each probe adds one result to the target's history.
TEST_F(DesktopFaults, NoProbeFromSleepUntilFiveSecondsAfterTheWakeUp) {
    std::vector<Target> targets(targetSlotCount);
    targets[0].host = L"127.0.0.1";  // an echo every second
    targets[0].interval = 1;
    ASSERT_TRUE(writeConfigFile(configFilePath(), targets));
    const HWND window = startMainWindow();
    const auto probes = [] { return targetTable.snapshot()[0].history.size(); };
    EXPECT_TRUE(pumpUntil([&] { return probes() == 1; }, 3s));
    SendMessageW(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    pumpUntil([] { return false; }, 2s);
    EXPECT_EQ(probes(), 1u) << "asleep";
    SendMessageW(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    pumpUntil([] { return false; }, 4500ms);
    EXPECT_EQ(probes(), 1u) << "4.5 s after the wake-up";
    EXPECT_TRUE(pumpUntil([&] { return probes() == 2; }, 3s));
    EXPECT_EQ(logEvents(),
              (std::vector<std::wstring>{L" | monitoring auto-start", L" | paused for sleep",
                                         L" | resumed after sleep"}));
    closeMainWindow(window);
}
