#!/usr/bin/env bash
# Retakes the user guide's pictures in docs/images/ from the program's own windows, drawn on
# Qt's offscreen platform (no display needed): builds the `guide_screenshots` tool in build/
# (or $ZONEFIRE_BUILD_DIR) and runs it on the example buildings.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${ZONEFIRE_BUILD_DIR:-$root/build}
"$root/scripts/deps.sh" program
[ -f "$dir/CMakeCache.txt" ] || cmake -S "$root" -B "$dir" -G Ninja -DZONEFIRE_TESTS=OFF -DZONEFIRE_BENCH=OFF >/dev/null
cmake --build "$dir" --target guide_screenshots
mkdir -p "$root/docs/images"
QT_QPA_PLATFORM=offscreen "$dir/docs/guide_screenshots" "$root/docs/images" "$root/examples"
