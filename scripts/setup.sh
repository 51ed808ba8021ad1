#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages (Debian 12,
# as root), and makes 32-bit x86 programs run. Quick when everything is
# already there. Ends with one line saying how i386 programs run here.
#
# On a host that runs only 64-bit user code, Wine's 32-bit loader cannot
# start: there qemu-i386-static is installed and registered as the i386
# handler (scripts/i386.sh). QX_I386=emulate registers it on any machine, to
# try that path; running again without it removes it where the kernel runs
# i386 programs itself (QX_I386=native insists on that).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=i386.sh
. "$here/i386.sh"

want="${QX_I386:-auto}"
case "$want" in
    auto|emulate|native) ;;
    *) echo "setup: QX_I386 must be auto, emulate or native, not '$want'" >&2; exit 2 ;;
esac

PACKAGES=(
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine wine32:i386 wine64
    xvfb xdotool imagemagick x11-utils fonts-dejavu-core
    googletest cmake make python3
    # Printing in the tests: a print server of their own with a PDF
    # printer, CUPS's client library for the 32-bit Wine, and the tools
    # that read the PDF.
    cups printer-driver-cups-pdf libcups2:i386 poppler-utils
    # Long loads and saves in the tests: a folder served at a set pace.
    fuse3 python3-fusepy
)

kernel=native
probe_rc=0
i386_kernel_runs || probe_rc=$?
case $probe_rc in
    0) ;;
    1) kernel=none ;;
    *) echo "setup: could not run the i386 probe from $I386_PROBE_DIR (does its file system allow execution?):" \
            "cannot tell whether this machine runs 32-bit programs" >&2
       exit 1 ;;
esac
emulate=0
if [ "$want" = emulate ] || { [ "$want" = auto ] && [ "$kernel" = none ]; }; then
    emulate=1
    PACKAGES+=(qemu-user-static)
fi
if [ "$want" = native ] && [ "$kernel" = none ]; then
    echo "setup: QX_I386=native, but this machine runs only 64-bit code (dmesg: IA-32 emulation off)" >&2
    exit 1
fi

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# apt-get update, tried a few times: a mirror in the middle of a sync serves
# an index that does not match its release file for a while. Sets
# failed_indexes to the addresses that still failed.
failed_indexes=()
apt_update() {
    local try log
    log="$(mktemp)"
    for try in 1 2 3 4; do
        if apt-get "${apt_opts[@]}" update >"$log" 2>&1; then
            cat "$log"; rm -f "$log"; failed_indexes=(); return 0
        fi
        mapfile -t failed_indexes < <(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$log" | sort -u)
        echo "setup: apt-get update failed (try $try of 4): ${failed_indexes[*]:-see below}" >&2
        [ $try -lt 4 ] && sleep $((try * 10))
    done
    cat "$log" >&2; rm -f "$log"
    return 1
}

apt_install() {
    apt-get "${apt_opts[@]}" install --no-install-recommends "$@"
}

# The suites (dists/NAME/) whose indexes failed.
failed_suites() {
    printf '%s\n' "${failed_indexes[@]}" | sed -n 's|.*/dists/\([^/]*\)/.*|\1|p' | sort -u
}

missing=()
for p in "${PACKAGES[@]}"; do
    installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all packages present"
elif [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${missing[*]}" >&2
    echo "setup: run this script as root to install them" >&2
    exit 1
else
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # Another apt run (an unattended upgrade, a first-boot install) holds
    # the lock: wait for it rather than fail.
    apt_opts=(-o DPkg::Lock::Timeout=1800 -y)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    if ! apt_update; then
        echo "setup: could not fetch ${failed_indexes[*]:-the package indexes}:" \
             "the package mirror may be changing (a sync in progress); installing anyway" >&2
    fi
    if ! apt_install "${missing[@]}"; then
        mapfile -t suites < <(failed_suites)
        [ ${#suites[@]} -gt 0 ] || {
            echo "setup: the install failed" >&2; exit 1; }
        # A suite with only some architectures' indexes offers amd64
        # versions that i386 cannot match (multiarch libraries must agree):
        # install from the other suites alone.
        pin="$(mktemp)"
        for s in "${suites[@]}"; do
            printf 'Package: *\nPin: release n=%s\nPin-Priority: -1\n\n' "$s" >>"$pin"
        done
        echo "setup: installing again without ${suites[*]}, whose indexes could not all be fetched" >&2
        rc=0
        apt_install -o Dir::Etc::Preferences="$pin" "${missing[@]}" || rc=$?
        rm -f "$pin"
        if [ $rc -ne 0 ]; then
            echo "setup: the install failed; these package indexes could not be fetched:" \
                 "${failed_indexes[*]}: the package mirror may be changing (a sync in progress)," \
                 "try again in a while" >&2
            exit 1
        fi
    fi
    for p in "${PACKAGES[@]}"; do
        installed "$p" || { echo "setup: $p still missing" >&2; exit 1; }
    done
    echo "setup: packages installed"
fi

# How i386 programs run: register or remove the emulator as needed.
if [ $emulate -eq 1 ] && ! i386_handler_enabled; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: this machine needs qemu-i386-static registered for i386 programs: run as root" >&2
        exit 1
    fi
    i386_register
elif [ $emulate -eq 0 ] && [ -e "$I386_BINFMT_DIR/$I386_HANDLER" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: the i386 emulator is registered but not needed: run as root to remove it" >&2
    else
        i386_unregister
    fi
fi

case "$(i386_mode)" in
    native)   echo "setup: i386 programs run natively" ;;
    emulated) if [ "$kernel" = none ]; then
                  echo "setup: i386 programs run emulated (qemu-i386-static): this machine runs only 64-bit code"
              else
                  echo "setup: i386 programs run emulated (qemu-i386-static), though the kernel could run them (QX_I386=emulate; run without it to undo)"
              fi ;;
    unknown)  echo "setup: could not run the i386 probe from $I386_PROBE_DIR (does its file system allow execution?)" >&2
              exit 1 ;;
    *)        echo "setup: i386 programs cannot run here (Exec format error) and no emulator is registered" >&2
              exit 1 ;;
esac
