#!/bin/sh
# A parameter study on a Slurm cluster: one job-array task per shard, then the merge.
#
#   ./slurm_study.sh STUDY.json OUT_DIR [SHARDS] [CPUS_PER_SHARD] [TASKS]
#
# Run it on the login node: it checks the study file (zonefire-cli study --check), then
# submits two jobs. Task I (0 … SHARDS−1, Slurm's own numbers, passed on with
# --shard-index-base 0) computes its fixed share of the runs into OUT_DIR/shard-I; the merge
# job writes the whole study into OUT_DIR/all, byte for byte what one machine would have
# written. TASKS (Slurm's --array list, e.g. "3" or "1,5") submits only those shards again.
#
# What goes wrong and what happens then:
#  - a task near its time limit gets SIGUSR1 (--signal=B:USR1@120): the study stops at its next
#    refresh, keeps what it computed, and the task requeues itself to resume (--resume), up to
#    ZONEFIRE_REQUEUES times (5); a node failure requeues it too (--requeue);
#  - a task cancelled or failed for good leaves its shard part-done: the merge (which runs
#    after every task has ended, whatever their state: afterany) then refuses, names the
#    missing runs and writes nothing; run this script again with the same arguments (or with
#    TASKS) and only the missing runs are computed, then merged;
#  - each task's log is appended per attempt: OUT_DIR/logs/shard-<job>_<task>.log.
# Pass partition, account and time limit as sbatch reads them from the environment
# (SBATCH_PARTITION, SBATCH_ACCOUNT, SBATCH_TIMELIMIT). zonefire-cli must be on PATH here and
# on the compute nodes, or set ZONEFIRE_CLI to its full path.
set -eu

if [ $# -lt 2 ]; then
    echo "usage: $0 STUDY.json OUT_DIR [SHARDS] [CPUS_PER_SHARD] [TASKS]" >&2
    exit 2
fi
study=$(realpath "$1")
out=$(realpath -m "$2")
shards=${3:-8}
cpus=${4:-4}
tasks=${5:-0-$((shards - 1))}
cli=${ZONEFIRE_CLI:-zonefire-cli}
requeues=${ZONEFIRE_REQUEUES:-5}

"$cli" study "$study" --check || { echo "$0: the study file is refused; nothing was submitted" >&2; exit 2; }
mkdir -p "$out/logs"

# The task's script: the study of one shard, stopped and requeued near the time limit.
task_script=$out/logs/shard-task.sh
cat >"$task_script" <<EOF
#!/bin/sh
task=\$SLURM_ARRAY_TASK_ID
echo "== \$(date '+%F %T') shard \$task of $shards, attempt \$((\${SLURM_RESTART_COUNT:-0} + 1)), node \$(hostname)"
warned=0
trap 'warned=1; kill -TERM \$child 2>/dev/null' USR1
"$cli" study "$study" --out "$out/shard-\$task" --shard "\$task/$shards" --shard-index-base 0 --resume --quiet &
child=\$!
while :; do
    status=0
    wait \$child || status=\$?
    kill -0 \$child 2>/dev/null || break
done
echo "== \$(date '+%F %T') zonefire-cli ended with \$status"
if [ "\$status" -eq 130 ] && [ "\$warned" -eq 1 ] && [ "\${SLURM_RESTART_COUNT:-0}" -lt $requeues ]; then
    echo "== time limit near: requeued to resume"
    scontrol requeue "\${SLURM_ARRAY_JOB_ID}_\$task"
fi
exit \$status
EOF
chmod +x "$task_script"

# Each task uses the cores Slurm gave it: the runner's default --jobs is the number of cores
# the process may run on, bounded by SLURM_CPUS_PER_TASK.
array=$(sbatch --parsable --job-name=zonefire-study --array="$tasks" --cpus-per-task="$cpus" \
    --requeue --signal=B:USR1@120 --open-mode=append --output="$out/logs/shard-%A_%a.log" "$task_script")
array=${array%%;*}

dirs=""
i=0
while [ "$i" -lt "$shards" ]; do
    dirs="$dirs \"$out/shard-$i\""
    i=$((i + 1))
done
merge=$(sbatch --parsable --job-name=zonefire-merge --dependency="afterany:$array" --kill-on-invalid-dep=yes \
    --open-mode=append --output="$out/logs/merge-%j.log" --wrap="\"$cli\" merge \"$out/all\"$dirs")
merge=${merge%%;*}

cat <<EOF
Submitted the shards (tasks $tasks of 0-$((shards - 1))) as array job $array and the merge as job $merge.
Follow:   squeue -j $array,$merge
          sacct -j $array,$merge --format=JobID,State,Elapsed,ExitCode
          tail -f $out/logs/shard-${array}_*.log
Results:  $out/all (study.json, runs.csv, summary.json, summary.txt) once job $merge has ended;
          its log $out/logs/merge-$merge.log names any missing runs.
Missing runs (a task cancelled or failed): run the same command again, or only those shards:
          $0 $1 $2 $shards $cpus TASKS
EOF
