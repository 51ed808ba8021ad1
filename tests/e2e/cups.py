"""A CUPS print server of a test's own, with one queue "PDF" that prints
through cups-pdf into PDF files.

    with PrivateCups() as cups:       # sets CUPS_SERVER for Wine's programs
        ... print from QXEdit ...
        job = cups.wait_job(1)         # the first job, completed
        pdf = cups.pdf_of(job)         # the file cups-pdf wrote for it

The server listens on a Unix socket in a temporary directory and keeps its
configuration, spool and logs there; nothing of the system's CUPS is used
or changed. cups-pdf writes into the PDF folder of the home of the user who
printed (its own configuration); files are told apart by their job number
and their time. cupsd must run as root for the cups-pdf backend to run.
"""

import glob
import os
import pwd
import shutil
import subprocess
import tempfile
import time

PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"


class CupsError(AssertionError):
    pass


class PrivateCups:
    def __init__(self):
        self.dir = None
        self.proc = None
        self.socket = None
        self.started = time.time()
        self.saved_server = None

    @staticmethod
    def missing():
        """What this machine lacks to print to PDF, or None."""
        for path in ("/usr/sbin/cupsd", "/usr/lib/cups/backend/cups-pdf", PPD):
            if not os.path.exists(path):
                return "%s is missing (scripts/setup.sh installs it)" % path
        for tool in ("lpadmin", "lpstat", "pdfinfo", "pdftoppm"):
            if shutil.which(tool) is None:
                return "%s is missing (scripts/setup.sh installs it)" % tool
        if os.getuid() != 0:
            return "cupsd runs its PDF backend only as root"
        return None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        self.dir = tempfile.mkdtemp(prefix="qx-cups-")
        d = self.dir
        for sub in ("etc/ppd", "spool/tmp", "cache", "state", "log", "run"):
            os.makedirs(os.path.join(d, sub))
        # cupsd refuses directories others may write to.
        for root, dirs, _ in os.walk(d):
            for name in dirs:
                os.chmod(os.path.join(root, name), 0o755)
        os.chmod(d, 0o755)
        os.chmod(os.path.join(d, "spool/tmp"), 0o1770)
        self.socket = os.path.join(d, "run/cups.sock")
        with open(os.path.join(d, "etc/cupsd.conf"), "w") as f:
            f.write("Listen %s\nLogLevel warn\nBrowsing No\nDefaultAuthType None\nWebInterface No\n"
                    "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                    "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n"
                    % self.socket)
        with open(os.path.join(d, "etc/cups-files.conf"), "w") as f:
            f.write("ServerRoot {d}/etc\nRequestRoot {d}/spool\nTempDir {d}/spool/tmp\n"
                    "CacheDir {d}/cache\nStateDir {d}/state\nAccessLog {d}/log/access_log\n"
                    "ErrorLog {d}/log/error_log\nPageLog {d}/log/page_log\nSystemGroup root\n"
                    "FileDevice No\n".format(d=d))
        self.proc = subprocess.Popen(
            ["/usr/sbin/cupsd", "-f", "-c", os.path.join(d, "etc/cupsd.conf"),
             "-s", os.path.join(d, "etc/cups-files.conf")],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.saved_server = os.environ.get("CUPS_SERVER")
        os.environ["CUPS_SERVER"] = self.socket
        deadline = time.time() + 15
        while self._run(["lpstat", "-r"], check=False).strip() != "scheduler is running":
            if self.proc.poll() is not None or time.time() > deadline:
                raise CupsError("cupsd did not start: %s" % self.log())
            time.sleep(0.2)
        self._run(["lpadmin", "-p", "PDF", "-v", "cups-pdf:/", "-E", "-P", PPD])
        self._run(["lpadmin", "-d", "PDF"])
        self.started = time.time()

    def stop(self):
        if self.saved_server is None:
            os.environ.pop("CUPS_SERVER", None)
        else:
            os.environ["CUPS_SERVER"] = self.saved_server
        if self.proc is not None and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None
        if self.dir:
            shutil.rmtree(self.dir, ignore_errors=True)
            self.dir = None

    def _run(self, cmd, check=True):
        env = dict(os.environ, CUPS_SERVER=self.socket)
        p = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                           stdin=subprocess.DEVNULL, env=env, timeout=30)
        if check and p.returncode != 0:
            raise CupsError("%s failed: %s" % (" ".join(cmd), p.stderr.strip()))
        return p.stdout

    def log(self):
        try:
            with open(os.path.join(self.dir, "log/error_log")) as f:
                return f.read()[-2000:]
        except OSError:
            return "(no log)"

    def jobs(self, which="all"):
        """Job numbers the server has seen ("all", "completed", "not-completed")."""
        out = self._run(["lpstat", "-W", which, "-o"], check=False)
        return sorted(int(line.split()[0].rsplit("-", 1)[1]) for line in out.splitlines() if line.strip())

    def wait_job(self, n, timeout=60):
        """Waits until there are n completed jobs; returns the last one's number."""
        deadline = time.time() + timeout
        while True:
            done = self.jobs("completed")
            if len(done) >= n:
                return done[-1]
            if time.time() > deadline:
                raise CupsError("%d job(s) completed of %d within %ds; all: %r; log: %s"
                                % (len(done), n, timeout, self.jobs(), self.log()))
            time.sleep(0.5)

    @staticmethod
    def out_dir():
        return os.path.join(pwd.getpwuid(os.getuid()).pw_dir, "PDF")

    def pdf_of(self, job, timeout=30):
        """The PDF cups-pdf wrote for the job (named "<title>-job_<n>.pdf")
        since this server started."""
        deadline = time.time() + timeout
        while True:
            found = [p for p in glob.glob(os.path.join(self.out_dir(), "*-job_%d.pdf" % job))
                     if os.path.getmtime(p) >= self.started - 1]
            if found:
                return max(found, key=os.path.getmtime)
            if time.time() > deadline:
                raise CupsError("no PDF of job %d in %s" % (job, self.out_dir()))
            time.sleep(0.5)

    def pdfs_since_start(self):
        return [p for p in glob.glob(os.path.join(self.out_dir(), "*.pdf"))
                if os.path.getmtime(p) >= self.started - 1]
