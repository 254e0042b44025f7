#!/usr/bin/env python3
"""Draws the word-cloud mask pictures in WordCloudImages/.

    /usr/bin/python3 scripts/make-wordcloud-masks.py

Each picture is a dark shape on white: the word-cloud tool fills the dark
part with words. Only the standard library is used (the PNG files are
written by hand), and the same script always writes the same bytes.
The pictures are Tarnquill's own artwork.
"""

import math
import os
import struct
import zlib

SIZE = 600          # pixels per side
SAMPLES = 3         # samples per pixel side, for smooth edges
INK = 32            # grey of the shape
PAPER = 255


def circle(x, y):
    return x * x + y * y <= 0.86 ** 2


def heart(x, y):
    # The classic sextic heart, turned upright and scaled to the frame.
    x, y = x * 1.25, -y * 1.25 + 0.15
    return (x * x + y * y - 1) ** 3 - x * x * y ** 3 <= 0


def polygon_contains(points, x, y):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


STAR_POINTS = [
    ((0.92 if k % 2 == 0 else 0.38) * math.sin(k * math.pi / 5),
     -(0.92 if k % 2 == 0 else 0.38) * math.cos(k * math.pi / 5) + 0.08)
    for k in range(10)
]


def star(x, y):
    return polygon_contains(STAR_POINTS, x, y)


CLOUD_CIRCLES = [(-0.45, 0.08, 0.30), (-0.08, -0.20, 0.42), (0.38, -0.02, 0.34),
                 (0.12, 0.14, 0.36)]


def cloud(x, y):
    # A flat-bottomed capsule with round puffs on top.
    nearest = min(max(x, -0.62), 0.62)
    if (x - nearest) ** 2 + (y - 0.30) ** 2 <= 0.22 ** 2:
        return True
    return any((x - cx) ** 2 + (y - cy) ** 2 <= r * r for cx, cy, r in CLOUD_CIRCLES)


def pagoda(x, y):
    # A five-storey tower: a spire, then storeys that widen downwards, each
    # with an overhanging roof, on a broad base.
    if abs(x) <= 0.035 and -0.95 <= y <= -0.62:
        return True
    top = -0.66
    storey = 0.26
    for level in range(5):
        half = 0.16 + 0.075 * level
        roof_top = top + level * storey
        roof_bottom = roof_top + 0.07
        if roof_top <= y <= roof_bottom:
            # The roof: a flat trapezoid with upturned ends.
            spread = half + 0.10 + (y - roof_top) / 0.07 * 0.05
            if abs(x) <= spread:
                return True
        body_bottom = roof_top + storey
        if roof_bottom <= y <= body_bottom and abs(x) <= half:
            return True
    return 0.64 <= y <= 0.80 and abs(x) <= 0.66


SHAPES = {
    "Circle.png": circle,
    "Heart.png": heart,
    "Star.png": star,
    "Cloud.png": cloud,
    "Pagoda.png": pagoda,
}


def render(shape):
    rows = []
    step = 2.0 / (SIZE * SAMPLES)
    for py in range(SIZE):
        row = bytearray([0])  # filter type "None"
        for px in range(SIZE):
            hits = 0
            for sy in range(SAMPLES):
                y = -1.0 + (py * SAMPLES + sy + 0.5) * step
                for sx in range(SAMPLES):
                    x = -1.0 + (px * SAMPLES + sx + 0.5) * step
                    if shape(x, y):
                        hits += 1
            share = hits / (SAMPLES * SAMPLES)
            row.append(round(PAPER - share * (PAPER - INK)))
        rows.append(bytes(row))
    return b"".join(rows)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, pixels):
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 0, 0, 0, 0)  # 8-bit grey
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(pixels, 9)))
        out.write(chunk(b"IEND", b""))


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "WordCloudImages")
    os.makedirs(folder, exist_ok=True)
    for name, shape in SHAPES.items():
        write_png(os.path.join(folder, name), render(shape))
        print("wrote", os.path.normpath(os.path.join(folder, name)))


if __name__ == "__main__":
    main()
