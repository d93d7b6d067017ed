"""Pictures of the wizard: the real setup.exe under Xvfb, each page taken from
the screen with ImageMagick and cropped to the wizard window.

    python3 screenshots.py OUTDIR DPI

Writes OUTDIR/<nn>-<page>.png; runs in a fresh Wine prefix whose screen has
DPI dots per inch. Needs the environment of the end-to-end tests
(PEL_WINE_RUN, PEL_SETUP_EXE, PEL_WIZARD_DRIVER, PEL_E2E_WORK)."""

import os
import re
import subprocess
import sys
import time

from wizard_lib import FILETYPES, FINISH, READY, WELCOME, WHATSNEW, WINE_RUN, Wizard
from e2e_lib import Prefix

IMPORT = "/usr/bin/import"
CONVERT = "/usr/bin/convert"


def display():
    out = subprocess.run([WINE_RUN, "--env"], check=True, capture_output=True, text=True).stdout
    return re.search(r"DISPLAY='([^']*)'", out).group(1)


class Camera:
    def __init__(self, wizard, outdir):
        self.w = wizard
        self.outdir = outdir
        self.display = display()
        self.count = 0

    def shoot(self, name, box=False):
        """Takes the screen and keeps the sheet's (or the message box's) rectangle."""
        if not box:
            self.w.cmd("activate")
        time.sleep(0.6)  # let every control paint
        r = self.w.cmd("rect", "box") if box else self.w.cmd("rect")
        left, top = int(r["left"]), int(r["top"])
        width, height = int(r["right"]) - left, int(r["bottom"]) - top
        self.count += 1
        path = os.path.join(self.outdir, "%02d-%s.png" % (self.count, name))
        full = path + ".full.png"
        subprocess.run([IMPORT, "-display", self.display, "-window", "root", full], check=True)
        subprocess.run([CONVERT, full, "-crop", "%dx%d+%d+%d" % (width, height, left, top),
                        "+repage", "-strip", path], check=True)
        os.remove(full)
        print(path)


def main(outdir, dpi):
    os.makedirs(outdir, exist_ok=True)
    # A German Windows: the system's own buttons (message boxes) in German.
    # Wine takes the language from these even where the Linux locale is missing.
    os.environ["LANG"] = os.environ["LC_ALL"] = "de_DE.UTF-8"
    prefix = Prefix("screenshots-%d" % dpi)
    try:
        w = Wizard(prefix)
        try:
            w.reg_set("HKCU\\Control Panel\\Desktop", "LogPixels", dpi)
            # A web page must never reach a browser of this machine.
            for scheme in ("http", "https"):
                w.reg_set("HKLM\\SOFTWARE\\Classes\\%s\\shell\\open\\command" % scheme, "",
                          "C:\\windows\\system32\\cmd.exe /c echo %1>>C:\\web_calls.txt")
            shots(w, Camera(w, outdir))
        finally:
            w.close()
    finally:
        prefix.close()


def move_box_aside(w, screen=(1280, 1024)):
    sheet = {k: int(v) for k, v in w.cmd("rect").items()}
    box = {k: int(v) for k, v in w.cmd("rect", "box").items()}
    bw, bh = box["right"] - box["left"], box["bottom"] - box["top"]
    if sheet["right"] + bw < screen[0]:
        w.cmd("movebox", sheet["right"] + 1, 0)
    elif sheet["bottom"] + bh < screen[1]:
        w.cmd("movebox", 0, sheet["bottom"] + 1)
    else:
        w.cmd("movebox", 0, 0)
        assert bw < sheet["left"] or bh < sheet["top"], "no room beside the sheet"


def shots(w, cam):
    reply = w.start()
    assert reply.get("sheet") == "1", reply
    w.wait_page(WELCOME)
    cam.shoot("welcome")
    w.next(WHATSNEW)
    cam.shoot("whatsnew")
    w.next(FILETYPES)
    cam.shoot("filetypes")
    w.tick(3311, True)
    w.click(1091)
    cam.shoot("filetypes-images-only")
    w.next(READY)
    cam.shoot("ready")
    # The installation runs behind the association question: the busy line
    # shows on the ready page; the box is moved aside for the picture.
    w.click("next")
    assert w.box() is not None, "no association question"
    cam.shoot("question", box=True)
    move_box_aside(w)
    cam.shoot("ready-installing")
    w.answer("yes")
    w.wait_page(FINISH, 60000)
    cam.shoot("finish")
    w.tick(1022, False)
    w.tick(1020, False)
    w.click("cancel")
    assert w.wait_exit() == 0


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
