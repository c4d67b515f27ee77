"""The real program on the session bus: once the start window has made a card, a script
(gdbus) adds objects to the front side, names them by ranges, neighbours and lasting
specifiers, and the main window's Undo and Redo buttons follow the script's changes as
they follow the user's: Undo comes on, and pressing it takes the script's object away."""
import os
import shutil
import tempfile

import pyatspi

from guidriver import (Program, document_call as call, document_on_bus, exit_program, fail, find, new_card, press,
                       wait_until)


def enabled(button):
    return button.getState().contains(pyatspi.STATE_SENSITIVE)


folder = tempfile.mkdtemp(prefix="amends-bus-")
try:
    env = {"AMENDS_RESOURCE_DIR": os.path.join(folder, "Resources"), "HOME": folder, "XDG_RUNTIME_DIR": folder}

    with Program(env) as program:
        # A card from the start window: its title, addressee, message and sender.
        window = new_card(program, sender="Sam", addressee="Ana")
        undo = find(window, "push button", "Undo")
        redo = find(window, "push button", "Redo")
        wait_until(document_on_bus, "the document on the session bus")
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

        exit_program(program, window, answer="No")

    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
