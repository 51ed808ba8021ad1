#!/usr/bin/env python3
""""OpenFile" and "SaveFile" with the real common dialogs: a cancelled open
changes and shows nothing; a missing file and a read-only target are
refused in the framework's words with the whole path, and leave the view
and the file as they were; a 100-byte file shows 7 rows and is written back
byte for byte, also over a longer file, without a question."""

import os
import time

from commands import (OPEN_FILE, SAVE_FILE, bk, eventually, file_dialog, menu, message_box, new_file, only_frame,
                      saved_bytes, wait_gone, wait_top, win_path)
from harness import QXEdit, check, main
from test_keyboard import YELLOW, Grid
from test_shell import settle


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
        only_frame(app)

        def seven_rows():
            n, cells = rows_shown(g.shot("hundred"), g)
            check((n, cells) == (7, 4), "100 bytes show %d rows, the last with %d cells" % (n, cells))

        eventually(seven_rows)
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


if __name__ == "__main__":
    main(globals())
