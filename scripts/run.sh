#!/usr/bin/env bash
# Builds Tarvex for Windows and starts it under Wine. Without a display it runs on a virtual
# one (Xvfb) and says so. Its data (config.xml, monitor.log) lives in the Wine prefix
# $WINEPREFIX (default ~/.wine-tarvex), under AppData\Local\Tarvex.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
[ -f build/release/build.ninja ] || cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake -DTARVEX_TESTS=OFF >/dev/null
cmake --build build/release --target tarvex -j "$(nproc)"

export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-tarvex}
# shellcheck source=wine-env.sh
. scripts/wine-env.sh
wine_prepare_prefix

if [ -z "${DISPLAY:-}" ]; then
  echo "run: no display found; Tarvex runs on a virtual X display (Xvfb) where nobody can see it." >&2
  echo "run: set DISPLAY to see its window. Close it with Ctrl+C." >&2
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$WINE" build/release/Tarvex.exe
fi
exec "$WINE" build/release/Tarvex.exe
