#!/usr/bin/env bash
# Builds the Debian package zonefire_VERSION_amd64.deb into build-package/ (or
# $ZONEFIRE_PACKAGE_DIR): the program, the runner, the guide, the manual pages, the examples
# and the fire-load library, with the libraries' packages as its dependencies. Prints the
# package's path last.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" package
dir=${ZONEFIRE_PACKAGE_DIR:-$root/build-package}
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DZONEFIRE_TESTS=OFF -DZONEFIRE_BENCH=OFF -DZONEFIRE_DOCS=ON "$@" >/dev/null
cmake --build "$dir"
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/zonefire_*_amd64.deb
