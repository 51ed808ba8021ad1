"""The mouse in QXEdit, through real X input: a click places the caret where
typed digits land, a drag selects bytes that Delete clears, a double-click
selects one byte, the wheel scrolls by lines, and a drag held below the
control scrolls it on its own until the release.

Bytes are read off the screen: byte i of the sample holds i modulo 256, so a
cell can be compared with the cell that shows the value expected there."""

import subprocess
import time

from harness import QXEdit, check, main

YELLOW = (255, 255, 0)
FILL = (192, 192, 255)
CX, CY = 8, 16


class Pic:
    """A screenshot as raw RGB bytes (a whole screen is large: no object per
    pixel)."""

    def __init__(self, png):
        data = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], stdout=subprocess.PIPE,
                              check=True).stdout
        parts = data.split(b"\n", 3)
        self.w, self.h = (int(v) for v in parts[1].split())
        self.data = parts[3]

    def px(self, x, y):
        i = (y * self.w + x) * 3
        return tuple(self.data[i:i + 3])

    def block(self, x0, x1, y0, y1):
        """The pixels of a rectangle, row after row, as bytes."""
        return b"".join(self.data[(y * self.w + x0) * 3:(y * self.w + x1) * 3] for y in range(y0, y1))


def find_run(pic, y0):
    """The first long run of yellow at or below line y0 (the toolbar's yellow
    glyphs are short)."""
    run = bytes(YELLOW) * 100
    i = pic.data.find(run, y0 * pic.w * 3)
    while i >= 0 and i % 3 != 0:
        i = pic.data.find(run, i + 1)
    if i < 0:
        return None
    return (i // 3) % pic.w, (i // 3) // pic.w


def find_grid(pic):
    """Top-left pixel of the first hex cell. The caret, when shown, inverts
    the first cell of the first row: the second row gives the left edge."""
    first = find_run(pic, 0)
    if first is None:
        return None
    second = find_run(pic, first[1] + CY)
    return (min(first[0], second[0]) if second else first[0]), first[1]


class Screen:
    """QXEdit's control on the screen: where its cells are and what they
    show. Screen lines count from the first data line drawn (line 0)."""

    def __init__(self, app):
        self.app = app
        # Until the window has settled: the same grid in two shots running.
        grid = last = None
        deadline = time.time() + 40
        while time.time() < deadline:
            time.sleep(1)
            self.top = Pic(app.screenshot("start"))
            last, grid = grid, find_grid(self.top)
            if grid is not None and grid == last:
                break
        check(grid is not None and grid == last, "no settled hex cells on the screen")
        self.hx, self.hy = grid

    def shot(self, name):
        return Pic(self.app.screenshot(name))

    def hex_xy(self, line, byte, digit=0):
        """Middle of a hex digit cell."""
        return self.hx + (3 * byte + digit) * CX + CX // 2, self.hy + line * CY + CY // 2

    def chr_xy(self, line, byte):
        return self.hx + (52 + byte) * CX + CX // 2, self.hy + line * CY + CY // 2

    def digits(self, pic, line, byte):
        """The two digits of a hex cell."""
        x0, y0 = self.hx + 3 * byte * CX, self.hy + line * CY
        return pic.block(x0, x0 + 2 * CX, y0, y0 + CY)

    def blank(self, pic, line, byte):
        """The colour of the blank after a hex cell (its middle pixel)."""
        return pic.px(self.hx + (3 * byte + 2) * CX + CX // 2, self.hy + line * CY + CY // 2)

    def line_pixels(self, pic, line):
        """The hex cells of one screen line."""
        y0 = self.hy + line * CY
        return pic.block(self.hx, self.hx + 48 * CX, y0, y0 + CY)

    def address_and_line(self, pic, line):
        """The address and the hex cells of one screen line (rows 16 apart
        differ only in their address)."""
        y0 = self.hy + line * CY
        return pic.block(self.hx - 9 * CX, self.hx + 48 * CX, y0, y0 + CY)


def xdo(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True)


# Each QXEdit start under Wine costs many seconds: the clicks, drags and the
# wheel share one run, each step on bytes the others leave alone.
def test_clicks_drags_double_click_and_wheel():
    with QXEdit() as app:
        app.wait_window("QXEdit")
        s = Screen(app)
        click_a_cell_and_type(app, s)
        drag_a_selection_and_delete(app, s)
        double_click_selects_one_byte(app, s)
        wheel_scrolls_by_lines(app, s)


def click_a_cell_and_type(app, s):
    top = s.top
    # Byte 0x23 (line 2, byte 3) typed over with A5 shows what byte 0xA5
    # (line 10, byte 5) shows.
    check(s.digits(top, 2, 3) != s.digits(top, 10, 5), "cells 23 and A5 look alike")
    x, y = s.hex_xy(2, 3)
    xdo("mousemove", x, y, "click", 1)
    time.sleep(0.3)
    app.type("a5")
    time.sleep(0.5)
    pic = s.shot("typed-a5")
    check(s.digits(pic, 2, 3) == s.digits(top, 10, 5), "byte 23 does not show A5 after typing")
    check(s.digits(pic, 2, 2) == s.digits(top, 2, 2), "the byte before changed")
    # In the character column: byte 0x41 ("A") typed over with "z" (7A).
    x, y = s.chr_xy(4, 1)
    xdo("mousemove", x, y, "click", 1)
    time.sleep(0.3)
    app.type("z")
    time.sleep(0.5)
    pic = s.shot("typed-z")
    check(s.digits(pic, 4, 1) == s.digits(top, 7, 10), "byte 41 does not show 7A after typing z")


def drag_a_selection_and_delete(app, s):
    top = s.top
    zero = s.digits(top, 16, 0)   # 00 (line 0 may hold the caret)
    # From byte 0x12's high digit to byte 0x16's: bytes 12 .. 15.
    x0, y0 = s.hex_xy(1, 2)
    x1, y1 = s.hex_xy(1, 6)
    xdo("mousemove", x0, y0, "sleep", 0.2, "mousedown", 1, "sleep", 0.2,
        "mousemove", (x0 + x1) // 2, y0, "sleep", 0.1, "mousemove", x1, y1, "sleep", 0.2, "mouseup", 1)
    time.sleep(0.5)
    pic = s.shot("dragged")
    selected = [b for b in range(16) if s.blank(pic, 1, b) != YELLOW]
    check(selected == [2, 3, 4, 5], "selected bytes on line 1: %s" % selected)
    app.key("Delete")
    time.sleep(0.5)
    pic = s.shot("deleted")
    for b in range(2, 6):
        check(s.digits(pic, 1, b) == zero, "byte 1%X is not 00 after Delete" % b)
    check(s.digits(pic, 1, 6) == s.digits(top, 1, 6), "byte 16 changed")
    check(s.digits(pic, 1, 1) == s.digits(top, 1, 1), "byte 11 changed")
    check(all(s.blank(pic, 1, b) == YELLOW for b in range(16)), "the selection is still painted")


def double_click_selects_one_byte(app, s):
    top = s.top
    x, y = s.hex_xy(3, 7)
    xdo("mousemove", x, y, "sleep", 0.2, "click", "--repeat", 2, "--delay", 80, 1)
    time.sleep(0.5)
    pic = s.shot("double-clicked")
    selected = [(l, b) for l in range(6) for b in range(16) if s.blank(pic, l, b) != YELLOW]
    check(selected == [(3, 7)], "selected after a double-click: %s" % selected)
    app.key("Delete")
    time.sleep(0.5)
    pic = s.shot("double-click-deleted")
    check(s.digits(pic, 3, 7) == s.digits(top, 16, 0), "byte 37 is not 00 after Delete")
    check(s.digits(pic, 3, 8) == s.digits(top, 3, 8), "byte 38 changed")


def wheel_scrolls_by_lines(app, s):
    top = s.top
    x, y = s.hex_xy(5, 5)
    xdo("mousemove", x, y, "click", 1)
    time.sleep(0.3)
    before = s.shot("before-wheel")
    xdo("click", "--repeat", 3, "--delay", 100, 5)
    time.sleep(0.8)
    down = s.shot("wheel-down")
    # Three notches of three lines: line 0 shows row 9 (bytes 90..9F), which
    # stood on line 9 before, and line 2 row 11.
    check(s.line_pixels(down, 0) == s.line_pixels(top, 9), "after 3 notches line 0 is not row 9")
    check(s.line_pixels(down, 2) == s.line_pixels(top, 11), "after 3 notches line 2 is not row 11")
    xdo("click", "--repeat", 3, "--delay", 100, 4)
    time.sleep(0.8)
    up = s.shot("wheel-up")
    check(s.line_pixels(up, 1) == s.line_pixels(before, 1), "back up: line 1 differs")
    check(s.line_pixels(up, 3) == s.line_pixels(before, 3), "back up: line 3 differs")
    # The caret stayed on its byte (0x55): typing lands there.
    app.type("00")
    time.sleep(0.5)
    typed = s.shot("wheel-typed")
    check(s.digits(typed, 5, 5) == s.digits(top, 16, 0), "the caret moved with the wheel")


def test_drag_below_the_control_scrolls_it():
    with QXEdit() as app:
        app.wait_window("QXEdit")
        s = Screen(app)
        top = s.top
        # The control's last line: the lowest line of yellow cells.
        last = max(y for y in range(top.h) if top.px(s.hx + 2, y) == YELLOW)
        below = min(last + 2 * CY, top.h - 2)   # under the control
        check(below > last + CY // 2, "no room below the control")
        x, y = s.hex_xy(4, 0)
        xdo("mousemove", x, y, "sleep", 0.2, "mousedown", 1, "sleep", 0.2,
            "mousemove", x + 2 * CX, y + 2 * CY, "sleep", 0.1,
            "mousemove", x + 2 * CX, below)
        time.sleep(0.4)
        held1 = s.shot("held-below-1")
        time.sleep(0.6)
        held2 = s.shot("held-below-2")
        xdo("mouseup", 1)
        time.sleep(0.5)
        released = s.shot("released")
        time.sleep(0.6)
        later = s.shot("later")
        # The header line is gone: the view scrolled by itself, and went on
        # while the pointer stayed still.
        header = released.block(s.hx - 9 * CX, s.hx + 40 * CX, s.hy - 2 * CY, s.hy - CY)
        check(header == bytes(FILL) * (len(header) // 3), "the header line still shows: no auto-scroll")
        check(s.address_and_line(held1, 2) != s.address_and_line(held2, 2),
              "no scrolling between two shots while held")
        # Every data line shown is selected.
        lines = (last - s.hy) // CY
        check(all(s.blank(released, l, 8) != YELLOW for l in range(0, lines - 1)),
              "the selection does not cover the lines shown")
        # It stopped with the release.
        check(s.address_and_line(later, 2) == s.address_and_line(released, 2) and
              s.address_and_line(later, 5) == s.address_and_line(released, 5), "still scrolling after the release")


if __name__ == "__main__":
    main(globals())
