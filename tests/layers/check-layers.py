#!/usr/bin/env python3
"""Reads every #include of the program's folders and fails on one that points up or sideways.

The folders stand in layers, from the top. A file may include its own folder and any folder of
a lower layer, never one of its own layer or above. Portable code (every file outside a win32/
folder, except in the Win32 shell) includes no Windows header and nothing from a win32/ folder.

  check-layers.py [--root DIR] [--plant FILE=HEADER ...] [--print-layers]

--plant adds a file that includes HEADER, as if it stood at FILE: a planted upward include must
make the check fail.
"""

import argparse
import os
import re
import sys

# The layers, from the top. The table is the picture in docs/developing.md.
LAYERS = [
    ("the programs", ["app", "modemnode", "pnpagent64", "installer"]),
    ("the operations", ["workflow"]),
    ("the services", ["settings", "modem", "dialup", "phone"]),
    ("what the services share", ["log", "providers"]),
    ("the platform", ["platform", "resources"]),
]
# Folders that are Win32 through and through: their portable pieces may sit beside Win32 code.
WIN32_SHELLS = {"app", "installer", "resources"}
WINDOWS_HEADERS = re.compile(r"^(windows|winbase|winreg|winuser|ras|raserror|setupapi|cfgmgr32|newdev|"
                             r"shlobj|shellapi|objbase|commctrl|msi|msiquery|aclapi|sddl|devguid|"
                             r"wtypes|winerror|winnt|tchar)\.h$", re.IGNORECASE)
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SOURCES = (".h", ".cpp", ".rc")

RANK = {folder: rank for rank, (_, folders) in enumerate(LAYERS) for folder in folders}


def includes(text):
    for number, line in enumerate(text.splitlines(), 1):
        match = INCLUDE.match(line)
        if match:
            yield number, match.group(1), match.group(2)


def problems(path, text, test_folders):
    """What is wrong with one file's includes; `path` is relative to the root, with '/'."""
    folder = path.split("/")[0]
    portable = folder not in WIN32_SHELLS and "/win32/" not in path
    for number, kind, header in includes(text):
        closing = ">" if kind == "<" else '"'
        where = f"{path}:{number}: #include {kind}{header}{closing}"
        if kind == "<":
            if portable and WINDOWS_HEADERS.match(os.path.basename(header)):
                yield f"{where}: portable code includes a Windows header"
            continue
        target = header.split("/")[0] if "/" in header else folder
        if target == folder:
            if portable and "/win32/" in "/" + header:
                yield f"{where}: portable code includes a win32/ file"
            continue
        if target not in RANK:
            if target in test_folders:
                yield f"{where}: the program includes a test's file"
            continue
        if RANK[target] <= RANK[folder]:
            direction = "sideways" if RANK[target] == RANK[folder] else "up"
            yield f"{where}: points {direction}, from {folder}/ ({LAYERS[RANK[folder]][0]}) to {target}/"
        elif portable and "/win32/" in header:
            yield f"{where}: portable code includes a win32/ file"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    parser.add_argument("--plant", action="append", default=[])
    parser.add_argument("--print-layers", action="store_true")
    args = parser.parse_args()

    if args.print_layers:
        for name, folders in LAYERS:
            print(f"{name:26} {'  '.join(f + '/' for f in folders)}")
        return 0

    files = {}
    for folder in RANK:
        top = os.path.join(args.root, folder)
        for directory, _, names in os.walk(top):
            for name in names:
                if name.endswith(SOURCES):
                    full = os.path.join(directory, name)
                    relative = os.path.relpath(full, args.root).replace(os.sep, "/")
                    with open(full, encoding="utf-8", errors="replace") as source:
                        files[relative] = source.read()
    for plant in args.plant:
        path, header = plant.split("=", 1)
        files[path] = f'#include "{header}"\n'

    tests = os.path.join(args.root, "tests")
    test_folders = {"tests"} | {name for name in os.listdir(tests) if os.path.isdir(os.path.join(tests, name))}
    found = [problem for path in sorted(files) for problem in problems(path, files[path], test_folders)]
    for problem in found:
        print(problem)
    count = sum(1 for text in files.values() for _ in includes(text))
    print(f"{len(files)} files, {count} includes, {len(found)} against the layers")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
