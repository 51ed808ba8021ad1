#!/usr/bin/env bash
# Builds both targets (i686, x86_64) and runs all their tests under Wine:
# unit and window tests, end-to-end tests of QXEdit.exe, the consumer build.
# The tests type, click and take screenshots: they run on an Xvfb of their
# own, so that a person's desktop is left alone; QX_TEST_DISPLAY=1 runs them
# on $DISPLAY instead (to watch them). Extra arguments go to ctest (e.g.
# scripts/test.sh -R control).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

scripts/setup.sh   # installs what is missing (as root), else says what is

jobs="$(nproc 2>/dev/null || echo 2)"
presets=(${QX_PRESETS:-i686 x86_64})

. cmake/xvfb.sh
cleanup() {
    for p in "${presets[@]}"; do
        [ -d "build/$p/wineprefix" ] && cmake/wine-run.sh --prefix "build/$p/wineprefix" --stop || true
    done
    xvfb_stop
}
trap cleanup EXIT
trap 'exit 143' TERM INT
if [ "${QX_TEST_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
    echo "test: on your display $DISPLAY (QX_TEST_DISPLAY=1)"
else
    xvfb_start
    echo "test: Xvfb on $DISPLAY"
fi

status=0
summary=()
for p in "${presets[@]}"; do
    t0=$SECONDS
    echo "=== $p: configure and build"
    cmake --preset "$p" >/dev/null
    cmake --build --preset "$p" -j "$jobs"
    tb=$((SECONDS - t0))
    echo "=== $p: test"
    # Prefix creation (about half a minute the first time) happens here, not
    # inside the first test's timeout. A Wine of this prefix still running
    # from before would keep the display it was started on: stop it first.
    [ -d "build/$p/wineprefix" ] && cmake/wine-run.sh --prefix "build/$p/wineprefix" --stop || true
    cmake/wine-run.sh --prefix "build/$p/wineprefix" --init
    rc=0
    ctest --preset "$p" "$@" || rc=$?
    [ $rc -eq 0 ] || status=1
    summary+=("$p: build ${tb}s, tests $((SECONDS - t0 - tb))s, ctest exit $rc")
done

echo "=== summary"
printf '%s\n' "${summary[@]}"
exit $status
