#!/usr/bin/env bash
# Makes SQLite's single-file source (sqlite3.c, sqlite3.h) from Debian's
# sqlite3 source tree, with the build machine's own C compiler and tclsh:
# usage: make-sqlite-amalgamation.sh SOURCE_TREE OUTPUT_FOLDER.
# Its generators (lemon, mkkeywordhash) run here, so the cross compiler is
# kept out of their way.
set -euo pipefail
tree=$(realpath "$1")
out=$2

work=$(mktemp -d "$out.work-XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
if ! env -u CFLAGS -u CPPFLAGS -u LDFLAGS CC=cc "$tree/configure" --disable-tcl --disable-shared >configure.log 2>&1; then
    tail -n 30 configure.log >&2
    exit 1
fi
make sqlite3.c >make.log 2>&1 || { tail -n 30 make.log >&2; exit 1; }
mkdir -p "$out"
cp sqlite3.c sqlite3.h sqlite3ext.h "$out"/
