"""Drives the real program in a real window, through the accessibility tree, as a person
would: press buttons by their names, fill fields, read alerts.

    with Program(env) as program:        X server, accessibility bus, the program
        window = program.window("Amends")
        press(find(window, "push button", "Save As"))
        ...
    program.status                        the program's exit status

The program comes from $AMENDS_PROGRAM; the X server is a private Xvfb on a free display.
The script must run inside a session bus (run_gui_test.sh starts one).
"""
import os
import subprocess
import sys
import tempfile
import time

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
    end = time.time() + timeout
    while time.time() < end:
        value = condition()
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
