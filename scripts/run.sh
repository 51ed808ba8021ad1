#!/usr/bin/env bash
# Builds QXEdit and runs it under Wine. Arguments go to QXEdit.
#
# The 32-bit program (i686) where the machine runs 32-bit programs natively;
# elsewhere (a host that runs only 64-bit code) the 64-bit one, saying why.
# QX_ARCH=i686 runs the 32-bit program anyway (under the emulator, slowly);
# QX_ARCH=x86_64 runs the 64-bit one anywhere.
#
# With a DISPLAY, QXEdit runs there until you close it. Without one, it runs
# on a private Xvfb: the script waits for the frame window, saves a
# screenshot (build/<target>/qxedit-startup.png), closes QXEdit and exits
# with its exit code.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/setup.sh
. scripts/i386.sh

arch="${QX_ARCH:-auto}"
slow=1
case "$arch" in
    auto)
        if [ "$(i386_mode)" = native ]; then
            arch=i686
        else
            arch=x86_64
            echo "run: the 64-bit QXEdit, since this machine runs 32-bit programs only under an emulator (QX_ARCH=i686 runs that one anyway)"
        fi ;;
    i686)
        if [ "$(i386_mode)" = emulated ]; then
            slow=8
            echo "run: the 32-bit QXEdit under the emulator: it starts and reacts slowly"
        fi ;;
    x86_64) ;;
    *) echo "run: QX_ARCH must be i686 or x86_64, not '$arch'" >&2; exit 2 ;;
esac

cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch" -j "$(nproc 2>/dev/null || echo 2)" --target QXEdit

build="$root/build/$arch"
exe="$build/app/QXEdit.exe"
prefix="$build/wineprefix"

if [ -n "${DISPLAY:-}" ]; then
    cmake/wine-run.sh --prefix "$prefix" --init
    exec cmake/wine-run.sh --prefix "$prefix" "$exe" "$@"
fi

# The prefix first: creating it takes minutes where its 32-bit helpers run
# under the emulator, which must not count against the wait for the window.
cmake/wine-run.sh --prefix "$prefix" --init
shot="$build/qxedit-startup.png"
export QX_EXE="$exe" QX_WINE_RUN="$root/cmake/wine-run.sh" QX_WINEPREFIX="$prefix" \
       QX_E2E_OUT="$build/run" QX_TIMEOUT_SCALE="$slow" PYTHONDONTWRITEBYTECODE=1
exec python3 - "$shot" "$@" <<'PY'
import os, shutil, sys, time
sys.path.insert(0, "tests/e2e")
from harness import QXEdit

shot, args = sys.argv[1], sys.argv[2:]
with QXEdit(*args) as app:
    frame = app.wait_window("QXEdit")
    print("QXEdit window: %r" % app.window_name(frame))
    # Its first paint and its bars come a moment after the frame shows.
    time.sleep(3 * float(os.environ["QX_TIMEOUT_SCALE"]))
    shutil.copy(app.screenshot("startup"), shot)
    print("screenshot: %s" % shot)
    rc = app.close()
    print("QXEdit exited with %s" % rc)
sys.exit(rc)
PY
