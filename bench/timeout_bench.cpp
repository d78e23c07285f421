// How long the program's probes take to give up: a TCP probe of a closed loopback port (the
// refusal arrives at once and fails the probe; bench/refused_ports_bench.cpp times it), a TCP
// probe and an ICMP probe of the sandbox's black hole, which drops every packet. The three are
// interleaved in rounds; the two black-hole probes should fail after 1.00 to 1.05 s.
// Usage: timeout_bench <closed port> <rounds>

#include <functional>

#include "bench_support.h"
#include "engine/probes.h"

namespace {

struct Case {
    const char* label;
    std::function<bool()> probe;
    std::vector<double> seconds;
    int answered = 0;
};

}  // namespace

int main(int argc, char** argv) {
    std::uint16_t port = 0;
    long rounds = 0;
    if (!readPortAndCount(argc, argv, "<closed port> <rounds>", port, rounds)) return 2;
    const WinsockSession winsock;
    if (!winsock.ok()) return 1;
    const std::wstring blackHole = blackHoleHost();

    std::vector<Case> cases;
    cases.push_back(
        {"tcp, closed port 127.0.0.1", [port] { return probeTcp(loopbackHost, port); }, {}, 0});
    if (blackHole.empty()) {
        std::printf("no black hole (TARVEX_BLACK_HOLE unset): its two cases are skipped\n");
    } else {
        cases.push_back({"tcp, black hole", [&] { return probeTcp(blackHole, port); }, {}, 0});
        cases.push_back({"icmp, black hole", [&] { return probeIcmp(blackHole); }, {}, 0});
    }
    for (long round = 0; round < rounds; ++round) {
        for (Case& probeCase : cases) {
            const std::int64_t start = steadyNowNanos();
            if (probeCase.probe()) ++probeCase.answered;
            probeCase.seconds.push_back(static_cast<double>(steadyNowNanos() - start) / 1e9);
        }
    }
    for (const Case& probeCase : cases) {
        const Figures figures = summarize(probeCase.seconds);
        printFigures(probeCase.label, "s", figures);
        std::printf("%-46s spread (max - min) %.3f s; answered %d of %zu (should be 0)\n", "",
                    figures.max - figures.min, probeCase.answered, figures.count);
    }
    return 0;
}
