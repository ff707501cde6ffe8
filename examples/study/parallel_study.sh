#!/bin/sh
# A parameter study in shards with GNU Parallel, for machines without a batch system: one
# machine with many cores, or several through Parallel's --sshlogin, sharing OUT_DIR.
#
#   ./parallel_study.sh STUDY.json OUT_DIR [SHARDS] [SHARDS_AT_ONCE]
#
# Shard I (0 … SHARDS−1, Parallel's own numbers, passed on with --shard-index-base 0) computes
# its fixed share of the runs into OUT_DIR/shard-I with the cores left to it; then the shards
# are merged into OUT_DIR/all, byte for byte what one machine computing the whole study would
# have written. A shard that failed or was stopped (Ctrl-C stops every shard, keeping what they
# computed) is resumed by running the same command again: finished shards are kept (--resume)
# and only the missing runs are computed. Logs: OUT_DIR/logs (Parallel's job log and one file
# per shard). zonefire-cli must be on PATH, or set ZONEFIRE_CLI to its full path.
set -eu

if [ $# -lt 2 ]; then
    echo "usage: $0 STUDY.json OUT_DIR [SHARDS] [SHARDS_AT_ONCE]" >&2
    exit 2
fi
study=$(realpath "$1")
out=$(realpath -m "$2")
shards=${3:-4}
at_once=${4:-$shards}
cli=${ZONEFIRE_CLI:-zonefire-cli}

"$cli" study "$study" --check >/dev/null || { echo "$0: the study file is refused; nothing was started" >&2; exit 2; }
mkdir -p "$out/logs"

# The cores of this machine shared among the shards that run at once.
jobs=$(( $(nproc) / at_once ))
[ "$jobs" -ge 1 ] || jobs=1

status=0
seq 0 $((shards - 1)) | parallel --will-cite --jobs "$at_once" --joblog "$out/logs/parallel.log" \
    "\"$cli\" study \"$study\" --out \"$out/shard-{}\" --shard {}/$shards --shard-index-base 0 --jobs $jobs --resume --quiet \
     >>\"$out/logs/shard-{}.log\" 2>&1" || status=$?
if [ "$status" -ne 0 ]; then
    echo "$0: $status shard(s) did not finish (see $out/logs/parallel.log and shard-I.log); run the same command again to resume them" >&2
    exit 1
fi

set --
i=0
while [ "$i" -lt "$shards" ]; do
    set -- "$@" "$out/shard-$i"
    i=$((i + 1))
done
"$cli" merge "$out/all" "$@"
echo "Results: $out/all (study.json, runs.csv, summary.json, summary.txt)"
