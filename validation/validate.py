#!/usr/bin/env python3
"""Computes every validation case with zonefire-cli for both plume correlations, reduces the
predictions to what was measured and writes the comparison and its statistics.

    python3 validation/validate.py --cli build/cli/zonefire-cli [--out validation/results]
    python3 validation/validate.py --cli ... --check      # recompute, compare with the committed figures
    python3 validation/validate.py --cli ... --step-check # a few cases again with a 5x smaller step

Outputs (in --out): points.csv (one line per case, room, quantity and plume: predicted and
measured value and rise), statistics.csv (bias, scatter and number of points per quantity,
plume and group of tests), model_accuracy.json (the headline figures the program quotes) and
series/<case>.csv (measured time series with the predictions at the measured times).

Statistics, as the field's validation guides define them. For point i, E_i is the predicted
and M_i the measured rise above ambient (temperature rise; layer depth = ceiling height −
layer height; relative drop of oxygen; rise of CO2, CO and the smoke extinction coefficient),
and r_i = E_i/M_i. With μ and s the mean and sample standard deviation of ln r_i over the N
points:
    bias δ = exp(μ + s²/2)          (the mean of the ratio, fitted as log-normal)
    scatter σ̃_M = sqrt(max(s² − σ̃_E², 0))   (the model's relative spread once the
                                     experiments' own relative uncertainty σ̃_E is taken out)
The plain mean and standard deviation of r_i are written too.
"""

import argparse
import json
import math
import os
import sys
import tempfile

# The measured and the predicted values each have a file of their own (DATA is the report's too);
# the runs and their reduction to points one more, which the step check reads as well.
import step_check
from measurements import DATA, HERE, ValidationError, measured_series, read_csv  # noqa: F401
from points import (PLUME_NAMES, PLUMES, POINT_FIELDS, QUANTITIES, STAT_FIELDS, UNCERTAINTY,  # noqa: F401
                    compute, fmt, load_cases, ratio, reduce_all, write_csv)
from predictions import predicted_at

# Groups of points with statistics of their own, besides all points together.
GROUPS = [
    ("all", "all compared tests", lambda c: True),
    ("steckler_centre", "single room, centre burner", lambda c: c["series"] == "Steckler" and c["burner_location"] == "Center"),
    ("steckler_wall", "single room, wall or corner burner", lambda c: c["series"] == "Steckler" and c["burner_location"] != "Center"),
    ("nbs", "multi-room (3–5 rooms)", lambda c: c["series"].startswith("NBS")),
    ("nist", "large room, 1.2 MW", lambda c: c["series"].startswith("NIST")),
]


# ---------------------------------------------------------------- statistics

def statistics(ratios, sigma_e):
    """Bias δ, scatter σ̃_M, plain mean and SD of the ratios, and N (None where undefined)."""
    ratios = [r for r in ratios if r is not None and r > 0]
    n = len(ratios)
    if n == 0:
        return {"n": 0, "bias": None, "scatter": None, "mean_ratio": None, "sd_ratio": None}
    logs = [math.log(r) for r in ratios]
    mu = sum(logs) / n
    s2 = sum((x - mu) ** 2 for x in logs) / (n - 1) if n > 1 else 0.0
    mr = sum(ratios) / n
    sd = math.sqrt(sum((r - mr) ** 2 for r in ratios) / (n - 1)) if n > 1 else None
    return {"n": n, "bias": math.exp(mu + s2 / 2),
            "scatter": math.sqrt(max(s2 - sigma_e ** 2, 0.0)) if n > 1 else None,
            "mean_ratio": mr, "sd_ratio": sd}


def all_statistics(index, points):
    by_id = {c["id"]: c for c in index["cases"]}
    rows = []
    for gkey, gname, member in GROUPS:
        for key, _, sigma_e in QUANTITIES:
            for plume in PLUMES:
                rs = [p["ratio"] for p in points
                      if p["quantity"] == key and p["plume"] == plume and member(by_id[p["case"]])]
                if not rs:
                    continue
                st = statistics(rs, sigma_e)
                rows.append(dict(group=gkey, group_name=gname, quantity=key, plume=plume, sigma_e=sigma_e, **st))
    return rows



def write_series(out_dir, index, results):
    os.makedirs(out_dir, exist_ok=True)
    for case in index["cases"]:
        ms = measured_series(case)
        if not ms:
            continue
        lines = []
        for label, room, qty, pts in ms:
            for t, v in pts:
                row = {"label": label, "room": room, "quantity": qty, "time_s": t, "measured": v}
                for plume in PLUMES:
                    res = results[(case["id"], plume)]
                    row[plume] = predicted_at(res, room, qty, t) if t <= res["scenario"]["SimTime"] else None
                lines.append(row)
        write_csv(os.path.join(out_dir, case["id"] + ".csv"), lines,
                  ["label", "room", "quantity", "time_s", "measured"] + list(PLUMES))


def model_accuracy(stats):
    """The headline figures the program quotes: all compared tests, per quantity and plume."""
    out = {"quantities": []}
    for key, name, _ in QUANTITIES:
        entry = {"key": key, "name": name}
        for plume in PLUMES:
            st = next((s for s in stats if s["group"] == "all" and s["quantity"] == key and s["plume"] == plume), None)
            if st:
                entry[plume] = {"n": st["n"], "bias": round(st["bias"], 3) if st["bias"] else None,
                                "scatter": round(st["scatter"], 3) if st["scatter"] is not None else None}
        out["quantities"].append(entry)
    return out


def read_stats(path):
    return {(r["group"], r["quantity"], r["plume"]): r for r in read_csv(path)}


def compare_stats(committed, fresh, rel=1e-6):
    """Differences between two statistics tables, as messages."""
    problems = []
    for key in sorted(set(committed) | set(fresh)):
        a, b = committed.get(key), fresh.get(key)
        if a is None or b is None:
            problems.append("%s: %s" % ("/".join(key), "new" if a is None else "missing"))
            continue
        for field in ("n", "bias", "scatter", "mean_ratio", "sd_ratio"):
            x, y = a[field], b[field]
            if x == y:
                continue
            if not x or not y or abs(float(x) - float(y)) > rel * max(abs(float(x)), abs(float(y))):
                problems.append("%s %s: committed %s, now %s" % ("/".join(key), field, x or "-", y or "-"))
    return problems


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--cli", required=True, help="path of zonefire-cli")
    ap.add_argument("--cases", default=os.path.join(HERE, "cases"))
    ap.add_argument("--out", default=os.path.join(HERE, "results"))
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--check", action="store_true", help="compare with the committed statistics instead of writing")
    ap.add_argument("--step-check", action="store_true", help="rerun a few cases with a 5x smaller step")
    args = ap.parse_args(argv)
    if not os.access(args.cli, os.X_OK):
        print("validate: zonefire-cli not found or not executable: %s" % args.cli, file=sys.stderr)
        return 2
    try:
        index, results = compute(args.cli, args.cases, args.jobs)
        failed = sorted("%s (%s)" % k for k, r in results.items() if not r["completed"])
        points = reduce_all(index, results)
        stats = all_statistics(index, points)
        if args.check:
            with tempfile.TemporaryDirectory() as tmp:
                write_csv(os.path.join(tmp, "statistics.csv"), stats, STAT_FIELDS)
                problems = compare_stats(read_stats(os.path.join(args.out, "statistics.csv")),
                                         read_stats(os.path.join(tmp, "statistics.csv")))
            problems += ["run did not complete: " + f for f in failed]
            for p in problems:
                print("validate: " + p, file=sys.stderr)
            print("validate: %d runs, %d points, %d statistics lines: %s" % (
                len(results), len(points), len(stats), "differences" if problems else "as committed"))
            return 1 if problems else 0
        os.makedirs(args.out, exist_ok=True)
        write_csv(os.path.join(args.out, "points.csv"), points, POINT_FIELDS)
        write_csv(os.path.join(args.out, "statistics.csv"), stats, STAT_FIELDS)
        write_series(os.path.join(args.out, "series"), index, results)
        with open(os.path.join(args.out, "model_accuracy.json"), "w", encoding="utf-8") as f:
            json.dump(model_accuracy(stats), f, indent=1, ensure_ascii=False)
            f.write("\n")
        if args.step_check:
            step_check.write_step_check(args, index, results)
        for f_ in failed:
            print("validate: run did not complete: " + f_, file=sys.stderr)
        print("validate: %d runs, %d points written to %s" % (len(results), len(points), args.out))
        return 1 if failed else 0
    except (ValidationError, OSError, KeyError, ValueError) as e:
        print("validate: %s" % e, file=sys.stderr)
        return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
