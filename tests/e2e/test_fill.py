#!/usr/bin/env python3
"""Filling all bytes from QXEdit's Function menu and from its toolbar:
"Set all bytes to 0x00" then "Set all bytes to 0xFF" paint every cell and
leave the caret, the selection and the scroll position where they were;
"SaveFile" then writes 4096 bytes of 0xFF. What the control shows is read
from screenshots, cells compared with cells holding the expected value."""

import time

from commands import SET_00, SET_FF, bk, caret, eventually, menu, saved_bytes, toolbar
from harness import QXEdit, check, main
from test_keyboard import CX, CY, FILL, YELLOW, Grid
from test_shell import settle


def under_caret(g, rect):
    """The hex cells (line, cell) the caret rectangle touches."""
    cells = set()
    if rect is None:
        return cells
    left, top, right, bottom = rect[1]
    for line in range(2, g.vis_rows):
        for cell in range(16):
            x0, x1, y0, y1 = g.digits(line, cell)
            if left < x1 + CX and right > x0 and top < y1 and bottom > y0:
                cells.add((line, cell))
    return cells


def highlighted(pic, g, lines, skip):
    """Which hex cells of the lines shown are painted in a highlight colour."""
    return {(line, cell) for line in lines for cell in range(16)
            if (line, cell) not in skip and bk(pic, g, line, cell) not in (YELLOW, FILL)}


def addresses(pic, g):
    """The address column of every whole line (it tells the scroll position)."""
    return pic.cut((g.hx - 10 * CX, g.hx - CX, g.hy, g.hy + (g.vis_rows - 2) * CY))


def check_filled(pic, g, ref_cell, skip, what):
    """Every hex cell shown, except those in skip, looks like ref_cell."""
    for line in range(2, g.vis_rows):
        for cell in range(16):
            if (line, cell) in skip:
                continue
            check(pic.cut(g.digits(line, cell)) == ref_cell,
                  "%s: the cell on line %d, column %d shows something else" % (what, line, cell))


def test_fill_from_menu_and_toolbar_keeps_caret_selection_and_scroll():
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")
        g = Grid(app)
        app.focus(frame)
        # Scroll by moving the caret down past the last line (the view then
        # starts at row 3), then select a few bytes with Shift.
        app.key(*["Down"] * g.vis_rows, delay_ms=10)
        app.key(*["shift+Right"] * 12, delay_ms=10)
        lines = range(2, g.vis_rows)

        def selected():
            pic = g.shot("before-fill")
            where = caret(app)
            check(where is not None, "no caret in the control")
            sel = highlighted(pic, g, lines, under_caret(g, where))
            check(len(sel) >= 3, "Shift+Right selected %d bytes" % len(sel))
            return pic, where, sel

        before, caret0, sel = eventually(selected)
        skip = under_caret(g, caret0)
        # Row r is on line r - 1: byte 0x00 (row 16, cell 0) and 0xFF (row 15,
        # cell 15) as references.
        ref00 = before.cut(g.digits(15, 0))
        refFF = before.cut(g.digits(14, 15))

        for how in ("menu", "toolbar"):
            for item, ref, name in ((SET_00, ref00, "00"), (SET_FF, refFF, "FF")):
                if how == "menu":
                    menu(app, frame, item)
                else:
                    toolbar(app, item)

                def filled():
                    pic = g.shot("%s-%s" % (how, name))
                    check_filled(pic, g, ref, sel | skip, "%s %s" % (how, name))
                    return pic

                pic = eventually(filled)
                check(highlighted(pic, g, lines, skip) == sel, "%s %s: the selection changed" % (how, name))
                check(addresses(pic, g) == addresses(before, g), "%s %s: the view scrolled" % (how, name))
                check(caret(app) == caret0, "%s %s: the caret moved: %r, was %r" % (how, name, caret(app), caret0))
            data = saved_bytes(app, frame, "filled-%s.bin" % how)
            check(data == b"\xff" * 4096, "after %s: %d bytes, %d of them 0xFF"
                  % (how, len(data), data.count(b"\xff")))
            time.sleep(0.5)
            check(caret(app) == caret0, "SaveFile moved the caret")
            check(highlighted(g.shot("after-save"), g, lines, skip) == sel, "SaveFile changed the selection")


if __name__ == "__main__":
    main(globals())
