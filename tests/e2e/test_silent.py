"""Silent installation end to end: the real setup.exe, each case in a fresh
Wine prefix, and what it leaves on the machine: files, settings, registry,
shortcuts, log and exit code."""

import os
import re
import shutil
import time
import unittest
import zipfile

from e2e_lib import (CSIDL_APPDATA, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_PROGRAMS,
                     CSIDL_DESKTOP, CSIDL_PROGRAMS, PAYLOAD_ZIP, SETUP_EXE, VARIANTS_DIR,
                     PrefixTest, read_utf16_ini)

DEFAULT_FOLDER = "C:\\Program Files\\Pellumbra\\"
HEADER = "; UNICODE FILE - edit with care ;-)\r\n\r\n".encode("utf-16-le")
SEPARATOR = b"-" * 48 + b"\r\n"
MSG5 = "Ungültiges Zielverzeichnis!"
MSG7 = ("Fehler beim Installieren!\n\nÜberprüfen Sie bitte ob Pellumbra läuft, das "
        "Zielverzeichnis voll ist oder keine Schreibrechte vorhanden sind!\n\n(Der Installer "
        "sollte im ADMIN-Modus gestartet werden, z.B. den Installer mit der rechten Maustaste "
        "anklicken)")
MSG10 = ("Warnung: Pellumbra läuft!\nBeenden Sie bitte Pellumbra bevor Sie mit der "
         "Installation fortsetzen!")
MSG11 = ("Kann Zielverzeichnis nicht erstellen!\n\nBitte überprüfen Sie Ihre Schreibrechte und "
         "System-Policies!\n\nVersuchen Sie das Zielverzeichnis zuerst händisch zu erstellen.")
GROUP = ["Pellumbra 64 4.66.lnk", "Pellumbra - Thumbnails.lnk", "Pellumbra deinstallieren.lnk",
         "Über Pellumbra.lnk", "Was ist neu.lnk", "Kommandozeilen-Optionen.lnk",
         "Verfügbare PlugIns.lnk", "Verfügbare Sprachen.lnk", "Pellumbra Hilfe.lnk"]
CLASSES = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes"


def payload():
    return zipfile.ZipFile(PAYLOAD_ZIP)


def open_command(folder):
    return '"%sp_lumb64.exe" "%%1"' % folder


def log_entries(raw):
    """Splits the log's bytes into entries; each must end with the separator."""
    parts = raw.split(SEPARATOR)
    assert parts[-1] == b"", "the log must end with a separator line"
    return parts[:-1]


def log_text(message):
    return message.replace("\n", "\r\n").encode("latin-1")


class Defaults(PrefixTest):
    def test_silent_alone_installs_into_the_default_folder(self):
        p = self.prefix
        self.assertEqual(p.setup("/silent"), 0)
        folder = p.linux(DEFAULT_FOLDER)
        for info in payload().infolist():
            self.assertTrue(os.path.exists(os.path.join(folder, info.filename)), info.filename)

        # Settings: the install folder's file points to %APPDATA%\Pellumbra, which
        # holds the active file, rewritten in UTF-16 with the header.
        appdata = p.linux(p.folder(CSIDL_APPDATA))
        ini, raw = read_utf16_ini(os.path.join(appdata, "Pellumbra", "p_lumb64.ini"))
        self.assertEqual(raw[:2], b"\xff\xfe")
        self.assertEqual(raw[2:2 + len(HEADER)], HEADER)
        self.assertEqual(ini["Language"], {"DLL": "DEUTSCH.DLL", "Lang": "Deutsch"})
        self.assertEqual(ini["Toolbar"], {"Skin": "Ember_24.png", "Size": "24"})
        with open(os.path.join(folder, "p_lumb64.ini"), "rb") as f:
            own = f.read()
        self.assertNotEqual(own[:2], b"\xff\xfe")
        self.assertIn(b"INI_Folder=%APPDATA%\\Pellumbra", own)

        # No shortcuts at all.
        for csidl in (CSIDL_DESKTOP, CSIDL_COMMON_DESKTOPDIRECTORY):
            desktop = p.linux(p.folder(csidl))
            self.assertEqual([n for n in os.listdir(desktop) if n.endswith(".lnk")], [])
        for csidl in (CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS):
            self.assertFalse(os.path.exists(os.path.join(p.linux(p.folder(csidl)), "Pellumbra")))

        # What every installation writes: the classes, capabilities and the
        # defaults of jpg, png and tif; no user choice.
        classes = p.registry(CLASSES)
        self.assertEqual(classes[".jpg"]["@"], ("REG_SZ", "Pellumbra.jpg"))
        self.assertEqual(classes[".png"]["@"], ("REG_SZ", "Pellumbra.png"))
        self.assertEqual(classes[".tif"]["@"], ("REG_SZ", "Pellumbra.tif"))
        self.assertNotEqual(classes.get(".jpeg", {}).get("@", ("", ""))[1], "Pellumbra.jpg")
        self.assertEqual(classes["Pellumbra.jpg\\shell\\open\\command"]["@"],
                         ("REG_SZ", open_command(DEFAULT_FOLDER)))
        caps = p.registry("HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellumbra\\Capabilities")
        self.assertEqual(len(caps["FileAssociations"]), 87)
        self.assertEqual(p.registry("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                                    "CurrentVersion\\Explorer\\FileExts\\.jpg"), {})
        uninstall = p.registry("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                               "CurrentVersion\\Uninstall\\Pellumbra64")[""]
        self.assertEqual(uninstall["DisplayName"], ("REG_SZ", "Pellumbra 4.66 (64-bit)"))
        self.assertEqual(uninstall["InstallLocation"], ("REG_SZ", DEFAULT_FOLDER))

        self.assertFalse(os.path.exists(p.linux("C:\\Pellumbra_Install.log")))
        self.assertFalse(os.path.exists(os.path.join(
            p.linux(p.folder(0x1C)), "..", "Temp", "plumbg_x64.zip")))


class AllOptions(PrefixTest):
    FOLDER = "C:\\Program Files\\Pellumbra Test\\"

    def test_every_option(self):
        p = self.prefix
        rc = p.setup("/silent", '/folder="C:\\Program Files\\Pellumbra Test"', "/desktop=1",
                     "/thumbs=1", "/group=1", "/allusers=1", "/assoc=1",
                     "/ini=%APPDATA%\\Pellumbra")
        self.assertEqual(rc, 0)
        folder = p.linux(self.FOLDER)

        # Every payload file, with the archive's time stamp taken as local time.
        for info in payload().infolist():
            path = os.path.join(folder, info.filename)
            self.assertTrue(os.path.exists(path), info.filename)
            if not info.filename.endswith("/"):
                self.assertEqual(os.path.getsize(path), info.file_size, info.filename)
                stamp = time.mktime(info.date_time + (0, 0, -1))
                self.assertAlmostEqual(os.path.getmtime(path), stamp, delta=2, msg=info.filename)

        appdata = p.linux(p.folder(CSIDL_APPDATA))
        ini, raw = read_utf16_ini(os.path.join(appdata, "Pellumbra", "p_lumb64.ini"))
        self.assertEqual(raw[2:2 + len(HEADER)], HEADER)
        self.assertEqual(ini["Language"]["DLL"], "DEUTSCH.DLL")

        # Shortcuts in the common folders, read back through the shell link object.
        desktop = p.folder(CSIDL_COMMON_DESKTOPDIRECTORY)
        rc, link = p.probe("lnk", desktop + "\\Pellumbra 64 Thumbnails.lnk")
        self.assertEqual(rc, 0)
        self.assertEqual(link["path"], self.FOLDER + "p_lumb64.exe")
        self.assertEqual(link["args"], "/thumbs")
        self.assertEqual(link["icon"], self.FOLDER + "p_lumb64.exe,7")
        self.assertEqual(link["desc"], "Pellumbra - Thumbnails")
        self.assertTrue(os.path.exists(os.path.join(p.linux(desktop), "Pellumbra 64.lnk")))
        group = os.path.join(p.linux(p.folder(CSIDL_COMMON_PROGRAMS)), "Pellumbra")
        self.assertEqual(sorted(os.listdir(group)), sorted(GROUP))
        self.assertEqual([n for n in os.listdir(p.linux(p.folder(CSIDL_DESKTOP)))
                          if n.endswith(".lnk")], [])

        # Registry: images-only rows associated, with user choices; the verbs.
        classes = p.registry(CLASSES)
        for ext, progid in ((".jpeg", "Pellumbra.jpg"), (".cr3", "Pellumbra.cr3"),
                            (".xpm", "Pellumbra.xpm")):
            self.assertEqual(classes[ext]["@"], ("REG_SZ", progid), ext)
        self.assertNotIn("@", classes.get(".swf", {}))
        choice = p.registry("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                            "Explorer\\FileExts\\.jpeg\\UserChoice")
        self.assertEqual(choice[""]["Progid"], ("REG_SZ", "Pellumbra.jpg"))
        verb = classes["Directory\\shell\\Durchsuchen mit &Pellumbra\\command"]["@"]
        self.assertEqual(verb, ("REG_SZ", open_command(self.FOLDER) + " /thumbs"))

        # The stand-in viewer records how it was started.
        calls = os.path.join(folder, "p_lumb64_calls.txt")
        self.assertEqual(p.probe("open", desktop + "\\Pellumbra 64 Thumbnails.lnk")[0], 0)
        with open(calls, encoding="utf-8") as f:
            last = f.read().splitlines()[-1]
        self.assertIn("p_lumb64.exe", last)
        self.assertTrue(last.rstrip().endswith("/thumbs"), last)

        pictures = p.linux("C:\\pictures")
        os.makedirs(pictures)
        with open(os.path.join(pictures, "holiday.jpg"), "wb") as f:
            f.write(b"\xff\xd8\xff\xe0not really a jpeg")
        self.assertEqual(p.probe("open", "C:\\pictures\\holiday.jpg")[0], 0)
        with open(calls, encoding="utf-8") as f:
            last = f.read().splitlines()[-1]
        self.assertIn("Pellumbra Test\\p_lumb64.exe", last)
        self.assertTrue(last.rstrip().endswith('"C:\\pictures\\holiday.jpg"'), last)


class Failures(PrefixTest):
    def read_log(self):
        with open(self.prefix.linux("C:\\Pellumbra_Install.log"), "rb") as f:
            return f.read()

    def assert_entry(self, entry, text):
        m = re.match(rb"^(.+) - (\d\d):(\d\d):(\d\d): (.*)\r\n$", entry, re.S)
        self.assertIsNotNone(m, entry)
        self.assertEqual(m.group(5), text)

    def test_empty_folder_logs_message_5_and_two_failures_append(self):
        p = self.prefix
        self.assertEqual(p.setup("/silent", "/folder="), 1603)
        self.assertEqual(p.setup("/silent", "/folder=   /desktop=1"), 1603)
        entries = log_entries(self.read_log())
        self.assertEqual(len(entries), 2)
        for e in entries:
            self.assert_entry(e, log_text(MSG5 + ": "))
        self.assertFalse(os.path.exists(p.linux(DEFAULT_FOLDER)))

    def test_folder_behind_a_file_logs_message_11_with_the_normalised_folder(self):
        p = self.prefix
        with open(p.linux("C:\\blocker"), "w") as f:
            f.write("a file where a folder should go")
        self.assertEqual(p.setup("/silent", "/folder=C:\\blocker\\sub  "), 1603)
        (entry,) = log_entries(self.read_log())
        self.assert_entry(entry, log_text(MSG11 + ": C:\\blocker\\sub\\"))

    def test_broken_payload_logs_the_folder_then_message_7(self):
        p = self.prefix
        broken = os.path.join(p.linux("C:\\"), "broken_setup.exe")
        with open(SETUP_EXE, "rb") as f:
            image = bytearray(f.read())
        end = image.rfind(b"PK\x05\x06")
        self.assertGreater(end, 0)
        image[end:end + 4] = b"XXXX"  # no end of central directory: not an archive
        with open(broken, "wb") as f:
            f.write(image)
        self.assertEqual(p.setup("/silent", "/folder=C:\\Pell", exe=broken), 1603)
        (entry,) = log_entries(self.read_log())
        self.assert_entry(entry, log_text("C:\\Pell\\: " + MSG7))

    def test_folder_length_limit_at_its_boundary(self):
        p = self.prefix
        longest = max(len(n) for n in payload().namelist())
        longest = max(longest, len("p_lumb64.ini_temp"))
        room = 259 - longest  # characters left for the folder text with its backslash
        name = "a" * (room - len("C:\\") - 1)
        self.assertEqual(p.setup("/silent", "/folder=C:\\" + name + "x"), 1603)
        (entry,) = log_entries(self.read_log())
        self.assert_entry(entry, log_text(MSG5 + ": C:\\" + name + "x\\"))
        self.assertEqual(p.setup("/silent", "/folder=C:\\" + name), 0)
        self.assertTrue(os.path.exists(p.linux("C:\\" + name + "\\p_lumb64.exe")))


class RunningViewer(PrefixTest):
    def test_running_viewer_installs_nothing(self):
        p = self.prefix
        viewer_dir = p.linux("C:\\viewer")
        os.makedirs(viewer_dir)
        with payload() as z, open(os.path.join(viewer_dir, "p_lumb64.exe"), "wb") as f:
            f.write(z.read("p_lumb64.exe"))
        self.assertEqual(p.probe("viewer-start", "C:\\viewer\\p_lumb64.exe")[0], 0)
        try:
            self.assertEqual(p.setup("/silent", "/assoc=2"), 1618)
        finally:
            p.probe("viewer-close")
        with open(p.linux("C:\\Pellumbra_Install.log"), "rb") as f:
            (entry,) = log_entries(f.read())
        m = re.match(rb"^.+ - \d\d:\d\d:\d\d: (.*)\r\n$", entry, re.S)
        self.assertEqual(m.group(1), log_text(MSG10))
        self.assertEqual(entry.count(b"\r\n"), 2)
        self.assertFalse(os.path.exists(p.linux(DEFAULT_FOLDER)))
        self.assertEqual(p.registry("HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellumbra"), {})
        self.assertNotIn(".jpg", p.registry(CLASSES))


class Updates(PrefixTest):
    def test_second_run_finds_the_first_folder_and_keeps_the_users_choices(self):
        p = self.prefix
        self.assertEqual(p.setup("/silent", "/folder=C:\\Apps\\Pell", "/ini="), 0)
        folder = p.linux("C:\\Apps\\Pell\\")
        os.remove(os.path.join(folder, "p_about.txt"))
        # With "/ini=" empty the active settings file is the install folder's,
        # now in UTF-16. The user picks another toolbar.
        ini_path = os.path.join(folder, "p_lumb64.ini")
        ini, raw = read_utf16_ini(ini_path)
        self.assertEqual(raw[2:2 + len(HEADER)], HEADER)
        edited = raw.replace("Ember_24.png".encode("utf-16-le"), "Mine.png".encode("utf-16-le"))
        with open(ini_path, "wb") as f:
            f.write(edited)

        self.assertEqual(p.setup("/silent"), 0)
        self.assertTrue(os.path.exists(os.path.join(folder, "p_about.txt")))
        self.assertFalse(os.path.exists(p.linux(DEFAULT_FOLDER)))
        ini, raw = read_utf16_ini(ini_path)
        self.assertEqual(ini["Toolbar"]["Skin"], "Mine.png")
        self.assertEqual(raw.count(HEADER), 1, "an INI already in UTF-16 is not rewritten")

    def test_icon_library_kept_or_replaced_by_its_version(self):
        p = self.prefix
        self.assertEqual(p.setup("/silent", "/folder=C:\\P"), 0)
        icons = p.linux("C:\\P\\Plugins\\Icons.dll")
        with payload() as z:
            shipped = z.read("Plugins/Icons.dll")

        # The payload's own library (4.30, another size) stays on a reinstallation.
        os.utime(icons, (1000000000, 1000000000))
        self.assertEqual(p.setup("/silent", "/folder=C:\\P"), 0)
        self.assertEqual(os.path.getmtime(icons), 1000000000)

        cases = [("icons_4_31_other.dll", None, False),
                 ("icons_4_29_other.dll", None, False),
                 ("icons_4_29_maker.dll", None, True),
                 ("icons_4_30_maker.dll", 226816, True),
                 ("icons_4_30_maker.dll", 226817, False)]
        for name, size, replaced in cases:
            with open(os.path.join(VARIANTS_DIR, name), "rb") as f:
                data = f.read()
            if size:
                self.assertLessEqual(len(data), size)
                data += b"\0" * (size - len(data))
            with open(icons, "wb") as f:
                f.write(data)
            self.assertEqual(p.setup("/silent", "/folder=C:\\P"), 0)
            with open(icons, "rb") as f:
                now = f.read()
            self.assertEqual(now == shipped, replaced, (name, size))
            self.assertEqual(now == data, not replaced, (name, size))

    def test_a_second_folder_takes_over_every_registry_value(self):
        p = self.prefix
        self.assertEqual(p.setup("/silent", "/folder=C:\\First", "/thumbs=1", "/assoc=2"), 0)
        self.assertEqual(p.setup("/silent", "/folder=C:\\Second", "/thumbs=1", "/assoc=2"), 0)
        seen = 0
        for key in (CLASSES, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellumbra",
                    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                    "Uninstall\\Pellumbra64", "HKEY_CLASSES_ROOT\\Applications\\p_lumb64.exe"):
            for path, values in p.registry(key).items():
                for name, (kind, data) in values.items():
                    if isinstance(data, str) and "C:\\" in data:
                        self.assertNotIn("First", data, (path, name))
                        seen += "C:\\Second\\" in data
        self.assertGreater(seen, 87)


class Display(PrefixTest):
    def test_144_dpi_gives_the_32_pixel_toolbar(self):
        p = self.prefix
        p.reg_set("HKEY_CURRENT_USER\\Control Panel\\Desktop", "LogPixels", 144, "REG_DWORD")
        self.assertEqual(p.setup("/silent", "/folder=C:\\Dpi", "/ini="), 0)
        ini, _ = read_utf16_ini(p.linux("C:\\Dpi\\p_lumb64.ini"))
        self.assertEqual(ini["Toolbar"], {"Skin": "gnome-colors-wise_32.png", "Size": "32"})


if __name__ == "__main__":
    unittest.main()
