#!/usr/bin/env bash
# The parts of bench/run-view-bench.sh, run by it inside the sandbox.
set -euo pipefail
[ "${TARVEX_IN_NAMESPACE:-}" = 1 ] || { echo "view-bench-parts: run bench/run-view-bench.sh" >&2; exit 1; }
exes=$TARVEX_BENCH_BUILD/bench

paint() {
  echo "== Monitor view paint (goal: median <= 0.6 ms and >= 4x faster than the plain reading;" \
    "the two pictures identical)"
  wine64 "$exes/view_paint_bench.exe" "${PAINT_ROUNDS:-300}" | tr -d '\r'
}

log() {
  echo "== Log window (goals: opening <= 200 ms for both sizes; one append <= 1 ms)"
  local sizes=(${LOG_SIZES_MB:-10 100})
  local largest
  largest=$(printf '%s\n' "${sizes[@]}" | sort -n | tail -1)
  for size in "${sizes[@]}"; do
    local appends=0
    [ "$size" = "$largest" ] && appends=${APPENDS:-10000}
    wine64 "$exes/log_window_bench.exe" "$size" "${REOPENINGS:-10}" "$appends" | tr -d '\r'
  done
}

{
  echo "Machine: $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $(wine64 --version)"
  echo "Load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
  for part in ${*:-paint log}; do
    case $part in
      paint | log) "$part" ;;
      *) echo "run-view-bench: unknown part '$part'" >&2; exit 2 ;;
    esac
  done
  echo "Load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$TARVEX_BENCH_BUILD/view-bench-figures.txt"
