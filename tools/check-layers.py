#!/usr/bin/env python3
"""Checks that every folder's includes point down the layers of the program.

  shell/                        the application: main(), switches, main window, batch run
  source/ results/ dialogs/     the panes and dialogs, which never include each other
  ui/                           the window kit they stand on
  engine/ settings/ text/ platform/   the core, without widgets
  archivers/                    the modules, reached from the core only through
                                archivers/common/ (entry points, result codes, report lines);
                                they include nothing of the program but platform/Cp932.h

Prints each include that points up or sideways and exits 1 if there is one.
"""
import pathlib
import re
import sys

LAYERS = {
    "shell": 4,
    "source": 3, "results": 3, "dialogs": 3,
    "ui": 2,
    "engine": 1, "settings": 1, "text": 1, "platform": 1,
}
# Folders of one layer that may include each other: the core's folders work together.
SHARED_LAYER = {1}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def wrong_includes(top: pathlib.Path):
    for path in sorted(top.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        relative = path.relative_to(top)
        folder = relative.parts[0]
        if folder not in LAYERS and folder != "archivers":
            continue
        for included in INCLUDE.findall(path.read_text(errors="replace")):
            target = included.split("/")[0]
            if folder == "archivers":
                if target in LAYERS and included != "platform/Cp932.h":
                    yield f"{relative}: {included} (a module uses the program)"
                continue
            if target == folder:
                continue
            if target == "archivers":
                if not included.startswith("archivers/common/"):
                    yield f"{relative}: {included} (a module's inside)"
                continue
            if target not in LAYERS:
                continue
            up = LAYERS[target] > LAYERS[folder]
            sideways = LAYERS[target] == LAYERS[folder] and LAYERS[folder] not in SHARED_LAYER
            if up or sideways:
                yield f"{relative}: {included}"


def main() -> int:
    top = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    wrong = list(wrong_includes(top))
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
