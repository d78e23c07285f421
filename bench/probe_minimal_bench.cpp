// The minimal Win32 probe sequence on its own, in a process that holds nothing of the
// program's probes: compared with probe_cost_bench, it shows whether living beside them
// changes what the bare calls cost.
// Usage: probe_minimal_bench <listening port> <probes of each kind>

#include "minimal_probes.h"

int main(int argc, char** argv) {
    return runAlternatingProbes(argc, argv, {{"minimal-alone", bareTcp, bareIcmp}});
}
