#!/usr/bin/env bash
# Configures and builds everything (program, runner, tests, benchmarks, guide, manual pages)
# into build/ (or $ZONEFIRE_BUILD_DIR); extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" all
dir=${ZONEFIRE_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$dir" -G Ninja -DZONEFIRE_TESTS=ON -DZONEFIRE_BENCH=ON -DZONEFIRE_DOCS=ON "$@" >/dev/null
cmake --build "$dir"
