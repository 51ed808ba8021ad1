#!/usr/bin/env python3
"""A long open and a long save in QXEdit show their progress: a 512 MiB file
(sparse; QX_PROGRESS_MIB=1024 for 1 GiB) opened with Ctrl+O shows the
"Loading" window over the frame, with the file's name and a Cancel button;
Escape cancels it without a message, the view and the title as they were;
opened again it loads, and saved with Ctrl+S it shows "Saving" and writes
every byte. Where the machine reads and writes so fast that the work ends
within half a second, no window shows and this test says so and skips."""

import os
import sys
import time

from commands import file_dialog, new_file, only_frame, type_file_name, wait_gone, win_path
from harness import QXEdit, check, main
from test_keyboard import Grid
from test_shell import settle, tree

SIZE = int(os.environ.get("QX_PROGRESS_MIB", "512")) << 20


def progress_window(app, title, timeout):
    """The progress window's X id once it shows; None when it did not show
    within timeout seconds."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        wins = app.windows(name="^%s$" % title)
        if wins:
            return wins[0]
        time.sleep(0.1)
    return None


def check_progress(app, title, path, may_end=False):
    """The window's lines: the file's name, the bytes, a bar and a Cancel
    button (unless may_end and the work ended meanwhile)."""
    kids = [w for w in tree(app, title) if w["parent"] != "0"]
    if may_end and not kids:
        return
    texts = [w["text"] for w in kids]
    check(win_path(path) in texts, "the %s window does not name the file: %r" % (title, texts))
    check("Cancel" in texts, "the %s window has no Cancel button: %r" % (title, texts))
    check(any(w["class"] == "msctls_progress32" for w in kids), "the %s window has no progress bar" % title)
    check(any(" of {:,} bytes (".format(SIZE) in t for t in texts),
          "the %s window shows no byte count: %r" % (title, texts))


def test_long_open_and_save_show_progress():
    big = new_file("big.bin")
    with open(big, "wb") as f:
        f.truncate(SIZE)
    saved = new_file("big-saved.bin")
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")
        g = Grid(app)
        start = g.shot("start")
        title = app.window_name(frame)

        # Cancelled: nothing changes, nothing is said.
        app.focus(frame)
        app.key("ctrl+o")
        file_dialog(app, "Apri", big)
        win = progress_window(app, "Loading", 30)
        if win is None:
            print("the load ended within half a second: no progress window to see here")
            sys.exit(77)
        check_progress(app, "Loading", big)
        time.sleep(0.6)
        app.screenshot("progress-load-cancel")
        app.key("Escape")
        wait_gone(app, "Loading")
        only_frame(app)
        check(app.window_name(frame) == title, "the cancelled open changed the title: %r" % app.window_name(frame))
        check(g.shot("cancelled").differs(start, g.control(), g.digits(2, 0)) is None,
              "the cancelled open changed the view")

        # Opened to its end.
        app.focus(frame)
        app.key("ctrl+o")
        file_dialog(app, "Apri", big)
        if progress_window(app, "Loading", 30):
            time.sleep(0.6)   # painted, and the host repainted under it
            app.screenshot("progress-load")
        wait_gone(app, "Loading", timeout=300)
        app.wait_window("big.bin - QXEdit", timeout=60)

        # Saved: every byte.
        app.focus(frame)
        app.key("ctrl+s")
        type_file_name(app, "Save As", saved)
        # A save can be short: the picture first, then the lines.
        if progress_window(app, "Saving", 30):
            time.sleep(0.6)
            app.screenshot("progress-save")
            check_progress(app, "Saving", saved, may_end=True)
        wait_gone(app, "Saving", timeout=300)
        only_frame(app, timeout=60)
        check(os.path.getsize(saved) == SIZE, "the save wrote %d bytes" % os.path.getsize(saved))
    for path in (big, saved):
        os.remove(path)


if __name__ == "__main__":
    main(globals())
