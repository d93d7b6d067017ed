"""Helpers for the end-to-end tests: fresh Wine prefixes, running the real
setup.exe in them, and reading back files, registry and shortcuts."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest

WINE_RUN = os.environ.get("PEL_WINE_RUN", "")
SETUP_EXE = os.environ.get("PEL_SETUP_EXE", "")
PROBE_EXE = os.environ.get("PEL_PROBE_EXE", "")
VARIANTS_DIR = os.environ.get("PEL_VARIANTS_DIR", "")
PAYLOAD_ZIP = os.environ.get("PEL_PAYLOAD_ZIP", "")
WORK = os.environ.get("PEL_E2E_WORK", os.path.join(tempfile.gettempdir(), "pel-e2e"))

CSIDL_DESKTOP = 0x10  # the desktop folder (file system)
CSIDL_PROGRAMS = 2
CSIDL_COMMON_PROGRAMS = 0x17
CSIDL_COMMON_DESKTOPDIRECTORY = 0x19
CSIDL_APPDATA = 0x1A


def _wine_root():
    out = subprocess.run([WINE_RUN, "--env"], check=True, capture_output=True, text=True).stdout
    m = re.search(r"PEL_WINE_ROOT='([^']*)'", out)
    return m.group(1)


class Prefix:
    """A Wine prefix of its own, copied from the run's pristine one."""

    def __init__(self, name):
        self.path = os.path.join(_wine_root(), "prefixes", name)
        subprocess.run([WINE_RUN, "--fresh-prefix", self.path], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.drive_c = os.path.join(self.path, "drive_c")
        os.makedirs(WORK, exist_ok=True)
        self._outdir = tempfile.mkdtemp(prefix=name + "-", dir=WORK)

    def close(self):
        env = dict(os.environ, WINEPREFIX=self.path)
        subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        shutil.rmtree(self.path, ignore_errors=True)
        shutil.rmtree(self._outdir, ignore_errors=True)

    def run(self, args, cwd=None, timeout=180):
        """Runs a Windows program in this prefix. Output goes to files, not pipes:
        programs started by it may outlive it and would hold a pipe open."""
        env = dict(os.environ, PEL_WINEPREFIX=self.path)
        out_path = os.path.join(self._outdir, "out.txt")
        with open(out_path, "wb") as out:
            rc = subprocess.run([WINE_RUN] + list(args), cwd=cwd, env=env, stdout=out,
                                stderr=subprocess.DEVNULL, timeout=timeout).returncode
        with open(out_path, "rb") as f:
            return rc, f.read().decode("utf-8", "replace")

    def setup(self, *args, cwd=None, exe=None):
        """Runs setup.exe with exactly this command line after the quoted program
        path (Wine would re-quote arguments with spaces or quotes); returns its
        exit code."""
        line = '"%s" %s' % (windows_path(exe or SETUP_EXE), " ".join(args))
        rc, out = self.run([PROBE_EXE, "run", line], cwd=cwd or self.linux("C:\\"))
        m = re.search(r"exit=(\d+)", out)
        assert rc == 0 and m, "setup.exe could not be started: " + out
        return int(m.group(1))

    def probe(self, *args):
        rc, out = self.run([PROBE_EXE] + list(args))
        values = {}
        for line in out.splitlines():
            if "=" in line:
                k, v = line.split("=", 1)
                values[k] = v
        return rc, values

    def linux(self, windows_path):
        """The Linux path of a C:\\ path inside this prefix."""
        assert windows_path[:3].upper() == "C:\\", windows_path
        rest = windows_path[3:].replace("\\", "/")
        return os.path.join(self.drive_c, rest)

    def folder(self, csidl):
        rc, v = self.probe("folder", str(csidl))
        assert rc == 0, "no shell folder %d" % csidl
        return v["folder"]

    def reg_set(self, key, name, value, kind="REG_SZ"):
        args = ["reg", "add", key, "/f", "/t", kind, "/d", str(value)]
        args[3:3] = ["/v", name] if name is not None else ["/ve"]
        rc, _ = self.run(args)
        assert rc == 0, args

    def registry(self, key):
        """Exports a registry subtree: {key path: {value name: (type, data)}};
        the default value's name is "@". Keys are given without the root."""
        out = os.path.join(self._outdir, "export.reg")
        if os.path.exists(out):
            os.remove(out)
        rc, _ = self.run(["reg", "export", key, "Z:" + out.replace("/", "\\"), "/y"])
        if rc != 0 or not os.path.exists(out):
            return {}
        with open(out, "rb") as f:
            text = f.read().decode("utf-16")
        return parse_reg(text, key)


def windows_path(linux_path):
    """A Linux path as Wine's Z: drive shows it."""
    return "Z:" + os.path.abspath(linux_path).replace("/", "\\")


ROOTS = {"HKLM": "HKEY_LOCAL_MACHINE", "HKCU": "HKEY_CURRENT_USER",
         "HKCR": "HKEY_CLASSES_ROOT"}


def parse_reg(text, base):
    """Key paths come relative to base ("" for base itself)."""
    root, _, rest = base.partition("\\")
    base = (ROOTS.get(root, root) + ("\\" + rest if rest else "")).lower()
    keys = {}
    current = None
    lines = text.replace("\r\n", "\n").split("\n")
    i = 0
    while i < len(lines):
        line = lines[i]
        while line.endswith("\\") and i + 1 < len(lines):
            i += 1
            line = line[:-1] + lines[i].strip()
        i += 1
        if line.startswith("[") and line.endswith("]"):
            path = line[1:-1]
            if path.lower() == base:
                path = ""
            elif path.lower().startswith(base + "\\"):
                path = path[len(base) + 1:]
            current = keys.setdefault(path, {})
            continue
        if current is None or not line:
            continue
        m = re.match(r'^(@|"((?:[^"\\]|\\.)*)")=(.*)$', line)
        if not m:
            continue
        name = "@" if m.group(1) == "@" else unescape(m.group(2))
        data = m.group(3)
        if data.startswith('"'):
            current[name] = ("REG_SZ", unescape(data[1:-1]))
        elif data.startswith("dword:"):
            current[name] = ("REG_DWORD", int(data[6:], 16))
        elif data.startswith("hex(2):") or data.startswith("hex(7):"):
            raw = bytes(int(b, 16) for b in data[7:].split(",") if b)
            current[name] = ("REG_EXPAND_SZ" if data[4] == "2" else "REG_MULTI_SZ",
                             raw.decode("utf-16-le"))
        elif data.startswith("hex:"):
            current[name] = ("REG_BINARY", bytes(int(b, 16) for b in data[4:].split(",") if b))
        elif data.startswith("hex(0):"):
            # REG_NONE or an empty REG_SZ written without its terminator
            current[name] = ("REG_NONE", bytes(int(b, 16) for b in data[7:].split(",") if b))
        else:
            current[name] = ("OTHER", data)
    return keys


def unescape(s):
    return re.sub(r"\\(.)", r"\1", s)


def read_utf16_ini(path):
    """Reads a UTF-16LE settings file with byte-order mark into
    {section: {key: value}}; also returns the raw bytes."""
    with open(path, "rb") as f:
        raw = f.read()
    text = raw[2:].decode("utf-16-le") if raw[:2] == b"\xff\xfe" else raw.decode("latin-1")
    return parse_ini(text), raw


def parse_ini(text):
    sections = {}
    current = None
    for line in text.replace("\r\n", "\n").split("\n"):
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], {})
        elif current is not None and "=" in line and not line.startswith(";"):
            k, v = line.split("=", 1)
            current[k] = v
    return sections


class PrefixTest(unittest.TestCase):
    """A test case with a fresh prefix per test."""

    def setUp(self):
        name = self.id().split(".")[-2] + "-" + self._testMethodName
        self.prefix = Prefix(name)
        self.addCleanup(self.prefix.close)
