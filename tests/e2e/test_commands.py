#!/usr/bin/env python3
"""QXEdit's Function menu and toolbar as a person uses them, with the real
common dialogs: filling all bytes with 0x00 and 0xFF leaves the caret, the
selection and the scroll position alone; OpenFile and SaveFile load and
save raw bytes, cancel cleanly, and report a missing file and a read-only
one in the framework's words; the ten accelerators without a command
change no byte; Ctrl+S on the untitled document asks for a name; the
program closes from its menu and with Alt+F4.

The bytes are read back through "SaveFile"; what the control shows is read
from screenshots (cells compared with cells that hold the expected value)."""

import os
import time

from commands import (OPEN_FILE, SAMPLE, SAVE_FILE, SET_00, SET_FF, caret, file_dialog, menu, message_box,
                      new_file, only_frame, saved_bytes, toolbar, wait_gone, wait_top, win_path)
from harness import QXEdit, check, main, out_dir
from test_keyboard import CX, CY, FILL, YELLOW, Grid
from test_shell import settle


def bk(pic, g, line, cell):
    """The background of a hex cell: its low digit's bottom-right pixel, which
    no digit's ink and no caret on the high digit reaches."""
    x0, x1, y0, y1 = g.digits(line, cell)
    return pic.at(x1 - 1, y1 - 1)


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
        time.sleep(0.6)
        before = g.shot("before-fill")
        caret0 = caret(app)
        check(caret0 is not None, "no caret in the control")
        lines = range(2, g.vis_rows)
        skip = under_caret(g, caret0)
        sel = highlighted(before, g, lines, skip)
        check(len(sel) >= 3, "Shift+Right selected %d bytes" % len(sel))
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
                time.sleep(0.6)
                pic = g.shot("%s-%s" % (how, name))
                check_filled(pic, g, ref, sel | skip, "%s %s" % (how, name))
                check(highlighted(pic, g, lines, skip) == sel, "%s %s: the selection changed" % (how, name))
                check(addresses(pic, g) == addresses(before, g), "%s %s: the view scrolled" % (how, name))
                check(caret(app) == caret0, "%s %s: the caret moved: %r, was %r" % (how, name, caret(app), caret0))
            data = saved_bytes(app, frame, "filled-%s.bin" % how)
            check(data == b"\xff" * 4096, "after %s: %d bytes, %d of them 0xFF"
                  % (how, len(data), data.count(b"\xff")))
            time.sleep(0.5)
            check(caret(app) == caret0, "SaveFile moved the caret")
            check(highlighted(g.shot("after-save"), g, lines, skip) == sel, "SaveFile changed the selection")


def rows_shown(pic, g):
    """Data lines with bytes on them, and how many cells the last one has."""
    n = 0
    while n + 2 < g.vis_rows and bk(pic, g, n + 2, 0) == YELLOW:
        n += 1
    cells = 0
    while n and cells < 16 and bk(pic, g, n + 1, cells) == YELLOW:
        cells += 1
    return n, cells


def test_open_and_save_files():
    hundred = bytes((i * 37 + 11) % 256 for i in range(100))
    src = new_file("hundred.bin", hundred)
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")
        g = Grid(app)

        # Cancel: nothing changes, nothing is shown.
        start = g.shot("start")
        menu(app, frame, OPEN_FILE)
        wait_top(app, "Open")
        app.key("Escape")
        wait_gone(app, "Open")
        time.sleep(1)
        only_frame(app)
        pic = g.shot("open-cancelled")
        check(pic.differs(start, g.control(), g.digits(2, 0)) is None, "cancelling the open changed the view")

        # A missing file: the framework's message with the whole path.
        missing = new_file("no-such-file.bin")
        menu(app, frame, OPEN_FILE)
        file_dialog(app, "Open", missing)
        text = message_box(app)
        check(text == win_path(missing) + " non trovato.", "the box says %r" % text)
        only_frame(app)
        check(g.shot("missing").differs(start, g.control(), g.digits(2, 0)) is None,
              "a failed open changed the view")

        # 100 bytes: 6 full rows and one of 4.
        menu(app, frame, OPEN_FILE)
        file_dialog(app, "Open", src)
        time.sleep(0.8)
        only_frame(app)
        n, cells = rows_shown(g.shot("hundred"), g)
        check((n, cells) == (7, 4), "100 bytes show %d rows, the last with %d cells" % (n, cells))
        check(saved_bytes(app, frame, "hundred-again.bin") == hundred, "SaveFile did not write the 100 bytes back")

        # Over a longer file: no question, exactly 100 bytes afterwards.
        longer = new_file("longer.bin", b"\x55" * 5000)
        menu(app, frame, SAVE_FILE)
        file_dialog(app, "Save As", longer)
        time.sleep(1)
        only_frame(app)
        with open(longer, "rb") as f:
            check(f.read() == hundred, "the longer file does not hold exactly the 100 bytes")

        # A read-only file: refused in the framework's words, left as it was.
        ro = new_file("read-only.bin", b"keep me")
        os.chmod(ro, 0o444)
        menu(app, frame, SAVE_FILE)
        file_dialog(app, "Save As", ro)
        text = message_box(app)
        check(text == "Accesso a %s negato." % win_path(ro), "the box says %r" % text)
        with open(ro, "rb") as f:
            check(f.read() == b"keep me", "the read-only file changed")
        only_frame(app)


# The accelerators whose commands nothing in the program handles.
UNHANDLED = ["ctrl+z", "ctrl+x", "ctrl+c", "ctrl+v", "alt+BackSpace", "shift+Delete", "ctrl+Insert",
             "shift+Insert", "F6", "shift+F6"]


def test_unhandled_accelerators_leave_the_bytes_and_exit_from_the_menu():
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")
        app.focus(frame)
        # Byte 0 becomes 0x7F; the caret then stands on byte 1, where Delete
        # or Insert reaching the control would set 0x00 or 0xFF.
        app.type("7f")
        expected = b"\x7f" + SAMPLE[1:]
        check(saved_bytes(app, frame, "keys-start.bin") == expected, "typing 7F did not make byte 0 0x7F")
        for i, combo in enumerate(UNHANDLED):
            app.focus(frame)
            app.key(combo)
            time.sleep(0.5)
            if combo.startswith("alt+"):
                # The Alt released alone enters the menu bar: leave it.
                app.key("Escape")
            only_frame(app)
            data = saved_bytes(app, frame, "keys-%d.bin" % i)
            check(data == expected, "%s changed byte(s) %r" % (
                combo, [k for k in range(len(data)) if k >= len(expected) or data[k] != expected[k]][:8]))

        # Ctrl+S on the untitled document asks for a name; Cancel writes nothing.
        app.focus(frame)
        app.key("ctrl+s")
        wait_top(app, "Salva con nome")
        app.screenshot("ctrl-s")
        listing = sorted(os.listdir(out_dir()))
        app.key("Escape")
        wait_gone(app, "Salva con nome")
        only_frame(app)
        check(sorted(os.listdir(out_dir())) == listing, "cancelling the save wrote a file")

        # File > Esci ends the program, asking nothing.
        app.focus(frame)
        app.key("alt+f", "Return")
        rc = app.wait_exit(20)
        check(rc == 0, "QXEdit exited with %s after Esci" % rc)


if __name__ == "__main__":
    main(globals())
