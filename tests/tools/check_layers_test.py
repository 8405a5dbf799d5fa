#!/usr/bin/env python3
"""tools/check-layers.py on a small tree in a temporary folder: the tree passes,
and each row's file, added alone, fails the check with its name in the output."""
import pathlib
import subprocess
import sys
import tempfile

TOOL = pathlib.Path(__file__).resolve().parents[2] / "tools" / "check-layers.py"
TREE = {"platform/Cp932.h": "", "text/Ids.h": "#include <platform/Cp932.h>", "settings/Store.h": '#include "text/Ids.h"',
        "engine/Run.h": '#include"../settings/Store.h"', "source/List.h": '#include "engine/Run.h"',
        "archivers/common/Module.h": '#include "platform/Cp932.h"', "archivers/libarchive/In.h": '#include "../common/Module.h"',
        "archivers/cab32/Cab.h": '#include "Cab.h"\n#include <archivers/libarchive/In.h>'}
ROWS = [("results/Log.cpp", '#include "../source/List.h"'), ("results/Log.cpp", "#include <source/List.h>"),
        ("results/Log.cpp", '#include"source/List.h"'), ("archivers/zip/Bad.cpp", '#include "../cab32/Cab.h"'),
        ("engine/Bad.cpp", '#include "archivers/cab32/Cab.h"'), ("platform/Bad.cpp", '#  include "engine/Run.h"'),
        ("text/Bad.h", '#include "settings/Store.h"'), ("archivers/zip/Bad.cpp", '#include "text/Ids.h"')]


def check(top: pathlib.Path) -> str:
    result = subprocess.run([sys.executable, str(TOOL), str(top)], capture_output=True, text=True)
    return f"{result.returncode} {result.stdout}{result.stderr}"


def put(top: pathlib.Path, name: str, text: str) -> None:
    (top / name).parent.mkdir(parents=True, exist_ok=True)
    (top / name).write_text(text + "\n")


def main() -> int:
    with tempfile.TemporaryDirectory() as folder:
        top = pathlib.Path(folder)
        for name, text in TREE.items():
            put(top, name, text)
        failures = [] if check(top).startswith("0 ") else [f"the clean tree fails: {check(top)}"]
        for name, text in ROWS:
            put(top, name, text)
            if not check(top).startswith(f"1 {name}:"):
                failures.append(f"{name} with {text!r} passes: {check(top)}")
            (top / name).unlink()
    print("\n".join(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
