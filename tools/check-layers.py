#!/usr/bin/env python3
"""Checks that every folder's includes point down the layers of the program.

  shell/                        the application: main(), switches, main window, batch run
  source/ results/ dialogs/     the panes and dialogs, which never include each other
  ui/                           the window kit they stand on
  engine/                       extraction
  settings/                     the settings store
  text/                         the message tables
  platform/                     the adapters to the system
  archivers/                    the modules, reached from the program only through
                                archivers/common/ (entry points, result codes, report lines);
                                each includes its own folder, archivers/common/,
                                archivers/libarchive/ and nothing of the program but
                                platform/Cp932.h

Every include ("x", <x>, with or without a space, with "../") is resolved to a
file of the tree the way the compiler finds it: a quoted name in the including
file's folder first, then from the top of the tree (the one include root).
Prints each include that points up or sideways and exits 1 if there is one.
"""
import os
import pathlib
import re
import sys

# Each folder may include the folders of a lower rank; folders of one rank never
# include each other.
RANKS = {
    "shell": 7,
    "source": 6, "results": 6, "dialogs": 6,
    "ui": 5,
    "engine": 4,
    "settings": 3,
    "text": 2,
    "platform": 1,
}
# The shared parts of the modules, below every module and in this order.
MODULE_RANKS = {"archivers/common": 1, "archivers/libarchive": 2}
MODULES_MAY_USE = "platform/Cp932.h"
SUFFIXES = (".h", ".cpp", ".c", ".inc")
INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*([<"])([^">\n]+)[">]', re.M)


def unit(relative: pathlib.PurePosixPath):
    """The folder an include rule is about: archivers/<module>, or a top folder."""
    parts = relative.parts
    if parts[0] == "archivers":
        return "/".join(parts[:2]) if len(parts) > 2 else None
    return parts[0] if parts[0] in RANKS and len(parts) > 1 else None


def resolve(top: pathlib.Path, including: pathlib.Path, bracket: str, name: str):
    """The included file relative to the top, or None for a file outside the tree."""
    bases = [including.parent, top] if bracket == '"' else [top]
    missing = []
    for base in bases:
        candidate = pathlib.Path(os.path.normpath(base / name))
        if top not in candidate.parents:
            continue
        relative = pathlib.PurePosixPath(candidate.relative_to(top).as_posix())
        if candidate.is_file():
            return relative
        missing.append(relative)
    # A missing file under a folder of the program still names that folder.
    return next((r for r in reversed(missing) if unit(r)), None)


def why_wrong(folder: str, target: pathlib.PurePosixPath):
    """Why the folder may not include the target, or None."""
    to = unit(target)
    if to is None or to == folder:
        return None
    if folder.startswith("archivers/"):
        if to.startswith("archivers/"):
            mine, theirs = MODULE_RANKS.get(folder, 3), MODULE_RANKS.get(to, 3)
            return None if theirs < mine else "another module's insides"
        return None if str(target) == MODULES_MAY_USE else "a module uses the program"
    if to.startswith("archivers/"):
        return None if to == "archivers/common" else "a module's insides"
    if RANKS[to] > RANKS[folder]:
        return "points up"
    return "sideways" if RANKS[to] == RANKS[folder] else None


def wrong_includes(top: pathlib.Path):
    top = top.resolve()
    for path in sorted(p for folder in [*RANKS, "archivers"] for p in (top / folder).rglob("*")):
        if path.suffix not in SUFFIXES or not path.is_file():
            continue
        relative = pathlib.PurePosixPath(path.relative_to(top).as_posix())
        folder = unit(relative)
        if folder is None:
            continue
        for bracket, name in INCLUDE.findall(path.read_text(errors="replace")):
            target = resolve(top, path, bracket, name.strip())
            reason = target and why_wrong(folder, target)
            if reason:
                yield f"{relative}: {name.strip()} ({reason})"


def main() -> int:
    top = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    wrong = list(wrong_includes(top))
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
