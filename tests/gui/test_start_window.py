"""The real program in a real window, as a first-time user meets it: the start window
comes up before anything else, leads through size, background, event, title and
message, and names, and the card it makes is the design then saved. A title and a
sender longer than their usual boxes show whole, on the card and in an export: each
gets the lines it needs, and the texts below make room."""
import os
import plistlib
import shutil
import tempfile

from guidriver import (POINTS_PER_MM, Program, exit_program, expect_apart_on_card, export_card, fail, find,
                       front_objects, labels, png_data, press, read_png, save_design, set_text, wait_until)

TITLE = "Please, please, please forgive me."  # two lines of the title's font on this card
SENDER = "Bartholomew Jeremiah Fitzgerald Kingsley"  # the longest name taken: two lines below "From:"
DPI = 300


def shows(window, text):
    return any(text in label for label in labels(window))


def ink_bands(pixel, box):
    """The runs of pixel rows, (first, last), that hold ink within `box` (points) of a
    DPI export."""
    x, y, w, h = (round(v * DPI / 72) for v in box)
    bands = []
    for row in range(y, y + h):
        if any(max(pixel(column, row)) < 110 for column in range(x, x + w)):
            if bands and bands[-1][1] == row - 1:
                bands[-1] = (bands[-1][0], row)
            else:
                bands.append((row, row))
    return bands


folder = tempfile.mkdtemp(prefix="amends-start-")
try:
    resources = os.path.join(folder, "Resources")
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder}
    design = os.path.join(folder, "For Ana.dcard")
    exported = os.path.join(folder, "For Ana.png")
    # A white picture listed before the shipped backgrounds, the step's first choice: the
    # export shows the text alone.
    os.makedirs(os.path.join(resources, "Background"))
    with open(os.path.join(resources, "Background", "000 White.png"), "wb") as f:
        f.write(png_data(40, 40, lambda x, y: (255, 255, 255)))

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
        set_text(title, TITLE)
        press(find(start, "push button", "Next"))
        set_text(find(start, "text", "From"), SENDER)
        set_text(find(start, "text", "To"), "Ana")
        press(find(start, "push button", "Next"))

        window = program.window("Amends")
        export_card(program, window, exported, resolution=str(DPI))
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


    # Every text within the card and apart from the others; the title's two lines and
    # the sender's three show whole in the export: the last line's ink is as tall as the
    # line's above it (a line cut by its box shows only its upper part).
    texts = {fields["control_ID"]: fields for fields in front_objects(design)}
    expect_apart_on_card(texts.values(), 100 * POINTS_PER_MM, 120 * POINTS_PER_MM)
    if texts["PARTY_TITLE"]["Text_Value"] != TITLE:
        fail("the title on the card is %r" % texts["PARTY_TITLE"]["Text_Value"])
    _, _, pixel = read_png(exported)
    for name, lines in (("PARTY_TITLE", 2), ("PARTY_FROM", 3)):
        bands = ink_bands(pixel, texts[name]["rect"])
        if len(bands) != lines:
            fail("the %s box %r shows %d lines of ink, not %d: %r" % (name, texts[name]["rect"], len(bands), lines,
                                                                      bands))
        (first, above), (top, bottom) = bands[-2], bands[-1]
        if bottom - top < 0.8 * (above - first):
            fail("the last line of %s is cut: %d pixel rows of ink under %d in the line above it" %
                 (name, bottom - top + 1, above - first + 1))

    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
