#!/usr/bin/env python3
"""A WM_CLOSE posted to QXEdit's frame (as another program's close posts it)
during a long load waits for the load's end, then ends the program as a
close does: nothing edited, so nothing is asked, and the file read is left
as it was. (The close during a save: test_progress.py. Each test here ends
the program by itself, which under the harness must be a script's last.)"""

import os

from commands import file_dialog
from harness import QXEdit, check, main
from test_progress import LOOKING_PACE, SIZE, CloseFolder, post_close_to_frame, progress_window
from test_shell import settle


def test_posted_close_during_a_long_load_waits_for_it_then_ends_the_program():
    with CloseFolder("close-during-load") as files:
        with QXEdit() as app:
            settle(app)
            frame = app.wait_window("QXEdit")
            files.fs.pace(LOOKING_PACE)
            app.focus(frame)
            app.key("ctrl+o")
            file_dialog(app, "Apri", files.big)
            progress_window(app, "Loading")
            post_close_to_frame(app)
            # The load goes on at the looking pace: its window stays and
            # the program runs on.
            check(app.windows(name="^Loading$") and app.running(), "the posted close cut the load short")
            files.fs.pace(None)
            rc = app.wait_exit(120)
            check(rc == 0, "QXEdit ended with %r after the close posted during the load" % rc)
        names = sorted(os.listdir(files.backing))
        check(names == ["big.bin", "old.bin"], "after the load the folder holds %r" % names)
        check(os.path.getsize(os.path.join(files.backing, "big.bin")) == SIZE, "the load changed big.bin")


if __name__ == "__main__":
    main(globals())
