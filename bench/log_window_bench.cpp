// The log window on a large monitor.log: the first opening (window, controls and text),
// openings of the hidden window again ("Log" pressed once more: shown and reloaded), then
// live entries appended one by one while the window is shown and while it is hidden, with
// messages handled between them as the program's message loop would.
// Usage: log_window_bench <log size in MB> [reopenings] [appended entries]
// It overwrites monitor.log in the data folder of the Wine prefix it runs in.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "log/log_window.h"
#include "model/data_folder.h"
#include "ui_bench.h"

namespace {

// Entries as the event log writes them, CR CR LF at the end, until `megabytes` are written.
void writeLog(long megabytes) {
    std::ofstream file(std::filesystem::path(logFilePath()), std::ios::binary | std::ios::trunc);
    const long long target = megabytes * 1024LL * 1024LL;
    std::string chunk;
    long long written = 0;
    for (long entry = 0; written < target; ++entry) {
        char line[96];
        const int length = std::snprintf(
            line, sizeof line, "2026-03-01 09:%02ld:%02ld | 127.0.0.%ld | tcp:%ld | FAIL\r\r\n",
            entry / 60 % 60, entry % 60, entry % 20 + 1, 8000 + entry % 20);
        chunk.append(line, static_cast<std::size_t>(length));
        written += length;
        if (chunk.size() > (1 << 20)) {
            file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.clear();
        }
    }
    file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
}

// openLogWindow, then the window and its controls painted.
double timeOpening() {
    return millisOf([] {
        openLogWindow();
        RedrawWindow(logWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    });
}

std::vector<double> timeAppends(long count, std::vector<double>& repaints) {
    std::vector<double> appends;
    for (long entry = 0; entry < count; ++entry) {
        wchar_t line[96];
        std::swprintf(line, 96, L"2026-03-02 10:%02ld:%02ld | 127.0.0.%ld | icmp | FAIL",
                      entry / 60 % 60, entry % 60, entry % 20 + 1);
        appends.push_back(millisOf([&line] { appendLineToLogView(line); }));
        repaints.push_back(millisOf(handlePendingMessages));
    }
    return appends;
}

}  // namespace

int main(int argc, char** argv) {
    const long megabytes = numberArgument(argc, argv, 1, 0);
    const long reopenings = numberArgument(argc, argv, 2, 10);
    const long appended = numberArgument(argc, argv, 3, 10000);
    if (megabytes <= 0) {
        std::fprintf(stderr, "usage: %s <log size in MB> [reopenings] [appended entries]\n",
                     argv[0]);
        return 2;
    }
    standInForTheMainWindow();
    writeLog(megabytes);

    const double first = timeOpening();
    std::printf("monitor.log of %ld MB: first opening %.3f ms, the field holds %d characters\n",
                megabytes, first, GetWindowTextLengthW(logEdit));
    std::vector<double> openings;
    for (long round = 0; round < reopenings; ++round) {
        SendMessageW(logWindow, WM_CLOSE, 0, 0);
        handlePendingMessages();
        openings.push_back(timeOpening());
    }
    printFigures("opening again (show and reload)", "ms", summarize(openings));
    if (appended <= 0) return 0;

    std::vector<double> repaints;
    printFigures("one entry appended, window shown", "ms",
                 summarize(timeAppends(appended, repaints)));
    printFigures("messages handled after it (repaint)", "ms", summarize(repaints));
    SendMessageW(logWindow, WM_CLOSE, 0, 0);
    handlePendingMessages();
    repaints.clear();
    printFigures("one entry appended, window hidden", "ms",
                 summarize(timeAppends(appended, repaints)));
    std::printf("the field holds %d characters after %ld + %ld entries\n",
                GetWindowTextLengthW(logEdit), appended, appended);
    return 0;
}
