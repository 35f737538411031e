#!/bin/bash
# CTest's emulator for the cross-built test programs: wine-run.sh, with one
# guard. A test program always writes something; one that ends in failure
# having written nothing was never started by wine, and gets one more start,
# said on standard error, rather than failing a test it never reached.
#   wine-test-run.sh BUILD_DIR PROGRAM.exe [ARGS...]
set -uo pipefail
here=$(dirname "$0")
seen=$(mktemp)
trap 'rm -f "$seen"' EXIT
for attempt in 1 2; do
  start=$(date +%s%N)
  # CTest reads both streams as one; a copy tells whether anything came.
  bash "$here/wine-run.sh" "$@" </dev/null 2>&1 | tee "$seen"
  status=${PIPESTATUS[0]}
  if [ "$status" -eq 0 ] || [ -s "$seen" ] || [ "$attempt" -eq 2 ]; then
    break
  fi
  echo "wine-test-run: $(basename "$2") ended with status $status after" \
       "$(( ($(date +%s%N) - start) / 1000000 )) ms without writing anything; starting it once more"
done
exit "$status"
