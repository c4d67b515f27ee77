"""The real program in a real window: the series manager's export panel offers "xlsx"
and "txt" as two types to choose from, "xlsx" chosen at first. Choosing "txt" and typing
a bare name writes a text file; keeping "xlsx" with a name typed as ".txt" writes a
workbook: the chosen type decides the file."""
import os
import shutil
import tempfile

from guidriver import (Program, choose_in_list, enabled, fail, file_panel, find, find_all, new_card, press, set_text,
                       settled, wait_until)

XLSX = "XLSX files (*.xlsx *.XLSX)"
TXT = "TXT files (*.txt *.TXT)"


def listed(combo):
    for child in combo:
        if child is not None and child.getRoleName() == "list":
            return [item.name for item in child if item is not None]
    return []


folder = tempfile.mkdtemp(prefix="amends-series-export-")
try:
    resources = os.path.join(folder, "Resources")
    out = os.path.join(folder, "out")
    os.makedirs(out)
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder}
    with Program(env) as program:
        window = new_card(program)

        # A new series in the manager's editor, its values pasted through the import wizard.
        press(find(window, "push button", "Series"))
        manager = program.window("Batch Processing Series", role="dialog")
        press(find(manager, "push button", "Add New"))
        press(find(manager, "push button", "Import Values"))
        wizard = program.window("Import Wizard", role="dialog")
        press(find(wizard, "radio button", "Pasted text"))
        values = find(wizard, "text", "Values to import")
        wait_until(lambda: enabled(values), "the pasted text to be the chosen source")
        set_text(values, "Ana\nSam")
        press(find(wizard, "push button", "OK"))
        find(manager, "label", "Total Rows : 2")

        def export(name, type_name):
            press(find(manager, "push button", "Export"))
            panel = file_panel(program, "Export")
            types = wait_until(settled(lambda: next((c for c in find_all(panel, "combo box") if XLSX in listed(c)),
                                                    None)), "the list of types")
            if listed(types) != [XLSX, TXT]:
                fail("the panel offers the types %r, not xlsx and txt" % listed(types))
            if types.name != XLSX:
                fail("the panel has %r chosen at first, not xlsx" % types.name)
            if type_name != types.name:
                choose_in_list(types, type_name)
                wait_until(lambda: types.name == type_name, "the type %r to be chosen" % type_name)
            set_text(find(panel, "text", "File name:"), os.path.join(out, name))
            press(find(panel, "push button", "Save"))
            finished = program.window("Export Finished", role="dialog")
            press(find(finished, "push button", "OK"))

        export("guests", TXT)
        export("book.txt", XLSX)

    written = sorted(os.listdir(out))
    if written != ["book.xlsx", "guests.txt"]:
        fail("the exports wrote %r, not book.xlsx and guests.txt" % written)
    with open(os.path.join(out, "guests.txt"), "rb") as f:
        if f.read() != b"Ana\nSam\n":
            fail("guests.txt does not hold the two values, one a line")
    with open(os.path.join(out, "book.xlsx"), "rb") as f:
        if f.read(4) != b"PK\x03\x04":
            fail("book.xlsx is no workbook")
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
