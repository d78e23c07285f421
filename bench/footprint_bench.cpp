// The program's footprint under Wine. One figure per run, so that each is taken in a fresh
// process:
//   footprint_bench empty        private bytes and working set of a process that shows one
//                                empty Win32 window, as a baseline
//   footprint_bench main         the same for the real main window, created in this process
//                                as the program's entry does, with the monitor view and the
//                                status panel shown and 20 targets holding 2500 results and
//                                round-trip times each
//   footprint_bench run <port> <seconds>
//                                writes a config.xml of 20 loopback targets at 2 s (TCP at
//                                127.0.0.1:<port> + slot on even slots, ICMP on odd ones),
//                                starts Tarvex.exe, times its first paint (from the call that
//                                starts it to the status lamp on screen), waits 5 s, prints
//                                "measuring", waits <seconds>, prints "measured" and closes
//                                it; the script samples its CPU time between the two lines.

// commctrl.h and psapi.h need windows.h before them.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
// clang-format on

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/main_window.h"
#include "app/program_start.h"
#include "bench_support.h"
#include "config/config_file.h"
#include "engine_run.h"
#include "model/data_folder.h"
#include "model/target_table.h"
#include "ui/messages.h"

namespace {

constexpr int monitorButtonId = 1003;
constexpr int statusButtonId = 1005;
constexpr POINT lampCentre{23, 25};
constexpr COLORREF lampGreen = RGB(0, 170, 0);

// Private bytes are the commit charge, PagefileUsage (PrivateUsage holds the same on Windows
// but reads 0 under Wine 8).
void printMemory(const char* what) {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf("%s private_kb %zu working_set_kb %zu\n", what, counters.PagefileUsage / 1024,
                counters.WorkingSetSize / 1024);
}

// Lets the windows settle: every pending paint done, a second of messages handled.
void settle() {
    const std::int64_t end = steadyNowNanos() + 1'000'000'000;
    while (steadyNowNanos() < end) {
        handlePendingMessages();
        Sleep(10);
    }
}

int emptyWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"FootprintBench_Empty";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"empty", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, mainWindowWidth, 810, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    settle();
    printMemory("empty");
    return 0;
}

// Targets in use with full histories and round-trip times; due only in an hour, so the worker
// runs but probes nothing while the figures are taken.
void fillFullHistories() {
    std::uint32_t random = 20260301;
    std::vector<Target> table = targetTable.snapshot();
    const std::int64_t inAnHour = steadyNowNanos() + 3600LL * 1'000'000'000;
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) {
        Target& target = table[slot];
        target.host = L"127.0.0." + std::to_wstring(slot + 1);
        fillFullHistory(target, random);
        target.nextDue = inAnHour;
    }
    targetTable.assign(std::move(table));
}

// As the program's entry starts, but from the default table: a config.xml left by a run
// would have the worker probe at once.
int mainWindowWithFullHistories() {
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(configFilePath()), ignored);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    HWND window = nullptr;
    startProgram(GetModuleHandleW(nullptr), window);
    // Filled and laid out before it is first shown, so that the first paint draws it all.
    fillFullHistories();
    SendMessageW(GetDlgItem(window, monitorButtonId), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(window, statusButtonId), BM_CLICK, 0, 0);
    PostMessageW(window, WM_APP_REFRESH, 0, 0);
    ShowWindow(window, SW_SHOWNORMAL);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    settle();
    printMemory("main");
    DestroyWindow(window);
    handlePendingMessages();
    return 0;
}

// True once the status lamp of a Tarvex main window is on the screen.
bool lampPainted() {
    HWND window = FindWindowW(L"Tarvex_MainWnd", nullptr);
    if (!window || !IsWindowVisible(window)) return false;
    POINT point = lampCentre;
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour == lampGreen;
}

int runProgram(int firstPort, long seconds) {
    if (!writeConfigFile(configFilePath(), loopbackTargets(firstPort))) {
        std::fprintf(stderr, "footprint_bench: config.xml could not be written\n");
        return 1;
    }
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring program =
        (std::filesystem::path(self).parent_path().parent_path() / L"Tarvex.exe").wstring();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    const std::int64_t launched = steadyNowNanos();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::fprintf(stderr, "footprint_bench: Tarvex.exe could not be started\n");
        return 1;
    }
    while (!lampPainted() && steadyNowNanos() - launched < 30'000'000'000LL) Sleep(1);
    std::printf("first_paint_ms %.1f\n", nanosToMillis(steadyNowNanos() - launched));

    // GetProcessTimes of another process reads 0 under Wine 8: the script samples the CPU
    // time of the process from /proc between the two markers.
    Sleep(5000);
    std::printf("measuring\n");
    std::fflush(stdout);
    Sleep(static_cast<DWORD>(seconds * 1000));
    std::printf("measured\n");
    std::fflush(stdout);

    PostMessageW(FindWindowW(L"Tarvex_MainWnd", nullptr), WM_CLOSE, 0, 0);
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 10'000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    }
    std::printf("exit_code %lu\n", exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    if (std::strcmp(mode, "empty") == 0) return emptyWindow();
    if (std::strcmp(mode, "main") == 0) return mainWindowWithFullHistories();
    if (std::strcmp(mode, "run") == 0 && argc == 4) {
        return runProgram(static_cast<int>(numberArgument(argc, argv, 2, 47200)),
                          numberArgument(argc, argv, 3, 60));
    }
    std::fprintf(stderr, "usage: footprint_bench empty | main | run <first port> <seconds>\n");
    return 2;
}
