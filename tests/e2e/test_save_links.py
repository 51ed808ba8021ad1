#!/usr/bin/env python3
""""SaveFile" through links, seen from the Linux side: a save through a
symbolic link writes the file it points to (in another folder) and the link
stays a link; a save to one name of a hard-linked file gives that name the
new bytes, and the other name keeps the old ones (the save replaces the file
with a new one)."""

import os
import time

from commands import SAMPLE, SAVE_FILE, file_dialog, menu, new_file, only_frame
from harness import QXEdit, check, main, out_dir
from test_shell import settle


def save_as(app, frame, path, written):
    """"SaveFile" to path; waits until written (the path of the file that
    takes the bytes) holds the view's bytes."""
    menu(app, frame, SAVE_FILE)
    file_dialog(app, "Save As", path)
    only_frame(app)
    deadline = time.time() + 30
    while True:
        if os.path.exists(written):
            with open(written, "rb") as f:
                if f.read() == SAMPLE:
                    return
        check(time.time() < deadline, "SaveFile through %s did not write %s" % (path, written))
        time.sleep(0.1)


def test_save_through_a_symbolic_link_and_to_a_hard_linked_file():
    old = b"old bytes\n" * 50
    elsewhere = os.path.join(out_dir(), "elsewhere")
    os.makedirs(elsewhere, exist_ok=True)
    for name in os.listdir(elsewhere):
        os.remove(os.path.join(elsewhere, name))
    pointed = os.path.join(elsewhere, "pointed.bin")
    with open(pointed, "wb") as f:
        f.write(old)
    link = new_file("link.bin")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(os.path.join("elsewhere", "pointed.bin"), link)

    first = new_file("first name.bin", old)
    second = new_file("second name.bin")
    os.link(first, second)

    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")

        save_as(app, frame, link, pointed)
        check(os.path.islink(link), "the link became a regular file")
        check(os.readlink(link) == os.path.join("elsewhere", "pointed.bin"), "the link points elsewhere now")
        with open(link, "rb") as f:
            check(f.read() == SAMPLE, "the link does not reach the saved bytes")
        check(sorted(os.listdir(elsewhere)) == ["pointed.bin"], "left in the target's folder: %r"
              % sorted(os.listdir(elsewhere)))

        save_as(app, frame, first, first)
        with open(second, "rb") as f:
            check(f.read() == old, "the other name of the hard-linked file changed")
        check(os.stat(first).st_nlink == 1 and os.stat(second).st_nlink == 1,
              "the saved name still shares the old file")


if __name__ == "__main__":
    main(globals())
