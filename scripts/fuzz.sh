#!/usr/bin/env bash
# Builds a fuzz target with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# in build-fuzz/ (or $ZONEFIRE_FUZZ_BUILD_DIR) and runs it on its corpus.
#
#   scripts/fuzz.sh number_text|scenario_file [SECONDS] [libFuzzer options...]
#   scripts/fuzz.sh number_text|scenario_file merge
#
# A run reads fuzz/corpus/TARGET and writes the inputs it finds to build-fuzz/corpus/TARGET, so
# the stored corpus only changes by `merge`: both are minimised into a fresh directory, which
# then replaces fuzz/corpus/TARGET. Crashing inputs land in build-fuzz/artifacts/TARGET/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: $0 number_text|scenario_file [SECONDS|merge] [libFuzzer options...]"
target=${1:?$usage}
seconds=${2:-60}
shift $(($# < 2 ? $# : 2))
case $target in
  number_text) max_len=512 ;;
  scenario_file) max_len=4096 ;;
  *) echo "$usage" >&2; exit 2 ;;
esac

"$root/scripts/deps.sh"
dir=${ZONEFIRE_FUZZ_BUILD_DIR:-$root/build-fuzz}
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZONEFIRE_FUZZ=ON -DZONEFIRE_UI=OFF -DZONEFIRE_TESTS=OFF -DZONEFIRE_BENCH=OFF >/dev/null
cmake --build "$dir" --target "${target}_fuzz"

stored=$root/fuzz/corpus/$target
found=$dir/corpus/$target
artifacts=$dir/artifacts/$target
mkdir -p "$stored" "$found" "$artifacts"
options=(-max_len="$max_len" -artifact_prefix="$artifacts/")
[ -f "$root/fuzz/$target.dict" ] && options+=(-dict="$root/fuzz/$target.dict")

if [ "$seconds" = merge ]; then
  fresh=$(mktemp -d "$dir/corpus/$target.merge.XXXXXX")
  "$dir/fuzz/${target}_fuzz" -merge=1 "${options[@]}" "$@" "$fresh" "$stored" "$found"
  rm -rf "$stored"
  mv "$fresh" "$stored"
  echo "$target: $(find "$stored" -type f | wc -l) inputs in fuzz/corpus/$target"
else
  exec "$dir/fuzz/${target}_fuzz" -max_total_time="$seconds" "${options[@]}" "$@" "$found" "$stored"
fi
