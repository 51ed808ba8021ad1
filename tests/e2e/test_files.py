#!/usr/bin/env python3
""""OpenFile" and "SaveFile" with the real common dialogs: a cancelled open
changes and shows nothing; a missing file and a read-only target are
refused in the framework's words with the whole path, and leave the view
and the file as they were; a 100-byte file shows 7 rows and is written back
byte for byte, also over a longer file, without a question. Ctrl+O shows
the file it opens, Ctrl+S saves what the view shows to that file without a
dialog, and a file the control cannot read leaves the view and the title as
they were. Edits are asked about before closing, Ctrl+N or Ctrl+O drop
them: Cancel keeps them, No drops them, Yes saves them to the document's
file."""

import os
import time

from commands import (CANCEL, NO, OPEN_FILE, SAVE_FILE, YES, bk, eventually, file_dialog, menu, message_box,
                      new_file, only_frame, question, saved_bytes, wait_file, wait_gone, wait_top, win_path)
from harness import QXEdit, check, main, out_dir
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
        only_frame(app)

        def holds_the_hundred():
            with open(longer, "rb") as f:
                check(f.read() == hundred, "the longer file does not hold exactly the 100 bytes")
        eventually(holds_the_hundred)

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


def save_with_ctrl_s(app, frame, path):
    """Ctrl+S with no dialog: returns once the file under that name is a new
    one (the control writes a file beside it and renames it)."""
    before = os.stat(path).st_ino
    app.focus(frame)
    app.key("ctrl+s")
    deadline = time.time() + 30
    while os.stat(path).st_ino == before:
        check(time.time() < deadline, "Ctrl+S did not write %s" % path)
        time.sleep(0.1)
    only_frame(app)
    with open(path, "rb") as f:
        return f.read()


def test_ctrl_o_shows_the_file_and_ctrl_s_saves_it_there():
    thousand = bytes((i * 13 + 5) % 256 for i in range(1000))
    src = new_file("thousand.bin", thousand)
    other = new_file("other.bin", thousand)
    too_big = new_file("too-big.bin")
    with open(too_big, "wb") as f:
        f.truncate(1 << 31)   # sparse: one byte more than the control holds
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")

        app.key("ctrl+o")
        file_dialog(app, "Apri", src)
        only_frame(app)
        app.wait_window("thousand.bin - QXEdit", timeout=30)
        # Saved over itself it keeps exactly its bytes.
        check(save_with_ctrl_s(app, frame, src) == thousand, "Ctrl+S did not keep the file's 1000 bytes")

        # An edited byte, then Ctrl+N: the question names the file; Yes
        # saves it there without a dialog, and the new document follows.
        app.focus(frame)
        app.type("ab")
        app.key("ctrl+n")
        text = question(app, YES)
        check(text == "Salvare le modifiche a thousand.bin?", "the question is %r" % text)
        wait_file(src, b"\xab" + thousand[1:], "Yes did not save the edited byte to thousand.bin")
        app.wait_window("Senza titolo - QXEdit", timeout=30)
        only_frame(app)

        # Ctrl+O, an edited byte, Ctrl+S: written to the file, no dialog.
        app.focus(frame)
        app.key("ctrl+o")
        file_dialog(app, "Apri", other)
        app.wait_window("other.bin - QXEdit", timeout=30)
        app.focus(frame)
        app.type("cd")
        edited = b"\xcd" + thousand[1:]
        check(save_with_ctrl_s(app, frame, other) == edited, "Ctrl+S did not write the edited byte to other.bin")

        # A file the control cannot hold: its message; the view and the
        # title stay.
        app.focus(frame)
        app.key("ctrl+o")
        file_dialog(app, "Apri", too_big)
        text = message_box(app)
        check(text == "Il file \xe8 troppo grande per essere aperto.", "the box says %r" % text)
        only_frame(app)
        check("other.bin" in app.window_name(frame), "the title is %r" % app.window_name(frame))
        check(saved_bytes(app, frame, "after-refused.bin") == edited, "the refused open changed the bytes")
        # Everything saved: closing asks nothing.
        rc = app.close()
        check(rc == 0, "QXEdit exited with %s" % rc)


def test_closing_asks_about_edits_cancel_keeps_them_no_drops_them():
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")
        listing = sorted(os.listdir(out_dir()))
        app.focus(frame)
        app.type("ab")
        app.key("alt+F4")
        text = question(app, CANCEL)
        check(text == "Salvare le modifiche a Senza titolo?", "the question is %r" % text)
        only_frame(app)
        check(app.running(), "Cancel ended the program")

        app.focus(frame)
        app.key("alt+F4")
        question(app, NO)
        rc = app.wait_exit(20)
        check(rc == 0, "QXEdit exited with %s after No" % rc)
        check(sorted(os.listdir(out_dir())) == listing, "No wrote a file")


if __name__ == "__main__":
    main(globals())
