"""The real program in a real window, as a user asks the start window for a tiny card:
the size step says the smallest size it takes and, given a width and height of 1 mm,
shows the 30 mm it takes instead of moving on as if 1 had been taken. On that smallest
card the title, greeting, message and signature stay within the card, apart from one
another, and keep their words whole: in the saved design each text's box spans nearly
the card's width and the texts' fonts are cut down by one factor so that all their lines
fit, and in a 300 dpi export the lines of text run across the card instead of standing
as single letters one below the other."""
import os
import shutil
import tempfile

from guidriver import (POINTS_PER_MM, Program, exit_program, expect_apart_on_card, export_card, fail, find, find_all,
                       finish_start_window, front_objects, labels, png_data, press, read_png, save_design, set_text,
                       wait_until)

CARD_POINTS = 30 * POINTS_PER_MM
TITLE_POINTS = 18  # the title's font on a card where every text fits its box


folder = tempfile.mkdtemp(prefix="amends-smallest-")
try:
    resources = os.path.join(folder, "Resources")
    # A white picture listed before the shipped backgrounds: the step's own first choice,
    # so that the export shows the text alone.
    os.makedirs(os.path.join(resources, "Background"))
    with open(os.path.join(resources, "Background", "000 White.png"), "wb") as f:
        f.write(png_data(40, 40, lambda x, y: (255, 255, 255)))
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder}
    design = os.path.join(folder, "Tiny.dcard")
    exported = os.path.join(folder, "tiny.png")

    with Program(env) as program:
        start = program.window("New Apology Card", role="dialog")
        press(find(start, "push button", "Create a New Apology Card"))
        find(start, "label", "Step 1 of 5: Card size")
        if not any("from 30 to 1000" in text for text in labels(start)):
            fail("the size step does not say its smallest size: %r" % labels(start))
        width, height = find(start, "text", "Card width"), find(start, "text", "Card height")
        set_text(width, "1")
        set_text(height, "1")
        press(find(start, "push button", "Next"))
        wait_until(lambda: width.queryText().getText(0, -1) == "30", "the width field to show the 30 mm taken")
        if height.queryText().getText(0, -1) != "30":
            fail("the height field shows %r, not the 30 mm taken" % height.queryText().getText(0, -1))
        if not find_all(start, "label", "Step 1 of 5: Card size"):
            fail("the size step moved on past the size it changed")
        window = finish_start_window(program, start, sender="Sam", addressee="Ana")

        # The card at 300 dpi, as a PNG file; the design, saved.
        export_card(program, window, exported, resolution="300")
        save_design(program, window, design)
        exit_program(program, window)

    # Four texts, each within the card, apart from the others and nearly as wide as the
    # card; their fonts cut by one factor, so that the title's lines, which take more than
    # the card at its usual size, fit.
    texts = front_objects(design)
    if len(texts) != 4:
        fail("the card holds %d front objects, not the title, greeting, message and signature" % len(texts))
    expect_apart_on_card(texts, CARD_POINTS, CARD_POINTS)
    for fields in texts:
        x, y, w, h = fields["rect"]
        if w < 0.9 * CARD_POINTS:
            fail("the text %r has a box %.1f points wide on a %.1f-point card" % (fields["Text_Value"], w, CARD_POINTS))
    sizes = {fields["control_ID"]: fields["text_ctrl_font"]["NSSize"] for fields in texts}
    factor = sizes["PARTY_TITLE"] / TITLE_POINTS
    if not 0.2 < factor < 1:
        fail("the title's font is %r points on the smallest card" % sizes["PARTY_TITLE"])
    others = {sizes[name] for name in ("PARTY_TO", "PARTY_MSG", "PARTY_FROM")}
    if len(others) != 1:
        fail("the greeting, message and signature do not share one font size: %r" % sizes)

    # The export: 30 mm at 300 dpi. Inside the card's border (3 points, 12.5 pixels), some
    # line of text runs across most of the card (single letters stacked one below the
    # other span one letter's width).
    width, height, pixel = read_png(exported)
    if width != 355 or height != 355:
        fail("the export is %d x %d pixels, not 30 mm at 300 dpi" % (width, height))
    border = 16
    widest = 0
    for y in range(border, height - border):
        ink = [x for x in range(border, width - border) if max(pixel(x, y)) < 110]
        if ink:
            widest = max(widest, ink[-1] - ink[0])
    if widest < width // 2:
        fail("the widest line of text in the export is %d of %d pixels: the words do not run across" %
             (widest, width))

    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
