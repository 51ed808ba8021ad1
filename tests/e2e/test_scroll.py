"""QXEdit shows its 4096 sample bytes from the top, and a real drag of the
vertical thumb with the mouse scrolls the control to the last row."""

import subprocess
import time

from commands import eventually
from harness import QXEdit, check, main

YELLOW = (255, 255, 0)
FILL = (192, 192, 255)
BLACK = (0, 0, 0)


def load(png):
    """(width, height, rows of (r, g, b) tuples) of a PNG."""
    data = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], stdout=subprocess.PIPE,
                          check=True).stdout
    parts = data.split(b"\n", 3)
    w, h = (int(v) for v in parts[1].split())
    px = parts[3]
    rows = [[tuple(px[(y * w + x) * 3:(y * w + x) * 3 + 3]) for x in range(w)] for y in range(h)]
    return w, h, rows


def find_run(rows, y0):
    """The first long run of yellow at or below line y0 (the toolbar's yellow
    glyphs are short)."""
    for y in range(y0, len(rows)):
        run = 0
        for x, c in enumerate(rows[y]):
            run = run + 1 if c == YELLOW else 0
            if run == 100:
                return x - 99, y
    return None


def find_grid(rows):
    """Top-left pixel of the first hex cell. The caret, when shown, inverts
    the first cell of the first row: the second row gives the left edge."""
    first = find_run(rows, 0)
    if first is None:
        return None
    second = find_run(rows, first[1] + 16)
    return (min(first[0], second[0]) if second else first[0]), first[1]


def band(rows, x0, x1, y0, y1):
    return [tuple(r[x0:x1]) for r in rows[y0:y1]]


def test_sample_bytes_then_thumb_drag_to_the_last_row():
    with QXEdit() as app:
        frame = app.wait_window("QXEdit")
        grid = None
        deadline = time.time() + 30
        while grid is None and time.time() < deadline:
            time.sleep(1)
            w, h, top = load(app.screenshot("top"))
            grid = find_grid(top)
        check(grid is not None, "no hex cells on the screen")
        hx, hy = grid          # first hex cell of row 0; cells are 8x16
        cx, cy = 8, 16
        hex_x0, hex_x1 = hx, hx + 48 * cx
        chr_x0 = hx + 52 * cx
        # The header line (two lines up) has black text; row 0 and row 16
        # both hold 00 .. 0F, row 1 holds 10 .. 1F.
        header = band(top, hx - 9 * cx, hx + 40 * cx, hy - 2 * cy, hy - cy)
        check(any(BLACK in r for r in header), "no header text above the rows")
        row = lambda pic, r: band(pic, hex_x0, hex_x1, hy + r * cy, hy + (r + 1) * cy)
        chars = lambda pic, r: band(pic, chr_x0, chr_x0 + 16 * cx, hy + r * cy, hy + (r + 1) * cy)
        # (Row 0 may hold the caret: row 1 stands in for it.)
        check(row(top, 1) == row(top, 17), "row 1 does not show the bytes of row 17 (10 .. 1F)")
        check(row(top, 1) != row(top, 2), "rows 1 and 2 look alike")
        check(row(top, 2) == row(top, 18) and chars(top, 2) == chars(top, 18), "rows 2 and 18 differ")

        # The vertical bar: right of the last fill pixel on row 0's line.
        line = top[hy + 4]
        fill_end = max(x for x, c in enumerate(line) if c == FILL)
        bar_x = fill_end + 9
        ctl_top = hy - 2 * cy
        subprocess.run(["xdotool", "mousemove", str(bar_x), str(ctl_top + 17 + 12), "sleep", "0.3",
                        "mousedown", "1", "sleep", "0.2",
                        "mousemove", str(bar_x), str(ctl_top + 300), "sleep", "0.2",
                        "mousemove", str(bar_x), str(h - 60), "sleep", "0.2",
                        "mousemove", str(bar_x), str(h - 5), "sleep", "0.3",
                        "mouseup", "1"], check=True)

        # Scrolled: the header line is gone (fill only), and the lowest
        # data row shows F0 .. FF, as row 15 did at the top (once painted).
        def scrolled_to_the_end():
            _, _, end = load(app.screenshot("end"))
            header = band(end, hx - 9 * cx, hx + 40 * cx, hy - 2 * cy, hy - cy)
            check(all(c == FILL for r in header for c in r), "the header line still shows")
            last = max(y for y in range(h) if end[y][hx + 2] == YELLOW)
            last_row = (last - hy) // cy
            check(last_row > 40, "the view did not scroll down (lowest row %d)" % last_row)
            check(row(end, last_row) == row(top, 15), "the lowest row does not show F0 .. FF")
            check(chars(end, last_row) == chars(top, 15), "the lowest row's characters differ from row 15's")
            check(row(end, last_row - 1) == row(top, 14), "the row above it does not show E0 .. EF")
        eventually(scrolled_to_the_end)

if __name__ == "__main__":
    main(globals())
