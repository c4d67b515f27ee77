#!/usr/bin/env python3
"""Checks that every source file includes only from its own layer or below, and that
files are written only through the checked writer (platform/WholeFile).

Layers, from the bottom: platform < core < records and encoders without windows
(barcode/encoding/ and the model/ folder of every window subsystem) < canvas <
mainwindow < the window folders (designs, barcode designer, dataseries, output,
profiles, periphery) < app.  Project headers are included by their path from the
project root ("core/Utilities.h"), so the folder of an include names its layer.

The records and encoders, and the platform adapter apart from its widget parts, build on
Qt Core and Gui only: they include no header of the QtWidgets module, directly or through
a project header that does.
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
# The parts of the platform adapter that show or drive widgets (the library
# amends_platform in platform/CMakeLists.txt); the rest of platform/ is amends_platform_base.
PLATFORM_WIDGET_PARTS = ("UiServices", "QtUiServices", "ScriptedUi", "ImageBrowser", "ControlActions", "AppStyle")
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s*<([^>]+)>', re.M)


def qt_widgets_headers() -> set:
    """The names of the QtWidgets module's headers (QWidget, QDialog, qwidget.h ...)."""
    folders = [pathlib.Path(p) for p in sys.argv[2:]]
    folders += sorted(pathlib.Path("/usr/include").glob("*/qt6/QtWidgets"))
    folders.append(pathlib.Path("/usr/include/qt6/QtWidgets"))
    for folder in folders:
        if folder.is_dir():
            return {entry.name for entry in folder.iterdir()}
    # Without Qt's headers at hand, the classes a window is made of.
    return {"QApplication", "QWidget", "QDialog", "QMainWindow", "QLabel", "QPushButton", "QLayout",
            "QVBoxLayout", "QHBoxLayout", "QGridLayout", "QMessageBox", "QFileDialog", "QComboBox",
            "QLineEdit", "QCheckBox", "QAbstractItemView", "QListView", "QScrollArea"}


def widget_free(rel: pathlib.PurePosixPath) -> bool:
    """Whether a file is built without the Widgets headers."""
    if layer_of(rel) == "records":
        return True
    return len(rel.parts) == 2 and rel.parts[0] == "platform" and rel.stem not in PLATFORM_WIDGET_PARTS


def widget_include(inc: str, widget_headers: set) -> bool:
    return inc == "QtWidgets" or inc.startswith("QtWidgets/") or inc in widget_headers


def layer_of(rel: pathlib.PurePosixPath):
    parts = rel.parts
    if not parts:
        return None
    if parts[0] in WINDOW_FOLDERS and len(parts) > 2 and parts[1] in ("encoding", "model"):
        return "records"
    return parts[0] if parts[0] in LAYER else None


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    widget_headers = qt_widgets_headers()
    faults = []
    checked = 0
    sources = {}
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        rel = pathlib.PurePosixPath(path.relative_to(root).as_posix())
        if layer_of(rel) is not None:
            sources[rel] = path.read_text(encoding="utf-8", errors="replace")
    # Project headers that include a QtWidgets header themselves.
    widget_project_headers = {
        str(rel) for rel, text in sources.items()
        if rel.suffix == ".h" and any(widget_include(inc, widget_headers) for inc in SYSTEM_INCLUDE.findall(text))}
    widget_project_headers |= {f"platform/{part}.h" for part in PLATFORM_WIDGET_PARTS}
    for rel, text in sources.items():
        own = layer_of(rel)
        checked += 1
        code = re.sub(r'//[^\n]*', '', text)
        if str(rel) not in CHECKED_WRITER and SAVE_FILE.search(code):
            faults.append(f"{rel}: writes a file with QSaveFile instead of WholeFile (platform/WholeFile.h)")
        for inc in INCLUDE.findall(text):
            target = layer_of(pathlib.PurePosixPath(inc))
            if target is None:
                continue  # a file beside this one, or a generated header
            if LAYER[target] > LAYER[own]:
                faults.append(f"{rel}: includes {inc} from a higher layer ({target} above {own})")
        if widget_free(rel):
            for inc in SYSTEM_INCLUDE.findall(code):
                if widget_include(inc, widget_headers):
                    faults.append(f"{rel}: includes the widget header <{inc}> in a layer built without Qt Widgets")
            for inc in INCLUDE.findall(code):
                if inc in widget_project_headers and inc != str(rel.with_suffix(".h")):
                    faults.append(f"{rel}: includes {inc}, which needs Qt Widgets, in a layer built without them")
    for f in faults:
        print(f)
    print(f"layer check: {checked} files, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
