#!/usr/bin/env python3
"""Draws app.ico, the program's icon: a folder searched by a magnifying glass.

Run it again after changing the picture; the icon is kept in the repository so that a build
needs nothing but the compilers.
"""
import math
import struct
import sys

FOLDER_EDGE = (166, 124, 0)
FOLDER = (255, 210, 70)
FOLDER_LIGHT = (255, 234, 150)
RIM = (40, 60, 90)
GLASS = (190, 225, 255)
HANDLE = (120, 70, 20)


def draw(size):
    s = size / 32.0
    px = [[None] * size for _ in range(size)]

    def box(x0, y0, x1, y1, colour):
        for y in range(round(y0 * s), round(y1 * s)):
            for x in range(round(x0 * s), round(x1 * s)):
                px[y][x] = colour

    def disc(cx, cy, r, colour):
        for y in range(size):
            for x in range(size):
                if math.hypot(x + 0.5 - cx * s, y + 0.5 - cy * s) <= r * s:
                    px[y][x] = colour

    # Folder: tab, body, highlight.
    box(1, 5, 13, 11, FOLDER_EDGE)
    box(2, 6, 12, 10, FOLDER)
    box(1, 8, 29, 28, FOLDER_EDGE)
    box(2, 9, 28, 27, FOLDER)
    box(2, 9, 28, 11, FOLDER_LIGHT)
    # Magnifying glass over its lower right part.
    for i in range(9):
        disc(22 + i * 0.9, 22 + i * 0.9, 2.2, HANDLE)
    disc(17, 17, 8.5, RIM)
    disc(17, 17, 6.2, GLASS)
    disc(14.5, 14.5, 1.6, (255, 255, 255))
    return px


def bitmap(size):
    px = draw(size)
    rows = []
    for y in reversed(range(size)):  # bottom-up
        for x in range(size):
            c = px[y][x]
            rows.append(struct.pack("<BBBB", c[2], c[1], c[0], 255) if c else b"\0\0\0\0")
    xor = b"".join(rows)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(mask_stride)
        for x in range(size):
            if px[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + xor + bytes(mask)


def main(out):
    sizes = [16, 32, 48]
    images = [bitmap(n) for n in sizes]
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, "wb") as f:
        f.write(data + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app.ico")
