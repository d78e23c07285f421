#!/usr/bin/env bash
# The benchmarks' one harness: builds the Release tree (Tarvex.exe and bench/*_bench.exe, the
# exe stripped), then runs the parts asked for under Wine inside scripts/sandbox.sh: a network
# namespace of its own with only loopback up, so nothing is probed past 127.0.0.0/8. A listener
# accepts on 127.0.0.1 ports 47000 to 47019; 47100 to 47118 stay closed. Prints the figures
# and keeps a copy in <build>/bench-figures.txt. The alert part opens and closes listeners of its
# own on 127.0.0.1 ports 47200 to 47209.
#
#   bench/bench.sh paint | details | schedule | save-hold | refused | cost | footprint | cpu | alert ...
#
# Settings (environment): TARVEX_BENCH_BUILD build tree (build/bench-win); WINEPREFIX
# (build/bench-prefix; config.xml and monitor.log of its data folder are overwritten);
# PAINT_ROUNDS (300); DETAILS_ROUNDS (1000); SCHEDULE_SECONDS (60); REFUSED_PROBES (200) and
# REFUSED_SECONDS (60); COST_ROUNDS (20) and COST_PROBES (200 of each kind a round);
# MEMORY_ROUNDS (5 fresh processes of each window); CPU_ROUNDS (3) and CPU_SECONDS (60);
# ALERT_ROUNDS (5).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=$root/${TARVEX_BENCH_BUILD:-build/bench-win}
export WINEPREFIX=${WINEPREFIX:-$root/build/bench-prefix}
[[ $WINEPREFIX == /* ]] || WINEPREFIX=$root/$WINEPREFIX
first_port=47000
closed_port=47100
alert_port=47200

if [ "${1:-}" != --in-sandbox ]; then
  [ $# -gt 0 ] || { sed -n 's/^#   //p' "$0" >&2; exit 2; }
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTARVEX_TESTS=OFF >/dev/null
  cmake --build "$build" -j 2 --target tarvex view_paint_bench details_bench worker_bench \
    footprint_bench alert_bench
  exec scripts/sandbox.sh "$0" --in-sandbox "$@"
fi
shift
[ "${TARVEX_IN_NAMESPACE:-}" = 1 ] || { echo "bench: not in the sandbox" >&2; exit 1; }
work=$(mktemp -d)
python3 -u -c '
import selectors, socket, sys
selector = selectors.DefaultSelector()
for port in range(int(sys.argv[1]), int(sys.argv[1]) + 20):
    selector.register(socket.create_server(("127.0.0.1", port), backlog=128), selectors.EVENT_READ)
print("ready")
while True:
    for key, _ in selector.select():
        key.fileobj.accept()[0].close()
' $first_port >"$work/listener.out" &
listener_pid=$!
trap 'kill "$listener_pid" 2>/dev/null; rm -rf "$work"' EXIT
until grep -q ready "$work/listener.out"; do sleep 0.1; done

windows() {  # exe name, arguments...: its output without carriage returns
  local exe=$1; shift
  wine64 "$build/bench/$exe.exe" "$@" | tr -d '\r'
}

# "min median max" of the numbers on standard input (nearest rank).
spread() {
  sort -g | awk '{ v[++n] = $1 } END { m = int((n + 1) / 2); printf "%s %s %s\n", v[1], v[m], v[n] }'
}

# The process of this sandbox (this network namespace) whose name matches $1.
own_process() {
  local own pid
  own=$(readlink /proc/self/ns/net)
  for pid in $(pgrep -x "$1"); do
    [ "$(readlink "/proc/$pid/ns/net" 2>/dev/null)" = "$own" ] && { echo "$pid"; return; }
  done
}

# utime + stime of the process `pid`, in milliseconds.
cpu_millis() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) * 1000 / hz }' "/proc/$1/stat"; }

# Runs "wine64 <exe> <arguments...>", which prints "measuring" and "measured" the caller's
# $seconds apart, and prints the CPU time that the process named $1 and this sandbox's wineserver used
# between the two, then the program's other lines.
cpu_between_markers() {
  local name=$1 out=$work/cpu.txt; shift
  wine64 "$@" >"$out" &  # straight to the file: the markers are waited for while it runs
  local pid=$! server program before server_before
  until grep -q '^measuring' "$out"; do sleep 0.05; done
  server=$(own_process 'wineserver(64)?')
  program=$(own_process "$name")
  before=$(cpu_millis "$program")
  server_before=$(cpu_millis "$server")
  until grep -q '^measured' "$out"; do sleep 0.05; done
  awk -v a="$before" -v b="$(cpu_millis "$program")" -v c="$server_before" \
    -v d="$(cpu_millis "$server")" -v s="$seconds" -v n="$name" 'BEGIN {
      printf "   CPU: %s %.0f ms (%.3f %% of one core), wineserver %.0f ms (%.3f %%)\n",
        n, b - a, (b - a) / (10 * s), d - c, (d - c) / (10 * s) }'
  wait "$pid"
  tr -d '\r' <"$out" | grep -v '^measur' | sed 's/^/        /'
}

paint() {
  echo "== Monitor view paint, 20 rows x 145 bars (goal: median <= 0.6 ms)"
  windows view_paint_bench "${PAINT_ROUNDS:-300}"
}

details() {
  echo "== One target's details over 2500 results and times (goal: median <= 1 ms)"
  windows details_bench "${DETAILS_ROUNDS:-1000}"
}

schedule() {
  echo "== Schedule, nothing timing out (goal: median lateness <= 50 ms, latest <= 350 ms)"
  windows worker_bench schedule $first_port "${SCHEDULE_SECONDS:-60}"
}

save-hold() {
  echo "== A Save while config.xml is held open (goal: slot 0's periods 2 s +- 0.1 s)"
  windows worker_bench save-hold $first_port
}

refused() {
  echo "== Refused ports (goal: fail in <= 50 ms median; the answering target's period 2 s +- 0.1 s)"
  windows worker_bench refused $first_port $closed_port "${REFUSED_PROBES:-200}" \
    "${REFUSED_SECONDS:-60}"
}

cost() {
  echo "== Loopback probes against the same Win32 calls by hand (goal: ratio <= 1.01)"
  windows worker_bench cost $first_port "${COST_ROUNDS:-20}" "${COST_PROBES:-200}"
}

footprint() {
  local exe=$build/Tarvex.exe rounds=${MEMORY_ROUNDS:-5} kind field
  echo "== Tarvex.exe (Release) (goal: at most 2 MB)"
  awk -v b="$(stat -c %s "$exe")" 'BEGIN { printf "   size: %d bytes = %.2f MB\n", b, b / 1e6 }'
  echo "   symbols: $(x86_64-w64-mingw32-nm "$exe" 2>&1 | head -1)"
  echo "   imported DLLs: $(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print $3 }' |
    sort | tr '\n' ' ')"
  echo "== Memory after painting, $rounds fresh processes each, empty and main in turn (KB)" \
    "(goal: main private bytes at most 8 MB above the empty window's)"
  for _ in $(seq "$rounds"); do
    windows footprint_bench empty
    windows footprint_bench main
  done >"$work/memory.txt"
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

cpu() {
  local rounds=${CPU_ROUNDS:-3} seconds=${CPU_SECONDS:-60} round
  echo "== 20 loopback targets at 2 s, CPU over $seconds s, $rounds rounds: Tarvex.exe" \
    "(goal: at most 0.2 % of one core; its first paint too), then the same probes bare"
  rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tarvex/monitor.log
  for round in $(seq "$rounds"); do
    echo "   round $round"
    cpu_between_markers Tarvex.exe "$build/bench/footprint_bench.exe" run $first_port "$seconds"
    cpu_between_markers 'worker_bench.ex' "$build/bench/worker_bench.exe" probes $first_port \
      "$seconds"
  done
  echo "   failed probes Tarvex.exe logged:" \
    "$(cat "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tarvex/monitor.log | grep -c ' | FAIL' || true)"
}

alert() {
  echo "== Alerts, all targets down together and back (goal: DOWN line <= 50 ms after its probe," \
    "balloon <= 2.1 s after the group's first probe, one balloon per group)"
  windows alert_bench $alert_port "${ALERT_ROUNDS:-5}"
}

{
  echo "Machine: $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $(wine64 --version)"
  echo "Load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
  for part in "$@"; do
    case $part in
      paint | details | schedule | save-hold | refused | cost | footprint | cpu | alert) "$part" ;;
      *) echo "bench: unknown part '$part'" >&2; exit 2 ;;
    esac
  done
  echo "Load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$build/bench-figures.txt"
