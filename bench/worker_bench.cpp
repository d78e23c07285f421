// The real worker with the real probes on loopback, one figure set per mode (ports are the
// script's listener's; every probe is noted through the worker's probe hooks):
//   worker_bench schedule <first port> <seconds>
//       the 20 targets at 2 s: how late each probe starts behind its due time, the periods
//   worker_bench save-hold <first port>
//       the same targets while a Save meets a config.xml that another handle holds open for
//       5 s: the probes of slot 0 (TCP, 2 s) around it
//   worker_bench refused <first port> <first closed port> <probes> <seconds>
//       a refused port's time to fail, then the period of one answering target (slot 19)
//       among 19 refused ports
//   worker_bench probes <first port> <seconds>
//       the same 20 probes every 2 s with no worker and no window, between a "measuring" and
//       a "measured" line, for the script's reading of the CPU time
//   worker_bench cost <first port> <rounds> <probes>
//       probeTcp of the listener's first port and probeIcmp of 127.0.0.1 beside the same Win32
//       calls made by hand, in turn, <probes> of each a round: the time of each and per round
//       the ratio of their medians
// It overwrites config.xml and monitor.log in the data folder of its Wine prefix.

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <thread>

#include "bare_probes.h"
#include "config/config_file.h"
#include "config/config_store.h"
#include "engine/probes.h"
#include "engine_run.h"
#include "model/data_folder.h"

namespace {

struct ProbeRecord {
    std::size_t slot;
    std::int64_t due;
    std::int64_t start;
};

// Written by the worker thread only and read after it has been joined.
std::vector<ProbeRecord> records;

// The worker does not hold the lock while it probes, so the hook may take it; the entry still
// holds the due time the worker tested, as the result is recorded only afterwards.
void noteProbe(ProbeType type, const std::wstring& host, std::uint16_t port) {
    ProbeRecord record{targetSlotCount, 0, 0};
    const std::vector<Target> table = targetTable.snapshot(0);  // due times, no results
    for (std::size_t slot = 0; slot < table.size(); ++slot) {
        const Target& entry = table[slot];
        if (entry.type == type && entry.host == host && entry.port == port) {
            record = {slot, entry.nextDue, 0};
        }
    }
    record.start = steadyNowNanos();
    records.push_back(record);
}

ProbeWorkerHooks notingHooks() {
    ProbeWorkerHooks hooks;
    hooks.probeIcmp = [](const std::wstring& host, std::int64_t& roundTrip) {
        noteProbe(ProbeType::icmp, host, 0);
        return probeIcmp(host, roundTrip);
    };
    hooks.probeTcp = [](const std::wstring& host, std::uint16_t port, std::int64_t& roundTrip) {
        noteProbe(ProbeType::tcp, host, port);
        return probeTcp(host, port, roundTrip);
    };
    return hooks;
}

void sleepSeconds(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

double secondsBetween(std::int64_t from, std::int64_t to) { return double(to - from) / 1e9; }

// The periods of `slot`: the start of one probe to the start of the next.
std::vector<double> periodsOf(std::size_t slot) {
    std::vector<double> periods;
    std::int64_t last = 0;
    for (const ProbeRecord& record : records) {
        if (record.slot != slot) continue;
        if (last != 0) periods.push_back(secondsBetween(last, record.start));
        last = record.start;
    }
    return periods;
}

int schedule(int firstPort, long seconds) {
    runWorker(loopbackTargets(firstPort), notingHooks(), [seconds] { sleepSeconds(seconds); });
    std::vector<double> lateness;
    std::vector<double> periods;
    for (const ProbeRecord& record : records) {
        lateness.push_back(nanosToMillis(record.start - record.due));
    }
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) {
        const std::vector<double> own = periodsOf(slot);
        periods.insert(periods.end(), own.begin(), own.end());
    }
    std::printf("schedule: 20 targets at %d s for %ld s, %zu probes (ideal %ld)\n",
                benchIntervalSeconds, seconds, records.size(), seconds / 2 * 20);
    printFigures("lateness behind due time", "ms", lateness);
    printFigures("period between probes of one target", "s", periods);
    return 0;
}

int saveHold(int firstPort) {
    const std::vector<Target> targets = loopbackTargets(firstPort);
    dataFolderPath();
    writeConfigFile(configFilePath(), targets);
    constexpr double saveAt = 7, holdSeconds = 5;
    std::int64_t saveStart = 0;
    std::int64_t saveEnd = 0;
    bool stored = false;
    const std::int64_t start = runWorker(targets, notingHooks(), [&] {
        sleepSeconds(saveAt);
        // As a virus scanner or a second Tarvex reading it: every kind of sharing allowed.
        const HANDLE held = CreateFileW(configFilePath().c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        std::thread release([held] {
            sleepSeconds(holdSeconds);
            CloseHandle(held);
        });
        saveStart = steadyNowNanos();
        stored = placeAndStoreTable(targets);  // the program's Save, as "Save" makes it
        saveEnd = steadyNowNanos();
        release.join();
        sleepSeconds(saveAt);
    });
    std::printf(
        "save-hold: 20 targets at %d s; config.xml held open %.0f s from +%.3f s; the Save "
        "ran +%.3f to +%.3f s and %s config.xml\n",
        benchIntervalSeconds, holdSeconds, secondsBetween(start, saveStart),
        secondsBetween(start, saveStart), secondsBetween(start, saveEnd),
        stored ? "wrote" : "did not write");
    std::printf("  slot 0 (tcp 127.0.0.1:%d): probe start, late behind its due time, period (s)\n",
                firstPort);
    std::int64_t last = 0;
    for (const ProbeRecord& record : records) {
        if (record.slot != 0) continue;
        std::printf("  %+8.3f %7.3f %7.3f%s\n", secondsBetween(start, record.start),
                    secondsBetween(record.due, record.start),
                    last == 0 ? 0.0 : secondsBetween(last, record.start),
                    record.due >= saveStart && last < saveStart ? "  <- due at the Save" : "");
        last = record.start;
    }
    return 0;
}

int refused(int firstPort, int firstClosed, long probes, long seconds) {
    std::vector<double> failTimes;
    long answered = 0;
    std::int64_t roundTrip = 0;
    for (long i = 0; i < probes; ++i) {
        failTimes.push_back(millisOf([&] {
            answered += probeTcp(loopbackHost, static_cast<std::uint16_t>(firstClosed), roundTrip);
        }));
    }
    printFigures("tcp probe of a refused 127.0.0.1 port", "ms", failTimes);
    std::printf("%-46s answered %ld of %ld (should be 0)\n", "", answered, probes);

    std::vector<Target> targets = loopbackTargets(0);
    for (std::size_t slot = 0; slot < targets.size(); ++slot) {
        targets[slot].type = ProbeType::tcp;
        targets[slot].host = loopbackHost;
        targets[slot].port = static_cast<std::uint16_t>(firstClosed + static_cast<int>(slot));
    }
    constexpr std::size_t answeringSlot = 19;
    targets[answeringSlot].port = static_cast<std::uint16_t>(firstPort);
    runWorker(targets, notingHooks(), [seconds] { sleepSeconds(seconds); });
    std::printf("19 refused ports + 1 answering target at %d s, %ld s\n", benchIntervalSeconds,
                seconds);
    printFigures("period of the answering target", "s", periodsOf(answeringSlot));
    return 0;
}

void marker(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// Rounds of the 20 probes, one round every interval, 3 rounds before the measured ones.
int bareProbes(int firstPort, long seconds) {
    const std::vector<Target> targets = loopbackTargets(firstPort);
    const std::int64_t interval = benchIntervalSeconds * nanosPerSecond;
    const std::int64_t mark = steadyNowNanos() + 3 * interval;
    const std::int64_t end = mark + seconds * nanosPerSecond;
    int failed = 0;
    std::int64_t roundTrip = 0;
    for (std::int64_t due = mark - 3 * interval; due < end; due += interval) {
        sleepSeconds(secondsBetween(steadyNowNanos(), due));
        if (due == mark) marker("measuring");
        for (const Target& target : targets) {
            failed +=
                !(target.type == ProbeType::tcp ? probeTcp(target.host, target.port, roundTrip)
                                                : probeIcmp(target.host, roundTrip));
        }
    }
    sleepSeconds(secondsBetween(steadyNowNanos(), end));
    marker("measured");
    std::printf("failed_probes %d\n", failed);
    sleepSeconds(1);  // alive while the script reads its CPU time after "measured"
    return 0;
}

// The program's probe and the bare calls in turn, the order changing every two probes so that
// neither always follows the other: per round the median of each and their ratio.
int probeCost(int firstPort, long rounds, long probes) {
    const auto port = static_cast<std::uint16_t>(firstPort);
    std::int64_t roundTrip = 0;
    const std::function<bool()> pairs[][2] = {
        {[&] { return probeTcp(loopbackHost, port, roundTrip); },
         [&] { return bareTcp(loopbackHost, port); }},
        {[&] { return probeIcmp(loopbackHost, roundTrip); },
         [] { return bareIcmp(loopbackHost); }}};
    const char* const names[][2] = {
        {"probeTcp, listening 127.0.0.1 port", "the same calls by hand"},
        {"probeIcmp, 127.0.0.1", "the same calls by hand"}};
    long failed = 0;
    std::printf("cost: %ld rounds of %ld probes of each\n", rounds, probes);
    for (std::size_t kind = 0; kind < std::size(pairs); ++kind) {
        std::vector<double> all[2];
        std::vector<double> ratios;
        for (long round = 0; round < rounds; ++round) {
            std::vector<double> own[2];
            for (long i = 0; i < 2 * probes; ++i) {
                const std::size_t which = static_cast<std::size_t>(i + i / 2) % 2;
                own[which].push_back(1000 *
                                     millisOf([&] { failed += !pairs[kind][which](); }));  // us
            }
            double medians[2];
            for (std::size_t which = 0; which < 2; ++which) {
                std::sort(own[which].begin(), own[which].end());
                medians[which] = percentileOf(own[which], 0.5);
                all[which].insert(all[which].end(), own[which].begin(), own[which].end());
            }
            ratios.push_back(medians[0] / medians[1]);
        }
        printFigures(names[kind][0], "us", all[0]);
        printFigures(names[kind][1], "us", all[1]);
        printFigures("ratio of the round's medians", "", ratios);
    }
    std::printf("%-46s failed probes %ld (should be 0)\n", "", failed);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "";
    const int firstPort = static_cast<int>(numberArgument(argc, argv, 2, 0));
    const WinsockSession winsock;
    if (!winsock.ok()) return 1;
    if (firstPort > 0 && firstPort <= 65535 - 20) {
        if (std::strcmp(mode, "schedule") == 0 && argc == 4) {
            return schedule(firstPort, numberArgument(argc, argv, 3, 60));
        }
        if (std::strcmp(mode, "save-hold") == 0 && argc == 3) return saveHold(firstPort);
        if (std::strcmp(mode, "refused") == 0 && argc == 6) {
            return refused(firstPort, static_cast<int>(numberArgument(argc, argv, 3, 47320)),
                           numberArgument(argc, argv, 4, 200), numberArgument(argc, argv, 5, 60));
        }
        if (std::strcmp(mode, "probes") == 0 && argc == 4) {
            return bareProbes(firstPort, numberArgument(argc, argv, 3, 60));
        }
        if (std::strcmp(mode, "cost") == 0 && argc == 5) {
            return probeCost(firstPort, numberArgument(argc, argv, 3, 20),
                             numberArgument(argc, argv, 4, 200));
        }
    }
    std::fprintf(stderr,
                 "usage: worker_bench schedule <first port> <seconds> | save-hold <first port> | "
                 "refused <first port> <first closed port> <probes> <seconds> | "
                 "probes <first port> <seconds> | cost <first port> <rounds> <probes>\n");
    return 2;
}
