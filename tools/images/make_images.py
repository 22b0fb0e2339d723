#!/usr/bin/env python3
"""Draws the launcher's own pictures and writes them as Windows BMP/ICO files.

    tools/images/make_images.py [OUTPUT_DIR]   (default: src/launcher/res)

banner.bmp  585 x 68, 24 bits: the design-time banner of the main window
tick.bmp    24 x 24, 24 bits: green tick, dark green outline, on magenta
cross.bmp   24 x 24, 24 bits: red cross, dark red outline, on magenta
Setup.ico   16 x 16 and 32 x 32, 32 bits with alpha: the application icon

The tick and the cross have hard edges: their magenta background is drawn
transparent, and a blended edge pixel would show as a pink fringe.
Standard library only; the output is the same on every run.
"""

import math
import os
import struct
import sys

MAGENTA = (255, 0, 255)


def bmp24(width, height, pixel):
    """A bottom-up 24-bit BMP file; pixel(x, y) gives (r, g, b), y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def polyline_distance(x, y, points):
    cx, cy = x + 0.5, y + 0.5
    return min(segment_distance(cx, cy, *a, *b) for a, b in zip(points, points[1:]))


def stroke_bitmap(strokes, fill, outline, core=1.9, edge=3.1):
    """24 x 24 on magenta: each stroke a polyline, filled within core pixels of
    its centre line and outlined up to edge pixels."""

    def pixel(x, y):
        d = min(polyline_distance(x, y, s) for s in strokes)
        if d <= core:
            return fill
        if d <= edge:
            return outline
        return MAGENTA

    return bmp24(24, 24, pixel)


def tick():
    return stroke_bitmap([[(4.5, 12.5), (9.5, 17.5), (19.5, 6.0)]], (46, 180, 46), (0, 92, 0))


def cross():
    return stroke_bitmap([[(6.0, 6.0), (18.0, 18.0)], [(18.0, 6.0), (6.0, 18.0)]], (224, 36, 36), (128, 0, 0))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def banner():
    width, height = 585, 68
    left, right = (16, 46, 102), (32, 126, 168)
    white = (255, 255, 255)
    # An open box with an arrow into it, outlined at the left end.
    box = [
        [(28, 30), (46, 22), (64, 30), (46, 38), (28, 30)],
        [(28, 30), (28, 50), (46, 58), (64, 50), (64, 30)],
        [(46, 38), (46, 58)],
        [(46, 6), (46, 26)],
        [(39, 19), (46, 26), (53, 19)],
    ]

    def pixel(x, y):
        colour = mix(left, right, x / (width - 1))
        # Soft rings on the right.
        for cx, cy, radius in ((520, 80, 70), (470, -30, 60), (560, 10, 34)):
            ring = abs(math.hypot(x - cx, y - cy) - radius)
            if ring < 6:
                colour = mix(colour, white, 0.10 * (1 - ring / 6))
        # A lighter band towards the bottom edge.
        if y >= height - 4:
            colour = mix(colour, white, 0.18)
        d = min(polyline_distance(x, y, s) for s in box)
        if d < 2.2:
            colour = mix(colour, white, min(1.0, 2.2 - d))
        return colour

    return bmp24(width, height, pixel)


def icon_image(size):
    """A 32-bit BGRA icon image: a blue rounded square with the box and arrow."""
    scale = size / 32.0
    radius = 6 * scale
    strokes = [
        [(8, 15), (16, 11), (24, 15), (16, 19), (8, 15)],
        [(8, 15), (8, 24), (16, 28), (24, 24), (24, 15)],
        [(16, 19), (16, 28)],
        [(16, 3), (16, 13)],
        [(12, 9), (16, 13), (20, 9)],
    ]
    strokes = [[(px * scale, py * scale) for px, py in s] for s in strokes]
    pen = 1.4 * scale if size >= 32 else 1.1

    pixels = []
    for y in range(size - 1, -1, -1):  # bottom-up
        for x in range(size):
            cx, cy = x + 0.5, y + 0.5
            # Coverage of the rounded square, one pixel of anti-aliasing.
            qx = max(abs(cx - size / 2) - (size / 2 - radius), 0)
            qy = max(abs(cy - size / 2) - (size / 2 - radius), 0)
            outside = math.hypot(qx, qy) - radius
            alpha = max(0.0, min(1.0, 0.5 - outside))
            colour = mix((24, 84, 160), (40, 140, 200), y / size)
            d = min(polyline_distance(x, y, s) for s in strokes)
            colour = mix(colour, (255, 255, 255), max(0.0, min(1.0, pen + 0.5 - d)))
            a = round(alpha * 255)
            r, g, b = colour
            pixels.append(bytes((b, g, r, a)))
    xor = b"".join(pixels)
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_stride * size)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def icon():
    images = [(16, icon_image(16)), (32, icon_image(32))]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, blobs = b"", b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        blobs += data
        offset += len(data)
    return header + entries + blobs


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "src", "launcher", "res")
    os.makedirs(out, exist_ok=True)
    for name, data in (("banner.bmp", banner()), ("tick.bmp", tick()), ("cross.bmp", cross()), ("Setup.ico", icon())):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(os.path.join(out, name), len(data), "bytes")


if __name__ == "__main__":
    main()
