// Two threads append 2,000 entries each through the program's own logging code.
// Usage: log_writer.exe <one-letter tag>
#include <thread>

#include "log/event_log.h"

int main(int argc, char** argv) {
    const wchar_t tag = argc > 1 ? argv[1][0] : L'?';
    const auto writeEntries = [tag](wchar_t thread) {
        for (int n = 0; n < 2000; ++n)
            appendLogLine(formatTimestamp() + L" | " + tag + thread + L"\t" + std::to_wstring(n));
    };
    std::jthread second(writeEntries, L'1');
    writeEntries(L'0');
}
