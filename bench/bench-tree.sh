# Sourced by the benchmark scripts that build the Release tree and run in the sandbox: the
# repository root as the working folder, the tree in $build (TARVEX_BENCH_BUILD, default
# build/bench-win), an absolute WINEPREFIX (default build/bench-prefix), and the steps both
# sides of the sandbox share.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=$root/${TARVEX_BENCH_BUILD:-build/bench-win}
export WINEPREFIX=${WINEPREFIX:-$root/build/bench-prefix}
[[ $WINEPREFIX == /* ]] || WINEPREFIX=$root/$WINEPREFIX

# Outside the sandbox: configures the Release tree without tests, builds the given targets
# (all when none is given) and the native programs named in $native_programs.
build_bench_tree() {
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTARVEX_TESTS=OFF >/dev/null
  cmake --build "$build" -j 2 ${1:+--target "$@"}
  mkdir -p "$build/native"
  local program
  for program in ${native_programs:-}; do
    gcc -std=c11 -D_DEFAULT_SOURCE -O2 -Wall -Wextra -Wshadow \
      -o "$build/native/$program" "bench/native/$program.c"
  done
}

# Inside the sandbox: a scratch folder in $work and the native listener accepting on the
# 20 ports from $1, both gone when the script ends.
start_listener() {
  work=$(mktemp -d)
  "$build/native/listener" $(seq "$1" $(($1 + 19))) >"$work/listener.out" &
  listener_pid=$!
  trap 'kill "$listener_pid" 2>/dev/null; rm -rf "$work"' EXIT
  for _ in $(seq 50); do grep -q ready "$work/listener.out" 2>/dev/null && break; sleep 0.1; done
}
