#!/usr/bin/env python3
"""QXEdit's application shell seen from outside: the frame, its menu,
toolbar and status bar, the control over the view, a file named on the
command line shown under its name (and one that cannot be read refused),
the title after "OpenFile" and "SaveFile", resizing, focus, the About box, the View menu,
Exit and the recent-file list in the registry."""

import os
import re
import subprocess
import time

from harness import QXEdit, check, main, out_dir, run

SBARS_SIZEGRIP = 0x100
MRU_KEY = r"Software\Local AppWizard-Generated Applications\QXEdit\Recent File List"


def wintree(app, *args, check_rc=True):
    exe = os.environ.get("QX_WINTREE")
    check(exe and os.path.isfile(exe), "QX_WINTREE does not name wintree.exe: %r" % exe)
    # Window texts are in the ANSI code page (1252).
    p = subprocess.run([app.wine_run, "--prefix", app.prefix, exe] + [str(a) for a in args],
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                       timeout=60)
    check(p.returncode == 0 or not check_rc, "wintree %s failed" % " ".join(map(str, args)))
    return p.stdout.decode("cp1252", errors="replace")


def tree(app, title="- QXEdit"):
    """The windows of the top-level windows titled `title`, as dicts."""
    wins = []
    for line in wintree(app, "list", title).splitlines():
        m = re.match(r"(.*?) text=\"(.*)\"$", line)
        if not m:
            continue
        w = dict(kv.split("=", 1) for kv in m.group(1).split())
        w["text"] = m.group(2)
        for k in ("window", "client"):
            w[k] = tuple(int(v) for v in w[k].split(","))
        w["style"] = int(w["style"], 16)
        w["id"] = int(w["id"])
        wins.append(w)
    return wins


def frame_of(wins):
    tops = [w for w in wins if w["parent"] == "0"]
    check(len(tops) == 1, "one frame window, not %d" % len(tops))
    return tops[0]


def find(wins, **kw):
    return [w for w in wins if all(w.get(k) == v for k, v in kw.items())]


def one(wins, what, **kw):
    found = find(wins, **kw)
    check(len(found) == 1, "%s: %d windows match %r" % (what, len(found), kw))
    return found[0]


def check_control_covers_view(wins):
    view = one(wins, "view", id=0xE900)
    ctrl = one(wins, "control", id=1, parent=view["hwnd"])
    check(ctrl["class"].lower() == "edit", "the control is built on the edit class: %s" % ctrl["class"])
    check(ctrl["window"] == view["client"],
          "control %r does not cover the view's client area %r" % (ctrl["window"], view["client"]))
    return view, ctrl


def settle(app, title="- QXEdit", timeout=20):
    """Waits until the frame is laid out (the control exists), returns the tree."""
    app.wait_window(title.lstrip("- "))
    deadline = time.time() + timeout
    while True:
        wins = tree(app, title)
        if find(wins, id=1):
            return wins
        check(time.time() < deadline, "the control never appeared")
        time.sleep(0.3)


def test_started_without_arguments():
    with QXEdit() as app:
        wins = settle(app)
        frame = frame_of(wins)
        check(frame["text"] == "Senza titolo - QXEdit", "title %r" % frame["text"])
        check(frame["style"] & 0x01000000, "the frame is maximised (WS_MAXIMIZE)")
        sw, sh = (int(v) for v in run(["xdotool", "getdisplaygeometry"]).split())
        x, y, w, h = app.geometry(app.wait_window("QXEdit"))
        check(w >= sw and h >= sh, "frame %dx%d fills the %dx%d screen" % (w, h, sw, sh))

        bar = one(wins, "toolbar", **{"class": "ToolbarWindow32"})
        check(bar["tbcount"] == "7", "toolbar items: %s" % bar["tbcount"])
        check(bar["window"][1] == frame["client"][1], "toolbar at the top of the client area")
        status = one(wins, "status bar", **{"class": "msctls_statusbar32"})
        check(status["text"] == "Pronto", "status text %r" % status["text"])
        check(status["window"][3] == frame["client"][3], "status bar at the bottom")
        check(not status["style"] & SBARS_SIZEGRIP, "a size grip on the maximised frame's status bar")
        view, ctrl = check_control_covers_view(wins)
        check(view["window"][1] >= bar["window"][3] and view["window"][3] <= status["window"][1],
              "the view lies between the bars")
        check(ctrl["focus"] == "1", "the control has the keyboard focus")
        app.screenshot("started")

        # The menu bar: five popups, File, Modifica, Visualizza, Function,
        # ?; each opens a popup window of its own at its own place.
        app.key("alt+f")
        places = []
        for i in range(5):
            popups = [w for w in tree(app, "") if w["class"] == "#32768" and w["visible"] == "1"]
            check(len(popups) == 1, "popup %d: %d menu windows" % (i, len(popups)))
            places.append(popups[0]["window"][0])
            app.screenshot("menu-%d" % i)
            app.key("Right")
        check(len(set(places)) == 5, "five popups at distinct places: %r" % places)
        popups = [w for w in tree(app, "") if w["class"] == "#32768" and w["visible"] == "1"]
        check(popups and popups[0]["window"][0] == places[0], "the sixth Right is File again")
        app.key("Escape", "Escape")


def test_a_file_named_on_the_command_line_is_shown_and_the_title_follows_the_file_shown():
    from commands import OPEN_FILE, SAVE_FILE, file_dialog, menu, message_box, new_file, only_frame, saved_bytes
    named = bytes((i * 7 + 3) % 256 for i in range(300))
    path = new_file("named.bin", named)
    other = new_file("other-shown.bin", b"\x11" * 50)
    with QXEdit("named.bin", cwd=out_dir()) as app:
        wins = settle(app, "named.bin")
        frame = frame_of(wins)
        check(frame["text"] == "named.bin - QXEdit", "title %r" % frame["text"])
        check_control_covers_view(wins)
        app.screenshot("with-file")
        xid = app.wait_window("named.bin")
        check(saved_bytes(app, xid, "named-again.bin") == named, "the control does not show the named file")
        app.wait_window("named-again.bin - QXEdit", timeout=30)

        menu(app, xid, OPEN_FILE)
        file_dialog(app, "Open", other)
        app.wait_window("other-shown.bin - QXEdit", timeout=30)
        check(saved_bytes(app, xid, "other-again.bin") == b"\x11" * 50, "OpenFile did not show other-shown.bin")
        app.wait_window("other-again.bin - QXEdit", timeout=30)
        only_frame(app)
    with open(path, "rb") as f:
        check(f.read() == named, "the named file changed")

    # A name that cannot be read: the control's message, a new document.
    missing = new_file("not-there.bin")
    with QXEdit("not-there.bin", cwd=out_dir()) as app:
        text = message_box(app)
        check(text.endswith("not-there.bin non trovato."), "the box says %r" % text)
        frame = frame_of(settle(app))
        check(frame["text"] == "Senza titolo - QXEdit", "title %r" % frame["text"])
        check(not os.path.exists(missing), "the missing file was made")


def test_resized_frame_keeps_the_control_over_the_view():
    with QXEdit() as app:
        frame = frame_of(settle(app))
        wintree(app, "move", frame["hwnd"], 100, 80, 900, 600)
        time.sleep(1)
        wins = tree(app)
        f = frame_of(wins)
        check(f["window"] == (100, 80, 1000, 680), "frame moved to %r" % (f["window"],))
        check_control_covers_view(wins)
        status = one(wins, "status bar", **{"class": "msctls_statusbar32"})
        check(status["style"] & SBARS_SIZEGRIP, "no size grip once the frame is restored")
        app.screenshot("resized")


def test_focus_returns_to_the_control_after_clicking_the_bars():
    with QXEdit() as app:
        wins = settle(app)
        xid = app.wait_window("QXEdit")
        fx, fy = frame_of(wins)["window"][:2]
        bar = one(wins, "toolbar", **{"class": "ToolbarWindow32"})
        status = one(wins, "status bar", **{"class": "msctls_statusbar32"})
        # Beyond the last button, and in the message pane.
        for name, r in (("toolbar", bar["window"]), ("status", status["window"])):
            app.click(xid, r[2] + 40 - fx if name == "toolbar" else 200 - fx, (r[1] + r[3]) // 2 - fy)
            time.sleep(0.5)
            ctrl = one(tree(app), "control", id=1)
            check(ctrl["focus"] == "1", "focus left the control after clicking the %s" % name)


def about_box(app):
    return [w for w in tree(app, "Informazioni su QXEdit") if w["parent"] == "0"]


def wait_about(app, shown, what):
    deadline = time.time() + 10
    while bool(about_box(app)) != shown:
        check(time.time() < deadline, what)
        time.sleep(0.3)


def test_about_box_opens_from_menu_and_button_and_closes_three_ways():
    with QXEdit() as app:
        wins = settle(app)
        xid = app.wait_window("QXEdit")
        fx, fy = frame_of(wins)["window"][:2]

        app.key("F10", "Right", "Right", "Right", "Right", "Down", "Return")   # ? > Informazioni su
        wait_about(app, True, "About box from the menu")
        app.screenshot("about")
        check(frame_of(tree(app))["style"] & 0x08000000, "the frame is disabled while the box runs")
        app.key("Return")
        wait_about(app, False, "Enter closes the About box")

        bar = one(tree(app), "toolbar", **{"class": "ToolbarWindow32"})
        # The question mark is the last of the seven items.
        app.click(xid, bar["window"][2] - 14 - fx, (bar["window"][1] + bar["window"][3]) // 2 - fy)
        wait_about(app, True, "About box from the toolbar button")
        app.key("Escape")
        wait_about(app, False, "Escape closes the About box")

        app.key("F10", "Right", "Right", "Right", "Right", "Down", "Return")
        wait_about(app, True, "About box again")
        ok = one(tree(app, "Informazioni su QXEdit"), "OK button", text="OK")
        x, y = (ok["window"][0] + ok["window"][2]) // 2, (ok["window"][1] + ok["window"][3]) // 2
        run(["xdotool", "mousemove", str(x), str(y), "sleep", "0.3", "click", "1"])
        wait_about(app, False, "OK closes the About box")
        check(one(tree(app), "control", id=1)["focus"] == "1", "focus back in the control")


def bar_visible(wins, cls):
    return one(wins, cls, **{"class": cls})["visible"] == "1"


def test_view_menu_hides_and_shows_the_bars():
    with QXEdit() as app:
        settle(app)
        view_item = ("F10", "Right", "Right", "Down")
        app.key(*view_item, "Return")                   # Barra degli strumenti
        time.sleep(0.5)
        wins = tree(app)
        check(not bar_visible(wins, "ToolbarWindow32"), "toolbar hidden")
        check_control_covers_view(wins)
        check(one(wins, "view", id=0xE900)["window"][1] == frame_of(wins)["client"][1],
              "the view takes the toolbar's place")
        app.screenshot("no-toolbar")
        app.key(*view_item, "Down", "Return")           # Barra di stato
        time.sleep(0.5)
        wins = tree(app)
        check(not bar_visible(wins, "msctls_statusbar32"), "status bar hidden")
        check(one(wins, "view", id=0xE900)["window"][3] == frame_of(wins)["client"][3],
              "the view takes the status bar's place")
        app.screenshot("no-bars")
        app.key(*view_item, "Return")
        app.key(*view_item, "Down", "Return")
        time.sleep(0.5)
        wins = tree(app)
        check(bar_visible(wins, "ToolbarWindow32") and bar_visible(wins, "msctls_statusbar32"), "both back")
        check_control_covers_view(wins)


def test_exit_asks_nothing_and_the_file_reaches_the_recent_list():
    path = os.path.join(out_dir(), "recent.bin")
    with open(path, "wb") as f:
        f.write(b"r")
    with QXEdit("recent.bin", cwd=out_dir()) as app:
        settle(app, "recent.bin")
        app.key("alt+f", "Return")   # &Esci, the only item
        rc = app.wait_exit(20)
        check(rc == 0, "QXEdit exited with %s after Esci" % rc)
        first = wintree(app, "reg", MRU_KEY, "File1", check_rc=False).strip()
        check(first.lower().endswith("\\recent.bin"), "File1 of the recent-file list: %r" % first)


if __name__ == "__main__":
    main(globals())
