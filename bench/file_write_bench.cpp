// The cost of writing files safely, the old way and the new way taking turns in one run:
// one monitor.log entry appended while the log window is hidden (old: the C runtime's append
// stream opened for the entry; new: appendLogLine's one locked write), with the hidden
// field's append counted in both; and one save of config.xml (old: the document written to
// "config.xml.tmp" and moved in place; new: writeConfigFile, whose temporary file is flushed
// to disk before the move).
// Usage: file_write_bench [entries] [saves]
// It overwrites monitor.log and config.xml in the data folder of the Wine prefix it runs in.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "log/event_log.h"
#include "log/log_window.h"
#include "model/data_folder.h"
#include "model/text_file.h"
#include "ui_bench.h"

namespace {

// The bytes the text files store for `text`, whose characters are all ASCII here.
std::string storedBytes(const std::wstring& text) {
    std::string bytes;
    for (const wchar_t c : text)
        bytes += c == L'\n' ? std::string("\r\n") : std::string(1, char(c));
    return bytes;
}

// Writes `text` through a C++ stream opened with `mode`; true when it all reached the file.
bool writeThroughStream(const std::wstring& path, std::ios::openmode mode,
                        const std::wstring& text) {
    std::ofstream stream(std::filesystem::path(path), std::ios::binary | mode);
    stream << storedBytes(text);
    stream.close();
    return !stream.fail();
}

// appendLogLine as it was: the append stream, and the entry handed on to the field.
void appendTheOldWay(const std::wstring& line) {
    writeThroughStream(logFilePath(), std::ios::app, line + L"\r\n");
    appendLineToLogView(line.c_str());
}

// A save as it was: "<path>.tmp" written and moved in place, its data not flushed.
bool saveTheOldWay(const std::wstring& path, const std::vector<Target>& targets) {
    const std::wstring temporary = path + L".tmp";
    return writeThroughStream(temporary, std::ios::trunc, configDocumentText(targets)) &&
           MoveFileExW(temporary.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// Runs `count` rounds in which the two ways take turns at going first.
template <typename Old, typename New>
void timeBothWays(long count, const char* oldLabel, const char* newLabel, Old oldWay, New newWay) {
    std::vector<double> oldTimes, newTimes;
    for (long round = 0; round < count; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            if ((round + turn) % 2 == 0) {
                oldTimes.push_back(millisOf([&] { oldWay(round); }));
            } else {
                newTimes.push_back(millisOf([&] { newWay(round); }));
            }
        }
        handlePendingMessages();
    }
    printFigures(oldLabel, "ms", summarize(oldTimes));
    printFigures(newLabel, "ms", summarize(newTimes));
}

}  // namespace

int main(int argc, char** argv) {
    const long entries = numberArgument(argc, argv, 1, 5000);
    const long saves = numberArgument(argc, argv, 2, 200);
    standInForTheMainWindow();
    clearLogFile();
    openLogWindow();
    SendMessageW(logWindow, WM_CLOSE, 0, 0);  // hidden, as the window is for most of a run
    handlePendingMessages();
    // The main window appends each posted entry to the field; here it is done at once.
    setLogLineSink([](const std::wstring& line) { appendLineToLogView(line.c_str()); });

    const auto entry = [](long round) {
        return formatTimestamp() + L" | 127.0.0." + std::to_wstring(round % 20 + 1) + L" | tcp:" +
               std::to_wstring(8000 + round % 20) + L" | FAIL";
    };
    timeBothWays(
        entries, "entry appended, hidden window, old way", "entry appended, hidden window, new way",
        [&](long round) { appendTheOldWay(entry(round)); },
        [&](long round) { appendLogLine(entry(round)); });

    std::vector<Target> targets(targetSlotCount);
    for (std::size_t slot = 0; slot < targets.size(); ++slot) {
        targets[slot].host = L"127.0.0." + std::to_wstring(slot + 1);
    }
    const std::wstring path = configFilePath();
    timeBothWays(
        saves, "config.xml saved, old way (no flush)", "config.xml saved, new way (flushed)",
        [&](long) { saveTheOldWay(path, targets); }, [&](long) { writeConfigFile(path, targets); });
    std::printf("config.xml: %zu bytes\n", tryReadTextFile(path).value_or(L"").size());
    return 0;
}
