"""Drives the real program in a real window, through the accessibility tree, as a person
would: press buttons by their names, fill fields, read alerts.

    with Program(env) as program:        X server, accessibility bus, the program
        window = program.window("Amends")
        press(find(window, "push button", "Save As"))
        ...
    program.status                        the program's exit status

Beside the tree walking it holds the steps many stories share: the start window walked
to a card (new_card), the front exported as PNG (export_card), the design saved
(save_design) and a saved design's front objects (front_objects), Exit through the
review window (exit_program), calls of the document on the session bus (document_call),
PNG files read and made (read_png, png_data), and the X server's own mouse, keyboard
and screen (Hand).

The program comes from $AMENDS_PROGRAM; the X server is a private Xvfb on a free display.
The script must run inside a session bus (run_gui_test.sh starts one).
"""
import ctypes
import ctypes.util
import os
import plistlib
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zlib

import pyatspi
from gi.repository import GLib

# A press that opens a modal window answers only once that window closes: give up
# waiting for the answer after a second; the window is up by then.
pyatspi.setTimeout(1000, 1000)


def fail(message):
    print("FAILED: " + message, flush=True)
    sys.exit(1)


def settled(look):
    """`look`, answering None instead of failing while the tree changes under it (a
    window closing or opening as it is read)."""
    def attempt():
        try:
            return look()
        except (GLib.GError, LookupError, RuntimeError, AttributeError):
            return None
    return attempt


def wait_until(condition, what, timeout=20.0):
    """The first true value of `condition`, asked every tenth of a second; an object that
    goes from the tree while the condition reads it counts as not yet."""
    end = time.time() + timeout
    while time.time() < end:
        try:
            value = condition()
        except GLib.GError:
            value = None
        if value:
            return value
        time.sleep(0.1)
    fail("timed out waiting for " + what)


class Program:
    def __init__(self, env=None, args=()):
        self.env = dict(os.environ)
        self.env.update(env or {})
        self.args = list(args)
        self.status = None
        self.log = tempfile.NamedTemporaryFile(prefix="amends-gui-", suffix=".log", delete=False)

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.xserver = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1600x1000x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                fail("the X server did not start")
            number += chunk
        os.close(read_end)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        self.env["QT_ACCESSIBILITY"] = "1"
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        self.env.pop("QT_QPA_PLATFORM", None)
        self.bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.5)
        self.process = subprocess.Popen([os.environ["AMENDS_PROGRAM"]] + self.args, env=self.env,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        self.app = wait_until(settled(self._find_app), "the program to show itself to the accessibility bus", 60)
        return self

    def _find_app(self):
        if self.process.poll() is not None:
            self.dump_log()
            fail("the program ended early with status %d" % self.process.returncode)
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and "amends" in (app.name or "").lower():
                return app
        return None

    def window(self, name, role="frame", timeout=20.0):
        def look():
            for child in self.app:
                if child is not None and child.getRoleName() == role and child.name == name:
                    return child
            return None
        return wait_until(settled(look), "the %s %r" % (role, name), timeout)

    def wait_for_end(self, timeout=20.0):
        try:
            self.status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            fail("the program did not end within %d seconds" % timeout)
        return self.status

    def dump_log(self):
        self.log.flush()
        with open(self.log.name, errors="replace") as f:
            sys.stdout.write(f.read())

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.bus.terminate()
        self.xserver.terminate()
        self.xserver.wait()
        os.unlink(self.log.name)
        return False


def _showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def find_all(accessible, role=None, name=None):
    found = []

    def walk(node, depth):
        if depth > 30:
            return
        for child in node:
            if child is None:
                continue
            if (role is None or child.getRoleName() == role) and (name is None or child.name == name) \
                    and _showing(child):
                found.append(child)
            walk(child, depth + 1)

    walk(accessible, 0)
    return found


def find(accessible, role=None, name=None, timeout=20.0):
    return wait_until(settled(lambda: (find_all(accessible, role, name) or [None])[0]),
                      "%s %r" % (role or "anything", name), timeout)


def press(accessible):
    action = accessible.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    index = next((i for i, n in enumerate(names) if n in ("press", "click", "toggle")), 0)
    try:
        action.doAction(index)
    except GLib.GError:
        pass  # the press opened a modal window, which is up now


def set_text(accessible, text):
    accessible.queryEditableText().setTextContents(text)


def labels(accessible):
    return [c.name for c in find_all(accessible, "label") if c.name]


def choose_in_list(combo, text):
    """Chooses `text` in a combo box as an assistive tool does: with the action of the
    item in the combo's (closed) list, without opening it."""
    for child in combo:
        if child is not None and child.getRoleName() == "list":
            for item in child:
                if item is not None and item.name == text:
                    press(item)
                    return
    fail("the list of %r holds no %r" % (combo.name, text))


def enabled(accessible):
    return accessible.getState().contains(pyatspi.STATE_ENABLED)


def showing(accessible):
    """Whether `accessible` is on the screen; False once it is gone."""
    try:
        return _showing(accessible)
    except Exception:  # gone
        return False


def alert_saying(program, message):
    """The alert whose text holds `message`, once it is up."""
    def look():
        for child in program.app:
            if child is not None and child.getRoleName() == "alert" and \
                    any(message in text for text in labels(child)):
                return child
        return None
    return wait_until(settled(look), "an alert saying %r" % message)


def menu_item(window, menu, item, timeout=20.0):
    """The item of a menu bar menu, found while the menu is closed (a screen reader
    presses such items without opening the menu)."""
    def look():
        for bar in window:
            if bar is not None and bar.getRoleName() == "menu bar":
                for entry in bar:
                    if entry is not None and entry.name == menu:
                        for popup in entry:
                            for child in popup or []:
                                if child is not None and child.name == item:
                                    return child
        return None
    return wait_until(settled(look), "the menu item %s > %s" % (menu, item), timeout)


def file_panel(program, title, what="the save panel"):
    """The file panel titled `title`, told from another window of that title (the Export
    window) by its "File name:" field."""
    def look():
        for child in program.app:
            if child is not None and child.name == title and find_all(child, "text", "File name:"):
                return child
        return None
    return wait_until(settled(look), what)


def expect_normal_end(program, timeout=20, message="the program ended with status %d"):
    """The program must end within `timeout` seconds with status 0; else its output is
    shown and the story fails with `message`."""
    if program.wait_for_end(timeout) != 0:
        program.dump_log()
        fail(message % program.status)


# ---- Steps many stories take ----------------------------------------------------------------

def finish_start_window(program, start, sender=None, addressee=None):
    """From the start window's first step on: Next past the size, the first background,
    the event "To Her", the first title and message, and the names the step offers or
    `sender` and `addressee`. Answers the main window, once the start window is closed."""
    press(find(start, "push button", "Next"))
    find(start, "label", "Step 2 of 5: Background")
    press(find(start, "push button", "Next"))
    press(find(start, "push button", "To Her"))
    find(start, "label", "Step 4 of 5: Title and message")
    press(find(start, "push button", "Next"))
    find(start, "label", "Step 5 of 5: From and to")
    if sender is not None:
        set_text(find(start, "text", "From"), sender)
    if addressee is not None:
        set_text(find(start, "text", "To"), addressee)
    press(find(start, "push button", "Next"))
    wait_until(lambda: not showing(start), "the start window to close")
    return program.window("Amends")


def new_card(program, width=None, sender=None, addressee=None):
    """A card made by the start window through its five steps with the defaults, or a
    card `width` millimetres wide, or names of the sender and addressee. Answers the
    main window."""
    start = program.window("New Apology Card", role="dialog")
    press(find(start, "push button", "Create a New Apology Card"))
    find(start, "label", "Step 1 of 5: Card size")
    if width is not None:
        set_text(find(start, "text", "Card width"), width)
    return finish_start_window(program, start, sender, addressee)


def export_card(program, window, path, resolution=None):
    """The front exported as PNG through the Export window and its save panel: at 72 dots
    per inch (one pixel a point), or at the `resolution` chosen from the window's list."""
    press(find(window, "push button", "Export"))
    sheet = program.window("Export", role="dialog")
    press(find(sheet, "radio button", "PNG"))
    wait_until(lambda: any(c.name == "PNG" for c in find_all(sheet, "combo box")), "the format to follow the radio")
    if resolution is not None:
        dpi = wait_until(lambda: [c for c in find_all(sheet, "combo box") if c.name == "72"],
                         "the resolution list showing 72")[0]
        choose_in_list(dpi, resolution)
        wait_until(lambda: dpi.name == resolution, "the resolution to become %s" % resolution)
    press(find(sheet, "push button", "Export..."))
    panel = file_panel(program, "Export", "the export's save panel")
    set_text(find(panel, "text", "File name:"), path)
    press(find(panel, "push button", "Save"))
    press(find(program.window("Export Finished", role="dialog"), "push button", "OK"))
    wait_until(lambda: os.path.exists(path), "%s to be written" % path)


def save_design(program, window, path):
    """The design saved as `path` through Save As and its file panel, the confirmation
    closed, and the window's title naming the file."""
    press(find(window, "push button", "Save As"))
    panel = program.window("Save Design", role="dialog")
    set_text(find(panel, "text", "File name:"), path)
    press(find(panel, "push button", "Save"))
    press(find(alert_saying(program, "saved successfully"), "push button", "OK"))
    title = "Amends ( %s )" % os.path.basename(path)
    wait_until(lambda: window.name == title, "the title to name the design")


def exit_program(program, window, answer=None):
    """Exit from the main window: `answer` given to the question whether to save the
    changes (None when nothing changed and no question is due), the review window closed
    with "Not Now"; the program must then end with status 0."""
    press(find(window, "push button", "Exit"))
    if answer is not None:
        press(find(alert_saying(program, "Do you want to save changes before closing?"), "push button", answer))
    press(find(program.window("Review Amends", role="dialog"), "push button", "Not Now"))
    expect_normal_end(program)


def shipped_resources(resources):
    """`resources` filled with everything the program ships, as an earlier run leaves it."""
    shipped = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")
    shutil.copytree(shipped, resources)
    for sub in ("DataSet", "Templates/User"):
        os.makedirs(os.path.join(resources, sub), exist_ok=True)


# ---- Saved designs --------------------------------------------------------------------------

POINTS_PER_MM = 2.834645669291
FRONT_COUNT = 61  # the design's item counting the front side's objects; their archives follow


def front_objects(path):
    """The front side's card objects of the design saved as `path`, each the fields of
    its keyed archive (references resolved one level) with "rect", its bounds as
    (x, y, width, height) in points."""
    with open(path, "rb") as f:
        items = plistlib.load(f)
    objects = []
    for data in items[FRONT_COUNT + 1:FRONT_COUNT + 1 + int(items[FRONT_COUNT])]:
        archive = plistlib.loads(data)
        table = archive["$objects"]
        root = table[archive["$top"]["root"].data]
        fields = {key: table[value.data] if isinstance(value, plistlib.UID) else value for key, value in root.items()}
        fields["rect"] = tuple(float(v) for v in
                               fields["_bounds"].replace("{", " ").replace("}", " ").replace(",", " ").split())
        objects.append(fields)
    return objects


def expect_apart_on_card(objects, width, height):
    """Every object's box lies within a card of `width` by `height` points and apart from
    the others'."""
    boxes = sorted((fields["rect"], fields.get("Text_Value", "?")) for fields in objects)
    for (x, y, w, h), what in boxes:
        if x < 0 or y < 0 or x + w > width + 0.01 or y + h > height + 0.01:
            fail("the text %r stands at %r, outside the %.2f x %.2f-point card" % (what, (x, y, w, h), width, height))
    by_top = sorted(boxes, key=lambda box: box[0][1])
    for (above, what_above), (below, what_below) in zip(by_top, by_top[1:]):
        if above[1] + above[3] > below[1] + 0.01:
            fail("the text %r (%r) overlaps the text %r (%r)" % (what_above, above, what_below, below))


# ---- The X server's mouse, keyboard and screen ------------------------------------------------

class Hand:
    """The mouse and the keys as a person's hand works them, through the X server's test
    extension (the program cannot tell them from real ones), and the screen's pixels.
    Places are desktop pixels, as getExtents(pyatspi.DESKTOP_COORDS) gives them."""

    def __init__(self, program):
        self.xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.xtest = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
        self.xlib.XOpenDisplay.restype, self.xlib.XOpenDisplay.argtypes = ctypes.c_void_p, [ctypes.c_char_p]
        self.xlib.XFlush.argtypes = [ctypes.c_void_p]
        self.xlib.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.xlib.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.xlib.XDefaultRootWindow.restype, self.xlib.XDefaultRootWindow.argtypes = ctypes.c_ulong, [ctypes.c_void_p]
        self.xlib.XGetImage.restype = ctypes.c_void_p
        self.xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                        ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.xlib.XGetPixel.restype, self.xlib.XGetPixel.argtypes = ctypes.c_ulong, [ctypes.c_void_p, ctypes.c_int,
                                                                                    ctypes.c_int]
        self.xlib.XDestroyImage.argtypes = [ctypes.c_void_p]
        self.xtest.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                                    ctypes.c_ulong]
        self.xtest.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = self.xlib.XOpenDisplay(program.env["DISPLAY"].encode())
        if not self.display:
            fail("the X server cannot be reached")

    def click(self, x, y):
        """A click of the left button at (x, y)."""
        self.xtest.XTestFakeMotionEvent(self.display, -1, int(x), int(y), 0)
        self.xlib.XFlush(self.display)
        time.sleep(0.1)
        self.xtest.XTestFakeButtonEvent(self.display, 1, 1, 0)
        self.xtest.XTestFakeButtonEvent(self.display, 1, 0, 0)
        self.xlib.XFlush(self.display)

    def key(self, keysym):
        """A press and release of the key of `keysym` (0xff53 is the right arrow)."""
        code = self.xlib.XKeysymToKeycode(self.display, keysym)
        self.xtest.XTestFakeKeyEvent(self.display, code, 1, 0)
        self.xtest.XTestFakeKeyEvent(self.display, code, 0, 0)
        self.xlib.XFlush(self.display)

    def pixels(self, x, y, width, height):
        """The screen's pixels in the rectangle, as {(x, y): (r, g, b)} at desktop places."""
        root = self.xlib.XDefaultRootWindow(self.display)
        image = self.xlib.XGetImage(self.display, root, int(x), int(y), int(width), int(height), 0xffffffff, 2)
        if not image:
            fail("the screen cannot be read at %r" % ((x, y, width, height),))
        found = {}
        for row in range(int(height)):
            for column in range(int(width)):
                value = self.xlib.XGetPixel(image, column, row)
                found[(int(x) + column, int(y) + row)] = ((value >> 16) & 255, (value >> 8) & 255, value & 255)
        self.xlib.XDestroyImage(image)
        return found


# ---- The document on the session bus ------------------------------------------------------

DOCUMENT = ["--dest", "org.amends.Amends", "--object-path", "/Document"]


def document_call(method, *arguments, check=True):
    """gdbus's answer to one call of the document's scripting interface, or its error
    text when `check` is off."""
    done = subprocess.run(["gdbus", "call", "--session"] + DOCUMENT +
                          ["--method", "org.amends.Amends.Document." + method] + list(arguments),
                          capture_output=True, text=True, timeout=20)
    if check and done.returncode != 0:
        fail("%s%r failed: %s" % (method, arguments, done.stderr.strip()))
    return done.stdout.strip() if done.returncode == 0 else done.stderr.strip()


def document_on_bus():
    """Whether the document answers on the session bus yet."""
    done = subprocess.run(["gdbus", "call", "--session"] + DOCUMENT +
                          ["--method", "org.amends.Amends.Document.Keys"], capture_output=True, timeout=20)
    return done.returncode == 0


# ---- PNG files ------------------------------------------------------------------------------

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_data(width, height, colour_at, dots_per_metre=None):
    """A PNG file of 8-bit RGB pixels, `colour_at(x, y)` each, stating its density when
    `dots_per_metre` is given (2835 is 72 dots per inch)."""
    rows = b"".join(b"\x00" + b"".join(bytes(colour_at(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
    density = b"" if dots_per_metre is None else \
        chunk(b"pHYs", struct.pack(">IIB", dots_per_metre, dots_per_metre, 1))
    return (PNG_SIGNATURE + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + density + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def read_png(path, alpha=False):
    """Width, height and a pixel reader of a PNG file of 8-bit RGB or RGBA pixels, every
    row filter undone: pixel(x, y) is the pixel's (r, g, b), followed by its alpha when
    `alpha` is set and the file has one."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != PNG_SIGNATURE:
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
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type not in (2, 6) or interlace:
        fail("%s is not plain 8-bit RGB(A): %r" % (path, header))
    channels = 3 if colour_type == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = row[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + left) & 255
            elif kind == 2:
                row[i] = (row[i] + up) & 255
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                row[i] = (row[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(row))
        previous = row
    kept = channels if alpha else 3
    return width, height, lambda x, y: tuple(rows[y][x * channels:x * channels + kept])
