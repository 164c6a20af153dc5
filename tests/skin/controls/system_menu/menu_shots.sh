#!/usr/bin/env bash
# Takes a picture of Kestrune's window with its system menu open (Alt+Space) in a Wine desktop
# on a private Xvfb, at one density, cut to the window and the menu:
#   menu_shots.sh [--dpi N] OUT.png
# Needs the windows build of kestrune and system_menu_opener.
set -euo pipefail
root=$(cd "$(dirname "$0")/../../../.." && pwd)
source "$root/tools/lib/xvfb.sh"
density=()
dpi=96
if [ "${1:-}" = --dpi ]; then
  dpi=$2
  density=(--dpi "$2")
  shift 2
fi
out=${1:?usage: menu_shots.sh [--dpi N] OUT.png}
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
mkdir -p "$(dirname "$out")"
exe="$root/build/windows/app/kestrune.exe"
opener="$root/build/windows/tests/skin/controls/system_menu/system_menu_opener.exe"
work=$(mktemp -d)
cp "$exe" "$work/kestrune.exe"

wine_pid=""
cleanup() {
  [ -z "$wine_pid" ] || kill "$wine_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
unset DISPLAY
size="$((800 * dpi / 96))x$((500 * dpi / 96))"
start_private_xvfb "$size"
"$root/tools/wine-run" "${density[@]}" cmd /c exit >/dev/null 2>&1 || true
cd "$work"
"$root/tools/wine-run" "${density[@]}" explorer "/desktop=KSysMenu,$size" "$work/kestrune.exe" \
  >/dev/null 2>&1 &
wine_pid=$!
window_id() {
  xwininfo -root -tree 2>/dev/null | awk '/"Kestrune v/ { print $1; exit }'
}
for ((tenths = 0; ; tenths++)); do
  id=$(window_id)
  [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable' && break
  if ! kill -0 "$wine_pid" 2>/dev/null || ((tenths >= 1200)); then
    echo "menu_shots.sh: the window did not show" >&2
    exit 1
  fi
  sleep 0.1
done
sleep 2
"$root/tools/wine-run" "${density[@]}" explorer "/desktop=KSysMenu,$size" "$opener" \
  >/dev/null 2>&1 || { echo "menu_shots.sh: the menu did not open" >&2; exit 1; }
previous=""
for _ in $(seq 30); do
  sleep 0.3
  current=$(xwd -root -display "$DISPLAY" | md5sum)
  [ "$current" != "$previous" ] || break
  previous=$current
done
xwd -root -display "$DISPLAY" | convert xwd:- "png:$out"
echo "$out"
