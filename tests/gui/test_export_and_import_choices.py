"""The real program in a real window, driven as an assistive tool drives it: radio
buttons are toggled (not clicked) and list items are chosen without opening the list.
The Export window's file type and resolution reach the written file, and the import
wizard's "Pasted text" source is chosen and imported."""
import glob
import os
import shutil
import struct
import tempfile

from guidriver import Program, enabled, export_card, fail, find, find_all, new_card, press, set_text, wait_until


def png_size_and_density(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("%s holds no PNG data" % path)
    width, height = struct.unpack(">II", data[16:24])
    at = data.find(b"pHYs")
    density = struct.unpack(">II", data[at + 4:at + 12]) if at > 0 else None
    return width, height, density


folder = tempfile.mkdtemp(prefix="amends-choices-")
try:
    resources = os.path.join(folder, "Resources")
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder}
    with Program(env) as program:
        # A 120 mm card through the start window.
        window = new_card(program, width="120")

        # Export: PNG toggled, 300 chosen from the resolution list.
        export_card(program, window, os.path.join(folder, "card.png"), resolution="300")

        written = sorted(os.path.basename(p) for p in glob.glob(os.path.join(folder, "card*")))
        if written != ["card.png"]:
            fail("the export wrote %r, not card.png" % written)
        width, height, density = png_size_and_density(os.path.join(folder, "card.png"))
        # 120 mm at 300 dots per inch: 1417.3 dots, rounded up to whole pixels.
        if width != 1418:
            fail("the card is %d x %d pixels, not 1418 wide as 300 dpi makes it" % (width, height))
        if density is None or abs(density[0] - 300 / 0.0254) > 300 / 0.0254 * 0.002:  # whole pixels round the size
            fail("the PNG says %r pixels per metre, not 300 dpi" % (density,))

        # Import: "Pasted text" toggled, two lines pasted.
        press(find(window, "push button", "Import"))
        wizard = program.window("Import Wizard", role="dialog")
        press(find(wizard, "radio button", "Pasted text"))
        values = find(wizard, "text", "Values to import")
        wait_until(lambda: enabled(values), "the pasted text to be the chosen source")
        names = [f for f in find_all(wizard, "text", "Series name") if enabled(f)]
        if len(names) != 1:
            fail("%d series name fields are enabled, not the pasted text's one" % len(names))
        set_text(names[0], "Guests")
        set_text(values, "Ana\nSam")
        press(find(wizard, "push button", "OK"))

        def imported():
            found = glob.glob(os.path.join(resources, "DataSet", "Guests*"))
            return found[0] if found else None
        series = wait_until(imported, "the series Guests to be written")
        with open(series, encoding="utf-8-sig") as f:
            lines = f.read().split("\n")
        if lines[:2] != ["Ana", "Sam"]:
            fail("the series holds %r" % lines)
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
