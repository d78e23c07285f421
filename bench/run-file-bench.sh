#!/usr/bin/env bash
# The file-write benchmark: one monitor.log entry appended with the log window hidden and one
# save of config.xml, each the old way and the new way in turns (bench/file_write_bench.cpp).
# Builds the Release tree and runs file_write_bench.exe inside scripts/sandbox.sh. Prints the
# figures and keeps a copy in <build>/file-bench-figures.txt.
#
# Settings (environment): TARVEX_BENCH_BUILD build tree (build/bench-win), WINEPREFIX
# (build/bench-prefix; monitor.log and config.xml of its data folder are overwritten),
# ENTRIES (5000 of each way) and SAVES (200 of each way).
set -euo pipefail
# shellcheck source=bench-tree.sh
. "$(dirname "$0")/bench-tree.sh"

if [ "${1:-}" != --in-sandbox ]; then
  build_bench_tree file_write_bench
  exec scripts/sandbox.sh "$0" --in-sandbox
fi

[ "${TARVEX_IN_NAMESPACE:-}" = 1 ] || { echo "run-file-bench: not in the sandbox" >&2; exit 1; }
{
  echo "Machine: $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $(wine64 --version)"
  echo "Load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
  wine64 "$build/bench/file_write_bench.exe" "${ENTRIES:-5000}" "${SAVES:-200}" | tr -d '\r'
  echo "Load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$build/file-bench-figures.txt"
