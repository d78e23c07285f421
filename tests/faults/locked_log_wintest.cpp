// monitor.log held open without sharing by another process (this test) while the real
// Tarvex.exe monitors a loopback port that fails: every entry still reaches the log window,
// probing goes on, the window keeps answering, the locked file is left as it was, and once
// the lock is gone new entries reach the file again.

#include <gtest/gtest.h>

#include <string>

#include "config/config_file.h"
#include "faults/fault_support.h"
#include "model/data_folder.h"
#include "support/wine_gui.h"

namespace {

// The whole file, read through the handle that holds it (no other open gets through).
std::string bytesThrough(HANDLE file) {
    std::string bytes(GetFileSize(file, nullptr), '\0');
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

std::size_t occurrences(const std::wstring& text, const std::wstring& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(LockedLog, EntriesReachTheLogWindowAndProbingGoesOn) {
    removeDataFiles();
    ASSERT_TRUE(startWinsock());
    const std::uint16_t closed = closedLoopbackPort();
    std::vector<Target> targets(targetSlotCount);
    for (Target& target : targets) target.enabled = false;
    targets[0] = Target{true, ProbeType::tcp, L"127.0.0.1", closed, 1, {}, 0};
    ASSERT_TRUE(writeConfigFile(configFilePath(), targets));
    const std::wstring logPath = logFilePath();
    const std::string before = "2026-01-01 00:00:00 | written before the lock\r\r\n";
    {
        HANDLE file = CreateFileW(logPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                  nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, before.data(), static_cast<DWORD>(before.size()), &written, nullptr);
        CloseHandle(file);
    }
    HANDLE lock = CreateFileW(logPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    ChildProcess program(buildTreeProgram(L"Tarvex.exe"));
    ASSERT_TRUE(program.started());
    HWND window = shownMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(GetDlgItem(window, 1004), BM_CLICK, 0, 0);  // open the log window
    HWND logField = nullptr;
    ASSERT_TRUE(pumpUntil(
        [&] { return (logField = GetDlgItem(FindWindowW(L"Tarvex_LogWnd", nullptr), 3001)); },
        5s));

    // A closed port fails after the 1 s wait each time; three failures show probing goes on.
    const std::wstring failure = L" | 127.0.0.1 | tcp:" + std::to_wstring(closed) + L" | FAIL\r\n";
    std::wstring shown;
    EXPECT_TRUE(pumpUntil(
        [&] { return occurrences(shown = remoteWindowText(logField), failure) >= 3; }, 15s))
        << "log window: " << testing::PrintToString(shown);
    EXPECT_TRUE(answersWithin(window, 1000ms));
    EXPECT_EQ(bytesThrough(lock), before);

    CloseHandle(lock);
    const auto reachedFile = [&] {
        return fileBytes(logPath).find(" | 127.0.0.1 | tcp:" + std::to_string(closed) +
                                       " | FAIL\r\r\n") != std::string::npos;
    };
    EXPECT_TRUE(pumpUntil(reachedFile, 5s)) << "no entry reached the file after the lock";
    EXPECT_EQ(fileBytes(logPath).rfind(before, 0), 0u);

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.hasEnded(3000ms));
    EXPECT_EQ(program.exitCode(), 0u);
}

}  // namespace
