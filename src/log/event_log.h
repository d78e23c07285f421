#pragma once
// monitor.log: one line per event, "YYYY-MM-DD hh:mm:ss | event", appended from any thread.

#include <functional>
#include <string>

// Local time as "%04u-%02u-%02u %02u:%02u:%02u".
std::wstring formatTimestamp();

// Appends `line` (time stamp and event text, no line end) to monitor.log and hands a copy
// to the installed sink. The file is opened anew for each entry, and each entry lands whole
// at its end whichever thread or process writes it; when the file cannot be opened the entry
// still reaches the sink. Control characters are written as "?" so that one entry is always
// one line, and so are characters the file cannot store.
void appendLogLine(const std::wstring& line);

// The one way the program logs: appends "<time stamp> | <event>", e.g. logEvent(L"monitoring
// started").
void logEvent(const std::wstring& event);

// Empties monitor.log (creating it when missing) without cutting an entry being appended;
// entries written after it stay in the file. False when it could not be emptied.
bool clearLogFile();

// Receives every entry as written to the file (the program posts it to the main window).
// Install before any other thread logs; an empty function removes the sink.
using LogLineSink = std::function<void(const std::wstring& line)>;
void setLogLineSink(LogLineSink sink);
