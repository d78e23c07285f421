// The program's own probes on loopback beside the minimal Win32 sequence that makes the
// same calls, in one process and probe by probe in turn, so that both meet the same Wine
// and the same machine: probeTcp of a listening 127.0.0.1 port and probeIcmp of 127.0.0.1.
// run-engine-bench.sh runs this in rounds with probe_minimal_bench and the native Linux
// equivalent and sets the figures side by side.
// Usage: probe_cost_bench <listening port> <probes of each kind>

#include "engine/probes.h"
#include "minimal_probes.h"

namespace {

bool programTcp(std::uint16_t port) { return probeTcp(loopbackHost, port); }
bool programIcmp() { return probeIcmp(loopbackHost); }

}  // namespace

int main(int argc, char** argv) {
    return runAlternatingProbes(
        argc, argv, {{"program", programTcp, programIcmp}, {"minimal", bareTcp, bareIcmp}});
}
