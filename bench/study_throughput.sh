#!/bin/bash
# Throughput of a parameter study, run by hand: runs per second with 1 and with 2 jobs on the
# 200-run study of the two-room building at a 0.001 s step, and the speed-up of 2 jobs.
#
# The wall-clock figure is only meaningful on a quiet machine, so beside it the script prints,
# for each job count, the load average before and after and the CPU time (user + sys) the
# study used per run. On a busy machine the wall figures scatter, but the CPU time per run
# should stay put: if it grows with 2 jobs, the threads are costing each other work (locks,
# shared allocations, cache traffic); if it does not, the speed-up on idle cores is about
# 2 × cpu(1 job) / cpu(2 jobs) as long as nothing in the study runs serially.
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
load() { cut -d' ' -f1-3 /proc/loadavg; }
calc() { printf "%.${1}f" "$(echo "$2" | bc -l)"; }
TIMEFORMAT='%R %U %S'  # wall, user and sys seconds of the timed command, children included

# Runs the study in the background and follows its threads' scheduler counters
# (/proc/PID/task/TID/schedstat: nanoseconds on a CPU, nanoseconds runnable but waiting for
# one). Prints "wall run wait main" in seconds, run and wait summed over the worker threads
# (every thread but the main one), main the main thread's time on a CPU (reading the study,
# the checkpoints of runs.csv, the summaries: the serial part). A worker that never blocks spends its whole life on a CPU or
# waiting for one, so run + wait ≈ jobs × wall; what is missing was spent blocked (a lock,
# the disk, an idle pool).
follow() {
    local out=$1 jobs=$2 start end pid tid line main=0
    declare -A run=() wait=()
    start=$(date +%s.%N)
    "$cli" study "$study" --out "$out" --jobs "$jobs" --quiet >/dev/null 2>"$out.err" &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        for f in /proc/"$pid"/task/*/schedstat; do
            tid=${f#/proc/$pid/task/}; tid=${tid%/schedstat}
            read -r line <"$f" 2>/dev/null || continue
            set -- $line
            if [ "$tid" = "$pid" ]; then main=$1; continue; fi
            run[$tid]=$1; wait[$tid]=$2
        done
        sleep 0.1
    done
    wait "$pid" || { cat "$out.err" >&2; exit 1; }
    end=$(date +%s.%N)
    local r=0 w=0
    for tid in "${!run[@]}"; do r=$((r + run[$tid])); w=$((w + wait[$tid])); done
    echo "$(echo "$end - $start" | bc -l) $(echo "$r / 10^9" | bc -l) $(echo "$w / 10^9" | bc -l) $(echo "$main / 10^9" | bc -l)"
}

for r in $(seq 1 "$repeats"); do
    for jobs in 1 2; do
        before=$(load)
        # bash's `time` reports on stderr; the study's own stderr goes to a file.
        times=$( { time "$cli" study "$study" --out "$work/j$jobs-$r" --jobs "$jobs" --quiet \
                       >/dev/null 2>"$work/err$jobs"; } 2>&1 ) || { cat "$work/err$jobs" >&2; exit 1; }
        after=$(load)
        read -r wall user sys <<<"$times"
        eval "t$jobs=$wall"
        echo "$jobs job(s): $runs runs in $(calc 2 "$wall") s = $(calc 1 "$runs / $wall") runs/s;" \
             "CPU user $(calc 2 "$user") s + sys $(calc 2 "$sys") s = $(calc 4 "($user + $sys) / $runs") s per run;" \
             "load average before $before, after $after"
        eval "cpu$jobs=\$(echo \"$user + $sys\" | bc -l)"
        # The same study again, its worker threads followed (a second run: the sampling costs
        # the timing above nothing).
        read -r fwall frun fwait fmain <<<"$(follow "$work/f$jobs-$r" "$jobs")"
        echo "    worker threads over $jobs × $(calc 2 "$fwall") s: on a CPU $(calc 0 "100 * $frun / ($jobs * $fwall)") %," \
             "waiting for a CPU $(calc 0 "100 * $fwait / ($jobs * $fwall)") %," \
             "blocked or idle $(calc 0 "100 - 100 * ($frun + $fwait) / ($jobs * $fwall)") %;" \
             "main thread on a CPU $(calc 3 "$fmain") s"
    done
    for f in runs.csv summary.json summary.txt; do cmp -s "$work/j1-$r/$f" "$work/j2-$r/$f" || echo "DIFFERENT $f with 1 and 2 jobs"; done
    echo "speed-up with 2 jobs: wall $(calc 2 "$t1 / $t2");" \
         "CPU per run with 2 jobs / with 1 job $(calc 3 "$cpu2 / $cpu1")"
done
