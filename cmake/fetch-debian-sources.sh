#!/usr/bin/env bash
# Fetches Debian 12's source packages of the C libraries that the Windows
# build compiles itself (Debian has no MinGW build of them) and unpacks them
# into build/sources/NAME. A package already there is left as it is; delete
# its folder to fetch it again.
# apt authenticates what it downloads: the suite's signed Release file names
# the hash of the Sources index, which names the hashes of the .dsc and its
# tarballs. Nothing here turns that off.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(sqlite3 libharu)
cache=build/sources
list=/etc/apt/sources.list.d/quillet-deb-src.sources
# What a finished unpacking leaves in a package's folder: its version.
stamp=.debian-source-version

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

wanted=()
for package in "${packages[@]}"; do
    [ -f "$cache/$package/$stamp" ] || wanted+=("$package")
done
[ ${#wanted[@]} -eq 0 ] && exit 0

# Debian 12's source entries, beside the machine's own binary ones, which
# stay untouched.
if [ ! -f "$list" ]; then
    echo "Adding Debian's source packages to apt ($list)"
    as_root tee "$list" >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
fi
# Fresh indexes: a fix to a package replaces its files on the mirror.
as_root apt-get update -q

# The upstream tarball alone, when Debian's part of the package cannot be
# had: only if its SHA-256 is the one the .dsc names, and said out loud.
unpack_upstream_tarball() {
    local package=$1 dsc tarball
    dsc=$(ls -- *.dsc)
    tarball=$(ls -- *.orig.tar.*)
    grep -q "^ $(sha256sum "$tarball" | cut -d' ' -f1) [0-9]* $tarball\$" "$dsc" || {
        echo "$tarball does not have the SHA-256 that $dsc names" >&2
        return 1
    }
    echo "warning: Debian's changes to $package could not be fetched; using its upstream tarball, checked against $dsc" >&2
    mkdir upstream
    tar -xf "$tarball" -C upstream
}

# Each package unpacks into a fresh folder first, so that a failed or
# interrupted fetch never leaves a half-made tree where CMake looks.
mkdir -p "$cache"
for package in "${wanted[@]}"; do
    echo "Fetching Debian's source package $package"
    download=$(mktemp -d "$cache/.download-XXXXXX")
    trap 'rm -rf "$download"' EXIT
    (cd "$download" && { apt-get source -q "$package" || unpack_upstream_tarball "$package"; })
    tree=$(find "$download" -mindepth 1 -maxdepth 1 -type d)
    note=
    if [ "$tree" = "$download/upstream" ]; then
        tree=$(find "$tree" -mindepth 1 -maxdepth 1 -type d)
        note=" (upstream tarball only, without Debian's changes)"
    fi
    if [ "$(echo "$tree" | wc -l)" -ne 1 ] || [ ! -d "$tree" ]; then
        echo "apt-get source $package made no source tree" >&2
        exit 1
    fi
    echo "$(sed -n 's/^Version: //p' "$download"/*.dsc)$note" >"$tree/$stamp"
    rm -rf "${cache:?}/$package"
    mv "$tree" "$cache/$package"
    rm -rf "$download"
done
