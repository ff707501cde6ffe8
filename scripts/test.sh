#!/usr/bin/env bash
# Builds everything and runs every test (window tests headless). Extra arguments go to CMake,
# e.g. -DZONEFIRE_SANITIZE=ON with ZONEFIRE_BUILD_DIR=build-asan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$@"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
ctest --test-dir "${ZONEFIRE_BUILD_DIR:-$root/build}" --output-on-failure -j2
