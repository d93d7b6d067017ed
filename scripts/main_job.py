"""The installer's main job on this machine: a silent installation into a
private Wine prefix, then a summary of what it installed."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

import e2e_lib  # noqa: E402
from e2e_lib import (CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_PROGRAMS,  # noqa: E402
                     CSIDL_DESKTOP, CSIDL_PROGRAMS, Prefix)

ARGS = ["/silent", "/desktop=1", "/thumbs=1", "/group=1", "/assoc=1"]
FOLDER = "C:\\Program Files\\Pellumbra\\"
KEYS = [
    "HKLM\\SOFTWARE\\Pellumbra",
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellumbra64",
    "HKLM\\SOFTWARE\\Classes",
    "HKCR\\Applications\\p_lumb64.exe",
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts",
]


def main():
    prefix = Prefix("main-job")
    try:
        print("setup.exe %s" % " ".join(ARGS))
        code = prefix.setup(*ARGS)
        print("exit code: %d" % code)
        root = prefix.linux(FOLDER)
        files = []
        for base, _, names in os.walk(root):
            for n in names:
                path = os.path.join(base, n)
                files.append((os.path.relpath(path, root).replace("/", "\\"),
                              os.path.getsize(path)))
        print("install folder: %s (%d files, %d bytes)"
              % (FOLDER, len(files), sum(s for _, s in files)))
        for name, size in sorted(files):
            print("  %-40s %9d" % (name, size))

        print("registry:")
        for key in KEYS:
            tree = prefix.registry(key)
            mine = {k: v for k, v in tree.items()
                    if "pellumbra" in (key + "\\" + k).lower()
                    or any("Pellumbra" in str(d) for _, d in v.values())}
            values = sum(len(v) for v in mine.values())
            print("  %-72s %4d keys %4d values naming the viewer" % (key, len(mine), values))

        print("shortcuts:")
        for csidl in (CSIDL_DESKTOP, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PROGRAMS,
                      CSIDL_COMMON_PROGRAMS):
            folder = prefix.folder(csidl)
            local = prefix.linux(folder)
            for base, _, names in os.walk(local):
                for n in sorted(names):
                    if n.endswith(".lnk"):
                        rel = os.path.relpath(os.path.join(base, n), local).replace("/", "\\")
                        print("  %s\\%s" % (folder, rel))
        return 0 if code == 0 else 1
    finally:
        prefix.close()


if __name__ == "__main__":
    sys.exit(main())
