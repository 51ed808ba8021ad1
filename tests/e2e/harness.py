"""Drives QXEdit.exe under Wine through X, as a person would.

An end-to-end test is a python3 script tests/e2e/test_*.py; CTest runs each
as one test and sets:

  QX_EXE         QXEdit.exe
  QX_WINE_RUN    cmake/wine-run.sh (runs a Windows program under Wine)
  QX_WINEPREFIX  the build tree's Wine prefix
  QX_E2E_OUT     a directory of this test's own, for screenshots and files
  DISPLAY        the X display (when unset, the harness starts an Xvfb)

Typical use:

    from harness import QXEdit, check, main

    def test_title():
        with QXEdit() as app:
            frame = app.wait_window("QXEdit")
            check("QXEdit" in app.window_name(frame), "title")
            app.screenshot("started")

    if __name__ == "__main__":
        main(globals())

The program is started through the wine runner, which exec's the Wine
loader: the PID of the process started here is the Windows program's, and
xdotool finds its windows by that PID (Wine sets _NET_WM_PID).
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
# Waits for the program stretch by this factor where it runs slowly (a
# 32-bit program under an instruction-set emulator).
SLOW = float(os.environ.get("QX_TIMEOUT_SCALE") or 1)
REPO = os.path.dirname(os.path.dirname(HERE))


class E2EError(AssertionError):
    pass


def check(condition, what):
    """Fails the current test with `what` unless condition holds."""
    if not condition:
        raise E2EError(what)


def run(cmd, timeout=30, check_rc=True):
    """Runs a Linux command, returns its stdout as text."""
    p = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                       stdin=subprocess.DEVNULL, timeout=timeout, text=True)
    if check_rc and p.returncode != 0:
        raise E2EError("%s failed (%d): %s" % (" ".join(cmd), p.returncode,
                                               p.stderr.strip()))
    return p.stdout


def out_dir():
    d = os.environ.get("QX_E2E_OUT") or os.path.join(tempfile.gettempdir(), "qxedit-e2e")
    os.makedirs(d, exist_ok=True)
    return d


class Display:
    """The X display: $DISPLAY, or an Xvfb started (and stopped) here."""

    def __init__(self, screen="2560x1440x24"):
        self.proc = None
        if os.environ.get("DISPLAY"):
            self.name = os.environ["DISPLAY"]
            return
        for n in range(90, 190):
            if os.path.exists("/tmp/.X%d-lock" % n) or os.path.exists("/tmp/.X11-unix/X%d" % n):
                continue
            proc = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", screen,
                                     "-nolisten", "tcp", "-noreset"],
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            for _ in range(100):
                if proc.poll() is not None:
                    break
                if subprocess.run(["xdpyinfo", "-display", ":%d" % n],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0:
                    self.proc, self.name = proc, ":%d" % n
                    os.environ["DISPLAY"] = self.name
                    return
                time.sleep(0.1)
            proc.kill()
            proc.wait()
        raise E2EError("could not start Xvfb")

    def close(self):
        if self.proc:
            self.proc.terminate()
            self.proc.wait(timeout=10)
            self.proc = None


class QXEdit:
    """QXEdit.exe running under Wine; a context manager that always ends it."""

    def __init__(self, *args, exe=None, cwd=None, start_timeout=60):
        self.exe = exe or os.environ.get("QX_EXE")
        self.wine_run = os.environ.get("QX_WINE_RUN") or os.path.join(REPO, "cmake", "wine-run.sh")
        self.prefix = os.environ.get("QX_WINEPREFIX")
        check(self.exe and os.path.isfile(self.exe), "QX_EXE does not name QXEdit.exe: %r" % self.exe)
        check(self.prefix, "QX_WINEPREFIX is not set")
        self.args = [str(a) for a in args]
        self.cwd = cwd or out_dir()
        self.start_timeout = start_timeout * SLOW
        self.proc = None
        self.display = None
        self.log_path = os.path.join(out_dir(), "qxedit.log")
        self.shots = 0

    # --- life cycle -------------------------------------------------------

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            try:
                self.screenshot("failure")
            except Exception:
                pass
        if self.running():
            try:
                self.close()
            except Exception:
                self.kill()
        if self.display and self.display.proc:
            # Our own X server goes away: so must the prefix's wineserver
            # and Wine's background processes attached to it.
            run([self.wine_run, "--prefix", self.prefix, "--stop"], check_rc=False)
            self.display.close()
        return False

    def start(self):
        self.display = Display()
        # Prefix creation and wineserver start-up happen before the program
        # runs, so their time does not count against the window timeout.
        run([self.wine_run, "--prefix", self.prefix, "--init"], timeout=300 * SLOW)
        self.log = open(self.log_path, "ab")
        self.proc = subprocess.Popen(
            [self.wine_run, "--prefix", self.prefix, self.exe] + self.args,
            cwd=self.cwd, stdin=subprocess.DEVNULL, stdout=self.log,
            stderr=subprocess.STDOUT, start_new_session=True)
        return self.proc.pid

    @property
    def pid(self):
        return self.proc.pid

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=20):
        """Waits for the program to end; returns its exit code or None."""
        try:
            return self.proc.wait(timeout=timeout * SLOW)
        except subprocess.TimeoutExpired:
            return None

    def close(self, timeout=20):
        """Closes the main window as a person would (Alt+F4, i.e. WM_CLOSE)
        and waits for the program to end; kills it if it does not. Returns
        the exit code; raises if the program had to be killed."""
        if not self.running():
            return self.proc.returncode
        wins = self.windows()
        if wins:
            self.focus(wins[0])
            self.key("alt+F4")
        rc = self.wait_exit(timeout)
        if rc is None:
            self.screenshot("close-timeout")
            self.kill()
            raise E2EError("QXEdit did not exit within %ds of Alt+F4" % timeout)
        return rc

    def kill(self):
        if self.running():
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.proc.wait(timeout=10)

    # --- windows ----------------------------------------------------------

    def windows(self, name=None, visible=True):
        """X window ids of the program's windows (optionally whose title
        matches the regular expression `name`), in xdotool's order."""
        cmd = ["xdotool", "search"]
        if visible:
            cmd.append("--onlyvisible")
        cmd += ["--pid", str(self.pid)]
        if name is not None:
            cmd += ["--name", name]
        out = run(cmd, check_rc=False)
        return [int(w) for w in out.split()]

    def wait_window(self, name="QXEdit", timeout=None):
        """Waits until a visible window of the program has a title matching
        `name`; returns its X window id."""
        deadline = time.time() + (timeout or self.start_timeout)
        while time.time() < deadline:
            if not self.running():
                raise E2EError("QXEdit exited (%s) before showing %r; log: %s"
                               % (self.proc.returncode, name, self.log_path))
            wins = self.windows(name)
            if wins:
                return wins[0]
            time.sleep(0.2)
        self.screenshot("no-window")
        raise E2EError("no window %r within %ss" % (name, timeout or self.start_timeout))

    def window_name(self, wid):
        return run(["xdotool", "getwindowname", str(wid)]).rstrip("\n")

    def geometry(self, wid):
        """(x, y, width, height) of an X window on the screen."""
        out = run(["xdotool", "getwindowgeometry", "--shell", str(wid)])
        v = dict(line.split("=", 1) for line in out.split())
        return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])

    # --- input ------------------------------------------------------------

    def focus(self, wid):
        run(["xdotool", "windowfocus", str(wid)], check_rc=False)
        time.sleep(0.2)

    def key(self, *keys, delay_ms=30):
        """Presses keys (xdotool names: "ctrl+o", "Return", "Right")."""
        run(["xdotool", "key", "--delay", str(delay_ms)] + list(keys))
        time.sleep(0.2)

    def type(self, text, delay_ms=30):
        run(["xdotool", "type", "--delay", str(delay_ms), text], timeout=60)
        time.sleep(0.2)

    def click(self, wid, x, y, button=1, repeat=1):
        """Clicks at (x, y) relative to the X window wid."""
        run(["xdotool", "mousemove", "--window", str(wid), str(x), str(y),
             "click", "--repeat", str(repeat), str(button)])
        time.sleep(0.2)

    # --- pictures -----------------------------------------------------------

    def screenshot(self, name=None, wid=None):
        """Saves a PNG of the whole screen (or of one X window); returns its path."""
        self.shots += 1
        path = os.path.join(out_dir(), "%02d-%s.png" % (self.shots, name or "shot"))
        run(["import", "-window", str(wid) if wid else "root", path], timeout=60)
        return path

    @staticmethod
    def pixel(png, x, y):
        """(r, g, b) of one pixel of a PNG, 8 bits a channel."""
        out = run(["convert", png, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8",
                   "txt:-"])
        m = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
        return tuple(int(c) for c in m.groups())


def main(namespace):
    """Runs every test_* function of the calling script, prints one line per
    test and a summary, exits non-zero if any failed."""
    tests = [(n, f) for n, f in sorted(namespace.items())
             if n.startswith("test_") and callable(f)]
    if not tests:
        print("no test functions in %s" % sys.argv[0])
        sys.exit(1)
    passed = failed = 0
    for name, fn in tests:
        t0 = time.time()
        try:
            fn()
        except Exception:
            failed += 1
            print("FAIL %s (%.1fs)" % (name, time.time() - t0))
            traceback.print_exc()
        else:
            passed += 1
            print("ok   %s (%.1fs)" % (name, time.time() - t0))
        sys.stdout.flush()
    print("%d passed, %d failed" % (passed, failed))
    print("screenshots and logs: %s" % out_dir())
    sys.exit(1 if failed else 0)
