// What a closed port costs: how long a TCP probe of a refused loopback port takes to fail,
// and how a refused port delays the other targets. The second part runs the real worker with
// the real probes over 19 targets at refused loopback ports and one answering target, all at
// an interval of 2 s, and times the answering target's period (the start of one probe to the
// start of its next).
// Usage: refused_ports_bench <first closed port> <listening port> <probes> <seconds>

#include "engine/probes.h"
#include "engine_run.h"

namespace {

constexpr std::size_t answeringSlot = 19;

// Written by the worker thread only and read after it has been joined.
std::vector<std::int64_t> answeringStarts;

std::vector<Target> refusedAndOneAnswering(int firstClosedPort, int listeningPort) {
    std::vector<Target> targets(targetSlotCount);
    for (std::size_t slot = 0; slot < targets.size(); ++slot) {
        targets[slot].type = ProbeType::tcp;
        targets[slot].host = loopbackHost;
        targets[slot].interval = benchIntervalSeconds;
        targets[slot].port = static_cast<std::uint16_t>(
            slot == answeringSlot ? listeningPort : firstClosedPort + static_cast<int>(slot));
    }
    return targets;
}

}  // namespace

int main(int argc, char** argv) {
    const long firstClosed = numberArgument(argc, argv, 1, 0);
    const long listening = numberArgument(argc, argv, 2, 0);
    const long probes = numberArgument(argc, argv, 3, 0);
    const long seconds = numberArgument(argc, argv, 4, 0);
    if (firstClosed <= 0 || firstClosed > 65535 - 20 || listening <= 0 || listening > 65535 ||
        probes <= 0 || seconds <= 0) {
        std::fprintf(stderr, "usage: %s <first closed port> <listening port> <probes> <seconds>\n",
                     argv[0]);
        return 2;
    }
    const WinsockSession winsock;
    if (!winsock.ok()) return 1;

    std::vector<double> failTimes;
    int answered = 0;
    for (long i = 0; i < probes; ++i) {
        const std::int64_t start = steadyNowNanos();
        if (probeTcp(loopbackHost, static_cast<std::uint16_t>(firstClosed))) ++answered;
        failTimes.push_back(nanosToMillis(steadyNowNanos() - start));
    }
    printFigures("tcp probe of a refused 127.0.0.1 port, fails after", "ms", summarize(failTimes));
    std::printf("%-46s answered %d of %ld (should be 0)\n", "", answered, probes);

    ProbeWorkerHooks hooks;
    hooks.probeTcp = [listening](const std::wstring& host, std::uint16_t port) {
        if (port == listening) answeringStarts.push_back(steadyNowNanos());
        return probeTcp(host, port);
    };
    runWorkerFor(refusedAndOneAnswering(static_cast<int>(firstClosed), static_cast<int>(listening)),
                 hooks, seconds);
    std::vector<double> periods;
    for (std::size_t i = 1; i < answeringStarts.size(); ++i) {
        periods.push_back(nanosToMillis(answeringStarts[i] - answeringStarts[i - 1]) / 1000);
    }
    std::printf("19 refused ports + 1 answering target at %d s, %ld s: %zu probes of it\n",
                benchIntervalSeconds, seconds, answeringStarts.size());
    printFigures("period of the answering target", "s", summarize(periods));
    return 0;
}
