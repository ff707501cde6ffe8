#!/usr/bin/env python3
"""scripts/sizes.py --check fails on a source file over 400 lines and on a function over 50
lines, C++ or Python, names each, and passes a tree within the limits."""

import os
import subprocess
import sys
import tempfile
import unittest

SIZES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "sizes.py")


def function(lines, cpp=True):
    body = ["    x += 1;" if cpp else "    x += 1"] * (lines - 2)
    if cpp:
        return "int f(int x) {\n" + "\n".join(body) + "\n}\n"
    return "def f(x):\n" + "\n".join(body) + "\n    return x\n"


class Sizes(unittest.TestCase):
    def check(self, files):
        with tempfile.TemporaryDirectory() as root:
            subprocess.run(["git", "init", "-q", root], check=True)
            for name, text in files.items():
                with open(os.path.join(root, name), "w", encoding="utf-8") as f:
                    f.write(text)
            proc = subprocess.run([sys.executable, SIZES, "--check", "--root", root], capture_output=True, text=True)
            return proc.returncode, proc.stdout

    def test_a_tree_within_the_limits_passes(self):
        code, out = self.check({"a.cpp": function(50), "b.py": function(50, cpp=False) + "\n" * 340})
        self.assertEqual(code, 0, out)

    def test_each_excess_fails_and_is_named(self):
        cases = {
            "long.cpp": "int x;\n" * 401,
            "long.py": "x = 1\n" * 401,
            "fn.cpp": function(51),
            "fn.py": function(51, cpp=False),
        }
        for name, text in cases.items():
            with self.subTest(name=name):
                code, out = self.check({name: text})
                self.assertEqual(code, 1, out)
                over = [line for line in out.splitlines() if line.endswith("(over)")]
                self.assertEqual(len(over), 1, out)
                self.assertIn(name, over[0])


if __name__ == "__main__":
    unittest.main()
