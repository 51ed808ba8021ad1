#!/usr/bin/env bash
# Builds QXEdit (i686) and runs it under Wine. Arguments go to QXEdit.
#
# With a DISPLAY, QXEdit runs there until you close it. Without one, it runs
# on a private Xvfb: the script waits for the frame window, saves a
# screenshot (build/i686/qxedit-startup.png), closes QXEdit and exits with
# its exit code.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/setup.sh

cmake --preset i686 >/dev/null
cmake --build --preset i686 -j "$(nproc 2>/dev/null || echo 2)" --target QXEdit

build="$root/build/i686"
exe="$build/app/QXEdit.exe"
prefix="$build/wineprefix"

if [ -n "${DISPLAY:-}" ]; then
    cmake/wine-run.sh --prefix "$prefix" --init
    exec cmake/wine-run.sh --prefix "$prefix" "$exe" "$@"
fi

shot="$build/qxedit-startup.png"
export QX_EXE="$exe" QX_WINE_RUN="$root/cmake/wine-run.sh" QX_WINEPREFIX="$prefix" \
       QX_E2E_OUT="$build/run" PYTHONDONTWRITEBYTECODE=1
exec python3 - "$shot" "$@" <<'PY'
import shutil, sys
sys.path.insert(0, "tests/e2e")
from harness import QXEdit

shot, args = sys.argv[1], sys.argv[2:]
with QXEdit(*args) as app:
    frame = app.wait_window("QXEdit")
    print("QXEdit window: %r" % app.window_name(frame))
    shutil.copy(app.screenshot("startup"), shot)
    print("screenshot: %s" % shot)
    rc = app.close()
    print("QXEdit exited with %s" % rc)
sys.exit(rc)
PY
