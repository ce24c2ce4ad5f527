#!/bin/sh
# Builds, once per machine, the libraries the Windows programs take from
# Debian's own source packages rather than from its mingw-w64 binary
# packages, into a cache outside the tree:
#   ${KELPO_DEPS:-~/.cache/kelpo-deps}/<triple>/{include,lib}
# libgcrypt: Debian's mingw-w64 build has every cipher, digest and key
# algorithm, about 1.2 MB of each program; the projector needs Triple DES,
# Blowfish and MD5 (HMAC-MD5 for mail). This build keeps those and what the
# library itself cannot link without (ChaCha20, BLAKE2, ECC), which makes
# every projector about 0.8 MB smaller. When the source cannot be fetched,
# the builds use Debian's binary package as before.
#   usage: tools/build-windows-libraries.sh   (run by tools/setup.sh)
set -e
deps=${KELPO_DEPS:-$HOME/.cache/kelpo-deps}
# Names the configuration below; a different one builds again.
stamp=libgcrypt-des-blowfish-md5

built() {
    for triple in x86_64-w64-mingw32 i686-w64-mingw32; do
        [ -f "$deps/$triple/lib/libgcrypt.a" ] && [ -f "$deps/$triple/.$stamp" ] || return 1
    done
}
if built; then exit 0; fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
# apt-get source needs source indexes; Debian images often ship without them.
if ! apt-get source --print-uris libgcrypt20 >/dev/null 2>&1; then
    list=/etc/apt/sources.list.d/kelpo-debian-sources.sources
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            $SUDO tee "$list" >/dev/null
        $SUDO apt-get update -qq || true
    fi
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
if ! apt-get source -qq libgcrypt20 >/dev/null 2>&1; then
    echo "build-windows-libraries: libgcrypt's source is not available; the Windows builds use Debian's complete libgcrypt"
    exit 0
fi
source=$(ls -d "$work"/libgcrypt20-*/ | head -1)

for triple in x86_64-w64-mingw32 i686-w64-mingw32; do
    echo "build-windows-libraries: libgcrypt for $triple"
    mkdir -p "$work/build-$triple"
    (
        cd "$work/build-$triple"
        "$source/configure" --host="$triple" --prefix="$deps/$triple" \
            --enable-static --disable-shared --disable-doc --disable-asm --disable-jent-support \
            --enable-ciphers="des blowfish chacha20" --enable-digests="md5 blake2" \
            --enable-pubkey-ciphers="ecc" --with-libgpg-error-prefix="/usr/$triple" >/dev/null 2>&1
        # The library only: the bundled tools do not link with a reduced
        # set of algorithms.
        for dir in compat mpi cipher random; do make -j2 -C "$dir" >/dev/null 2>&1; done
        make -C src libgcrypt.la >/dev/null 2>&1
        mkdir -p "$deps/$triple/lib" "$deps/$triple/include"
        cp src/.libs/libgcrypt.a "$deps/$triple/lib/"
        cp src/gcrypt.h "$deps/$triple/include/"
        touch "$deps/$triple/.$stamp"
    )
done
