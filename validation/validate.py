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
import concurrent.futures
import csv
import json
import math
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "data")
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

# Molar masses [g/mol]: a layer's mass fraction becomes a volume fraction as
# X_vol = X_mass · M_air / M_species (the layer is mostly air).
M_AIR, M_CO2, M_CO = 28.96, 44.01, 28.01
O2_MASS_FRACTION_AIR = 0.23   # the model's oxygen mass fraction of air
VISIBILITY_CONST = 2.38       # the model's visibility = 2.38 / (F·optical density) [m]
MAX_VISIBILITY = 50.0         # the model's visibility cap [m]
SMOKE_EXTINCTION_PER_MG_M3 = 8.7e-3  # 8.7 m²/g: smoke mass [mg/m³] -> extinction [1/m]

# Groups of points with statistics of their own, besides all points together.
GROUPS = [
    ("all", "all compared tests", lambda c: True),
    ("steckler_centre", "single room, centre burner", lambda c: c["series"] == "Steckler" and c["burner_location"] == "Center"),
    ("steckler_wall", "single room, wall or corner burner", lambda c: c["series"] == "Steckler" and c["burner_location"] != "Center"),
    ("nbs", "multi-room (3–5 rooms)", lambda c: c["series"].startswith("NBS")),
    ("nist", "large room, 1.2 MW", lambda c: c["series"].startswith("NIST")),
]


class ValidationError(Exception):
    pass


# ---------------------------------------------------------------- measurements

def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        return list(csv.DictReader(f))


def num(text):
    v = float(text)
    return None if math.isnan(v) else v


def mean(values):
    values = [v for v in values if v is not None]
    return sum(values) / len(values) if values else None


def measured_steady(case):
    """{room number: {quantity: measured rise}} for the case's steady comparison."""
    series, cmp_ = case["series"], case["compare"]
    amb = case["ambient_K"]
    heights = {i + 1: r["height"] for i, r in enumerate(case["rooms"])}
    if series == "Steckler":
        row = next(r for r in read_csv(os.path.join(DATA, cmp_["file"])) if r["test"] == cmp_["row"])
        return {1: {"layer_depth": heights[1] - float(row["layer_height_m"]),
                    "upper_temp_rise": float(row["T_upper_recomputed_K"]) - float(row["T_ambient_K"])}}
    if series.startswith("NBS"):
        test = case["id"].split("_")[-1]
        rows = [r for r in read_csv(os.path.join(DATA, cmp_["steady_means"])) if r["test"] == test]
        by_room = {}
        for r in rows:
            room = cmp_["tree_to_room"].get("tree" + r["tree"])
            if room is None:
                continue
            by_room.setdefault(room, []).append(r)
        # Trees in the same room are averaged, so a room counts once whatever its tree count.
        return {room: {"layer_depth": heights[room] - mean(float(r["mean_layer_height_m"]) for r in rs),
                       "upper_temp_rise": mean(float(r["mean_T_upper_K"]) for r in rs) - amb}
                for room, rs in sorted(by_room.items())}
    if series.startswith("NIST"):
        test = case["id"].split("_")[-1]
        row = next(r for r in read_csv(os.path.join(DATA, "nist_nrc/NIST_NRC_steady_period_means.csv")) if r["test"] == test)
        ts = read_csv(os.path.join(DATA, cmp_["file"]))
        before = [r for r in ts if float(r["time_s"]) < 0]  # pre-fire baseline
        o2_0 = mean(num(r["O2_upper_volfrac"]) for r in before)
        co2_0 = mean(num(r["CO2_upper_volfrac"]) for r in before)
        out = {"layer_depth": heights[1] - float(row["mean_layer_height_m"]),
               "upper_temp_rise": float(row["mean_T_upper_K"]) - amb,
               "o2_drop": (o2_0 - float(row["mean_O2_upper"])) / o2_0,
               "co2_rise": float(row["mean_CO2_upper"]) - co2_0,
               "smoke_extinction": SMOKE_EXTINCTION_PER_MG_M3 * float(row["mean_smoke_mg_m3"])}
        co = num(row["mean_CO_upper"])
        if co is not None:
            out["co"] = co
        return {1: out}
    raise ValidationError("%s: no measured values for the series %s" % (case["id"], series))


def measured_series(case):
    """[(label, room, quantity, [(t, value)])] of the measured time series; temperatures in K."""
    series, cmp_ = case["series"], case["compare"]
    if series == "Steckler":
        return []
    rows = read_csv(os.path.join(DATA, cmp_["file"]))
    out = []
    if series.startswith("NBS"):
        for tree, room in sorted(cmp_["tree_to_room"].items()):
            for qty, col, add in (("layer_height", "_layer_height_m", 0.0), ("upper_temp", "_T_upper_C", 273.15)):
                pts = [(float(r["time_s"]), num(r[tree + col])) for r in rows if tree + col in r]
                pts = [(t, v + add) for t, v in pts if v is not None and t >= 0]
                if pts:
                    out.append((tree, room, qty, pts))
    else:
        for qty, col, add in (("layer_height", "layer_height_m", 0.0), ("upper_temp", "T_upper_C", 273.15)):
            pts = [(float(r["time_s"]), num(r[col])) for r in rows]
            out.append(("layer", 1, qty, [(t, v + add) for t, v in pts if v is not None and t >= 0]))
    return out


# ---------------------------------------------------------------- predictions

RESULT_FORMAT = "zonefire-result"
RESULT_VERSION = 2  # critical times never reached are null (version 1 wrote 0)


def check_result_version(result, where):
    """Refuses a result of another format version, naming the version it has."""
    version = result.get("version", 1) if result.get("format", RESULT_FORMAT) == RESULT_FORMAT else None
    if version != RESULT_VERSION:
        raise ValidationError("%s: zonefire-cli wrote a result of format version %s; this tool reads version %d" % (
            where, version if version is not None else "unknown (format %r)" % result.get("format"), RESULT_VERSION))


def run_case(cli, case_file, plume, step_scale=1.0, modify=None):
    """Runs zonefire-cli on the case with the given plume and its time step times
    `step_scale`, after `modify(scenario)` (a model option's keys); returns its JSON result."""
    with open(case_file, encoding="utf-8") as f:
        scenario = json.load(f)
    scenario["plume"] = plume
    scenario["dt"] *= step_scale
    if modify:
        modify(scenario)
    with tempfile.TemporaryDirectory(prefix="zf-validation-") as tmp:
        path = os.path.join(tmp, "case.json")
        out = os.path.join(tmp, "result.json")
        with open(path, "w", encoding="utf-8") as f:
            json.dump(scenario, f)
        proc = subprocess.run([cli, path, "--json", out, "--quiet"], capture_output=True, text=True)
        if proc.returncode not in (0, 1) or not os.path.exists(out):
            raise ValidationError("%s (%s): zonefire-cli exit %d: %s" % (
                os.path.basename(case_file), plume, proc.returncode, proc.stderr.strip()))
        with open(out, encoding="utf-8") as f:
            result = json.load(f)
    check_result_version(result, os.path.basename(case_file))
    result["scenario"] = scenario
    return result


def working_zone_profile(hr, yk, height):
    """The model's working-zone factor F = z·e^(1.4z), z = (hr − Yk)/(H − Yk); None outside the layer."""
    if yk >= hr or height - yk <= 0:
        return None
    z = (hr - yk) / (height - yk)
    return z * math.exp(1.4 * z)


def predicted_steady(case, result, rooms):
    """{room: {quantity: predicted rise}} over the case's window, for the given rooms."""
    sc = result["scenario"]
    t0, hr = sc["T0"], sc["hr"]
    ro0 = 353.5138 / t0
    lo, hi = case["window_s"]
    idx = [m for m, t in enumerate(result["sample_times"]) if lo <= t <= hi]
    if not idx:
        raise ValidationError("%s: no computed sample in %g–%g s" % (case["id"], lo, hi))
    out = {}
    for room in rooms:
        s = result["rooms"][room - 1]["samples"]
        h = case["rooms"][room - 1]["height"]
        q = {"layer_depth": h - mean(s["Yk"][m] for m in idx),
             "upper_temp_rise": mean(s["T2"][m] for m in idx) - t0}
        if case["series"].startswith("NIST"):
            o2, co2, co, ext = [], [], [], []
            for m in idx:
                f = working_zone_profile(hr, s["Yk"][m], h)
                if f is None or f == 0:
                    continue
                ro2 = s["Ro2"][m]
                # The working-zone values are ambient + F·(layer − ambient): invert for the layer.
                o2_layer = O2_MASS_FRACTION_AIR * ro0 + (s["O2w"][m] - O2_MASS_FRACTION_AIR * ro0) / f
                o2.append(1.0 - o2_layer / ro2 / O2_MASS_FRACTION_AIR)
                co2.append(s["CO2w"][m] / (f * ro2) * M_AIR / M_CO2)
                co.append(s["COw"][m] / (f * ro2) * M_AIR / M_CO)
                if s["Lw"][m] < MAX_VISIBILITY:
                    ext.append(VISIBILITY_CONST / (f * s["Lw"][m]))
            q.update({"o2_drop": mean(o2), "co2_rise": mean(co2), "co": mean(co), "smoke_extinction": mean(ext)})
        out[room] = q
    return out


def interpolate(times, values, t):
    if t < times[0] or t > times[-1]:
        return None
    lo, hi = 0, len(times) - 1
    while hi - lo > 1:
        mid = (lo + hi) // 2
        if times[mid] <= t:
            lo = mid
        else:
            hi = mid
    if times[hi] == times[lo]:
        return values[lo]
    w = (t - times[lo]) / (times[hi] - times[lo])
    return values[lo] + w * (values[hi] - values[lo])


def predicted_at(result, room, qty, t):
    """The computed value at time t, linear between samples; before the first sample the
    initial state (layer at the ceiling, ambient temperature)."""
    s = result["rooms"][room - 1]["samples"]
    times = result["sample_times"]
    values = s["Yk"] if qty == "layer_height" else s["T2"]
    if t < times[0]:
        return result["scenario"]["rooms"][room - 1]["height"] if qty == "layer_height" else result["scenario"]["T0"]
    return interpolate(times, values, t)


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


def ratio(pred, meas):
    if pred is None or meas is None or meas <= 0:
        return None
    return pred / meas


# ---------------------------------------------------------------- driver

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
            write_step_check(args, index, results)
        for f_ in failed:
            print("validate: run did not complete: " + f_, file=sys.stderr)
        print("validate: %d runs, %d points written to %s" % (len(results), len(points), args.out))
        return 1 if failed else 0
    except (ValidationError, OSError, KeyError, ValueError) as e:
        print("validate: %s" % e, file=sys.stderr)
        return 2


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


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
