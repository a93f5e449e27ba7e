#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quillet, builds it, and then either opens
# the calculator (./build.sh run) or runs every test (./build.sh test).
# ./build.sh windows cross-builds the Windows programs with MinGW-w64 and
# packs them into build/windows/quillet-*-windows-x64.zip;
# ./build.sh windows-test also runs the Windows tests under Wine on Xvfb
# and compares the Windows digits with the Linux build's.
# Missing packages are installed with apt-get, through sudo when not root.
set -euo pipefail
cd "$(dirname "$0")"

usage() { echo "usage: $0 run|test|windows|windows-test" >&2; exit 2; }
[ $# -eq 1 ] || usage
action=$1
case "$action" in run|test|windows|windows-test) ;; *) usage ;; esac

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

case "$action" in
windows | windows-test)
    # The cross compiler (POSIX threads), gtest's sources and the header-only
    # libraries; MinGW's static zlib, and what fetches and unpacks Debian's
    # source packages of SQLite and libharu and makes SQLite's single file
    # with the build machine's C compiler and tclsh. The tests need Wine, a
    # virtual display and the Linux build (pdftotext reads the Windows PDF).
    packages=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest libcli11-dev nlohmann-json3-dev
              libz-mingw-w64-dev dpkg-dev xz-utils gcc make tcl fonts-dejavu-core)
    if [ "$action" = windows-test ]; then
        packages+=(wine wine64 xvfb xauth openbox g++ python3 libgtest-dev libbenchmark-dev libmpfr-dev qt6-base-dev
                   qt6-base-dev-tools qt6-svg-dev libgl-dev fonts-liberation fonts-dejavu-core
                   libsqlite3-dev libhpdf-dev poppler-utils)
    fi
    ;;
*)
    # python3 writes the Debian changelog and copyright file at build time;
    # MPFR is the tests' reference for the correctly rounded functions.
    # SQLite keeps the verification register.
    packages=(cmake ninja-build g++ python3 libgtest-dev libbenchmark-dev libmpfr-dev libcli11-dev nlohmann-json3-dev
              qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev fonts-liberation fonts-dejavu-core
              libsqlite3-dev libhpdf-dev)
    ;;
esac
if [ "$action" = test ]; then
    # the PDF's text, the decimal-comma locale test, the Debian package and its check, the
    # fuzz target, the scikit-rf comparison, formatting and lint, the
    # windows' places on a real X server
    packages+=(poppler-utils locales dpkg-dev file lintian clang libclang-rt-14-dev python3-scikit-rf
               clang-format clang-tidy git appstream xvfb xauth openbox x11-utils xdotool)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The conversions are tested under a decimal-comma locale.
if [ "$action" = test ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "Generating the de_DE.UTF-8 locale for the locale test"
    as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen
fi

if [ "$action" = windows ] || [ "$action" = windows-test ]; then
    cmake/fetch-debian-sources.sh
    cmake --preset windows >/dev/null
    cmake --build --preset windows
    (cd build/windows && cpack -G ZIP >/dev/null)
    ls build/windows/quillet-*-windows-x64.zip
    [ "$action" = windows ] && exit 0
    exec .ci/windows-test
fi

cmake --preset release >/dev/null
cmake --build --preset release

case "$action" in
run)
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display to open the window on. Without a desktop: apt-get install xvfb, then xvfb-run -a ./build/release/apps/quillet" >&2
        exit 1
    fi
    exec ./build/release/apps/quillet
    ;;
test)
    QUILLET_REQUIRE_COMMA_LOCALE=1 ctest --preset release
    ;;
esac
