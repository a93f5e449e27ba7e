#!/usr/bin/env python3
"""Writes plot/font_metrics_table.inc: the advance widths of the plot's font,
regular and bold, read from the TrueType files, so every build lays the plot
out from the same numbers whatever fonts its machine has.

    plot/font_metrics_from_ttf.py REGULAR.ttf BOLD.ttf > plot/font_metrics_table.inc
"""
import struct
import sys

# What plot texts use: ASCII, Latin-1 and a few signs of the trade.
CODE_POINTS = list(range(0x20, 0x7F)) + list(range(0xA0, 0x100)) + [
    0x0393, 0x0398, 0x03A9, 0x03B8, 0x03BC, 0x2013, 0x2014, 0x2018, 0x2019,
    0x201C, 0x201D, 0x2026, 0x2212, 0x2264, 0x2265]


def tables(data):
    count = struct.unpack_from(">H", data, 4)[0]
    found = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack_from(">4sIII", data, 12 + 16 * i)
        found[tag.decode("ascii")] = (offset, length)
    return found


def glyph_of(data, cmap_offset):
    """The format-4 Unicode subtable as a code point -> glyph function."""
    count = struct.unpack_from(">H", data, cmap_offset + 2)[0]
    for i in range(count):
        platform, encoding, offset = struct.unpack_from(">HHI", data, cmap_offset + 4 + 8 * i)
        sub = cmap_offset + offset
        if (platform, encoding) in ((3, 1), (0, 3)) and struct.unpack_from(">H", data, sub)[0] == 4:
            break
    else:
        raise SystemExit("no format-4 Unicode cmap")
    segments = struct.unpack_from(">H", data, sub + 6)[0] // 2
    ends = struct.unpack_from(">%dH" % segments, data, sub + 14)
    starts = struct.unpack_from(">%dH" % segments, data, sub + 16 + 2 * segments)
    deltas = struct.unpack_from(">%dh" % segments, data, sub + 16 + 4 * segments)
    range_at = sub + 16 + 6 * segments
    offsets = struct.unpack_from(">%dH" % segments, data, range_at)

    def glyph(code):
        for k in range(segments):
            if starts[k] <= code <= ends[k]:
                if offsets[k] == 0:
                    return (code + deltas[k]) & 0xFFFF
                at = range_at + 2 * k + offsets[k] + 2 * (code - starts[k])
                g = struct.unpack_from(">H", data, at)[0]
                return (g + deltas[k]) & 0xFFFF if g else 0
        return 0
    return glyph


def metrics(path):
    data = open(path, "rb").read()
    t = tables(data)
    units = struct.unpack_from(">H", data, t["head"][0] + 18)[0]
    ascent, descent = struct.unpack_from(">hh", data, t["hhea"][0] + 4)
    long_metrics = struct.unpack_from(">H", data, t["hhea"][0] + 34)[0]
    glyph = glyph_of(data, t["cmap"][0])

    def advance(code):
        g = min(glyph(code), long_metrics - 1)
        return struct.unpack_from(">H", data, t["hmtx"][0] + 4 * g)[0]
    return units, ascent, -descent, [(c, advance(c)) for c in CODE_POINTS if glyph(c)]


def main():
    regular, bold = (metrics(p) for p in sys.argv[1:3])
    assert regular[:3] == bold[:3], "the two faces differ in their vertical metrics"
    print("// Made by plot/font_metrics_from_ttf.py from DejaVu Sans and DejaVu Sans Bold.")
    print("// {code point, regular advance, bold advance} in font units.")
    print("constexpr double kUnitsPerEm = %d, kAscentUnits = %d, kDescentUnits = %d;" % regular[:3])
    bold_advances = dict(bold[3])
    print("constexpr Advance kAdvances[] = {")
    for code, width in regular[3]:
        if code in bold_advances:
            print("    {0x%04X, %d, %d}," % (code, width, bold_advances[code]))
    print("};")


main()
