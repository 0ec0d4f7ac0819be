"""The keyboard in the real window under Xvfb: Enter presses the focused
button, as on Windows, in the main window and in the data dialog.

Usage: keyboard_test.py BUILD_DIR
"""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Display, Zr7, require_environment, wait_for  # noqa: E402

BUILD = None
DATA_DIALOG = "^Dane SKP / pojazdu$"
ADDRESS = (240, 82)  # inside edAdres, in the dialog's client area


class KeyboardTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        require_environment()
        cls.display = Display()

    @classmethod
    def tearDownClass(cls):
        cls.display.close()

    def setUp(self):
        self.workdir = tempfile.mkdtemp(prefix="zr7-keyboard-")
        self.app = Zr7(self.display, os.path.join(BUILD, "src/shell/zr7"), self.workdir)
        box = self.display.wait_window("^zr7$")  # no konfiguracja.txt yet
        self.display.key(box, "Return")
        self.app.wait_main_window()
        self.addCleanup(self.app.quit)

    def test_enter_on_the_focused_button_presses_it(self):
        # From the bank number Tab passes the disabled "Czytaj" and lands on
        # "Dane SKP / pojazdu"; Enter there opens the dialog.
        self.app.click(Zr7.BANK)
        self.display.key(self.app.window, "Tab", "Return")
        dialog = self.app.dialog(DATA_DIALOG)

        # Tab from the address to "modyfikuj", Enter: the station data are
        # written and the dialog hides.
        self.display.click(dialog, *ADDRESS)
        self.display.type(dialog, "ul. Krótka 1")
        self.display.key(dialog, "Tab", "Return")
        konfiguracja = os.path.join(self.workdir, "konfiguracja.txt")
        wait_for(lambda: os.path.exists(konfiguracja), 20, "konfiguracja.txt")
        with open(konfiguracja, "rb") as f:
            self.assertEqual(f.read(), b"\r\nul. Kr\xf3tka 1\r\n\r\n0\r\n")
        wait_for(lambda: dialog not in self.display.windows_named(DATA_DIALOG), 20, "the dialog to hide")
        self.app.assert_alive()


if __name__ == "__main__":
    BUILD = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
