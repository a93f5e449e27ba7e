#!/usr/bin/env python3
"""Packs the window icon's three 16-colour pictures (ui/icons/quillet-48.png,
-32.png, -16.png, drawn by ui/icons/draw_icons.py) into quillet.ico, with a
4-bit image and a transparency mask each, as Windows wants icons.

Run it from this folder after redrawing the pictures.
"""
import struct
import zlib


def read_palette_png(name):
    data = open(name, 'rb').read()
    pos, idat, palette, alpha = 8, b'', b'', b''
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            assert depth == 8 and colour == 3, 'an 8-bit palette image'
        elif kind == b'PLTE':
            palette = body
        elif kind == b'tRNS':
            alpha = body
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    rows = []
    for y in range(height):
        row = raw[y * (width + 1):(y + 1) * (width + 1)]
        assert row[0] == 0, 'rows without a filter'
        rows.append(list(row[1:]))
    colours = [palette[i:i + 3] for i in range(0, len(palette), 3)]
    opaque = [i >= len(alpha) or alpha[i] != 0 for i in range(len(colours))]
    assert len(colours) <= 16
    return width, rows, colours, opaque


def icon_image(width, rows, colours, opaque):
    header = struct.pack('<IiiHHIIiiII', 40, width, 2 * width, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(bytes([c[2], c[1], c[0], 0]) for c in colours) + b'\0' * 4 * (16 - len(colours))
    xor_stride = (width * 4 + 31) // 32 * 4
    and_stride = (width + 31) // 32 * 4
    xor, mask = b'', b''
    for row in reversed(rows):  # bottom-up
        packed = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, index in enumerate(row):
            if not opaque[index]:
                bits[x // 8] |= 0x80 >> (x % 8)
            packed[x // 2] |= (index & 0xF) << (4 if x % 2 == 0 else 0)
        xor += bytes(packed)
        mask += bytes(bits)
    return header + palette + xor + mask


images = [icon_image(*read_palette_png(f'../ui/icons/quillet-{size}.png')) for size in (48, 32, 16)]
out = struct.pack('<HHH', 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, image in zip((48, 32, 16), images):
    out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset)
    offset += len(image)
with open('quillet.ico', 'wb') as f:
    f.write(out + b''.join(images))
