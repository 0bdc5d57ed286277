#!/usr/bin/env python3
"""Keeps the explicit source lists of the folders under src/ complete.

Each folder's CMakeLists.txt names its sources: the core's .cpp files (subfolders included)
for orvex_core, the Qt code under ui/ for orvex_ui, the commands for orvex_cli and the
simulator's files for orvex-logger-sim. `--check` (run by CI) fails when a .cpp file is in no
list or a list names a file that is gone; `--write` writes the lists again from the folders.

Usage: source-lists.py --check|--write [SRC_DIR]
"""
import os
import re
import sys

PROGRAM_MAINS = {"app/ui/main.cpp", "cli/main.cpp"}


def sources(src, folder):
    out = []
    for root, _dirs, files in os.walk(os.path.join(src, folder)):
        for name in files:
            if name.endswith(".cpp"):
                rel = os.path.relpath(os.path.join(root, name), os.path.join(src, folder))
                out.append(rel.replace(os.sep, "/"))
    return sorted(out, key=lambda p: (p.count("/"), p))


def block(target, files, indent=""):
    lines = [f"{indent}target_sources({target} PRIVATE"]
    lines += [f"{indent}  {f}" for f in files]
    lines.append(f"{indent})")
    return "\n".join(lines)


def wanted(src, folder):
    files = [f for f in sources(src, folder) if f"{folder}/{f}" not in PROGRAM_MAINS]
    if folder == "sim":
        return ("# The logger simulator: a program of its own, sharing no code with ORVEX.\n" +
                block("orvex-logger-sim", files) + "\n")
    if folder == "cli":
        return "# The commands of orvex-cli (its main.cpp is the program).\n" + block(
            "orvex_cli", files) + "\n"
    core = [f for f in files if not f.startswith("ui/")]
    ui = [f for f in files if f.startswith("ui/")]
    text = f"# Sources of {folder}/: the core's, then the Qt code under ui/.\n"
    if core:
        text += block("orvex_core", core) + "\n"
    if ui:
        text += "if(TARGET orvex_ui)\n" + block("orvex_ui", ui, "  ") + "\nendif()\n"
    return text


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    mode = "--write" if "--write" in sys.argv else "--check"
    here = os.path.dirname(os.path.abspath(__file__))
    src = args[0] if args else os.path.join(here, "..", "src")
    folders = sorted(d for d in os.listdir(src) if os.path.isdir(os.path.join(src, d)))
    stale = []
    for folder in folders:
        path = os.path.join(src, folder, "CMakeLists.txt")
        text = wanted(src, folder)
        if mode == "--write":
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
            continue
        have = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
        listed = set(re.findall(r"^\s+([\w/]+\.cpp)$", have, re.M))
        present = {f for f in sources(src, folder) if f"{folder}/{f}" not in PROGRAM_MAINS}
        for f in sorted(present - listed):
            stale.append(f"src/{folder}/{f}: in no source list (src/{folder}/CMakeLists.txt)")
        for f in sorted(listed - present):
            stale.append(f"src/{folder}/CMakeLists.txt names {f}, which does not exist")
    for s in stale:
        print(s)
    if stale:
        print("source lists: run scripts/source-lists.py --write")
        return 1
    if mode == "--check":
        print("source lists: every source file is listed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
