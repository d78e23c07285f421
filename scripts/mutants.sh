#!/usr/bin/env bash
# Seeded faults: applies each fault of scripts/mutants.txt, one at a time, to a scratch copy
# of the tree, rebuilds, runs the tests that can see it and prints one line per fault,
# "killed" or "survived", then "killed K of N"; it fails, naming them, when a fault survived
# or could not be applied or built, or when its test run changed a file of the scratch tree.
#   scripts/mutants.sh            every fault
#   scripts/mutants.sh PATTERN    only the faults whose name PATTERN (an extended regular
#                                 expression, e.g. 'outage|tray:') matches
# A fault in a portable file (name.cpp, name.h) is first run against the native tests under
# AddressSanitizer, then under ThreadSanitizer and against the Wine tests only when those
# miss it; a fault in a Win32 edge (name_win.cpp) goes to the Wine tests at once. The scratch copy and its build trees
# stay in $TARVEX_MUTANT_DIR (default build/mutants) for the next run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
filter=${1:-}
scratch=${TARVEX_MUTANT_DIR:-$root/build/mutants}
list=$root/scripts/mutants.txt
jobs=$(nproc)

bash scripts/setup.sh
# The copy is brought up to date file by file: a file whose bytes changed is copied anew (so
# its new time rebuilds what depends on it), a file gone from the tree is removed, and the
# rest keeps its time, so the build trees rebuild only what changed since the last run.
tree=$scratch/tree
mkdir -p "$tree"
list_files() { (cd "$1" && find . \( -path ./build -o -path ./.git -o -path ./dist \) -prune -o -type f -print | sort); }
list_files "$root" >"$scratch/files"
while IFS= read -r file; do
  cmp -s "$root/$file" "$tree/$file" || { mkdir -p "$(dirname "$tree/$file")"; cp "$root/$file" "$tree/$file"; }
done <"$scratch/files"
list_files "$tree" | comm -13 "$scratch/files" - | while IFS= read -r file; do rm -f "$tree/$file"; done
# The copy's checksums, to find a file that a test run under a fault changed.
take_sums() { (cd "$tree" && tr '\n' '\0' <"$scratch/files" | xargs -0 sha1sum) >"$scratch/sums"; }
take_sums

configure() {  # build dir, cmake args...
  local dir=$1; shift
  [ -f "$dir/build.ninja" ] || cmake -S "$tree" -B "$dir" -G Ninja "$@" >/dev/null
}
configure "$scratch/native" -DTARVEX_SANITIZE=address,undefined
configure "$scratch/tsan" -DTARVEX_SANITIZE=thread
configure "$scratch/win" -DCMAKE_TOOLCHAIN_FILE="$tree/cmake/mingw-w64-posix.cmake"
if [ ! -d "$scratch/wineprefix" ] && [ -f build/wineprefix-test/.tarvex-ready ]; then
  cp -a build/wineprefix-test "$scratch/wineprefix"
fi

# Each fault is a heading line "== name", the file, then pairs of lines "- text" and
# "+ text": the first occurrence of each "-" text becomes its "+" text (⏎ is a line break).
declare -a names files edits
current=-1
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in
    "== "*) current=$((current + 1)); names[current]=${line#== }; files[current]=""; edits[current]="" ;;
    "- "* | "+ "*) edits[current]+="${line}"$'\x1e' ;;
    "" | "#"*) ;;
    *) files[current]=$line ;;
  esac
done <"$list"

# Applies the edits of fault $1 to its file; fails when a "-" text is not in it.
apply_fault() {
  local file=$tree/${files[$1]} from="" entry
  while IFS= read -r -d $'\x1e' entry; do
    if [[ $entry == "- "* ]]; then from=${entry#- }; continue; fi
    FROM=$from TO=${entry#+ } perl -0777 -i -pe '
      BEGIN { ($f, $t) = map { s/⏎/\n/gr } @ENV{qw(FROM TO)} }
      s/\Q$f\E/$t/ or die "not found: $f\n"' "$file" || return 1
  done <<<"${edits[$1]}"
}

# Builds the test program of a tree and runs its tests; true when a test failed (killed).
killed_by() {  # native|tsan|win
  local dir=$scratch/$1
  if ! cmake --build "$dir" -j "$jobs" >"$scratch/build.log" 2>&1; then
    echo "build-failed" >&2; return 2
  fi
  if [ "$1" != win ]; then
    ! ASAN_OPTIONS=detect_leaks=1 TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$dir" \
      -j "$jobs" --timeout 120 --stop-on-failure >"$scratch/test.log" 2>&1
  else
    ! WINEPREFIX=$scratch/wineprefix scripts/sandbox.sh ctest --test-dir "$dir" -j "$jobs" \
      --timeout 120 --stop-on-failure >"$scratch/test.log" 2>&1
  fi
}

total=0
dead=0
missed=()
started=$(date +%s)
for i in "${!names[@]}"; do
  name=${names[i]}
  [ -n "$filter" ] && ! [[ $name =~ $filter ]] && continue
  total=$((total + 1))
  original=$(mktemp)
  cp "$tree/${files[i]}" "$original"
  verdict=survived
  if ! apply_fault "$i" 2>"$scratch/apply.log"; then
    verdict="not applied ($(head -n 1 "$scratch/apply.log"))"
  else
    trees=(win)
    [[ ${files[i]} == *_win.cpp ]] || trees=(native tsan win)
    for t in "${trees[@]}"; do
      status=0
      killed_by "$t" 2>/dev/null || status=$?
      if [ $status -eq 0 ]; then verdict="killed ($t)"; break; fi
      if [ $status -eq 2 ]; then verdict="build failed"; break; fi
    done
  fi
  cp "$original" "$tree/${files[i]}"
  rm -f "$original"
  # A test run must never change a file of the tree: one that did is named and put back.
  while IFS= read -r file; do
    verdict+=", wrote over ${file#./}"
    missed+=("$name (wrote over ${file#./})")
    cp "$root/$file" "$tree/$file"
  done < <(cd "$tree" && sha1sum --quiet -c "$scratch/sums" 2>/dev/null | sed -n 's/: FAILED.*$//p')
  [[ $verdict == *"wrote over"* ]] && take_sums
  case "$verdict" in
    killed*) dead=$((dead + 1)) ;;
    *) missed+=("$name ($verdict)") ;;
  esac
  printf '%-48s %s\n' "$name" "$verdict"
done
# Leave the scratch trees built from the unchanged sources.
for t in native tsan win; do cmake --build "$scratch/$t" -j "$jobs" >/dev/null 2>&1 || true; done
echo "killed $dead of $total ($(( $(date +%s) - started )) s)"
if [ ${#missed[@]} -gt 0 ]; then
  printf 'not killed: %s\n' "${missed[@]}" >&2
  exit 1
fi
