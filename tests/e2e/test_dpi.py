#!/usr/bin/env python3
"""QXEdit at 192 DPI: the toolbar shows the images drawn for it at 32 x 30,
pixel for pixel (not the 16 x 15 ones stretched or blurred), and the
control's cells are twice as large as at 96 DPI.

The prefix's LogPixels is set to 192 before QXEdit starts and put back
after it (tests/dpi_tests.sh; ctest's cleanup test puts it back should
this run be killed)."""

import os
import sys

from commands import eventually
from harness import REPO, QXEdit, check, main, run
from test_mouse import FILL, YELLOW, Pic, find_run

sys.path.insert(0, os.path.join(REPO, "res"))
import make_images  # noqa: E402  (the toolbar's design and its scaling)

GREEN = (0, 255, 0)


def prefix_dpi(*args):
    run([os.path.join(REPO, "tests", "dpi_tests.sh"), os.environ["QX_WINE_RUN"],
         os.environ["QX_WINEPREFIX"]] + list(args), timeout=120)


def count(data, colour):
    """How many pixels of raw RGB bytes have colour."""
    c = bytes(colour)
    return sum(1 for i in range(0, len(data), 3) if data[i:i + 3] == c)


def expected(art, ch):
    return sum(row.count(ch) for row in art)


def look(app):
    """The toolbar's green and yellow pixels, and the control's cell, from
    a screenshot."""
    pic = Pic(app.screenshot("192dpi"))
    # The control's client area begins with the first long run of its fill
    # colour (the header line's ground); the toolbar lies above it.
    i = pic.data.find(bytes(FILL) * 200)
    while i >= 0 and i % 3:
        i = pic.data.find(bytes(FILL) * 200, i + 1)
    check(i >= 0, "no control on the screen")
    left, top = (i // 3) % pic.w, (i // 3) // pic.w
    strip = pic.block(0, pic.w, 0, top)
    # Data row 0 lies on line 2, its hex cells from column 10; the caret
    # inverts row 0's first digit, so row 1 gives the cells' left edge.
    hex0 = find_run(pic, top)
    check(hex0 is not None, "no hex cells below the control's top")
    cy = (hex0[1] - top) / 2.0
    hex1 = find_run(pic, hex0[1] + int(cy))
    check(hex1 is not None, "no second row of hex cells")
    cx = (min(hex0[0], hex1[0]) - left) / 10.0
    return count(strip, GREEN), count(strip, YELLOW), cx, cy


def test_toolbar_images_and_cells_at_192_dpi():
    open_art = make_images.scale_image(make_images.OPEN, 32, 30)
    yellow_arts = [make_images.scale_image(a, 32, 30) for a in (make_images.EFFS, make_images.ABOUT)]
    want_green = expected(open_art, "g")
    want_yellow = sum(expected(a, "y") for a in yellow_arts)
    prefix_dpi("--set", "192")
    try:
        with QXEdit() as app:
            app.wait_window("QXEdit")
            # No tooltip over the toolbar, no hover frame on a button.
            run(["xdotool", "mousemove", "1400", "1000"])

            def pictured():
                green, yellow, cx, cy = look(app)
                check(green == want_green, "%d green toolbar pixels, not %d" % (green, want_green))
                check(yellow == want_yellow, "%d yellow toolbar pixels, not %d" % (yellow, want_yellow))
                # 8 x 16 at 96 DPI; the font at 32 pixels is about twice that.
                check(15 <= cx <= 20 and 30 <= cy <= 33, "cell %.1f x %.1f at 192 DPI" % (cx, cy))
                return cx, cy

            cx, cy = eventually(pictured, timeout=30)
            print("cell %.1f x %.1f, toolbar %d green and %d yellow pixels" % (cx, cy, want_green, want_yellow))
            check(app.close() == 0, "QXEdit did not exit cleanly")
    finally:
        prefix_dpi("--restore")


if __name__ == "__main__":
    main(globals())
