"""Driving the real setup.exe's wizard in a Wine prefix through wizard_driver.exe.

One driver process serves a whole test: it starts setup.exe, finds its
windows by process, clicks, types, reads pages, list rows and message boxes.
The prefixes, registry and file helpers come from the silent end-to-end tests
(tests/e2e/e2e_lib.py)."""

import os
import queue
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from e2e_lib import SETUP_EXE, WINE_RUN, PrefixTest, windows_path  # noqa: E402

DRIVER_EXE = os.environ.get("PEL_WIZARD_DRIVER", "")
TRACE = os.environ.get("PEL_WIZARD_TRACE", "") not in ("", "0")

# Page templates, in wizard order.
WELCOME, WHATSNEW, FILETYPES, READY, FINISH = 101, 108, 104, 109, 110
CAPTION = "Pellumbra 64-bit Setup"
IDOK, IDYES, IDNO = 1, 6, 7


def unescape(value):
    out = []
    i = 0
    while i < len(value):
        c = value[i]
        if c == "\\" and i + 1 < len(value):
            i += 1
            out.append({"n": "\n", "r": "\r", "t": "\t"}.get(value[i], value[i]))
        else:
            out.append(c)
        i += 1
    return "".join(out)


class Wizard:
    """A session of wizard_driver.exe inside one prefix."""

    REPLY_TIMEOUT = 90

    def __init__(self, prefix):
        self.prefix = prefix
        env = dict(os.environ, PEL_WINEPREFIX=prefix.path)
        self.proc = subprocess.Popen([WINE_RUN, DRIVER_EXE], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     env=env, cwd=prefix.drive_c)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for raw in self.proc.stdout:
            self.lines.put(raw.decode("utf-8", "replace").rstrip("\r\n"))
        self.proc.stdout.close()
        self.lines.put(None)

    def close(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write(b"quit\n")
                self.proc.stdin.close()
                self.proc.wait(timeout=15)
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()

    def cmd(self, *fields, allow_error=False):
        """Runs one driver command; returns its reply as a dict of texts."""
        line = "\t".join(str(f) for f in fields) + "\n"
        started = time.monotonic()
        self.proc.stdin.write(line.encode("utf-8"))
        self.proc.stdin.flush()
        reply = {}
        while True:
            try:
                got = self.lines.get(timeout=self.REPLY_TIMEOUT)
            except queue.Empty:
                raise AssertionError("the driver gave no answer to %r" % (fields,))
            if got is None:
                raise AssertionError("the driver ended during %r" % (fields,))
            if got == ".":
                break
            key, _, value = got.partition("=")
            reply[key] = unescape(value)
        if TRACE:
            sys.stderr.write("%6.2fs %r -> %r\n" % (time.monotonic() - started, fields, reply))
        if "error" in reply and not allow_error:
            raise AssertionError("%r: %s" % (fields, reply["error"]))
        return reply

    # setup.exe

    def start(self, *args, cwd="C:\\"):
        """Starts setup.exe with exactly these arguments after its quoted path."""
        line = '"%s"' % windows_path(SETUP_EXE) + "".join(" " + a for a in args)
        return self.cmd("start", cwd, line)

    def wait_exit(self, ms=15000):
        reply = self.cmd("waitexit", ms)
        assert "exit" in reply, "setup.exe is still running"
        return int(reply["exit"])

    # What the wizard shows

    def state(self):
        return self.cmd("state")

    def page(self):
        return int(self.state().get("page", 0))

    def controls(self):
        """{control id: {"class", "text", "enabled", "visible", ["check"]}} of the page shown."""
        reply = self.cmd("controls")
        out = {}
        for key, value in reply.items():
            ident, _, what = key.partition(".")
            if what:
                out.setdefault(int(ident), {})[what] = value
        return out

    def text(self, ident):
        return self.controls()[ident]["text"]

    def checks(self, *idents):
        c = self.controls()
        return tuple(int(c[i]["check"]) for i in idents)

    def lv(self):
        reply = self.cmd("lv")
        for k in ("count", "enabled", "col0", "col1", "width"):
            reply[k] = int(reply[k])
        for k in ("bk", "fg", "exstyle"):
            reply[k] = int(reply[k], 16)
        return reply

    def lv_text(self, row, sub):
        return self.cmd("lvtext", row, sub)["text"]

    def box(self, ms=5000):
        """The open message box, waited for up to ms; None when none came."""
        reply = self.cmd("box", ms)
        if reply["found"] != "1":
            return None
        reply["default"] = int(reply["default"])
        reply["buttons"] = [int(b) for b in reply["buttons"].split(",") if b]
        return reply

    def dialog(self, ms=5000):
        """Another open dialog (the folder browser): its caption, or None."""
        reply = self.cmd("dialog", ms)
        return reply["caption"] if reply["found"] == "1" else None

    # What the user does

    def click(self, what, allow_error=False):
        return self.cmd("click", what, allow_error=allow_error)

    def press(self, ident):
        """A mouse click on a control that is no button (the licence link)."""
        self.cmd("press", ident)

    def tick(self, ident, on):
        self.cmd("tick", ident, 1 if on else 0)

    def set_text(self, ident, text):
        self.cmd("settext", ident, text)

    def close_box(self):
        self.cmd("close")

    def escape(self):
        self.cmd("escape")

    def answer(self, which):
        self.cmd("answer", which)

    def wait_page(self, template, ms=15000):
        return self.cmd("waitpage", template, ms)

    def next(self, expect):
        self.click("next")
        self.wait_page(expect)

    def back(self, expect):
        self.click("back")
        self.wait_page(expect)

    def lv_tick(self, row, on):
        self.cmd("lvtick", row, 1 if on else 0)

    # The machine, read from inside the prefix

    def reg_value(self, key, name=""):
        """A registry value's data (text or number), None when it is missing."""
        reply = self.cmd("regvalue", key, name)
        if reply["found"] != "1":
            return None
        return int(reply["data"]) if reply["type"] == "4" else reply.get("data")

    def reg_key(self, key):
        return self.cmd("regkey", key)["exists"] == "1"

    def reg_set(self, key, name, value):
        """Writes a text (str) or a DWORD (int) value."""
        kind = "dword" if isinstance(value, int) else "sz"
        self.cmd("regset", key, name, kind, value)

    def reg_delete(self, key, name):
        self.cmd("regdel", key, name)

    def folder(self, csidl):
        return self.cmd("folder", csidl)["folder"]

    # The viewer

    def viewer_start(self, exe):
        assert self.cmd("viewer-start", exe)["viewer"] == "1"

    def viewer_close(self):
        self.cmd("viewer-close")

    def viewer_running(self, wait=0):
        """Whether a viewer window exists; waits up to `wait` seconds for one."""
        deadline = time.monotonic() + wait
        while True:
            if self.cmd("viewer")["viewer"] == "1":
                return True
            if time.monotonic() >= deadline:
                return False
            time.sleep(0.1)


class WizardTest(PrefixTest):
    """A fresh prefix and a driver session per test."""

    def setUp(self):
        super().setUp()
        self.w = Wizard(self.prefix)
        self.addCleanup(self.w.close)
