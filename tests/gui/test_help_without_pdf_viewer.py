"""The real program in a real window on a desktop where no application opens PDF files
(no launcher on the program's path): Help in the start window says that no application
could open the help file, and names the file, instead of doing nothing visible."""
import os
import shutil
import tempfile

from guidriver import Program, alert_saying, expect_normal_end, fail, find, labels, press, wait_until


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
        expect_normal_end(program, 10, "Exit in the start window ended the program with status %d")
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
