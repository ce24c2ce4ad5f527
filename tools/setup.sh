#!/bin/sh
# Installs, by Debian package name, everything a fresh machine needs to build
# and test the project: native and cross compilers, the libraries the engine
# and host use, Wine and a virtual display. Quick when everything is present.
set -e

PACKAGES="cmake ninja-build g++ ccache
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
zlib1g-dev libz-mingw-w64-dev
googletest libgtest-dev
libboost-regex1.81-dev nlohmann-json3-dev
wine wine64 xvfb xauth
clang-14 libclang-rt-14-dev
pkg-config libgcrypt20-dev libgcrypt-mingw-w64-dev
python3-pycryptodome libedit-dev dpkg-dev make python3-dnslib
python3-pyftpdlib python3-aiosmtpd dovecot-core dovecot-pop3d"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -n "$missing" ]; then
    echo "setup: installing$missing"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    # shellcheck disable=SC2086
    $SUDO apt-get install -y -qq --no-install-recommends $missing
fi

# The Windows builds' libgcrypt, reduced to what the programs use (once per
# machine; without it they link Debian's complete one).
"$(dirname "$0")/build-windows-libraries.sh" ||
    echo "setup: the reduced libgcrypt could not be built; the Windows builds use Debian's complete one"
