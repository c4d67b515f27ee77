"""The real program in a real window: Exit in the start window, which comes up before
the main window can be used, ends the program through its normal quit with status 0,
promptly, and writes nothing: the resource folder stays as it was, file for file."""
import os
import shutil
import tempfile

from guidriver import Program, expect_normal_end, fail, find, labels, press, shipped_resources


def tree(folder):
    """Every file below `folder` with its size and modification time."""
    found = {}
    for base, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(base, name)
            info = os.stat(path)
            found[os.path.relpath(path, folder)] = (info.st_size, info.st_mtime_ns)
    return found


folder = tempfile.mkdtemp(prefix="amends-start-exit-")
try:
    # A resource folder that already holds everything shipped, as after an earlier run.
    resources = os.path.join(folder, "Resources")
    shipped_resources(resources)
    before = tree(resources)
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder}

    with Program(env) as program:
        start = program.window("New Apology Card", role="dialog")
        if not any("How would you like to start?" in label for label in labels(start)):
            fail("the start window said %r" % labels(start))
        # A step begun and cancelled first: Cancel returns to the start screen.
        press(find(start, "push button", "Create a New Apology Card"))
        press(find(start, "push button", "Cancel"))
        press(find(start, "push button", "Exit"))
        expect_normal_end(program, 10, "Exit in the start window ended the program with status %d")

    after = tree(resources)
    if before != after:
        changed = sorted(set(before.items()) ^ set(after.items()))
        fail("leaving the start window changed %r" % changed[:5])
    if any(name.endswith(".dcard") for name in os.listdir(folder)):
        fail("a design log was written")
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
