#!/usr/bin/env python3
""""Open in Dialog Sample" as a person meets it: a modal dialog that cannot
be resized, whose hex control keeps the template's rectangle and shows the
4096 sample bytes whatever the view holds; the first focus is on OK and Tab
from Cancel reaches the control; keys and clicks edit inside it; and
closing it with OK, Cancel, Enter or Escape leaves the view's bytes as they
were. The main window is disabled while it runs. Alt+F4 ends the program."""

import time

from commands import DIALOG_SAMPLE, DIALOG_TITLE, SET_00, eventually, menu, saved_bytes, wait_gone, wait_top
from harness import QXEdit, check, main, run
from test_keyboard import CX, CY, YELLOW, Grid, Picture
from test_shell import frame_of, settle, tree

WS_DISABLED = 0x08000000
WS_THICKFRAME = 0x00040000
WS_MAXIMIZEBOX = 0x00010000


def dialog_tree(app):
    wins = tree(app, DIALOG_TITLE)
    tops = [w for w in wins if w["parent"] == "0" and w["text"] == DIALOG_TITLE]
    check(len(tops) == 1, "%d dialogs titled %r" % (len(tops), DIALOG_TITLE))
    kids = {w["id"]: w for w in wins if w["parent"] == tops[0]["hwnd"]}
    return tops[0], kids


class DialogCells:
    """Where the dialog's hex cells are: the first long run of yellow inside
    the control's client area."""

    def __init__(self, pic, edit):
        left, top, right, bottom = edit["client"]
        self.origin = None
        for y in range(top, bottom):
            row = pic.rows[y][3 * left:3 * right]
            i = row.find(YELLOW * 100)
            while i >= 0 and i % 3:
                i = row.find(YELLOW * 100, i + 1)
            if i >= 0:
                self.origin = (left + i // 3, y)
                break
        check(self.origin is not None, "no hex cells in the dialog's control")

    def digits(self, row, cell):
        x = self.origin[0] + 3 * cell * CX
        y = self.origin[1] + row * CY
        return x, x + 2 * CX, y, y + CY

    def hex_row(self, row, first=0):
        x0, _, y0, y1 = self.digits(row, first)
        return x0, self.origin[0] + 48 * CX, y0, y1


def open_dialog(app, frame):
    menu(app, frame, DIALOG_SAMPLE)
    wait_top(app, DIALOG_TITLE)
    return dialog_tree(app)


def check_sample(pic, cells, top, g, what):
    """The dialog's first rows show the sample bytes as the view showed them
    at start-up (the view's caret may stand on its first cell)."""
    check(pic.cut(cells.hex_row(0, 1)) == top.cut(g.hex_row(2, 1)), "%s: row 0 is not 01 .. 0F" % what)
    for row in range(1, 8):
        check(pic.cut(cells.hex_row(row)) == top.cut(g.hex_row(2 + row)),
              "%s: row %d is not the sample's" % (what, row))


def click_button(kids, ident):
    l, t, r, b = kids[ident]["window"]
    run(["xdotool", "mousemove", str((l + r) // 2), str((t + b) // 2), "sleep", "0.2", "click", "1"])


def test_dialog_sample():
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")
        g = Grid(app)
        top = g.shot("view-at-start")
        menu(app, frame, SET_00)

        def filled():
            pic = g.shot("view-filled-00")
            # Byte 0x10 shows 00 as byte 0x100 did.
            check(pic.cut(g.digits(3, 0)) == top.cut(g.digits(2 + 16, 0)), "the view is not filled with 00")
            return pic

        view_before = eventually(filled)
        view_caret = g.digits(2, 0)

        dlg, kids = open_dialog(app, frame)
        check(frame_of(tree(app))["style"] & WS_DISABLED, "the main window is enabled while the dialog runs")
        # WS_POPUP, WS_CAPTION, WS_SYSMENU, DS_MODALFRAME, DS_SETFONT and
        # DS_FIXEDSYS, and no sizing border.
        check(dlg["style"] & 0x80C800C8 == 0x80C800C8, "the dialog's style is %#x" % dlg["style"])
        check(not dlg["style"] & (WS_THICKFRAME | WS_MAXIMIZEBOX), "the dialog has a sizing border: %#x" % dlg["style"])
        check(set(kids) >= {1, 2, 1000}, "the dialog's controls: %r" % sorted(kids))
        ok, cancel, edit = kids[1], kids[2], kids[1000]
        check(ok["text"] == "OK" and cancel["text"] == "Cancel", "buttons %r, %r" % (ok["text"], cancel["text"]))
        check(ok["focus"] == "1", "the first focus is not on OK")
        # Tab stops on all three; the edit keeps its ES_AUTOHSCROLL under the
        # hex control (Wine's edit class draws WS_BORDER as a client edge).
        check(all(k["style"] & 0x00010000 for k in (ok, cancel, edit)), "a control without a tab stop")
        check(ok["style"] & 0xF == 1 and cancel["style"] & 0xF == 0, "OK is not the default button")
        check(edit["style"] & 0x80, "the edit's style is %#x" % edit["style"])   # ES_AUTOHSCROLL
        check(edit["class"].lower() == "edit", "the dialog's control is a %s" % edit["class"])

        # The control keeps the template's rectangle (7, 7, 470, 147 dialog
        # units); OK (479, 7, 50, 14) gives the dialog's base units: a unit
        # is a quarter of bx wide and an eighth of by high.
        ow, oh = ok["window"][2] - ok["window"][0], ok["window"][3] - ok["window"][1]
        bx, by = round(ow * 4 / 50), round(oh * 8 / 14)
        units = lambda v, base, div: (v * base + div // 2) // div
        ex, ey, ex1, ey1 = edit["window"]
        cx, cy = dlg["client"][:2]
        expect = (units(7, bx, 4), units(7, by, 8), units(470, bx, 4), units(147, by, 8))
        got = (ex - cx, ey - cy, ex1 - ex, ey1 - ey)
        check(all(abs(a - b) <= 1 for a, b in zip(got, expect)),
              "the control is at %r, the template says %r" % (got, expect))

        def sample_shown(name, edit):
            pic = Picture(app.screenshot(name))
            cells = DialogCells(pic, edit)
            check_sample(pic, cells, top, g, name)
            return pic, cells

        pic, cells = eventually(lambda: sample_shown("dialog", edit))
        first_cell = pic.cut(cells.digits(0, 0))

        # Its bottom-right corner dragged: nothing gives.
        x1, y1 = dlg["window"][2] - 2, dlg["window"][3] - 2
        run(["xdotool", "mousemove", str(x1), str(y1), "sleep", "0.2", "mousedown", "1", "sleep", "0.2",
             "mousemove", str(x1 + 80), str(y1 + 60), "sleep", "0.2", "mousemove", str(x1 + 160), str(y1 + 120),
             "sleep", "0.2", "mouseup", "1"])
        time.sleep(0.5)
        dlg2, kids2 = dialog_tree(app)
        check(dlg2["window"][2:] == dlg["window"][2:] or
              (dlg2["window"][2] - dlg2["window"][0], dlg2["window"][3] - dlg2["window"][1]) ==
              (dlg["window"][2] - dlg["window"][0], dlg["window"][3] - dlg["window"][1]),
              "the dialog was resized: %r, was %r" % (dlg2["window"], dlg["window"]))
        check(kids2[1000]["window"][2] - kids2[1000]["window"][0] == ex1 - ex and
              kids2[1000]["window"][3] - kids2[1000]["window"][1] == ey1 - ey, "the control changed its size")
        moved = (dlg2["window"][0] - dlg["window"][0], dlg2["window"][1] - dlg["window"][1])
        check(moved == (0, 0), "the dialog moved by %r" % (moved,))

        # Tab: OK, Cancel, the hex control.
        app.key("Tab")
        check(dialog_tree(app)[1][2]["focus"] == "1", "Tab from OK does not reach Cancel")
        app.key("Tab")
        check(dialog_tree(app)[1][1000]["focus"] == "1", "Tab from Cancel does not reach the hex control")

        # Keys edit the first byte; a click puts the caret on a cell of row 2.
        app.type("41")
        ref41 = top.cut(g.digits(2 + 4, 1))

        def shows41(name, row, cell):
            pic = Picture(app.screenshot(name))
            check(pic.cut(cells.digits(row, cell)) == ref41, "%s: byte %d of row %d is not 0x41" % (name, cell, row))

        eventually(lambda: shows41("dialog-typed", 0, 0))
        x0, _, y0, _ = cells.digits(2, 3)
        run(["xdotool", "mousemove", str(x0 + 3), str(y0 + 8), "sleep", "0.2", "click", "1"])
        time.sleep(0.3)
        app.type("41")
        eventually(lambda: shows41("dialog-clicked-typed", 2, 3))

        closers = [("OK", lambda k: click_button(k, 1)), ("Cancel", lambda k: click_button(k, 2)),
                   ("Enter", lambda k: app.key("Return")), ("Escape", lambda k: app.key("Escape"))]
        for i, (name, close) in enumerate(closers):
            if i:
                dlg, kids = open_dialog(app, frame)
                check(kids[1]["focus"] == "1", "reopened: the first focus is not on OK")
                pic, cells = eventually(lambda: sample_shown("reopened-before-%s" % name, kids[1000]))
                check(pic.cut(cells.digits(0, 0)) == first_cell, "reopened: the first byte is not 00 again")
            close(kids)
            wait_gone(app, DIALOG_TITLE)
            check(not frame_of(tree(app))["style"] & WS_DISABLED, "the main window stays disabled after %s" % name)

            def view_unchanged():
                y = view_before.differs(g.shot("view-after-%s" % name), g.control(), view_caret)
                check(y is None, "closing with %s changed the view (first at y = %s)" % (name, y))

            eventually(view_unchanged, 10)

        check(saved_bytes(app, frame, "after-dialogs.bin") == bytes(4096), "the view's bytes changed")
        rc = app.close()
        check(rc == 0, "QXEdit exited with %s after Alt+F4" % rc)


if __name__ == "__main__":
    main(globals())
