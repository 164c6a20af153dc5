#!/usr/bin/env bash
# What a skin load keeps in memory, natively and under Wine: builds bench/skin_load_memory in both
# builds, writes its test skins once into a temporary folder and loads each in a process of its
# own (see the program's header for the skins and the figures).
#   bench/skin_load_memory.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
for build in native windows; do
  [ -f "build/$build/build.ninja" ] || tools/build "$build" >/dev/null
  cmake --build "build/$build" --target skin_load_memory >/dev/null
done
skins=$(mktemp -d)
trap 'rm -rf "$skins"' EXIT
build/native/bench/skin_load_memory make "$skins"
echo "native:"
for name in Refused BigMember ManyKeys; do
  build/native/bench/skin_load_memory load "$skins" "$name"
done
echo "under Wine:"
for name in Refused BigMember ManyKeys; do
  tools/wine-run build/windows/bench/windows/skin_load_memory.exe load "Z:${skins//\//\\}" "$name"
done
