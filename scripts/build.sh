#!/usr/bin/env bash
# Configures and builds into build/ (or $ZONEFIRE_BUILD_DIR), extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
dir=${ZONEFIRE_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir"
