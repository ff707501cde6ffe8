#!/usr/bin/env python3
"""validation/results/step_check.csv is what the runner's step check writes: the rows of one of
its cases computed again with `zonefire-cli --check-step` are the committed rows, byte for
byte, and the file's header is the runner's.

    test_step_check_file.py PATH/TO/zonefire-cli
"""

import os
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "validation"))
import step_check  # noqa: E402
import validate  # noqa: E402

CLI = None
COMMITTED = os.path.join(ROOT, "validation", "results", "step_check.csv")
CASE = "Steckler_14"  # the quickest of the checked cases


class StepCheckFile(unittest.TestCase):
    def test_committed_rows_are_the_runners(self):
        with open(COMMITTED, encoding="utf-8", newline="") as f:
            header, *committed = f.read().splitlines(keepends=True)
        case = next(c for c in validate.load_cases(os.path.join(ROOT, "validation", "cases"))["cases"]
                    if c["id"] == CASE)
        for plume in validate.PLUMES:
            with self.subTest(plume=plume):
                fresh_header, fresh = step_check.check_step(CLI, os.path.join(ROOT, "validation", "cases", case["file"]),
                                                          plume)
                self.assertEqual(header, fresh_header)
                name = "%s_%s.json," % (CASE, plume)
                mine = [line for line in committed if line.startswith(name)]
                self.assertTrue(fresh)
                self.assertEqual(mine, fresh)

    def test_every_checked_case_and_plume_is_in_the_file(self):
        with open(COMMITTED, encoding="utf-8") as f:
            cases = {line.split(",")[0] for line in f.read().splitlines()[1:]}
        want = {"%s_%s.json" % (c, p) for c in step_check.STEP_CHECK_CASES for p in validate.PLUMES}
        self.assertEqual(cases, want)


if __name__ == "__main__":
    CLI = sys.argv.pop(1)
    unittest.main()
