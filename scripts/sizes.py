#!/usr/bin/env python3
"""Sizes a reader can hold: every C++ and Python source file of the program, its tools and its
tests at most 400 lines (Qt Designer .ui forms are not sources), every function at most 50
lines from its signature to its closing brace (Python: to its last line). Functions are found
by Universal Ctags (scripts/deps.sh).

    scripts/sizes.py            the largest files and functions, and those over the limits
    scripts/sizes.py --check    the same; exit code 1 when any is over a limit
    scripts/sizes.py --top N    list the N largest of each (10 by default)
    scripts/sizes.py --root DIR another checkout (a git work tree) instead of this one
"""
import argparse
import json
import pathlib
import subprocess
import sys

MAX_FILE_LINES = 400
MAX_FUNCTION_LINES = 50
ROOT = pathlib.Path(__file__).resolve().parent.parent
CPP_SUFFIXES = (".cpp", ".h", ".hpp", ".cpp.in")
SUFFIXES = CPP_SUFFIXES + (".py",)


def sources():
    listed = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard"], cwd=ROOT,
                            check=True, capture_output=True, text=True).stdout.split("\n")
    return sorted(p for p in listed if p.endswith(SUFFIXES) and not p.startswith("build"))


def file_sizes(paths):
    return [(sum(1 for _ in open(ROOT / p, encoding="utf-8", errors="replace")), p) for p in paths]


def tags(paths, options):
    if not paths:
        return ""
    return subprocess.run(["ctags", "--output-format=json", "--fields=+ne"] + options + ["-f", "-"] + paths, cwd=ROOT,
                          check=True, capture_output=True, text=True).stdout


def function_sizes(paths):
    cpp = [p for p in paths if p.endswith(CPP_SUFFIXES)]
    python = [p for p in paths if p.endswith(".py")]
    out = tags(cpp, ["--kinds-C++=f", "--language-force=C++"]) + tags(python, ["--kinds-Python=fm"])
    sizes = []
    for line in out.splitlines():
        tag = json.loads(line)
        if "end" in tag:
            name = (tag["scope"] + "::" if "scope" in tag else "") + tag["name"]
            sizes.append((tag["end"] - tag["line"] + 1, f'{tag["path"]}:{tag["line"]} {name}'))
    return sizes


def report(title, sizes, limit, top):
    sizes.sort(reverse=True)
    over = [s for s in sizes if s[0] > limit]
    print(f"{title}: {len(sizes)}, over {limit} lines: {len(over)}; the largest {top}:")
    for n, what in sizes[:top]:
        print(f"  {n:5d}  {what}" + ("  (over)" if n > limit else ""))
    for n, what in over[top:]:
        print(f"  {n:5d}  {what}  (over)")
    return over


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--top", type=int, default=10)
    parser.add_argument("--root", type=pathlib.Path)
    args = parser.parse_args()
    global ROOT
    ROOT = (args.root or ROOT).resolve()
    paths = sources()
    over = report("source files", file_sizes(paths), MAX_FILE_LINES, args.top)
    over += report("functions", function_sizes(paths), MAX_FUNCTION_LINES, args.top)
    return 1 if args.check and over else 0


if __name__ == "__main__":
    sys.exit(main())
