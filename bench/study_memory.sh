#!/bin/bash
# Peak memory of a parameter study against its number of runs and jobs, run by hand: the
# example study (the two-room building at a 0.001 s step) with 100, 1000 and 10000 runs, each
# with --jobs 1 and --jobs 2, measured by GNU time's "Maximum resident set size". Memory
# should hold one run's samples per job and not grow with the number of runs.
#
#   bench/study_memory.sh [build/cli/zonefire-cli] [RUNS...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cli=$(realpath "${1:-$here/../build/cli/zonefire-cli}")
shift || true
counts=("${@:-100}")
[ $# -gt 0 ] || counts=(100 1000 10000)
example=$here/../examples/study
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '%8s %5s %12s %10s %8s\n' runs jobs "peak_rss_kB" "wall_s" failed
for runs in "${counts[@]}"; do
    sed -e "s/\"runs\": *[0-9]*/\"runs\": $runs/" \
        -e "s#\"base_file\": *\"[^\"]*\"#\"base_file\": \"$example/two_rooms_dt0001.json\"#" \
        "$example/two_rooms_study.json" >"$work/study-$runs.json"
    for jobs in 1 2; do
        out=$work/out-$runs-$jobs
        /usr/bin/time -v -o "$work/time" "$cli" study "$work/study-$runs.json" --out "$out" --jobs "$jobs" --quiet >/dev/null
        rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time")
        wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time")
        failed=$(grep -c ',failed,' "$out/runs.csv" || true)
        printf '%8s %5s %12s %10s %8s\n' "$runs" "$jobs" "$rss" "$wall" "$failed"
    done
    cmp -s "$work/out-$runs-1/runs.csv" "$work/out-$runs-2/runs.csv" || echo "DIFFERENT runs.csv with 1 and 2 jobs at $runs runs"
    rm -rf "$work"/out-"$runs"-*
done
