#!/usr/bin/env bash
# Prints the non-blank lines of code under src/ and of all test material under tests/ (every
# text file tracked or new: code, sessions, expected texts, fixtures; the fuzzer's seeds and
# regressions excepted), by kind, and their ratio; exits non-zero above the limit. The goal is
# 0.50 (tests a third of all code); the limit stands where the suite is now and only comes down.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=0.53
files() { git ls-files --cached --others --exclude-standard "$@" | while read -r f; do [ -f "$f" ] && echo "$f"; done; }
count() { xargs -r -d '\n' cat | grep -c -v -E '^\s*$' || true; }
src=$(files 'src/*.c' 'src/*.cpp' 'src/*.h' | count)
material=$(files tests | grep -v -E '^tests/fuzz/(regressions|corpus)/' | grep -v -E '\.(png|bmp|ico|bin)$' || true)
kind() { { grep -E -e "$1" <<<"$material" || true; } | count; }
code=$(kind '\.(c|cpp|h|sh|py)$|CMakeLists\.txt$')
sessions=$(kind '-session\.txt$')
fixtures=$(kind '\.(xml)$')
tests=$(count <<<"$material")
expected=$((tests - code - sessions - fixtures))
awk -v s="$src" -v t="$tests" -v c="$code" -v se="$sessions" -v e="$expected" -v f="$fixtures" \
  -v limit="$limit" 'BEGIN {
    printf "src %d, tests %d (c++ %d, sessions %d, expected %d, fixtures %d), ratio %.2f\n", s, t, c, se, e, f, t / s
    if (t / s > limit) { printf "test material is above %.2f of src/\n", limit; exit 1 }
  }'
