#!/usr/bin/env bash
# Builds the release: a stripped Release Tarvex.exe in a build folder of its own, then
# dist/Tarvex-<version>-win64.zip (Tarvex.exe, README.txt, LICENSE.txt, CHANGELOG.txt, the
# text files with Windows line ends) and dist/SHA256SUMS for the zip and the exe. The same
# commit gives the same bytes: every time stamp is the last commit's.
#   scripts/package.sh           build and package into dist/
#   scripts/package.sh --check   build and package twice, in two fresh folders without the
#                                compiler cache, and compare the bytes of the exe and zip
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C

# build FOLDER DIST: configures FOLDER afresh, builds Tarvex.exe there and packages it in DIST.
build() {
  local folder=$1 dist=$2 version stage zip
  rm -rf "$folder"
  cmake -S . -B "$folder" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTARVEX_TESTS=OFF >/dev/null
  cmake --build "$folder" --target tarvex >/dev/null
  version=$(sed -n 's/^TARVEX_VERSION:INTERNAL=//p' "$folder/CMakeCache.txt")

  # The exe stays small and needs no DLL but Windows' own (the MinGW runtime is linked in).
  [ "$(stat -c %s "$folder/Tarvex.exe")" -le $((2 * 1024 * 1024)) ] ||
    { echo "package: Tarvex.exe is larger than 2 MB" >&2; exit 1; }
  if x86_64-w64-mingw32-objdump -p "$folder/Tarvex.exe" | grep -i 'DLL Name: lib'; then
    echo "package: Tarvex.exe needs a MinGW runtime DLL" >&2; exit 1
  fi

  stage="$folder/package"
  mkdir -p "$stage" "$dist"
  cp "$folder/Tarvex.exe" "$stage/"
  sed "s/@VERSION@/$version/g; s/\$/\r/" docs/windows-readme.txt >"$stage/README.txt"
  sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
  sed 's/$/\r/' CHANGELOG.md >"$stage/CHANGELOG.txt"
  # Fixed modes and times, no extra attributes, a fixed order: the same zip every time.
  chmod 644 "$stage"/*
  touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*
  zip="Tarvex-$version-win64.zip"
  rm -f "$dist/$zip" "$dist/SHA256SUMS"
  (cd "$stage" && zip -q -X -9 "$root/$dist/$zip" Tarvex.exe README.txt LICENSE.txt CHANGELOG.txt)
  (cd "$dist" && sha256sum "$zip") >"$dist/SHA256SUMS"
  (cd "$stage" && sha256sum Tarvex.exe) >>"$dist/SHA256SUMS"
}

if [ "${1:-}" = --check ]; then
  export CCACHE_DISABLE=1  # every object compiled anew, twice
  for run in 1 2; do
    build "build/package-check-$run" "build/package-check-$run/dist"
  done
  cat build/package-check-1/dist/SHA256SUMS build/package-check-2/dist/SHA256SUMS
  if cmp build/package-check-{1,2}/dist/SHA256SUMS; then
    echo "package: the two builds are byte-identical"
  else
    echo "package: the two builds differ" >&2
    exit 1
  fi
else
  build build/package dist
  cat dist/SHA256SUMS
  ls -l dist
fi
