#!/usr/bin/env python3
"""Draws the five 32 x 32 pictures of the main window's image list and writes them as PNG files.

    draw_pictures.py OUTPUT_FOLDER            writes 0_wand.png .. 4_double_tap.png
    draw_pictures.py OUTPUT_FOLDER LAYOUT     also puts their bytes into the window description
                                              (app/main_form.layout, component sAlphaImageList)

Every shape is a signed distance in pixels (negative inside), sampled 4 x 4 times per pixel, so
edges are smooth and the output is the same bytes on every run. The pictures are shown at 16, 24
and 32 pixels on light and dark backgrounds: shapes are bold and carry a thin dark rim.
"""

import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from png_file import rgba_png  # noqa: E402

SIZE = 32
SUB = 4  # samples per pixel side

NAMES = ("0_wand", "1_play", "2_cat", "3_coffee", "4_double_tap")


# --- shapes: functions (x, y) -> signed distance in pixels ---------------------------------------

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def capsule(ax, ay, bx, by, r):
    vx, vy = bx - ax, by - ay
    length2 = vx * vx + vy * vy

    def distance(x, y):
        px, py = x - ax, y - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / length2))
        return math.hypot(px - vx * t, py - vy * t) - r
    return distance


def box(left, top, right, bottom, radius=0.0):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius

    def distance(x, y):
        dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(dx, 0.0), max(dy, 0.0)) + min(max(dx, dy), 0.0) - radius
    return distance


def polygon(points):
    """Exact distance to a simple polygon (even-odd inside test)."""
    def distance(x, y):
        best = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            vx, vy = bx - ax, by - ay
            px, py = x - ax, y - ay
            t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
            best = min(best, math.hypot(px - vx * t, py - vy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * vx / vy:
                inside = not inside
        return -best if inside else best
    return distance


def star(cx, cy, outer, inner, points=4, turn=0.0):
    corners = []
    for i in range(points * 2):
        angle = turn + math.pi * i / points - math.pi / 2
        r = outer if i % 2 == 0 else inner
        corners.append((cx + r * math.cos(angle), cy + r * math.sin(angle)))
    return polygon(corners)


def arc(cx, cy, r, width, start_deg, end_deg):
    """A stroke of `width` along a circle, between two angles (degrees, y down), round ends."""
    a0, a1 = math.radians(start_deg), math.radians(end_deg)
    ends = [(cx + r * math.cos(a), cy + r * math.sin(a)) for a in (a0, a1)]

    def distance(x, y):
        angle = math.atan2(y - cy, x - cx)
        # Inside the angular range: distance to the circle; outside it: to the nearer end.
        span = (a1 - a0) % (2 * math.pi)
        if (angle - a0) % (2 * math.pi) <= span:
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2
    return distance


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def grown(shape, amount):
    return lambda x, y: shape(x, y) - amount


def moved(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


# --- painting --------------------------------------------------------------------------------------

def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


class Canvas:
    def __init__(self):
        # Straight colour and alpha per sub-sample; resolved to pixels at the end.
        self.samples = [[(0.0, 0.0, 0.0, 0.0)] * (SIZE * SUB) for _ in range(SIZE * SUB)]

    def fill(self, shape, colour, opacity=1.0, shade=None):
        """Paints `shape`; `shade(x, y)` may return a colour that replaces `colour` per point."""
        base = hex_colour(colour) if isinstance(colour, str) else colour
        step = 1.0 / SUB
        for sy in range(SIZE * SUB):
            y = (sy + 0.5) * step
            row = self.samples[sy]
            for sx in range(SIZE * SUB):
                x = (sx + 0.5) * step
                d = shape(x, y)
                # Each sub-sample still blends across its own width, which keeps thin strokes even.
                cover = max(0.0, min(1.0, 0.5 - d * SUB)) * opacity
                if cover <= 0.0:
                    continue
                src = shade(x, y) if shade else base
                r, g, b, a = row[sx]
                out_a = cover + a * (1 - cover)
                mix = lambda s, t: (s * cover + t * a * (1 - cover)) / out_a
                row[sx] = (mix(src[0], r), mix(src[1], g), mix(src[2], b), out_a)

    def outlined(self, shape, colour, rim, rim_width=1.0, shade=None):
        self.fill(grown(shape, rim_width), rim)
        self.fill(shape, colour, shade=shade)

    def pixels(self):
        out = []
        for py in range(SIZE):
            for px in range(SIZE):
                r = g = b = a = 0.0
                for sy in range(py * SUB, (py + 1) * SUB):
                    for sx in range(px * SUB, (px + 1) * SUB):
                        cr, cg, cb, ca = self.samples[sy][sx]
                        r, g, b, a = r + cr * ca, g + cg * ca, b + cb * ca, a + ca
                if a <= 0.0:
                    out.append((0, 0, 0, 0))
                    continue
                out.append((round(r / a), round(g / a), round(b / a), round(a / (SUB * SUB) * 255)))
        return out


def vertical(top_colour, bottom_colour, top, bottom):
    t_c, b_c = hex_colour(top_colour), hex_colour(bottom_colour)

    def shade(_x, y):
        t = max(0.0, min(1.0, (y - top) / (bottom - top)))
        return tuple(a + (b - a) * t for a, b in zip(t_c, b_c))
    return shade


# --- the pictures ----------------------------------------------------------------------------------

def draw_wand(c):
    # Stick from the lower left up to the right, a white tip, a big sparkle beyond it, two small.
    stick = capsule(5.5, 27.5, 19.0, 14.0, 2.3)
    c.fill(grown(stick, 1.0), "#2B2340")
    c.fill(stick, "#7C4DDB", shade=vertical("#9C74F0", "#5A32B0", 14, 28))
    c.fill(capsule(16.2, 16.8, 19.0, 14.0, 2.3), "#FFFFFF")
    c.outlined(star(24.0, 8.5, 8.0, 2.6), "#FFC928", "#8A5A00", shade=vertical("#FFE27A", "#FFAE00", 1, 16))
    c.outlined(star(9.5, 7.5, 4.6, 1.5), "#FFD54A", "#8A5A00", 0.9)
    c.outlined(star(27.0, 22.5, 3.8, 1.3), "#FFD54A", "#8A5A00", 0.9)


def draw_play(c):
    disc = circle(16.0, 16.0, 13.5)
    c.fill(grown(disc, 1.0), "#7A0E0E")
    c.fill(disc, "#E53935", shade=vertical("#FF5A52", "#C62828", 2, 30))
    # The triangle's centre of mass sits on the disc's centre, nudged right as the eye expects.
    c.fill(polygon([(12.2, 8.8), (12.2, 23.2), (24.0, 16.0)]), "#FFFFFF")


def draw_cat(c):
    face = union(box(5.0, 11.0, 27.0, 29.0, 9.0),
                 polygon([(5.2, 19.0), (6.2, 2.8), (14.5, 11.2)]),
                 polygon([(26.8, 19.0), (25.8, 2.8), (17.5, 11.2)]))
    c.fill(grown(face, 1.2), "#DDE3EA")
    c.fill(face, "#2F3742", shade=vertical("#46505E", "#262C35", 3, 29))
    c.fill(polygon([(8.2, 13.0), (8.6, 6.8), (12.4, 11.0)]), "#E98FA8")
    c.fill(polygon([(23.8, 13.0), (23.4, 6.8), (19.6, 11.0)]), "#E98FA8")
    for eye_x in (11.4, 20.6):
        c.fill(box(eye_x - 2.1, 16.0, eye_x + 2.1, 21.6, 2.1), "#B8F25A")
        c.fill(box(eye_x - 0.7, 16.8, eye_x + 0.7, 20.8, 0.7), "#10140C")
    c.fill(polygon([(14.6, 22.6), (17.4, 22.6), (16.0, 24.2)]), "#E98FA8")
    for y0, y1 in ((23.2, 22.4), (25.0, 25.4)):
        c.fill(capsule(2.2, y1, 9.2, y0 + 0.4, 0.45), "#DDE3EA")
        c.fill(capsule(29.8, y1, 22.8, y0 + 0.4, 0.45), "#DDE3EA")


def draw_coffee(c):
    saucer = box(2.5, 26.6, 29.5, 30.0, 1.7)
    c.outlined(saucer, "#E8E2DA", "#5B4032")
    handle = minus(circle(23.2, 18.0, 5.2), circle(23.2, 18.0, 2.3))
    cup = polygon([(5.0, 12.0), (24.0, 12.0), (22.0, 26.0), (7.0, 26.0)])
    cup = union(cup, box(7.0, 20.0, 22.0, 27.3, 3.0))
    c.fill(grown(union(handle, cup), 1.0), "#5B4032")
    c.fill(handle, "#F4EFE8", shade=vertical("#FFFFFF", "#D9D0C4", 12, 24))
    c.fill(cup, "#F4EFE8", shade=vertical("#FFFFFF", "#D9D0C4", 12, 27))
    c.fill(box(5.6, 12.6, 23.4, 15.0, 1.0), "#6D3F22")
    c.fill(capsule(8.0, 17.5, 8.0, 23.0, 0.8), "#FFFFFF", 0.8)
    # Steam: three soft waves.
    for x0 in (9.6, 14.5, 19.4):
        wave = union(arc(x0 + 1.6, 7.5, 2.2, 1.7, 100, 250), arc(x0 - 1.6, 3.4, 2.2, 1.7, 290, 70))
        c.fill(wave, "#8C7B70")


def draw_double_tap(c):
    # Two raised fingers of a hand, and above their tips two rings for the two taps.
    for r, opacity in ((5.0, 1.0), (8.6, 0.7)):
        c.fill(arc(16.0, 9.6, r, 1.9, 200, 340), "#1E88E5", opacity)
    skin = vertical("#FFDDB8", "#EDB27C", 8, 31)
    fingers = union(capsule(11.6, 10.8, 11.6, 22.0, 2.8), capsule(20.4, 10.8, 20.4, 22.0, 2.8))
    palm = union(box(7.6, 19.0, 24.4, 33.0, 4.0), capsule(7.0, 22.0, 8.6, 28.0, 2.4),
                 capsule(25.0, 20.5, 23.6, 27.0, 2.3))
    hand = union(fingers, palm)
    c.fill(grown(hand, 1.1), "#6B3E1E")
    c.fill(hand, "#FFC894", shade=skin)
    c.fill(capsule(16.0, 18.6, 16.0, 23.0, 0.6), "#A8653A")  # where the fingers part
    for x0 in (11.6, 20.4):
        c.fill(box(x0 - 1.6, 8.8, x0 + 1.6, 12.6, 1.5), "#FFF3E8")  # nails


PICTURES = (draw_wand, draw_play, draw_cat, draw_coffee, draw_double_tap)


# --- output ----------------------------------------------------------------------------------------

def png_bytes(pixels):
    # Fully transparent pixels are stored as zeros, whatever colour they were drawn with.
    return rgba_png(SIZE, SIZE, [p if p[3] else (0, 0, 0, 0) for p in pixels])


def write_layout(path, images):
    """Replaces (or appends) the image list's component in the window description."""
    with open(path, encoding="utf-8") as file:
        lines = file.read().split("\n")
    start = next((i for i, line in enumerate(lines) if line.strip() == "[sAlphaImageList]"), None)
    if start is not None:
        end = start + 1
        while end < len(lines) and not lines[end].startswith("["):
            end += 1
        while end > start and lines[end - 1].strip() == "":
            end -= 1
        del lines[start:end]
    else:
        while lines and lines[-1] == "":
            lines.pop()
        lines.append("")
        start = len(lines)
    # Nominal size 16 x 16 (the default, not stored); each item: format, name, the file's bytes.
    section = ["[sAlphaImageList]", "kind = image_list", "parent = MainForm"]
    for index, (name, data) in enumerate(zip(NAMES, images)):
        section.append(f'item{index} = ifPNG, "{name[2:]}", "{data.hex().upper()}"')
    lines[start:start] = section
    text = "\n".join(lines)
    if not text.endswith("\n"):
        text += "\n"
    with open(path, "w", encoding="utf-8") as file:
        file.write(text)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    images = []
    for name, draw in zip(NAMES, PICTURES):
        canvas = Canvas()
        draw(canvas)
        data = png_bytes(canvas.pixels())
        images.append(data)
        with open(os.path.join(folder, name + ".png"), "wb") as file:
            file.write(data)
    if len(sys.argv) == 3:
        write_layout(sys.argv[2], images)


if __name__ == "__main__":
    main()
