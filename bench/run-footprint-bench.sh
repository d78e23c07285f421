#!/usr/bin/env bash
# The footprint benchmark: the size of the stripped Release Tarvex.exe and the DLLs it
# imports; private bytes and working set of the main window with 20 full histories beside an
# empty Win32 window's, under the same Wine in the same run; the time from starting
# Tarvex.exe to its first paint; and the CPU time it uses while it monitors 20 loopback
# targets at 2 s. Builds the Release tree, then runs everything inside scripts/sandbox.sh
# (its own network namespace; only 127.0.0.0/8 is probed). Prints the figures and keeps a
# copy in <build>/footprint-bench-figures.txt. About 5 minutes with the defaults.
#
# Settings (environment): TARVEX_BENCH_BUILD build tree (build/bench-win), WINEPREFIX
# (build/bench-prefix; config.xml and monitor.log of its data folder are overwritten),
# MEMORY_ROUNDS (5 runs of each window), CPU_ROUNDS (3) and CPU_SECONDS (60).
set -euo pipefail
# shellcheck source=bench-tree.sh
. "$(dirname "$0")/bench-tree.sh"

if [ "${1:-}" != --in-sandbox ]; then
  native_programs=listener build_bench_tree tarvex footprint_bench
  exec scripts/sandbox.sh "$0" --in-sandbox
fi

# Inside the sandbox from here on.
[ "${TARVEX_IN_NAMESPACE:-}" = 1 ] || { echo "run-footprint-bench: not in the sandbox" >&2; exit 1; }
first_port=47200  # 47200 to 47219 accept connections (the even slots use 47200, 47202, ...)
figures=$build/footprint-bench-figures.txt
exe=$build/Tarvex.exe
start_listener $first_port

bench() { wine64 "$build/bench/footprint_bench.exe" "$@" | tr -d '\r'; }

# "min median max" of the numbers on standard input (nearest rank).
spread() {
  sort -g | awk '{ v[++n] = $1 } END { m = int((n + 1) / 2); printf "%s %s %s\n", v[1], v[m], v[n] }'
}

size_and_imports() {
  local bytes
  bytes=$(stat -c %s "$exe")
  echo "== Tarvex.exe (Release) (goal: at most 2 MB)"
  awk -v b="$bytes" 'BEGIN { printf "   size: %d bytes = %.2f MiB = %.2f MB\n", b, b / 1048576, b / 1e6 }'
  echo "   symbols: $(x86_64-w64-mingw32-nm "$exe" 2>&1 | head -1)"
  echo "   imported DLLs: $(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print $3 }' |
    sort | tr '\n' ' ')"
}

memory() {
  local rounds=${MEMORY_ROUNDS:-5}
  echo "== Memory after painting, $rounds fresh processes each, empty and main in turn (KB)" \
    "(goal: main private bytes at most 8 MB above the empty window's)"
  for _ in $(seq "$rounds"); do
    bench empty
    bench main
  done >"$work/memory.txt"
  local kind field
  for field in private_kb working_set_kb; do
    for kind in empty main; do
      printf '   %-6s %-15s min/median/max %s\n' "$kind" "$field" \
        "$(awk -v k="$kind" -v f="$field" '$1 == k { for (i = 2; i < NF; i++) if ($i == f) print $(i + 1) }' \
          "$work/memory.txt" | spread)"
    done
    printf '   main - empty, %s, per round: min/median/max %s\n' "$field" \
      "$(awk -v f="$field" '{ for (i = 2; i < NF; i++) if ($i == f) v = $(i + 1) }
          $1 == "empty" { e = v } $1 == "main" { print v - e }' "$work/memory.txt" | spread)"
  done
}

# The process of this sandbox (this network namespace) whose name is $1.
own_process() {
  local own pid
  own=$(readlink /proc/self/ns/net)
  for pid in $(pgrep -x "$1"); do
    if [ "$(readlink "/proc/$pid/ns/net" 2>/dev/null)" = "$own" ]; then
      echo "$pid"
      return
    fi
  done
}

# utime + stime of the process `pid`, in milliseconds.
cpu_millis() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) * 1000 / hz }' "/proc/$1/stat"; }

cpu_and_first_paint() {
  local rounds=${CPU_ROUNDS:-3} seconds=${CPU_SECONDS:-60}
  echo "== Tarvex.exe monitoring 20 loopback targets at 2 s: first paint, then CPU over" \
    "$seconds s after 5 s, $rounds runs (goal: at most 0.2 % of one core)"
  rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tarvex/monitor.log
  local server round out bench_pid program server_before program_before
  server=$(own_process 'wineserver(64)?')
  for round in $(seq "$rounds"); do
    out=$work/run-$round.txt
    # Straight to the file, unbuffered: the markers are waited for while it runs.
    wine64 "$build/bench/footprint_bench.exe" run $first_port "$seconds" >"$out" &
    bench_pid=$!
    until grep -q '^measuring' "$out"; do sleep 0.05; done
    program=$(own_process Tarvex.exe)
    server_before=$(cpu_millis "$server")
    program_before=$(cpu_millis "$program")
    until grep -q '^measured' "$out"; do sleep 0.05; done
    echo "   run $round: $(tr -d '\r' <"$out" | grep '^first_paint_ms')"
    awk -v a="$program_before" -v b="$(cpu_millis "$program")" -v c="$server_before" \
      -v d="$(cpu_millis "$server")" -v s="$seconds" 'BEGIN {
        printf "          CPU: Tarvex.exe %.0f ms (%.3f %% of one core), wineserver %.0f ms (%.3f %%)\n",
          b - a, (b - a) / (10 * s), d - c, (d - c) / (10 * s) }'
    wait "$bench_pid"
    echo "          $(tr -d '\r' <"$out" | grep '^exit_code')"
  done
  echo "   failed probes logged over all runs:" \
    "$(cat "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tarvex/monitor.log | grep -c ' | FAIL' || true)"
}

{
  echo "Machine: $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $(wine64 --version)"
  echo "Load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
  size_and_imports
  memory
  cpu_and_first_paint
  echo "Load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$figures"
