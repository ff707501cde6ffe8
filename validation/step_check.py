"""The two checks of the time step: step_rise.csv, the reduced values of a few cases with the
chosen step and a 5x smaller one; step_check.csv, the engineer's step check of the runner
(zonefire-cli --check-step: critical and blocking times at dt and dt/2) on the same cases."""

import json
import os
import subprocess
import tempfile

from measurements import ValidationError
from points import PLUMES, compute, load_cases, reduce_all, write_csv

STEP_CHECK_CASES = ("Steckler_14", "Steckler_21", "NBS_MV100Z", "NIST_NRC_Test_03")


def write_step_check(args, index, results):
    """The two checks of the time step: step_rise.csv, the reduced values of a few cases with the
    chosen step and a 5x smaller one; step_check.csv, the engineer's step check of the runner
    (zonefire-cli --check-step: critical and blocking times at dt and dt/2) on the same cases."""
    write_step_rise(args, index, results)
    with open(os.path.join(args.out, "step_check.csv"), "w", encoding="utf-8", newline="") as f:
        f.write(step_check_csv(args.cli, args.cases, STEP_CHECK_CASES))


def write_step_rise(args, index, results):
    """The reduced values of a few cases with the chosen step and a 5x smaller one."""
    subset = {"cases": [c for c in index["cases"] if c["id"] in STEP_CHECK_CASES]}
    rows = []
    _, fine = compute(args.cli, args.cases, args.jobs, step_scale=0.2, only=STEP_CHECK_CASES)
    coarse_pts = reduce_all(subset, results)
    fine_pts = reduce_all(subset, fine)
    for a, b in zip(coarse_pts, fine_pts):
        dt = results[(a["case"], a["plume"])]["scenario"]["dt"]
        diff = None
        if a["predicted_rise"] is not None and b["predicted_rise"]:
            diff = abs(a["predicted_rise"] - b["predicted_rise"]) / abs(b["predicted_rise"])
        rows.append({"case": a["case"], "room": a["room"], "quantity": a["quantity"], "plume": a["plume"],
                     "dt": dt, "predicted_rise": a["predicted_rise"], "dt_fine": dt / 5,
                     "predicted_rise_fine": b["predicted_rise"], "relative_difference": diff})
    write_csv(os.path.join(args.out, "step_rise.csv"), rows,
              ["case", "room", "quantity", "plume", "dt", "predicted_rise", "dt_fine", "predicted_rise_fine",
               "relative_difference"])


def check_step(cli, case_file, plume):
    """The runner's step check of one case with one plume: its CSV lines without the header.
    The case column is the scenario's file name, <case>_<plume>.json."""
    with open(case_file, encoding="utf-8") as f:
        scenario = json.load(f)
    scenario["plume"] = plume
    name = "%s_%s.json" % (os.path.splitext(os.path.basename(case_file))[0], plume)
    with tempfile.TemporaryDirectory(prefix="zf-step-check-") as tmp:
        with open(os.path.join(tmp, name), "w", encoding="utf-8") as f:
            json.dump(scenario, f)
        proc = subprocess.run([os.path.abspath(cli), "--check-step", name, "--csv", "check.csv"], cwd=tmp,
                              capture_output=True, text=True)
        # 0: the step is small enough, 5: too large, 1: a run failed; the CSV says which.
        if proc.returncode not in (0, 1, 5) or not os.path.exists(os.path.join(tmp, "check.csv")):
            raise ValidationError("%s: zonefire-cli --check-step exit %d: %s" % (name, proc.returncode,
                                                                               proc.stderr.strip()))
        with open(os.path.join(tmp, "check.csv"), encoding="utf-8", newline="") as f:
            header, *lines = f.read().splitlines(keepends=True)
    return header, lines


def step_check_csv(cli, cases_dir, only):
    """The runner's step check of the chosen cases with both plumes, as one CSV (its header once)."""
    index = load_cases(cases_dir)
    todo = [(c, p) for c in index["cases"] for p in PLUMES if c["id"] in only]
    header, body = None, []
    for case, plume in todo:
        header, lines = check_step(cli, os.path.join(cases_dir, case["file"]), plume)
        body.extend(lines)
    return (header or "") + "".join(body)
