#!/usr/bin/env bash
# CTest's way into Wine for the Windows test program: WINE PROGRAM ARGS... A Wine that ends at
# once with nothing written (seen once on a fresh machine, when CTest first listed the tests)
# is started once more; a test program that ran has written its report, failed or not, and is
# not run again.
set -uo pipefail
wine=$1
shift
output=$(mktemp)
trap 'rm -f "$output"' EXIT
for attempt in 1 2; do
  "$wine" "$@" >"$output"
  status=$?
  if [ "$status" = 0 ] || [ -s "$output" ] || [ "$attempt" = 2 ]; then
    cat "$output"
    exit "$status"
  fi
  echo "wine-run: Wine ended at once ($status) with nothing written; starting it once more" >&2
done
