"""The German wizard end to end: the real setup.exe in fresh Wine prefixes,
walked page by page as a user would, then the machine checked as the silent
tests check it: files, settings, registry and shortcuts."""

import os
import time
import unittest
import zipfile

from wizard_lib import (CAPTION, FILETYPES, FINISH, IDNO, IDOK, IDYES, READY, WELCOME, WHATSNEW,
                        WizardTest)
from e2e_lib import (CSIDL_APPDATA, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_PROGRAMS,
                     CSIDL_DESKTOP, CSIDL_PROGRAMS, PAYLOAD_ZIP, read_utf16_ini)

DEFAULT_FIELD = "C:\\Program Files\\Pellumbra"
HEADER = "; UNICODE FILE - edit with care ;-)\r\n\r\n".encode("utf-16-le")
CLASSES = "HKLM\\SOFTWARE\\Classes\\"
UNINSTALL = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellumbra64"
FILE_EXTS = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\"
DESKTOP_LINKS = ["Pellumbra 64.lnk", "Pellumbra 64 Thumbnails.lnk"]
GROUP = ["Pellumbra 64 4.66.lnk", "Pellumbra - Thumbnails.lnk", "Pellumbra deinstallieren.lnk",
         "Über Pellumbra.lnk", "Was ist neu.lnk", "Kommandozeilen-Optionen.lnk",
         "Verfügbare PlugIns.lnk", "Verfügbare Sprachen.lnk", "Pellumbra Hilfe.lnk"]
FAQ_URL = "https://www.pellumbra.example/faq.html"
EULA_URL = "https://www.pellumbra.example/eula.html"

MSG3 = "Installation beenden?"
MSG5 = "Ungültiges Zielverzeichnis!"
MSG9 = ("Sie möchten die aktuellen Verknüpfungen ändern und einen oder mehrere Dateitypen mit "
        "Pellumbra verknüpfen!\n\nSind Sie sicher!?")
MSG10 = ("Warnung: Pellumbra läuft!\nBeenden Sie bitte Pellumbra bevor Sie mit der "
         "Installation fortsetzen!")
MSG11 = ("Kann Zielverzeichnis nicht erstellen!\n\nBitte überprüfen Sie Ihre Schreibrechte und "
         "System-Policies!\n\nVersuchen Sie das Zielverzeichnis zuerst händisch zu erstellen.")

GREY, ORANGE = 0xC0C0C0, 0x0080FF
IMAGES_ONLY = "2" * 49 + "1" * 14
# Extensions of images-only rows (with their classes) and of rows after them.
IMAGE_EXTS = {".jpeg": "Pellumbra.jpg", ".cr3": "Pellumbra.cr3", ".xpm": "Pellumbra.xpm",
              ".ani": "Pellumbra.ani", ".webp": "Pellumbra.webp"}
OTHER_EXTS = [".swf", ".ttf", ".mp3", ".avi"]


def payload_names():
    with zipfile.ZipFile(PAYLOAD_ZIP) as z:
        return [n for n in z.namelist() if not n.endswith("/")]


class Base(WizardTest):
    def setUp(self):
        super().setUp()
        # A web page opened by the wizard lands in a file, never in a browser.
        for scheme in ("http", "https"):
            self.w.reg_set(CLASSES + scheme + "\\shell\\open\\command", "",
                           "C:\\windows\\system32\\cmd.exe /c echo %1>>C:\\web_calls.txt")

    def set_release(self, name):
        self.w.reg_set("HKCU\\Software\\Wine", "Version", name)

    def start(self):
        reply = self.w.start()
        self.assertEqual(reply.get("sheet"), "1", reply)
        self.assertEqual(reply.get("box"), "0", reply)
        self.w.wait_page(WELCOME)

    def assert_buttons(self, back, next_, cancel="&Beenden", page=None):
        s = self.w.state()
        got = (s["back.enabled"], s["next.enabled"], s["cancel.enabled"], s["cancel.text"])
        self.assertEqual(got, (str(int(back)), str(int(next_)), "1", cancel), s)
        self.assertEqual(s["title"], CAPTION)
        self.assertEqual(s["finish.visible"] if s["finish.exists"] == "1" else "0", "0")
        if page is not None:
            self.assertEqual(int(s["page"]), page)
        return s

    def assert_box(self, text, buttons, default=None):
        box = self.w.box()
        self.assertIsNotNone(box, "no message box: " + text)
        self.assertEqual((box["caption"], box["text"]), (CAPTION, text))
        self.assertEqual(box["buttons"], buttons)
        if default is not None:
            self.assertEqual(box["default"], default)
        return box

    def assert_no_box(self, ms=700):
        box = self.w.box(ms)
        self.assertIsNone(box, box and box["text"])

    def finish(self, faq=False, viewer=False):
        """Sets the finish page's boxes and presses "&Fertig stellen"; the
        program must end with status 0."""
        self.w.tick(1022, faq)
        self.w.tick(1020, viewer)
        self.w.click("cancel")
        self.assertEqual(self.w.wait_exit(), 0)

    def calls(self, windows_folder):
        """The stand-in viewer's record of its starts in that folder."""
        path = os.path.join(self.prefix.linux(windows_folder), "p_lumb64_calls.txt")
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8") as f:
            return f.read().splitlines()

    def web_calls(self, expected=0):
        """The web pages opened so far; waits a while for the expected count,
        as the page is opened by a process of its own."""
        path = self.prefix.linux("C:\\web_calls.txt")
        deadline = time.monotonic() + 10
        while True:
            lines = []
            if os.path.exists(path):
                with open(path, encoding="latin-1") as f:
                    lines = [line.strip() for line in f.read().splitlines()]
            if len(lines) >= expected or time.monotonic() > deadline:
                return lines
            time.sleep(0.1)

    # What an installation left

    def assert_files(self, folder):
        root = self.prefix.linux(folder)
        for name in payload_names():
            self.assertTrue(os.path.exists(os.path.join(root, name)), name)

    def links(self, csidl):
        d = self.prefix.linux(self.w.folder(csidl))
        return sorted(n for n in os.listdir(d) if n.endswith(".lnk"))

    def group(self, csidl):
        d = os.path.join(self.prefix.linux(self.w.folder(csidl)), "Pellumbra")
        return sorted(os.listdir(d)) if os.path.isdir(d) else None

    def assert_associated(self, yes):
        w = self.w
        for ext, progid in IMAGE_EXTS.items():
            self.assertEqual(w.reg_value(CLASSES + ext) == progid, yes, ext)
        for ext in OTHER_EXTS:
            self.assertFalse((w.reg_value(CLASSES + ext) or "").startswith("Pellumbra"), ext)
        choice = w.reg_value(FILE_EXTS + ".jpeg\\UserChoice", "Progid")
        self.assertEqual(choice == "Pellumbra.jpg", yes)
        # What every installation writes.
        self.assertEqual(w.reg_value(CLASSES + ".jpg"), "Pellumbra.jpg")

    def assert_nothing_installed(self):
        self.assertFalse(os.path.exists(self.prefix.linux("C:\\Program Files\\Pellumbra")))
        for key in ("HKLM\\SOFTWARE\\Pellumbra", UNINSTALL, CLASSES + "Pellumbra",
                    CLASSES + "Pellumbra.jpg"):
            self.assertFalse(self.w.reg_key(key), key)
        for csidl in (CSIDL_DESKTOP, CSIDL_COMMON_DESKTOPDIRECTORY):
            self.assertEqual(self.links(csidl), [])
        for csidl in (CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS):
            self.assertIsNone(self.group(csidl))

    def place_viewer(self, folder):
        os.makedirs(self.prefix.linux(folder), exist_ok=True)
        with zipfile.ZipFile(PAYLOAD_ZIP) as z, \
                open(os.path.join(self.prefix.linux(folder), "p_lumb64.exe"), "wb") as f:
            f.write(z.read("p_lumb64.exe"))
        return folder + "\\p_lumb64.exe"


class DefaultPath(Base):
    def test_defaults_to_the_finish_page_then_the_viewer_starts(self):
        w = self.w
        self.start()
        self.assert_buttons(back=False, next_=True, page=WELCOME)
        s = w.state()
        self.assertEqual((s["back.text"], s["next.text"]), ("< &Zurück", "&Weiter >"))
        c = w.controls()
        self.assertEqual(c[1013]["text"], "Willkommen zur Pellumbra 64 Installation!")
        self.assertEqual(c[1056]["text"], "Dieses Programm wird Pellumbra Version  4.66  (64 bit) "
                         "auf Ihrem PC installieren.\n(Bitte mit Admin-Rechten ausführen)")
        self.assertEqual([c[i]["check"] for i in (1011, 1021, 1012, 1016, 1017)],
                         ["1", "1", "1", "1", "0"])
        self.assertEqual((c[1016]["enabled"], c[1017]["enabled"]), ("1", "1"))
        self.assertEqual(c[1000]["text"], DEFAULT_FIELD)
        self.assertEqual(c[1045]["text"], "Pellumbra EULA")
        w.press(1045)
        self.assertEqual(self.web_calls(expected=1), [EULA_URL])

        # What's new: the change history, cleaned at its end, the same each time.
        w.next(WHATSNEW)
        self.assert_buttons(back=True, next_=True)
        history = w.text(1000)
        self.assertGreater(len(history), 1000)
        self.assertEqual(history[0], "\ufeff")
        self.assertTrue(history.endswith("installieren"), history[-40:])
        w.back(WELCOME)
        self.assert_buttons(back=False, next_=True)
        w.next(WHATSNEW)
        self.assertEqual(w.text(1000), history)

        # File types: greyed and unticked until box 3311 is ticked.
        w.next(FILETYPES)
        self.assert_buttons(back=True, next_=True)
        c = w.controls()
        self.assertEqual((c[3311]["check"], c[3311]["enabled"]), ("0", "1"))
        self.assertEqual([c[i]["enabled"] for i in (1091, 1080, 1081)], ["0", "0", "0"])
        self.assertEqual(c[1037]["visible"], "0")
        lv = w.lv()
        self.assertEqual((lv["count"], lv["enabled"], lv["bk"], lv["fg"], lv["exstyle"]),
                         (63, 0, GREY, ORANGE, 0x24))
        self.assertEqual(lv["states"], "1" * 63)
        self.assertEqual(lv["col0"], lv["width"] // 3)
        self.assertEqual(lv["col1"], 2 * lv["width"] // 3 - 25)
        self.assertEqual((w.lv_text(0, 0), w.lv_text(0, 1)), ("ANI", "Animated Windows Cursors *"))
        self.assertEqual((w.lv_text(23, 0), w.lv_text(23, 1)), ("JPG/JPEG/JFIF/JPE", "JPEG Format"))
        self.assertEqual(w.lv_text(62, 0), "WMA")

        # Ready: the folder line and the recommended settings folder.
        w.next(READY)
        self.assert_buttons(back=True, next_=True)
        c = w.controls()
        self.assertEqual(c[1014]["text"], "Bereit zum Installieren!")
        self.assertEqual(c[1010]["text"], "Zielverzeichnis: " + DEFAULT_FIELD)
        self.assertEqual((c[1038]["check"], c[1039]["check"]), ("0", "1"))
        self.assertEqual([c[i]["visible"] for i in (1040, 1000, 1042, 1044)], ["0"] * 4)

        # Next installs; no file type chosen, so no question.
        w.click("next")
        self.assert_no_box(300)
        w.wait_page(FINISH, 60000)
        self.assert_buttons(back=False, next_=False, cancel="&Fertig stellen")
        c = w.controls()
        self.assertEqual(c[1015]["text"], "Einrichtung abgeschlossen!")
        self.assertEqual((c[1022]["check"], c[1020]["check"]), ("1", "1"))

        # "Pellumbra &starten" alone: the viewer starts from the welcome page's folder.
        self.finish(viewer=True)
        self.assertTrue(w.viewer_running(wait=10))
        w.viewer_close()
        (call,) = self.calls(DEFAULT_FIELD)
        self.assertTrue(call.startswith('"' + DEFAULT_FIELD + '\\p_lumb64.exe"'), call)
        self.assertEqual(self.web_calls(), [EULA_URL])

        # The machine: files, settings in the application data, shortcuts for
        # the current user, registry without associations.
        p = self.prefix
        self.assert_files(DEFAULT_FIELD)
        ini, raw = read_utf16_ini(os.path.join(p.linux(w.folder(CSIDL_APPDATA)), "Pellumbra",
                                               "p_lumb64.ini"))
        self.assertEqual(raw[2:2 + len(HEADER)], HEADER)
        self.assertEqual(ini["Language"], {"DLL": "DEUTSCH.DLL", "Lang": "Deutsch"})
        with open(p.linux(DEFAULT_FIELD + "\\p_lumb64.ini"), "rb") as f:
            self.assertIn(b"INI_Folder=%APPDATA%\\Pellumbra", f.read())
        self.assertEqual(self.links(CSIDL_DESKTOP), sorted(DESKTOP_LINKS))
        self.assertEqual(self.group(CSIDL_PROGRAMS), sorted(GROUP))
        self.assertEqual(self.links(CSIDL_COMMON_DESKTOPDIRECTORY), [])
        self.assertIsNone(self.group(CSIDL_COMMON_PROGRAMS))
        rc, link = p.probe("lnk", w.folder(CSIDL_DESKTOP) + "\\Pellumbra 64 Thumbnails.lnk")
        self.assertEqual((rc, link["path"], link["args"]),
                         (0, DEFAULT_FIELD + "\\p_lumb64.exe", "/thumbs"))
        self.assertEqual(w.reg_value(UNINSTALL, "InstallLocation"), DEFAULT_FIELD + "\\")
        self.assert_associated(False)


class WelcomeChoices(Base):
    FOLDER = "C:\\Apps\\Pell Umbra"

    def test_welcome_choices_then_an_installation_without_shortcuts(self):
        w = self.w
        self.start()
        # Next needs a folder with a drive letter; a refused Next leaves Back
        # enabled, with no page before to go to.
        for text in ("", "Programme\\Pellumbra", "\\\\server\\share\\Pellumbra", " C:\\Pellumbra"):
            with self.subTest(folder=text):
                w.set_text(1000, text)
                w.click("next")
                self.assert_box(MSG5, [IDOK])
                w.answer("ok")
                self.assertEqual(w.page(), WELCOME)
                self.assertEqual(w.text(1000), text)
        self.assert_buttons(back=True, next_=True, page=WELCOME)
        w.click("back")
        self.assert_no_box(300)
        self.assertEqual(w.page(), WELCOME)

        # The browser opens on the field's folder; the chosen folder gets
        # "Pellumbra" unless it already is one; Cancel changes nothing.
        os.makedirs(self.prefix.linux("C:\\Tools\\PELLUMBRA"))
        for text, chosen in (("C:\\Tools", "C:\\Tools\\Pellumbra\\"),
                             ("C:\\Tools\\PELLUMBRA\\", "C:\\Tools\\PELLUMBRA\\"),
                             ("C:\\", "C:\\Pellumbra\\")):
            with self.subTest(browse=text):
                w.set_text(1000, text)
                w.click(1009)
                self.assertIsNotNone(w.dialog())
                w.answer("ok")
                self.assertEqual(w.text(1000), chosen)
        w.click(1009)
        self.assertIsNotNone(w.dialog())
        w.answer("cancel")
        self.assertEqual(w.text(1000), "C:\\Pellumbra\\")

        # "C:" alone has a drive part.
        w.set_text(1000, "C:")
        w.next(WHATSNEW)
        w.back(WELCOME)

        w.click(1019)  # "&Keine"
        c = w.controls()
        self.assertEqual([c[i]["check"] for i in (1011, 1021, 1012)], ["0", "0", "0"])
        self.assertEqual([c[i]["enabled"] for i in (1016, 1017)], ["0", "0"])
        self.assertEqual(c[1016]["check"], "1")
        # The scope radios follow the three boxes.
        w.tick(1021, True)
        self.assertEqual([w.controls()[i]["enabled"] for i in (1016, 1017)], ["1", "1"])
        w.tick(1021, False)
        self.assertEqual([w.controls()[i]["enabled"] for i in (1016, 1017)], ["0", "0"])
        w.set_text(1000, self.FOLDER)

        # Back and forth keeps the welcome page's entries.
        w.next(WHATSNEW)
        w.back(WELCOME)
        self.assertEqual(w.checks(1011, 1021, 1012, 1016), (0, 0, 0, 1))
        self.assertEqual(w.text(1000), self.FOLDER)

        # The settings-folder radio is reset on every activation of the ready page.
        w.next(WHATSNEW)
        w.next(FILETYPES)
        w.next(READY)
        self.assertEqual(w.text(1010), "Zielverzeichnis: " + self.FOLDER)
        w.click(1038)
        self.assertEqual(w.checks(1038, 1039), (1, 0))
        w.back(FILETYPES)
        w.next(READY)
        self.assertEqual(w.checks(1038, 1039), (0, 1))
        w.click(1038)
        w.click("next")
        w.wait_page(FINISH, 60000)
        self.finish(viewer=True)
        self.assertTrue(w.viewer_running(wait=10))
        w.viewer_close()
        (call,) = self.calls(self.FOLDER)
        self.assertTrue(call.startswith('"' + self.FOLDER + '\\p_lumb64.exe"'), call)

        # No shortcut anywhere; the settings file is the install folder's, in UTF-16.
        p = self.prefix
        self.assert_files(self.FOLDER)
        for csidl in (CSIDL_DESKTOP, CSIDL_COMMON_DESKTOPDIRECTORY):
            self.assertEqual(self.links(csidl), [])
        for csidl in (CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS):
            self.assertIsNone(self.group(csidl))
        ini, raw = read_utf16_ini(p.linux(self.FOLDER + "\\p_lumb64.ini"))
        self.assertEqual(raw[2:2 + len(HEADER)], HEADER)
        self.assertEqual(ini["Language"]["DLL"], "DEUTSCH.DLL")
        self.assertNotIn("%APPDATA%", raw.decode("utf-16-le", "replace"))
        self.assertFalse(os.path.exists(os.path.join(p.linux(w.folder(CSIDL_APPDATA)),
                                                     "Pellumbra")))
        self.assertEqual(w.reg_value(UNINSTALL, "InstallLocation"), self.FOLDER + "\\")


class Associations(Base):
    """Three wizard runs in one prefix: no association may be written until
    the question is answered Yes."""

    def walk_to_file_types(self):
        self.start()
        self.w.next(WHATSNEW)
        self.w.next(FILETYPES)

    def test_ticks_unticked_then_no_then_yes(self):
        w = self.w
        # Run 1: choices made, then box 3311 unticked: the list is ignored.
        self.walk_to_file_types()
        w.tick(3311, True)
        lv = w.lv()
        self.assertEqual(lv["enabled"], 1)
        self.assertNotIn(lv["bk"], (GREY,))
        self.assertNotEqual(lv["fg"], ORANGE)
        own_colours = (lv["bk"], lv["fg"])
        self.assertEqual([w.controls()[i]["enabled"] for i in (1091, 1080, 1081)], ["1"] * 3)
        w.click(1080)
        self.assertEqual(w.lv()["states"], "2" * 63)
        w.click(1081)
        self.assertEqual(w.lv()["states"], "1" * 63)
        w.click(1091)
        self.assertEqual(w.lv()["states"], IMAGES_ONLY)
        w.tick(3311, False)
        lv = w.lv()
        self.assertEqual((lv["enabled"], lv["bk"], lv["fg"], lv["states"]),
                         (0, GREY, ORANGE, IMAGES_ONLY))
        self.assertEqual([w.controls()[i]["enabled"] for i in (1091, 1080, 1081)], ["0"] * 3)
        w.tick(3311, True)
        lv = w.lv()
        self.assertEqual((lv["enabled"], (lv["bk"], lv["fg"]), lv["states"]),
                         (1, own_colours, IMAGES_ONLY))
        w.tick(3311, False)
        w.next(READY)
        w.back(FILETYPES)
        lv = w.lv()
        self.assertEqual((lv["count"], lv["enabled"], lv["states"]), (63, 0, IMAGES_ONLY))
        w.next(READY)
        w.click("next")
        self.assert_no_box(300)
        w.wait_page(FINISH, 60000)
        self.finish()
        self.assert_associated(False)

        # Run 2: images only, the question answered No. The welcome page now
        # proposes the installed folder.
        self.start()
        self.assertEqual(w.text(1000), DEFAULT_FIELD + "\\")
        w.next(WHATSNEW)
        w.next(FILETYPES)
        self.assertEqual(w.checks(3311), (0,))
        w.tick(3311, True)
        w.click(1091)
        w.next(READY)
        w.click("next")
        self.assert_box(MSG9, [IDYES, IDNO], default=IDNO)
        # The installation is under way: buttons off, the busy line shown.
        s = w.state()
        self.assertEqual([s[b + ".enabled"] for b in ("back", "next", "cancel")], ["0"] * 3)
        self.assertEqual(int(s["page"]), READY)
        c = w.controls()
        self.assertEqual((c[1044]["visible"], c[1044]["text"]),
                         ("1", "Installiere ... bitte warten ..."))
        w.answer("no")
        w.wait_page(FINISH, 60000)
        self.assert_associated(False)
        # The close box on the finish page ends the wizard without a question.
        w.tick(1022, False)
        w.tick(1020, False)
        w.close_box()
        self.assert_no_box(300)
        self.assertEqual(w.wait_exit(), 0)
        self.assertEqual(self.web_calls(), [])

        # Run 3: images only, Yes: exactly the images-only rows are associated.
        # Both finish actions: the field holds the installed folder with its
        # backslash, and the viewer's path gets no second one.
        self.walk_to_file_types()
        w.tick(3311, True)
        w.click(1091)
        w.next(READY)
        w.click("next")
        self.assert_box(MSG9, [IDYES, IDNO], default=IDNO)
        w.answer("yes")
        w.wait_page(FINISH, 60000)
        self.finish(faq=True, viewer=True)
        self.assertTrue(w.viewer_running(wait=10))
        w.viewer_close()
        (call,) = self.calls(DEFAULT_FIELD)
        self.assertTrue(call.startswith('"' + DEFAULT_FIELD + '\\p_lumb64.exe"'), call)
        self.assertEqual(self.web_calls(expected=1), [FAQ_URL])
        self.assert_associated(True)


class FailureAndRunningViewer(Base):
    def test_folder_that_cannot_be_made_then_a_second_attempt(self):
        w, p = self.w, self.prefix
        with open(p.linux("C:\\blocker"), "w") as f:
            f.write("a file where a folder should go")
        viewer = self.place_viewer("C:\\viewer")

        # A running viewer is reported on every activation of the welcome
        # page, which stays usable.
        w.viewer_start(viewer)
        reply = w.start()
        self.assertEqual(reply.get("box"), "1", reply)
        self.assert_box(MSG10, [IDOK])
        w.answer("ok")
        w.wait_page(WELCOME)
        w.set_text(1000, "C:\\blocker\\sub")
        w.next(WHATSNEW)
        w.click("back")
        self.assert_box(MSG10, [IDOK])
        w.answer("ok")
        w.wait_page(WELCOME)

        w.tick(1021, False)
        w.click(1017)
        w.next(WHATSNEW)
        w.next(FILETYPES)
        w.tick(3311, True)
        w.click(1091)
        w.next(READY)
        w.click(1038)

        # The viewer still runs: Next on the ready page stays there.
        w.click("next")
        self.assert_box(MSG10, [IDOK])
        w.answer("ok")
        w.wait_page(READY)
        self.assert_buttons(back=True, next_=True)
        self.assertEqual(w.checks(1038, 1039), (1, 0))
        w.viewer_close()

        # The folder cannot be made: message 11, back on the welcome page with
        # every entry as it was.
        w.click("next")
        self.assert_box(MSG11, [IDOK])
        w.answer("ok")
        w.wait_page(WELCOME)
        self.assert_no_box(500)
        self.assert_buttons(back=False, next_=True)
        c = w.controls()
        self.assertEqual(c[1000]["text"], "C:\\blocker\\sub")
        self.assertEqual([c[i]["check"] for i in (1011, 1021, 1012, 1016, 1017)],
                         ["1", "0", "1", "0", "1"])
        self.assertTrue(os.path.isfile(p.linux("C:\\blocker")))

        # Second attempt into another folder, typed with trailing blanks.
        w.set_text(1000, "C:\\Second  ")
        w.next(WHATSNEW)
        w.next(FILETYPES)
        lv = w.lv()
        self.assertEqual((w.checks(3311), lv["enabled"], lv["states"]), ((1,), 1, IMAGES_ONLY))
        w.next(READY)
        c = w.controls()
        self.assertEqual(c[1010]["text"], "Zielverzeichnis: C:\\Second")
        self.assertEqual((c[1038]["check"], c[1039]["check"]), ("0", "1"))
        self.assertEqual(c[1044]["visible"], "1")  # the busy line stays after the first attempt
        self.assertEqual(c[1044]["text"], "Installiere ... bitte warten ...")
        w.click("next")
        self.assert_box(MSG9, [IDYES, IDNO], default=IDNO)
        w.answer("yes")
        w.wait_page(FINISH, 60000)
        self.finish()
        self.assertFalse(w.viewer_running())

        self.assert_files("C:\\Second")
        self.assertEqual(w.reg_value(UNINSTALL, "InstallLocation"), "C:\\Second\\")
        self.assertEqual(self.links(CSIDL_COMMON_DESKTOPDIRECTORY), ["Pellumbra 64.lnk"])
        self.assertEqual(self.group(CSIDL_COMMON_PROGRAMS), sorted(GROUP))
        self.assertEqual(self.links(CSIDL_DESKTOP), [])
        self.assertIsNone(self.group(CSIDL_PROGRAMS))
        self.assert_associated(True)


class Quitting(Base):
    """Cancel and the close box at every page before the finish page ask
    "Installation beenden?": No stays, Yes ends the program and installs nothing."""

    def ask_and_stay(self, action, page):
        action()
        self.assert_box(MSG3, [IDYES, IDNO], default=IDNO)
        self.w.answer("no")
        self.assert_no_box(300)  # asked once, whatever handles it
        self.assertEqual(self.w.page(), page)

    def test_quit_at_each_page(self):
        w = self.w
        actions = {"cancel": lambda: w.click("cancel"), "close": w.close_box, "escape": w.escape}
        pages = [WELCOME, WHATSNEW, FILETYPES, READY]
        for yes_by in ("cancel", "close"):
            for stop in range(len(pages)):
                with self.subTest(at=pages[stop], by=yes_by):
                    self.start()
                    w.set_text(1000, "C:\\Quit")
                    for page in pages[1:stop + 1]:
                        w.next(page)
                    if yes_by == "cancel":
                        for name in ("cancel", "close", "escape"):
                            self.ask_and_stay(actions[name], pages[stop])
                    if pages[stop] == FILETYPES:
                        self.assertEqual(w.lv()["count"], 63)
                    if pages[stop] == WELCOME:
                        self.assertEqual(w.text(1000), "C:\\Quit")
                    actions[yes_by]()
                    self.assert_box(MSG3, [IDYES, IDNO], default=IDNO)
                    w.answer("yes")
                    self.assertEqual(w.wait_exit(), 0)
        self.assertFalse(os.path.exists(self.prefix.linux("C:\\Quit")))
        self.assert_nothing_installed()
        self.assertFalse(os.path.exists(self.prefix.linux("C:\\Pellumbra_Install.log")))


class Releases(Base):
    """One prefix, one wizard run per setting: box 3311 on each release, the
    settings-folder default before 6.0, the list's columns at 144 DPI."""

    def file_type_page(self):
        self.start()
        self.w.next(WHATSNEW)
        self.w.next(FILETYPES)
        c = self.w.controls()
        return c[3311]["check"], c[3311]["enabled"]

    def quit(self):
        self.w.click("cancel")
        self.assert_box(MSG3, [IDYES, IDNO])
        self.w.answer("yes")
        self.assertEqual(self.w.wait_exit(), 0)

    def test_box_3311_by_release(self):
        w = self.w
        for release in ("win7", "win10"):
            with self.subTest(release=release):
                self.set_release(release)
                self.assertEqual(self.file_type_page(), ("0", "1"))
                w.next(READY)
                self.assertEqual(w.checks(1038, 1039), (0, 1))
                self.quit()

        # Windows XP x64 (5.2): the settings file defaults to the install folder.
        self.set_release("winxp64")
        self.file_type_page()
        w.next(READY)
        self.assertEqual(w.checks(1038, 1039), (1, 0))
        self.quit()

        # Build 22000 (Windows 11): the box stays off, the list and its buttons
        # too; an installation asks nothing and associates nothing.
        w.reg_delete("HKCU\\Software\\Wine", "Version")
        nt = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion"
        w.reg_set(nt, "CurrentVersion", "10.0")
        w.reg_set(nt, "CurrentBuildNumber", "22000")
        w.reg_set(nt, "CSDVersion", "")
        self.assertEqual(self.file_type_page(), ("0", "0"))
        self.assertEqual([w.controls()[i]["enabled"] for i in (1091, 1080, 1081)], ["0"] * 3)
        lv = w.lv()
        self.assertEqual((lv["enabled"], lv["bk"], lv["fg"]), (0, GREY, ORANGE))
        self.assertIn("error", w.click(3311, allow_error=True))
        w.next(READY)
        w.click("next")
        self.assert_no_box(300)
        w.wait_page(FINISH, 60000)
        self.finish()
        self.assert_associated(False)

        # At 144 DPI the description column gives up MulDiv(25, 144, 96) = 38
        # pixels (37.5 rounded).
        w.reg_set("HKCU\\Control Panel\\Desktop", "LogPixels", 144)
        self.file_type_page()
        lv = self.w.lv()
        self.assertEqual(lv["col0"], lv["width"] // 3)
        self.assertEqual(lv["col1"], 2 * lv["width"] // 3 - 38)
        self.quit()


if __name__ == "__main__":
    unittest.main()
