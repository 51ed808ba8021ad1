"""What the end-to-end tests of QXEdit's commands share: the Function menu
and the toolbar's buttons as a person reaches them, the common file dialogs
filled in by typing, the framework's message boxes read and its question
about unsaved edits answered, the bytes of the view saved through
"SaveFile", and where the caret stands."""

import os
import time

from harness import check, out_dir, run
from test_shell import tree

SAMPLE = bytes(i % 256 for i in range(4096))

# The Function menu's items, top to bottom (separators are skipped by the
# arrow keys).
OPEN_FILE, SAVE_FILE, SET_00, SET_FF, DIALOG_SAMPLE = range(5)
# The toolbar's items: Open, Save, separator, 00, FF, separator, ?.
TOOLBAR_ITEMS = {OPEN_FILE: 0, SAVE_FILE: 1, SET_00: 3, SET_FF: 4}

DIALOG_TITLE = "Test Hex Editor in Dialog"


def bk(pic, g, line, cell):
    """The background of a hex cell: its low digit's bottom-right pixel, which
    no digit's ink and no caret on the high digit reaches."""
    x0, x1, y0, y1 = g.digits(line, cell)
    return pic.at(x1 - 1, y1 - 1)


def eventually(what, timeout=20):
    """Runs what() until it raises no check failure (the program may be slow
    to paint on a busy machine); then returns its result, else raises the
    last failure."""
    deadline = time.time() + timeout
    while True:
        try:
            return what()
        except AssertionError:
            if time.time() > deadline:
                raise
            time.sleep(0.5)


def win_path(path):
    """The Windows name of a Linux path (Wine's drive Z: is /)."""
    return "Z:" + path.replace("/", "\\")


def new_file(name, data=None):
    """A path in the test's own directory; written with data when given."""
    path = os.path.join(out_dir(), name)
    if os.path.exists(path):
        os.chmod(path, 0o644)
        os.remove(path)
    if data is not None:
        with open(path, "wb") as f:
            f.write(data)
    return path


def menu(app, frame, item):
    """Chooses an item of the Function menu: a click on "Function" in the
    menu bar opens it; once it shows, Down goes to its first item and on
    to the one wanted, Enter chooses it. (No key is pressed before the menu
    shows: a key the menu did not take would reach the control.)"""
    top = [w for w in tree(app) if w["parent"] == "0"]
    check(len(top) == 1, "one frame, not %d" % len(top))
    left, client_top = top[0]["client"][:2]
    # "Function" is the fourth item of the menu bar, just above the client
    # area: after "File", "Modifica" and "Visualizza", about 166 to 213
    # pixels in.
    x, y = left + 190, client_top - 9
    for attempt in range(2):
        run(["xdotool", "mousemove", str(x), str(y), "sleep", "0.2", "click", "1"])
        deadline = time.time() + 20
        while time.time() < deadline:
            if [w for w in tree(app, "") if w["class"] == "#32768" and w["visible"] == "1"]:
                app.key(*(["Down"] * (item + 1)), "Return")
                run(["xdotool", "mousemove", str(x + 600), str(y + 700)])
                return
            time.sleep(0.3)
        app.key("Escape", "Escape")
    check(False, "the Function menu did not open")


def toolbar(app, item):
    """Clicks a button of the toolbar (docked at the top). Buttons are
    23 pixels wide and separators 8; the client area starts after the
    gripper."""
    bar = [w for w in tree(app) if w["class"] == "ToolbarWindow32"]
    check(len(bar) == 1, "one toolbar, not %d" % len(bar))
    left, top, right, bottom = bar[0]["client"]
    check(right - left == 5 * 23 + 2 * 8, "toolbar client is %d wide" % (right - left))
    n = TOOLBAR_ITEMS[item]
    x = left + 23 * n - (23 - 8) * (n > 2) - (23 - 8) * (n > 5) + 11
    y = (top + bottom) // 2
    run(["xdotool", "mousemove", str(x), str(y), "sleep", "0.2", "click", "1"])
    time.sleep(0.4)
    # Away from the toolbar, so that no tooltip covers the picture.
    run(["xdotool", "mousemove", str(x + 400), str(y + 600)])
    time.sleep(0.3)


def top_windows(app, title):
    return [w for w in tree(app, title) if w["parent"] == "0" and w["text"] == title]


def wait_top(app, title, timeout=45):
    """Waits for a top-level window of the program with exactly this title;
    returns its tree entry."""
    deadline = time.time() + timeout
    while True:
        wins = top_windows(app, title)
        if wins:
            return wins[0]
        if time.time() > deadline:
            app.screenshot("no-" + title.replace(" ", "-"))
            check(False, "no window %r within %ds" % (title, timeout))
        time.sleep(0.3)


def wait_gone(app, title, timeout=30):
    deadline = time.time() + timeout
    while top_windows(app, title):
        check(time.time() < deadline, "window %r stays" % title)
        time.sleep(0.3)


def only_frame(app, timeout=30):
    """Waits until the frame is the program's only visible window."""
    deadline = time.time() + timeout
    while len(app.windows()) != 1:
        check(time.time() < deadline,
              "windows besides the frame: %r" % [app.window_name(w) for w in app.windows()])
        time.sleep(0.3)


def type_file_name(app, title, path):
    """Fills the open or save dialog as a person does: waits until its file
    name box has the focus (with "*.*" selected), types the path over it,
    and presses Enter once the box shows it."""
    name = win_path(path)
    deadline = time.time() + 45
    while True:
        dlg = wait_top(app, title)
        box = [w for w in tree(app, title) if w["parent"] != "0" and w["focus"] == "1"
               and w["class"] in ("Edit", "ComboBox")]
        if box:
            break
        check(time.time() < deadline, "the file name box of %r never had the focus" % title)
        time.sleep(0.3)
    app.type(name, delay_ms=8)
    for attempt in range(3):
        deadline = time.time() + 15
        while time.time() < deadline:
            shown = [w["text"] for w in tree(app, title) if w["parent"] != "0" and w["focus"] == "1"]
            if name in shown:
                app.key("Return")
                return dlg
            time.sleep(0.3)
        # Keys lost on the way: the box gets the name again.
        app.key("ctrl+a")
        app.type(name, delay_ms=20)
    check(False, "the file name box of %r does not show %r" % (title, name))


def file_dialog(app, title, path):
    type_file_name(app, title, path)
    wait_gone(app, title)


def message_box(app, timeout=45):
    """Waits for the framework's message box (captioned "QXEdit"); returns
    its text and closes it with Enter."""
    box = wait_top(app, "QXEdit", timeout)
    texts = [w["text"] for w in tree(app, "QXEdit")
             if w["parent"] == box["hwnd"] and w["class"] == "Static" and w["text"]]
    check(texts, "the message box has no text")
    app.key("Return")
    wait_gone(app, "QXEdit")
    return max(texts, key=len)


# The buttons of the question about unsaved edits, by their ids.
YES, NO, CANCEL = 6, 7, 2


def question(app, button, timeout=45):
    """Waits for the framework's question (captioned "QXEdit", with Yes, No
    and Cancel), clicks the button with id `button`; returns its text."""
    box = wait_top(app, "QXEdit", timeout)
    kids = [w for w in tree(app, "QXEdit") if w["parent"] == box["hwnd"]]
    texts = [w["text"] for w in kids if w["class"] == "Static" and w["text"]]
    buttons = {w["id"]: w for w in kids if w["class"] == "Button"}
    check(sorted(buttons) == sorted((YES, NO, CANCEL)), "the box's buttons are %r" % sorted(buttons))
    left, top, right, bottom = buttons[button]["window"]
    run(["xdotool", "mousemove", str((left + right) // 2), str((top + bottom) // 2), "sleep", "0.2", "click", "1"])
    wait_gone(app, "QXEdit")
    return max(texts, key=len)


def wait_file(path, data, what, timeout=30):
    """Waits until the file holds exactly data."""
    deadline = time.time() + timeout
    while True:
        if os.path.exists(path):
            with open(path, "rb") as f:
                if f.read() == data:
                    return
        check(time.time() < deadline, what)
        time.sleep(0.2)


def saved_bytes(app, frame, name):
    """The view's bytes, as "SaveFile" writes them into a new file."""
    path = new_file(name)
    menu(app, frame, SAVE_FILE)
    type_file_name(app, "Save As", path)
    # The file appears under its name in one step, whole.
    deadline = time.time() + 30
    while not os.path.exists(path):
        check(time.time() < deadline, "SaveFile wrote no %s" % path)
        time.sleep(0.1)
    only_frame(app)
    with open(path, "rb") as f:
        return f.read()


def caret(app, title="- QXEdit"):
    """(window id, caret rectangle on the screen) of the window with the caret."""
    for w in tree(app, title):
        if "caret" in w:
            return w["id"], tuple(int(v) for v in w["caret"].split(","))
    return None
