"""The real program in a real window: after Undo and Redo the property panel shows the
object the canvas selects, and its controls act on that object. A user clicks objects on
the card with the mouse, moves them with the Align tab's "Right", and undoes a move while
the panel shows another object: the panel follows the canvas to the moved object, and the
text tab's "Right" alignment then changes that text in the exported card. The Profile
window then places a name and a photo: the panel follows the canvas to each, text typed
into it becomes the name's, and the window opened again and accepted unchanged keeps the
photo on the exported card."""
import os
import re
import shutil
import tempfile

import pyatspi

from guidriver import (Hand, Program, choose_in_list, document_call, document_on_bus, export_card, fail, file_panel,
                       find, find_all, new_card, png_data, press, read_png, set_text, showing, wait_until)


def elements(kind):
    """Class, control id and bounds of the front objects of `kind`, from the scripting bus."""
    found = []
    for item in re.findall(r"\{[^{}]*\}", document_call("Elements", kind)):
        bounds = re.search(r"'bounds': <\[([^\]]*)\]>", item)
        ident = re.search(r"'controlID': <'([^']*)'>", item)
        found.append((ident.group(1) if ident else "", [float(v) for v in bounds.group(1).split(",")]))
    return found


def element(kind, ident):
    """The text, visibility and bounds of the front object of `kind` with the control id."""
    for item in re.findall(r"\{[^{}]*\}", document_call("Elements", kind)):
        if "'controlID': <'%s'>" % ident in item:
            text = re.search(r"'text': <'((?:[^'\\]|\\.)*)'>", item)
            bounds = re.search(r"'bounds': <\[([^\]]*)\]>", item)
            return {"text": text.group(1) if text else None, "visible": "'visible': <true>" in item,
                    "bounds": [float(v) for v in bounds.group(1).split(",")]}
    fail("no %s %r on the card" % (kind, ident))


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def bounds_of(kind, ident=None):
    for found_ident, bounds in elements(kind):
        if ident is None or found_ident == ident:
            return bounds
    fail("no %s %r on the card: %r" % (kind, ident, elements(kind)))


def tab_names(window):
    return [tab.name for tab in find_all(window, "page tab")]


def open_tab(window, name):
    """Brings the panel's tab `name` to the front, as a click on its label does."""
    tab = find(window, "page tab", name)
    press(tab)


folder = tempfile.mkdtemp(prefix="amends-undo-panel-")
try:
    env = {"AMENDS_RESOURCE_DIR": os.path.join(folder, "Resources"), "HOME": folder, "XDG_RUNTIME_DIR": folder}
    with Program(env) as program:
        window = new_card(program)

        # The card's canvas: the view inside the scroll view whose zoom list shows 100%.
        zoom = wait_until(lambda: [c for c in find_all(window, "combo box") if c.name == "100%"], "the zoom list")[0]
        viewport = zoom.parent.parent[0]
        canvas = viewport[0]

        hand = Hand(program)

        def click(x, y):
            """A click of the left button at the card's point (x, y); one pixel a point."""
            extents = canvas.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            hand.click(extents.x + x, extents.y + y)

        def click_middle(bounds):
            click(bounds[0] + bounds[2] / 2, bounds[1] + bounds[3] / 2)

        def panel_shows(first_tab, what):
            wait_until(lambda: tab_names(window)[:1] == [first_tab], "the panel to show %s (it shows %r)"
                       % (what, tab_names(window)))

        wait_until(document_on_bus, "the document on the session bus")
        title = bounds_of("textAreas", "PARTY_TITLE")
        click_middle(title)
        panel_shows("Text", "the title the mouse selected")

        # An ellipse, placed and shown, then moved to the right edge: one step.
        press(find(window, None, "Ellipse tool"))
        panel_shows("Ellipse Properties", "the new ellipse")
        placed = bounds_of("circles")
        open_tab(window, "Align")
        press(find(window, "push button", "Right"))
        moved = wait_until(lambda: bounds_of("circles") != placed and bounds_of("circles"), "the ellipse to move")

        # The user looks at the title, then undoes the ellipse's move: the canvas selects
        # the ellipse, and so does the panel.
        click_middle(title)
        panel_shows("Text", "the title clicked")
        press(find(window, "push button", "Undo"))
        wait_until(lambda: bounds_of("circles") == placed, "the ellipse to move back")
        panel_shows("Ellipse Properties", "the ellipse that Undo moved back")
        press(find(window, "push button", "Redo"))
        wait_until(lambda: bounds_of("circles") == moved, "the ellipse to move again")
        panel_shows("Ellipse Properties", "the ellipse that Redo moved")

        # The title moved right, the ellipse clicked, the move undone: the panel shows the
        # title again, and its alignment acts on it.
        click_middle(title)
        panel_shows("Text", "the title clicked")
        open_tab(window, "Align")
        press(find(window, "push button", "Right"))
        wait_until(lambda: bounds_of("textAreas", "PARTY_TITLE") != title, "the title to move")
        click_middle(bounds_of("circles"))
        panel_shows("Ellipse Properties", "the ellipse clicked")
        press(find(window, "push button", "Undo"))
        wait_until(lambda: bounds_of("textAreas", "PARTY_TITLE") == title, "the title to move back")
        panel_shows("Text", "the title that Undo moved back")
        before = os.path.join(folder, "before.png")
        export_card(program, window, before)
        open_tab(window, "Text Style")
        alignment = wait_until(lambda: [c for c in find_all(window, "combo box")
                                        if c.description == "How the lines of the text line up"], "the alignment list")[0]
        if alignment.name == "Right":
            fail("the title is right-aligned already")
        choose_in_list(alignment, "Right")
        wait_until(lambda: alignment.name == "Right", "Right to be chosen")
        after = os.path.join(folder, "after.png")
        export_card(program, window, after)

        # What changed on the card is the title, and nothing else.
        width, height, old = read_png(before)
        _, _, new = read_png(after)
        changed = [(x, y) for y in range(height) for x in range(width) if old(x, y) != new(x, y)]
        if not changed:
            fail("choosing Right changed nothing on the card")
        left, top, w, h = title
        outside = [(x, y) for x, y in changed if not (left - 1 <= x <= left + w + 1 and top - 1 <= y <= top + h + 1)]
        if outside:
            fail("choosing Right for the title changed the card outside it, at %r" % outside[:5])

        # The Profile window places a name: the panel shows the name the canvas selects,
        # and text typed into the panel becomes the name's, not the title's.
        title_text = element("textAreas", "PARTY_TITLE")["text"]

        def profile_window():
            press(find(window, "push button", "Profile"))
            return program.window("Front Side User Profile Information", role="dialog")

        def accept(profile):
            press(find(profile, "push button", "OK"))
            wait_until(lambda: not showing(profile), "the Profile window to close")

        profile = profile_window()
        set_text(find(profile, "text", "Name"), "Ann")
        accept(profile)
        editor = wait_until(lambda: [c for c in find_all(window, "text")
                                     if c.description == "The text of the selected object"],
                            "the text field of the panel showing the placed name")[0]
        wait_until(lambda: text_of(editor) == "Ann", "the panel to show the placed name (it shows %r)"
                   % text_of(editor))
        set_text(editor, "Bea")
        wait_until(lambda: element("textAreas", "Fup_Name")["text"] == "Bea", "the typed text to become the name's")
        if element("textAreas", "PARTY_TITLE")["text"] != title_text:
            fail("the text typed for the name changed the title")

        # A photo added: the canvas selects it, and so does the panel.
        photo = os.path.join(folder, "photo.png")
        with open(photo, "wb") as f:
            f.write(png_data(40, 48, lambda x, y: (0, 160, 60)))
        profile = profile_window()
        press(find(profile, "push button", "Browse Photo..."))
        panel = file_panel(program, "Choose a photo", "the photo's open panel")
        set_text(find(panel, "text", "File name:"), photo)
        press(find(panel, "push button", "Open"))
        wait_until(lambda: text_of(find(profile, "text", "Photo file")) == photo, "the photo's file in the window")
        accept(profile)
        panel_shows("Image Source", "the placed photo")

        # Opened again, the window shows the photo's file; OK without a change keeps the
        # photo on the card and in the exported card.
        profile = profile_window()
        shown = find(profile, "text", "Photo file")
        wait_until(lambda: text_of(shown) == photo,
                   "the window to show the photo's file (it shows %r)" % text_of(shown))
        accept(profile)
        placed = element("images", "Fup_Photo")
        if not placed["visible"]:
            fail("OK without a change hid the photo")
        exported = os.path.join(folder, "photo-card.png")
        export_card(program, window, exported)
        width, height, pixel = read_png(exported)
        left, top, w, h = placed["bounds"]
        centre = (int(left + w / 2), int(top + h / 2))
        if not (0 <= centre[0] < width and 0 <= centre[1] < height) or pixel(*centre) != (0, 160, 60):
            fail("the exported card does not show the photo at %r" % (centre,))
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
