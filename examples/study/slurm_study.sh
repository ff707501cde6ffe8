#!/bin/sh
# A parameter study on a Slurm cluster: one job-array task per shard, then the merge once every
# shard has finished.
#
#   ./slurm_study.sh STUDY.json OUT_DIR [SHARDS] [CPUS_PER_SHARD]
#
# Run it on the login node; it only submits two jobs. Task I computes the fixed share I of N of
# the runs (zonefire-cli study --help says which) into OUT_DIR/shard-I; the merge job writes
# the outputs of the whole study into OUT_DIR/all, byte for byte what one machine would have
# written. A task killed by a time limit or requeued continues where it stopped (--resume), so
# resubmitting the same array after a failure computes only the missing runs.
#
# zonefire-cli must be on PATH on the compute nodes, or set ZONEFIRE_CLI to its full path.
set -eu

if [ $# -lt 2 ]; then
    echo "usage: $0 STUDY.json OUT_DIR [SHARDS] [CPUS_PER_SHARD]" >&2
    exit 2
fi
study=$(realpath "$1")
out=$(realpath -m "$2")
shards=${3:-8}
cpus=${4:-4}
cli=${ZONEFIRE_CLI:-zonefire-cli}
mkdir -p "$out/logs"

# Each task uses the cores Slurm gave it: the runner's default --jobs is the number of cores
# the process may run on.
array=$(sbatch --parsable --job-name=zonefire-study --array="1-$shards" --cpus-per-task="$cpus" \
    --requeue --output="$out/logs/shard-%a.log" \
    --wrap="\"$cli\" study \"$study\" --out \"$out/shard-\$SLURM_ARRAY_TASK_ID\" --shard \"\$SLURM_ARRAY_TASK_ID/$shards\" --resume --quiet")

dirs=""
i=1
while [ "$i" -le "$shards" ]; do
    dirs="$dirs \"$out/shard-$i\""
    i=$((i + 1))
done
merge=$(sbatch --parsable --job-name=zonefire-merge --dependency="afterok:${array%%;*}" \
    --output="$out/logs/merge.log" --wrap="\"$cli\" merge \"$out/all\"$dirs")

echo "submitted shards as job $array and the merge as job $merge; results in $out/all"
