#!/usr/bin/env python3
"""Writes validation/REPORT.md and its plots from the validation's results.

    python3 validation/make_report.py [--results validation/results] [--no-plots]

The plots (validation/plots/*.png) need matplotlib (Debian: python3-matplotlib); with
--no-plots the report is written with the plots already there. Never edit REPORT.md by hand:
run scripts/validate.sh.
"""

import argparse
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import model_options  # noqa: E402  (same folder)
import validate  # noqa: E402
from report_text import (cases_section, f, intro_section, meaning_section,  # noqa: E402
                         not_represented_section, plots_section, read_csv, statistics_section,
                         step_check_section, time_step_section)

PLOTS = os.path.join(HERE, "plots")
COLOURS = {"tanaka": "tab:blue", "mccaffrey": "tab:red"}
MARKERS = {"Steckler": "o", "NBS multi-room": "s", "NIST/NRC (ICFMP BE3)": "^"}
SERIES_NAMES = {"Steckler": "single room (Steckler)", "NBS multi-room": "multi-room (NBS)",
                "NIST/NRC (ICFMP BE3)": "large room (NIST/NRC)"}
UNITS = {"layer_depth": "m", "upper_temp_rise": "K", "o2_drop": "fraction of the initial O₂",
         "co2_rise": "volume fraction", "co": "volume fraction", "smoke_extinction": "1/m"}


# ---------------------------------------------------------------- plots

def scatter_plots(points, stats):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    files = []
    for key, name, _ in validate.QUANTITIES:
        pts = [p for p in points if p["quantity"] == key and f(p["predicted_rise"]) is not None]
        if not pts:
            continue
        fig, ax = plt.subplots(figsize=(5.2, 5.0), dpi=110)
        top = max(max(f(p["measured_rise"]) for p in pts), max(f(p["predicted_rise"]) for p in pts)) * 1.08
        ax.plot([0, top], [0, top], color="black", lw=1, label="1:1")
        for plume in validate.PLUMES:
            mine = [p for p in pts if p["plume"] == plume]
            for series, marker in MARKERS.items():
                sel = [p for p in mine if p["series"] == series]
                if sel:
                    ax.scatter([f(p["measured_rise"]) for p in sel], [f(p["predicted_rise"]) for p in sel],
                               s=22, marker=marker, facecolors="none", edgecolors=COLOURS[plume])
            st = next(s for s in stats if s["group"] == "all" and s["quantity"] == key and s["plume"] == plume)
            if f(st["bias"]):
                b = f(st["bias"])
                ax.plot([0, top], [0, b * top], color=COLOURS[plume], lw=1, ls="--",
                        label="%s: bias %.2f" % (validate.PLUME_NAMES[plume], b))
        for series, marker in MARKERS.items():
            if any(p["series"] == series for p in pts):
                ax.scatter([], [], marker=marker, facecolors="none", edgecolors="grey", label=SERIES_NAMES[series])
        ax.set_xlim(0, top)
        ax.set_ylim(0, top)
        ax.set_xlabel("measured, %s" % UNITS[key])
        ax.set_ylabel("predicted, %s" % UNITS[key])
        ax.set_title(name, fontsize=10)
        ax.grid(True, lw=0.3)
        ax.legend(fontsize=7, loc="upper left")
        fig.tight_layout()
        fname = "scatter_%s.png" % key
        fig.savefig(os.path.join(PLOTS, fname))
        plt.close(fig)
        files.append((key, fname))
    return files


def series_plots(results_dir, index):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    files = []
    for case in index["cases"]:
        path = os.path.join(results_dir, "series", case["id"] + ".csv")
        if not os.path.exists(path):
            continue
        rows = read_csv(path)
        rooms = sorted({int(r["room"]) for r in rows})
        fig, axes = plt.subplots(2, len(rooms), figsize=(3.3 * len(rooms) + 0.6, 5.4), dpi=100, squeeze=False)
        for j, room in enumerate(rooms):
            for i, qty in enumerate(("layer_height", "upper_temp")):
                ax = axes[i][j]
                mine = [r for r in rows if int(r["room"]) == room and r["quantity"] == qty]
                for label in sorted({r["label"] for r in mine}):
                    sel = [r for r in mine if r["label"] == label]
                    ax.plot([f(r["time_s"]) for r in sel], [f(r["measured"]) for r in sel], color="black",
                            lw=0.8, marker=".", ms=2, label="measured (%s)" % label if label != "layer" else "measured")
                for plume in validate.PLUMES:
                    first = [r for r in mine if r["label"] == mine[0]["label"] and f(r[plume]) is not None]
                    ax.plot([f(r["time_s"]) for r in first], [f(r[plume]) for r in first], color=COLOURS[plume],
                            lw=1.2, label=validate.PLUME_NAMES[plume])
                ax.set_title("%s: %s" % (case["rooms"][room - 1]["name"],
                                         "layer height, m" if qty == "layer_height" else "upper-layer T, K"), fontsize=8)
                ax.set_xlabel("time, s", fontsize=7)
                ax.tick_params(labelsize=7)
                ax.grid(True, lw=0.3)
                if i == 0 and j == 0:
                    ax.legend(fontsize=6)
        fig.suptitle(case["id"], fontsize=10)
        fig.tight_layout()
        fname = "series_%s.png" % case["id"]
        fig.savefig(os.path.join(PLOTS, fname))
        plt.close(fig)
        files.append((case["id"], fname))
    return files


def write_report(results_dir, index, points, stats, scatter_files, series_files):
    step = read_csv(os.path.join(results_dir, "step_rise.csv")) if os.path.exists(
        os.path.join(results_dir, "step_rise.csv")) else []
    check = read_csv(os.path.join(results_dir, "step_check.csv")) if os.path.exists(
        os.path.join(results_dir, "step_check.csv")) else []
    steps = {}
    for c in index["cases"]:
        with open(os.path.join(HERE, "cases", c["file"]), encoding="utf-8") as fh:
            steps.setdefault(json.load(fh)["dt"], []).append(c["id"])
    step_text = "; ".join("%g s for %s" % (dt, ", ".join(ids) if len(ids) < 6 else "the other %d cases" % len(ids))
                          for dt, ids in sorted(steps.items()))
    L = intro_section() + meaning_section(stats) + statistics_section(stats, points)
    L += plots_section(scatter_files, series_files) + cases_section(index, points, step_text)
    L += not_represented_section(index) + time_step_section(step, step_text)
    L.extend(step_check_section(check))
    L.extend(model_options.report_section(results_dir))
    with open(os.path.join(HERE, "REPORT.md"), "w", encoding="utf-8") as fh:
        fh.write("\n".join(L))


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--results", default=os.path.join(HERE, "results"))
    ap.add_argument("--no-plots", action="store_true")
    args = ap.parse_args(argv)
    index = validate.load_cases(os.path.join(HERE, "cases"))
    points = read_csv(os.path.join(args.results, "points.csv"))
    stats = read_csv(os.path.join(args.results, "statistics.csv"))
    os.makedirs(PLOTS, exist_ok=True)
    if args.no_plots:
        scatter_files = [(k, "scatter_%s.png" % k) for k, _, _ in validate.QUANTITIES
                         if os.path.exists(os.path.join(PLOTS, "scatter_%s.png" % k))]
        series_files = [(c["id"], "series_%s.png" % c["id"]) for c in index["cases"]
                        if os.path.exists(os.path.join(PLOTS, "series_%s.png" % c["id"]))]
    else:
        scatter_files = scatter_plots(points, stats)
        series_files = series_plots(args.results, index)
    write_report(args.results, index, points, stats, scatter_files, series_files)
    print("make_report: validation/REPORT.md, %d plots" % (len(scatter_files) + len(series_files)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
