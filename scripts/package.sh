#!/usr/bin/env bash
# Builds the Debian package zonefire_VERSION_amd64.deb in build/ (or $ZONEFIRE_BUILD_DIR): the
# program, the runner, the guide, the manual pages, the examples and the fire-load library, with
# the libraries' packages as its dependencies. Reuses the build folder of run.sh or test.sh
# (installing under /usr); prints the package's path last.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" package
dir=${ZONEFIRE_BUILD_DIR:-$root/build}
extra=()
[ -f "$dir/CMakeCache.txt" ] || extra=(-DZONEFIRE_TESTS=OFF -DZONEFIRE_BENCH=OFF)
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_INSTALL_PREFIX=/usr -DZONEFIRE_DOCS=ON "${extra[@]}" "$@" >/dev/null
# What the package holds; the tests and benchmarks, if this folder builds them, are not needed.
cmake --build "$dir" --target zonefire zonefire-cli docs
rm -f "$dir"/zonefire_*_amd64.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/zonefire_*_amd64.deb
