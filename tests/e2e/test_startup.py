#!/usr/bin/env python3
"""QXEdit starts, shows its frame window and closes cleanly."""

from harness import QXEdit, check, main


def test_frame_appears_and_closes():
    with QXEdit() as app:
        frame = app.wait_window("QXEdit")
        title = app.window_name(frame)
        check("QXEdit" in title, "frame title %r lacks QXEdit" % title)
        x, y, w, h = app.geometry(frame)
        check(w >= 200 and h >= 150, "frame is only %dx%d" % (w, h))
        app.screenshot("started")
        rc = app.close()
        check(rc == 0, "QXEdit exited with %s" % rc)


if __name__ == "__main__":
    main(globals())
