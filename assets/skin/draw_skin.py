#!/usr/bin/env python3
"""Draws the pictures of the built-in skin "Windows 11 dark (internal)".

    draw_skin.py [OUTPUT_DIR] [--preview PNG] [--contact-sheet PNG]

Writes "MASTER COPY.PNG" and "GLOWEDIT.PNG" into OUTPUT_DIR (default: this folder), the
280 x 200 preview to PNG (default: Preview.png in this folder) and, when asked, a contact sheet of
the master image and the glow picture. Where each picture goes in the master image
comes from the image entries of Options.dat beside this script, so a glyph is resized by editing
its entry there; colours and shapes live in the tables below. The output depends only on the
inputs: same script and options file, same bytes.

Only the standard library is used, so the build can run this on any machine with python3.
"""

import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from png_file import rgba_png  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
OPTIONS = os.path.join(HERE, "Options.dat")

MASTER_NAME = "MASTER COPY.PNG"
MASTER_SIZE = (373, 455)
GLOW_NAME = "GLOWEDIT.PNG"
GLOW_SIZE = 32  # Square; the nine-slice margins come from the GLOW0 entries.
GLOW_MARGIN = 1  # GLOWMARGIN of the sections: the glow reaches this far under the control.
PREVIEW_SIZE = (280, 200)

# Colours as (red, green, blue) or (red, green, blue, alpha).
WINDOW = (32, 32, 32)
LAYER = (43, 43, 43)
CONTROL = (42, 42, 42)
EDIT_BG = (45, 45, 45)
STROKE = (58, 58, 58)
TEXT = (240, 241, 242)
TEXT_DIM = (200, 200, 200)
TEXT_SECONDARY = (158, 158, 158)
ACCENT = (76, 194, 255)
ACCENT_HOT = (71, 177, 232)
ACCENT_PRESSED = (66, 161, 210)
ON_ACCENT = (0, 0, 0)
CLOSE_HOT = (196, 43, 28)
CLOSE_PRESSED = (179, 40, 28, 230)
CAPTION_HOT = (255, 255, 255, 18)
CAPTION_PRESSED = (255, 255, 255, 11)
BOX_FILL = ((0, 0, 0, 40), (255, 255, 255, 12), (0, 0, 0, 70))
BOX_STROKE = ((158, 158, 158), (170, 170, 170), (93, 93, 93))
ACCENT_BY_STATE = (ACCENT, ACCENT_HOT, ACCENT_PRESSED)
GLYPH_BY_STATE = (TEXT_DIM, (255, 255, 255), TEXT_SECONDARY)
GLOW_COLOR = ACCENT
GLOW_ALPHA = 150  # At the control's edge; falls to 0 at the picture's edge.


# ----------------------------------------------------------------------------------------------
# A straight-alpha RGBA canvas with anti-aliased shapes drawn from signed distances.

class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.px = [list(rgba(fill)) for _ in range(width * height)]

    def blend(self, x, y, color, coverage):
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        r, g, b, a = rgba(color)
        sa = a / 255.0 * min(coverage, 1.0)
        d = self.px[y * self.width + x]
        da = d[3] / 255.0
        oa = sa + da * (1 - sa)
        if oa <= 0:
            return
        for i, c in enumerate((r, g, b)):
            d[i] = (c * sa + d[i] * da * (1 - sa)) / oa
        d[3] = oa * 255.0

    def shape(self, box, distance, color):
        """Fills the pixels whose centres lie inside `distance` (negative inside), antialiased."""
        x0, y0, x1, y1 = box
        for y in range(max(0, math.floor(y0) - 1), min(self.height, math.ceil(y1) + 1)):
            for x in range(max(0, math.floor(x0) - 1), min(self.width, math.ceil(x1) + 1)):
                self.blend(x, y, color, 0.5 - distance(x + 0.5, y + 0.5))

    def paste(self, other, left, top, scale=1):
        for y in range(other.height * scale):
            for x in range(other.width * scale):
                p = other.px[(y // scale) * other.width + x // scale]
                self.blend(left + x, top + y, (p[0], p[1], p[2], p[3]), 1.0)

    def png(self):
        return rgba_png(self.width, self.height,
                        [tuple(max(0, min(255, int(round(c)))) for c in p) for p in self.px])


def rgba(color):
    return tuple(color) if len(color) == 4 else tuple(color) + (255,)


def round_rect(x0, y0, x1, y1, radius):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2
    def distance(x, y):
        qx, qy = abs(x - cx) - hx + radius, abs(y - cy) - hy + radius
        return (math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0)) - radius
    return distance


def ring(distance, width):
    return lambda x, y: abs(distance(x, y) + width / 2) - width / 2


def segment(ax, ay, bx, by, width):
    def distance(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2
    return distance


def circle(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def fill_rect(canvas, x0, y0, x1, y1, color):
    canvas.shape((x0, y0, x1, y1), round_rect(x0, y0, x1, y1, 0), color)


def line(canvas, ax, ay, bx, by, color, width=1.0):
    canvas.shape((min(ax, bx) - width, min(ay, by) - width, max(ax, bx) + width,
                  max(ay, by) + width), segment(ax, ay, bx, by, width), color)


# ----------------------------------------------------------------------------------------------
# The glyphs of the master image. Each drawer paints one frame (state 0 normal, 1 hot,
# 2 pressed) into the box (x, y, w, h).

def caption_button(glyph, hot_bg, pressed_bg, hot_glyph=(255, 255, 255)):
    def draw(c, x, y, w, h, state):
        if state:
            fill_rect(c, x, y, x + w, y + h, hot_bg if state == 1 else pressed_bg)
        color = (TEXT, hot_glyph, TEXT_DIM)[state]
        # Glyphs are designed for a 20-pixel bar; taller frames (density variants) scale them.
        glyph(c, x + w / 2, y + h / 2, color, h / 20)
    return draw


def glyph_close(c, cx, cy, color, s):
    line(c, cx - 4.5 * s, cy - 4.5 * s, cx + 4.5 * s, cy + 4.5 * s, color, s)
    line(c, cx - 4.5 * s, cy + 4.5 * s, cx + 4.5 * s, cy - 4.5 * s, color, s)


def glyph_min(c, cx, cy, color, s):
    line(c, cx - 5 * s, cy + 0.5 * s, cx + 5 * s, cy + 0.5 * s, color, s)


def glyph_max(c, cx, cy, color, s):
    c.shape((cx - 6 * s, cy - 6 * s, cx + 6 * s, cy + 6 * s),
            ring(round_rect(cx - 5 * s, cy - 5 * s, cx + 5 * s, cy + 5 * s, 1.5 * s), s), color)


def glyph_restore(c, cx, cy, color, s):
    front = round_rect(cx - 5 * s, cy - 3 * s, cx + 3 * s, cy + 5 * s, 1.5 * s)
    back = round_rect(cx - 3 * s, cy - 5 * s, cx + 5 * s, cy + 3 * s, 1.5 * s)
    box = (cx - 6 * s, cy - 6 * s, cx + 6 * s, cy + 6 * s)
    c.shape(box, ring(front, s), color)
    # The back window shows only where the front one does not cover it.
    c.shape(box, lambda x, y: max(ring(back, s)(x, y), -front(x, y) - 0.5), color)


def glyph_help(c, cx, cy, color, s):
    top, radius = cy - 2.5 * s, 2.8 * s
    arc = circle(cx, top, radius)
    def hook(x, y):
        # The upper half and the right quarter of the ring, down to the stem.
        angle = math.degrees(math.atan2(y - top, x - cx))
        return abs(arc(x, y)) - 0.5 * s if angle <= 90 else 1.0
    c.shape((cx - 5 * s, cy - 7 * s, cx + 5 * s, cy + 2 * s), hook, color)
    line(c, cx, top + radius, cx, top + radius + 1.8 * s, color, s)
    c.shape((cx - 2 * s, cy + 3 * s, cx + 2 * s, cy + 6 * s), circle(cx, cy + 4.6 * s, 0.8 * s),
            color)


def check_mark(c, x, y, w, h, color, width=1.4):
    line(c, x + w * 0.25, y + h * 0.52, x + w * 0.43, y + h * 0.70, color, width)
    line(c, x + w * 0.43, y + h * 0.70, x + w * 0.76, y + h * 0.32, color, width)


def box(kind):
    def draw(c, x, y, w, h, state):
        outline = round_rect(x + 0.5, y + 0.5, x + w - 0.5, y + h - 0.5, max(2.0, w / 5))
        if kind == "unchecked":
            c.shape((x, y, x + w, y + h), outline, BOX_FILL[state])
            c.shape((x, y, x + w, y + h), ring(outline, 1), BOX_STROKE[state])
            return
        c.shape((x, y, x + w, y + h), outline, ACCENT_BY_STATE[state])
        if kind == "checked":
            check_mark(c, x, y, w, h, ON_ACCENT)
        else:
            line(c, x + w * 0.3, y + h / 2, x + w * 0.7, y + h / 2, ON_ACCENT, 1.4)
    return draw


def radio(checked):
    def draw(c, x, y, w, h, state):
        cx, cy, r = x + w / 2, y + h / 2, w / 2 - 0.5
        if not checked:
            c.shape((x, y, x + w, y + h), circle(cx, cy, r), BOX_FILL[state])
            c.shape((x, y, x + w, y + h), ring(circle(cx, cy, r), 1), BOX_STROKE[state])
            return
        c.shape((x, y, x + w, y + h), circle(cx, cy, r), ACCENT_BY_STATE[state])
        c.shape((x, y, x + w, y + h), circle(cx, cy, (3.5, 4.5, 3.0)[state]), ON_ACCENT)
    return draw


def menu_check(c, x, y, w, h, state):
    check_mark(c, x, y, w, h, TEXT, 1.3)


def chevron_down(c, x, y, w, h, state):
    cx, cy = x + w / 2, y + h / 2
    color = GLYPH_BY_STATE[state]
    line(c, cx - 4, cy - 1.5, cx, cy + 2.5, color)
    line(c, cx, cy + 2.5, cx + 4, cy - 1.5, color)


def grip(c, x, y, w, h, state):
    for i in range(3):
        for j in range(3 - i):
            cx, cy = x + w - 2 - 4 * j, y + h - 2 - 4 * i
            c.shape((cx - 2, cy - 2, cx + 2, cy + 2), circle(cx, cy, 1), TEXT_SECONDARY)


# The image entries of the options file that this script draws, by section and key.
DRAWERS = {
    ("GLOBALINFO", "BICONCLOSE"): caption_button(glyph_close, CLOSE_HOT, CLOSE_PRESSED),
    ("GLOBALINFO", "BICONMIN"): caption_button(glyph_min, CAPTION_HOT, CAPTION_PRESSED),
    ("GLOBALINFO", "BICONMAX"): caption_button(glyph_max, CAPTION_HOT, CAPTION_PRESSED),
    ("GLOBALINFO", "BICONNORM"): caption_button(glyph_restore, CAPTION_HOT, CAPTION_PRESSED),
    ("GLOBALINFO", "BICONHELP"): caption_button(glyph_help, CAPTION_HOT, CAPTION_PRESSED),
    ("GLOBALINFO", "BOXUNCHECKED"): box("unchecked"),
    ("GLOBALINFO", "BOXCHECKED"): box("checked"),
    ("GLOBALINFO", "BOXGRAYED"): box("grayed"),
    ("GLOBALINFO", "SMALLUNCHECKED"): box("unchecked"),
    ("GLOBALINFO", "SMALLCHECKED"): box("checked"),
    ("GLOBALINFO", "SMALLGRAYED"): box("grayed"),
    ("GLOBALINFO", "RADIOUNCHECKED"): radio(False),
    ("GLOBALINFO", "RADIOCHECKED"): radio(True),
    ("GLOBALINFO", "CHECK"): menu_check,
    ("GLOBALINFO", "GRIPIMAGE"): grip,
    ("COMBOBTN", "GLYPHMASK"): chevron_down,
}


# ----------------------------------------------------------------------------------------------
# The options file: only what this script needs, the "@" entries and the GLOW0 margins.

def read_options(path):
    sections, current = {}, None
    with open(path, encoding="ascii") as f:
        for raw in f:
            text = raw.strip()
            if text.startswith("[") and text.endswith("]"):
                current = sections.setdefault(text[1:-1].strip(), {})
            elif "=" in text and current is not None:
                key, value = text.split("=", 1)
                current.setdefault(key.strip(), value)
    return sections


def glyph_entry(value):
    """(left, top, right, bottom, frames) of an "@" entry."""
    fields = value[1:].split("@")
    left, top, right, bottom, frames = (int(v) for v in fields[:5])
    return left, top, right, bottom, frames


def draw_master(sections):
    canvas = Canvas(*MASTER_SIZE)
    for (section, key), drawer in DRAWERS.items():
        keys = sections.get(section, {})
        if not keys.get(key, "").startswith("@"):
            raise SystemExit(f"draw_skin: {section} {key} is not an \"@\" entry in Options.dat")
        # The plain entry and its density variants ("*150", "*200") share one drawer.
        for name, value in keys.items():
            if name != key and not name.startswith(key + "*"):
                continue
            left, top, right, bottom, frames = glyph_entry(value)
            if right > MASTER_SIZE[0] or bottom > MASTER_SIZE[1] or (right - left) % frames:
                raise SystemExit(f"draw_skin: {section} {name} does not fit the master image")
            width = (right - left) // frames
            for state in range(frames):
                drawer(canvas, left + state * width, top, width, bottom - top, state)
    return canvas


def draw_glow(sections):
    fields = sections["EDIT"]["GLOW0"][1:].split("!")
    margin = int(fields[4])
    # The control's edge lies (margin - GLOWMARGIN) pixels inside the picture. The halo fades
    # outwards from a square-cornered control, so that the corner slices hold whole corners and
    # the stretched edges stay straight; the control itself is left uncovered.
    edge = margin - GLOW_MARGIN
    canvas = Canvas(GLOW_SIZE, GLOW_SIZE)
    control = round_rect(edge, edge, GLOW_SIZE - edge, GLOW_SIZE - edge, 0)
    for y in range(GLOW_SIZE):
        for x in range(GLOW_SIZE):
            d = control(x + 0.5, y + 0.5)
            if d > 0:
                alpha = GLOW_ALPHA * max(0.0, 1.0 - d / edge) ** 2
                canvas.blend(x, y, GLOW_COLOR + (int(round(alpha)),), 1.0)
    return canvas


def draw_preview(master, glow):
    """A small picture of a window in this skin, for skin lists."""
    w, h = PREVIEW_SIZE
    c = Canvas(w, h, (0, 0, 0, 0))
    c.shape((0, 0, w, h), round_rect(0, 0, w, h, 5), WINDOW)
    c.shape((0, 0, w, h), ring(round_rect(0.5, 0.5, w - 0.5, h - 0.5, 5), 1), STROKE)
    # Caption: icon, title text as a bar, and the minimize and close buttons in their hot looks.
    c.shape((8, 6, 20, 18), round_rect(8, 6, 20, 18, 2), ACCENT)
    c.shape((26, 10, 80, 14), round_rect(26, 10, 80, 14, 2), TEXT)
    close = Canvas(45, 20)
    DRAWERS[("GLOBALINFO", "BICONCLOSE")](close, 0, 0, 45, 20, 1)
    minimize = Canvas(45, 20)
    DRAWERS[("GLOBALINFO", "BICONMIN")](minimize, 0, 0, 45, 20, 0)
    c.paste(minimize, w - 90, 1)
    c.paste(close, w - 45, 1)
    # Menu bar with its one item hot.
    c.shape((6, 24, 46, 40), round_rect(6, 24, 46, 40, 4), (97, 97, 97))
    c.shape((12, 30, 40, 34), round_rect(12, 30, 40, 34, 2), TEXT)
    # The group box with the log, its scroll bar and glow, and the button.
    c.shape((8, 48, w - 8, h - 8), ring(round_rect(8.5, 52.5, w - 8.5, h - 8.5, 4), 1), (55, 55, 55))
    fill_rect(c, 14, 48, 50, 56, WINDOW)
    c.shape((16, 50, 48, 54), round_rect(16, 50, 48, 54, 2), TEXT)
    log = (18, 64, w - 18, h - 52)
    nine_slice(c, glow, 11, (log[0] - 10, log[1] - 10, log[2] + 10, log[3] + 10))
    c.shape(log, round_rect(*log, 4), EDIT_BG)
    for i in range(5):
        y = log[1] + 8 + i * 10
        c.shape((log[0] + 8, y, log[0] + 120 - i * 12, y + 4),
                round_rect(log[0] + 8, y, log[0] + 120 - i * 12, y + 4, 2), TEXT_DIM)
    # The log's scroll bar: no arrows, a narrow slider on the track.
    fill_rect(c, log[2] - 11, log[1] + 2, log[2] - 1, log[3] - 2, (44, 44, 44))
    c.shape((log[2] - 9, log[1] + 4, log[2] - 3, log[1] + 30),
            round_rect(log[2] - 9, log[1] + 4, log[2] - 3, log[1] + 30, 2), (159, 159, 159))
    c.shape(log, ring(round_rect(log[0] + 0.5, log[1] + 0.5, log[2] - 0.5, log[3] - 0.5, 4), 1),
            ACCENT)
    button = (w - 118, h - 42, w - 18, h - 16)
    c.shape((button[0] - 2, button[1], button[2] + 2, button[3] + 3),
            round_rect(button[0] - 1, button[1] + 1, button[2] + 1, button[3] + 2, 5), (0, 0, 0, 90))
    c.shape(button, round_rect(*button, 4), CONTROL)
    c.shape(button, ring(round_rect(button[0] + 0.5, button[1] + 0.5, button[2] - 0.5,
                                    button[3] - 0.5, 4), 1), (48, 48, 48))
    c.shape((button[0] + 30, button[1] + 11, button[2] - 30, button[1] + 15),
            round_rect(button[0] + 30, button[1] + 11, button[2] - 30, button[1] + 15, 2), TEXT)
    fill_rect(c, 18, h - 36, 150, h - 32, LAYER)
    fill_rect(c, 18, h - 36, 90, h - 32, ACCENT)
    return c


def nine_slice(canvas, picture, margin, box):
    """Draws `picture` over `box` with its corners kept and its edges and centre stretched."""
    x0, y0, x1, y1 = box
    def source(d, size, length):
        if d < margin:
            return d
        if d >= length - margin:
            return size - (length - d)
        return margin + (d - margin) * (size - 2 * margin) // (length - 2 * margin)
    for y in range(y0, y1):
        for x in range(x0, x1):
            sx = source(x - x0, picture.width, x1 - x0)
            sy = source(y - y0, picture.height, y1 - y0)
            p = picture.px[sy * picture.width + sx]
            canvas.blend(x, y, (p[0], p[1], p[2], p[3]), 1.0)


def draw_contact_sheet(master, glow, preview):
    """The master image and the glow picture enlarged on a checkerboard, with the preview."""
    scale = 2
    mw, mh = master.width * scale, master.height * scale
    width = mw + 3 * 16 + max(glow.width * 4, preview.width)
    height = max(mh, glow.height * 4 + 16 + preview.height) + 32
    c = Canvas(width, height, (24, 24, 24))
    def checker(x0, y0, x1, y1):
        for y in range(y0, y1):
            for x in range(x0, x1):
                c.px[y * width + x] = list(rgba((52, 52, 52) if (x // 8 + y // 8) % 2 else
                                                (40, 40, 40)))
    checker(16, 16, 16 + mw, 16 + mh)
    c.paste(master, 16, 16, scale)
    gx = 32 + mw
    checker(gx, 16, gx + glow.width * 4, 16 + glow.height * 4)
    c.paste(glow, gx, 16, 4)
    c.paste(preview, gx, 32 + glow.height * 4)
    return c


def main(argv):
    out_dir, preview_path, sheet_path = HERE, os.path.join(HERE, "Preview.png"), None
    args = list(argv)
    while args:
        word = args.pop(0)
        if word == "--preview":
            preview_path = args.pop(0)
        elif word == "--contact-sheet":
            sheet_path = args.pop(0)
        else:
            out_dir = word
    sections = read_options(OPTIONS)
    master = draw_master(sections)
    glow = draw_glow(sections)
    os.makedirs(out_dir, exist_ok=True)
    for name, canvas in ((MASTER_NAME, master), (GLOW_NAME, glow)):
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(canvas.png())
    preview = draw_preview(master, glow)
    with open(preview_path, "wb") as f:
        f.write(preview.png())
    if sheet_path:
        with open(sheet_path, "wb") as f:
            f.write(draw_contact_sheet(master, glow, preview).png())


if __name__ == "__main__":
    main(sys.argv[1:])
