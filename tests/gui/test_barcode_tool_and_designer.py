"""The real program in a real window: the barcode tool places a barcode, the designer
opens on that barcode's settings, and OK without a change leaves the card as it was:
the card exported before and after is the same picture."""
import os
import shutil
import struct
import tempfile
import zlib

from guidriver import Program, fail, find, find_all, press, set_text, wait_until


def png_pixels(path):
    """The size and the unfiltered rows of an 8-bit RGB or RGBA PNG file."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("%s holds no PNG data" % path)
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        fail("%s is not an 8-bit RGB(A) PNG: %r" % (path, header))
    step = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - step] if x >= step else 0
            b = previous[x]
            c = previous[x - step] if x >= step else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def export(program, window, path):
    press(find(window, "push button", "Export"))
    sheet = program.window("Export", role="dialog")
    press(find(sheet, "radio button", "PNG"))
    wait_until(lambda: any(c.name == "PNG" for c in find_all(sheet, "combo box")), "the format to follow the radio")
    press(find(sheet, "push button", "Export..."))

    def save_panel():
        for child in program.app:
            if child is not None and child.name == "Export" and find_all(child, "text", "File name:"):
                return child
        return None
    panel = wait_until(save_panel, "the save panel")
    set_text(find(panel, "text", "File name:"), path)
    press(find(panel, "push button", "Save"))
    press(find(program.window("Export Finished", role="dialog"), "push button", "OK"))
    wait_until(lambda: os.path.exists(path), "%s to be written" % path)


folder = tempfile.mkdtemp(prefix="amends-barcode-")
try:
    resources = os.path.join(folder, "Resources")
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder}
    with Program(env) as program:
        start = program.window("New Apology Card", role="dialog")
        press(find(start, "push button", "Create a New Apology Card"))
        press(find(start, "push button", "Next"))
        find(start, "label", "Step 2 of 5: Background")
        press(find(start, "push button", "Next"))
        press(find(start, "push button", "To Her"))
        find(start, "label", "Step 4 of 5: Title and message")
        press(find(start, "push button", "Next"))
        find(start, "label", "Step 5 of 5: From and to")
        press(find(start, "push button", "Next"))
        window = program.window("Amends")

        press(find(window, None, "Barcode tool"))
        edit = find(window, "push button", "Edit Barcode...")  # the new barcode is selected
        before = os.path.join(folder, "before.png")
        export(program, window, before)

        press(edit)
        designer = program.window("Barcode Designer", role="dialog")
        press(find(designer, "push button", "OK"))
        wait_until(lambda: not find_all(program.app, "dialog", "Barcode Designer"), "the designer to close")
        after = os.path.join(folder, "after.png")
        export(program, window, after)

    # The same picture: the new barcode shows a picture file, which states its size in
    # points only as closely as whole dots per metre do (within a ten-thousandth), so the
    # two pictures may be resampled a few levels apart in a few pixels; a different
    # symbol or size changes whole bars.
    first, second = png_pixels(before), png_pixels(after)
    if first[:2] != second[:2]:
        fail("the card was %dx%d pixels and is %dx%d after OK" % (first[:2] + second[:2]))
    values = [abs(p - q) for a, b in zip(first[2], second[2]) for p, q in zip(a, b)]
    changed = sum(1 for d in values if d)
    if max(values) > 48 or changed > len(values) // 200:
        fail("OK in the designer without a change altered the card: %d values differ, by up to %d"
             % (changed, max(values)))
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
