"""The real program in a real window: what reading workbooks left in the unpack folder
(the user's cache folder, "spreadsheets/ziptmp") is removed when the program starts, and
what a run unpacks there is removed when it ends through Exit."""
import os
import shutil
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
    unpack = os.path.join(private, "ziptmp")
    # Left by an earlier run that was cut short: a picture of a workbook.
    plant(os.path.join(unpack, "xl", "media", "image1.png"), 4 << 20)
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder,
           "XDG_CACHE_HOME": cache}

    with Program(env) as program:
        start = program.window("New Apology Card", role="dialog")
        if os.path.exists(os.path.join(unpack, "xl")):
            fail("the program started with the earlier run's parts still unpacked: %r" % os.listdir(unpack))
        # What this run unpacked, as a workbook being imported would leave it.
        plant(os.path.join(unpack, "xl", "worksheets", "sheet1.xml"), 1 << 20)
        press(find(start, "push button", "Exit"))
        expect_normal_end(program, 10, "Exit ended the program with status %d")

    if os.path.exists(os.path.join(unpack, "xl")):
        fail("the program ended with parts still unpacked: %r" % os.listdir(unpack))
    if not os.path.isdir(private) or os.stat(private).st_mode & 0o777 != 0o700:
        fail("the private folder of the unpack folder was not kept as it was")
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
