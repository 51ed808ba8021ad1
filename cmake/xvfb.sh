# Sourced by the wine runner and the scripts: starts a private Xvfb server on
# a free display number and stops it again.
#
#   xvfb_start    sets DISPLAY and XVFB_PID (screen QX_XVFB_SCREEN, default
#                 2560x1440x24); returns non-zero if the server did not come up
#   xvfb_stop     stops the server started by xvfb_start (if any)

xvfb_start() {
    local screen="${QX_XVFB_SCREEN:-2560x1440x24}" n tries
    for n in $(seq 90 189); do
        [ -e "/tmp/.X${n}-lock" ] && continue
        [ -e "/tmp/.X11-unix/X${n}" ] && continue
        Xvfb ":${n}" -screen 0 "${screen}" -nolisten tcp -noreset \
            </dev/null >/dev/null 2>&1 &
        XVFB_PID=$!
        for tries in $(seq 1 100); do
            if ! kill -0 "${XVFB_PID}" 2>/dev/null; then
                break   # lost the race for this number; try the next one
            fi
            if xdpyinfo -display ":${n}" >/dev/null 2>&1; then
                export DISPLAY=":${n}"
                return 0
            fi
            sleep 0.1
        done
        kill "${XVFB_PID}" 2>/dev/null || true
        wait "${XVFB_PID}" 2>/dev/null || true
        XVFB_PID=
    done
    echo "xvfb: could not start an X server" >&2
    return 1
}

xvfb_stop() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "${XVFB_PID}" 2>/dev/null || true
        wait "${XVFB_PID}" 2>/dev/null || true
        XVFB_PID=
    fi
}
