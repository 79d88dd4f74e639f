#!/usr/bin/env python3
"""Draws the program's icon: rings of triangles growing out of a vanishing point, in rainbow
colours on black, at 16, 32, 48 and 256 pixels. Writes Nimbrel.ico next to this script.

Run it again after changing the drawing; the .ico is committed so the build needs no Python."""

import math
import os
import struct
import zlib

SIZES = (16, 32, 48, 256)


def hue(h):
    """A saturated colour for a hue in [0, 1)."""
    h = (h % 1.0) * 6
    i = int(h)
    f = h - i
    q, t = 1 - f, f
    r, g, b = [(1, t, 0), (q, 1, 0), (0, 1, t), (0, q, 1), (t, 0, 1), (1, 0, q)][i]
    return int(r * 255), int(g * 255), int(b * 255)


def draw(size):
    """RGBA rows, top to bottom."""
    # 4x supersampling: each output pixel averages a 4x4 block of samples.
    ss = 4
    n = size * ss
    samples = [[(0, 0, 0, 0)] * n for _ in range(n)]
    rings = 9
    cx = cy = n / 2
    for k in range(rings, 0, -1):
        depth = k / rings
        radius = (depth ** 1.6) * n * 0.47
        angle = k * 0.35
        width = max(1.0, n / 40) * (0.5 + depth)
        colour = hue(k / rings)
        pts = [(cx + radius * math.cos(angle + j * 2 * math.pi / 3),
                cy + radius * math.sin(angle + j * 2 * math.pi / 3)) for j in range(3)]
        for j in range(3):
            (x0, y0), (x1, y1) = pts[j], pts[(j + 1) % 3]
            steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 2) + 1
            for s in range(steps + 1):
                x = x0 + (x1 - x0) * s / steps
                y = y0 + (y1 - y0) * s / steps
                r = int(width / 2)
                for yy in range(int(y) - r, int(y) + r + 1):
                    for xx in range(int(x) - r, int(x) + r + 1):
                        if 0 <= xx < n and 0 <= yy < n:
                            samples[yy][xx] = colour + (255,)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(ss):
                for sx in range(ss):
                    p = samples[y * ss + sy][x * ss + sx]
                    for c in range(4):
                        acc[c] += p[c]
            count = ss * ss
            # A black disc behind the rings, so the icon reads on any background.
            d = math.hypot(x + 0.5 - size / 2, y + 0.5 - size / 2)
            inside = d <= size / 2 - 0.5
            a = acc[3] / count
            rgb = [acc[c] / count for c in range(3)]
            if inside:
                row.append((int(rgb[0]), int(rgb[1]), int(rgb[2]), 255))
            else:
                row.append((int(rgb[0]), int(rgb[1]), int(rgb[2]), int(a)))
        rows.append(row)
    return rows


def bmp_entry(size, rows):
    """A 32-bit BGRA DIB with its AND mask, bottom-up, as icons hold them."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def png_entry(size, rows):
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    images = []
    for size in SIZES:
        rows = draw(size)
        images.append((size, png_entry(size, rows) if size >= 256 else bmp_entry(size, rows)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    directory = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        directory += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += directory + b"".join(data for _, data in images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "Nimbrel.ico")
    with open(path, "wb") as f:
        f.write(out)
    print(path)


if __name__ == "__main__":
    main()
