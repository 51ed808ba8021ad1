#!/usr/bin/env bash
# Runs the control's DPI cases (DpiTest.*) at 120, 144 and 192 DPI, one
# process each, in the tests' Wine prefix; Wine reads the DPI from
# HKCU\Control Panel\Desktop LogPixels when a process starts.
#
#   dpi_tests.sh WINE-RUN PREFIX control_tests.exe [GTEST-ARGS...]
#   dpi_tests.sh WINE-RUN PREFIX --set DPI     (for a test that starts its own program)
#   dpi_tests.sh WINE-RUN PREFIX --restore
#
# The prefix's own value is kept in PREFIX.logpixels before the first change
# and put back at the end of a run, also after a failure; --restore puts it
# back after --set or after a run that was killed (ctest's cleanup
# fixture), and does nothing when nothing left it changed.
set -uo pipefail

wine_run="$1"
prefix="$2"
shift 2
saved="$prefix.logpixels"
key='HKCU\Control Panel\Desktop'

reg() {
    "$wine_run" --prefix "$prefix" "$prefix/drive_c/windows/system32/reg.exe" "$@" </dev/null
}

# The value as reg.exe prints it ("0x90"), or "none".
current_dpi() {
    local line
    line="$(reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | grep -i 'LogPixels' || true)"
    if [ -n "$line" ]; then echo "$line" | awk '{print $NF}'; else echo none; fi
}

set_dpi() {
    reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}

# Wine's own processes (the desktop among them) keep the DPI they started
# with while the prefix's server runs: a change of LogPixels ends the server,
# so that whatever runs next in the prefix starts at the DPI now set.
restart_server() {
    "$wine_run" --prefix "$prefix" --stop
}

restore() {
    [ -f "$saved" ] || return 0
    local old
    old="$(cat "$saved")"
    if [ "$old" = none ]; then
        reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
    else
        set_dpi "$((old))"
    fi
    rm -f "$saved"
    restart_server
}

"$wine_run" --prefix "$prefix" --init || exit 1

if [ "${1:-}" = "--restore" ]; then
    restore
    exit $?
fi
if [ "${1:-}" = "--set" ]; then
    [ -f "$saved" ] || current_dpi >"$saved"
    set_dpi "$2" && restart_server
    exit $?
fi

exe="$1"
shift
[ -f "$saved" ] || current_dpi >"$saved"
trap restore EXIT

rc=0
for dpi in 120 144 192; do
    echo "=== DpiTest.* at $dpi DPI"
    if ! set_dpi "$dpi"; then
        echo "dpi_tests: could not set LogPixels to $dpi" >&2
        rc=1
        continue
    fi
    restart_server
    QX_TEST_DPI="$dpi" "$wine_run" --prefix "$prefix" "$exe" "$@" --gtest_filter='DpiTest.*' </dev/null || rc=1
done
exit $rc
