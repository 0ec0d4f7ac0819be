"""An examiner's day in the real window under Xvfb, on a Polish desktop.

Usage: examiner_test.py BUILD_DIR
Measurement files come from the simulated instrument through zr7-cli; what
the window shows is checked on the report it prints to PDF, whose numbers
are compared with values computed here from the file's own bytes.
"""

import os
import re
import struct
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Display, Zr7, require_environment, wait_for  # noqa: E402

BUILD = None
SAMPLE_SLOT = 48


def program(name):
    paths = {"zr7": "src/shell/zr7", "zr7-cli": "src/cli/zr7-cli", "zr7-sim": "tools/sim/zr7-sim"}
    return os.path.join(BUILD, paths[name])


def round_half_away(value, decimals):
    scaled = abs(value) * 10 ** decimals
    whole = int(scaled + 0.5 + 1e-9)
    text = str(whole).rjust(decimals + 1, "0")
    if decimals:
        text = text[:-decimals] + "," + text[-decimals:]
    return ("-" if value < 0 and whole else "") + text


def file_maxima(path):
    """Largest deceleration (one decimal) and force of a measurement file,
    read from its bytes: sample i starts at 48*(i-1); force int16 at 6,
    deceleration double at 8, sample 1's count int32 at 40."""
    with open(path, "rb") as measurement:
        data = measurement.read()
    count = struct.unpack_from("<i", data, 40)[0]
    forces = [struct.unpack_from("<h", data, SAMPLE_SLOT * i + 6)[0] for i in range(count)]
    accelerations = [struct.unpack_from("<d", data, SAMPLE_SLOT * i + 8)[0] for i in range(count)]
    return count, round_half_away(max(accelerations), 1), round_half_away(max(forces), 0)


class Simulator:
    """zr7-sim on a pseudo-terminal, optionally linked as a COM port."""

    def __init__(self, link=None, log=None, options=()):
        command = [program("zr7-sim")] + list(options)
        if link:
            command += ["--link", link]
        if log:
            command += ["--log", log]
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
        self.device = self.process.stdout.readline().strip()
        if link:
            wait_for(lambda: os.path.islink(link), 10, "the simulator's link")

    def close(self):
        self.process.terminate()
        self.process.wait(10)
        self.process.stdout.close()


def cli_read(arguments, options=()):
    """zr7-cli read with these arguments from a fresh zr7-sim."""
    simulator = Simulator(options=options)
    try:
        subprocess.run([program("zr7-cli"), "read", "--port", simulator.device] + arguments, check=True,
                       capture_output=True, timeout=120)
    finally:
        simulator.close()


def read_bank(bank, out):
    cli_read(["--bank", str(bank), "--out", out])


def read_banks(banks, folder, options=()):
    """The tests of these banks as zr7-cli's batch writes them into folder."""
    cli_read(["--banks", ",".join(map(str, banks)), "--dir", folder], options)


def folder_files(folder):
    """Name and bytes of each file in a folder."""
    files = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as measurement:
            files[name] = measurement.read()
    return files


def requests_in(log):
    with open(log) as lines:
        return sum(1 for _ in lines)


def pdf_text(path):
    return subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, text=True, check=True).stdout


class ExaminerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        require_environment()
        cls.display = Display()
        cls.files = tempfile.mkdtemp(prefix="zr7-desktop-files-")
        cls.long_file = os.path.join(cls.files, "bank6.zr")
        cls.short_file = os.path.join(cls.files, "bank2.zr")
        read_bank(6, cls.long_file)
        read_bank(2, cls.short_file)

    @classmethod
    def tearDownClass(cls):
        cls.display.close()

    def setUp(self):
        self.workdir = tempfile.mkdtemp(prefix="zr7-desktop-")
        self.app = Zr7(self.display, program("zr7"), self.workdir)
        # A first start without konfiguracja.txt says so once.
        box = self.display.wait_window("^zr7$")
        self.display.key(box, "Return")
        self.app.wait_main_window()
        self.addCleanup(self.app.quit)

    def open_file(self, path):
        self.app.click(Zr7.OPEN)
        self.app.choose_file("^Otw", path)

    def print_report(self):
        """Prints through the print dialog to its PDF printer; the page text."""
        pdf = os.path.join(self.workdir, "home", "print.pdf")
        if os.path.exists(pdf):
            os.remove(pdf)
        self.app.click(Zr7.PRINT)
        dialog = self.app.dialog("^Drukowanie$")
        self.display.key(dialog, "Return")
        wait_for(lambda: os.path.exists(pdf) and os.path.getsize(pdf) > 1000, 30, "the printed PDF")
        time.sleep(0.5)
        return pdf_text(pdf)

    def assert_report_maxima(self, text, path):
        _, amax, fmax = file_maxima(path)
        self.assertIn("a max [m/s2] = " + amax, text)
        self.assertIn("F [daN] = " + fmax, text)
        return amax

    def test_open_zoom_reset_resize_maximise_and_print(self):
        self.open_file(self.long_file)
        amax = self.assert_report_maxima(self.print_report(), self.long_file)
        self.assertIn(",", amax, "a Polish desktop shows a decimal comma")

        left, top, right, bottom = self.app.chart_area()
        for _ in range(3):
            self.display.drag(self.app.window, (left + 40, top + 20), ((left + right) // 2, (top + bottom) // 2))
            time.sleep(0.1)
            self.app.assert_alive("after a zoom")
        time.sleep(0.6)
        self.app.click(((left + right) // 2, (top + bottom) // 2), button=3)
        for width, height in ((829, 700), (1100, 700), (700, 450), (1280, 1000), (600, 300), (829, 532)):
            self.display.xdotool("windowsize", "--sync", self.app.window, width, height)
            self.display.drag(self.app.window, (80, 120), (min(width, 700) - 100, min(height, 450) - 60))
            time.sleep(0.2)
            self.app.assert_alive("at %dx%d" % (width, height))

        # The window manager maximises it on a double click on its title bar.
        x, y, width, height = self.display.geometry(self.app.window)
        self.display.xdotool("mousemove", "--sync", x + width // 2, y - 8)
        self.display.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        wait_for(lambda: self.display.geometry(self.app.window)[2] > 1500, 10, "the maximised window")
        self.display.drag(self.app.window, (200, 200), (900, 700))
        time.sleep(0.6)
        self.app.click((600, 500), button=3)
        self.app.assert_alive("maximised")
        self.app.responsive()
        self.assert_report_maxima(self.print_report(), self.long_file)

    def test_reopening_files_and_typed_station_data_reach_the_report(self):
        self.open_file(self.short_file)
        self.app.click(Zr7.DATA)
        dialog = self.app.dialog("^Dane SKP / pojazdu$")
        for point, text in (((240, 58), "SKP Łódź"), ((242, 210), "EL 4711"), ((241, 274), "Józef Żółć")):
            self.display.click_field(dialog, *point)
            self.display.type(dialog, text)
        self.display.key(dialog, "Return")

        text = self.print_report()
        self.assert_report_maxima(text, self.short_file)
        for typed in ("SKP Łódź", "EL 4711", "Józef Żółć"):
            self.assertIn(typed, text)
        self.open_file(self.long_file)
        text = self.print_report()
        self.assert_report_maxima(text, self.long_file)
        self.assertNotIn("EL 4711", text, "the opened file brings its own vehicle data")

    def connect_to_simulator(self, options=()):
        """zr7-sim linked as COM1, chosen and connected; its request log."""
        ports = os.path.join(self.workdir, "home", ".config", "zr7", "ports")
        os.makedirs(ports, exist_ok=True)
        log = os.path.join(self.workdir, "requests.log")
        simulator = Simulator(link=os.path.join(ports, "COM1"), log=log, options=options)
        self.addCleanup(simulator.close)

        self.app.click(Zr7.COM_LIST)
        time.sleep(0.5)
        self.display.key(self.app.window, "Home", "Return")
        self.app.click(Zr7.CONNECT)
        return log

    def test_list_of_stored_tests_reads_the_chosen_bank(self):
        log = self.connect_to_simulator()
        self.app.click(Zr7.MEMORY)
        memory = self.app.dialog("^Pamięć ZR-7$")
        wait_for(lambda: os.path.exists(log) and requests_in(log) == 48, 30, "the twelve headers")
        # The first row, bank 1, chosen with the keyboard.
        self.display.key(memory, "ctrl+Home", "Return")
        wait_for(lambda: requests_in(log) == 48 + 544, 120, "the bank read")
        reference = os.path.join(self.workdir, "bank1-cli.zr")
        read_bank(1, reference)
        self.app.responsive()
        self.assert_report_maxima(self.print_report(), reference)

    def read_marked_banks_into(self, memory, folder):
        """"Zapisz do folderu..." (after the list's two buttons) into folder."""
        self.display.key(memory, "Tab", "Tab", "Tab", "space")
        dialog = self.app.dialog("^Folder na pomiary$")
        self.display.key(dialog, "ctrl+a")
        self.display.type(dialog, folder)
        self.display.key(dialog, "Return")

    def close_box(self):
        box = self.display.wait_window("^zr7$", 60)
        self.display.key(box, "Return")
        wait_for(lambda: box not in self.display.windows_named("^zr7$"), 20, "the box to close")

    def test_stored_tests_into_a_folder_and_stopped_reads(self):
        # Paced as a real instrument that answers a little late, so that a
        # bank's read lasts seconds, time enough to stop it on a busy machine.
        log = self.connect_to_simulator(("--empty", "3", "--pace", "--latency", "4"))
        self.app.click(Zr7.MEMORY)
        memory = self.app.dialog("^Pamięć ZR-7$")
        wait_for(lambda: os.path.exists(log) and requests_in(log) == 48, 30, "the twelve headers")

        # Banks 1 to 3 marked, into a folder of a Polish name that a batch of
        # zr7-cli fills alike; the empty bank 3 gives no file.
        self.display.key(memory, "ctrl+Home", "shift+Down", "shift+Down")
        folder = os.path.join(self.workdir, "Pomiary Łódź")
        os.makedirs(folder)
        self.read_marked_banks_into(memory, folder)
        self.close_box()
        reference = os.path.join(self.workdir, "zr7-cli")
        read_banks([1, 2, 3], reference, ("--empty", "3"))
        self.assertEqual(len(folder_files(reference)), 2)
        self.assertEqual(folder_files(folder), folder_files(reference))

        # All twelve into a fresh folder, stopped by Escape during bank 2:
        # bank 1's file is whole, nothing of bank 2 is written, and no
        # request follows the stop.
        start = requests_in(log)
        stopped = os.path.join(self.workdir, "przerwany")
        os.makedirs(stopped)
        self.display.key(memory, "ctrl+a")
        self.read_marked_banks_into(memory, stopped)
        wait_for(lambda: requests_in(log) >= start + 544 + 10, 60, "bank 2's read")
        self.display.key(memory, "Escape")
        self.close_box()
        after_stop = requests_in(log)
        self.assertLess(after_stop, start + 2 * 544)
        self.assertEqual(folder_files(stopped), {name: data for name, data in folder_files(reference).items()
                                                 if name.endswith("_bank01.zr")})

        # A single read stopped by Escape in the main window says so in a
        # box; the link stays open, and the next read is whole.
        self.app.click(Zr7.READ)
        wait_for(lambda: requests_in(log) >= after_stop + 50, 30, "the bank read")
        self.display.key(self.app.window, "Escape")
        self.close_box()
        stopped_read = requests_in(log)
        self.assertLess(stopped_read, after_stop + 544)
        time.sleep(1.0)
        self.assertEqual(requests_in(log), stopped_read, "no request after the stop")
        self.app.click(Zr7.READ)
        wait_for(lambda: requests_in(log) == stopped_read + 544, 60, "a whole read after the stop")
        self.app.responsive()

    def test_read_a_bank_from_the_instrument_and_save_it(self):
        log = self.connect_to_simulator()
        self.app.click(Zr7.BANK)
        self.display.key(self.app.window, "ctrl+a")
        self.display.type(self.app.window, "3")
        self.display.key(self.app.window, "Tab")
        self.app.click(Zr7.READ)

        def read_finished():
            if not os.path.exists(log):
                return False
            size = os.path.getsize(log)
            time.sleep(1.0)
            return size > 0 and os.path.getsize(log) == size
        wait_for(read_finished, 120, "the bank read")
        self.app.assert_alive("after the read")

        saved = os.path.join(self.workdir, "bank3.zr")
        self.app.click(Zr7.SAVE)
        self.app.choose_file("^Zachowaj", saved)
        wait_for(lambda: os.path.exists(saved), 20, "the saved file")
        reference = os.path.join(self.workdir, "bank3-cli.zr")
        read_bank(3, reference)
        self.assertEqual(file_maxima(saved), file_maxima(reference))
        self.assert_report_maxima(self.print_report(), reference)


if __name__ == "__main__":
    BUILD = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
