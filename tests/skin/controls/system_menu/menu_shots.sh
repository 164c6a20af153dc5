#!/usr/bin/env bash
# Takes the picture of the main window with its system menu open inside a Wine desktop (the only
# place Wine shows a window's non-client area) at one density, and checks it:
#   menu_shots.sh ROOT TEST_EXE DPI SHOT_FOLDER
# The picture is SHOT_FOLDER/system_menu_DPI.png.
set -euo pipefail
root=$1 exe=$2 dpi=$3 out=$4
mkdir -p "$out"
result="$out/result$dpi.xml"
rm -f "$result"
KESTRUNE_IN_DESKTOP=1 KESTRUNE_SHOT_DIR="$out" "$root/tools/wine-run" --dpi "$dpi" explorer \
  "/desktop=ksysmenu$dpi,1400x1000" "$exe" --gtest_filter='*PictureWithTheMenuOpen*' \
  "--gtest_output=xml:Z:$result" || true
[ -f "$result" ] || { echo "no test result at $result" >&2; exit 1; }
cat "$result"
grep -q 'failures="0"' "$result" && ! grep -q '<skipped' "$result"
