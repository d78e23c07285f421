#!/usr/bin/env bash
# Prints the non-blank lines of code under src/ and of test code under tests/, and their
# ratio, which is to stay at most 0.40. Test code: every .cpp .h .c .sh .py and
# CMakeLists.txt under tests/; the sample files that tests read (XML, fuzz seeds) are data.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files --cached --others --exclude-standard "$@" | xargs -r cat | grep -c -v -E '^\s*$' || true; }
src=$(count 'src/*.c' 'src/*.cpp' 'src/*.h')
tests=$(count 'tests/*.c' 'tests/*.cpp' 'tests/*.h' 'tests/*.sh' 'tests/*.py' 'tests/*CMakeLists.txt')
awk -v s="$src" -v t="$tests" 'BEGIN { printf "src %d, tests %d, ratio %.2f\n", s, t, t / s }'
