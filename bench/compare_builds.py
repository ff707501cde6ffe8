#!/usr/bin/env python3
"""Side-by-side timing of two builds of the runner on the same buildings, in one session.

    bench/compare_builds.py OLD/zonefire-cli NEW/zonefire-cli [REPEATS] [BUILDING,...]

Each building of examples/ (default: two_rooms, chain10, chain50) is run REPEATS times (default
9) by each build, the two builds alternating so that a change in the machine's load falls on
both alike. The whole process is timed (reading, run, JSON written with --json), as a user
runs it. Printed per building: the least CPU time (user + system) and wall time of each build,
and NEW / OLD for the least and the median CPU time. The least is the figure to read on a
shared machine: other work can only add to a run's time.
"""
import pathlib
import resource
import statistics
import subprocess
import sys
import tempfile
import time

EXAMPLES = pathlib.Path(__file__).resolve().parent.parent / "examples"


def run(exe, building, out):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run([exe, str(EXAMPLES / f"{building}.json"), "--json", out, "--quiet"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    old, new = sys.argv[1], sys.argv[2]
    repeats = int(sys.argv[3]) if len(sys.argv) > 3 else 9
    buildings = sys.argv[4].split(",") if len(sys.argv) > 4 else ["two_rooms", "chain10", "chain50"]
    times = {}
    with tempfile.TemporaryDirectory() as tmp:
        out = str(pathlib.Path(tmp) / "result.json")
        for building in buildings:
            for i in range(repeats):
                order = [("old", old), ("new", new)] if i % 2 == 0 else [("new", new), ("old", old)]
                for who, exe in order:
                    times.setdefault((building, who), []).append(run(exe, building, out))
    for building in buildings:
        o, n = times[(building, "old")], times[(building, "new")]
        o_cpu, n_cpu = min(t[1] for t in o), min(t[1] for t in n)
        o_wall, n_wall = min(t[0] for t in o), min(t[0] for t in n)
        median = statistics.median(t[1] for t in n) / statistics.median(t[1] for t in o)
        print(f"{building:10s} old cpu {o_cpu:.3f} s wall {o_wall:.3f} s | new cpu {n_cpu:.3f} s wall {n_wall:.3f} s"
              f" | new/old least cpu {n_cpu / o_cpu:.3f}, median cpu {median:.3f}")


if __name__ == "__main__":
    main()
