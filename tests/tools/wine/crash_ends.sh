#!/usr/bin/env bash
# A program that crashes under tools/wine-run ends with a failing status and Wine's line naming
# the fault, instead of holding its output open until the test's time-out.
#   crash_ends.sh WINE_RUN PROGRAM.exe
set -uo pipefail
output=$("$1" "$2" 2>&1)
status=$?
echo "$output"
if [ "$status" -eq 0 ]; then
  echo "FAIL: the crashing program ended with status 0" >&2
  exit 1
fi
if ! grep -q "Unhandled page fault" <<<"$output"; then
  echo "FAIL: no line names the fault (status $status)" >&2
  exit 1
fi
echo "ended with status $status"
