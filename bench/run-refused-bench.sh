#!/usr/bin/env bash
# The refused-port benchmark (bench/refused_ports_bench.cpp): the time a TCP probe of a closed
# loopback port takes to fail, and the period of one answering target among 19 closed ports.
# Builds the Release tree and runs refused_ports_bench.exe inside scripts/sandbox.sh, where
# only loopback is up; a native listener accepts on 127.0.0.1:47300 and ports 47320 to 47338
# stay closed. Prints the figures and keeps a copy in <build>/refused-bench-figures.txt.
#
# Settings (environment): TARVEX_BENCH_BUILD build tree (build/bench-win), WINEPREFIX
# (build/bench-prefix), PROBES (200 probes of a closed port), SECONDS_RUN (60 s of the worker).
set -euo pipefail
# shellcheck source=bench-tree.sh
. "$(dirname "$0")/bench-tree.sh"

if [ "${1:-}" != --in-sandbox ]; then
  native_programs=listener build_bench_tree refused_ports_bench
  exec scripts/sandbox.sh "$0" --in-sandbox
fi

[ "${TARVEX_IN_NAMESPACE:-}" = 1 ] || { echo "run-refused-bench: not in the sandbox" >&2; exit 1; }
listening_port=47300
start_listener $listening_port  # 47300 to 47319 accept; the bench uses the first
{
  echo "Machine: $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $(wine64 --version)"
  echo "Load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
  wine64 "$build/bench/refused_ports_bench.exe" 47320 $listening_port "${PROBES:-200}" \
    "${SECONDS_RUN:-60}" | tr -d '\r'
  echo "Load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$build/refused-bench-figures.txt"
