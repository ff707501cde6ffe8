"""The validation cases run with zonefire-cli and reduced to points: the plume correlations and
quantities compared, the runs two at a time, the points of points.csv and the CSV writer. The
driver (validate.py) and the step check (step_check.py) both read it; it reads neither."""

import concurrent.futures
import csv
import json
import os

from measurements import measured_steady
from predictions import predicted_steady, run_case

PLUMES = ("tanaka", "mccaffrey")
PLUME_NAMES = {"tanaka": "Tanaka", "mccaffrey": "McCaffrey"}

# Quantities: key, name in the report, the experiments' combined relative uncertainty σ̃_E.
QUANTITIES = [
    ("layer_depth", "Smoke layer depth (ceiling height − layer height)", 0.05),
    ("upper_temp_rise", "Upper-layer temperature rise", 0.07),
    ("o2_drop", "Upper-layer O₂ relative drop", 0.08),
    ("co2_rise", "Upper-layer CO₂ rise (volume fraction)", 0.08),
    ("co", "Upper-layer CO (volume fraction)", 0.19),
    ("smoke_extinction", "Upper-layer smoke extinction coefficient", 0.19),
]
UNCERTAINTY = {k: u for k, _, u in QUANTITIES}


def ratio(pred, meas):
    if pred is None or meas is None or meas <= 0:
        return None
    return pred / meas


def load_cases(cases_dir):
    with open(os.path.join(cases_dir, "cases.json"), encoding="utf-8") as f:
        return json.load(f)


def compute(cli, cases_dir, jobs, step_scale=1.0, only=None, modify=None):
    """{(case id, plume): result}, run two at a time (the machine has two cores); `modify(case)`
    gives the function that adds a model option's keys to the case's scenario."""
    index = load_cases(cases_dir)
    todo = [(c, p) for c in index["cases"] for p in PLUMES if only is None or c["id"] in only]
    results = {}
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        futures = {pool.submit(run_case, cli, os.path.join(cases_dir, c["file"]), p, step_scale,
                               modify(c) if modify else None): (c["id"], p) for c, p in todo}
        for fut in concurrent.futures.as_completed(futures):
            results[futures[fut]] = fut.result()
    return index, results


def reduce_all(index, results):
    """Lines of points.csv, in case order."""
    points = []
    for case in index["cases"]:
        meas = measured_steady(case)
        for plume in PLUMES:
            res = results[(case["id"], plume)]
            pred = predicted_steady(case, res, sorted(meas)) if res["completed"] else {}
            for room in sorted(meas):
                for key, _, _ in QUANTITIES:
                    if key not in meas[room]:
                        continue
                    p = pred.get(room, {}).get(key)
                    points.append({"case": case["id"], "series": case["series"], "room": room,
                                   "room_name": case["rooms"][room - 1]["name"], "quantity": key,
                                   "plume": plume, "completed": res["completed"],
                                   "measured_rise": meas[room][key], "predicted_rise": p,
                                   "ratio": ratio(p, meas[room][key])})
    return points

def fmt(v):
    if v is None:
        return ""
    if isinstance(v, bool):
        return "yes" if v else "no"
    if isinstance(v, float):
        return "%.6g" % v
    return str(v)


def write_csv(path, rows, fields):
    with open(path, "w", newline="", encoding="utf-8") as f:
        w = csv.writer(f, lineterminator="\n")
        w.writerow(fields)
        for r in rows:
            w.writerow([fmt(r.get(k)) for k in fields])


POINT_FIELDS = ["case", "series", "room", "room_name", "quantity", "plume", "completed",
                "measured_rise", "predicted_rise", "ratio"]
STAT_FIELDS = ["group", "group_name", "quantity", "plume", "n", "bias", "scatter", "mean_ratio", "sd_ratio", "sigma_e"]
