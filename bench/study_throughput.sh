#!/bin/sh
# Throughput of a parameter study, run by hand: runs per second with 1 and with 2 jobs on the
# 200-run study of the two-room building at a 0.001 s step, and the speed-up of 2 jobs. The
# load average before each timing is printed, since other work on the machine skews the figure.
#
#   bench/study_throughput.sh [build/cli/zonefire-cli] [STUDY.json] [REPEATS]
set -eu
here=$(dirname "$0")
cli=${1:-$here/../build/cli/zonefire-cli}
study=${2:-$here/../examples/study/two_rooms_study.json}
repeats=${3:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

runs=$(sed -n 's/.*"runs": *\([0-9]*\).*/\1/p' "$study")
now() { date +%s.%N; }
for r in $(seq 1 "$repeats"); do
    for jobs in 1 2; do
        echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
        start=$(now)
        "$cli" study "$study" --out "$work/j$jobs-$r" --jobs "$jobs" --quiet >/dev/null
        end=$(now)
        eval "t$jobs=\$(echo \"\$end - \$start\" | bc -l)"
    done
    for f in runs.csv summary.json summary.txt; do cmp -s "$work/j1-$r/$f" "$work/j2-$r/$f" || echo "DIFFERENT $f with 1 and 2 jobs"; done
    echo "$runs runs: 1 job $(printf %.2f "$t1") s = $(printf %.1f "$(echo "$runs / $t1" | bc -l)") runs/s;" \
         "2 jobs $(printf %.2f "$t2") s = $(printf %.1f "$(echo "$runs / $t2" | bc -l)") runs/s;" \
         "speed-up $(printf %.2f "$(echo "$t1 / $t2" | bc -l)")"
done
