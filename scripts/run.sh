#!/usr/bin/env bash
# Builds the program and the runner only (no tests, benchmarks or fuzz targets: those are
# scripts/test.sh's) and starts the program; its arguments go to the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" program
dir=${ZONEFIRE_BUILD_DIR:-$root/build}
# A build folder made before keeps its settings (a test build stays one); a new one is made
# without the tests, whose libraries this script does not install.
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DZONEFIRE_TESTS=OFF -DZONEFIRE_BENCH=OFF >/dev/null
fi
cmake --build "$dir" --target zonefire zonefire-cli
exec "$dir/app/zonefire" "$@"
