"""The model's predictions as the validation compares them: a case run by zonefire-cli with a
chosen plume (and step, and model option), and its samples reduced to the measured quantities."""

import json
import math
import os
import subprocess
import tempfile

from measurements import ValidationError, mean

# Molar masses [g/mol]: a layer's mass fraction becomes a volume fraction as
# X_vol = X_mass · M_air / M_species (the layer is mostly air).
M_AIR, M_CO2, M_CO = 28.96, 44.01, 28.01
O2_MASS_FRACTION_AIR = 0.23   # the model's oxygen mass fraction of air
VISIBILITY_CONST = 2.38       # the model's visibility = 2.38 / (F·optical density) [m]
MAX_VISIBILITY = 50.0         # the model's visibility cap [m]


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
