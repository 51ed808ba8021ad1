#!/usr/bin/env python3
"""A folder whose files are read and written at a pace the test sets: a
FUSE file system over a backing folder, in a process of its own, so that a
long load or save is long by construction and not by the machine's speed.

    with SlowFolder(backing, mount) as fs:
        fs.pace(8 << 20)     # at most 8 MiB a second from now on
        ...                  # QXEdit opens a file under mount
        fs.pace(None)        # as fast as the machine goes

The pace holds for every read and write, whatever the sizes of the
requests: each one waits until the bytes moved since the pace was set fit
it. Nothing is cached on the way (direct I/O): a file read again is paced
again. Run as a program, it serves: slowfs.py BACKING MOUNT PACEFILE (the pace
file holds the bytes per second, or nothing for no limit).
"""

import errno
import os
import subprocess
import sys
import threading
import time


class SlowFolder:
    """The file system mounted at mount over backing, for a with block."""

    def __init__(self, backing, mount):
        self.backing, self.mount = backing, mount
        self.pace_file = mount.rstrip("/") + ".pace"
        self.proc = None

    def __enter__(self):
        os.makedirs(self.backing, exist_ok=True)
        self.unmount()
        os.makedirs(self.mount, exist_ok=True)
        self.pace(None)
        # Debian's python3-fusepy is installed for Debian's own python3.
        python = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
        self.proc = subprocess.Popen([python, os.path.abspath(__file__),
                                      self.backing, self.mount, self.pace_file],
                                     stdin=subprocess.DEVNULL)
        deadline = time.time() + 30
        while not os.path.ismount(self.mount):
            if self.proc.poll() is not None or time.time() > deadline:
                raise AssertionError("the slow file system did not mount at %s (exit %r)"
                                     % (self.mount, self.proc.poll()))
            time.sleep(0.1)
        return self

    def __exit__(self, *exc):
        self.unmount()
        if self.proc:
            try:
                self.proc.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        return False

    def unmount(self):
        if os.path.ismount(self.mount):
            subprocess.run(["umount", "-l", self.mount], stdin=subprocess.DEVNULL)

    def pace(self, bytes_per_second):
        """Reads and writes from now on move at most this many bytes a
        second (None: no limit)."""
        tmp = self.pace_file + ".new"
        with open(tmp, "w") as f:
            f.write("" if bytes_per_second is None else str(int(bytes_per_second)))
        os.replace(tmp, self.pace_file)


def serve(backing, mount, pace_file):
    try:
        from fusepy import FUSE, FuseOSError, Operations   # Debian's name
    except ImportError:
        from fuse import FUSE, FuseOSError, Operations

    class Pacer:
        """Makes each request wait until the bytes moved since the pace was
        set, its own included, fit the pace."""

        def __init__(self):
            self.lock = threading.Lock()
            self.stamp = None
            self.rate = None
            self.start = 0.0
            self.moved = 0

        def _reread(self):
            try:
                st = os.stat(pace_file)
            except FileNotFoundError:
                return
            if st.st_mtime_ns == self.stamp:
                return
            self.stamp = st.st_mtime_ns
            with open(pace_file) as f:
                text = f.read().strip()
            self.rate = int(text) if text else None
            self.start, self.moved = time.monotonic(), 0

        def take(self, n):
            with self.lock:
                self._reread()
                if self.rate is None:
                    return
                self.moved += n
                due = self.start + self.moved / self.rate
            wait = due - time.monotonic()
            if wait > 0:
                time.sleep(wait)

    pacer = Pacer()

    def real(path):
        return os.path.join(backing, path.lstrip("/"))

    def oserror(fn):
        def wrapped(*args):
            try:
                return fn(*args)
            except OSError as e:
                raise FuseOSError(e.errno or errno.EIO)
        return wrapped

    class Loopback(Operations):
        @oserror
        def getattr(self, path, fh=None):
            st = os.lstat(real(path))
            return {k: getattr(st, k) for k in ("st_atime", "st_ctime", "st_gid", "st_mode", "st_mtime",
                                                "st_nlink", "st_size", "st_uid")}

        @oserror
        def readdir(self, path, fh):
            return [".", ".."] + os.listdir(real(path))

        @oserror
        def access(self, path, mode):
            if not os.access(real(path), mode):
                raise FuseOSError(errno.EACCES)

        @oserror
        def open(self, path, flags):
            return os.open(real(path), flags)

        @oserror
        def create(self, path, mode, fi=None):
            return os.open(real(path), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, mode)

        @oserror
        def read(self, path, size, offset, fh):
            pacer.take(size)
            return os.pread(fh, size, offset)

        @oserror
        def write(self, path, data, offset, fh):
            pacer.take(len(data))
            return os.pwrite(fh, data, offset)

        @oserror
        def truncate(self, path, length, fh=None):
            os.truncate(real(path), length)

        @oserror
        def flush(self, path, fh):
            return 0

        @oserror
        def fsync(self, path, datasync, fh):
            os.fsync(fh)

        @oserror
        def release(self, path, fh):
            os.close(fh)

        @oserror
        def unlink(self, path):
            os.unlink(real(path))

        @oserror
        def rename(self, old, new):
            os.rename(real(old), real(new))

        @oserror
        def mkdir(self, path, mode):
            os.mkdir(real(path), mode)

        @oserror
        def rmdir(self, path):
            os.rmdir(real(path))

        @oserror
        def chmod(self, path, mode):
            os.chmod(real(path), mode)

        @oserror
        def chown(self, path, uid, gid):
            os.chown(real(path), uid, gid)

        @oserror
        def utimens(self, path, times=None):
            os.utime(real(path), times)

        @oserror
        def statfs(self, path):
            sv = os.statvfs(real(path))
            return {k: getattr(sv, k) for k in ("f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail",
                                                "f_ffree", "f_files", "f_flag", "f_frsize", "f_namemax")}

    FUSE(Loopback(), mount, foreground=True, nothreads=False, big_writes=True, max_write=1 << 20,
         max_read=1 << 20, direct_io=True)


if __name__ == "__main__":
    serve(*sys.argv[1:4])
