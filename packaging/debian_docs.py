#!/usr/bin/env python3
"""Writes the documentation files a Debian package carries in
/usr/share/doc/PACKAGE, from the project's own files:

  debian_docs.py changelog CHANGELOG.md OUTPUT --package NAME --version V --maintainer "Name <address>"
  debian_docs.py copyright LICENSE OUTPUT --homepage URL

The changelog is CHANGELOG.md in Debian's changelog format; each entry is
dated with its heading's date, never the build's, so every build of one
source writes the same bytes. The copyright file is LICENSE in Debian's
machine-readable copyright format. Both are written uncompressed; the build
compresses them.
"""

import argparse
import datetime
import re
import sys
import textwrap

WIDTH = 78  # Debian's tools want changelog lines of at most 80 characters
DAYS = ("Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun")
MONTHS = ("Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec")
VERSION_HEADING = re.compile(r"^## +([0-9][A-Za-z0-9.+~]*) +- +([0-9]{4}-[0-9]{2}-[0-9]{2}) *$")
UNRELEASED_HEADING = re.compile(r"^## +unreleased *$", re.IGNORECASE)


class FormatError(Exception):
    pass


class Entry:
    def __init__(self, version, date):
        self.version = version
        self.date = date
        self.blocks = []  # ("text", words) | ("group", title) | ("item", words)


def plain(text):
    """Markdown's code marks mean nothing in a plain-text changelog."""
    return text.replace("`", "")


def read_changelog(path):
    """The versions of CHANGELOG.md, newest first, without an Unreleased part."""
    entries = []
    entry = None  # the version being read; None before the first and in Unreleased
    skipping = False
    block = None  # the paragraph or item that a continuation line extends
    with open(path, encoding="utf-8") as file:
        for number, line in enumerate(file, start=1):
            line = line.rstrip()
            where = f"{path}:{number}"
            if line.startswith("## "):
                block = None
                match = VERSION_HEADING.match(line)
                if UNRELEASED_HEADING.match(line):
                    if entries:
                        raise FormatError(f"{where}: Unreleased belongs above every version")
                    entry, skipping = None, True
                elif match:
                    try:
                        date = datetime.date.fromisoformat(match.group(2))
                    except ValueError:
                        raise FormatError(f"{where}: {match.group(2)} is no date") from None
                    entry, skipping = Entry(match.group(1), date), False
                    entries.append(entry)
                else:
                    raise FormatError(f"{where}: a version heading is '## VERSION - YYYY-MM-DD'")
                continue
            if entry is None or skipping:
                continue
            if not line:
                block = None
            elif line.startswith("### "):
                entry.blocks.append(("group", plain(line[4:].strip())))
                block = None
            elif line.startswith("#"):
                raise FormatError(f"{where}: only '## ' and '### ' headings have a place in the changelog")
            elif line.startswith("- "):
                block = ("item", [plain(line[2:].strip())])
                entry.blocks.append(block)
            elif block is not None:
                block[1].append(plain(line.strip()))
            elif line[0] == " ":
                raise FormatError(f"{where}: an indented line continues nothing")
            else:
                block = ("text", [plain(line)])
                entry.blocks.append(block)
    return entries


def check_versions(entries, version, path):
    if not entries:
        raise FormatError(f"{path}: no '## VERSION - YYYY-MM-DD' heading")
    if entries[0].version != version:
        raise FormatError(
            f"{path}: the newest version is {entries[0].version}, the project's is {version}; "
            f"add '## {version} - YYYY-MM-DD' with what it changed above it"
        )
    seen = set()
    for newer, older in zip(entries, entries[1:]):
        if older.date > newer.date:
            raise FormatError(f"{path}: {older.version} is dated after {newer.version}; newest first")
    for entry in entries:
        if entry.version in seen:
            raise FormatError(f"{path}: version {entry.version} comes twice")
        seen.add(entry.version)


def wrap(words, first, rest):
    return textwrap.fill(
        " ".join(words),
        width=WIDTH,
        initial_indent=first,
        subsequent_indent=rest,
        break_long_words=False,
        break_on_hyphens=False,
    )


def debian_date(date):
    return f"{DAYS[date.weekday()]}, {date.day:02d} {MONTHS[date.month - 1]} {date.year} 00:00:00 +0000"


def debian_changelog(entries, package, maintainer):
    out = []
    for entry in entries:
        out.append(f"{package} ({entry.version}) unstable; urgency=medium")
        previous = None
        for kind, value in entry.blocks:
            # A blank line before each paragraph and group, none between the
            # items of one group.
            if kind != "item" or previous != "item":
                out.append("")
            if kind == "group":
                out.append(f"  {value}:")
            elif kind == "item":
                out.append(wrap(value, "  * ", "    "))
            else:
                out.append(wrap(value, "  ", "  "))
            previous = kind if kind != "group" else "item"
        out.append("")
        out.append(f" -- {maintainer}  {debian_date(entry.date)}")
        out.append("")
    return "\n".join(out)


def copyright_file(licence_path, homepage):
    with open(licence_path, encoding="utf-8") as file:
        lines = [line.rstrip() for line in file]
    if not lines or lines[0] != "MIT License":
        raise FormatError(f"{licence_path}: not the MIT licence, which the copyright file names")
    holders = [line for line in lines if line.startswith("Copyright (c) ")]
    if len(holders) != 1:
        raise FormatError(f"{licence_path}: one 'Copyright (c) YEAR HOLDER' line is needed")
    body = lines[lines.index(holders[0]) + 1 :]
    while body and not body[0]:
        body.pop(0)
    while body and not body[-1]:
        body.pop()
    # The licence's text as a field's continuation lines: each indented by
    # one blank, an empty line written as a lone full stop.
    text = "\n".join(f" {line}" if line else " ." for line in body)
    return (
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
        "Upstream-Name: Quillet\n"
        f"Source: {homepage}\n"
        "\n"
        "Files: *\n"
        f"Copyright: {holders[0][len('Copyright (c) '):]}\n"
        "License: Expat\n"
        f"{text}\n"
    )


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as file:
        file.write(text)


def main(arguments):
    parser = argparse.ArgumentParser(description="Writes a Debian package's changelog or copyright file.")
    kinds = parser.add_subparsers(dest="kind", required=True)
    changelog = kinds.add_parser("changelog")
    changelog.add_argument("source")
    changelog.add_argument("output")
    changelog.add_argument("--package", required=True)
    changelog.add_argument("--version", required=True)
    changelog.add_argument("--maintainer", required=True)
    copyright_ = kinds.add_parser("copyright")
    copyright_.add_argument("source")
    copyright_.add_argument("output")
    copyright_.add_argument("--homepage", required=True)
    options = parser.parse_args(arguments)
    try:
        if options.kind == "changelog":
            entries = read_changelog(options.source)
            check_versions(entries, options.version, options.source)
            write(options.output, debian_changelog(entries, options.package, options.maintainer))
        else:
            write(options.output, copyright_file(options.source, options.homepage))
    except (FormatError, OSError) as error:
        print(f"debian_docs.py: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
