"""The experiments' measured values as the validation compares them: per case the steady
values of its comparison window and the measured time series, read from validation/data/."""

import csv
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "data")
SMOKE_EXTINCTION_PER_MG_M3 = 8.7e-3  # 8.7 m²/g: smoke mass [mg/m³] -> extinction [1/m]


class ValidationError(Exception):
    """A case, a data file or a result the tools cannot use; the message names it."""


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
