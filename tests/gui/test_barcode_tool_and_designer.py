"""The real program in a real window: the barcode tool places a barcode, the designer
opens on that barcode's settings, and OK without a change leaves the card as it was:
the card exported before and after is the same picture."""
import os
import shutil
import tempfile

from guidriver import Program, export_card, fail, find, find_all, new_card, press, read_png, wait_until


folder = tempfile.mkdtemp(prefix="amends-barcode-")
try:
    resources = os.path.join(folder, "Resources")
    env = {"AMENDS_RESOURCE_DIR": resources, "HOME": folder, "XDG_RUNTIME_DIR": folder}
    with Program(env) as program:
        window = new_card(program)

        press(find(window, None, "Barcode tool"))
        edit = find(window, "push button", "Edit Barcode...")  # the new barcode is selected
        before = os.path.join(folder, "before.png")
        export_card(program, window, before)

        press(edit)
        designer = program.window("Barcode Designer", role="dialog")
        press(find(designer, "push button", "OK"))
        wait_until(lambda: not find_all(program.app, "dialog", "Barcode Designer"), "the designer to close")
        after = os.path.join(folder, "after.png")
        export_card(program, window, after)

    # The same picture: the new barcode shows a picture file, which states its size in
    # points only as closely as whole dots per metre do (within a ten-thousandth), so the
    # two pictures may be resampled a few levels apart in a few pixels; a different
    # symbol or size changes whole bars.
    first, second = read_png(before, alpha=True), read_png(after, alpha=True)
    if first[:2] != second[:2]:
        fail("the card was %dx%d pixels and is %dx%d after OK" % (first[:2] + second[:2]))
    width, height = first[:2]
    values = [abs(p - q) for y in range(height) for x in range(width)
              for p, q in zip(first[2](x, y), second[2](x, y))]
    changed = sum(1 for d in values if d)
    if max(values) > 48 or changed > len(values) // 200:
        fail("OK in the designer without a change altered the card: %d values differ, by up to %d"
             % (changed, max(values)))
    print("1 passed, 0 failed")
finally:
    shutil.rmtree(folder, ignore_errors=True)
