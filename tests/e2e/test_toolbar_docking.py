#!/usr/bin/env python3
"""The toolbar is dragged off by its gripper to float in a tool window of
its own, then by that window's caption to the frame's left edge, where it
docks as a column of buttons; then back to the top. Floated again, a
double-click on its caption docks it at the top."""

import subprocess
import time

from commands import eventually
from harness import QXEdit, check, main, run

WHITE = (255, 255, 255)


def drag(x0, y0, x1, y1, steps=12):
    """Presses the left button at (x0, y0) on the screen, moves to (x1, y1)
    in steps and releases it there, as a hand on the mouse would."""
    run(["xdotool", "mousemove", str(x0), str(y0)])
    time.sleep(0.2)
    run(["xdotool", "mousedown", "1"])
    time.sleep(0.2)
    for i in range(1, steps + 1):
        x = x0 + (x1 - x0) * i // steps
        y = y0 + (y1 - y0) * i // steps
        run(["xdotool", "mousemove", str(x), str(y)])
        time.sleep(0.05)
    time.sleep(0.2)
    run(["xdotool", "mouseup", "1"])
    time.sleep(0.8)


def pixels(png, x, y, w, h):
    """The pixels of a rectangle of a PNG, row by row, as (r, g, b)."""
    out = subprocess.run(["convert", png, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
                          "-depth", "8", "rgb:-"], stdout=subprocess.PIPE, check=True).stdout
    px = [tuple(out[i:i + 3]) for i in range(0, len(out), 3)]
    return [px[r * w:(r + 1) * w] for r in range(h)]


def is_shadow(p):
    return p != WHITE and max(p) < 200


def find_vertical_gripper(png):
    """(x, y_top, y_bottom) of the horizontal toolbar's gripper near the
    frame's left edge: a raised line, a white column of at least 10 pixels
    with the shadow two pixels to its right."""
    rows = pixels(png, 0, 0, 16, 160)
    for x in range(14):
        run_start = None
        for y in range(160):
            if rows[y][x] == WHITE and is_shadow(rows[y][x + 2]):
                if run_start is None:
                    run_start = y
            else:
                if run_start is not None and y - run_start >= 10:
                    return x, run_start, y - 1
                run_start = None
    return None


def find_horizontal_gripper(png, y0, h):
    """The y of the vertical toolbar's gripper at the frame's left edge: a
    white row of at least 15 pixels on the button face, with the shadow two
    rows below."""
    rows = pixels(png, 0, y0, 40, h + 2)
    for y in range(1, h):
        n = sum(1 for x in range(40)
                if rows[y][x] == WHITE and rows[y - 1][x] != WHITE and is_shadow(rows[y + 2][x]))
        if n >= 15:
            return y0 + y
    return None


def yellow_in(png, x, y, w, h):
    """Whether the question mark's yellow is anywhere in the rectangle."""
    return any(r > 200 and g > 200 and b < 60 for row in pixels(png, x, y, w, h) for (r, g, b) in row)


def test_toolbar_floats_and_docks_on_the_left():
    with QXEdit() as app:
        frame = app.wait_window("QXEdit")
        time.sleep(1.5)
        fx, fy, fw, fh = app.geometry(frame)
        shot = app.screenshot("docked-top")
        grip = find_vertical_gripper(shot)
        check(grip is not None, "no toolbar gripper at the top left: %s" % shot)
        gx, gtop, gbottom = grip
        top_strip = (0, gtop - 4, 240, gbottom - gtop + 8)
        check(yellow_in(shot, *top_strip), "the question mark button is not in the top strip")

        # Gripper to the middle of the screen: the bar floats there.
        drop_x, drop_y = fx + fw // 2, fy + fh // 2
        drag(gx + 1, (gtop + gbottom) // 2, drop_x, drop_y)
        wins = [w for w in app.windows() if w != frame]
        shot = app.screenshot("floating")
        check(len(wins) == 1, "expected one floating window besides the frame, got %r" % wins)
        flo = wins[0]
        x, y, w, h = app.geometry(flo)
        check(100 < w < 400 and 20 < h < 80, "floating window is %dx%d" % (w, h))
        check(x <= drop_x <= x + w and y <= drop_y <= y + h,
              "floating window %r is not under the drop point %r" % ((x, y, w, h), (drop_x, drop_y)))
        check(not yellow_in(shot, *top_strip), "the top strip still shows the toolbar")
        check(yellow_in(shot, x, y, w, h), "the floating window shows no question mark")

        # Its caption to the frame's left edge: it docks there, upright.
        drag(x + 12, y + 5, fx + 12, fy + fh // 2)
        shot = app.screenshot("docked-left")
        wins = [w for w in app.windows() if w != frame]
        check(wins == [], "the floating window is still there: %r" % wins)
        client_top = gbottom + 10
        check(yellow_in(shot, 0, client_top, 40, 260), "no question mark in the left strip")
        check(not yellow_in(shot, 40, gtop - 4, 200, gbottom - gtop + 8),
              "the toolbar still lies across the top")
        # The gripper of the column lies across its top.
        ygrip = find_horizontal_gripper(shot, gtop - 4, 60)
        check(ygrip is not None, "no horizontal gripper at the top of the left strip")

        # Back to the top by the column's gripper.
        drag(12, ygrip + 1, fx + fw // 3, gtop + 2)
        shot = app.screenshot("docked-top-again")
        check(yellow_in(shot, *top_strip), "the toolbar did not go back to the top")
        check(not yellow_in(shot, 0, client_top + 30, 40, 200), "the left strip still shows the toolbar")

        # Floated once more, a double-click on its caption docks it where it
        # was, at the top.
        drag(gx + 1, (gtop + gbottom) // 2, drop_x, drop_y)
        wins = [w for w in app.windows() if w != frame]
        check(len(wins) == 1, "the toolbar did not float again: %r" % wins)
        x, y, w, h = app.geometry(wins[0])
        run(["xdotool", "mousemove", str(x + 12), str(y + 5), "sleep", "0.3", "click", "--repeat", "2",
             "--delay", "80", "1"])

        def docked_at_the_top():
            shot = app.screenshot("double-clicked")
            check([w for w in app.windows() if w != frame] == [], "the floating window stays after a double-click")
            check(yellow_in(shot, *top_strip), "the double-click did not dock the toolbar at the top")
        eventually(docked_at_the_top)
        rc = app.close()
        check(rc == 0, "QXEdit exited with %s" % rc)


if __name__ == "__main__":
    main(globals())
