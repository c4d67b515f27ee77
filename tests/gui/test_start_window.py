"""The real program in a real window, as a first-time user meets it: the start window
comes up before anything else, leads through size, background, event, title and
message, and names, and the card it makes is the design then saved."""
import os
import plistlib
import shutil
import tempfile

from guidriver import Program, exit_program, fail, find, labels, press, save_design, set_text, wait_until


def shows(window, text):
    return any(text in label for label in labels(window))


folder = tempfile.mkdtemp(prefix="amends-start-")
try:
    resources = os.path.join(folder, "Resources")
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder}
    design = os.path.join(folder, "For Ana.dcard")

    with Program(env) as program:
        start = program.window("New Apology Card", role="dialog")
        if not shows(start, "Welcome! How would you like to start?"):
            fail("the start window said %r" % labels(start))
        press(find(start, "push button", "Create a New Apology Card"))
        find(start, "label", "Step 1 of 5: Card size")
        set_text(find(start, "text", "Card width"), "100")
        press(find(start, "push button", "Next"))
        find(start, "label", "Step 2 of 5: Background")
        press(find(start, "push button", "Next"))  # with the first picture, chosen for the user
        press(find(start, "push button", "To Her"))
        find(start, "label", "Step 4 of 5: Title and message")
        title = find(start, "text", "Title")
        wait_until(lambda: title.queryText().getText(0, -1) == "I'm So Sorry!!!", "the first title of event 1")
        press(find(start, "push button", "Next title"))
        wait_until(lambda: title.queryText().getText(0, -1) == "Forgive me please!", "the second title")
        press(find(start, "push button", "Next"))
        set_text(find(start, "text", "From"), "Sam")
        set_text(find(start, "text", "To"), "Ana")
        press(find(start, "push button", "Next"))

        window = program.window("Amends")
        save_design(program, window, design)
        exit_program(program, window)  # nothing changed since the save: no question

    with open(design, "rb") as f:
        items = plistlib.load(f)
    front_count = int(items[61])
    if front_count != 4:
        fail("the card holds %d front objects, not the title, addressee, message and sender" % front_count)
    # The front side's background is a picture of the resource folder's "Background".
    if items[5] != "Y" or items[6] != "I" or not items[25].startswith(os.path.join(resources, "Background")):
        fail("the front background is not the chosen picture: %r %r %r" % (items[5], items[6], items[25]))
    if not abs(float(items[19].strip("{}").split(",")[0]) - 100 * 2.834645669291) < 0.01:
        fail("the card is not 100 mm wide: %r" % items[19])

    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
