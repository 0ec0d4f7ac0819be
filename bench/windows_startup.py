"""Start-up of the installed zr7.exe under Wine, from the moment Windows is
asked to start it to its first window on the screen (Xvfb with openbox).

A fresh prefix gets the installer silently; then:
  first start  the desktop shortcut right after the installation, without
               konfiguracja.txt, to the box that says so;
  shortcut     the desktop shortcut with konfiguracja.txt in Documents\\ZR-7,
               to the main window, while the Wine session runs on (as on a
               station, where Windows is up before the examiner starts us);
  program      zr7.exe itself in Documents\\ZR-7, the same session: the
               shortcut's own share is the difference;
  cold Wine    the shortcut after wineserver -k, so Wine starts its own
               services first, which Windows never has to.
Each is the median and the fastest of RUNS starts.

Usage: windows_startup.py SETUP_EXE [RUNS]
"""

import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "desktop"))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "windows"))
from desktop import Display, require_environment, wait_for  # noqa: E402
from installed_window_test import WINE, WINESERVER, WinePrefix, dismiss  # noqa: E402

KONFIGURACJA = "SKP Bench\r\nul. Długa 1\r\n\r\n7\r\n".encode("cp1250")


def timed_start(display, prefix, command, cwd, title):
    """Seconds from the command to the first window named title; the
    window is closed again and the program waited for."""
    started = time.monotonic()
    process = subprocess.Popen(command, env=prefix.env, cwd=cwd, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    window = wait_for(lambda: (display.windows_named(title) or [None])[-1], 60, "a window named " + title)
    seconds = time.monotonic() - started
    if title == "^zr7$":
        dismiss(display, window)
        window = display.wait_window("^ZR-7$")
    display.run(["wmctrl", "-i", "-c", str(window)], check=False)
    wait_for(lambda: not display.windows_named("^(ZR-7|zr7)$"), 30, "zr7.exe to close")
    process.wait(30)
    # start.exe ends before the program; let the program end too.
    time.sleep(0.5)
    return seconds


def report(name, seconds):
    print("%-12s median %.2f s, fastest %.2f s (%s)" %
          (name, statistics.median(seconds), min(seconds), " ".join("%.2f" % s for s in seconds)), flush=True)


def main():
    setup = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    require_environment()
    display = Display()
    prefix = WinePrefix(display)
    try:
        prefix.run([WINE, setup, "/S"], timeout=300)
        documents = os.path.join(prefix.documents, "ZR-7")
        shortcut = prefix.run([WINE, "winepath", "-w", os.path.join(prefix.desktop, "ZR-7.lnk")]).stdout.strip()
        program = prefix.run([WINE, "winepath", "-w", os.path.join(prefix.program_files(), "zr7.exe")]).stdout.strip()
        by_shortcut = [WINE, "start", shortcut]

        report("first start", [timed_start(display, prefix, by_shortcut, documents, "^zr7$")])
        with open(os.path.join(documents, "konfiguracja.txt"), "wb") as konfiguracja:
            konfiguracja.write(KONFIGURACJA)
        session = subprocess.Popen([WINESERVER, "-p"], env=prefix.env)
        report("shortcut", [timed_start(display, prefix, by_shortcut, documents, "^ZR-7$") for _ in range(runs)])
        report("program", [timed_start(display, prefix, [WINE, program], documents, "^ZR-7$") for _ in range(runs)])
        cold = []
        for _ in range(runs):
            subprocess.run([WINESERVER, "-k"], env=prefix.env, check=False)
            subprocess.run([WINESERVER, "-w"], env=prefix.env, check=False)
            cold.append(timed_start(display, prefix, by_shortcut, documents, "^ZR-7$"))
        report("cold Wine", cold)
        session.wait()
    finally:
        prefix.close()
        display.close()


if __name__ == "__main__":
    main()
