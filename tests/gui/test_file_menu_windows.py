"""The real program in a real window, as a new user tries the File menu's windows on a
card the start window made and that was saved: "Card Size..." opens on the card as it
is, and the size and shape chosen there reach the card panel, count as a change (Exit
would ask) and are what the file then holds; "Open Template..." over that change asks
the question Open asks, Yes saves the change first, and the template then replaces
the design."""
import os
import plistlib
import shutil
import tempfile

import pyatspi

from guidriver import (Program, alert_saying, exit_program, fail, find, menu_item, new_card, press, save_design,
                       showing, wait_until)

# A design log's root array: the front side's settings from item 1 on.
FRONT_SHAPE, FRONT_SIZE, FRONT_PRESET_NAME = 16, 19, 22
# CR90 in millimetres (3.62 x 2.38 inches) and in points.
CR90_MM = (3.62 * 25.4, 2.38 * 25.4)
CR90_POINTS = tuple(mm * 2.834645669291 for mm in CR90_MM)


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def checked(accessible):
    return accessible.getState().contains(pyatspi.STATE_CHECKED)


def size_of(item):
    width, height = (float(v) for v in item.strip("{}").split(","))
    return width, height


def near(a, b, tolerance):
    return abs(a - b) <= tolerance


folder = tempfile.mkdtemp(prefix="amends-filemenu-")
try:
    env = {"AMENDS_RESOURCE_DIR": os.path.join(folder, "Resources"), "HOME": folder, "XDG_RUNTIME_DIR": folder}
    design = os.path.join(folder, "Resized.dcard")

    with Program(env) as program:
        # A card of the start window's own size, 120 x 120 mm, saved.
        window = new_card(program)
        save_design(program, window, design)

        # Card Size... opens on the card: 120 x 120 mm, two sides, a rectangle.
        press(menu_item(window, "File", "Card Size..."))
        sizes = program.window("Card Size", role="dialog")
        width = find(sizes, "text", "Card width")
        height = find(sizes, "text", "Card height")
        if (text_of(width), text_of(height)) != ("120", "120"):
            fail("the card size window opened on %s x %s mm, not the card's 120 x 120"
                 % (text_of(width), text_of(height)))
        find(sizes, "combo box", "Two-sided")
        if not checked(find(sizes, "radio button", "Rectangle")):
            fail("the card size window did not open on the card's rectangle")

        # CR90, oval, OK.
        press(find(sizes, "table cell", "CR90-Over Sized"))
        wait_until(lambda: near(float(text_of(width) or 0), CR90_MM[0], 0.01), "the CR90 width in the field")
        press(find(sizes, "radio button", "Oval"))
        press(find(sizes, "push button", "OK"))
        wait_until(lambda: not showing(sizes), "the card size window to close")

        # The card panel shows the new size.
        panel_width = find(window, "text", "Card width")
        wait_until(lambda: near(float(text_of(panel_width) or 0), CR90_MM[0], 0.01),
                   "the card panel to show the CR90 width")
        if not near(float(text_of(find(window, "text", "Card height")) or 0), CR90_MM[1], 0.01):
            fail("the card panel's height says %r" % text_of(find(window, "text", "Card height")))

        # Open Template... over the change: the question Open asks; Yes saves it first.
        press(menu_item(window, "File", "Open Template..."))
        question = alert_saying(program, "Do you want to save changes before opening document?")
        press(find(question, "push button", "Yes"))
        press(find(alert_saying(program, "saved successfully"), "push button", "OK"))
        templates = program.window("Templates", role="dialog")
        press(find(templates, "push button", "Open"))
        wait_until(lambda: window.name == "Amends", "the template to open untitled")

        # The template is a change of its own: Exit asks; No, then the review window.
        exit_program(program, window, answer="No")

    # The file holds the card as the card size window left it.
    with open(design, "rb") as f:
        items = plistlib.load(f)
    saved = size_of(items[FRONT_SIZE])
    if not (near(saved[0], CR90_POINTS[0], 0.01) and near(saved[1], CR90_POINTS[1], 0.01)):
        fail("the saved card is %r points, not CR90's %r" % (saved, CR90_POINTS))
    if items[FRONT_SHAPE] != "E" or items[FRONT_PRESET_NAME] != "CR90-Over Sized":
        fail("the saved card's shape and preset are %r and %r" % (items[FRONT_SHAPE], items[FRONT_PRESET_NAME]))

    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
