#!/usr/bin/env bash
# Runs a Windows executable under Wine; used as CMake's cross-compiling
# emulator, by the scripts and by the end-to-end harness.
#
#   wine-run.sh [--prefix DIR] PROGRAM.exe [ARGS...]
#   wine-run.sh [--prefix DIR] --init     create the prefix and start its wineserver
#   wine-run.sh [--prefix DIR] --stop     stop the prefix's wineserver
#
# The prefix is DIR, else $WINEPREFIX; it is created on first use (wineboot,
# plus the X11 driver setting Managed=N: without a window manager Wine then
# places, frames and focuses windows itself, SW_SHOWMAXIMIZED fills the
# screen and DestroyWindow does not stall).
#
# A 64-bit wow64 prefix runs both kinds of program. The loader is chosen from
# the PE header (i386 -> wine, AMD64 -> wine64) and exec'd, so the process
# that runs this script becomes the Windows program: its PID is the
# program's and its exit status is the program's. (Starting a 64-bit program
# through the 32-bit loader goes through start.exe and another process.)
#
# With no DISPLAY, a private Xvfb is started for the run and stopped after it,
# and so is the prefix's wineserver if this run started it (a program already
# running in the prefix keeps running).
#
# A 32-bit program on a host that runs only 64-bit code runs under qemu-i386
# (scripts/i386.sh); the program then finds QX_I386_EMULATED=1 in its
# environment, so that timings know they mean nothing.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=../scripts/i386.sh
. "$here/../scripts/i386.sh"

prefix="${WINEPREFIX:-}"
if [ "${1:-}" = "--prefix" ]; then
    prefix="$2"
    shift 2
fi
if [ -z "$prefix" ]; then
    echo "wine-run: no prefix (give --prefix DIR or set WINEPREFIX)" >&2
    exit 2
fi
if [ $# -lt 1 ]; then
    echo "usage: wine-run.sh [--prefix DIR] PROGRAM.exe [ARGS...] | --init | --stop" >&2
    exit 2
fi
mkdir -p "$(dirname "$prefix")"
prefix="$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")"

export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
export LC_ALL="${QX_WINE_LOCALE:-C.UTF-8}"   # ANSI code page 1252

WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64
[ -x "$WINE32" ] || WINE32="$(command -v wine)"
[ -x "$WINE64" ] || WINE64="$(command -v wine64 || command -v wine)"
WINESERVER="$(command -v wineserver)"
linger="${QX_WINESERVER_LINGER:-30}"

init_prefix() {
    [ -f "$prefix/.qx-ready" ] && return 0
    local log="$prefix.init.log"
    (
        flock 9
        if [ ! -f "$prefix/.qx-ready" ]; then
            echo "wine-run: creating Wine prefix $prefix" >&2
            {
                "$WINE64" wineboot.exe -i
                "$WINE64" reg.exe add 'HKCU\Software\Wine\X11 Driver' \
                    /v Managed /t REG_SZ /d N /f
                "$WINESERVER" -w
            } </dev/null >"$log" 2>&1 || {
                echo "wine-run: prefix creation failed, see $log" >&2
                exit 1
            }
            touch "$prefix/.qx-ready"
        fi
    ) 9>"$prefix.lock"
}

# Starts the prefix's wineserver and Wine's own background processes
# (services, explorer) detached from our stdout/stderr: when the program
# starts them itself they inherit its output pipes, and whoever reads those
# (ctest) waits until they go away. Status 0 when it started the server,
# 1 when one was running already.
start_server() {
    local persist="$1"
    if "$WINESERVER" "-p$persist" </dev/null >/dev/null 2>&1; then
        "$WINE64" wineboot.exe </dev/null >/dev/null 2>&1 || true
        return 0
    fi
    return 1
}

loader_for() {
    local off machine
    off="$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')"
    machine=""
    [ -n "$off" ] && machine="$(od -An -t x2 -j $((off + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')"
    case "$machine" in
        014c) echo "$WINE32" ;;
        8664) echo "$WINE64" ;;
        *) echo "$WINE32" ;;
    esac
}

case "$1" in
    --init)
        init_prefix
        if [ -n "${DISPLAY:-}" ]; then start_server "$linger" || true; fi
        exit 0 ;;
    --stop)
        if [ -f "$prefix/.qx-ready" ]; then "$WINESERVER" -k 2>/dev/null || true; fi
        exit 0 ;;
esac

program="$1"
shift
if [ ! -f "$program" ]; then
    echo "wine-run: no such program: $program" >&2
    exit 127
fi
loader="$(loader_for "$program")"
if [ "$loader" = "$WINE32" ] && [ "$(i386_mode)" = emulated ]; then
    export QX_I386_EMULATED=1
fi

init_prefix

if [ -n "${DISPLAY:-}" ]; then
    start_server "$linger" || true
    exec "$loader" "$program" "$@"
fi

# No display: a private X server for this run only.
# shellcheck source=xvfb.sh
. "$here/xvfb.sh"
child=""
own_server=0
cleanup() {
    if [ -n "$child" ]; then kill "$child" 2>/dev/null || true; fi
    # A server of ours ends by itself once its last program has gone (it
    # persists 0 s): wait a little for that, then stop what remains of it.
    # A server that was running before belongs to someone else.
    if [ $own_server -eq 1 ] && ! timeout 20 "$WINESERVER" -w 2>/dev/null; then
        "$WINESERVER" -k 2>/dev/null || true
    fi
    xvfb_stop
}
trap cleanup EXIT
trap 'exit 143' TERM INT
xvfb_start
if start_server 0; then own_server=1; fi
rc=0
"$loader" "$program" "$@" &
child=$!
wait "$child" || rc=$?
child=""
exit "$rc"
