#!/usr/bin/env bash
# Runs a test program inside a Wine desktop (the only place Wine shows a window's non-client area)
# at one density, keeping its screenshots in SHOT_FOLDER; fails unless every test ran and passed:
#   in_wine_desktop.sh ROOT TEST_EXE DPI SHOT_FOLDER DESKTOP_NAME WIDTHxHEIGHT [TEST_ARGUMENT]...
set -euo pipefail
root=$1 exe=$2 dpi=$3 out=$4 desktop=$5 size=$6
shift 6
mkdir -p "$out"
result="$out/result$dpi.xml"
rm -f "$result"
KESTRUNE_IN_DESKTOP=1 KESTRUNE_SHOT_DIR="$out" "$root/tools/wine-run" --dpi "$dpi" explorer \
  "/desktop=$desktop,$size" "$exe" "$@" "--gtest_output=xml:Z:$result" || true
[ -f "$result" ] || { echo "no test result at $result" >&2; exit 1; }
cat "$result"
grep -q 'failures="0"' "$result" && ! grep -q '<skipped' "$result"
