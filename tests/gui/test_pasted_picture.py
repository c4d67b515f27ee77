"""The real program in a real window, with a picture copied in another program: a small
X client of this script's own owns the clipboard and offers a PNG, as an image viewer
does. Edit > Paste places it on the card; the picture is kept as a file of its own in the
resource folder, the exported card shows it where the card does, and the design saved
and opened again through the real file panels still shows it."""
import ctypes
import ctypes.util
import glob
import os
import plistlib
import shutil
import subprocess
import sys
import tempfile

BLUE = (0, 90, 200)
ORANGE = (230, 120, 0)


# ---- The other program: owns the X clipboard and offers image/png ----------------------

class XSelectionRequestEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("owner", ctypes.c_ulong), ("requestor", ctypes.c_ulong),
                ("selection", ctypes.c_ulong), ("target", ctypes.c_ulong), ("property", ctypes.c_ulong),
                ("time", ctypes.c_ulong)]


class XSelectionEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", ctypes.c_ulong), ("selection", ctypes.c_ulong),
                ("target", ctypes.c_ulong), ("property", ctypes.c_ulong), ("time", ctypes.c_ulong)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("request", XSelectionRequestEvent), ("selection", XSelectionEvent),
                ("pad", ctypes.c_long * 24)]


SELECTION_CLEAR, SELECTION_REQUEST, SELECTION_NOTIFY, XA_ATOM = 29, 30, 31, 4


def own_clipboard(data, ready_path):
    """Owns the CLIPBOARD selection of $DISPLAY and answers requests for its targets and
    for image/png until another client takes it over."""
    x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    ulong, ptr = ctypes.c_ulong, ctypes.c_void_p
    x.XOpenDisplay.restype, x.XOpenDisplay.argtypes = ptr, [ctypes.c_char_p]
    x.XDefaultRootWindow.restype, x.XDefaultRootWindow.argtypes = ulong, [ptr]
    x.XCreateSimpleWindow.restype = ulong
    x.XCreateSimpleWindow.argtypes = [ptr, ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                                      ctypes.c_uint, ulong, ulong]
    x.XInternAtom.restype, x.XInternAtom.argtypes = ulong, [ptr, ctypes.c_char_p, ctypes.c_int]
    x.XSetSelectionOwner.argtypes = [ptr, ulong, ulong, ulong]
    x.XGetSelectionOwner.restype, x.XGetSelectionOwner.argtypes = ulong, [ptr, ulong]
    x.XNextEvent.argtypes = [ptr, ctypes.POINTER(XEvent)]
    x.XChangeProperty.argtypes = [ptr, ulong, ulong, ulong, ctypes.c_int, ctypes.c_int, ptr, ctypes.c_int]
    x.XSendEvent.argtypes = [ptr, ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(XEvent)]
    x.XFlush.argtypes = [ptr]

    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("no X display")
    window = x.XCreateSimpleWindow(display, x.XDefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0)
    clipboard, targets, png_type = (x.XInternAtom(display, name, 0) for name in (b"CLIPBOARD", b"TARGETS", b"image/png"))
    x.XSetSelectionOwner(display, clipboard, window, 0)
    if x.XGetSelectionOwner(display, clipboard) != window:
        sys.exit("could not own the clipboard")
    x.XFlush(display)
    open(ready_path, "w").close()
    event = XEvent()
    while True:
        x.XNextEvent(display, ctypes.byref(event))
        if event.type == SELECTION_CLEAR:
            return
        if event.type != SELECTION_REQUEST:
            continue
        request = event.request
        prop = request.property or request.target
        if request.target == targets:
            offered = (ulong * 2)(targets, png_type)
            x.XChangeProperty(display, request.requestor, prop, XA_ATOM, 32, 0, offered, 2)
        elif request.target == png_type:
            x.XChangeProperty(display, request.requestor, prop, png_type, 8, 0, data, len(data))
        else:
            prop = 0  # refused
        reply = XEvent()
        reply.selection.type = SELECTION_NOTIFY
        reply.selection.display = display
        reply.selection.requestor = request.requestor
        reply.selection.selection = request.selection
        reply.selection.target = request.target
        reply.selection.property = prop
        reply.selection.time = request.time
        x.XSendEvent(display, request.requestor, 0, 0, ctypes.byref(reply))
        x.XFlush(display)


if len(sys.argv) == 4 and sys.argv[1] == "--own-clipboard":
    with open(sys.argv[2], "rb") as f:
        own_clipboard(f.read(), sys.argv[3])
    sys.exit(0)


# ---- The story ----------------------------------------------------------------------------

from guidriver import (Program, export_card, fail, find, menu_item, new_card, png_data, press,  # noqa: E402
                       read_png, save_design, set_text, wait_until)


def expect_picture(path, what):
    """The pasted picture, 80 x 40 points, moved onto the card from (10, -10): its left
    half blue and its right half orange at (10, 0) to (90, 40)."""
    width, height, pixel = read_png(path)
    for (x, y), colour in ((15, 5), BLUE), ((45, 35), BLUE), ((55, 5), ORANGE), ((85, 35), ORANGE):
        if max(abs(a - b) for a, b in zip(pixel(x, y), colour)) > 2:
            fail("%s: the pixel at (%d, %d) is %r, not the pasted picture's %r" % (what, x, y, pixel(x, y), colour))
    if width < 100 or height < 45:
        fail("%s: the card is only %d x %d pixels" % (what, width, height))


folder = tempfile.mkdtemp(prefix="amends-paste-")
owner = None
try:
    resources = os.path.join(folder, "Resources")
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder}
    picture = os.path.join(folder, "copied.png")
    with open(picture, "wb") as f:
        f.write(png_data(80, 40, lambda x, y: BLUE if x < 40 else ORANGE, dots_per_metre=2835))

    with Program(env) as program:
        window = new_card(program)

        # Another program copies a picture.
        ready = os.path.join(folder, "owned")
        owner = subprocess.Popen([sys.executable, os.path.abspath(__file__), "--own-clipboard", picture, ready],
                                 env=program.env)
        wait_until(lambda: os.path.exists(ready) or owner.poll() is not None, "the other program to copy")
        if owner.poll() is not None:
            fail("the other program could not take the clipboard (status %r)" % owner.returncode)

        press(menu_item(window, "Edit", "Paste"))
        pasted = os.path.join(resources, "PastedImage")
        kept = wait_until(lambda: glob.glob(os.path.join(pasted, "*.png")), "the pasted picture's file")
        if len(kept) != 1:
            fail("one paste kept %r" % kept)
        with open(kept[0], "rb") as f:
            if f.read(8) != b"\x89PNG\r\n\x1a\n":
                fail("the kept picture is no PNG file")

        exported = os.path.join(folder, "card.png")
        export_card(program, window, exported)
        expect_picture(exported, "the exported card")

        # Saved, then opened again after a new design: the picture is there.
        design = os.path.join(folder, "Pasted.dcard")
        save_design(program, window, design)
        with open(design, "rb") as f:
            items = plistlib.load(f)
        archived = [plistlib.loads(item)["$objects"] for item in items[62:62 + int(items[61])]]
        if not any(kept[0] in objects for objects in archived):
            fail("the saved design does not name the picture's file %s" % kept[0])

        press(menu_item(window, "File", "Open..."))
        panel = program.window("Open Design", role="dialog")
        set_text(find(panel, "text", "File name:"), design)
        press(find(panel, "push button", "Open"))
        wait_until(lambda: window.name == "Amends ( Pasted.dcard )", "the design to be open again")
        again = os.path.join(folder, "again.png")
        export_card(program, window, again)
        expect_picture(again, "the card opened again")
        owner.kill()
        owner.wait()
    print("1 passed, 0 failed")
finally:
    if owner is not None and owner.poll() is None:
        owner.kill()
        owner.wait()
    shutil.rmtree(folder, ignore_errors=True)
