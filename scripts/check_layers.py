#!/usr/bin/env python3
"""The libraries' arrows point one way: each folder's sources include only the folders it may
(docs/architecture.md, "Libraries and what each may include"). Reads every #include "..." of
the program's sources, finds the folder of the file it names (a path "model/x.h" names its
folder; a bare name is looked up beside the includer first, then in every folder), and prints
each include that points where it may not. Exit code 1 when there is one.

    scripts/check_layers.py [--root DIR]
"""
import argparse
import pathlib
import re
import sys

# Folder: the folders its sources may include, besides itself. A subfolder of ui/ is a window
# (or the widgets the windows share); its own list follows ui/'s.
MAY_INCLUDE = {
    "model": [],
    "report": ["model"],
    "project": ["model", "report"],
    "study": ["model", "report", "project"],
    "report_pdf": ["model", "report", "project", "study"],
    "ui": ["model", "report", "project", "study", "report_pdf"],
    "cli": ["model", "report", "project", "study", "report_pdf"],
    "app": ["model", "report", "project", "report_pdf", "ui"],
}
# Inside ui/: the folders each window's folder may include. ui/ itself holds the widgets the
# windows share and includes none of them; the main window opens all the others.
UI_MAY_INCLUDE = {
    "ui": [],
    "ui/editor": ["ui"],
    "ui/progress": ["ui"],
    "ui/help": ["ui"],
    "ui/results": ["ui", "ui/help"],
    "ui/study": ["ui", "ui/help"],
    "ui/main": ["ui", "ui/editor", "ui/progress", "ui/results", "ui/study", "ui/help"],
}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def folder_of(path, root):
    """The library folder of a source path relative to the root: "ui" or "ui/results"."""
    parts = path.relative_to(root).parts
    if parts[0] == "ui" and len(parts) > 2:
        return "ui/" + parts[1]
    return parts[0]


def library(folder):
    return folder.split("/")[0]


def allowed(src, dst):
    if src == dst:
        return True
    if library(src) == library(dst) == "ui":
        return dst in UI_MAY_INCLUDE[src]
    return library(dst) in MAY_INCLUDE[library(src)]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", type=pathlib.Path, default=pathlib.Path(__file__).resolve().parent.parent)
    root = parser.parse_args().root.resolve()
    files = [p for top in MAY_INCLUDE for p in (root / top).rglob("*") if p.suffix in (".h", ".cpp")]
    where = {}
    for p in files:
        where.setdefault(p.name, []).append(p)
    wrong = []
    for p in files:
        for name in INCLUDE.findall(p.read_text(encoding="utf-8", errors="replace")):
            beside = (p.parent / name).resolve()
            if beside.exists():
                candidates = [beside]
            elif "/" in name and (root / name).exists():
                candidates = [root / name]
            else:
                # By name alone: a generated header (ui_*.h, zonefire_version.h) or a system one
                # is found nowhere; a name two folders hold is fine when either may be included.
                candidates = where.get(pathlib.Path(name).name, [])
            candidates = [c for c in candidates if c.is_relative_to(root) and c.relative_to(root).parts[0] in MAY_INCLUDE]
            src = folder_of(p, root)
            targets = [folder_of(c, root) for c in candidates]
            if targets and not any(allowed(src, dst) for dst in targets):
                wrong.append(f"{p.relative_to(root)}: includes {name} ({' or '.join(t + '/' for t in targets)}), "
                             f"which {src}/ may not")
    for w in wrong:
        print(w)
    print(f"{len(files)} sources, {len(wrong)} includes against the arrows", file=sys.stderr)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
