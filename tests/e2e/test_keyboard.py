#!/usr/bin/env python3
"""The keyboard of QXEdit's control, with real keys from xdotool: typed hex
digits overwrite the first byte, arrows, Page Down and End scroll the view,
Shift+arrows paint the selection in the highlight colours, and none of the
frame's fourteen accelerator combinations changes a byte.

There is no command that saves the bytes yet, so they are read from the
picture: cells are compared with cells of the sample block that hold the
expected value (byte i holds i modulo 256 at start-up), and the control's
whole picture before and after a key with the caret's cell left out (the
caret blinks)."""

import subprocess
import time

from harness import QXEdit, check, main
from test_shell import tree

YELLOW = b"\xff\xff\x00"
FILL = b"\xc0\xc0\xff"
CHAR_BK = b"\x00\x00\xc0"
CX, CY = 8, 16


class Picture:
    """A screenshot's pixels as rows of packed RGB bytes, from the left edge
    to `width` (everything when None)."""

    def __init__(self, png, width=None):
        crop = ["-crop", "%dx100000+0+0" % width, "+repage"] if width else []
        data = subprocess.run(["convert", png] + crop + ["-depth", "8", "ppm:-"], stdout=subprocess.PIPE,
                              check=True).stdout
        magic, size, _, px = data.split(b"\n", 3)
        self.w, self.h = (int(v) for v in size.split())
        self.rows = [px[y * self.w * 3:(y + 1) * self.w * 3] for y in range(self.h)]

    def at(self, x, y):
        return self.rows[y][3 * x:3 * x + 3]

    def cut(self, rect):
        x0, x1, y0, y1 = rect
        return [r[3 * x0:3 * x1] for r in self.rows[y0:y1]]

    def differs(self, other, rect, skip):
        """The first line of rect where the pictures differ outside skip,
        or None."""
        x0, x1, y0, y1 = rect
        sx0, sx1, sy0, sy1 = skip
        for y in range(y0, y1):
            a, b = self.rows[y], other.rows[y]
            if sy0 <= y < sy1:
                same = a[3 * x0:3 * sx0] == b[3 * x0:3 * sx0] and a[3 * sx1:3 * x1] == b[3 * sx1:3 * x1]
            else:
                same = a[3 * x0:3 * x1] == b[3 * x0:3 * x1]
            if not same:
                return y
        return None


class Grid:
    """Where the control's cells are on the screen: (hx, hy) is the top-left
    pixel of the first hex cell of the first row shown."""

    def __init__(self, app):
        self.app = app
        found = None
        deadline = time.time() + 30
        while found is None and time.time() < deadline:
            time.sleep(1)
            pic = Picture(app.screenshot("start"))
            found = self.find(pic)
        check(found is not None, "no hex cells on the screen")
        self.hx, self.hy = found
        self.height = pic.h
        # Column 9 lies between the addresses and the hex cells: fill from
        # the top of the client area to its bottom.
        x, y = self.hx - CX // 2, self.hy - 2 * CY
        h = 0
        while y + h < pic.h and pic.at(x, y + h) == FILL:
            h += 1
        self.vis_rows = h // CY
        check(self.vis_rows > 20, "only %d lines fit the control" % self.vis_rows)

    @staticmethod
    def find(pic):
        """The first long run of yellow (the toolbar's yellow glyphs are
        short), moved left over the caret if it inverts the first cell."""
        for y, row in enumerate(pic.rows):
            i = row.find(YELLOW * 100)
            while i >= 0 and i % 3:
                i = row.find(YELLOW * 100, i + 1)
            if i >= 0:
                x = i // 3
                while x > 0 and pic.at(x - 1, y) != FILL:
                    x -= 1
                return x, y
        return None

    def shot(self, name):
        """The screen, as far right as the control's character column."""
        return Picture(self.app.screenshot(name), self.hx + 70 * CX)

    def wait(self, name, cond, what, timeout=20):
        """Screenshots until cond(picture) holds (the program may still be
        busy with the keys); fails with `what` after timeout seconds."""
        deadline = time.time() + timeout
        while True:
            pic = self.shot(name)
            if cond(pic):
                return pic
            check(time.time() < deadline, what)
            time.sleep(0.3)

    # Rectangles (x0, x1, y0, y1) of cells on screen line `line` (2 is the
    # first data row's line).
    def digits(self, line, cell):
        x = self.hx + 3 * cell * CX
        y = self.hy + (line - 2) * CY
        return x, x + 2 * CX, y, y + CY

    def char(self, line, cell):
        x = self.hx + (52 + cell) * CX
        y = self.hy + (line - 2) * CY
        return x, x + CX, y, y + CY

    def hex_row(self, line, first=0, last=15):
        x0, _, y0, y1 = self.digits(line, first)
        return x0, self.hx + 3 * (last + 1) * CX, y0, y1

    def header(self):
        return self.hx - 9 * CX, self.hx + 68 * CX, self.hy - 2 * CY, self.hy - CY

    def control(self):
        """The header line and every whole data line, all columns."""
        return self.hx - 10 * CX, self.hx + 68 * CX, self.hy - 2 * CY, self.hy + (self.vis_rows - 2) * CY


def all_fill(rows):
    return all(r == FILL * (len(r) // 3) for r in rows)


def top_level_windows(app):
    """The program's visible top-level windows, as the program itself lists
    them (xdotool may miss a dialog that Wine has just mapped, or still list
    one it has closed)."""
    return [w for w in tree(app, "") if w["parent"] == "0"]


def close_opened(app, frame, combo):
    """Waits for the window a command opens (a dialog, a message box),
    closes it with Escape and gives the frame the keyboard back."""
    deadline = time.time() + 60
    while len(top_level_windows(app)) <= 1 and time.time() < deadline:
        time.sleep(0.3)
    check(len(top_level_windows(app)) > 1, "%s opened no window" % combo)
    for _ in range(10):
        if len(top_level_windows(app)) <= 1:
            break
        app.key("Escape")
        time.sleep(0.5)
    check(len(top_level_windows(app)) == 1,
          "a window stayed open after %s: %r" % (combo, [w["text"] for w in top_level_windows(app)]))
    app.focus(frame)


def typing_moving_and_selecting(app, g, top):
    row = lambda pic, line, first=0, last=15: pic.cut(g.hex_row(line, first, last))

    # Byte 127 (row 7, cell 15) shows 7F in the sample.
    app.type("7f")
    typed = g.wait("typed-7f", lambda p: p.cut(g.digits(2, 0)) == top.cut(g.digits(9, 15)),
                   "the first cell does not show 7F")
    check(typed.cut(g.char(2, 0)) == top.cut(g.char(9, 15)), "the first character cell does not show 0x7F")
    check(row(typed, 2, 2) == row(top, 2, 2), "bytes after the second changed")
    check(row(typed, 3) == row(top, 3), "the second row changed")

    # Down as many times as lines fit: the caret's row becomes the last
    # whole line, so the view starts at row 3 (sample row 3 on line 2).
    app.key(*["Down"] * g.vis_rows, delay_ms=10)
    down = g.wait("down", lambda p: row(p, 2) == row(top, 2 + 3) and row(p, 3) == row(top, 2 + 4),
                  "Down did not scroll the view to row 3")
    check(all_fill(down.cut(g.header())), "Down did not scroll the header away")

    # Three Page Downs: 30 rows further, the view starts at row 33
    # (which shows what row 1 shows).
    app.key("Next", "Next", "Next")
    g.wait("page-down", lambda p: row(p, 2) == row(top, 2 + 1) and row(p, 3) == row(top, 2 + 2),
           "Page Down did not move ten rows a press")

    # End: the last row (F0 .. FF, as row 15) on the last whole line; the
    # caret stands on the last byte's high digit.
    app.key("End")
    last = g.vis_rows - 1
    g.wait("end", lambda p: row(p, last, 0, 14) == row(top, 2 + 15, 0, 14) and row(p, last - 1) == row(top, 2 + 14),
           "End does not show E0 .. EF and F0 .. FE on the last two whole lines")

    # Home: back at the top, header and all.
    app.key("Home")
    g.wait("home", lambda p: not all_fill(p.cut(g.header())) and row(p, 3) == row(top, 3),
           "Home did not bring the view back to the top")

    # Shift+Right six times selects cells 0 to 5: bytes 0 and 1 are
    # painted in the highlight colours, in both columns.
    def bk(pic, rect):
        x0, _, y0, _ = rect
        return pic.at(x0 + 1, y0 + 1)

    app.key(*["shift+Right"] * 6)
    sel = g.wait("shift-right-6", lambda p: bk(p, g.digits(2, 1)) not in (YELLOW, FILL, CHAR_BK),
                 "byte 1 is not painted in a highlight colour")
    hi = bk(sel, g.digits(2, 0))
    check(bk(sel, g.digits(2, 1)) == hi, "bytes 0 and 1 differ in colour")
    check(bk(sel, g.char(2, 0)) == hi and bk(sel, g.char(2, 1)) == hi, "the characters are not highlighted")
    check(bk(sel, g.digits(2, 3)) == YELLOW and bk(sel, g.char(2, 3)) == CHAR_BK, "byte 3 is highlighted")

    # One row further: bytes 0 to 17.
    app.key("shift+Down")
    sel = g.wait("shift-down", lambda p: bk(p, g.digits(3, 1)) == hi, "byte 17 is not highlighted")
    check(bk(sel, g.char(3, 1)) == hi, "character 17 is not highlighted")
    check(bk(sel, g.digits(3, 3)) == YELLOW, "byte 19 is highlighted")

    # A move without Shift clears it.
    app.key("Right")
    g.wait("cleared", lambda p: bk(p, g.digits(2, 0)) == YELLOW and bk(p, g.char(3, 1)) == CHAR_BK,
           "the selection stayed")


# The frame's accelerators that change no byte; four open a dialog or a
# message box (with edited bytes New asks about them; Open, Save As, Print),
# and Escape cancels each. (The edit accelerators act on the bytes: their
# test is the accelerators' own.)
ACCELERATORS = ["ctrl+n", "ctrl+o", "ctrl+s", "ctrl+p", "F6", "shift+F6"]
OPENS_A_WINDOW = ("ctrl+n", "ctrl+o", "ctrl+s", "ctrl+p")


def accelerators_change_no_byte(app, frame, g, top):
    # The caret on byte 0 (7F) at the top.
    app.key("Home")
    before = g.wait("before", lambda p: not all_fill(p.cut(g.header())) and
                    p.cut(g.digits(2, 1)) == top.cut(g.digits(2, 1)), "Home did not go to the top")
    caret = g.digits(2, 0)
    for combo in ACCELERATORS:
        app.key(combo)
        if combo.startswith("alt+"):
            # The frame's accelerator takes the key down, so the Alt
            # released alone puts the menu bar in menu mode: leave it.
            app.key("Escape")
        if combo in OPENS_A_WINDOW:
            close_opened(app, frame, combo)

    # The control still has the keyboard and the caret where it was:
    # "a" makes byte 0 AF (as byte 175, row 10 cell 15, shows; the caret
    # then inverts the low digit, so the high one is compared). Once it
    # shows, every key before it has been handled; every other byte on
    # the screen is as before.
    app.type("a")
    high = lambda line, cell: (lambda r: (r[0], r[0] + CX, r[2], r[3]))(g.digits(line, cell))
    last = g.wait("typed-a", lambda p: p.cut(high(2, 0)) == top.cut(high(12, 15)),
                  "byte 0 does not show AF after the keys")
    x0, x1, y0, y1 = g.control()
    y = before.differs(last, (x0, x1, y0 + 2 * CY, y1), caret)
    check(y is None, "the accelerators changed the picture of the bytes (first on y = %s)" % y)


def test_keys_in_qxedit():
    # One session (starting the program is what takes longest).
    with QXEdit() as app:
        frame = app.wait_window("QXEdit")
        g = Grid(app)
        app.focus(frame)
        top = g.shot("top")
        typing_moving_and_selecting(app, g, top)
        accelerators_change_no_byte(app, frame, g, top)


if __name__ == "__main__":
    main(globals())
