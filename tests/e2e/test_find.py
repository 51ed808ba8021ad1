#!/usr/bin/env python3
"""QXEdit's find and go-to, as a person uses them: "Trova..." (Ctrl+F)
finds hex digit pairs in the hex column and text in the character column,
with the find dialog's match-case box; Enter in the dialog and F3 go on to
the next hit, Shift+F3 back; a pattern not found and a text that is no hex
get their messages. "Vai a..." (Ctrl+G) moves the caret to an offset typed
in hexadecimal or decimal and refuses what is no offset of the block. The
status bar's offset pane and the title's "*" follow keys, clicks, undo and
a save ("SaveFile"). What the pane says is read from the status bar through wintree."""

import re
import time

from commands import SAVE_FILE, menu, message_box, new_file, type_file_name, wait_gone, wait_top
from harness import QXEdit, check, main
from test_mouse import Screen, xdo
from test_shell import settle, tree, wintree

FIND_EDIT, FIND_MATCH_CASE = 0x480, 0x411
GOTO_DEC = 1003


def shown(text):
    """A text as wintree shows it: double quotes come as blanks."""
    return text.replace('"', " ")


def offset_pane(app):
    """The text of the status bar's offset pane (the second)."""
    bars = [w for w in tree(app) if w["class"] == "msctls_statusbar32"]
    check(len(bars) == 1, "one status bar, not %d" % len(bars))
    # A bar being repainted may not answer at once: the caller asks again.
    panes = wintree(app, "panes", bars[0]["hwnd"], check_rc=False).splitlines()
    return panes[1] if len(panes) > 1 else None


def pane_shows(app, expected, what, timeout=20):
    """Waits until the offset pane shows `expected` (a string, or a compiled
    pattern it must match whole)."""
    deadline = time.time() + timeout
    while True:
        text = offset_pane(app)
        ok = expected.fullmatch(text or "") if hasattr(expected, "fullmatch") else text == expected
        if ok:
            return text
        if time.time() > deadline:
            app.screenshot("pane-" + re.sub(r"\W+", "-", what))
            check(False, "%s: the offset pane shows %r, not %r" % (what, text, expected))
        time.sleep(0.3)


def title_is(app, frame, expected, what, timeout=20):
    deadline = time.time() + timeout
    while app.window_name(frame) != expected:
        check(time.time() < deadline, "%s: the title is %r, not %r" % (what, app.window_name(frame), expected))
        time.sleep(0.3)


def find_dialog(app, timeout=30):
    """The find dialog once its text box has the focus (a click puts it
    there): (dialog, its windows)."""
    deadline = time.time() + timeout
    while True:
        wins = tree(app, "")
        for dlg in [w for w in wins if w["parent"] == "0" and w["class"] == "#32770"]:
            kids = [w for w in wins if w["parent"] == dlg["hwnd"]]
            box = [w for w in kids if w["id"] == FIND_EDIT and w["class"] == "Edit"]
            if box and box[0]["focus"] == "1":
                return dlg, kids
            if box and time.time() > deadline - timeout + 2:
                click_window(box[0])
        check(time.time() < deadline, "no find dialog with the focus in its text box")
        time.sleep(0.3)


def find_dialog_up(app):
    return any(w["parent"] == "0" and w["class"] == "#32770" and
               any(k["id"] == FIND_EDIT for k in tree(app, "") if k["parent"] == w["hwnd"])
               for w in tree(app, ""))


def type_in_find_box(app, text):
    """Replaces the find dialog's text and presses Find Next (Enter)."""
    dlg, kids = find_dialog(app)
    app.key("End", *(["BackSpace"] * 12))
    app.type(text)
    deadline = time.time() + 15
    while [w["text"] for w in tree(app, "") if w["id"] == FIND_EDIT and w["parent"] == dlg["hwnd"]] != [text]:
        check(time.time() < deadline, "the find box does not show %r" % text)
        time.sleep(0.3)
    app.key("Return")
    return dlg, kids


def close_find_dialog(app):
    """Escape in the find dialog closes it (and leaves the frame the one
    window the harness closes)."""
    find_dialog(app)
    app.key("Escape")
    deadline = time.time() + 20
    while find_dialog_up(app):
        check(time.time() < deadline, "Escape did not close the find dialog")
        time.sleep(0.3)


def click_window(w):
    left, top, right, bottom = w["window"]
    xdo("mousemove", (left + right) // 2, (top + bottom) // 2, "click", 1)


def test_find_hex_and_text_next_previous_and_not_found():
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")
        s = Screen(app)
        pane_shows(app, "Offset 0x0 (0) of 4096: 00", "at the start")

        # In the hex column: digit pairs, blanks between them.
        app.focus(frame)
        app.key("ctrl+f")
        type_in_find_box(app, "41 42")
        pane_shows(app, "Offset 0x42 (66) of 4096: 42, 2 bytes selected", "41 42 found")
        app.key("Return")
        pane_shows(app, "Offset 0x142 (322) of 4096: 42, 2 bytes selected", "Find Next in the dialog")
        app.screenshot("found-41-42")
        # Not digit pairs: a message, and the dialog stays.
        type_in_find_box(app, "4 1G")
        text = message_box(app)
        check(shown("\"4 1G\" non \xe8 una sequenza di byte esadecimali") in text, "the message is %r" % text)
        check(find_dialog_up(app), "the find dialog went with the message")
        pane_shows(app, "Offset 0x142 (322) of 4096: 42, 2 bytes selected", "after the refused text")
        close_find_dialog(app)

        # F3 goes on, Shift+F3 goes back, past the first hit nothing.
        app.focus(frame)
        app.key("F3")
        pane_shows(app, "Offset 0x242 (578) of 4096: 42, 2 bytes selected", "F3")
        app.key("shift+F3")
        pane_shows(app, "Offset 0x142 (322) of 4096: 42, 2 bytes selected", "Shift+F3")
        app.key("shift+F3")
        pane_shows(app, "Offset 0x42 (66) of 4096: 42, 2 bytes selected", "Shift+F3 again")
        app.key("shift+F3")
        text = message_box(app)
        check(text == shown("Impossibile trovare \"41 42\" prima del cursore."), "the message is %r" % text)
        pane_shows(app, "Offset 0x42 (66) of 4096: 42, 2 bytes selected", "nothing before the first hit")

        # In the character column: the text's bytes, either case unless the
        # box says otherwise.
        x, y = s.chr_xy(0, 0)
        xdo("mousemove", x, y, "click", 1)
        pane_shows(app, "Offset 0x0 (0) of 4096: 00", "a click on the first character")
        app.key("ctrl+f")
        dlg, kids = type_in_find_box(app, "aBc")
        pane_shows(app, "Offset 0x43 (67) of 4096: 43, 3 bytes selected", "aBc found as ABC")
        app.key("Return")
        pane_shows(app, "Offset 0x63 (99) of 4096: 63, 3 bytes selected", "aBc found as abc")
        app.screenshot("found-abc")
        click_window([w for w in kids if w["id"] == FIND_MATCH_CASE][0])
        type_in_find_box(app, "aBc")
        text = message_box(app)
        check(text == shown("Impossibile trovare \"aBc\" dopo il cursore."), "the message is %r" % text)
        pane_shows(app, "Offset 0x63 (99) of 4096: 63, 3 bytes selected", "aBc not found with its case")
        close_find_dialog(app)


def test_go_to_an_offset_in_hex_and_in_decimal_and_a_bad_one():
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")
        pane_shows(app, "Offset 0x0 (0) of 4096: 00", "at the start")
        app.focus(frame)
        app.key("ctrl+g")
        wait_top(app, "Vai a")
        # The box starts with the caret's offset selected: typing replaces it.
        app.type("0x1A2")
        app.key("Return")
        wait_gone(app, "Vai a")
        pane_shows(app, "Offset 0x1A2 (418) of 4096: A2", "gone to 0x1A2")

        app.key("ctrl+g")
        dlg = wait_top(app, "Vai a")
        app.type("1000")
        click_window([w for w in tree(app, "Vai a") if w["id"] == GOTO_DEC][0])
        app.key("Return")
        wait_gone(app, "Vai a")
        pane_shows(app, "Offset 0x3E8 (1000) of 4096: E8", "gone to 1000")

        # Past the last byte, then no number: each refused, the dialog stays.
        app.key("ctrl+g")
        wait_top(app, "Vai a")
        app.type("1000")
        app.key("Return")
        text = message_box(app)
        check(text == "L'offset 0x1000 (4096) \xe8 oltre l'ultimo byte, 0xFFF (4095).", "the message is %r" % text)
        wait_top(app, "Vai a")
        app.type("12x")
        app.key("Return")
        text = message_box(app)
        check(text.startswith(shown("\"12x\" non \xe8 un offset esadecimale")), "the message is %r" % text)
        wait_top(app, "Vai a")
        app.key("Escape")
        wait_gone(app, "Vai a")
        pane_shows(app, "Offset 0x3E8 (1000) of 4096: E8", "after the refused offsets")


def test_the_offset_pane_and_the_title_mark_follow_keys_clicks_undo_and_a_save():
    with QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")
        s = Screen(app)
        title_is(app, frame, "Senza titolo - QXEdit", "at the start")
        pane_shows(app, "Offset 0x0 (0) of 4096: 00", "at the start")
        app.focus(frame)
        app.type("7")
        pane_shows(app, "Offset 0x0 (0) of 4096: 70, modified", "7 typed")
        title_is(app, frame, "*Senza titolo - QXEdit", "7 typed")
        x, y = s.hex_xy(2, 5)
        xdo("mousemove", x, y, "click", 1)
        pane_shows(app, "Offset 0x25 (37) of 4096: 25, modified", "a click on byte 0x25")
        app.key("ctrl+a")
        pane_shows(app, re.compile(r"Offset 0x[0-9A-F]+ \(\d+\) of 4096(: [0-9A-F]{2})?, 4096 bytes selected, "
                                   r"modified"), "every byte selected")
        app.key("Home")
        pane_shows(app, "Offset 0x0 (0) of 4096: 70, modified", "Home")
        # Saved under a name ("SaveFile" names the document): the mark goes
        # from the title and the pane.
        path = new_file("status.bin")
        menu(app, frame, SAVE_FILE)
        type_file_name(app, "Save As", path)
        wait_gone(app, "Save As")
        title_is(app, frame, "status.bin - QXEdit", "saved")
        pane_shows(app, re.compile(r"Offset 0x[0-9A-F]+ \(\d+\) of 4096(: [0-9A-F]{2})?"), "saved")
        with open(path, "rb") as f:
            check(f.read(1) == b"\x70", "the saved file does not begin with 0x70")
        # An edit marks it again; its undo brings back the saved bytes.
        xdo("mousemove", x, y, "click", 1)
        app.type("e")
        pane_shows(app, "Offset 0x25 (37) of 4096: E5, modified", "e typed")
        title_is(app, frame, "*status.bin - QXEdit", "e typed")
        app.key("ctrl+z")
        pane_shows(app, "Offset 0x25 (37) of 4096: 25", "the edit undone")
        title_is(app, frame, "status.bin - QXEdit", "the edit undone")


if __name__ == "__main__":
    main(globals())
