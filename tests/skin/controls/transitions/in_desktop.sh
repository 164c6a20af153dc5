#!/usr/bin/env bash
# Runs the transitions' test against the real program inside a Wine desktop (the only place Wine
# shows a window's non-client area) at one density, keeping the screenshots:
#   in_desktop.sh ROOT TEST_EXE DPI SHOT_FOLDER
set -euo pipefail
root=$1 exe=$2 dpi=$3 out=$4
mkdir -p "$out"
result="$out/result$dpi.xml"
rm -f "$result"
KESTRUNE_IN_DESKTOP=1 KESTRUNE_SHOT_DIR="$out" "$root/tools/wine-run" --dpi "$dpi" explorer \
  "/desktop=ktrans$dpi,$((1024 * dpi / 96))x$((700 * dpi / 96))" "$exe" \
  "--gtest_output=xml:Z:$result" || true
[ -f "$result" ] || { echo "no test result at $result" >&2; exit 1; }
cat "$result"
grep -q 'failures="0"' "$result" && ! grep -q '<skipped' "$result"
