"""A station's printer for a test: a CUPS scheduler of the test's own, on a
socket in a temporary folder, with one queue, "station", the default one,
whose jobs are kept as files instead of going to paper. Programs that are
given its environment (CUPS_SERVER) see it as the machine's printer; Wine
offers it to Windows programs as their default printer."""

import glob
import os
import shutil
import stat
import subprocess
import tempfile

from desktop import end_process, wait_for

CUPSD = "/usr/sbin/cupsd"
CUPS_PROGRAMS = "/usr/lib/cups"
# The queue's device: asked with no arguments, it tells CUPS what it is;
# with a job, it keeps the job's bytes (the file named in $6, else its
# standard input) as a file named for the job's number.
KEEP_BACKEND = """#!/bin/sh
if [ $# -eq 0 ]; then echo 'direct keep "Unknown" "Keeps jobs as files"'; exit 0; fi
cat "${6:--}" > "%s/job-$1.prn.part" && mv "%s/job-$1.prn.part" "%s/job-$1.prn"
"""


class StationPrinter:
    def __init__(self):
        for tool in (CUPSD, shutil.which("lpadmin"), shutil.which("lpstat")):
            if not tool or not os.path.exists(tool):
                raise AssertionError("the print system is missing (scripts/install-deps.sh --windows)")
        self.root = tempfile.mkdtemp(prefix="zr7-cups-")
        # CUPS runs the device as the user lp: it must reach the jobs folder.
        os.chmod(self.root, 0o755)
        self.jobs = os.path.join(self.root, "jobs")
        os.makedirs(self.jobs)
        os.chmod(self.jobs, 0o1777)
        for folder in ("spool", "cache", "state", "tmp", "log"):
            os.makedirs(os.path.join(self.root, folder))
        # CUPS' own filters and backends, and the keeping device beside them.
        programs = os.path.join(self.root, "programs")
        os.makedirs(os.path.join(programs, "backend"))
        for entry in os.listdir(CUPS_PROGRAMS):
            if entry != "backend":
                os.symlink(os.path.join(CUPS_PROGRAMS, entry), os.path.join(programs, entry))
        backend = os.path.join(programs, "backend", "keep")
        with open(backend, "w") as script:
            script.write(KEEP_BACKEND % (self.jobs, self.jobs, self.jobs))
        os.chmod(backend, stat.S_IRWXU | stat.S_IRGRP | stat.S_IXGRP | stat.S_IROTH | stat.S_IXOTH)

        self.socket = os.path.join(self.root, "cups.sock")
        configuration = os.path.join(self.root, "cupsd.conf")
        with open(configuration, "w") as conf:
            conf.write("Listen %s\nLogLevel warn\nWebInterface No\n"
                       "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n" % self.socket)
        files = os.path.join(self.root, "cups-files.conf")
        with open(files, "w") as conf:
            conf.write("".join("%s %s\n" % pair for pair in (
                ("ServerRoot", self.root), ("RequestRoot", os.path.join(self.root, "spool")),
                ("CacheDir", os.path.join(self.root, "cache")), ("StateDir", os.path.join(self.root, "state")),
                ("TempDir", os.path.join(self.root, "tmp")), ("ErrorLog", os.path.join(self.root, "log", "error_log")),
                ("AccessLog", os.path.join(self.root, "log", "access_log")),
                ("PageLog", os.path.join(self.root, "log", "page_log")),
                ("ServerBin", programs), ("DataDir", "/usr/share/cups"))))
        self.env = dict(os.environ, CUPS_SERVER=self.socket)
        for variable in ("PRINTER", "LPDEST"):
            self.env.pop(variable, None)
        self.log = open(os.path.join(self.root, "cupsd.out"), "w")
        self.process = subprocess.Popen([CUPSD, "-f", "-c", configuration, "-s", files], stdout=self.log,
                                        stderr=subprocess.STDOUT)
        wait_for(lambda: self.lp("lpstat", "-r", check=False).returncode == 0, 20, "the print scheduler to start")
        # A raw queue: the job reaches the device as the program made it.
        self.lp("lpadmin", "-p", "station", "-E", "-v", "keep:/", "-m", "raw")
        self.lp("lpadmin", "-d", "station")

    def lp(self, *command, check=True):
        return subprocess.run(command, env=self.env, capture_output=True, text=True, check=check)

    def jobs_printed(self):
        return sorted(glob.glob(os.path.join(self.jobs, "job-*.prn")))

    def page_text(self, job):
        """The text of a printed job that is PostScript, as pdftotext reads
        it once Ghostscript has made it a PDF; and its number of pages."""
        pdf = job + ".pdf"
        subprocess.run(["ps2pdf", job, pdf], check=True, capture_output=True)
        pages = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
        count = int(next(line.split()[1] for line in pages.splitlines() if line.startswith("Pages:")))
        text = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, text=True, check=True).stdout
        return text, count

    def close(self):
        end_process(self.process, 10)
        self.log.close()
        shutil.rmtree(self.root, ignore_errors=True)
