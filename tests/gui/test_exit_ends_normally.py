"""The real program in a real window: a design saved through the real file panel, then
Exit, which asks nothing since nothing changed after the save, and the review window closed. The program must end through its normal quit with status 0, promptly,
and what was saved before it ended must be on disk, whole."""
import os
import plistlib
import shutil
import tempfile

from guidriver import Program, expect_normal_end, fail, find, labels, press, set_text, wait_until


def shows(alert, message):
    return any(message in text for text in labels(alert))


folder = tempfile.mkdtemp(prefix="amends-exit-")
try:
    design = os.path.join(folder, "Before exit.dcard")
    env = {"AMENDS_RESOURCE_DIR": os.path.join(folder, "Resources"), "HOME": folder,
           "XDG_RUNTIME_DIR": folder}
    with Program(env) as program:
        window = program.window("Amends")

        press(find(window, "push button", "Save As"))
        panel = program.window("Save Design", role="dialog")
        set_text(find(panel, "text", "File name:"), design)
        press(find(panel, "push button", "Save"))

        saved = program.window("Amends", role="alert")
        if not shows(saved, "Greeting Card Design Log has been saved successfully."):
            fail("no save confirmation; the alert said %r" % labels(saved))
        press(find(saved, "push button", "OK"))
        wait_until(lambda: window.name == "Amends ( Before exit.dcard )", "the title to name the design")

        press(find(window, "push button", "Exit"))
        # The review window comes once, before the end; "Not Now" opens nothing.
        review = program.window("Review Amends", role="dialog")
        for child in program.app:
            if child is not None and child.getRoleName() == "alert" and labels(child):
                fail("Exit right after a save asked %r" % labels(child))
        press(find(review, "push button", "Not Now"))

        expect_normal_end(program)

    with open(design, "rb") as f:
        items = plistlib.load(f)
    if not isinstance(items, list) or len(items) < 60:
        fail("the saved design is not a whole design log: %r" % type(items))
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
