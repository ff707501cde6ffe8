#!/usr/bin/env python3
"""Cost of the model options against the reference, in one sitting on one machine: for each
case (Steckler_14, NBS_MV100Z and the project's examples) the runner's instruction count under
callgrind (load-independent, the primary figure) and the median of paired wall-clock runs,
for the reference, consistent outflow, heat loss (the case's documented linings; gypsum board
12.5 mm for the examples) and both.

    python3 bench/options_cost.py [--cli build/cli/zonefire-cli] [--pairs 3] [--no-callgrind]

MV100Z is cut to 60 s of model time (300 000 steps at its 0.0002 s step) so that callgrind
finishes; the ratios are per step and do not depend on the span.
"""

import argparse
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "validation"))
import model_options  # noqa: E402  (the validation's linings)

CASES = [("Steckler_14", "validation/cases/Steckler_14.json", None, "Steckler"),
         ("NBS_MV100Z", "validation/cases/NBS_MV100Z.json", 60, "NBS multi-room"),
         ("two_rooms", "examples/two_rooms.json", None, None),
         ("five_rooms_corridor", "examples/five_rooms_corridor.json", None, None),
         ("chain10", "examples/chain10.json", None, None)]
OPTIONS = ["reference", "consistent_outflow", "heat_loss", "both"]


def scenario(path, sim_time, series, option):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        s = json.load(f)
    if sim_time:
        s["SimTime"] = sim_time
    if option in ("consistent_outflow", "both"):
        s["consistent_outflow"] = True
    if option in ("heat_loss", "both"):
        if series:
            model_options.lining({"series": series}, s)
        else:
            s["heat_loss"] = {"walls": {"material": "gypsum_board", "thickness": 0.0125}}
    return s


def instructions(cli, path):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "cg.out")
        subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out, cli, path, "--quiet"],
                       capture_output=True, check=False)
        with open(out, encoding="utf-8", errors="replace") as f:
            for line in f:
                m = re.match(r"(summary|totals):\s+(\d+)", line)
                if m:
                    return int(m.group(2))
    raise RuntimeError("no callgrind total for " + path)


def wall(cli, path):
    start = time.perf_counter()
    # A run that fails would time its error message: it must fail the measurement instead.
    subprocess.run([cli, path, "--quiet"], capture_output=True, check=True)
    return time.perf_counter() - start


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--cli", default=os.path.join(ROOT, "build/cli/zonefire-cli"))
    ap.add_argument("--pairs", type=int, default=3)
    ap.add_argument("--no-callgrind", action="store_true")
    args = ap.parse_args(argv)
    print("| case | option | Ir ratio | wall ratio (median of %d pairs) |" % args.pairs)
    print("|---|---|---|---|")
    with tempfile.TemporaryDirectory() as tmp:
        for name, path, sim_time, series in CASES:
            files = {}
            for o in OPTIONS:
                files[o] = os.path.join(tmp, "%s_%s.json" % (name, o))
                with open(files[o], "w", encoding="utf-8") as f:
                    json.dump(scenario(path, sim_time, series, o), f)
            ir = {o: instructions(args.cli, files[o]) for o in OPTIONS} if not args.no_callgrind else {}
            for o in OPTIONS[1:]:
                ratios = []
                for _ in range(args.pairs):  # each pair: the reference and the option back to back
                    ref = wall(args.cli, files["reference"])
                    opt = wall(args.cli, files[o])
                    ratios.append(opt / ref)
                ir_ratio = "%.3f" % (ir[o] / ir["reference"]) if ir else "—"
                print("| %s | %s | %s | %.2f |" % (name, o, ir_ratio, statistics.median(ratios)), flush=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
