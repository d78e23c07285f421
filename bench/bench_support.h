#pragma once
// What every engine benchmark needs: a Winsock session, the loopback addresses it may
// probe, and the min/median/p90/p99/max summary it prints. Benchmarks print figures and
// judge nothing; the goals are compared by whoever reads them.

#include <winsock2.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
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

inline const wchar_t* const loopbackHost = L"127.0.0.1";

// The sandbox's silent address, or empty outside it. Anything but a 127.66.x.x address is
// refused, so no benchmark can be pointed past this machine by its environment.
inline std::wstring blackHoleHost() {
    const char* text = std::getenv("TARVEX_BLACK_HOLE");
    if (text == nullptr || std::strncmp(text, "127.66.", 7) != 0) return {};
    return std::wstring(text, text + std::strlen(text));
}

// A decimal command-line argument, or `fallback` when it is missing or not a number.
inline long numberArgument(int argc, char** argv, int index, long fallback) {
    if (index >= argc) return fallback;
    char* end = nullptr;
    const long value = std::strtol(argv[index], &end, 10);
    return (end != argv[index] && *end == '\0') ? value : fallback;
}

// Reads "<port> <count>" as the first two arguments. When either is missing or out of range,
// prints the usage line ("usage: <exe> " and `usage`) and answers false.
inline bool readPortAndCount(int argc, char** argv, const char* usage, std::uint16_t& port,
                             long& count) {
    const long number = numberArgument(argc, argv, 1, 0);
    count = numberArgument(argc, argv, 2, 0);
    if (number <= 0 || number > 65535 || count <= 0) {
        std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
        return false;
    }
    port = static_cast<std::uint16_t>(number);
    return true;
}

struct Figures {
    std::size_t count = 0;
    double min = 0, median = 0, p90 = 0, p99 = 0, max = 0;
};

// Nearest-rank percentile of sorted samples.
inline double percentileOf(const std::vector<double>& sorted, double fraction) {
    if (sorted.empty()) return 0;
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * sorted.size()));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

inline Figures summarize(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    Figures figures;
    figures.count = samples.size();
    if (samples.empty()) return figures;
    figures.min = samples.front();
    figures.median = percentileOf(samples, 0.5);
    figures.p90 = percentileOf(samples, 0.9);
    figures.p99 = percentileOf(samples, 0.99);
    figures.max = samples.back();
    return figures;
}

inline void printFigures(const char* label, const char* unit, const Figures& figures) {
    std::printf("%-46s n=%-6zu min %9.3f  median %9.3f  p90 %9.3f  p99 %9.3f  max %9.3f %s\n",
                label, figures.count, figures.min, figures.median, figures.p90, figures.p99,
                figures.max, unit);
}

inline double nanosToMillis(std::int64_t nanos) { return static_cast<double>(nanos) / 1e6; }

// The probe-cost loop of the program's probes and the minimal Win32 sequence, so that all
// are timed the same way. After a few untimed warm-up calls, `count` rounds in which every
// set makes one TCP probe of 127.0.0.1:<port> and one ICMP probe of 127.0.0.1, the sets
// taking turns at going first; every probe is printed as
// "<set> tcp|icmp <nanoseconds> <1 answered|0 not>".
// Usage: <exe> <listening port> <count>.
struct ProbeSet {
    const char* name;
    bool (*tcp)(std::uint16_t port);
    bool (*icmp)();
};

template <typename Probe>
void printTimedProbe(const char* set, const char* kind, Probe probe) {
    const std::int64_t start = steadyNowNanos();
    const bool answered = probe();
    const auto nanos = static_cast<long long>(steadyNowNanos() - start);
    std::printf("%s %s %lld %d\n", set, kind, nanos, answered);
}

inline int runAlternatingProbes(int argc, char** argv, const std::vector<ProbeSet>& sets) {
    std::uint16_t port = 0;
    long count = 0;
    if (!readPortAndCount(argc, argv, "<listening port> <probes of each kind>", port, count)) {
        return 2;
    }
    const WinsockSession winsock;
    if (!winsock.ok()) return 1;
    constexpr int warmUpRounds = 5;
    for (int round = 0; round < warmUpRounds; ++round) {
        for (const ProbeSet& set : sets) {
            set.tcp(port);
            set.icmp();
        }
    }
    for (long round = 0; round < count; ++round) {
        for (std::size_t turn = 0; turn < sets.size(); ++turn) {
            const ProbeSet& set = sets[(static_cast<std::size_t>(round) + turn) % sets.size()];
            printTimedProbe(set.name, "tcp", [&] { return set.tcp(port); });
            printTimedProbe(set.name, "icmp", [&] { return set.icmp(); });
        }
    }
    return 0;
}
