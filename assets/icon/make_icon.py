#!/usr/bin/env python3
"""Draws the application icon and writes it as a Windows icon file.

    make_icon.py OUTPUT.ico

The picture is a blue rounded tile with an amber slash and three white lines: a block written as
address/prefix on the left turning into a list of addresses on the right. Every size is drawn
from the same shapes (no scaling of pixels), anti-aliased by distance to each shape's edge, so
the output is the same bytes on every run. Sizes 16..128 are stored as 32-bit bitmaps with alpha,
256 as PNG, as the icon format expects.
"""

import math
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from png_file import rgba_png  # noqa: E402

SIZES = (16, 24, 32, 48, 64, 72, 96, 128, 256)


def rounded_rect_distance(x, y, left, top, right, bottom, radius):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    return outside + min(max(dx, dy), 0.0) - radius


def capsule_distance(x, y, ax, ay, bx, by, radius):
    px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
    t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
    return math.hypot(px - vx * t, py - vy * t) - radius


def over(dst, src, coverage):
    """Puts the colour `src` (r, g, b) with `coverage` over the premultiplied-free pixel `dst`."""
    r, g, b, a = dst
    sa = coverage
    out_a = sa + a * (1 - sa)
    if out_a <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    mix = lambda s, d: (s * sa + d * a * (1 - sa)) / out_a
    return (mix(src[0], r), mix(src[1], g), mix(src[2], b), out_a)


def coverage(distance, size):
    # The distance is in units of the icon; half a pixel on either side of the edge blends.
    return max(0.0, min(1.0, 0.5 - distance * size))


def draw(size):
    pixels = []
    inset = 0.04 if size >= 32 else 0.0
    radius = 0.2
    lines = ((0.34, 0.84), (0.50, 0.78), (0.66, 0.70))
    for row in range(size):
        for column in range(size):
            x, y = (column + 0.5) / size, (row + 0.5) / size
            pixel = (0.0, 0.0, 0.0, 0.0)
            tile = rounded_rect_distance(x, y, inset, inset, 1 - inset, 1 - inset, radius)
            top_colour, bottom_colour = (52, 120, 214), (20, 58, 122)
            blend = y
            colour = tuple(t + (b - t) * blend for t, b in zip(top_colour, bottom_colour))
            pixel = over(pixel, colour, coverage(tile, size))
            slash = capsule_distance(x, y, 0.22, 0.76, 0.40, 0.24, 0.065)
            pixel = over(pixel, (255, 178, 36), coverage(slash, size))
            for line_y, line_end in lines:
                bar = capsule_distance(x, y, 0.52, line_y, line_end, line_y, 0.045)
                pixel = over(pixel, (255, 255, 255), coverage(bar, size))
            pixels.append(tuple(int(round(v)) for v in pixel[:3]) + (int(round(pixel[3] * 255)),))
    return pixels


def png_bytes(size, pixels):
    return rgba_png(size, size, pixels)


def bitmap_bytes(size, pixels):
    mask_stride = ((size + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(range(size)):  # bottom-up rows
        mask_row = bytearray(mask_stride)
        for column in range(size):
            r, g, b, a = pixels[row * size + column]
            colour += bytes((b, g, r, a))
            if a == 0:
                mask_row[column // 8] |= 0x80 >> (column % 8)
        mask += mask_row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    images = []
    for size in SIZES:
        pixels = draw(size)
        images.append(png_bytes(size, pixels) if size >= 256 else bitmap_bytes(size, pixels))
    out = bytearray(struct.pack("<HHH", 0, 1, len(SIZES)))
    offset = 6 + 16 * len(SIZES)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(sys.argv[1], "wb") as file:
        file.write(out)


if __name__ == "__main__":
    main()
