"""The model's predictions as the validation compares them: a case run by zonefire-cli with a
chosen plume (and step, and model option), and its samples reduced to the measured quantities.
The inputs' defaults and the model's constants come from the program itself
(`zonefire-cli --inputs`), never from copies kept here."""

import json
import math
import os
import subprocess
import tempfile

from measurements import ValidationError, mean

# Molar masses [g/mol]: a layer's mass fraction becomes a volume fraction as
# X_vol = X_mass · M_air / M_species (the layer is mostly air).
M_AIR, M_CO2, M_CO = 28.96, 44.01, 28.01

INPUT_TABLE_FORMAT = "zonefire-inputs"
INPUT_TABLE_VERSION = 1
_tables = {}


def program_table(cli):
    """The program's input table and constants, as `zonefire-cli --inputs` prints them; read
    once per program."""
    if cli not in _tables:
        proc = subprocess.run([cli, "--inputs"], capture_output=True, text=True)
        if proc.returncode != 0:
            raise ValidationError("zonefire-cli --inputs exit %d: %s" % (proc.returncode, proc.stderr.strip()))
        table = json.loads(proc.stdout)
        if table.get("format") != INPUT_TABLE_FORMAT or table.get("version") != INPUT_TABLE_VERSION:
            raise ValidationError("zonefire-cli --inputs wrote %s version %s; this tool reads %s version %d" % (
                table.get("format"), table.get("version"), INPUT_TABLE_FORMAT, INPUT_TABLE_VERSION))
        _tables[cli] = table
    return _tables[cli]


def with_defaults(scenario, table):
    """The scenario's number inputs as the program runs them: a key left out takes the table's default."""
    full = dict(scenario)
    for row in table["inputs"]:
        full.setdefault(row["key"], row["default"])
    return full


def constant(result, name):
    """One of the model's constants the program gave with the result (see run_case)."""
    return result["program"]["constants"][name]["value"]


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
    table = program_table(cli)
    with open(case_file, encoding="utf-8") as f:
        scenario = json.load(f)
    scenario["plume"] = plume
    scenario["dt"] = with_defaults(scenario, table)["dt"] * step_scale
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
    result["scenario"] = with_defaults(scenario, table)
    result["program"] = table
    return result


def working_zone_profile(hr, yk, height, exponent):
    """The model's working-zone factor F = z·e^(exponent·z), z = (hr − Yk)/(H − Yk); None outside the layer."""
    if yk >= hr or height - yk <= 0:
        return None
    z = (hr - yk) / (height - yk)
    return z * math.exp(exponent * z)


def predicted_steady(case, result, rooms):
    """{room: {quantity: predicted rise}} over the case's window, for the given rooms."""
    sc = result["scenario"]
    t0, hr = sc["T0"], sc["hr"]
    ro0 = constant(result, "air_density_times_temperature") / t0
    o2_air = constant(result, "oxygen_mass_fraction")
    exponent = constant(result, "profile_exponent")
    visibility, max_visibility = constant(result, "visibility_constant"), constant(result, "max_visibility")
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
                f = working_zone_profile(hr, s["Yk"][m], h, exponent)
                if f is None or f == 0:
                    continue
                ro2 = s["Ro2"][m]
                # The working-zone values are ambient + F·(layer − ambient): invert for the layer.
                o2_layer = o2_air * ro0 + (s["O2w"][m] - o2_air * ro0) / f
                o2.append(1.0 - o2_layer / ro2 / o2_air)
                co2.append(s["CO2w"][m] / (f * ro2) * M_AIR / M_CO2)
                co.append(s["COw"][m] / (f * ro2) * M_AIR / M_CO)
                if s["Lw"][m] < max_visibility:
                    ext.append(visibility / (f * s["Lw"][m]))
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
