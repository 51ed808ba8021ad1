#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages (Debian 12,
# as root). Quick when everything is already there.
set -euo pipefail

PACKAGES=(
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine wine32:i386 wine64
    xvfb xdotool imagemagick x11-utils fonts-dejavu-core
    googletest cmake make python3
    # Printing in the tests: a print server of their own with a PDF
    # printer, CUPS's client library for the 32-bit Wine, and the tools
    # that read the PDF.
    cups printer-driver-cups-pdf libcups2:i386 poppler-utils
)

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for p in "${PACKAGES[@]}"; do
    installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all packages present"
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${missing[*]}" >&2
    echo "setup: run this script as root to install them" >&2
    exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Another apt run (an unattended upgrade, a first-boot install) holds the
# lock: wait for it rather than fail.
apt_opts=(-o DPkg::Lock::Timeout=1800 -y)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
apt-get "${apt_opts[@]}" update
apt-get "${apt_opts[@]}" install --no-install-recommends "${missing[@]}"

for p in "${PACKAGES[@]}"; do
    installed "$p" || { echo "setup: $p still missing" >&2; exit 1; }
done
echo "setup: done"
