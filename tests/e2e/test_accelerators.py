#!/usr/bin/env python3
"""The accelerators of QXEdit's frame: the two whose commands nothing
handles change no byte (the bytes saved through "SaveFile" after each);
Ctrl+S of the untitled document asks for a name in the framework's "Salva
con nome" dialog, and Cancel writes nothing; "&Esci" ends the program
without a question once the edits are saved. (The edit accelerators:
test_edit.py.)"""

import os
import time

from commands import SAMPLE, only_frame, saved_bytes, wait_gone, wait_top
from harness import QXEdit, check, main, out_dir
from test_shell import settle


# The accelerators whose commands nothing in the program handles.
UNHANDLED = ["F6", "shift+F6"]


def test_unhandled_accelerators_leave_the_bytes_and_exit_from_the_menu():
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")
        app.focus(frame)
        # Byte 0 becomes 0x7F; the caret then stands on byte 1, where Delete
        # or Insert reaching the control would set 0x00 or 0xFF.
        app.type("7f")
        expected = b"\x7f" + SAMPLE[1:]
        # Ctrl+S of the untitled document asks for a name; Cancel writes
        # nothing.
        app.focus(frame)
        app.key("ctrl+s")
        wait_top(app, "Salva con nome")
        app.screenshot("ctrl-s")
        listing = sorted(os.listdir(out_dir()))
        app.key("Escape")
        wait_gone(app, "Salva con nome")
        only_frame(app)
        check(sorted(os.listdir(out_dir())) == listing, "cancelling the save wrote a file")

        check(saved_bytes(app, frame, "keys-start.bin") == expected, "typing 7F did not make byte 0 0x7F")
        for i, combo in enumerate(UNHANDLED):
            app.focus(frame)
            app.key(combo)
            time.sleep(0.5)
            if combo.startswith("alt+"):
                # The Alt released alone enters the menu bar: leave it.
                app.key("Escape")
            only_frame(app)
            data = saved_bytes(app, frame, "keys-%d.bin" % i)
            check(data == expected, "%s changed byte(s) %r" % (
                combo, [k for k in range(len(data)) if k >= len(expected) or data[k] != expected[k]][:8]))

        # File > Esci ends the program, asking nothing.
        app.focus(frame)
        app.key("alt+f", "Return")
        rc = app.wait_exit(20)
        check(rc == 0, "QXEdit exited with %s after Esci" % rc)


if __name__ == "__main__":
    main(globals())
