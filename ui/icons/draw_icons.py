#!/usr/bin/env python3
"""Draws the application icon as three 16-colour PNG images (48, 32, 16 px).

The picture: a measured AN impedance trace (a sine wave) on a dark blue
screen, with a red double arrow for the deviation from the reference level.
Run it from this folder to redraw quillet-48.png, quillet-32.png and
quillet-16.png: palette images, so they keep the 16-colour look.
"""
import math
import struct
import zlib

PALETTE = {
    ' ': 'None',
    '.': '#000000',
    'n': '#000080',
    'b': '#0000FF',
    'g': '#808080',
    's': '#C0C0C0',
    'w': '#FFFFFF',
    'r': '#FF0000',
    'm': '#800000',
    'y': '#FFFF00',
    'c': '#00FFFF',
}


def draw(size):
    px = [[' '] * size for _ in range(size)]
    u = size / 48.0
    border = max(1, round(2 * u))
    # A bezel and a screen.
    for y in range(size):
        for x in range(size):
            px[y][x] = 's'
    for i in range(size):
        px[0][i] = px[i][0] = 'w'
        px[size - 1][i] = px[i][size - 1] = '.'
    for y in range(border + 1, size - border - 1):
        for x in range(border + 1, size - border - 1):
            px[y][x] = 'n'
    # The reference level, dashed.
    ref = round(size * 0.62)
    for x in range(border + 2, size - border - 2):
        if (x // max(1, round(2 * u))) % 2 == 0:
            px[ref][x] = 'g'
    # The measured trace.
    inner0, inner1 = border + 2, size - border - 3
    prev = None
    for x in range(inner0, inner1 + 1):
        t = (x - inner0) / max(1, inner1 - inner0)
        y = round(size * 0.5 - size * 0.22 * math.sin(t * 2 * math.pi))
        lo, hi = (y, y) if prev is None else (min(prev, y), max(prev, y))
        for yy in range(lo, hi + 1):
            px[yy][x] = 'c'
        prev = y
    # The deviation: a red double arrow from the reference level to the peak.
    ax = round(size * 0.27)
    top = round(size * 0.5 - size * 0.22) + 1
    for y in range(top, ref):
        px[y][ax] = 'r'
        if size >= 32:
            px[y][ax + 1] = 'r'
    head = round(3 * u) if size >= 32 else 0
    for k in range(1, head + 1):
        for dx in (-k, k + (1 if size >= 32 else 0)):
            if 0 <= top + k < size:
                px[top + k][ax + dx] = 'r'
            if 0 <= ref - 1 - k < size:
                px[ref - 1 - k][ax + dx] = 'r'
    return px


def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))


def write(size):
    px = draw(size)
    used = sorted({c for row in px for c in row})
    assert len(used) <= 16
    index = {c: i for i, c in enumerate(used)}
    palette = b''.join(bytes.fromhex('000000' if PALETTE[c] == 'None' else PALETTE[c][1:]) for c in used)
    alpha = bytes(0 if PALETTE[c] == 'None' else 255 for c in used)
    rows = b''.join(b'\0' + bytes(index[c] for c in row) for row in px)
    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 3, 0, 0, 0))
    png += chunk(b'PLTE', palette)
    png += chunk(b'tRNS', alpha)
    png += chunk(b'IDAT', zlib.compress(rows, 9))
    png += chunk(b'IEND', b'')
    with open(f'quillet-{size}.png', 'wb') as f:
        f.write(png)


for s in (48, 32, 16):
    write(s)
