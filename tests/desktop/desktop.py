"""The real program on a real X server, driven as an examiner drives it.

An Xvfb display with a window manager (openbox, so windows get frames and
can be maximised), the built zr7 started on the xcb platform under the
Polish locale, and mouse and keyboard input through the X server (xdotool).
Every tool is required: a missing one fails the test, it never skips.
"""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

REQUIRED_TOOLS = ("Xvfb", "openbox", "xdotool", "wmctrl", "xwininfo", "setxkbmap", "pdftotext")
SCREEN = (1600, 1200)


def require_environment():
    missing = [tool for tool in REQUIRED_TOOLS if shutil.which(tool) is None]
    if missing:
        raise AssertionError("missing tools (scripts/install-deps.sh installs them): " + ", ".join(missing))
    locales = subprocess.run(["locale", "-a"], capture_output=True, text=True, check=True).stdout.split()
    if "pl_PL.utf8" not in locales:
        raise AssertionError("the pl_PL.UTF-8 locale is not installed")


def wait_for(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


def end_process(process, timeout, ask=None):
    """Asks a process to end (terminate, unless ask does it another way)
    and waits for it; one that has not ended after timeout seconds is killed."""
    (ask or process.terminate)()
    try:
        process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


class Display:
    """An Xvfb server with openbox on a display number of its own choosing."""

    def __init__(self):
        self.server = self.window_manager = None
        try:
            self.start()
        except BaseException:
            self.close()
            raise

    def start(self):
        read_end, write_end = os.pipe()
        # -noreset: without it the server starts over whenever its last
        # client leaves, and refuses the next one for a moment.
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN, "-nolisten", "tcp",
             "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        if not number:
            raise AssertionError("Xvfb did not start")
        self.name = ":" + number
        self.env = dict(os.environ, DISPLAY=self.name)
        self.env.pop("WAYLAND_DISPLAY", None)
        # A Polish keyboard, so Polish letters are typed as a user types them.
        self.run(["setxkbmap", "-layout", "pl"])
        self.window_manager_log = tempfile.TemporaryFile(mode="w+")
        self.window_manager = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                               stdout=self.window_manager_log, stderr=subprocess.STDOUT)

        def window_manager_ready():
            if self.window_manager.poll() is not None:
                self.window_manager_log.seek(0)
                raise AssertionError("openbox ended: " + self.window_manager_log.read())
            return self.run(["wmctrl", "-m"], check=False).returncode == 0
        wait_for(window_manager_ready, 120, "the window manager")

    def run(self, command, check=True):
        return subprocess.run(command, env=self.env, capture_output=True, text=True, check=check)

    def xdotool(self, *arguments):
        return self.run(["xdotool"] + [str(a) for a in arguments]).stdout

    def windows(self):
        """The windows the window manager shows, as (id, title) pairs."""
        listing = self.run(["wmctrl", "-l"], check=False).stdout
        shown = []
        for line in listing.splitlines():
            fields = line.split(None, 3)
            if len(fields) >= 3:
                shown.append((int(fields[0], 16), fields[3] if len(fields) == 4 else ""))
        return shown

    def windows_named(self, pattern):
        return [window for window, title in self.windows() if re.search(pattern, title)]

    def wait_window(self, pattern, timeout=20):
        try:
            return wait_for(lambda: (self.windows_named(pattern) or [None])[-1], timeout, "a window named " + pattern)
        except AssertionError as error:
            self.screenshot_on_failure()
            shown = [title for _, title in self.windows()]
            raise AssertionError("%s; windows shown: %s" % (error, shown)) from None

    def geometry(self, window):
        """Position and size of a window's client area on the screen."""
        values = {}
        for line in self.run(["xwininfo", "-id", str(window)]).stdout.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))

    def click(self, window, x, y, button=1, repeat=1):
        """A click at a point of a window's client area, as the mouse makes it."""
        left, top, _, _ = self.geometry(window)
        self.xdotool("mousemove", "--sync", left + x, top + y)
        self.xdotool("click", "--repeat", repeat, "--delay", 80, button)

    def click_field(self, window, x, y):
        """Clicks into an edit box and gives the program time to move the
        focus there before anything is typed: on a busy machine the keys
        can otherwise reach the box that had the focus before."""
        self.click(window, x, y)
        time.sleep(0.5)

    def drag(self, window, start, end, steps=8):
        left, top, _, _ = self.geometry(window)
        self.xdotool("mousemove", "--sync", left + start[0], top + start[1])
        self.xdotool("mousedown", 1)
        for step in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * step // steps
            y = start[1] + (end[1] - start[1]) * step // steps
            self.xdotool("mousemove", "--sync", left + x, top + y)
        self.xdotool("mouseup", 1)

    def key(self, window, *keys):
        self.xdotool("windowactivate", "--sync", window)
        self.xdotool("key", "--clearmodifiers", "--delay", 40, *keys)

    def type(self, window, text):
        self.xdotool("windowactivate", "--sync", window)
        self.xdotool("type", "--delay", 80, text)
        time.sleep(0.2)

    def screenshot_on_failure(self):
        """The screen as an X window dump beside the test's files, for a
        person to look at (xwud or ImageMagick's convert show it)."""
        path = os.path.join(tempfile.gettempdir(), "zr7-desktop-failure-%d.xwd" % os.getpid())
        self.run(["xwd", "-root", "-silent", "-out", path], check=False)
        print("screen at the failure: " + path)

    def close(self):
        for process in (self.window_manager, self.server):
            if process is None:
                continue
            end_process(process, 10)
        if self.window_manager is not None:
            self.window_manager_log.close()


class Zr7:
    """The built program in a working folder of its own, under pl_PL.UTF-8."""

    # Client-area points of the tool panel's controls (the panel sits at the
    # top of the window, the menu-less main window adds nothing above it).
    OPEN = (16, 16)
    SAVE = (44, 18)
    MEMORY = (69, 16)
    PRINT = (94, 16)
    LOGO = (60, 42)
    COM_LIST = (184, 15)
    CONNECT = (184, 42)
    BANK = (250, 16)
    READ = (256, 42)
    DATA = (356, 32)

    def __init__(self, display, executable, workdir, konfiguracja=None):
        self.display = display
        self.workdir = workdir
        home = os.path.join(workdir, "home")
        os.makedirs(home, exist_ok=True)
        if konfiguracja is not None:
            with open(os.path.join(workdir, "konfiguracja.txt"), "wb") as f:
                f.write(konfiguracja)
        runtime = tempfile.mkdtemp(prefix="zr7-runtime-")
        env = dict(display.env, LANG="pl_PL.UTF-8", LC_ALL="pl_PL.UTF-8", LANGUAGE="pl", HOME=home,
                   XDG_CONFIG_HOME=os.path.join(home, ".config"), QT_QPA_PLATFORM="xcb",
                   XDG_RUNTIME_DIR=runtime)
        # A print system of its own, whatever the machine has set up: its
        # server is a socket in the program's runtime folder on which nothing
        # listens, so it holds no printer queue, and the print dialog always
        # offers the PDF file the tests read back. The machine's print system
        # (a station's CUPS queue as its default printer) would otherwise be
        # the dialog's first choice. No default printer comes from outside.
        env["CUPS_SERVER"] = os.path.join(runtime, "cups.sock")
        for variable in ("PRINTER", "LPDEST"):
            env.pop(variable, None)
        self.log = open(os.path.join(workdir, "zr7.log"), "w")
        self.process = subprocess.Popen([executable], cwd=workdir, env=env, stdout=self.log, stderr=subprocess.STDOUT)
        self.window = None

    def wait_main_window(self):
        self.window = self.display.wait_window("^ZR-7$")

    def alive(self):
        return self.process.poll() is None

    def assert_alive(self, what=""):
        if not self.alive():
            code = self.process.returncode
            reason = "signal %s" % signal.Signals(-code).name if code < 0 else "exit code %d" % code
            raise AssertionError("zr7 ended (%s) %s" % (reason, what))

    def click(self, point, button=1, repeat=1):
        self.display.click(self.window, point[0], point[1], button, repeat)

    def client_size(self):
        return self.display.geometry(self.window)[2:]

    def chart_area(self):
        """The plot part of the chart in client coordinates: below the tool
        panel, above the status bar, inside the axes and left of the legend."""
        width, height = self.client_size()
        return (70, 73 + 30, width - 200, height - 19 - 60)

    def responsive(self, timeout=20):
        """The program answers a click on the logo with its about box."""
        self.click(self.LOGO)
        box = self.display.wait_window("^ZR-7, wersja 1.2$", timeout)
        self.display.key(box, "Return")
        wait_for(lambda: box not in self.display.windows_named("^ZR-7, wersja 1.2$"), timeout, "the about box to close")

    def dialog(self, title_pattern, timeout=20):
        return self.display.wait_window(title_pattern, timeout)

    def choose_file(self, title_pattern, path):
        """Types a full path into a file dialog and accepts it."""
        dialog = self.dialog(title_pattern)
        self.display.key(dialog, "ctrl+a")
        self.display.type(dialog, path)
        self.display.key(dialog, "Return")
        wait_for(lambda: dialog not in self.display.windows_named(title_pattern), 20, "the file dialog to close")

    def quit(self):
        if self.alive():
            end_process(self.process, 20,
                        lambda: self.display.run(["wmctrl", "-i", "-c", str(self.window)], check=False))
        self.log.close()
