// How well the real worker keeps its schedule: 20 loopback targets at an interval of 2 s,
// probed by the real probes for a while. Every probe is noted through the worker's probe
// hooks with its slot, the due time the table held for it and when it started and ended.
// Prints probes per target against the ideal, the lateness of each probe behind its due
// time, the period between two probes of one target and the time one sweep takes.
// Usage: schedule_bench <seconds> <targets that time out, 0 to 4> <first listening port>
//                       <closed port>

#include <map>

#include "engine/probes.h"
#include "engine_run.h"

namespace {

struct ProbeRecord {
    std::size_t slot;
    std::int64_t due;
    std::int64_t start;
    std::int64_t end;
    bool answered;
};

// Written by the worker thread only and read after it has been joined.
std::vector<ProbeRecord> records;

struct SlotDue {
    std::size_t slot = 0;
    std::int64_t due = 0;
};

// The worker does not hold the lock while it probes, so the hook may take it; the entry
// still holds the due time the worker tested, as the result is recorded only afterwards.
SlotDue findSlot(ProbeType type, const std::wstring& host, std::uint16_t port) {
    const std::vector<Target> entries = targetTable.snapshot();
    for (std::size_t slot = 0; slot < entries.size(); ++slot) {
        const Target& entry = entries[slot];
        if (entry.type == type && entry.host == host &&
            (type == ProbeType::icmp || entry.port == port)) {
            return {slot, entry.nextDue};
        }
    }
    return {};
}

template <typename Probe>
bool noted(ProbeType type, const std::wstring& host, std::uint16_t port, Probe probe) {
    const SlotDue slotDue = findSlot(type, host, port);
    const std::int64_t start = steadyNowNanos();
    const bool answered = probe();
    records.push_back({slotDue.slot, slotDue.due, start, steadyNowNanos(), answered});
    return answered;
}

ProbeWorkerHooks notingHooks() {
    ProbeWorkerHooks hooks;
    hooks.probeIcmp = [](const std::wstring& host) {
        return noted(ProbeType::icmp, host, 0, [&] { return probeIcmp(host); });
    };
    hooks.probeTcp = [](const std::wstring& host, std::uint16_t port) {
        return noted(ProbeType::tcp, host, port, [&] { return probeTcp(host, port); });
    };
    return hooks;
}

void printProbeCounts(const std::vector<Target>& targets, std::int64_t start, long seconds) {
    std::map<std::size_t, int> probes;
    std::map<std::size_t, int> failed;
    const std::int64_t end = start + seconds * nanosPerSecond;
    for (const ProbeRecord& record : records) {
        if (record.start >= end) continue;
        ++probes[record.slot];
        if (!record.answered) ++failed[record.slot];
    }
    std::vector<double> counts;
    for (std::size_t slot = 0; slot < targets.size(); ++slot) {
        counts.push_back(probes[slot]);
        if (failed[slot] > 0) {
            std::printf("  slot %2zu %-22s failed %d of %d probes\n", slot,
                        targetText(targets[slot]).c_str(), failed[slot], probes[slot]);
        }
    }
    const double ideal = static_cast<double>(seconds) / benchIntervalSeconds;
    const Figures figures = summarize(counts);
    printFigures("probes per target", "", figures);
    std::printf("%-46s ideal %.0f; median / ideal %.3f\n", "", ideal, figures.median / ideal);
}

void printTimings() {
    std::vector<double> lateness;
    std::vector<double> periods;
    std::vector<double> sweeps;
    std::map<std::size_t, std::int64_t> lastStart;
    std::size_t sweepBegin = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ProbeRecord& record = records[i];
        lateness.push_back(nanosToMillis(record.start - record.due));
        if (lastStart.count(record.slot) != 0) {
            periods.push_back(nanosToMillis(record.start - lastStart[record.slot]) / 1000);
        }
        lastStart[record.slot] = record.start;
        // A sweep visits the slots in rising order; the last one may have been cut short.
        const bool sweepEnds = i + 1 < records.size() && records[i + 1].slot <= record.slot;
        if (sweepEnds) {
            sweeps.push_back(nanosToMillis(record.end - records[sweepBegin].start));
            sweepBegin = i + 1;
        }
    }
    printFigures("lateness behind due time", "ms", summarize(lateness));
    printFigures("period between probes of one target", "s", summarize(periods));
    printFigures("sweep (first probe start to last probe end)", "ms", summarize(sweeps));
}

}  // namespace

int main(int argc, char** argv) {
    const long seconds = numberArgument(argc, argv, 1, 0);
    const long timingOut = numberArgument(argc, argv, 2, -1);
    const long firstPort = numberArgument(argc, argv, 3, 0);
    const long closedPort = numberArgument(argc, argv, 4, 0);
    if (seconds <= 0 || timingOut < 0 || timingOut > static_cast<long>(maxTimingOut) ||
        firstPort <= 0 || firstPort > 65535 - 20 || closedPort <= 0 || closedPort > 65535 - 4) {
        std::fprintf(stderr, "usage: %s <seconds> <timing out 0..4> <first port> <closed port>\n",
                     argv[0]);
        return 2;
    }
    const WinsockSession winsock;
    if (!winsock.ok()) return 1;
    const std::vector<Target> targets =
        loopbackTargets(static_cast<int>(firstPort), static_cast<int>(closedPort),
                        static_cast<std::size_t>(timingOut));
    records.reserve(static_cast<std::size_t>(seconds) * targets.size());

    std::printf("schedule: 20 targets, interval %d s, %ld s, %ld timing out\n",
                benchIntervalSeconds, seconds, timingOut);
    const std::int64_t start = runWorkerFor(targets, notingHooks(), seconds);
    printProbeCounts(targets, start, seconds);
    printTimings();
    return 0;
}
