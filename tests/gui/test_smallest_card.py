"""The real program in a real window, as a user asks the start window for a tiny card:
the size step says the smallest size it takes and, given a width and height of 1 mm,
shows the 30 mm it takes instead of moving on as if 1 had been taken. On that smallest
card the title, greeting, message and signature stay within the card and keep their
words whole: in the saved design each text's box spans nearly the card's width, and in
a 300 dpi export the lines of text run across the card instead of standing as single
letters one below the other."""
import os
import plistlib
import shutil
import struct
import tempfile
import zlib

import pyatspi

from guidriver import Program, fail, find, find_all, labels, press, set_text, wait_until

POINTS_PER_MM = 2.834645669291
CARD_POINTS = 30 * POINTS_PER_MM
FRONT_COUNT = 61  # the root item counting the front side's objects; their archives follow


def png_bytes(width, height, rgb):
    """A PNG file of one colour."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes(rgb) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def read_png(path):
    """Width, height and rows of (r, g, b) of an 8-bit RGB or RGBA PNG file."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("%s holds no PNG data" % path)
    at, idat = 8, b""
    width = height = kind = None
    while at < len(data):
        length, name = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if name == b"IHDR":
            width, height, depth, kind = struct.unpack(">IIBB", body[:10])
            if depth != 8 or kind not in (2, 6):
                fail("the export is a PNG of depth %d and colour type %d" % (depth, kind))
        elif name == b"IDAT":
            idat += body
        at += 12 + length
    channels = 4 if kind == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind_of_filter, row = line[0], bytearray(line[1:])
        for i in range(stride):
            a = row[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind_of_filter == 1:
                row[i] = (row[i] + a) & 0xFF
            elif kind_of_filter == 2:
                row[i] = (row[i] + b) & 0xFF
            elif kind_of_filter == 3:
                row[i] = (row[i] + (a + b) // 2) & 0xFF
            elif kind_of_filter == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append([tuple(row[x * channels:x * channels + 3]) for x in range(width)])
        previous = row
    return width, height, rows


def archived(data):
    """The card object of a keyed archive: its fields, references resolved one level."""
    archive = plistlib.loads(data)
    objects = archive["$objects"]
    root = objects[archive["$top"]["root"].data]
    return {key: objects[value.data] if isinstance(value, plistlib.UID) else value for key, value in root.items()}


def rect_of(text):
    numbers = [float(v) for v in text.replace("{", " ").replace("}", " ").replace(",", " ").split()]
    return numbers  # x, y, width, height


def showing(accessible):
    try:
        return accessible.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:  # gone
        return False


folder = tempfile.mkdtemp(prefix="amends-smallest-")
try:
    resources = os.path.join(folder, "Resources")
    # A white picture listed before the shipped backgrounds: the step's own first choice,
    # so that the export shows the text alone.
    os.makedirs(os.path.join(resources, "Background"))
    with open(os.path.join(resources, "Background", "000 White.png"), "wb") as f:
        f.write(png_bytes(40, 40, (255, 255, 255)))
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
        press(find(start, "push button", "Next"))
        find(start, "label", "Step 2 of 5: Background")
        press(find(start, "push button", "Next"))
        press(find(start, "push button", "To Her"))
        find(start, "label", "Step 4 of 5: Title and message")
        press(find(start, "push button", "Next"))
        find(start, "label", "Step 5 of 5: From and to")
        set_text(find(start, "text", "From"), "Sam")
        set_text(find(start, "text", "To"), "Ana")
        press(find(start, "push button", "Next"))
        wait_until(lambda: not showing(start), "the start window to close")
        window = program.window("Amends")

        # The card at 300 dpi, as a PNG file.
        press(find(window, "push button", "Export"))
        sheet = program.window("Export", role="dialog")
        press(find(sheet, "radio button", "PNG"))
        resolution = wait_until(lambda: [c for c in find_all(sheet, "combo box") if c.name == "72"],
                                "the resolution list")[0]
        for child in resolution:
            if child is not None and child.getRoleName() == "list":
                for item in child:
                    if item is not None and item.name == "300":
                        press(item)
        wait_until(lambda: resolution.name == "300", "the resolution to become 300")
        press(find(sheet, "push button", "Export..."))

        def save_panel():
            for child in program.app:
                if child is not None and child.name == "Export" and find_all(child, "text", "File name:"):
                    return child
            return None
        panel = wait_until(save_panel, "the export's save panel")
        set_text(find(panel, "text", "File name:"), exported)
        press(find(panel, "push button", "Save"))
        press(find(program.window("Export Finished", role="dialog"), "push button", "OK"))

        # The design, saved.
        press(find(window, "push button", "Save As"))
        panel = program.window("Save Design", role="dialog")
        set_text(find(panel, "text", "File name:"), design)
        press(find(panel, "push button", "Save"))
        press(find(program.window("Amends", role="alert"), "push button", "OK"))
        wait_until(lambda: window.name == "Amends ( Tiny.dcard )", "the title to name the design")
        press(find(window, "push button", "Exit"))
        press(find(program.window("Review Amends", role="dialog"), "push button", "Not Now"))
        if program.wait_for_end(20) != 0:
            program.dump_log()
            fail("the program ended with status %d" % program.status)

    # Four texts, each within the card and nearly as wide as it.
    with open(design, "rb") as f:
        items = plistlib.load(f)
    count = int(items[FRONT_COUNT])
    if count != 4:
        fail("the card holds %d front objects, not the title, greeting, message and signature" % count)
    for data in items[FRONT_COUNT + 1:FRONT_COUNT + 1 + count]:
        fields = archived(data)
        x, y, w, h = rect_of(fields["_bounds"])
        what = fields.get("Text_Value", "?")
        if x < 0 or y < 0 or x + w > CARD_POINTS + 0.01 or y + h > CARD_POINTS + 0.01:
            fail("the text %r stands at %r, outside the %.2f-point card" % (what, (x, y, w, h), CARD_POINTS))
        if w < 0.9 * CARD_POINTS:
            fail("the text %r has a box %.1f points wide on a %.1f-point card" % (what, w, CARD_POINTS))

    # The export: 30 mm at 300 dpi. Inside the card's border (3 points, 12.5 pixels), some
    # line of text runs across most of the card (single letters stacked one below the
    # other span one letter's width).
    width, height, rows = read_png(exported)
    if width != 355 or height != 355:
        fail("the export is %d x %d pixels, not 30 mm at 300 dpi" % (width, height))
    border = 16
    widest = 0
    for row in rows[border:height - border]:
        ink = [x for x, (r, g, b) in enumerate(row[border:width - border]) if max(r, g, b) < 110]
        if ink:
            widest = max(widest, ink[-1] - ink[0])
    if widest < width // 2:
        fail("the widest line of text in the export is %d of %d pixels: the words do not run across" %
             (widest, width))

    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
