#!/usr/bin/env bash
# The example study on a real one-node Slurm cluster, started here from Debian's packages
# (munge, slurmctld and slurmd on localhost; installed when missing): submitted through
# examples/study/slurm_study.sh, one task cancelled mid-run, the merge then refusing with the
# missing runs, the cancelled task submitted again, and the merged folder compared byte for byte
# with the same study computed on one machine.
#
#   scripts/check-cluster.sh [build/cli/zonefire-cli]
#
# Exit codes: 0 — the check passed; 1 — it failed; 77 — the cluster could not be started here
# (no packages, no daemons: a container that forbids them, say), with the reason said plainly.
# Everything lives in a temporary folder: its own munge key and socket, its own slurm.conf
# (SLURM_CONF), its own ports; the daemons it starts are stopped by their process ids at exit.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "${1:-$here/build/cli/zonefire-cli}")
runs=${ZONEFIRE_CLUSTER_RUNS:-160}
shards=4
started=$SECONDS

say() { echo "check-cluster: $*" >&2; }
cannot() { say "CANNOT START the one-node Slurm cluster: $*"; exit 77; }
fail() { say "FAILED: $*"; exit 1; }

[ -x "$cli" ] || fail "no runner at $cli (build it first)"

# ---- Packages -------------------------------------------------------------------------------
packages=(munge slurmctld slurmd slurm-client)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    say "installing ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo -n)
    { "${sudo_cmd[@]}" apt-get update && "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends "${missing[@]}"; } >/tmp/check-cluster-apt.log 2>&1 ||
        cannot "the packages ${missing[*]} could not be installed (see /tmp/check-cluster-apt.log)"
fi
[ "$(id -u)" -eq 0 ] || cannot "the daemons of this check run as root, and this is $(id -un)"

# ---- The cluster ----------------------------------------------------------------------------
work=$(mktemp -d /tmp/zonefire-cluster-XXXXXX)
chmod 755 "$work"
pids=()
stop_daemons() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    done
}
trap 'stop_daemons; [ -n "${ZONEFIRE_CLUSTER_KEEP:-}" ] || rm -rf "$work"' EXIT

# munged with its own key and socket.
mkdir -p "$work/munge"
chmod 700 "$work/munge"
dd if=/dev/urandom of="$work/munge/munge.key" bs=1024 count=1 status=none
chmod 400 "$work/munge/munge.key"
/usr/sbin/munged --force --foreground --key-file="$work/munge/munge.key" --socket="$work/munge/munge.sock" \
    --pid-file="$work/munge/munged.pid" --log-file="$work/munge/munged.log" --seed-file="$work/munge/seed" \
    >"$work/munge/out.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -S "$work/munge/munge.sock" ] && break; sleep 0.1; done
[ -S "$work/munge/munge.sock" ] || cannot "munged did not start: $(tail -3 "$work/munge/munged.log" "$work/munge/out.log" 2>/dev/null | tr '\n' ' ')"

# Two free ports for the controller and the node daemon.
port=$(python3 -c 'import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(" ".join(str(x.getsockname()[1]) for x in s))')
read -r ctld_port node_port <<<"$port"
node=$(hostname -s)
mkdir -p "$work/state" "$work/spool"
export SLURM_CONF=$work/slurm.conf
cat >"$SLURM_CONF" <<EOF
ClusterName=zonefirecheck
SlurmctldHost=$node(127.0.0.1)
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$work/munge/munge.sock
SlurmctldPort=$ctld_port
SlurmdPort=$node_port
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
KillWait=5
NodeName=$node NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=check Nodes=$node Default=YES MaxTime=INFINITE State=UP
EOF
/usr/sbin/slurmctld -D -i -f "$SLURM_CONF" >"$work/slurmctld.out" 2>&1 &
pids+=($!)
/usr/sbin/slurmd -D -f "$SLURM_CONF" >"$work/slurmd.out" 2>&1 &
pids+=($!)
for _ in $(seq 150); do
    state=$(sinfo -h -n "$node" -o %T 2>/dev/null || true)
    [ "$state" = idle ] && break
    sleep 0.2
done
[ "${state:-}" = idle ] || cannot "the node did not come up (state '${state:-none}'): $(tail -2 "$work/slurmctld.log" "$work/slurmd.log" "$work/slurmd.out" 2>/dev/null | tr '\n' ' ')"
say "one-node cluster up after $((SECONDS - started)) s (node $node, $(nproc) CPUs)"

# ---- The study ------------------------------------------------------------------------------
example=$here/examples/study
sed -e "s/\"runs\": *[0-9]*/\"runs\": $runs/" -e "s#\"base_file\": *\"[^\"]*\"#\"base_file\": \"$example/two_rooms_dt0001.json\"#" \
    "$example/two_rooms_study.json" >"$work/study.json"
"$cli" study "$work/study.json" --out "$work/one" --quiet >/dev/null || fail "the study on one machine failed"
say "the study on one machine: $runs runs in $((SECONDS - started)) s so far"

wait_jobs() {  # until none of the jobs is pending or running
    for _ in $(seq 1800); do
        [ -z "$(squeue -h -j "$1" -o %i 2>/dev/null)" ] && return 0
        sleep 0.2
    done
    fail "jobs $1 did not end within 6 minutes"
}
submit() { ZONEFIRE_CLI=$cli sh "$example/slurm_study.sh" "$work/study.json" "$work/out" "$shards" 1 "$@"; }
job_of() { sed -n 's/.*as array job \([0-9]*\) and the merge as job \([0-9]*\).*/\1 \2/p'; }

read -r array merge <<<"$(submit | job_of)"
[ -n "${merge:-}" ] || fail "slurm_study.sh submitted nothing"
# Cancel task 1 once it has written rows, while it still runs.
cancelled=0
for _ in $(seq 1500); do
    rows=0
    [ -f "$work/out/shard-1/runs.csv" ] && rows=$(($(wc -l <"$work/out/shard-1/runs.csv") - 1))
    if [ "$rows" -ge 1 ] && [ "$(squeue -h -j "${array}_1" -o %T 2>/dev/null)" = RUNNING ]; then
        scancel "${array}_1" && cancelled=1
        break
    fi
    sleep 0.2
done
[ "$cancelled" -eq 1 ] || fail "task 1 was never seen running with rows written (it may have finished too fast: raise ZONEFIRE_CLUSTER_RUNS)"
wait_jobs "$array,$merge"
rows=$(($(wc -l <"$work/out/shard-1/runs.csv") - 1))
say "cancelled task 1 with $rows of its $((runs / shards)) runs written"
grep -q "не хватает расчетов" "$work/out/logs/merge-$merge.log" || fail "the merge after the cancel did not name the missing runs: $(cat "$work/out/logs/merge-$merge.log")"
[ ! -e "$work/out/all/runs.csv" ] || fail "the merge wrote results with runs missing"

read -r array2 merge2 <<<"$(submit 1 | job_of)"
wait_jobs "$array2,$merge2"
for f in study.json runs.csv summary.json summary.txt; do
    cmp "$work/one/$f" "$work/out/all/$f" || fail "$f of the merged folder differs from the study computed on one machine (merge log: $(cat "$work/out/logs/merge-$merge2.log"))"
done
grep -q "attempt 1" "$work/out/logs/shard-${array2}_1.log" || fail "the resubmitted task's log lacks its attempt line"
say "PASSED: task 1 cancelled mid-run and submitted again; the merged folder is byte-identical with the study on one machine; $((SECONDS - started)) s"
