#!/usr/bin/env python3
"""Checks that every source file includes only from its own layer or below, and that
files are written only through the checked writer (platform/WholeFile).

Layers, from the bottom: platform < core < records and encoders without windows
(barcode/encoding/ and the model/ folder of every window subsystem) < canvas <
mainwindow < the window folders (designs, barcode designer, dataseries, output,
profiles, periphery) < app.  Project headers are included by their path from the
project root ("core/Utilities.h"), so the folder of an include names its layer.
"""
import pathlib
import re
import sys

LAYER = {
    "platform": 0,
    "core": 1,
    "records": 2,
    "canvas": 3,
    "mainwindow": 4,
    "designs": 5, "barcode": 5, "dataseries": 5, "output": 5, "profiles": 5, "periphery": 5,
    "app": 6,
}
# Records, file formats and encoders of the window subsystems that show no window sit
# below the canvas, so that the main window can hold them: barcode/encoding/ and
# designs/model/, dataseries/model/, output/model/, profiles/model/, periphery/model/.
WINDOW_FOLDERS = ("designs", "barcode", "dataseries", "output", "profiles", "periphery")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
# Files are written through platform/WholeFile, which checks every write before the new
# file replaces the old one; QSaveFile alone loses the last bytes on a full disk.
SAVE_FILE = re.compile(r'\bQSaveFile\b')
CHECKED_WRITER = ("platform/WholeFile.h", "platform/WholeFile.cpp")


def layer_of(rel: pathlib.PurePosixPath):
    parts = rel.parts
    if not parts:
        return None
    if parts[0] in WINDOW_FOLDERS and len(parts) > 2 and parts[1] in ("encoding", "model"):
        return "records"
    return parts[0] if parts[0] in LAYER else None


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    faults = []
    checked = 0
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        rel = pathlib.PurePosixPath(path.relative_to(root).as_posix())
        own = layer_of(rel)
        if own is None:
            continue
        checked += 1
        text = path.read_text(encoding="utf-8", errors="replace")
        code = re.sub(r'//[^\n]*', '', text)
        if str(rel) not in CHECKED_WRITER and SAVE_FILE.search(code):
            faults.append(f"{rel}: writes a file with QSaveFile instead of WholeFile (platform/WholeFile.h)")
        for inc in INCLUDE.findall(text):
            target = layer_of(pathlib.PurePosixPath(inc))
            if target is None:
                continue  # a file beside this one, or a generated header
            if LAYER[target] > LAYER[own]:
                faults.append(f"{rel}: includes {inc} from a higher layer ({target} above {own})")
    for f in faults:
        print(f)
    print(f"layer check: {checked} files, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
