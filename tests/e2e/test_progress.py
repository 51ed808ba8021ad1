#!/usr/bin/env python3
"""A long open and a long save in QXEdit show their progress: a 512 MiB file
(sparse; QX_PROGRESS_MIB=1024 for 1 GiB) opened with Ctrl+O shows the
"Loading" window over the frame, with the file's name and a Cancel button;
Escape cancels it without a message, the view and the title as they were;
opened again it loads, and saved under a new name with "SaveFile" it shows
"Saving" and writes every byte.

The files lie in a folder served at a pace the test sets (slowfs.py): while
the test looks at a window the work moves at 8 MiB a second, a minute for
the file, so the window is there to be seen on any machine; then the pace is
lifted and the work runs to its end as fast as the machine goes.

A WM_CLOSE posted to the frame (as another program's close posts it) during
a long save over an existing file waits for the save's end, then ends the
program: the file holds the saved bytes and no temporary file is left."""

import os
import time

from commands import OPEN_FILE, SAVE_FILE, eventually, file_dialog, menu, only_frame, type_file_name, wait_gone, win_path
from harness import QXEdit, check, main, out_dir
from slowfs import SlowFolder
from test_keyboard import Grid
from test_shell import settle, tree, wintree

WM_CLOSE = 0x10

SIZE = int(os.environ.get("QX_PROGRESS_MIB", "512")) << 20
# Slow enough that the work lasts far longer than the test takes to look at
# its window (the window shows after half a second of work).
LOOKING_PACE = 8 << 20


def progress_window(app, title, timeout=30):
    """The progress window's X id once it shows (it must: the work is paced
    to last a minute)."""
    deadline = time.time() + timeout
    while True:
        wins = app.windows(name="^%s$" % title)
        if wins:
            return wins[0]
        check(time.time() < deadline, "no %s window within %ds" % (title, timeout))
        time.sleep(0.1)


def check_progress(app, title, path):
    """The window's lines: the file's name, the bytes, a bar and a Cancel
    button (a window just shown may take a moment to be listed whole)."""
    eventually(lambda: progress_lines(app, title, path))


def progress_lines(app, title, path):
    kids = [w for w in tree(app, title) if w["parent"] != "0"]
    texts = [w["text"] for w in kids]
    check(win_path(path) in texts, "the %s window does not name the file: %r" % (title, texts))
    check("Cancel" in texts, "the %s window has no Cancel button: %r" % (title, texts))
    check(any(w["class"] == "msctls_progress32" for w in kids), "the %s window has no progress bar" % title)
    check(any(" of {:,} bytes (".format(SIZE) in t for t in texts),
          "the %s window shows no byte count: %r" % (title, texts))


def test_long_open_and_save_show_progress():
    backing = os.path.join(out_dir(), "progress-backing")
    folder = os.path.join(out_dir(), "progress-slow")
    with SlowFolder(backing, folder) as fs:
        for name in os.listdir(backing):
            os.remove(os.path.join(backing, name))
        with open(os.path.join(backing, "big.bin"), "wb") as f:
            f.truncate(SIZE)
        big = os.path.join(folder, "big.bin")
        saved = os.path.join(folder, "big-saved.bin")
        with QXEdit() as app:
            settle(app)
            frame = app.wait_window("QXEdit")
            g = Grid(app)
            start = g.shot("start")
            title = app.window_name(frame)

            # Cancelled: nothing changes, nothing is said.
            fs.pace(LOOKING_PACE)
            app.focus(frame)
            app.key("ctrl+o")
            file_dialog(app, "Apri", big)
            progress_window(app, "Loading")
            check_progress(app, "Loading", big)
            time.sleep(0.6)   # painted, and the host repainted under it
            app.screenshot("progress-load-cancel")
            app.key("Escape")
            wait_gone(app, "Loading")
            only_frame(app)
            check(app.window_name(frame) == title, "the cancelled open changed the title: %r" % app.window_name(frame))
            check(g.shot("cancelled").differs(start, g.control(), g.digits(2, 0)) is None,
                  "the cancelled open changed the view")

            # Opened to its end.
            fs.pace(LOOKING_PACE)
            app.focus(frame)
            app.key("ctrl+o")
            file_dialog(app, "Apri", big)
            progress_window(app, "Loading")
            time.sleep(0.6)
            app.screenshot("progress-load")
            fs.pace(None)
            wait_gone(app, "Loading", timeout=300)
            app.wait_window("big.bin - QXEdit", timeout=60)

            # Saved: every byte.
            fs.pace(LOOKING_PACE)
            app.focus(frame)
            menu(app, frame, SAVE_FILE)
            type_file_name(app, "Save As", saved)
            progress_window(app, "Saving")
            check_progress(app, "Saving", saved)
            time.sleep(0.6)
            app.screenshot("progress-save")
            fs.pace(None)
            wait_gone(app, "Saving", timeout=300)
            only_frame(app, timeout=60)
            check(os.path.getsize(saved) == SIZE, "the save wrote %d bytes" % os.path.getsize(saved))
        for name in os.listdir(backing):
            os.remove(os.path.join(backing, name))


def post_close_to_frame(app):
    frames = [w for w in tree(app, "QXEdit") if w["parent"] == "0" and w["text"].endswith("- QXEdit")]
    check(frames, "no QXEdit frame to close")
    wintree(app, "post", frames[0]["hwnd"], WM_CLOSE)


class CloseFolder:
    """A paced folder with big.bin (SIZE bytes) and old.bin (a small file
    that a save over it must leave whole when it ends early)."""
    OLD = bytes(range(256)) * 16

    def __init__(self, name):
        self.backing = os.path.join(out_dir(), name + "-backing")
        self.folder = os.path.join(out_dir(), name + "-slow")
        self.fs = SlowFolder(self.backing, self.folder)

    def __enter__(self):
        self.fs.__enter__()
        for name in os.listdir(self.backing):
            os.remove(os.path.join(self.backing, name))
        with open(os.path.join(self.backing, "big.bin"), "wb") as f:
            f.truncate(SIZE)
        with open(os.path.join(self.backing, "old.bin"), "wb") as f:
            f.write(self.OLD)
        self.big = os.path.join(self.folder, "big.bin")
        self.old = os.path.join(self.folder, "old.bin")
        return self

    def __exit__(self, *exc):
        for name in os.listdir(self.backing):
            os.remove(os.path.join(self.backing, name))
        return self.fs.__exit__(*exc)


def test_posted_close_during_a_long_save_waits_for_it_then_ends_the_program():
    # The last test of the script: the program ends by itself here, and a
    # program started after such an end exits at once under the harness.
    with CloseFolder("progress-close-save") as files:
        with QXEdit() as app:
            settle(app)
            frame = app.wait_window("QXEdit")
            files.fs.pace(None)
            # Opened through Function > OpenFile, whose dialog is the
            # old-style one: the shell's dialog of Ctrl+O completes a typed
            # name from the folder's files, and this folder holds two.
            menu(app, frame, OPEN_FILE)
            file_dialog(app, "Open", files.big)
            # Loaded at full speed: the title names the file once every byte
            # is in. (The load may begin only after the dialog has gone, so
            # no Loading window seen yet does not mean it is over.)
            # The title is read from each window: a search by name also
            # matched a window whose title was still "Senza titolo".
            def loaded():
                titled = [w for w in app.windows() if app.window_name(w) == "big.bin - QXEdit"]
                check(titled, "big.bin not loaded yet: %r" % [app.window_name(w) for w in app.windows()])
                return titled[0]
            frame = eventually(loaded, timeout=300)
            wait_gone(app, "Loading", timeout=300)
            files.fs.pace(LOOKING_PACE)
            menu(app, frame, SAVE_FILE)
            type_file_name(app, "Save As", files.old)
            progress_window(app, "Saving")
            post_close_to_frame(app)
            # The close waits for the save: the window stays and the program
            # runs on while the bytes still move at the looking pace.
            check(app.windows(name="^Saving$") and app.running(), "the posted close cut the save short")
            files.fs.pace(None)
            rc = app.wait_exit(120)
            check(rc == 0, "QXEdit ended with %r after the close posted during the save" % rc)
        names = sorted(os.listdir(files.backing))
        check(names == ["big.bin", "old.bin"], "after the save the folder holds %r" % names)
        check(os.path.getsize(os.path.join(files.backing, "old.bin")) == SIZE,
              "old.bin does not hold the saved bytes")


if __name__ == "__main__":
    main(globals())
