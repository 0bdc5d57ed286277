#!/usr/bin/env python3
"""Checks that includes between the source folders point downwards only.

Core folders, lowest first (folders on one level may not include each other):
  host < model < processing, demo < files < logger, graph < trackmap < views < app < cli
Inside logger, the serial link is at the bottom of the four conversations:
  logger/link < logger/upload, logger/config, logger/firmware, logger/live
A subsystem's ui/ folder may include any core folder and the ui/ folders of its own level or
below; core code never includes ui/ code, and nothing outside ui/ includes Qt. The logger
simulator (sim) stands alone: it includes only itself.

Usage: check-layers.py [SRC_DIR]   (default: the repository's src/). Exit 1 on any violation.
"""
import os
import re
import sys

LEVELS = {
    "host": 0, "model": 1, "processing": 2, "demo": 2, "files": 3,
    "logger": 4, "graph": 4, "trackmap": 5, "views": 6, "app": 7, "cli": 8,
}
LOGGER_LEVELS = {"link": 0, "upload": 1, "config": 1, "firmware": 1, "live": 1}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def logger_part(rel):
    """'link' for logger/link/X.h, None for logger/ui/X.h or anything else."""
    parts = rel.split("/")
    if len(parts) > 2 and parts[0] == "logger" and parts[1] != "ui":
        return parts[1]
    return None


def folder_of(rel):
    """('graph', False) for graph/X.cpp, ('graph', True) for graph/ui/X.cpp."""
    parts = rel.split("/")
    return parts[0], len(parts) > 2 and parts[1] == "ui"


def check(src):
    errors = []
    for root, _dirs, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(root, name)
            rel = os.path.relpath(path, src).replace(os.sep, "/")
            top, is_ui = folder_of(rel)
            if top != "sim" and top not in LEVELS:
                errors.append(f"{rel}: folder '{top}' has no place in the layer order")
                continue
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    kind, target = m.groups()
                    where = f"{rel}:{number}: {target}"
                    if kind == "<":
                        if re.match(r"Q[A-Za-z]", target) and not is_ui:
                            errors.append(f"{where}: Qt outside a ui/ folder")
                        continue
                    if "/" not in target:
                        continue  # a header next to the includer
                    t_top, t_ui = folder_of(target)
                    if top == "sim" or t_top == "sim":
                        if top != t_top:
                            errors.append(f"{where}: the simulator stands alone")
                        continue
                    if t_top not in LEVELS:
                        errors.append(f"{where}: unknown folder '{t_top}'")
                        continue
                    if t_top == top and top == "logger" and not is_ui and not t_ui:
                        mine, theirs = logger_part(rel), logger_part(target)
                        if mine not in LOGGER_LEVELS or theirs not in LOGGER_LEVELS:
                            errors.append(f"{where}: logger code belongs in one of "
                                          f"{', '.join(LOGGER_LEVELS)}")
                        elif mine != theirs and LOGGER_LEVELS[theirs] >= LOGGER_LEVELS[mine]:
                            errors.append(f"{where}: 'logger/{mine}' may not include "
                                          f"'logger/{theirs}'")
                        continue
                    if t_top == top and (is_ui or not t_ui):
                        continue
                    if t_ui and not is_ui:
                        errors.append(f"{where}: core code includes ui/ code")
                    elif is_ui:
                        if t_ui and LEVELS[t_top] > LEVELS[top]:
                            errors.append(f"{where}: ui of '{top}' may not include ui of '{t_top}'")
                    elif LEVELS[t_top] >= LEVELS[top] and t_top != top:
                        errors.append(f"{where}: '{top}' may not include '{t_top}'")
    return errors


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src")
    errors = check(src)
    for e in errors:
        print(e)
    if errors:
        print(f"layer check: {len(errors)} include(s) point the wrong way")
        return 1
    print("layer check: every include points downwards")
    return 0


if __name__ == "__main__":
    sys.exit(main())
