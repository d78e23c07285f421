#include "log/event_log.h"

#include <cstdint>
#include <cwchar>
#include <mutex>

#include "log/local_time.h"
#include "model/data_folder.h"
#include "model/file_system.h"
#include "model/text_file.h"

namespace {

std::mutex sinkMutex;
LogLineSink lineSink;

// One entry is one line: a line feed in a host name read from a file must not split it.
std::wstring oneLine(const std::wstring& line) {
    std::wstring text = line;
    for (wchar_t& c : text) {
        if (static_cast<std::uint32_t>(c) < 0x20) c = L'?';
    }
    return text;
}

}  // namespace

std::wstring formatTimestamp() {
    const LocalTime now = readLocalTime();
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%04u-%02u-%02u %02u:%02u:%02u", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    return buffer;
}

void appendLogLine(const std::wstring& line) {
    const std::wstring text = oneLine(line);
    // One write per entry, so that it lands whole beside other writers' entries. The text-mode
    // rule turns the "\n" of "\r\n" into CR LF: CR CR LF on disk.
    const std::wstring entry = text + L"\r\n";
    // The folder is made at start-up; should it go while Tarvex runs, it is made again.
    if (!appendTextWhole(logFilePath(), entry)) {
        dataFolderPath();
        appendTextWhole(logFilePath(), entry);
    }
    LogLineSink sink;
    {
        std::scoped_lock lock(sinkMutex);
        sink = lineSink;
    }
    if (sink) sink(text);
}

void logEvent(const std::wstring& event) { appendLogLine(formatTimestamp() + L" | " + event); }

bool clearLogFile() { return emptyAppendedFile(logFilePath()); }

void setLogLineSink(LogLineSink sink) {
    std::scoped_lock lock(sinkMutex);
    lineSink = std::move(sink);
}
