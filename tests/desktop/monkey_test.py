"""A seeded random examiner in the real window: zooms, full views, resizes,
maximising, value labels, files opened, with waits shorter and longer than
the chart's zoom. It checks only that the program stays alive and answers.

Usage: monkey_test.py BUILD_DIR [ACTIONS] [SEED]
"""

import os
import random
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import examiner_test  # noqa: E402
from desktop import Display, Zr7, require_environment  # noqa: E402

ACTIONS = 500
SEED = 7
ZOOM_SECONDS = 0.4


def run_monkey(display, app, measurements, actions, seed, open_title="^Otw"):
    """Runs a number of seeded random actions in a shown zr7 window; the
    measurements are paths as its open dialog, titled open_title, takes
    them."""
    rng = random.Random(seed)
    maximised = False

    def point_in_chart():
        left, top, right, bottom = app.chart_area()
        return rng.randint(left, max(left, right)), rng.randint(top, max(top, bottom))

    def zoom_in():
        (x1, y1), (x2, y2) = point_in_chart(), point_in_chart()
        display.drag(app.window, (min(x1, x2), min(y1, y2)), (max(x1, x2) + 5, max(y1, y2) + 5), steps=3)

    def zoom_out_by_dragging_back():
        (x1, y1), (x2, y2) = point_in_chart(), point_in_chart()
        display.drag(app.window, (max(x1, x2) + 5, max(y1, y2) + 5), (min(x1, x2), min(y1, y2)), steps=3)

    def resize():
        nonlocal maximised
        if maximised:
            display.run(["wmctrl", "-i", "-r", str(app.window), "-b", "remove,maximized_vert,maximized_horz"])
            maximised = False
        display.xdotool("windowsize", "--sync", app.window, rng.randint(300, 1500), rng.randint(200, 1100))

    def toggle_maximised():
        nonlocal maximised
        maximised = not maximised
        change = "add" if maximised else "remove"
        display.run(["wmctrl", "-i", "-r", str(app.window), "-b", change + ",maximized_vert,maximized_horz"])

    def open_measurement():
        app.click(Zr7.OPEN)
        app.choose_file(open_title, rng.choice(measurements))

    choices = [
        (30, zoom_in),
        (10, zoom_out_by_dragging_back),
        (10, lambda: app.click(point_in_chart(), button=3)),
        (8, lambda: app.click(point_in_chart(), repeat=2)),
        (15, resize),
        (5, toggle_maximised),
        (3, open_measurement),
    ]
    weights = [weight for weight, _ in choices]
    done = []
    for number in range(actions):
        action = rng.choices([a for _, a in choices], weights)[0]
        done.append(action.__name__)
        try:
            action()
        except AssertionError as error:
            raise AssertionError("%s; the actions so far: %s" % (error, done[-8:])) from None
        # Waits shorter and longer than a zoom's animation.
        time.sleep(rng.choice([0, 0.02, 0.1, ZOOM_SECONDS * 0.5, ZOOM_SECONDS * 1.5]))
        app.assert_alive("after action %d (%s), seed %d" % (number, action.__name__, seed))
        if number % 100 == 99:
            app.responsive()
    app.responsive()


class MonkeyTest(unittest.TestCase):
    def test_random_examiner_keeps_the_program_alive(self):
        require_environment()
        display = Display()
        self.addCleanup(display.close)
        files = tempfile.mkdtemp(prefix="zr7-monkey-files-")
        measurements = []
        for bank in (6, 2):
            path = os.path.join(files, "bank%d.zr" % bank)
            examiner_test.read_bank(bank, path)
            measurements.append(path)

        workdir = tempfile.mkdtemp(prefix="zr7-monkey-")
        app = Zr7(display, examiner_test.program("zr7"), workdir)
        self.addCleanup(app.quit)
        display.key(display.wait_window("^zr7$"), "Return")
        app.wait_main_window()

        run_monkey(display, app, measurements, ACTIONS, SEED)


if __name__ == "__main__":
    examiner_test.BUILD = os.path.abspath(sys.argv.pop(1))
    if len(sys.argv) > 1:
        ACTIONS = int(sys.argv.pop(1))
    if len(sys.argv) > 1:
        SEED = int(sys.argv.pop(1))
    unittest.main(verbosity=2)
