"""The real program in a real window, as a user shows the grid and nudges with the arrow
keys. "Show the grid" draws its lines over the whole card, at 100% and at 50%: on the
screen, lines appear inside the card's bottom-right corner as well as inside its top-left
one. A click on the grey area around the card, Edit > Select All and three presses of
the right arrow key then move every object three points right in the saved design."""
import os
import shutil
import tempfile
import time

import pyatspi

from guidriver import (Hand, Program, choose_in_list, document_call, document_on_bus, fail, find, find_all, front_objects,
                       menu_item, new_card, press, save_design, wait_until)

RIGHT_ARROW = 0xff53  # its X keysym
BOX = 24  # pixels looked at inside each corner of the card


def extents(accessible):
    found = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return found.x, found.y, found.width, found.height


def bounds_of(fields):
    return list(fields["rect"])


folder = tempfile.mkdtemp(prefix="amends-grid-keys-")
try:
    env = {"AMENDS_RESOURCE_DIR": os.path.join(folder, "Resources"), "HOME": folder, "XDG_RUNTIME_DIR": folder}
    with Program(env) as program:
        window = new_card(program, width="120")
        hand = Hand(program)
        before = os.path.join(folder, "before.dcard")
        save_design(program, window, before)

        # The card's canvas: the view inside the scroll view whose zoom list shows 100%.
        zoom = wait_until(lambda: [c for c in find_all(window, "combo box") if c.name == "100%"], "the zoom list")[0]
        viewport = zoom.parent.parent[0]
        canvas = viewport[0]

        def corners():
            """The screen's pixels inside the top-left and the bottom-right corner of the
            card (of the part of it in view)."""
            x, y, width, height = extents(canvas)
            view_x, view_y, view_width, view_height = extents(viewport)
            right, bottom = min(x + width, view_x + view_width), min(y + height, view_y + view_height)
            return hand.pixels(x + 2, y + 2, BOX, BOX), hand.pixels(right - 2 - BOX, bottom - 2 - BOX, BOX, BOX)

        def expect_grid_lines(toggle, zoom_label):
            """The grid's lines, shown or hidden by `toggle`, in both corners of the card:
            each corner's pixels change where a line runs (a vertical and a horizontal
            one at least)."""
            first, again = None, corners()
            while first != again:  # drawn to the end
                time.sleep(0.3)
                first, again = again, corners()
            toggle()
            changed = []
            for _ in range(30):
                time.sleep(0.2)
                changed = [sum(1 for p in old if old[p] != new[p]) for old, new in zip(first, corners())]
                if min(changed) >= BOX:
                    return
            fail("at %s the grid's lines change %d pixels inside the card's top-left corner and %d inside its "
                 "bottom-right one (%d by %d pixels each)" % (zoom_label, changed[0], changed[1], BOX, BOX))

        # An object clicked brings the Align tab with the grid's controls (100%: a pixel a
        # point).
        x, y, width, height = bounds_of(front_objects(before)[0])
        canvas_x, canvas_y, _, _ = extents(canvas)
        hand.click(canvas_x + x + width / 2, canvas_y + y + height / 2)
        press(find(window, "page tab", "Align"))
        show_grid = find(window, "check box", "Show the grid")
        expect_grid_lines(lambda: press(show_grid), "100%")
        choose_in_list(zoom, "50%")
        wait_until(lambda: zoom.name == "50%", "the zoom list to show 50%")
        expect_grid_lines(lambda: press(show_grid), "50% (hiding the grid)")

        # The grey area around the card clicked, everything selected, three nudges.
        x, y, _, _ = extents(canvas)
        view_x, view_y, _, _ = extents(viewport)
        if x - view_x < 10 or y - view_y < 10:
            fail("at 50%% the card leaves no grey area around it (%r in %r)" % (extents(canvas), extents(viewport)))
        hand.click((x + view_x) / 2, (y + view_y) / 2)
        time.sleep(0.3)
        press(menu_item(window, "Edit", "Select All"))
        time.sleep(0.3)
        wait_until(document_on_bus, "the document on the session bus")
        placed = document_call("Elements", "textAreas")  # to see the nudges arrive
        for _ in range(3):
            hand.key(RIGHT_ARROW)
            time.sleep(0.1)
        # Until the texts have moved and stay where they are for a second.
        seen, since, end = placed, time.time(), time.time() + 10
        while time.time() < end and (seen == placed or time.time() - since < 1.0):
            time.sleep(0.1)
            now = document_call("Elements", "textAreas")
            if now != seen:
                seen, since = now, time.time()
        after = os.path.join(folder, "after.dcard")
        save_design(program, window, after)

    old, new = front_objects(before), front_objects(after)
    if not old or len(old) != len(new):
        fail("the card held %d objects before the nudges and %d after" % (len(old), len(new)))
    for was, now in zip(old, new):
        x, y, width, height = bounds_of(was)
        if bounds_of(now) != [x + 3, y, width, height]:
            fail("three nudges to the right moved %r from %r to %r" % (was.get("Text_Value", "an object"),
                                                                       bounds_of(was), bounds_of(now)))
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
