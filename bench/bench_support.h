#pragma once
// What every benchmark needs: a Winsock session, its arguments, messages handled between timed
// steps, and the min/median/p90/p99/max summary it prints. Benchmarks print figures and judge
// nothing; bench/README.md holds the goals.

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "model/clock.h"

// Winsock 2.2 for the life of the benchmark, as the program starts it in its entry.
class WinsockSession {
public:
    WinsockSession() {
        WSADATA data{};
        ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockSession() {
        if (ok_) WSACleanup();
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;

    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// A decimal command-line argument, or `fallback` when it is missing or not a number.
inline long numberArgument(int argc, char** argv, int index, long fallback) {
    if (index >= argc) return fallback;
    char* end = nullptr;
    const long value = std::strtol(argv[index], &end, 10);
    return (end != argv[index] && *end == '\0') ? value : fallback;
}

inline void handlePendingMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

inline double nanosToMillis(std::int64_t nanos) { return static_cast<double>(nanos) / 1e6; }

// Milliseconds that `step` takes.
template <typename Step>
double millisOf(Step&& step) {
    const std::int64_t start = steadyNowNanos();
    step();
    return nanosToMillis(steadyNowNanos() - start);
}

// Nearest-rank percentile of sorted samples.
inline double percentileOf(const std::vector<double>& sorted, double fraction) {
    if (sorted.empty()) return 0;
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * sorted.size()));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

inline void printFigures(const char* label, const char* unit, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const double min = samples.empty() ? 0 : samples.front();
    const double max = samples.empty() ? 0 : samples.back();
    std::printf("%-46s n=%-6zu min %9.3f  median %9.3f  p90 %9.3f  p99 %9.3f  max %9.3f %s\n",
                label, samples.size(), min, percentileOf(samples, 0.5), percentileOf(samples, 0.9),
                percentileOf(samples, 0.99), max, unit);
}
