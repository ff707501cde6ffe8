#!/usr/bin/env python3
"""Checks of the validation tools: the fire-load representation of a burner, the rules that
leave a test out, the statistics, the reduction of computed samples and the program's input
table the tools read.

    test_validation_tools.py PATH/TO/zonefire-cli
"""

import copy
import glob
import json
import math
import os
import sys
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "validation"))
import make_cases  # noqa: E402
import predictions  # noqa: E402
import validate  # noqa: E402

CLI = None  # zonefire-cli, from the command line
TABLE = None  # its input table and constants (zonefire-cli --inputs)

FUELS = {"fuels": {"methane": {"match": ["methane"], "o2_per_kg": 4.0, "co2_per_kg": 2.75, "co_per_kg": 0.0,
                               "soot_per_kg": 0.0}},
         "smoke_extinction_m2_per_kg": 8700.0}

ROOM_TEST = {
    "id": "T1", "series": "Steckler", "steady": True,
    "rooms": [{"id": 1, "name": "burn room", "length_m": 2.8, "width_m": 2.8, "height_m": 2.13}],
    "openings": [{"rooms": [1, "outside"], "width_m": 0.74, "height_m": 1.83, "sill_m": 0.0}],
    "fire": {"room": 1, "fuel": "methane (CH4)", "hrr_W": 62900.0, "heat_of_combustion_J_per_kg": 5.0e7,
             "completeness": 1.0, "burner_area_m2": 0.0707, "burner_height_m": 0.02, "burner_location": "Center"},
    "ambient_K": 300.0, "duration_s": 1800, "compare": {}, "notes": [],
}


class ResultVersion(unittest.TestCase):
    def test_a_result_of_version_one_is_refused_naming_its_version(self):
        predictions.check_result_version({"format": "zonefire-result", "version": 2}, "case")
        with self.assertRaisesRegex(predictions.ValidationError, "format version 1; this tool reads version 2"):
            predictions.check_result_version({"completed": True, "rooms": []}, "case")
        with self.assertRaisesRegex(predictions.ValidationError, "version 3"):
            predictions.check_result_version({"format": "zonefire-result", "version": 3}, "case")


class BurnerRepresentation(unittest.TestCase):
    def test_full_power_reached_on_the_burner_at_the_end_of_the_rise(self):
        sc = copy.deepcopy(ROOM_TEST)
        sc["fire"]["hrr_schedule_s_W"] = [[0, 0], [10, 62900.0], [890, 62900.0], [900, 0]]
        f = make_cases.scenario_file(sc, FUELS)
        # Heat release once the area cap holds: Nu·PsiUd·Qn·A must give the test's 62.9 kW.
        self.assertAlmostEqual(f["Nu"] * f["PsiUd"] * f["Qn"] * f["fire_area_max"], 62900.0, places=6)
        # The spreading circle covers exactly the burner at the end of the 10 s rise.
        self.assertAlmostEqual(math.pi * (f["Vlin"] * 10.0) ** 2, 0.0707, places=12)
        self.assertEqual(f["SimTime"], 1800.0)

    def test_doorway_and_outside_opening_numbering(self):
        sc = copy.deepcopy(ROOM_TEST)
        sc["rooms"].append({"id": 2, "name": "corridor", "length_m": 5, "width_m": 2, "height_m": 2.4})
        sc["openings"] = [{"rooms": [1, 2], "width_m": 0.8, "height_m": 1.6, "sill_m": 0.0},
                          {"rooms": [2, "outside"], "width_m": 0.7, "height_m": 2.0, "sill_m": 0.0}]
        f = make_cases.scenario_file(sc, FUELS)
        self.assertEqual([o["rooms"] for o in f["openings"]], [[1, 2], [2, 2]])
        self.assertTrue(all(o["open"] for o in f["openings"]))
        # The working zone stays below the lowest ceiling.
        self.assertLess(f["hr"], 2.13)

    def test_unknown_fuel_is_refused_by_name(self):
        sc = copy.deepcopy(ROOM_TEST)
        sc["fire"]["fuel"] = "wood cribs"
        with self.assertRaisesRegex(make_cases.CaseError, "wood cribs"):
            make_cases.scenario_file(sc, FUELS)


class LeftOutTests(unittest.TestCase):
    def test_a_plain_door_test_is_represented(self):
        self.assertEqual(make_cases.not_represented_reasons(ROOM_TEST), [])

    def test_window_with_a_sill(self):
        sc = copy.deepcopy(ROOM_TEST)
        sc["openings"][0]["sill_m"] = 0.45
        reasons = make_cases.not_represented_reasons(sc)
        self.assertEqual(len(reasons), 1)
        self.assertIn("sill 0.45 m", reasons[0])

    def test_raised_burner_pitched_roof_and_exhaust_each_give_a_reason(self):
        sc = copy.deepcopy(ROOM_TEST)
        sc["fire"]["burner_height_m"] = 0.3
        sc["rooms"][0]["height_ridge_m"] = 19.0
        sc["notes"] = ["mechanical exhaust 11 m3/s at 12 m"]
        reasons = make_cases.not_represented_reasons(sc)
        self.assertEqual(len(reasons), 3)
        self.assertTrue(any("raised 0.30 m" in r for r in reasons))
        self.assertTrue(any("not a box" in r for r in reasons))
        self.assertTrue(any("fan" in r for r in reasons))

    def test_committed_data_leave_out_windows_raised_burners_closed_door_and_hall(self):
        files, index = make_cases.generate(os.path.join(ROOT, "validation", "data"))
        left_out = {s["id"] for s in index["not_represented"]}
        for test in ("Steckler_22", "Steckler_41", "Steckler_160", "NBS_MV100O", "VTT_Case_3"):
            self.assertIn(test, left_out)
        # Every test is either a case or left out with a reason, never dropped silently.
        self.assertEqual(len(files) + len(left_out), 64)
        self.assertTrue(all(s["reasons"] for s in index["not_represented"]))


class Statistics(unittest.TestCase):
    def test_identical_predictions_have_no_bias_and_no_scatter(self):
        st = validate.statistics([1.0, 1.0, 1.0], 0.07)
        self.assertEqual(st["n"], 3)
        self.assertAlmostEqual(st["bias"], 1.0)
        self.assertEqual(st["scatter"], 0.0)

    def test_bias_and_scatter_against_a_hand_computation(self):
        ratios = [1.1, 1.3, 0.9, 1.5]
        logs = [math.log(r) for r in ratios]
        mu = sum(logs) / 4
        s2 = sum((x - mu) ** 2 for x in logs) / 3
        st = validate.statistics(ratios, 0.07)
        self.assertAlmostEqual(st["bias"], math.exp(mu + s2 / 2), places=12)
        self.assertAlmostEqual(st["scatter"], math.sqrt(s2 - 0.07 ** 2), places=12)
        self.assertAlmostEqual(st["mean_ratio"], 1.2, places=12)

    def test_scatter_within_the_measurement_uncertainty_is_zero(self):
        st = validate.statistics([1.0, 1.01, 0.99], 0.07)
        self.assertEqual(st["scatter"], 0.0)

    def test_points_without_a_ratio_are_not_counted(self):
        self.assertEqual(validate.ratio(1.0, 0.0), None)
        self.assertEqual(validate.ratio(None, 2.0), None)
        self.assertEqual(validate.statistics([2.0, None], 0.05)["n"], 1)
        self.assertEqual(validate.statistics([], 0.05)["bias"], None)


class ProgramTable(unittest.TestCase):
    def test_every_number_key_of_the_cases_is_one_the_program_reads(self):
        known = {row["key"] for row in TABLE["inputs"]} | {"SamplesPerSec"}  # a whole number, no row
        for path in glob.glob(os.path.join(ROOT, "validation", "cases", "*.json")):
            if path.endswith("cases.json"):
                continue
            with open(path, encoding="utf-8") as f:
                scenario = json.load(f)
            numbers = {k for k, v in scenario.items() if isinstance(v, (int, float)) and not isinstance(v, bool)}
            self.assertLessEqual(numbers - {"version"}, known, path)

    def test_a_key_left_out_takes_the_programs_default(self):
        dt = next(row["default"] for row in TABLE["inputs"] if row["key"] == "dt")
        self.assertEqual(predictions.with_defaults({"T0": 300.0}, TABLE)["dt"], dt)
        self.assertEqual(predictions.with_defaults({"T0": 300.0}, TABLE)["T0"], 300.0)

    def test_the_constants_are_the_models(self):
        # The outside air's density at 293 K, 1.2065 kg/m³, as the model's constant gives it.
        rho_t = TABLE["constants"]["air_density_times_temperature"]["value"]
        self.assertAlmostEqual(rho_t / 293.0, 1.2065, places=4)
        self.assertEqual(TABLE["constants"]["profile_exponent"]["value"], 1.4)


class Reduction(unittest.TestCase):
    def result(self, yk, t2, times):
        return {"completed": True, "sample_times": times, "program": TABLE,
                "scenario": {"T0": 300.0, "hr": 1.9, "SimTime": times[-1] + 0.5, "rooms": [{"height": 2.13}]},
                "rooms": [{"samples": {"Yk": yk, "T2": t2}}]}

    def test_steady_mean_only_over_the_window(self):
        times = [float(t) + 0.5 for t in range(1800)]
        yk = [2.13 if t < 1500 else 0.8 for t in times]
        t2 = [300.0 if t < 1500 else 390.0 for t in times]
        case = {"id": "T1", "series": "Steckler", "window_s": [1500.0, 1800.0],
                "rooms": [{"name": "burn room", "height": 2.13}]}
        pred = predictions.predicted_steady(case, self.result(yk, t2, times), [1])
        self.assertAlmostEqual(pred[1]["layer_depth"], 2.13 - 0.8)
        self.assertAlmostEqual(pred[1]["upper_temp_rise"], 90.0)

    def test_empty_window_is_an_error(self):
        case = {"id": "T1", "series": "Steckler", "window_s": [5000.0, 6000.0],
                "rooms": [{"name": "burn room", "height": 2.13}]}
        with self.assertRaises(predictions.ValidationError):
            predictions.predicted_steady(case, self.result([1.0], [350.0], [0.5]), [1])

    def test_series_at_measured_times(self):
        res = self.result([2.0, 1.0, 0.5], [300.0, 340.0, 360.0], [0.5, 1.5, 2.5])
        self.assertAlmostEqual(predictions.predicted_at(res, 1, "layer_height", 1.0), 1.5)
        self.assertAlmostEqual(predictions.predicted_at(res, 1, "upper_temp", 2.0), 350.0)
        # Before the first sample: the initial state, layer at the ceiling and ambient gas.
        self.assertEqual(predictions.predicted_at(res, 1, "layer_height", 0.0), 2.13)
        self.assertIsNone(predictions.predicted_at(res, 1, "layer_height", 3.0))

    def test_working_zone_profile_is_inverted_exactly(self):
        # ambient + F·(layer − ambient) at the working zone gives back the layer value.
        exponent = TABLE["constants"]["profile_exponent"]["value"]
        f = predictions.working_zone_profile(3.4, 1.2, 3.82, exponent)
        z = (3.4 - 1.2) / (3.82 - 1.2)
        self.assertAlmostEqual(f, z * math.exp(1.4 * z))
        self.assertIsNone(predictions.working_zone_profile(1.0, 1.2, 3.82, exponent))


class CommittedFigures(unittest.TestCase):
    def test_statistics_comparison_finds_a_changed_bias(self):
        row = {"n": "14", "bias": "1.25", "scatter": "0.1", "mean_ratio": "1.24", "sd_ratio": "0.12"}
        same = {("all", "layer_depth", "tanaka"): dict(row)}
        changed = {("all", "layer_depth", "tanaka"): dict(row, bias="1.26")}
        self.assertEqual(validate.compare_stats(same, same), [])
        problems = validate.compare_stats(same, changed)
        self.assertEqual(len(problems), 1)
        self.assertIn("bias", problems[0])
        self.assertIn("missing", validate.compare_stats(same, {})[0])


class ModuleImports(unittest.TestCase):
    """The validation's modules import each other without a circle: a module read half-way
    through its own import sees names that are not there yet."""

    def imports_of(self, path, local):
        import ast
        with open(path, encoding="utf-8") as f:
            tree = ast.parse(f.read())
        names = set()
        for node in ast.walk(tree):
            if isinstance(node, ast.Import):
                names.update(a.name for a in node.names)
            elif isinstance(node, ast.ImportFrom) and node.module:
                names.add(node.module)
        return names & local

    def test_no_circle(self):
        paths = glob.glob(os.path.join(ROOT, "validation", "*.py"))
        local = {os.path.splitext(os.path.basename(p))[0] for p in paths}
        graph = {os.path.splitext(os.path.basename(p))[0]: self.imports_of(p, local) for p in paths}

        def reaches(start, goal, seen):
            for nxt in graph[start] - seen:
                if nxt == goal or reaches(nxt, goal, seen | {nxt}):
                    return True
            return False
        circles = sorted(m for m in graph if reaches(m, m, set()))
        self.assertEqual(circles, [], "modules on an import circle")


if __name__ == "__main__":
    CLI = sys.argv.pop(1)
    TABLE = predictions.program_table(CLI)
    unittest.main()
