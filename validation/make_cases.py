#!/usr/bin/env python3
"""Writes one zonefire scenario file per fire test that the model can represent, and the list
of cases (validation/cases/cases.json) with, for every test it cannot represent, the reasons.

    python3 validation/make_cases.py [--data DIR] [--out DIR] [--check]

With --check nothing is written: the exit status says whether the files in --out are exactly
what the data give (1 and the names of the differing files when not).

Everything comes from data/scenarios.json and data/fuels.json; nothing is typed per test. The
output is deterministic, so the validation test can regenerate it and compare.

How a test's fire becomes the model's fire load. The model's burning area grows as a circle
r = Vlin·t and is capped by the floor and by fire_area_max; the heat release is
Q = Nu·PsiUd·Qn·area. A burner of area A and steady heat release Q is therefore:
fire_area_max = A, PsiUd = Q/(Nu·Qn·A) [kg/(m²·s)], and Vlin = sqrt(A/π)/t_ramp [m/s], so the
circle covers the burner at t_ramp, the end of the test's rise to full heat release (a growth
∝ t² instead of the measured rise, which ends at the same time). Once at full power the model
fire never goes out, so a case is computed only up to the end of its comparison window; the
measured fires were still at full power there.
"""

import argparse
import json
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# Rise to full heat release assumed for a test given only as steady (no schedule) [s]. The
# steady values are compared after 1500 s, so the choice does not reach the comparison.
STEADY_RAMP_S = 10.0

# Sampling of the computed series: one sample per second is finer than every measurement
# (10 s series, steady means over 300 s or more).
SAMPLES_PER_SEC = 1

# Time step [s]; REPORT.md ("Time step") shows the check against a step five times smaller.
# One room settles to the same steady state at any step that keeps it stable (0.005 s and
# 0.001 s agree to 1e-8). Where gas passes from room to room the error falls only in
# proportion to the step: at 0.001 s the far rooms of the multi-room tests ran about 4 % hot
# (8 K of 200 K), at 0.0002 s about 0.5 %, well below the experiments' 7 %.
TIME_STEP_ONE_ROOM_S = 0.005
TIME_STEP_SEVERAL_ROOMS_S = 0.0002

# Burners whose top is this far above the floor or more are not represented: the model's
# plume rises from the floor [m]. The floor burners of the single-room tests sit at 0.02 m.
RAISED_BURNER_M = 0.1

# Comparison windows of the steady values [s], per series: the single-room tests are steady
# and are compared with the model's mean over the last 300 s of a 1800 s run; the multi-room
# and large-room windows are those of the measured means (data/*_steady_period_means.csv).
STEADY_WINDOW_S = {
    "Steckler": (1500.0, 1800.0),
    "NBS multi-room": (600.0, 900.0),
    "NIST/NRC (ICFMP BE3)": (600.0, 1380.0),
}


class CaseError(Exception):
    pass


def fuel_properties(fuels, fuel_text):
    text = fuel_text.lower()
    for name, props in sorted(fuels["fuels"].items()):
        if any(m in text for m in props["match"]):
            return name, props
    raise CaseError("no fuel in data/fuels.json matches %r" % fuel_text)


def not_represented_reasons(sc):
    """Why the model cannot represent the test; empty when it can."""
    reasons = []
    for o in sc["openings"]:
        if o.get("sill_m", 0.0) > 0:
            where = "to the outside" if "outside" in o["rooms"] else "between rooms"
            reasons.append(
                "opening %s with its sill %.2f m above the floor (%.2f x %.2f m); the model's openings "
                "start at the floor" % (where, o["sill_m"], o["width_m"], o["height_m"]))
    for r in sc["rooms"]:
        if "height_ridge_m" in r:
            reasons.append("room '%s' is not a box: pitched roof up to %.1f m over walls of a lower "
                           "height; the model's rooms are boxes" % (r["name"], r["height_ridge_m"]))
    h = sc["fire"].get("burner_height_m", 0.0)
    if h >= RAISED_BURNER_M:
        reasons.append("burner top raised %.2f m above the floor; the model's plume rises from the floor" % h)
    for note in sc.get("notes", []):
        if "exhaust" in note.lower() or "fan" in note.lower().split():
            reasons.append("mechanical exhaust; the model has no fan: " + note)
    if not reasons and sc["series"] not in STEADY_WINDOW_S:
        reasons.append("no comparison window is defined for the series '%s'" % sc["series"])
    # Several sills in one test say the same thing; keep each reason once, in order.
    return list(dict.fromkeys(reasons))


def ramp_time(fire):
    """End of the rise to full heat release [s]: the first schedule point at the peak."""
    schedule = fire.get("hrr_schedule_s_W")
    if not schedule:
        return STEADY_RAMP_S
    peak = max(q for _, q in schedule)
    return next(t for t, q in schedule if q == peak)


def full_power_heat_release(fire):
    schedule = fire.get("hrr_schedule_s_W")
    return max(q for _, q in schedule) if schedule else fire["hrr_W"]


def scenario_file(sc, fuels):
    """The scenario file's object for a representable test."""
    fire = sc["fire"]
    _, fuel = fuel_properties(fuels, fire["fuel"])
    area = fire["burner_area_m2"]
    q = full_power_heat_release(fire)
    qn = fire["heat_of_combustion_J_per_kg"]
    nu = fire["completeness"]
    window = STEADY_WINDOW_S[sc["series"]]
    height = min(r["height_m"] for r in sc["rooms"])
    room_number = {r["id"]: i + 1 for i, r in enumerate(sc["rooms"])}
    if room_number.get(fire["room"]) != 1:
        raise CaseError("%s: the fire must be in the first room" % sc["id"])
    openings = []
    for o in sc["openings"]:
        a, b = o["rooms"]
        i = room_number[a]
        j = i if b == "outside" else room_number[b]
        openings.append({"rooms": [i, j], "height": o["height_m"], "width": o["width_m"], "open": True})
    ambient = sc.get("ambient_measured_initial_K", sc["ambient_K"])
    return {
        "Qn": qn,
        "Vlin": math.sqrt(area / math.pi) / ramp_time(fire),
        "PsiUd": q / (nu * qn * area),
        "fire_area_max": area,
        "D": fuel["soot_per_kg"] * fuels["smoke_extinction_m2_per_kg"],
        "Lo2": fuel["o2_per_kg"],
        "Lco": fuel["co_per_kg"],
        "Lco2": fuel["co2_per_kg"],
        "Lhcl": 0.0,
        "Nu": nu,
        "T0": ambient,
        # Working zone near the ceiling of the lowest room, inside the smoke layer whenever
        # there is one, so the gas and smoke values can be traced back to the layer's own.
        "hr": round(0.9 * height, 3),
        "SimTime": window[1],
        "dt": TIME_STEP_ONE_ROOM_S if len(sc["rooms"]) == 1 else TIME_STEP_SEVERAL_ROOMS_S,
        "SamplesPerSec": SAMPLES_PER_SEC,
        "plume": "tanaka",
        "rooms": [{"length": r["length_m"], "width": r["width_m"], "height": r["height_m"]} for r in sc["rooms"]],
        "openings": openings,
    }


def case_entry(sc, fuels, file_name):
    fire = sc["fire"]
    fuel_name, _ = fuel_properties(fuels, fire["fuel"])
    entry = {
        "id": sc["id"],
        "series": sc["series"],
        "file": file_name,
        "window_s": list(STEADY_WINDOW_S[sc["series"]]),
        "ambient_K": sc.get("ambient_measured_initial_K", sc["ambient_K"]),
        "heat_release_W": full_power_heat_release(fire),
        "ramp_s": ramp_time(fire),
        "burner_area_m2": fire["burner_area_m2"],
        "burner_location": fire.get("burner_location", ""),
        "fuel": fuel_name,
        "rooms": [{"name": r["name"], "length": r["length_m"], "width": r["width_m"], "height": r["height_m"]}
                  for r in sc["rooms"]],
        "openings": [{"rooms": o["rooms"], "width": o["width_m"], "height": o["height_m"]} for o in sc["openings"]],
        "compare": sc["compare"],
    }
    return entry


def generate(data_dir):
    """Returns ({file name: scenario object}, cases index object)."""
    with open(os.path.join(data_dir, "scenarios.json"), encoding="utf-8") as f:
        scenarios = json.load(f)["scenarios"]
    with open(os.path.join(data_dir, "fuels.json"), encoding="utf-8") as f:
        fuels = json.load(f)
    files, cases, skipped = {}, [], []
    for sc in scenarios:
        reasons = not_represented_reasons(sc)
        if reasons:
            skipped.append({"id": sc["id"], "series": sc["series"], "reasons": reasons})
            continue
        name = sc["id"] + ".json"
        files[name] = scenario_file(sc, fuels)
        cases.append(case_entry(sc, fuels, name))
    return files, {"cases": cases, "not_represented": skipped}


def dump(obj):
    return json.dumps(obj, indent=1, ensure_ascii=False, sort_keys=False) + "\n"


def check(out_dir, files, index):
    wanted = dict(files)
    wanted["cases.json"] = index
    present = {n for n in os.listdir(out_dir) if n.endswith(".json")} if os.path.isdir(out_dir) else set()
    differing = sorted(n for n in present - set(wanted))
    for name, obj in sorted(wanted.items()):
        path = os.path.join(out_dir, name)
        try:
            with open(path, encoding="utf-8") as f:
                same = f.read() == dump(obj)
        except OSError:
            same = False
        if not same:
            differing.append(name)
    for name in differing:
        print("make_cases: %s differs from what the data give" % os.path.join(out_dir, name), file=sys.stderr)
    print("make_cases: %d files %s" % (len(wanted), "differ" if differing else "as generated"))
    return 1 if differing else 0


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--data", default=os.path.join(HERE, "data"))
    parser.add_argument("--out", default=os.path.join(HERE, "cases"))
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args(argv)
    try:
        files, index = generate(args.data)
    except (CaseError, OSError, KeyError, ValueError) as e:
        print("make_cases: %s" % e, file=sys.stderr)
        return 2
    if args.check:
        return check(args.out, files, index)
    os.makedirs(args.out, exist_ok=True)
    stale = {n for n in os.listdir(args.out) if n.endswith(".json")} - set(files) - {"cases.json"}
    for name in sorted(stale):
        os.remove(os.path.join(args.out, name))
    for name, obj in sorted(files.items()):
        with open(os.path.join(args.out, name), "w", encoding="utf-8") as f:
            f.write(dump(obj))
    with open(os.path.join(args.out, "cases.json"), "w", encoding="utf-8") as f:
        f.write(dump(index))
    print("make_cases: %d cases, %d not represented" % (len(files), len(index["not_represented"])))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
