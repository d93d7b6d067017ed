"""Robustness end to end: the real setup.exe, and variants of it that carry
abusive payload archives, each case in a fresh Wine prefix. Repeated runs,
archives that try to escape the target or are damaged or huge, and faults
half-way through: what the installation leaves and what its exit code says."""

import hashlib
import os
import re
import subprocess
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from e2e_lib import PAYLOAD_ZIP, PrefixTest, windows_path  # noqa: E402

HELPER = os.environ.get("PEL_ROBUST_HELPER", "")
VARIANTS = os.environ.get("PEL_VARIANTS_DIR", "")
OUTSIDE = os.environ.get("PEL_OUTSIDE_DIR", "")
SETUP_EXE = os.environ.get("PEL_SETUP_EXE", "")

SEPARATOR = b"-" * 48 + b"\r\n"
MSG7 = ("Fehler beim Installieren!\n\nÜberprüfen Sie bitte ob Pellumbra läuft, das "
        "Zielverzeichnis voll ist oder keine Schreibrechte vorhanden sind!\n\n(Der Installer "
        "sollte im ADMIN-Modus gestartet werden, z.B. den Installer mit der rechten Maustaste "
        "anklicken)")
# The keys below HKEY_LOCAL_MACHINE that an installation writes.
MACHINE_KEYS = ["SOFTWARE\\Classes", "SOFTWARE\\Pellumbra", "SOFTWARE\\RegisteredApplications",
                "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellumbra64"]
ZEROS_BYTES = 200 << 20


def variant(name):
    return os.path.join(VARIANTS, "setup_%s.exe" % name)


def payload_names():
    with zipfile.ZipFile(PAYLOAD_ZIP) as z:
        return z.namelist()


def tree(root, skip=()):
    """{relative path: (size, sha256, mtime)} of every file below root; folders
    as (None, None, None)."""
    out = {}
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        dirs[:] = [d for d in dirs if os.path.normpath(os.path.join(rel, d)) not in skip]
        for d in dirs:
            out[os.path.normpath(os.path.join(rel, d))] = (None, None, None)
        for f in files:
            path = os.path.join(folder, f)
            if os.path.islink(path):
                continue
            with open(path, "rb") as fh:
                data = fh.read()
            digest = hashlib.sha256(data).hexdigest()
            out[os.path.normpath(os.path.join(rel, f))] = (os.path.getsize(path), digest,
                                                           int(os.path.getmtime(path)))
    return out


def make_unwritable(test, path):
    """Wine shows the read-only attribute as missing write permissions, which
    do not bind root: there the file is also made immutable (and made mutable
    again before the prefix goes)."""
    try:
        open(path, "ab").close()
    except PermissionError:
        return
    if subprocess.run(["chattr", "+i", path], stderr=subprocess.DEVNULL).returncode != 0:
        test.skipTest("no way to make a file read-only for root here (chattr +i refused)")
    test.addCleanup(subprocess.run, ["chattr", "-i", path], stderr=subprocess.DEVNULL)


class RobustTest(PrefixTest):
    def measured(self, exe, *args, lock=None):
        """Runs an installer through the helper: (exit code, peak working set
        in KiB, whether the lock held)."""
        line = '"%s" %s' % (windows_path(exe), " ".join(args))
        command = [HELPER, "run", line] if lock is None else [HELPER, "lock-run", lock, line]
        rc, out = self.prefix.run(command, cwd=self.prefix.linux("C:\\"), timeout=600)
        values = dict(l.split("=", 1) for l in out.splitlines() if "=" in l)
        self.assertEqual(rc, 0, out)
        return (int(values["exit"]), int(values.get("peak_working_set_kb", "0")),
                values.get("locked") == "1")

    def log_entries(self):
        path = self.prefix.linux("C:\\Pellumbra_Install.log")
        if not os.path.exists(path):
            return []
        with open(path, "rb") as f:
            parts = f.read().split(SEPARATOR)
        self.assertEqual(parts[-1], b"")
        return parts[:-1]

    def registry_snapshot(self):
        return {k: self.prefix.registry("HKEY_LOCAL_MACHINE\\" + k) for k in MACHINE_KEYS}


class Idempotence(RobustTest):
    def link(self, path):
        """What a shortcut below drive C: says, read back through the shell."""
        rc, fields = self.prefix.probe("lnk", "C:\\" + path.replace(os.sep, "\\"))
        self.assertEqual(rc, 0, path)
        return fields

    def test_two_identical_installations_leave_the_same_machine(self):
        p = self.prefix
        args = ("/silent", "/desktop=1", "/thumbs=1", "/group=1", "/assoc=2")
        self.assertEqual(p.setup(*args), 0)
        skip = {"windows", os.path.join("users", "Public", "Temp")}
        for user in os.listdir(os.path.join(p.drive_c, "users")):
            skip.add(os.path.join("users", user, "Temp"))
            skip.add(os.path.join("users", user, "AppData", "Local", "Temp"))
        files = tree(p.drive_c, skip)
        links = {path: self.link(path) for path in files if path.endswith(".lnk")}
        self.assertEqual(len(links), 11)  # two on the desktop, nine in the group
        machine = self.registry_snapshot()
        user = p.registry("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                          "Explorer\\FileExts")

        self.assertEqual(p.setup(*args), 0)
        again = tree(p.drive_c, skip)
        self.assertEqual(self.registry_snapshot(), machine)
        self.assertEqual(p.registry("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                                    "CurrentVersion\\Explorer\\FileExts"), user)

        # Same files with the same contents; the payload's files also keep the
        # archive's time stamps. Files the installer writes itself (settings,
        # shortcuts) carry the time of the run; a shortcut also copies its
        # target's time stamps, so shortcuts are compared by what they say.
        self.assertEqual(sorted(again), sorted(files))
        payload = {os.path.normpath(os.path.join("Program Files", "Pellumbra", n))
                   for n in payload_names()}
        for path, (size, digest, mtime) in files.items():
            if path.endswith(".lnk"):
                self.assertEqual(links[path], self.link(path), path)
                continue
            self.assertEqual(again[path][:2], (size, digest), path)
            if path in payload and size is not None:
                self.assertEqual(again[path][2], mtime, path)
        self.assertEqual(self.log_entries(), [])


class PayloadAbuse(RobustTest):
    def installed_files(self, folder):
        root = self.prefix.linux(folder)
        return sorted(k.replace(os.sep, "/") for k, v in tree(root).items())

    def assert_nothing_outside(self):
        """No file of an escaping entry anywhere in the prefix or in the Linux
        folder an entry names through Z:."""
        found = []
        for base in (self.prefix.path, OUTSIDE):
            for folder, _, files in os.walk(base):
                found += [os.path.join(folder, f) for f in files if "evil" in f]
        self.assertEqual(found, [])

    def test_escaping_entries_are_skipped_and_the_rest_installed(self):
        rc, _, _ = self.measured(variant("escaping"), "/silent", "/folder=C:\\Target\\In")
        self.assertEqual(rc, 0)
        files = self.installed_files("C:\\Target\\In")
        for name in ("first.txt", "sub", "sub/last.txt"):
            self.assertIn(name, files)
        self.assertEqual([f for f in files if "evil" in f or f.upper().startswith(("NUL", "COM"))],
                         [])
        # Nothing beside the target folder either: the parent holds only it.
        self.assertEqual(os.listdir(self.prefix.linux("C:\\Target")), ["In"])
        self.assert_nothing_outside()
        self.assertEqual(self.log_entries(), [])

    def test_crc_mismatch_ends_the_extraction_and_fails_with_message_7(self):
        rc, _, _ = self.measured(variant("crc_bad"), "/silent", "/folder=C:\\Crc")
        self.assertEqual(rc, 1603)
        files = self.installed_files("C:\\Crc")
        self.assertIn("a.txt", files)
        self.assertNotIn("c.txt", files)
        # An incomplete installation is reported, and nothing is set up over it.
        self.assertNotIn("p_lumb64.ini", files)
        (entry,) = self.log_entries()
        m = re.match(rb"^.+ - \d\d:\d\d:\d\d: (.*)\r\n$", entry, re.S)
        expected = ("C:\\Crc\\: " + MSG7).replace("\n", "\r\n").encode("latin-1")
        self.assertEqual(m.group(1), expected)

    def test_truncated_archive_fails_with_message_7(self):
        rc, _, _ = self.measured(variant("truncated"), "/silent", "/folder=C:\\Cut")
        self.assertEqual(rc, 1603)
        (entry,) = self.log_entries()
        m = re.match(rb"^.+ - \d\d:\d\d:\d\d: (.*)\r\n$", entry, re.S)
        expected = ("C:\\Cut\\: " + MSG7).replace("\n", "\r\n").encode("latin-1")
        self.assertEqual(m.group(1), expected)
        self.assertFalse([f for f in self.installed_files("C:\\Cut") if f.startswith("t")])
        temp = self.prefix.linux(self.prefix.folder(0x1C))  # local application data
        self.assertFalse(os.path.exists(os.path.join(temp, "Temp", "plumbg_x64.zip")))

    def test_ten_thousand_entries(self):
        rc, _, _ = self.measured(variant("many_entries"), "/silent", "/folder=C:\\Many")
        self.assertEqual(rc, 0)
        root = self.prefix.linux("C:\\Many\\many")
        count = sum(len(files) for _, _, files in os.walk(root))
        self.assertEqual(count, 10000)
        with open(os.path.join(root, "d99", "f99.txt"), "rb") as f:
            self.assertEqual(f.read(), b"9999")

    def test_200_mb_entry_streams_in_flat_memory(self):
        rc, baseline, _ = self.measured(SETUP_EXE, "/silent", "/folder=C:\\Base")
        self.assertEqual(rc, 0)
        rc, peak, _ = self.measured(variant("zeros"), "/silent", "/folder=C:\\Zeros")
        self.assertEqual(rc, 0)
        path = self.prefix.linux("C:\\Zeros\\zeros.bin")
        self.assertEqual(os.path.getsize(path), ZEROS_BYTES)
        with open(path, "rb") as f:
            block = bytes(1 << 20)
            for _ in range(200):
                self.assertEqual(f.read(1 << 20), block)
        # Streaming: the 200 MB never come near the working set, which stays
        # within a few MB of an ordinary installation's.
        self.assertGreater(peak, 0)
        self.assertLess(peak, 64 * 1024, "peak working set %d KiB" % peak)
        self.assertLess(peak - baseline, 8 * 1024,
                        "peak %d KiB against %d KiB of a normal run" % (peak, baseline))


class Faults(RobustTest):
    FOLDER = "C:\\P"

    def path(self, name):
        return os.path.join(self.prefix.linux(self.FOLDER), name)

    def install_twice(self, prepare, **run):
        """Installs, lets prepare() spoil something, removes a file the archive
        carries late (so its return shows that the extraction went on), and
        installs again. Returns the second run's exit code and lock state."""
        self.assertEqual(self.prefix.setup("/silent", "/folder=" + self.FOLDER), 0)
        prepare()
        os.remove(self.path("p_readme_zip.txt"))
        rc, _, locked = self.measured(SETUP_EXE, "/silent", "/folder=" + self.FOLDER, **run)
        self.assertTrue(os.path.exists(self.path("p_readme_zip.txt")),
                        "the extraction stopped at the spoiled file")
        self.assertEqual(self.log_entries(), [])
        return rc, locked

    def test_read_only_file_is_skipped(self):
        target = self.path(os.path.join("Plugins", "Formats.dll"))

        def prepare():
            with open(target, "wb") as f:
                f.write(b"kept")
            rc, _ = self.prefix.run(["attrib", "+r", self.FOLDER + "\\Plugins\\Formats.dll"])
            self.assertEqual(rc, 0)
            make_unwritable(self, target)

        rc, _ = self.install_twice(prepare)
        self.assertEqual(rc, 0)
        with open(target, "rb") as f:
            self.assertEqual(f.read(), b"kept")

    def test_locked_viewer_is_skipped(self):
        viewer = self.path("p_lumb64.exe")
        with zipfile.ZipFile(PAYLOAD_ZIP) as z:
            shipped = z.read("p_lumb64.exe")

        def prepare():
            with open(viewer, "wb") as f:
                f.write(b"an older viewer")

        rc, locked = self.install_twice(prepare, lock=self.FOLDER + "\\p_lumb64.exe")
        self.assertTrue(locked, "the helper could not lock the viewer")
        self.assertEqual(rc, 0)
        with open(viewer, "rb") as f:
            self.assertEqual(f.read(), b"an older viewer")
        self.assertNotEqual(shipped, b"an older viewer")

    def test_full_disk_fails_with_message_7(self):
        # One file of the payload leads to /dev/full: its data cannot be
        # written, as on a full disk. The entries before it are written, the
        # ones after it are not, and nothing is set up over the half viewer.
        names = payload_names()
        full = names.index("p_lumb64.exe")
        os.makedirs(self.prefix.linux(self.FOLDER))
        os.symlink("/dev/full", self.path("p_lumb64.exe"))
        rc, _, _ = self.measured(SETUP_EXE, "/silent", "/folder=" + self.FOLDER)
        self.assertEqual(rc, 1603)
        self.assertTrue(os.path.exists(self.path(names[full - 1])))
        self.assertFalse(os.path.exists(self.path(names[full + 1])))
        self.assertFalse(os.path.exists(self.path("p_lumb64.ini")))
        (entry,) = self.log_entries()
        m = re.match(rb"^.+ - \d\d:\d\d:\d\d: (.*)\r\n$", entry, re.S)
        expected = (self.FOLDER + "\\: " + MSG7).replace("\n", "\r\n").encode("latin-1")
        self.assertEqual(m.group(1), expected)

    def test_ini_folder_that_cannot_be_created(self):
        p = self.prefix
        with open(p.linux("C:\\blocker"), "w") as f:
            f.write("a file where the settings folder should go")
        rc, _, _ = self.measured(SETUP_EXE, "/silent", "/folder=" + self.FOLDER,
                                 "/ini=C:\\blocker\\ini")
        self.assertEqual(rc, 0)
        for name in payload_names():
            self.assertTrue(os.path.exists(self.path(name)), name)
        with open(self.path("p_lumb64.ini"), "rb") as f:
            self.assertIn(b"INI_Folder=C:\\blocker\\ini", f.read())
        uninstall = p.registry("HKEY_LOCAL_MACHINE\\" + MACHINE_KEYS[3])[""]
        self.assertEqual(uninstall["InstallLocation"][1], self.FOLDER + "\\")
        self.assertEqual(self.log_entries(), [])

    def test_read_only_machine_keys(self):
        p = self.prefix
        self.assertEqual(p.setup("/silent", "/folder=C:\\First", "/assoc=2"), 0)
        machine = self.registry_snapshot()
        present = [k for k in MACHINE_KEYS if machine[k]]  # some are only opened, never made
        for key in present:
            rc, _ = p.run([HELPER, "deny-write", key], timeout=600)
            self.assertEqual(rc, 0, key)
        for key in present + ["SOFTWARE\\Classes\\.jpg", "SOFTWARE\\Classes\\Pellumbra.jpg"]:
            rc, _ = p.run([HELPER, "can-write", key])
            self.assertEqual(rc, 1, key + " still takes values")

        rc, _, _ = self.measured(SETUP_EXE, "/silent", "/folder=C:\\Second", "/assoc=2")
        self.assertEqual(rc, 0)
        for name in payload_names():
            self.assertTrue(os.path.exists(p.linux("C:\\Second\\" + name)), name)
        # Every machine-wide value is the first installation's.
        self.assertEqual(self.registry_snapshot(), machine)
        self.assertEqual(self.log_entries(), [])


if __name__ == "__main__":
    unittest.main()
