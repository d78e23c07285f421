#!/usr/bin/env bash
# The engine benchmarks: probe cost, time-out accuracy, schedule keeping and lock hold times.
# Builds the Windows benchmarks (Release) and their native Linux counterparts, then runs all
# of them inside scripts/sandbox.sh (a network namespace of its own with only loopback up
# and a black hole at 127.66.0.0/16), so nothing is ever probed past 127.0.0.0/8. Prints
# the figures and keeps a copy in <build>/engine-bench-figures.txt.
#
#   bench/run-engine-bench.sh                          everything (about 4 minutes)
#   bench/run-engine-bench.sh cost timeout schedule locks     chosen parts only
#
# Settings (environment): TARVEX_BENCH_BUILD build tree (build/bench-win), WINEPREFIX
# (build/bench-prefix), COST_ROUNDS and COST_PER_ROUND (12 rounds of 100 probes of each
# kind per program), TIMEOUT_ROUNDS (10), SCHEDULE_SECONDS (60, also the lock run) and
# SHORT_SECONDS (30, the schedule runs with targets that time out).
set -euo pipefail
# shellcheck source=bench-tree.sh
. "$(dirname "$0")/bench-tree.sh"

if [ "${1:-}" != --in-sandbox ]; then
  native_programs="listener probe_native" build_bench_tree
  exec scripts/sandbox.sh "$0" --in-sandbox "$@"
fi
shift

# Inside the sandbox from here on.
[ "${TARVEX_IN_NAMESPACE:-}" = 1 ] || { echo "run-engine-bench: not in the sandbox" >&2; exit 1; }
parts=${*:-cost timeout schedule locks}
listening_port=47000   # 47000 to 47019 accept connections
closed_port=47100      # 47100 to 47103 have no listener
bench=$build/bench
native=$build/native
figures=$build/engine-bench-figures.txt

# Datagram ICMP sockets for the native counterpart; this namespace's setting only.
sysctl -qw net.ipv4.ping_group_range="0 2147483647" 2>/dev/null || true

start_listener $listening_port

windows() {  # exe name, arguments...: its output without carriage returns
  local exe=$1; shift
  wine64 "$bench/$exe.exe" "$@" | tr -d '\r'
}

# Reads "<key fields...> <value>" sorted by key, then by value; prints per key:
# key, count, min, median, p90, max (nearest rank).
stats_by() {
  awk -v k="$1" '
    function rank(f,  r) { r = int(f * n); if (r < f * n) r++; if (r < 1) r = 1; return r }
    function flush() {
      if (n > 0) printf "%s %d %.3f %.3f %.3f %.3f\n", key, n, v[1], v[rank(0.5)], v[rank(0.9)], v[n]
    }
    {
      kk = $1; for (i = 2; i <= k; i++) kk = kk " " $i
      if (kk != key) { flush(); key = kk; n = 0 }
      v[++n] = $(k + 1)
    }
    END { flush() }'
}

# Probe cost. Each round runs three processes, their order turning from round to round:
# the program's probes and the minimal Win32 sequence probe by probe in turn in one process
# ("program", "minimal"), the minimal sequence alone in a process of its own
# ("minimal-alone") and native Linux ("native"). Ratios are taken between the medians of
# one round, so that both sides met the same machine at nearly the same time.
run_cost() {
  local rounds=${COST_ROUNDS:-12} per_round=${COST_PER_ROUND:-100} raw=$build/engine-bench-cost.txt
  local programs=(probe_cost_bench probe_minimal_bench probe_native)
  : >"$raw"
  for round in $(seq "$rounds"); do
    for turn in 0 1 2; do
      case ${programs[$(((round + turn) % 3))]} in
        probe_native) "$native/probe_native" $listening_port "$per_round" ;;
        *) windows "${programs[$(((round + turn) % 3))]}" $listening_port "$per_round" ;;
      esac | awk -v r="$round" '{ print r, $1, $2, $3, $4 }' >>"$raw"
    done
  done
  echo "== Probe cost on loopback: $rounds rounds x $per_round probes of each kind (microseconds)"
  echo "   set op count min median p90 max; probes that got no answer:" \
    "$(awk '$5 != 1' "$raw" | wc -l)"
  awk '$5 == 1 { print $2, $3, $4 / 1000 }' "$raw" | sort -k1,1 -k2,2 -k3,3g | stats_by 2 |
    sed 's/^/   /'
  awk '$5 == 1 { print $1, $2, $3, $4 / 1000 }' "$raw" | sort -k1,1n -k2,2 -k3,3 -k4,4g |
    stats_by 3 >"$work/round-medians.txt"
  echo "   median of each round, in round order:"
  sort -k2,2 -k3,3 -k1,1n "$work/round-medians.txt" | awk '
    { key = $2 " " $3; line[key] = line[key] " " $6 }
    END { for (key in line) printf "   %-18s%s\n", key, line[key] }' | sort
  echo "   ratio of the round medians, program / other: op other rounds min median p90 max"
  awk '
    { median[$1 " " $2 " " $3] = $6; seen[$1] = 1 }
    END {
      for (r in seen) for (op = 1; op <= 2; op++) {
        o = op == 1 ? "tcp" : "icmp"
        split("minimal minimal-alone native", others, " ")
        for (i = 1; i <= 3; i++) {
          other = median[r " " others[i] " " o]
          if (other > 0) print o, others[i], median[r " program " o] / other
        }
      }
    }' "$work/round-medians.txt" | sort -k1,1 -k2,2 -k3,3g | stats_by 2 | sed 's/^/   /'
}

run_timeout() {
  echo "== Time-out accuracy (goal: every failure after 1.000 to 1.050 s)"
  windows timeout_bench $closed_port "${TIMEOUT_ROUNDS:-10}"
}

run_schedule() {
  echo "== Schedule keeping (goal with nothing timing out: median lateness <= 50 ms, max <= 350 ms)"
  windows schedule_bench "${SCHEDULE_SECONDS:-60}" 0 $listening_port $closed_port
  for timing_out in 1 2 4; do
    windows schedule_bench "${SHORT_SECONDS:-30}" "$timing_out" $listening_port $closed_port
  done
}

run_locks() {
  echo "== Lock hold times (goal: worker and paint at most 200 us each)"
  windows lock_hold_bench "${SCHEDULE_SECONDS:-60}" $listening_port
}

{
  echo "Machine: $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $(wine64 --version)"
  echo "Black hole: ${TARVEX_BLACK_HOLE:-none (no iptables)}"
  echo "Load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
  for part in $parts; do
    case $part in
      cost | timeout | schedule | locks) "run_$part" ;;
      *) echo "run-engine-bench: unknown part '$part'" >&2; exit 2 ;;
    esac
  done
  echo "Load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$figures"
