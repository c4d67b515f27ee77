"""The real program on the session bus: once the start window has made a card, a script
(gdbus) adds objects to the front side, names them by ranges, neighbours and lasting
specifiers, and the main window's Undo and Redo buttons follow the script's changes as
they follow the user's: Undo comes on, and pressing it takes the script's object away."""
import os
import shutil
import subprocess
import tempfile

import pyatspi

from guidriver import Program, fail, find, press, set_text, wait_until

DOCUMENT = ["--dest", "org.amends.Amends", "--object-path", "/Document"]


def call(method, *arguments, check=True):
    """gdbus's answer to one call of the document, or its error text when `check` is off."""
    done = subprocess.run(["gdbus", "call", "--session"] + DOCUMENT +
                          ["--method", "org.amends.Amends.Document." + method] + list(arguments),
                          capture_output=True, text=True, timeout=20)
    if check and done.returncode != 0:
        fail("%s%r failed: %s" % (method, arguments, done.stderr.strip()))
    return done.stdout.strip() if done.returncode == 0 else done.stderr.strip()


def enabled(button):
    return button.getState().contains(pyatspi.STATE_SENSITIVE)


def on_the_bus():
    done = subprocess.run(["gdbus", "call", "--session"] + DOCUMENT +
                          ["--method", "org.amends.Amends.Document.Keys"], capture_output=True, timeout=20)
    return done.returncode == 0


folder = tempfile.mkdtemp(prefix="amends-bus-")
try:
    env = {"AMENDS_RESOURCE_DIR": os.path.join(folder, "Resources"), "HOME": folder, "XDG_RUNTIME_DIR": folder}

    with Program(env) as program:
        # A card from the start window: its title, addressee, message and sender.
        start = program.window("New Apology Card", role="dialog")
        press(find(start, "push button", "Create a New Apology Card"))
        find(start, "label", "Step 1 of 5: Card size")
        press(find(start, "push button", "Next"))
        find(start, "label", "Step 2 of 5: Background")
        press(find(start, "push button", "Next"))
        press(find(start, "push button", "To Her"))
        find(start, "label", "Step 4 of 5: Title and message")
        press(find(start, "push button", "Next"))
        set_text(find(start, "text", "From"), "Sam")
        set_text(find(start, "text", "To"), "Ana")
        press(find(start, "push button", "Next"))

        window = program.window("Amends")
        undo = find(window, "push button", "Undo")
        redo = find(window, "push button", "Redo")
        wait_until(on_the_bus, "the document on the session bus")
        if call("Count", "graphics") != "(4,)":
            fail("the card holds %s front objects, not the wizard's four" % call("Count", "graphics"))
        if enabled(undo) or enabled(redo):
            fail("Undo or Redo is on before anything was edited")

        # An object without bounds: its tool's size at the next point of the cascade.
        if call("Insert", "textAreas", "4", "{'text': <'Sorry again'>}") != "(4,)":
            fail("the new text is not appended after the four texts")
        wait_until(lambda: enabled(undo), "the Undo button to follow the script's insertion")
        if enabled(redo):
            fail("Redo is on after a new change")
        texts = call("Elements", "textAreas")
        if "'text': <'Sorry again'>" not in texts or "50.0, 50.0]>" not in texts:
            fail("the script's text is not a 50 by 50 point object: %s" % texts)

        # Naming: the range of every text, the text after the first one, a lasting name.
        first_to_last = call("IndicesOfRange", "textAreas", "{'key': <'textAreas'>, 'index': <0>}",
                             "{'key': <'textAreas'>, 'index': <-1>}")
        if first_to_last != "([0, 1, 2, 3, 4],)":
            fail("the range of the texts answered %s" % first_to_last)
        after = call("IndicesOfRelative", "graphics", "after", "{'key': <'textAreas'>, 'index': <0>}")
        if after != "([1],)":
            fail("the object after the first text is %s" % after)
        if call("ObjectSpecifier", "textAreas", "4") != "('graphics', 4)":
            fail("the script's text is named %s" % call("ObjectSpecifier", "textAreas", "4"))
        error = call("IndicesOfRange", "graphics", "{'key': <'lines'>, 'index': <0>}", "{}", check=False)
        if "org.amends.Amends.Error.Specifier" not in error:
            fail("a range from a line that is not there answered %r" % error)

        # Undo from the toolbar takes the script's text away; Redo comes on.
        press(undo)
        wait_until(lambda: call("Count", "graphics") == "(4,)", "Undo to take the script's text away")
        wait_until(lambda: enabled(redo) and not enabled(undo), "Redo on and Undo off after the undo")
        press(redo)
        wait_until(lambda: call("Count", "graphics") == "(5,)", "Redo to bring the text back")
        wait_until(lambda: enabled(undo) and not enabled(redo), "Undo on and Redo off after the redo")

        press(find(window, "push button", "Exit"))
        press(find(program.window("Amends", role="alert"), "push button", "No"))
        press(find(program.window("Review Amends", role="dialog"), "push button", "Not Now"))
        if program.wait_for_end(20) != 0:
            program.dump_log()
            fail("the program ended with status %d" % program.status)

    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
