"""The real program in a real window: what reading workbooks left in the unpack folders
(the user's cache folder, "spreadsheets/<process number>/ziptmp") by runs that have ended
is removed when the program starts, what this run unpacks is removed when it ends through
Exit, and the folder of another program still running stays throughout."""
import os
import shutil
import subprocess
import tempfile

from guidriver import Program, expect_normal_end, fail, find, press, shipped_resources


def plant(path, size):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(b"\0" * size)


folder = tempfile.mkdtemp(prefix="amends-unpack-")
try:
    # A resource folder that already holds everything shipped, so the start window comes.
    resources = os.path.join(folder, "Resources")
    shipped_resources(resources)
    cache = os.path.join(folder, "cache")
    private = os.path.join(cache, "Amends", "spreadsheets")
    os.makedirs(private)
    os.chmod(private, 0o700)
    # Left by an earlier run that was cut short (its process has ended): a picture of a
    # workbook; and the folder earlier versions shared between runs.
    ended = subprocess.Popen(["true"])
    ended.wait()
    left = os.path.join(private, str(ended.pid))
    plant(os.path.join(left, "ziptmp", "xl", "media", "image1.png"), 4 << 20)
    shared = os.path.join(private, "ziptmp")
    plant(os.path.join(shared, "xl", "sharedStrings.xml"), 1 << 10)
    # What another program still running (this script stands for it) is reading.
    other = os.path.join(private, str(os.getpid()), "ziptmp", "xl", "worksheets", "sheet1.xml")
    plant(other, 1 << 10)
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder,
           "XDG_CACHE_HOME": cache}

    with Program(env) as program:
        start = program.window("New Apology Card", role="dialog")
        for path, what in ((left, "an ended run's"), (shared, "the earlier versions' shared")):
            if os.path.exists(path):
                fail("the program started with %s unpacked parts still there: %r" % (what, os.listdir(path)))
        if not os.path.exists(other):
            fail("the program's start removed what another running program is reading")
        # What this run unpacked, as a workbook being imported would leave it.
        unpack = os.path.join(private, str(program.process.pid), "ziptmp")
        plant(os.path.join(unpack, "xl", "worksheets", "sheet1.xml"), 1 << 20)
        press(find(start, "push button", "Exit"))
        expect_normal_end(program, 10, "Exit ended the program with status %d")

    if os.path.exists(os.path.dirname(unpack)):
        fail("the program ended with its parts still unpacked: %r" % os.listdir(os.path.dirname(unpack)))
    if not os.path.exists(other):
        fail("the program's end removed what another running program is reading")
    if not os.path.isdir(private) or os.stat(private).st_mode & 0o777 != 0o700:
        fail("the private folder of the unpack folders was not kept as it was")
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
