"""The Windows program as a station gets it, under Wine on Xvfb: the
installer run silently in a fresh Wine prefix, the program started from its
desktop shortcut, a bank read from zr7-sim through a COM port of the prefix,
saved and printed on the station's printer (a CUPS queue), a shorter random
examiner, then the uninstaller.

Usage: installed_window_test.py SETUP_EXE LINUX_BUILD_DIR OUT_DIR
The Linux build gives zr7-sim and zr7-cli (the reference read); OUT_DIR
receives a screenshot of the installed window for a person to look at.
"""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "desktop"))
import examiner_test  # noqa: E402
import monkey_test  # noqa: E402
from desktop import Display, Zr7, require_environment, wait_for  # noqa: E402
from station_printer import StationPrinter  # noqa: E402

SETUP = OUT = None
WINE = shutil.which("wine64") or "/usr/lib/wine/wine64"
WINESERVER = shutil.which("wineserver") or "/usr/lib/wine/wineserver"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZR-7"
MONKEY_ACTIONS = 60
READ_BANK = 12
# Windows' own file dialogs; the program gives them no title of its own.
SAVE_DIALOG = "^(Zapisz jako|)$"
OPEN_DIALOG = "^(Otwórz|)$"
PRINT_DIALOG = "^Wydrukuj$"


class WinePrefix:
    """A fresh Wine prefix whose user has a desktop and a documents folder of
    their own, as on Windows, under a home folder of the test, and the
    station's printer as the default printer."""

    def __init__(self, display, printer):
        self.root = tempfile.mkdtemp(prefix="zr7-wine-station-")
        self.home = os.path.join(self.root, "home")
        self.desktop = os.path.join(self.home, "Pulpit")
        self.documents = os.path.join(self.home, "Dokumenty")
        for folder in (self.desktop, self.documents, os.path.join(self.home, ".config")):
            os.makedirs(folder)
        with open(os.path.join(self.home, ".config", "user-dirs.dirs"), "w") as dirs:
            dirs.write('XDG_DESKTOP_DIR="$HOME/Pulpit"\nXDG_DOCUMENTS_DIR="$HOME/Dokumenty"\n')
        self.path = os.path.join(self.root, "prefix")
        self.env = dict(display.env, WINEPREFIX=self.path, HOME=self.home, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", LANG="pl_PL.UTF-8", LC_ALL="pl_PL.UTF-8",
                        CUPS_SERVER=printer.socket)
        for variable in ("WINEPATH", "PRINTER", "LPDEST"):
            self.env.pop(variable, None)
        self.run([WINE, "wineboot", "-i"], timeout=300)

    def run(self, command, timeout=120, check=True):
        return subprocess.run(command, env=self.env, capture_output=True, text=True, errors="replace", timeout=timeout,
                              check=check)

    def program_files(self):
        return os.path.join(self.path, "drive_c", "Program Files", "ZR-7")

    def start_menu(self):
        found = glob.glob(os.path.join(self.path, "drive_c", "users", "*", "AppData", "Roaming", "Microsoft",
                                       "Windows", "Start Menu", "Programs", "ZR-7"))
        return found[0] if found else None

    def registry_has(self, key):
        return self.run([WINE, "reg", "query", key], check=False).returncode == 0

    def close(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, check=False)
        shutil.rmtree(self.root, ignore_errors=True)


def dismiss(display, box):
    """Presses Return in a message box until it goes: under Wine a box can be
    shown a moment before it takes keys."""
    for _ in range(6):
        display.key(box, "Return")
        try:
            wait_for(lambda: box not in [w for w, _ in display.windows()], 5, "the box to close")
            return
        except AssertionError:
            continue
    raise AssertionError("the message box did not close on Return")


class ShortcutZr7(Zr7):
    """zr7.exe started by Windows from its desktop shortcut, in the working
    folder the shortcut names."""

    def __init__(self, display, prefix):
        self.display = display
        self.prefix = prefix
        self.workdir = os.path.join(prefix.documents, "ZR-7")
        self.log = open(os.path.join(prefix.root, "zr7.log"), "w")
        shortcut = prefix.run([WINE, "winepath", "-w", os.path.join(prefix.desktop, "ZR-7.lnk")]).stdout.strip()
        # Timed from here: Windows is asked to start the program.
        self.started = time.monotonic()
        self.process = subprocess.Popen([WINE, "start", shortcut], env=prefix.env, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        self.window = None

    def responsive(self, timeout=20):
        """The program answers a click on the logo with its about box."""
        self.click(self.LOGO)
        dismiss(self.display, self.display.wait_window("^ZR-7, wersja 1.2$", timeout))

    def alive(self):
        # start.exe ends once the program runs; the program is alive while
        # its window is there.
        return self.window is None or self.window in [w for w, _ in self.display.windows()]

    def assert_alive(self, what=""):
        if not self.alive():
            raise AssertionError("zr7.exe ended " + what)

    def quit(self):
        if self.window is not None and self.alive():
            self.display.run(["wmctrl", "-i", "-c", str(self.window)], check=False)
            wait_for(lambda: not self.alive(), 20, "zr7.exe to end")
        self.process.wait(30)
        self.log.close()


def braking_ratio(path):
    """The braking ratio in whole per cent, as the Linux zr7-cli tells it."""
    shown = subprocess.run([examiner_test.program("zr7-cli"), "show", path], capture_output=True, text=True,
                           check=True).stdout
    ratio = re.search(r"^braking_ratio_pct: ([0-9.]+)$", shown, re.M)
    if not ratio:
        raise AssertionError("zr7-cli show gives no braking ratio:\n" + shown)
    return int(float(ratio.group(1)) + 0.5)


class InstalledWindowTest(unittest.TestCase):
    def assert_status_shows_braking_ratio(self, app, prefix, path):
        """Reads the status bar's third panel off the screen, as a person
        would, and finds the braking ratio of the file in it."""
        left, top, width, height = self.display.geometry(app.window)
        screen = os.path.join(prefix.root, "status.xwd")
        panel = os.path.join(prefix.root, "status.png")
        self.display.run(["xwd", "-root", "-silent", "-out", screen])
        subprocess.run(["convert", screen, "-crop", "%dx18+%d+%d" % (width // 3, left + width - width // 3,
                                                                     top + height - 19),
                        "-scale", "400%", "-colorspace", "Gray", panel], check=True)
        text = subprocess.run(["tesseract", panel, "-"], capture_output=True, text=True, check=True).stdout
        ratio = braking_ratio(path)
        self.assertIn("(%d%%)" % ratio, text.replace(" ", ""), "the third panel reads: " + text)

    def setUp(self):
        require_environment()
        self.display = Display()
        self.addCleanup(self.display.close)
        self.printer = StationPrinter()
        self.addCleanup(self.printer.close)
        self.prefix = WinePrefix(self.display, self.printer)
        self.addCleanup(self.prefix.close)

    def test_install_start_read_save_and_uninstall(self):
        prefix = self.prefix
        prefix.run([WINE, SETUP, "/S"], timeout=300)
        installed = prefix.program_files()
        for name in ("zr7.exe", "zr7-cli.exe", "CZYTAJ.txt", "odinstaluj.exe", "platforms/qwindows.dll"):
            self.assertTrue(os.path.isfile(os.path.join(installed, name)), name + " is not installed")
        self.assertTrue(os.path.isfile(os.path.join(prefix.desktop, "ZR-7.lnk")), "no desktop shortcut")
        self.assertIsNotNone(prefix.start_menu(), "no Start menu folder")
        self.assertTrue(os.path.isfile(os.path.join(prefix.start_menu(), "ZR-7.lnk")), "no Start menu entry")
        documents = os.path.join(prefix.documents, "ZR-7")
        self.assertTrue(os.path.isdir(documents), "no Documents\\ZR-7")
        self.assertTrue(prefix.registry_has(UNINSTALL_KEY), "not in the list of installed programs")

        app = ShortcutZr7(self.display, prefix)
        self.addCleanup(app.quit)
        # The shortcut's working folder holds no konfiguracja.txt yet: the
        # program says so once, before its window.
        box = self.display.wait_window("^zr7$", 60)
        shown = time.monotonic() - app.started
        dismiss(self.display, box)
        app.wait_main_window()
        print("start to the first window under Wine: %.1f s" % shown)
        self.display.run(["xwd", "-root", "-silent", "-out", os.path.join(prefix.root, "screen.xwd")])
        subprocess.run(["convert", os.path.join(prefix.root, "screen.xwd"),
                        os.path.join(OUT, "installed-window.png")], check=True)
        app.responsive()

        # The longest bank, from an instrument paced as a real one: the
        # read's time is told beside the line's floor (bench/bank_read).
        log = os.path.join(prefix.root, "requests.log")
        simulator = examiner_test.Simulator(link=os.path.join(prefix.path, "dosdevices", "com7"), log=log,
                                            options=("--pace", "--latency", "1"))
        self.addCleanup(simulator.close)
        app.click(Zr7.COM_LIST)
        time.sleep(0.5)
        self.display.key(app.window, "Home", *(["Down"] * 6), "Return")
        app.click(Zr7.CONNECT)
        app.click(Zr7.BANK)
        self.display.key(app.window, "ctrl+a")
        self.display.type(app.window, str(READ_BANK))
        self.display.key(app.window, "Tab")
        app.click(Zr7.READ)

        wait_for(lambda: os.path.exists(log) and os.path.getsize(log) > 0, 30, "the first request")
        first = last = time.monotonic()
        size = os.path.getsize(log)
        while time.monotonic() - last < 1.0:
            time.sleep(0.005)
            if os.path.getsize(log) != size:
                size, last = os.path.getsize(log), time.monotonic()
            self.assertLess(last - first, 120, "the bank read did not end")
        print("bank %d read in the window under Wine: %.2f s from the first request to the last" %
              (READ_BANK, last - first))
        app.assert_alive("after the read")

        # A bare name lands in the working folder, where the dialog opens.
        app.click(Zr7.SAVE)
        app.choose_file(SAVE_DIALOG, "bank%d.zr" % READ_BANK)
        saved = os.path.join(documents, "bank%d.zr" % READ_BANK)
        wait_for(lambda: os.path.exists(saved), 20, "the saved file in Documents\\ZR-7")
        reference = os.path.join(documents, "bank%d-linux.zr" % READ_BANK)
        examiner_test.read_bank(READ_BANK, reference)
        with open(saved, "rb") as window_file, open(reference, "rb") as linux_file:
            self.assertEqual(window_file.read(), linux_file.read(),
                             "the window's file differs from the Linux zr7-cli read")
        self.assert_status_shows_braking_ratio(app, prefix, saved)

        # Windows' own print dialog offers the station's printer first; the
        # printer gets the one-page report of the test on the screen.
        app.click(Zr7.PRINT)
        self.display.key(self.display.wait_window(PRINT_DIALOG, 30), "Return")
        wait_for(self.printer.jobs_printed, 60, "the report at the station's printer")
        self.assertEqual(len(self.printer.jobs_printed()), 1)
        text, pages = self.printer.page_text(self.printer.jobs_printed()[0])
        self.assertEqual(pages, 1, text)
        _, amax, fmax = examiner_test.file_maxima(saved)
        self.assertIn("a max [m/s2] = " + amax, text)
        self.assertIn("F [daN] = " + fmax, text)
        app.assert_alive("after printing")

        # The list of stored tests reads the twelve headers and opens on the
        # bank of the main window, which Enter reads again.
        before = examiner_test.requests_in(log)
        app.click(Zr7.MEMORY)
        memory = self.display.wait_window("^Pamięć ZR-7$", 30)
        wait_for(lambda: examiner_test.requests_in(log) == before + 48, 30, "the twelve headers")
        self.display.key(memory, "Return")
        wait_for(lambda: examiner_test.requests_in(log) == before + 48 + 544, 60, "the chosen bank's read")
        self.display.run(["wmctrl", "-i", "-c", str(memory)])
        wait_for(lambda: memory not in self.display.windows_named("^Pamięć ZR-7$"), 20, "the list to close")
        app.assert_alive("after the list")

        # The open dialog starts in the folder of the last file, where both
        # files are: their bare names open them.
        measurements = [os.path.basename(path) for path in (saved, reference)]
        monkey_test.run_monkey(self.display, app, measurements, MONKEY_ACTIONS, monkey_test.SEED, OPEN_DIALOG)
        app.quit()
        # Only now: an instrument that goes away from a connected window is
        # told to the examiner in a box.
        simulator.close()

        prefix.run([WINE, os.path.join(installed, "odinstaluj.exe"), "/S"], timeout=120)
        # The uninstaller runs on from a copy of itself in the temporary folder.
        wait_for(lambda: not os.path.exists(installed), 120, "the uninstaller to remove the program")
        self.assertFalse(os.path.exists(os.path.join(prefix.desktop, "ZR-7.lnk")), "the desktop shortcut stayed")
        self.assertIsNone(prefix.start_menu(), "the Start menu folder stayed")
        self.assertFalse(prefix.registry_has(UNINSTALL_KEY), "still in the list of installed programs")
        self.assertTrue(os.path.isfile(saved), "the uninstaller removed the user's measurement")


if __name__ == "__main__":
    SETUP = os.path.abspath(sys.argv.pop(1))
    examiner_test.BUILD = os.path.abspath(sys.argv.pop(1))
    OUT = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
