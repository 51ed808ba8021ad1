#!/usr/bin/env python3
"""Printing from QXEdit with a real printer: a CUPS server of the test's
own with the PDF printer. Ctrl+P shows the print dialog with that printer;
OK prints blank pages (the view draws nothing) into a PDF; Cancel prints
nothing."""

import os
import re
import subprocess
import sys
import time

from cups import PrivateCups
from harness import QXEdit, check, main, out_dir, run
from test_shell import settle, tree

SKIP = 77   # ctest's SKIP_RETURN_CODE for the end-to-end tests


def print_dialog(app):
    """Waits for the print dialog; returns its X window id."""
    return app.wait_window("^(Print|Stampa)$", timeout=30)


def printer_shown(app):
    """The printer name the print dialog's combo box shows."""
    for w in tree(app, "Print"):
        if w["class"] == "ComboBox" and w["parent"] != "0":
            return w["text"]
    return None


def pages_of(pdf):
    info = run(["pdfinfo", pdf])
    m = re.search(r"^Pages:\s+(\d+)", info, re.M)
    check(m, "pdfinfo shows no page count: %s" % info)
    size = re.search(r"^Page size:\s+(.*)$", info, re.M)
    return int(m.group(1)), size.group(1) if size else ""


def blank(pdf, page):
    """Whether a page rendered in grey at low resolution is white throughout."""
    stem = os.path.join(out_dir(), "page")
    run(["pdftoppm", "-r", "30", "-gray", "-f", str(page), "-l", str(page), pdf, stem])
    pgm = [f for f in os.listdir(out_dir()) if f.startswith("page") and f.endswith(".pgm")]
    check(len(pgm) == 1, "pdftoppm made %r" % pgm)
    path = os.path.join(out_dir(), pgm[0])
    with open(path, "rb") as f:
        data = f.read()
    os.remove(path)
    m = re.match(rb"P5\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
    check(m, "not a PGM picture")
    pixels = data[m.end():]
    check(len(pixels) == int(m.group(1)) * int(m.group(2)), "short picture")
    return min(pixels) == 255


def test_ctrl_p_ok_prints_blank_pages_and_cancel_prints_nothing():
    with PrivateCups() as cups, QXEdit() as app:
        settle(app)
        frame = app.wait_window("QXEdit")

        # Cancel first: no job, no file.
        app.focus(frame)
        app.key("ctrl+p")
        print_dialog(app)
        app.screenshot("print-dialog")
        check(printer_shown(app) == "PDF", "the dialog offers %r, not the PDF printer" % printer_shown(app))
        app.key("Escape")
        deadline = time.time() + 10
        while [w for w in tree(app, "Print") if w["parent"] == "0" and w["text"] == "Print"]:
            check(time.time() < deadline, "the print dialog stays after Escape")
            time.sleep(0.3)
        time.sleep(3)
        check(cups.jobs() == [], "Cancel sent jobs %r" % cups.jobs())
        check(cups.pdfs_since_start() == [], "Cancel wrote %r" % cups.pdfs_since_start())

        # OK: one job, a PDF of blank pages.
        app.focus(frame)
        app.key("ctrl+p")
        print_dialog(app)
        app.key("Return")
        job = cups.wait_job(1)
        pdf = cups.pdf_of(job)
        pages, size = pages_of(pdf)
        check(pages >= 1, "the PDF has no pages")
        check("A4" in size or "595 x 842" in size, "page size %r" % size)
        for page in range(1, pages + 1):
            check(blank(pdf, page), "page %d of %s is not blank" % (page, pdf))
        check(len(cups.jobs()) == 1, "jobs: %r" % cups.jobs())
        print("printed %d blank page(s) to %s" % (pages, pdf))
        os.remove(pdf)

        # The program goes on and closes cleanly.
        check(len(settle(app)) > 0, "the frame is gone")
        rc = app.close()
        check(rc == 0, "QXEdit exited with %s" % rc)


if __name__ == "__main__":
    why = PrivateCups.missing()
    if why:
        print("skipped: %s" % why)
        sys.exit(SKIP)
    main(globals())
