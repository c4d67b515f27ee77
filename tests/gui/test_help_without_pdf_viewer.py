"""The real program in a real window on a desktop where no application opens PDF files
(no launcher on the program's path): Help in the start window says that no application
could open the help file, and names the file, instead of doing nothing visible."""
import os
import shutil
import tempfile

from guidriver import Program, fail, find, labels, press, wait_until


def alert_saying(program, message):
    def look():
        for child in program.app:
            if child is not None and child.getRoleName() == "alert" and \
                    any(message in text for text in labels(child)):
                return child
        return None
    return wait_until(look, "an alert saying %r" % message)


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
        alert = alert_saying(program, "No application could open the help file")
        said = " ".join(labels(alert))
        if help_file not in said:
            fail("the alert does not name %s: %r" % (help_file, said))
        press(find(alert, "push button", "OK"))
        wait_until(lambda: not any(c is not None and c.getRoleName() == "alert" for c in program.app),
                   "the alert to close")
        # The start window goes on as before.
        press(find(start, "push button", "Exit"))
        status = program.wait_for_end(10)
        if status != 0:
            program.dump_log()
            fail("Exit in the start window ended the program with status %d" % status)
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
