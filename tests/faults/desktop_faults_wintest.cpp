// A busy desktop: files held by others or too big, a hung neighbour and a hanging look-up, sleep
// while monitoring.
#include <random>

#include "config/config_file.h"
#include "config/document_changes.h"
#include "log/event_log.h"
#include "model/file_system.h"
#include "support/import_redirect.h"
#include "support/wine_gui.h"

class DesktopFaults : public ::testing::Test {
protected:
    void SetUp() override {
        removeDataFiles();
        prompts.clear();
        showEditorMessage = answerPrompt;
    }
    static HANDLE openShared(const std::wstring& path) {
        return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, 0, nullptr);
    }
    const std::wstring folder = dataFolderPath();
};

// With monitor.log held unshared, entries reach the log window only, and "Delete log file" says
// it could not and keeps them shown; the table a failed save leaves is the one in use.
TEST_F(DesktopFaults, GiantConfigTemporariesHeldSavesAndALogHeldUnsharedLoseNothing) {
    SCOPED_TRACE("start-up and import with a 5 GB config.xml, ~tvx1234, ~tvx5678, keep.xml.tmp");
    redirectImport(systemFunction(L"user32.dll", "MessageBoxW"), (void*)answerPrompt);
    std::filesystem::remove_all(folder);  // with the young leftovers of the killed saves
    std::filesystem::create_directory(folder);
    const HANDLE giant = openShared(configFilePath());
    FILE_END_OF_FILE_INFO size{.EndOfFile{.QuadPart = 5'000'000'000}};
    ASSERT_TRUE(SetFileInformationByHandle(giant, FileEndOfFileInfo, &size, sizeof size));
    CloseHandle(giant);
    for (const wchar_t* name : {L"~tvx1234", L"~tvx5678", L"keep.xml.tmp"})
        writeBytes(folder + name, "kept?");
    std::filesystem::last_write_time(folder + L"~tvx1234",  // a killed save's
                                     std::filesystem::file_time_type::clock::now() - 2min);
    const std::string logged = "2026-01-01 00:00:00 | before\r\r\n";
    writeBytes(logFilePath(), logged);
    const HANDLE lock =
        CreateFileW(logFilePath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const HWND window = startMainWindow();
    EXPECT_EQ(std::filesystem::file_size(configFilePath()), 5'000'000'000u);
    // ~tvx5678 is fresh: another Tarvex may be about to rename it.
    EXPECT_EQ(readBytes(folder + L"keep.xml.tmp") + readBytes(folder + L"~tvx5678"), "kept?kept?");
    click(L"Log");  // the log window, opened after the first entries
    click(L"Config");
    CheckDlgButton(configWindow, enableCheckBaseId, BST_UNCHECKED);  // row 1 is never probed
    chooseEditorFile = [](HWND, bool) -> std::optional<std::wstring> { return configFilePath(); };
    click(L"Import...");
    SCOPED_TRACE("saves while config.xml is held for 300 ms, then for 5 s");
    for (const auto& [holdMs, host] : {std::pair(300, L"brief.test"), {5000, L"long.test"}}) {
        HANDLE timer = nullptr;
        CreateTimerQueueTimer(
            &timer, nullptr, [](void* held, BOOLEAN) { CloseHandle(held); },
            openShared(configFilePath()), holdMs, 0, WT_EXECUTEONLYONCE);
        SetWindowTextW(GetDlgItem(configWindow, hostEditBaseId), host);
        click(L"Save");
        EXPECT_EQ(changesOf(readBytes(configFilePath())), "slot 0: enabled 0, host brief.test\n");
    }
    EXPECT_EQ(targetTable.snapshot()[0].host, L"long.test");
    for (const auto& entry : std::filesystem::directory_iterator(folder))  // ~tvx1234 went
        if (entry.path().filename().wstring().starts_with(L"~tvx")) {
            EXPECT_EQ(entry.path().filename(), L"~tvx5678");
        }
    EXPECT_TRUE(pumpUntil([] { return logEvents(windowText(logEdit)).size() == 4; }, 3s));
    click(L"Delete log file");
    expectAsFile(prompts + eventLines(logEvents(windowText(logEdit)), L"log window"),
                 "faults/files/giant-config.txt");
    closeMainWindow(window);
    CloseHandle(lock);
    EXPECT_EQ(readBytes(logFilePath()), logged);
    // Tarvex's own reads share everything: another program may write or delete meanwhile.
    const FileHandle reading = openForReading(logFilePath());
    const HANDLE writer = openShared(logFilePath());
    EXPECT_NE(writer, INVALID_HANDLE_VALUE);
    CloseHandle(writer);
    EXPECT_TRUE(DeleteFileW(logFilePath().c_str()));
    closeFile(reading);
}

// A hung neighbour holds monitor.log's lock byte and the look-up of the only host hangs: the
// real program still answers and logs, and closing it ends it at once.
TEST_F(DesktopFaults, HungLogLockAndHangingLookupHoldNoWindowUp) {
    const wchar_t* slow = _wgetenv(L"TARVEX_SLOW_NAME");
    ASSERT_TRUE(slow) << "run in scripts/sandbox.sh, which provides a hanging name";
    ASSERT_TRUE(writeConfigFile(configFilePath(), {{.host = slow, .history = {}}}));
    const HANDLE log = openShared(logFilePath());
    ASSERT_TRUE(LockFile(log, 0xFFFFFFFE, 0x7FFFFFFF, 1, 0));  // the appenders' lock byte
    const HANDLE tarvex = startProcess(L"\"" + std::wstring(TARVEX_EXE) + L"\"");
    ASSERT_TRUE(pumpUntil([] { return logEvents().size() == 1; }, 10s));  // it is starting
    Sleep(500);  // the worker is inside the look-up by now
    const HWND window = FindWindowW(L"Tarvex_MainWnd", nullptr);
    PostMessageW(GetDlgItem(window, serverButtonId), BM_CLICK, 0, 0);
    EXPECT_TRUE(pumpUntil([] { return logEvents().size() == 2; }, 1s));
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, nullptr));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(tarvex, 3000), WAIT_OBJECT_0);
    TerminateProcess(tarvex, 99);
    const auto start = std::chrono::steady_clock::now();  // an entry waits a while for the lock
    logEvent(L"written after the wait");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 190ms);
    EXPECT_EQ(logEvents(),
              (std::vector<std::wstring>{L" | monitoring auto-start", L" | monitoring stopped",
                                         L" | written after the wait"}))
        << "the look-up never came back: no failure logged";
}

// Where no window can be made (no X display), the real program stops its worker and ends with 1
// rather than aborting with 3; a shell notes the exit code and Wine's errors in files (Wine gives
// no handle to a Unix process). A run Wine ended before the window procedure is tried again.
TEST_F(DesktopFaults, WithoutADisplayTheProgramStopsItsWorkerAndEndsWithOne) {
    const std::wstring exitCode = L"/tmp/tarvex-exit-" + std::to_wstring(std::random_device()());
    GetDesktopWindow();  // the desktop this process keeps up, not one left closing
    std::string wineSaid;
    for (int run = 1; run <= 3 && logEvents().empty(); ++run) {
        startProcess(L"/bin/sh -c \"env -u DISPLAY WINEDEBUG=err+all wine64 " TARVEX_EXE L" 2>" +
                     exitCode + L".err; echo $? >" + exitCode + L"\"");
        EXPECT_TRUE(pumpUntil([&] { return !readBytes(L"Z:" + exitCode).empty(); }, 20s));
        EXPECT_EQ(readBytes(L"Z:" + exitCode), "1\n");
        wineSaid = readBytes(L"Z:" + exitCode + L".err");
        for (const auto* end : {L"", L".err"}) std::filesystem::remove(L"Z:" + exitCode + end);
    }
    EXPECT_EQ(logEvents(), std::vector<std::wstring>{L" | monitoring auto-start"}) << wineSaid;
}

TEST_F(DesktopFaults, NoProbeFromSleepUntilFiveSecondsAfterTheWakeUp) {
    ASSERT_TRUE(
        writeConfigFile(configFilePath(), {{.host = L"127.0.0.1", .interval = 1, .history = {}}}));
    const HWND window = startMainWindow();
    const auto probes = [] { return targetTable.snapshot()[0].history.size(); };  // echoes
    EXPECT_TRUE(pumpUntil([&] { return probes() == 1; }, 3s));
    SendMessageW(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    pumpUntil([] { return false; }, 2s);
    SendMessageW(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    pumpUntil([] { return false; }, 4500ms);
    EXPECT_EQ(probes(), 1u) << "asleep for 2 s, then awake for 4.5 s";
    EXPECT_TRUE(pumpUntil([&] { return probes() == 2; }, 3s));
    EXPECT_EQ(logEvents(),
              (std::vector<std::wstring>{L" | monitoring auto-start", L" | paused for sleep",
                                         L" | resumed after sleep"}));
    closeMainWindow(window);
}
