#!/usr/bin/env bash
# The monitor view and log window benchmarks. Builds view_paint_bench.exe and
# log_window_bench.exe (Release), then runs them under Wine inside scripts/sandbox.sh (its own
# network namespace and virtual display; nothing is probed). Prints the figures and keeps a
# copy in <build>/view-bench-figures.txt.
#
#   bench/run-view-bench.sh             both parts (about 5 minutes)
#   bench/run-view-bench.sh paint|log   one part
#
# Settings (environment): TARVEX_BENCH_BUILD build tree (build/bench-win), WINEPREFIX
# (build/bench-prefix; the log part overwrites monitor.log in its data folder), PAINT_ROUNDS
# (300), LOG_SIZES_MB ("10 100"), REOPENINGS (10) and APPENDS (10000 with the window shown
# and as many hidden, in the run with the largest log).
set -euo pipefail
cd "$(dirname "$0")/.."
export TARVEX_BENCH_BUILD=$PWD/${TARVEX_BENCH_BUILD:-build/bench-win}
export WINEPREFIX=$(realpath -m "${WINEPREFIX:-build/bench-prefix}")
cmake -S . -B "$TARVEX_BENCH_BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTARVEX_TESTS=OFF >/dev/null
cmake --build "$TARVEX_BENCH_BUILD" -j 2 --target view_paint_bench log_window_bench
exec scripts/sandbox.sh bench/view-bench-parts.sh "$@"
