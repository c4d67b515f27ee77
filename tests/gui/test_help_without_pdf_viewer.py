"""The real program in a real window on a desktop where no application opens PDF files
(no launcher on the program's path): Help in the start window says that no application
could open the help file, and names the file, instead of doing nothing visible. Then the
desktop gains an opener, xdg-open, that finds no application for anything (its status 3):
Help says so again, and Contact Us names the support mail link no application took."""
import os
import shutil
import tempfile

from guidriver import Program, alert_saying, expect_normal_end, fail, find, labels, press, wait_until


def said_and_closed(program, message, named):
    """The alert saying `message` names `named`; OK closes it."""
    alert = alert_saying(program, message)
    said = " ".join(labels(alert))
    if named not in said:
        fail("the alert does not name %s: %r" % (named, said))
    press(find(alert, "push button", "OK"))
    wait_until(lambda: not any(c is not None and c.getRoleName() == "alert" for c in program.app),
               "the alert to close")


folder = tempfile.mkdtemp(prefix="amends-help-")
try:
    resources = os.path.join(folder, "Resources")
    nothing = os.path.join(folder, "bin")  # a path without any program that opens files
    os.makedirs(nothing)
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder, "PATH": nothing}
    with Program(env) as program:
        start = program.window("New Apology Card", role="dialog")
        press(find(start, "push button", "Help"))
        help_file = os.path.join(resources, "Help.pdf")
        said_and_closed(program, "No application could open the help file", help_file)

        # An opener that takes the file or link, looks for an application and finds none.
        opener = os.path.join(nothing, "xdg-open")
        with open(opener, "w") as script:
            script.write("#!/bin/sh\nexit 3\n")
        os.chmod(opener, 0o755)
        press(find(start, "push button", "Help"))
        said_and_closed(program, "No application could open the help file", help_file)
        press(find(start, "push button", "Contact Us"))
        said_and_closed(program, "No application could open the support mail link", "mailto:")
        # The start window goes on as before.
        press(find(start, "push button", "Exit"))
        expect_normal_end(program, 10, "Exit in the start window ended the program with status %d")
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
