"""The real program in a real window: a text bound to a long series, exported one card per
value. While the batch still runs, Escape on its progress window asks as Stop does and,
answered No, leaves the window up with its Stop button in reach; Stop answered Yes then
ends the run before its last card, and the result window follows."""
import os
import shutil
import tempfile
import time

import pyatspi

from guidriver import (Hand, Program, alert_saying, choose_in_list, enabled, fail, find, find_all, new_card, press,
                       set_text, showing, wait_until)

ESCAPE = 0xff1b  # its X keysym
CARDS = 5000


def extents(accessible):
    found = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return found.x, found.y, found.width, found.height


folder = tempfile.mkdtemp(prefix="amends-escape-progress-")
try:
    resources = os.path.join(folder, "Resources")
    os.makedirs(os.path.join(resources, "DataSet"))
    with open(os.path.join(resources, "DataSet", "Guests.txt"), "w", encoding="utf-8") as f:
        f.write("".join("Guest %d\n" % n for n in range(CARDS)))
    out = os.path.join(folder, "out")
    os.makedirs(out)
    cards = os.path.join(out, "Amends Greeting Cards")
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder}
    with Program(env) as program:
        window = new_card(program)
        hand = Hand(program)

        # A new text, bound to the series.
        press(find(window, None, "Text tool"))
        press(find(window, "page tab", "Text Source"))
        choose_in_list(find(window, "combo box", "Manual"), "Series")  # named by its item
        values = find(window, "combo box", "Values")
        wait_until(lambda: enabled(values), "the series list to be enabled")
        choose_in_list(values, "Guests")
        wait_until(lambda: values.name == "Guests", "the series to be chosen")

        # One card per value, at 600 dots per inch, into `out`.
        press(find(window, "push button", "Export"))
        sheet = program.window("Export", role="dialog")
        batch = find(sheet, "check box", "One card per row of the bound series")
        if not batch.getState().contains(pyatspi.STATE_CHECKED):
            fail("the export window does not offer the bound series")
        dpi = wait_until(lambda: [c for c in find_all(sheet, "combo box") if c.name == "72"],
                         "the resolution list showing 72")[0]
        choose_in_list(dpi, "600")
        wait_until(lambda: dpi.name == "600", "the resolution to become 600")
        press(find(sheet, "push button", "Export..."))
        panel = program.window("Choose the folder for the cards", role="dialog")
        field = wait_until(lambda: [t for t in find_all(panel, "text") if t.name in ("Directory:", "File name:")],
                           "the folder panel's name field")[0]
        set_text(field, out)
        press(find(panel, "push button", "Choose"))

        progress = program.window("Progress", role="dialog")
        stop = find(progress, "push button", "Stop")
        wait_until(lambda: os.path.isdir(cards) and os.listdir(cards), "the first cards to be written")

        # Escape, as a hand presses it on the progress window.
        x, y, width, height = extents(find(progress, "progress bar"))
        hand.click(x + width / 2, y + height / 2)
        time.sleep(0.3)
        hand.key(ESCAPE)
        time.sleep(1.0)
        if not showing(progress):
            fail("Escape took the progress window away while the batch goes on (%d of %d cards written)"
                 % (len(os.listdir(cards)), CARDS))
        press(find(alert_saying(program, "Are you sure you want to continue?"), "push button", "No"))
        time.sleep(0.5)
        if not showing(progress) or not showing(stop) or not enabled(stop):
            fail("after Escape answered No the progress window or its Stop button is gone")
        if len(os.listdir(cards)) >= CARDS:
            fail("the batch ended before Escape was pressed: make it longer")

        # Stop, answered Yes, ends the run; the result window follows.
        press(stop)
        press(find(alert_saying(program, "Are you sure you want to continue?"), "push button", "Yes"))
        finished = program.window("Export Finished", role="dialog", timeout=60)
        press(find(finished, "push button", "OK"))
        wait_until(lambda: not showing(progress), "the progress window to go with the run")

    written = len(os.listdir(cards))
    if not 0 < written < CARDS:
        fail("Stop left %d of %d cards" % (written, CARDS))
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
