#!/usr/bin/env python3
"""QXEdit's "&Modifica" menu and its accelerators on the view's control:
bytes selected with the mouse, copied with Ctrl+C, pasted elsewhere with
Ctrl+V, the paste undone (Ctrl+Z, Alt+Backspace) and redone (Ctrl+Y), as
the bytes saved through "SaveFile" show; the menu's items greyed and
enabled as the control can act."""

import time

from commands import SAMPLE, saved_bytes
from harness import QXEdit, check, main
from test_mouse import Pic, Screen, xdo
from test_shell import settle, tree


# The items of "&Modifica", top to bottom.
EDIT_ITEMS = ["Annulla", "Ripristina", "Taglia", "Copia", "Incolla", "Seleziona tutto",
              "Trova", "Trova successivo", "Trova precedente", "Vai a"]


def menu_lines(pic, x0, y0, x1, y1):
    """For each text line of an opened menu, top to bottom, whether its text
    is black (enabled) rather than grey (greyed); a separator's etched line
    is lower than any text."""
    bands, band = [], None
    for y in range(y0 + 2, y1 - 2):
        row = pic.block(x0 + 2, x1 - 2, y, y + 1)
        px = [row[i:i + 3] for i in range(0, len(row), 3)]
        black = any(max(p) < 64 for p in px)
        grey = any(max(p) - min(p) < 16 and 96 <= p[0] <= 160 for p in px)
        if black or grey:
            band = band or [y, y, False]
            band[1] = y
            band[2] = band[2] or black
        elif band:
            bands.append(band)
            band = None
    return [b[2] for b in bands if b[1] - b[0] >= 4]


def edit_menu_enabled(app, name):
    """Which items of "&Modifica" are enabled: a click on it in the menu bar
    opens it (no item highlighted), and an item's text is black when it is
    enabled, grey when it is greyed. Escape closes it."""
    top = [w for w in tree(app) if w["parent"] == "0"]
    check(len(top) == 1, "one frame, not %d" % len(top))
    left, client_top = top[0]["client"][:2]
    # "Modifica" is the second item of the menu bar, about 36 to 82 pixels in.
    xdo("mousemove", left + 58, client_top - 9, "click", 1)
    deadline = time.time() + 20
    while True:
        popups = [w for w in tree(app, "") if w["class"] == "#32768" and w["visible"] == "1"]
        if popups:
            break
        check(time.time() < deadline, "the Modifica menu did not open")
        time.sleep(0.3)
    x0, y0, x1, y1 = popups[0]["window"]
    # A menu just shown may not be painted whole yet: read it until two
    # pictures running give the same lines, one an item.
    enabled, last, shot = None, None, 0
    while True:
        shot += 1
        last, enabled = enabled, menu_lines(Pic(app.screenshot("%s-%d" % (name, shot))), x0, y0, x1, y1)
        if len(enabled) == len(EDIT_ITEMS) and enabled == last:
            break
        check(time.time() < deadline + 20, "%d text lines in the Modifica menu" % len(enabled))
        time.sleep(0.3)
    app.key("Escape", "Escape")
    return dict(zip(EDIT_ITEMS, enabled))


def test_with_bytes_selected_by_the_mouse_copy_paste_undo_and_redo_act():
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")
        s = Screen(app)
        # Nothing to undo or redo, nothing selected; the clipboard is the
        # display's, which other tests may have filled.
        state = edit_menu_enabled(app, "menu-start")
        check([state[i] for i in ("Annulla", "Ripristina", "Taglia", "Copia", "Seleziona tutto", "Trova",
                                  "Trova successivo", "Trova precedente", "Vai a")] ==
              [False, False, False, False, True, True, True, True, True], "the Modifica menu at the start: %r" % state)
        # A drag from byte 0x12's high digit to byte 0x16's selects bytes
        # 12 .. 15; Ctrl+C copies them. A click on byte 0x40 and Ctrl+V
        # writes them over bytes 40 .. 43.
        x0, y0 = s.hex_xy(1, 2)
        x1, y1 = s.hex_xy(1, 6)
        xdo("mousemove", x0, y0, "mousedown", 1, "mousemove", (x0 + x1) // 2, y0, "mousemove", x1, y1,
            "mouseup", 1)
        app.key("ctrl+c")
        state = edit_menu_enabled(app, "menu-copied")
        check([state[i] for i in EDIT_ITEMS] == [False, False, True, True, True, True, True, True, True, True],
              "the Modifica menu after a copy of the selection: %r" % state)
        x, y = s.hex_xy(4, 0)
        xdo("mousemove", x, y, "click", 1)
        app.key("ctrl+v")
        pasted = SAMPLE[:0x40] + SAMPLE[0x12:0x16] + SAMPLE[0x44:]
        check(saved_bytes(app, frame, "pasted.bin") == pasted, "Ctrl+V did not write bytes 12..15 over 40..43")

        # Ctrl+Z takes the paste back, Ctrl+Y does it again; Alt+Backspace
        # undoes as Ctrl+Z. The keys reach the control: after "SaveFile"
        # the view has the focus again.
        app.focus(frame)
        app.key("ctrl+z")
        check(saved_bytes(app, frame, "undone.bin") == SAMPLE, "Ctrl+Z did not restore bytes 40..43")
        state = edit_menu_enabled(app, "menu-undone")
        check(not state["Annulla"] and state["Ripristina"] and not state["Copia"],
              "the Modifica menu after the undo: %r" % state)
        app.focus(frame)
        app.key("ctrl+y")
        check(saved_bytes(app, frame, "redone.bin") == pasted, "Ctrl+Y did not paste again")
        app.focus(frame)
        app.key("alt+BackSpace", "Escape")
        check(saved_bytes(app, frame, "undone-alt.bin") == SAMPLE, "Alt+Backspace did not undo")


if __name__ == "__main__":
    main(globals())
