#!/usr/bin/env python3
"""Draws the skin "Daylight": every picture and the options file, from the tables below.

    draw_skin.py [OUTPUT_DIR [--preview PNG]]

With OUTPUT_DIR, writes exactly the archive's members there: OPTIONS.DAT, MASTER.PNG, the
separate pictures (glows, textures, the outer shadow) and HEADER.BMP; --preview writes the
280 x 200 preview picture. Without it, refreshes Options.dat beside this script, the copy kept
for reading (a test fails while it is stale). The script lays the pictures out in the master
image itself and writes their rectangles into the image entries, so a picture is resized by
editing its size here. Density variants ("*125", "*150", "*200") of every master-image entry are
drawn at their own size by the same drawer, not resampled. Same script, same bytes.

A light skin with depth: a framed window with rounded corners cut by its frame picture, a
textured gradient on the form, raised buttons and edits with frame pictures, glows and shadows.
Only the standard library is used.
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
sys.path.insert(0, os.path.join(HERE, "..", "skin"))
from png_file import rgba_png  # noqa: E402
# The anti-aliased shape helpers of the built-in skin's script.
from draw_skin import (Canvas, circle, fill_rect, glyph_close, glyph_help, glyph_max,  # noqa: E402
                       glyph_min, glyph_restore, line, rgba, ring, round_rect)

SKIN_NAME = "Daylight"
MASTER_NAME = "MASTER.PNG"
MASTER_WIDTH = 512  # Pictures are placed in rows this wide.
PREVIEW_SIZE = (280, 200)
SCALES = (("", 1.0), ("*125", 1.25), ("*150", 1.5), ("*200", 2.0))

# Colours as (red, green, blue) or (red, green, blue, alpha).
FORM_TOP = (247, 249, 252)
FORM_BOTTOM = (222, 230, 240)
TEXTURE_INK = (196, 208, 222)
FRAME_OUTER = (104, 122, 146)
FRAME_BAND = (208, 219, 233)
FRAME_BAND_ACTIVE = (182, 203, 228)
FRAME_INNER = (150, 168, 192)
HIGHLIGHT = (255, 255, 255, 200)
TITLE_TOP = (232, 239, 248)
TITLE_BOTTOM = (206, 219, 235)
TITLE_TOP_ACTIVE = (214, 230, 249)
TITLE_BOTTOM_ACTIVE = (170, 198, 232)
TEXT = (26, 32, 44)
TEXT_DIM = (98, 108, 122)
TEXT_INACTIVE = (120, 130, 144)
ACCENT = (20, 116, 168)
ACCENT_HOT = (34, 142, 200)
ACCENT_PRESSED = (12, 88, 130)
ACCENT_LIGHT = (206, 232, 247)
ACCENT_LIGHT_PRESSED = (176, 208, 236)
CLOSE_HOT = (214, 58, 52)
CLOSE_PRESSED = (168, 36, 32)
CONTROL_TOP = (255, 255, 255)
CONTROL_BOTTOM = (233, 238, 245)
CONTROL_HOT = (240, 248, 255)
CONTROL_PRESSED = (214, 226, 240)
CONTROL_BORDER = (160, 174, 194)
EDIT_BG = (255, 255, 255)
SHADOW = (20, 34, 60)
MENU_BG = (252, 253, 255)
MENU_HOT = (214, 234, 250)
ICOLINE_LEFT = (232, 240, 250)
ICOLINE_RIGHT = (244, 248, 253)
TRACK = (232, 237, 244)
SLIDER = (160, 172, 190)
SLIDER_HOT = (120, 136, 160)
SLIDER_PRESSED = (86, 102, 128)
BOX_BG = ((255, 255, 255), (240, 248, 255), (220, 230, 242))
BOX_STROKE = ((120, 134, 154), (34, 142, 200), (12, 88, 130))
ACCENT_BY_STATE = (ACCENT, ACCENT_HOT, ACCENT_PRESSED)
GLYPH_BY_STATE = (TEXT_DIM, ACCENT, ACCENT_PRESSED)
HEADER_BMP_SIZE = 16
SHADOW_OFFSETS = (3, 2, 3, 5)  # Of the shadow picture: how far it reaches out of a control.
LIGHT_OFFSETS = (2, 2, 2, 2)  # Of the light outline picture.


def tcolor(color):
    """The options file's colour value: red in the low byte."""
    r, g, b = color[:3]
    return r | g << 8 | b << 16


def gradient(*colors, horizontal=False):
    """A gradient-data text with evenly spaced points."""
    mode = 1 if horizontal else 0
    tokens = []
    for i, color in enumerate(colors):
        tokens += [str(tcolor(color)), str(round(100 * i / (len(colors) - 1))), str(mode)]
    return ";".join(tokens) + ";" + chr(64 + len(colors))


# ----------------------------------------------------------------------------------------------
# Drawers. Each paints one frame (state 0 normal, 1 hot, 2 pressed; for windows 0 inactive,
# 1 active) into the box (x, y, w, h) at scale s (1 at 96 pixels per inch).

def frame_picture(outer, band, inner, radius, width, highlight=True):
    """A window-like frame: outer line, band, inner line; nothing inside (the centre is off)."""
    def draw(c, x, y, w, h, state, s):
        r = radius * s
        body = round_rect(x, y, x + w, y + h, r)
        c.shape((x, y, x + w, y + h), lambda px, py: max(body(px, py), -round_rect(
            x + width * s, y + width * s, x + w - width * s, y + h - width * s, 0)(px, py)),
            band[state])
        c.shape((x, y, x + w, y + h), ring(body, s), outer)
        if highlight:
            c.shape((x, y, x + w, y + h), ring(round_rect(x + s, y + s, x + w - s, y + h - s,
                                                          r - s), s), HIGHLIGHT)
        inset = width * s
        c.shape((x, y, x + w, y + h), ring(round_rect(x + inset - s, y + inset - s,
                                                      x + w - inset + s, y + h - inset + s, 0),
                                           s), inner)
    return draw


def title_frame(c, x, y, w, h, state, s):
    """The title's frame: rounded top corners, the sides of the window frame, a base line."""
    r = 8 * s
    body = round_rect(x, y, x + w, y + h + r, r)
    c.shape((x, y, x + w, y + h), ring(body, s), FRAME_OUTER)
    c.shape((x, y, x + w, y + h), ring(round_rect(x + s, y + s, x + w - s, y + h + r, r - s), s),
            HIGHLIGHT)
    fill_rect(c, x + s, y + h - s, x + w - s, y + h, (FRAME_INNER, ACCENT)[state])


def control_frame(strokes, radius, inner_light=True, fill=None):
    """A control's frame: a rounded outline per state, a light line inside its top edge."""
    def draw(c, x, y, w, h, state, s):
        r = radius * s
        body = round_rect(x + 0.5 * s, y + 0.5 * s, x + w - 0.5 * s, y + h - 0.5 * s, r)
        if fill is not None:
            c.shape((x, y, x + w, y + h), body, fill[state])
        c.shape((x, y, x + w, y + h), ring(round_rect(x, y, x + w, y + h, r), s), strokes[state])
        if inner_light:
            line(c, x + r, y + 1.5 * s, x + w - r, y + 1.5 * s, HIGHLIGHT, s)
    return draw


def pill(colors, vertical):
    def draw(c, x, y, w, h, state, s):
        inset = 2 * s
        if vertical:
            box = (x + inset, y + s, x + w - inset, y + h - s)
        else:
            box = (x + s, y + inset, x + w - s, y + h - inset)
        radius = min(box[2] - box[0], box[3] - box[1]) / 2
        c.shape(box, round_rect(*box, radius), colors[state])
    return draw


def track(c, x, y, w, h, state, s):
    c.shape((x, y, x + w, y + h), round_rect(x, y, x + w, y + h, 3 * s), TRACK)
    c.shape((x, y, x + w, y + h), ring(round_rect(x, y, x + w, y + h, 3 * s), s), (214, 222, 232))


def hot_frame(c, x, y, w, h, state, s):
    """Nothing in state 0 (the entry's draw mode says so); a soft rounded plate otherwise."""
    if state:
        box = (x, y, x + w, y + h)
        c.shape(box, round_rect(*box, 3 * s), (MENU_HOT, MENU_HOT, (190, 216, 240))[state])
        c.shape(box, ring(round_rect(*box, 3 * s), s), (150, 190, 226))


def small(glyph):
    """The glyph at the size of the small title buttons."""
    return lambda c, x, y, col, s: glyph(c, x, y, col, s * 0.7)


def caption_button(glyph, hot, pressed):
    def draw(c, x, y, w, h, state, s):
        if state:
            box = (x + 2 * s, y + 2 * s, x + w - 2 * s, y + h - 2 * s)
            c.shape(box, round_rect(*box, 4 * s), hot if state == 1 else pressed)
        color = (TEXT, (255, 255, 255), (255, 255, 255))[state] if hot == CLOSE_HOT else \
            (TEXT, TEXT, ACCENT_PRESSED)[state]
        glyph(c, x + w / 2, y + h / 2, color, 0.9 * s)
    return draw


def title_button(c, x, y, w, h, state, s):
    box = (x + s, y + 2 * s, x + w - s, y + h - 2 * s)
    c.shape(box, round_rect(*box, 5 * s), ((255, 255, 255, 120), (255, 255, 255, 220),
                                           (190, 214, 240))[state])
    c.shape(box, ring(round_rect(*box, 5 * s), s), (150, 170, 196))


def check_mark(c, x, y, w, h, color, width):
    line(c, x + w * 0.24, y + h * 0.52, x + w * 0.42, y + h * 0.70, color, width)
    line(c, x + w * 0.42, y + h * 0.70, x + w * 0.77, y + h * 0.30, color, width)


def box(kind):
    def draw(c, x, y, w, h, state, s):
        outline = round_rect(x + 0.5 * s, y + 0.5 * s, x + w - 0.5 * s, y + h - 0.5 * s, 3 * s)
        if kind == "unchecked":
            c.shape((x, y, x + w, y + h), outline, BOX_BG[state])
            c.shape((x, y, x + w, y + h), ring(outline, s), BOX_STROKE[state])
            return
        c.shape((x, y, x + w, y + h), outline, ACCENT_BY_STATE[state])
        if kind == "checked":
            check_mark(c, x, y, w, h, (255, 255, 255), 1.6 * s)
        else:
            line(c, x + w * 0.28, y + h / 2, x + w * 0.72, y + h / 2, (255, 255, 255), 1.6 * s)
    return draw


def radio(checked):
    def draw(c, x, y, w, h, state, s):
        cx, cy, r = x + w / 2, y + h / 2, w / 2 - 0.5 * s
        if not checked:
            c.shape((x, y, x + w, y + h), circle(cx, cy, r), BOX_BG[state])
            c.shape((x, y, x + w, y + h), ring(circle(cx, cy, r), s), BOX_STROKE[state])
            return
        c.shape((x, y, x + w, y + h), circle(cx, cy, r), ACCENT_BY_STATE[state])
        c.shape((x, y, x + w, y + h), circle(cx, cy, (3.5, 4.0, 3.0)[state] * s), (255, 255, 255))
    return draw


def menu_check(c, x, y, w, h, state, s):
    check_mark(c, x, y, w, h, TEXT, 1.4 * s)


def arrow(direction):
    """A chevron pointing in `direction` (0 left, 1 up, 2 right, 3 down)."""
    def draw(c, x, y, w, h, state, s):
        cx, cy, a, b = x + w / 2, y + h / 2, 3 * s, 1.5 * s
        points = {0: ((b, -a), (-b, 0), (b, a)), 1: ((-a, b), (0, -b), (a, b)),
                  2: ((-b, -a), (b, 0), (-b, a)), 3: ((-a, -b), (0, b), (a, -b))}[direction]
        (ax, ay), (mx, my), (bx, by) = points
        color = GLYPH_BY_STATE[state]
        line(c, cx + ax, cy + ay, cx + mx, cy + my, color, 1.3 * s)
        line(c, cx + mx, cy + my, cx + bx, cy + by, color, 1.3 * s)
    return draw


def dots(columns, rows):
    def draw(c, x, y, w, h, state, s):
        for i in range(columns):
            for j in range(rows):
                cx = x + w / 2 + (i - (columns - 1) / 2) * 3 * s
                cy = y + h / 2 + (j - (rows - 1) / 2) * 3 * s
                c.shape((cx - 2 * s, cy - 2 * s, cx + 2 * s, cy + 2 * s), circle(cx, cy, 0.8 * s),
                        TEXT_DIM)
    return draw


def grip(c, x, y, w, h, state, s):
    for i in range(3):
        for j in range(3 - i):
            cx, cy = x + w - 2 * s - 4 * j * s, y + h - 2 * s - 4 * i * s
            c.shape((cx - 2 * s, cy - 2 * s, cx + 2 * s, cy + 2 * s), circle(cx, cy, 0.9 * s),
                    TEXT_DIM)


def corner(dx, dy):
    """A corner ornament: three accent arcs about the window's corner, fading inwards."""
    def draw(c, x, y, w, h, state, s):
        ox, oy = (x if dx < 0 else x + w), (y if dy < 0 else y + h)
        for i, radius in enumerate((6, 10, 14)):
            alpha = 110 - 30 * i
            arc = circle(ox, oy, radius * s)
            c.shape((x, y, x + w, y + h), lambda px, py, arc=arc: abs(arc(px, py)) - 0.6 * s,
                    ACCENT + (alpha,))
    return draw


def slider_thumb(vertical):
    def draw(c, x, y, w, h, state, s):
        box = (x + s, y + s, x + w - s, y + h - s)
        c.shape(box, round_rect(*box, 3 * s), (CONTROL_TOP, CONTROL_HOT, CONTROL_PRESSED)[state])
        c.shape(box, ring(round_rect(*box, 3 * s), s), ACCENT_BY_STATE[state])
        if vertical:
            line(c, x + 4 * s, y + h / 2, x + w - 4 * s, y + h / 2, ACCENT_BY_STATE[state], s)
        else:
            line(c, x + w / 2, y + 4 * s, x + w / 2, y + h - 4 * s, ACCENT_BY_STATE[state], s)
    return draw


def exborder(c, x, y, w, h, state, s):
    """The extended border: the window's outline over a soft shadow reaching 12 pixels out."""
    edge = 12 * s
    body = round_rect(x + edge, y + edge, x + w - edge, y + h - edge, 8 * s)
    for yy in range(int(y), int(y + h)):
        for xx in range(int(x), int(x + w)):
            d = body(xx + 0.5, yy + 0.5)
            if d > 0:
                c.blend(xx, yy, SHADOW + (int((40, 70)[state] * max(0.0, 1 - d / edge) ** 2),), 1.0)
    c.shape((x, y, x + w, y + h), ring(body, s), FRAME_OUTER)


def tab(c, x, y, w, h, state, s):
    r = 4 * s
    body = round_rect(x, y, x + w, y + h + r, r)
    c.shape((x, y, x + w, y + h), body, (FRAME_BAND, CONTROL_HOT, CONTROL_TOP)[state])
    stroke = (CONTROL_BORDER, ACCENT_HOT, CONTROL_BORDER)[state]
    c.shape((x, y, x + w, y + h), ring(body, s), stroke)
    if state == 2:
        fill_rect(c, x + 2 * s, y, x + w - 2 * s, y + 2 * s, ACCENT)


# ----------------------------------------------------------------------------------------------
# The master image's entries: section, key, kind, frames, frame size at 96 pixels per inch,
# nine-slice margins (left, top, right, bottom), draw mode and drawer. Kinds: "glyph" ("@" form),
# "border" ("^" form), "texture" ("~" form), "canonical" (a border in the "&" form). Draw modes
# for borders: 1 stretch, 2 nothing in state 0, 4 centre, 16 own alpha.

WINDOW_FRAME = frame_picture(FRAME_OUTER, (FRAME_BAND, FRAME_BAND_ACTIVE), FRAME_INNER, 8, 8)
GROUP_FRAME = control_frame(((186, 198, 214),) * 3, 6, fill=((255, 255, 255, 110),) * 3)
BUTTON_FRAME = control_frame((CONTROL_BORDER, ACCENT_HOT, ACCENT_PRESSED), 4)
EDIT_FRAME = control_frame((CONTROL_BORDER, ACCENT), 3, inner_light=False)
MENU_FRAME = control_frame(((170, 184, 204),) * 3, 6, inner_light=False)

MASTER_ENTRIES = [
    ("GLOBALINFO", "BICLOSEALONE", "glyph", 3, (46, 22), None, 0,
     caption_button(glyph_close, CLOSE_HOT, CLOSE_PRESSED)),
    ("GLOBALINFO", "BICONCLOSE", "glyph", 3, (42, 22), None, 0,
     caption_button(glyph_close, CLOSE_HOT, CLOSE_PRESSED)),
    ("GLOBALINFO", "BICONMAX", "glyph", 3, (42, 22), None, 0,
     caption_button(glyph_max, ACCENT_LIGHT, ACCENT_LIGHT_PRESSED)),
    ("GLOBALINFO", "BICONMIN", "glyph", 3, (42, 22), None, 0,
     caption_button(glyph_min, ACCENT_LIGHT, ACCENT_LIGHT_PRESSED)),
    ("GLOBALINFO", "BICONNORM", "glyph", 3, (42, 22), None, 0,
     caption_button(glyph_restore, ACCENT_LIGHT, ACCENT_LIGHT_PRESSED)),
    ("GLOBALINFO", "BICONHELP", "glyph", 3, (42, 22), None, 0,
     caption_button(glyph_help, ACCENT_LIGHT, ACCENT_LIGHT_PRESSED)),
    ("GLOBALINFO", "SICONCLOSE", "glyph", 3, (20, 16), None, 0,
     caption_button(small(glyph_close), CLOSE_HOT, CLOSE_PRESSED)),
    ("GLOBALINFO", "SICONMAX", "glyph", 3, (20, 16), None, 0,
     caption_button(small(glyph_max), ACCENT_LIGHT, ACCENT_LIGHT_PRESSED)),
    ("GLOBALINFO", "SICONMIN", "glyph", 3, (20, 16), None, 0,
     caption_button(small(glyph_min), ACCENT_LIGHT, ACCENT_LIGHT_PRESSED)),
    ("GLOBALINFO", "SICONNORM", "glyph", 3, (20, 16), None, 0,
     caption_button(small(glyph_restore), ACCENT_LIGHT, ACCENT_LIGHT_PRESSED)),
    ("GLOBALINFO", "SICONHELP", "glyph", 3, (20, 16), None, 0,
     caption_button(small(glyph_help), ACCENT_LIGHT, ACCENT_LIGHT_PRESSED)),
    ("GLOBALINFO", "TITLEBUTTON", "glyph", 3, (26, 22), None, 0, title_button),
    ("GLOBALINFO", "BOXUNCHECKED", "glyph", 3, (16, 16), None, 0, box("unchecked")),
    ("GLOBALINFO", "BOXCHECKED", "glyph", 3, (16, 16), None, 0, box("checked")),
    ("GLOBALINFO", "BOXGRAYED", "glyph", 3, (16, 16), None, 0, box("grayed")),
    ("GLOBALINFO", "SMALLUNCHECKED", "glyph", 3, (13, 13), None, 0, box("unchecked")),
    ("GLOBALINFO", "SMALLCHECKED", "glyph", 3, (13, 13), None, 0, box("checked")),
    ("GLOBALINFO", "SMALLGRAYED", "glyph", 3, (13, 13), None, 0, box("grayed")),
    ("GLOBALINFO", "RADIOUNCHECKED", "glyph", 3, (16, 16), None, 0, radio(False)),
    ("GLOBALINFO", "RADIOCHECKED", "glyph", 3, (16, 16), None, 0, radio(True)),
    ("GLOBALINFO", "CHECK", "glyph", 1, (16, 16), None, 0, menu_check),
    ("GLOBALINFO", "GRIPIMAGE", "glyph", 1, (12, 12), None, 0, grip),
    ("GLOBALINFO", "GRIPHORZ", "glyph", 1, (16, 6), None, 0, dots(5, 1)),
    ("GLOBALINFO", "GRIPVERT", "glyph", 1, (6, 16), None, 0, dots(1, 5)),
    ("GLOBALINFO", "EXBORDER", "border", 2, (48, 48), (20, 20, 20, 20), 17, exborder),
    ("FORM", "BORDERSMASK", "border", 2, (32, 32), (10, 10, 10, 10), 17, WINDOW_FRAME),
    ("FORM", "IMGTOPLEFT", "glyph", 1, (16, 16), None, 0, corner(-1, -1)),
    ("FORM", "IMGTOPRIGHT", "glyph", 1, (16, 16), None, 0, corner(1, -1)),
    ("FORM", "IMGBTMLEFT", "glyph", 1, (16, 16), None, 0, corner(-1, 1)),
    ("FORM", "IMGBTMRIGHT", "glyph", 1, (16, 16), None, 0, corner(1, 1)),
    ("FORMTITLE", "BORDERSMASK", "border", 2, (32, 24), (10, 10, 10, 2), 17, title_frame),
    ("BUTTON", "BORDERSMASK", "border", 3, (16, 16), (5, 5, 5, 5), 17, BUTTON_FRAME),
    ("GROUPBOX", "BORDERSMASK", "canonical", 1, (24, 24), (7, 7, 7, 7), 21, GROUP_FRAME),
    ("EDIT", "BORDERSMASK", "border", 2, (16, 16), (4, 4, 4, 4), 17, EDIT_FRAME),
    ("MAINMENU", "BORDERSMASK", "border", 1, (24, 24), (7, 7, 7, 7), 17, MENU_FRAME),
    ("MENUITEM", "BORDERSMASK", "border", 2, (16, 16), (4, 4, 4, 4), 23, hot_frame),
    ("SCROLLBAR1V", "BORDERSMASK", "border", 1, (12, 12), (4, 4, 4, 4), 21, track),
    ("SCROLLSLIDERV", "BORDERSMASK", "border", 3, (12, 20), (4, 7, 4, 7), 21,
     pill((SLIDER, SLIDER_HOT, SLIDER_PRESSED), True)),
    ("SCROLLSLIDERH", "BORDERSMASK", "border", 3, (20, 12), (7, 4, 7, 4), 21,
     pill((SLIDER, SLIDER_HOT, SLIDER_PRESSED), False)),
    ("SCROLLBTNLEFT", "BORDERSMASK", "border", 3, (14, 14), (4, 4, 4, 4), 23, hot_frame),
    ("SCROLLBTNLEFT", "GLYPHMASK", "glyph", 3, (14, 14), None, 0, arrow(0)),
    ("SCROLLBTNTOP", "GLYPHMASK", "glyph", 3, (14, 14), None, 0, arrow(1)),
    ("SCROLLBTNRIGHT", "GLYPHMASK", "glyph", 3, (14, 14), None, 0, arrow(2)),
    ("SCROLLBTNBOTTOM", "GLYPHMASK", "glyph", 3, (14, 14), None, 0, arrow(3)),
    ("COMBOBTN", "GLYPHMASK", "glyph", 3, (14, 14), None, 0, arrow(3)),
    ("TRACKBAR", "SLIDERCHANNEL", "border", 1, (12, 6), (3, 2, 3, 2), 21, track),
    ("TRACKBAR", "SLIDERMASK", "glyph", 3, (12, 20), None, 0, slider_thumb(False)),
    ("TRACKBAR", "SLIDERVMASK", "glyph", 3, (20, 12), None, 0, slider_thumb(True)),
    ("TABTOP", "BORDERSMASK", "border", 3, (20, 20), (5, 5, 5, 1), 21, tab),
]


# ----------------------------------------------------------------------------------------------
# Separate pictures: textures, glows and the button's outer shadow with a mask row.

def texture(size, ink, kind):
    """An opaque tile: `ink` on white in a weave, a fine dot grid or diagonal stripes."""
    c = Canvas(size, size)
    for y in range(size):
        for x in range(size):
            if kind == "weave":
                on = (x + y) % 4 == 0 or (x - y) % 8 == 0
            elif kind == "fine":
                on = (x * 3 + y) % 7 == 0
            else:  # stripes
                on = (x + y) % size < size // 2
            c.px[y * size + x] = list(rgba(ink if on else (255, 255, 255)))
    return c


def glow(size, margin, color, peak):
    c = Canvas(size, size)
    edge = margin
    control = round_rect(edge, edge, size - edge, size - edge, 3)
    for y in range(size):
        for x in range(size):
            d = control(x + 0.5, y + 0.5)
            if d > -1:
                a = peak * max(0.0, 1.0 - max(d, 0) / edge) ** 2
                c.blend(x, y, color + (int(round(a)),), 1.0)
    return c


def outer_shadow(size, offsets, color=SHADOW, strength=120):
    """Image row: the effect's colour; mask row: 255 keeps what lies behind, 0 takes the colour.
    The control's edge lies `offsets` (left, top, right, bottom) inside the picture, where the
    effect's offsets put it; the effect fades out over that distance from `strength`."""
    c = Canvas(size, size * 2)
    left, top, right, bottom = offsets
    body = round_rect(left, top, size - right, size - bottom, 4)
    reach = max(offsets)
    for y in range(size):
        for x in range(size):
            c.px[y * size + x] = list(rgba(color))
            d = body(x + 0.5, y + 0.5)
            weight = 1.0 if d < 0 else max(0.0, 1.0 - d / (reach + 1)) ** 1.5
            m = int(round(255 - strength * weight))
            c.px[(size + y) * size + x] = [m, m, m, 255]
    return c


def bmp_file(canvas):
    """A 24-bit BMP of the canvas, bottom row first."""
    w, h = canvas.width, canvas.height
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = (int(round(v)) for v in canvas.px[y * w + x][:3])
            row += bytes((b, g, r))
        data += row + bytes(stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def separate_pictures():
    # Tiled both ways, so no gradient in it: the band's gradient is the section's own.
    header = Canvas(HEADER_BMP_SIZE, HEADER_BMP_SIZE)
    for y in range(HEADER_BMP_SIZE):
        for x in range(HEADER_BMP_SIZE):
            header.px[y * HEADER_BMP_SIZE + x] = list(
                rgba(TEXTURE_INK if (x + 2 * y) % 8 == 0 else TITLE_BOTTOM))
    return {
        "WEAVE.PNG": texture(8, TEXTURE_INK, "weave").png(),
        "FINE.PNG": texture(7, (226, 234, 244), "fine").png(),
        "HOTFINE.PNG": texture(7, (214, 232, 250), "fine").png(),
        "PRESSFINE.PNG": texture(7, (196, 212, 232), "fine").png(),
        "STRIPES.PNG": texture(16, (70, 170, 220), "stripes").png(),
        "ACCENTGLOW.PNG": glow(28, 10, ACCENT_HOT, 160).png(),
        "TITLEGLOW.PNG": glow(28, 10, (80, 160, 230), 130).png(),
        "CLOSEGLOW.PNG": glow(28, 10, CLOSE_HOT, 150).png(),
        "SHADOW.PNG": outer_shadow(24, SHADOW_OFFSETS).png(),
        "LIGHT.PNG": outer_shadow(24, LIGHT_OFFSETS, ACCENT_LIGHT, 230).png(),
        "HEADER.BMP": bmp_file(header),
    }


# ----------------------------------------------------------------------------------------------
# Laying out the master image and writing the entries.

def layout():
    """[(section, key, kind, frames, (x, y, w, h) of the whole strip, margins, mode, drawer, s)],
    placed in rows of MASTER_WIDTH, and the master image's size."""
    placed, x, y, row = [], 0, 0, 0
    for section, key, kind, frames, (w, h), margins, mode, drawer in MASTER_ENTRIES:
        for suffix, s in SCALES:
            fw, fh = round(w * s), round(h * s)
            width = fw * frames
            if x + width > MASTER_WIDTH:
                x, y, row = 0, y + row + 1, 0
            scaled = tuple(int(m * s) for m in margins) if margins else None
            placed.append((section, key + suffix, kind, frames, (x, y, width, fh), scaled, mode,
                           drawer, s))
            x += width + 1
            row = max(row, fh)
    return placed, (MASTER_WIDTH, y + row)


def entry_text(kind, frames, rect, margins, mode):
    x, y, w, h = rect
    r = (x, y, x + w, y + h)
    if kind == "glyph":
        return "@" + "@".join(f"{v:04d}" for v in r) + f"@{frames}@0"
    if kind == "border":
        fields = [f"{v:04d}" for v in r + margins] + [str(frames), "0", str(mode), "0"]
        return "^" + "^".join(fields)
    # The canonical form, as the loader turns every other form into.
    return ("&" + "".join(f"{v:04d}" for v in r + margins) + f"{frames}00{mode:02d}000000")


def draw_master(placed, size):
    c = Canvas(*size)
    for _, _, _, frames, (x, y, width, h), _, _, drawer, s in placed:
        fw = width // frames
        for state in range(frames):
            drawer(c, x + state * fw, y, fw, h, state, s)
    # A pixel with nothing in it is the transparent key colour with alpha 0, so that the corner
    # test and the window region read the frame's cut-off corners alike.
    for p in c.px:
        if p[3] < 0.5:
            p[:] = [255, 0, 255, 0]
    return c


def file_entry(name, frames, mask, kind, margins, mode):
    return "!" + "!".join([name, str(frames), str(mask), str(kind)] +
                          [f"{m:04d}" for m in margins] + [str(mode)])


GLOW_ENTRY = file_entry("ACCENTGLOW.PNG", 1, 0, 3, (10, 10, 10, 10), 1)
TITLE_GLOW = file_entry("TITLEGLOW.PNG", 1, 0, 3, (10, 10, 10, 10), 1)
CLOSE_GLOW = file_entry("CLOSEGLOW.PNG", 1, 0, 3, (10, 10, 10, 10), 1)


def texture_file(name, fill_mode=0):
    # The "~" form: rectangle of zeros (the whole picture), the fill mode, mask type 0, file.
    return f"~0000~0000~0000~0000~{fill_mode:02d}~0~{name}"


def options_text(placed):
    entries = {}
    for section, key, kind, frames, rect, margins, mode, _, _ in placed:
        entries.setdefault(section, []).append((key, entry_text(kind, frames, rect, margins, mode)))

    form_grad = gradient(FORM_TOP, FORM_BOTTOM)
    sections = [
        ("GLOBALINFO", [
            ("VERSION", "16.13"), ("AUTHOR", "Kestrune developers"),
            ("DESCRIPTION", "Light skin with depth: frame pictures, textures, glows and shadows"),
            ("MASTERBITMAP", MASTER_NAME), ("PREVIEW", "Preview.png"), ("MainFont", "Segoe UI"),
            ("FontCount", "0"), ("AEROBLUR", "0"), ("BRIGHTMIN", "-40"), ("BRIGHTMAX", "40"),
            ("COLOR", tcolor(FORM_TOP)), ("FONTCOLOR", tcolor(TEXT)),
            ("BORDERCOLOR", tcolor(CONTROL_BORDER)), ("TCTOP", tcolor(ACCENT_HOT)),
            ("TCBOTTOM", tcolor(ACCENT)), ("DEFLIGHT", tcolor((255, 255, 255))),
            ("ARROWSTYLE", "1"), ("BIVALIGN", "1"), ("BIKEEPHUE", "1"),
            ("SHADOW1COLOR", tcolor(SHADOW)), ("SHADOW1OFFSET", "1"), ("SHADOW1BLUR", "2"),
            ("SHADOW1TRANSPARENCY", "60"),
            ("TITLEHEIGHT", "30"), ("BORDERWIDTH", "6"), ("MAXHEIGHT", "26"),
            ("FORMOFFSET", "6"), ("CENTEROFFSET", "0"), ("BORDERMODE", "0"),
            ("ALIGNOFFSET", "12"), ("ALIGNOFFSETR", "12"), ("ALIGNOFFSETT", "10"),
            ("ALIGNOFFSETB", "14"),
            ("WSHRAD", "14"), ("WSHOFFS", "3"), ("WSHSIZE", "12"),
            ("WSHCOLN", str(0x33000000 | tcolor(SHADOW))),
            ("WSHCOLA", str(0x77000000 | tcolor(SHADOW))),
            ("BISPACE", "1"), ("BIRIGHT", "2"), ("BILEFT", "4"), ("BITOP", "0"),
            ("BICLOSEALONEGLOWMARGIN", "4"), ("BICONCLOSEGLOWMARGIN", "4"),
            ("BICONMAXGLOWMARGIN", "3"), ("BICONMINGLOWMARGIN", "3"),
            ("BICONNORMGLOWMARGIN", "3"), ("BICONCLOSEGLOW", "1"),
            ("BICLOSEALONEGLOW0", CLOSE_GLOW), ("BICONCLOSEGLOW0", CLOSE_GLOW),
            ("BICONMAXGLOW0", TITLE_GLOW), ("BICONMINGLOW0", TITLE_GLOW),
            ("BICONNORMGLOW0", TITLE_GLOW),
            ("THUMBWIDTH", "8"), ("SCROLLSARROWS", "1"), ("SCROLLSWIDTH", "14"),
            ("COMBOMARGIN", "2"), ("SLIDERMARGIN", "2"),
            ("SH_SOURCE", "1"), ("SH_MASK", file_entry("SHADOW.PNG", 1, 1, 0, (8, 8, 8, 8), 1)),
            ("SH_OFFSETL", SHADOW_OFFSETS[0]), ("SH_OFFSETT", SHADOW_OFFSETS[1]),
            ("SH_OFFSETR", SHADOW_OFFSETS[2]), ("SH_OFFSETB", SHADOW_OFFSETS[3]),
            ("SH_WIDTHL", "8"), ("SH_WIDTHR", "8"), ("SH_WIDTHT", "8"), ("SH_WIDTHB", "8"),
            ("SH_RADIUS_OE", "6"), ("SH_BLUR_OE", "4"), ("SH_COLORL", tcolor(SHADOW)),
            ("SH_OPACITY", "70"),
            # The light outline is a picture too; its colours, radius and blur are what a
            # generated outline (LO_SOURCE=2) would take. Tinted, or it would not show on a light
            # form.
            ("LO_SOURCE", "1"),
            ("LO_MASK", file_entry("LIGHT.PNG", 1, 1, 0, (8, 8, 8, 8), 1)),
            ("LO_COLORL", tcolor(ACCENT_LIGHT)), ("LO_COLORT", tcolor(ACCENT_LIGHT)),
            ("LO_COLORR", tcolor(ACCENT_LIGHT)), ("LO_COLORB", tcolor(ACCENT_LIGHT)),
            ("LO_OFFSETL", LIGHT_OFFSETS[0]), ("LO_OFFSETT", LIGHT_OFFSETS[1]),
            ("LO_OFFSETR", LIGHT_OFFSETS[2]), ("LO_OFFSETB", LIGHT_OFFSETS[3]),
            ("LO_WIDTHL", "-1"), ("LO_WIDTHR", "-1"), ("LO_WIDTHT", "-1"), ("LO_WIDTHB", "-1"),
            ("LO_RADIUS_OE", "6"), ("LO_BLUR_OE", "4"), ("LO_OPACITY", "160"),
            ("EDITTEXT_OK", tcolor((24, 110, 52))), ("EDITTEXT_WARN", tcolor((140, 96, 0))),
            ("EDITTEXT_ALERT", tcolor((170, 30, 30))), ("EDITBG_OK", tcolor((226, 246, 230))),
            ("EDITBG_WARN", tcolor((252, 244, 214))), ("EDITBG_ALERT", tcolor((252, 226, 226))),
            ("EDITTEXT_H1", tcolor(ACCENT)), ("EDITTEXT_H2", tcolor((120, 60, 160))),
            ("EDITTEXT_H3", tcolor((160, 90, 20))), ("EDITTEXT_INV", tcolor(EDIT_BG)),
            ("EDITBG_INV", tcolor(TEXT)), ("EDITBG_ODD", tcolor(EDIT_BG)),
            ("EDITBG_EVEN", tcolor((244, 248, 252))),
            ("BTNCOLOR1ACTIVE", str(0xFF000000 | tcolor(CONTROL_HOT))),
            ("BTNCOLOR2ACTIVE", str(0xFF000000 | tcolor(ACCENT_LIGHT))),
            ("BTNBORDERACTIVE", tcolor(ACCENT_HOT)), ("BTNFONTACTIVE", tcolor(TEXT)),
            ("BTNCOLOR1NORMAL", str(0xFF000000 | tcolor(CONTROL_TOP))),
            ("BTNCOLOR2NORMAL", str(0xFF000000 | tcolor(CONTROL_BOTTOM))),
            ("BTNBORDERNORMAL", tcolor(CONTROL_BORDER)), ("BTNFONTNORMAL", tcolor(TEXT)),
            ("BTNCOLOR1PRESSED", str(0xFF000000 | tcolor(CONTROL_PRESSED))),
            ("BTNCOLOR2PRESSED", str(0xFF000000 | tcolor(CONTROL_PRESSED))),
            ("BTNBORDERPRESSED", tcolor(ACCENT_PRESSED)), ("BTNFONTPRESSED", tcolor(TEXT)),
            ("COLORTONERED", tcolor((250, 210, 210))), ("COLORTONEGREEN", tcolor((210, 240, 216))),
            ("COLORTONEBLUE", tcolor((208, 228, 250))),
            ("COLORTONEYELLOW", tcolor((250, 240, 200))),
            ("COLORTONEREDACTIVE", tcolor((246, 190, 190))),
            ("COLORTONEGREENACTIVE", tcolor((190, 232, 198))),
            ("COLORTONEBLUEACTIVE", tcolor((186, 214, 246))),
            ("COLORTONEYELLOWACTIVE", tcolor((246, 230, 176))),
            ("COLORTONEREDTEXT", tcolor((150, 20, 20))),
            ("COLORTONEGREENTEXT", tcolor((20, 110, 40))),
            ("COLORTONEBLUETEXT", tcolor((14, 80, 150))),
            ("COLORTONEYELLOWTEXT", tcolor((120, 90, 0))),
            ("COLORTONEREDTEXTACTIVE", tcolor((120, 10, 10))),
            ("COLORTONEGREENTEXTACTIVE", tcolor((10, 90, 30))),
            ("COLORTONEBLUETEXTActive", tcolor((8, 60, 120))),
            ("COLORTONEYELLOWTEXTActive", tcolor((100, 70, 0))),
            ("GRIDLINE", tcolor((214, 222, 232))),
        ]),
        ("FORM", [
            ("STATES", "2"), ("COLOR", tcolor(FORM_TOP)), ("HOTCOLOR", tcolor(FORM_TOP)),
            ("FONTCOLOR", tcolor(TEXT)), ("HOTFONTCOLOR", tcolor(TEXT)),
            ("GRADIENTPERCENT", "70"), ("HOTGRADIENTPERCENT", "70"),
            ("GRADIENTDATA", form_grad), ("HOTGRADIENTDATA", form_grad),
            ("IMAGEPERCENT", "30"), ("HOTIMAGEPERCENT", "30"),
            ("PATTERN", texture_file("WEAVE.PNG")), ("HOTPATTERN", texture_file("WEAVE.PNG")),
            ("BORDERWIDTH", "1"), ("BORDERRADIUS", "8"), ("OUTERMODE", "0"),
        ]),
        ("DIALOG", [("PARENTCLASS", "FORM")]),
        ("FORMTITLE", [
            ("STATES", "2"), ("COLOR", tcolor(TITLE_TOP)), ("HOTCOLOR", tcolor(TITLE_TOP_ACTIVE)),
            ("FONTCOLOR", tcolor(TEXT_INACTIVE)), ("HOTFONTCOLOR", tcolor(TEXT)),
            ("GRADIENTPERCENT", "100"), ("HOTGRADIENTPERCENT", "100"),
            ("GRADIENTDATA", gradient(TITLE_TOP, TITLE_BOTTOM)),
            ("HOTGRADIENTDATA", gradient(TITLE_TOP_ACTIVE, TITLE_BOTTOM_ACTIVE)),
            ("BORDERWIDTH", "0"), ("BORDERRADIUS", "8"),
        ]),
        ("DIALOGTITLE", [("PARENTCLASS", "FORMTITLE")]),
        # The caption text: no background of its own, a white glow behind the active text.
        ("CAPTION", [
            ("STATES", "2"), ("TRANSPARENCY", "100"), ("HOTTRANSPARENCY", "100"),
            ("FONTCOLOR", tcolor(TEXT_INACTIVE)), ("HOTFONTCOLOR", tcolor(TEXT)),
            ("GCOL", tcolor((255, 255, 255))), ("HGCOL", tcolor((255, 255, 255))),
            ("GSIZE", "0"), ("HGSIZE", "5"), ("BORDERWIDTH", "0"),
        ]),
        ("FORMHEADER", [
            ("STATES", "1"), ("COLOR", tcolor(TITLE_BOTTOM_ACTIVE)), ("FONTCOLOR", tcolor(TEXT)),
            ("GRADIENTPERCENT", "60"),
            ("GRADIENTDATA", gradient(TITLE_BOTTOM_ACTIVE, FORM_TOP)),
            ("IMAGEPERCENT", "40"), ("PATTERN", "HEADER.BMP"), ("BORDERWIDTH", "0"),
        ]),
        ("MENULINE", [
            ("STATES", "1"), ("COLOR", tcolor(FORM_TOP)), ("FONTCOLOR", tcolor(TEXT)),
            ("GRADIENTPERCENT", "100"),
            ("GRADIENTDATA", gradient((250, 252, 255), (236, 242, 249))), ("BORDERWIDTH", "0"),
        ]),
        ("MAINMENU", [
            ("STATES", "1"), ("COLOR", tcolor(MENU_BG)), ("FONTCOLOR", tcolor(TEXT)),
            ("BORDERWIDTH", "1"), ("BORDERRADIUS", "6"), ("OUTERMODE", "2"),
        ]),
        ("MENUITEM", [
            ("STATES", "2"), ("COLOR", tcolor(MENU_BG)), ("TRANSPARENCY", "100"),
            ("HOTCOLOR", tcolor(MENU_HOT)), ("HOTTRANSPARENCY", "100"),
            ("FONTCOLOR", tcolor(TEXT)), ("HOTFONTCOLOR", tcolor(ACCENT_PRESSED)),
            ("BORDERWIDTH", "0"), ("BORDERRADIUS", "3"),
        ]),
        ("MENUBTN", [("PARENTCLASS", "MENUITEM")]),
        ("ICOLINE", [
            ("STATES", "1"), ("COLOR", tcolor(ICOLINE_LEFT)), ("GRADIENTPERCENT", "100"),
            ("GRADIENTDATA", gradient(ICOLINE_LEFT, ICOLINE_RIGHT, horizontal=True)),
            ("BORDERWIDTH", "0"),
        ]),
        ("DIVIDER", [("STATES", "1"), ("COLOR", tcolor((204, 214, 228))), ("BORDERWIDTH", "0")]),
        ("DIVIDERV", [
            ("STATES", "1"), ("COLOR", tcolor((204, 214, 228))), ("GRADIENTPERCENT", "100"),
            ("GRADIENTDATA", gradient(MENU_BG, (190, 204, 222), MENU_BG, horizontal=True)),
            ("BORDERWIDTH", "0"),
        ]),
        ("MENUCAPTION", [
            ("STATES", "1"), ("COLOR", tcolor(ACCENT_LIGHT)), ("FONTCOLOR", tcolor(ACCENT_PRESSED)),
            ("TCBOTTOM", tcolor((255, 255, 255))), ("GRADIENTPERCENT", "80"),
            ("GRADIENTDATA", gradient((226, 240, 251), (196, 222, 244))),
            ("IMAGEPERCENT", "20"), ("PATTERN", texture_file("FINE.PNG")), ("BORDERWIDTH", "0"),
        ]),
        ("BUTTON", [
            ("STATES", "3"), ("USESTATE2", "1"), ("SHIFTCLICK", "1"),
            ("COLOR", tcolor(CONTROL_BOTTOM)), ("HOTCOLOR", tcolor(CONTROL_HOT)),
            ("COLOR2", tcolor(CONTROL_PRESSED)),
            ("FONTCOLOR", tcolor(TEXT)), ("HOTFONTCOLOR", tcolor(ACCENT_PRESSED)),
            ("FONTCOLOR2", tcolor(TEXT)),
            ("GRADIENTPERCENT", "70"), ("HOTGRADIENTPERCENT", "70"), ("GRADIENTPERCENT2", "70"),
            ("GRADIENTDATA", gradient(CONTROL_TOP, CONTROL_BOTTOM)),
            ("HOTGRADIENTDATA", gradient((255, 255, 255), CONTROL_HOT)),
            ("GRADIENTDATA2", gradient(CONTROL_PRESSED, (226, 234, 244))),
            ("IMAGEPERCENT", "30"), ("HOTIMAGEPERCENT", "30"), ("IMAGEPERCENT2", "30"),
            ("PATTERN", texture_file("FINE.PNG")), ("HOTPATTERN", texture_file("HOTFINE.PNG")),
            ("PATTERN2", texture_file("PRESSFINE.PNG")),
            ("LIGHT0", tcolor((255, 255, 255))), ("LIGHT1", tcolor((255, 255, 255))),
            ("LIGHT2", tcolor(CONTROL_PRESSED)),
            ("BORDERWIDTH", "1"), ("BORDERRADIUS", "4"),
            ("GLOW", "1"), ("GLOWMARGIN", "3"), ("GLOW0", GLOW_ENTRY),
            ("OUTERMODE", "1"), ("OUTOPACITY", "130"),
            ("OUTERMASK", file_entry("SHADOW.PNG", 1, 1, 0, (8, 8, 8, 8), 1)),
            ("OUTOFFSL", SHADOW_OFFSETS[0]), ("OUTOFFST", SHADOW_OFFSETS[1]),
            ("OUTOFFSR", SHADOW_OFFSETS[2]), ("OUTOFFSB", SHADOW_OFFSETS[3]),
        ]),
        ("BUTTON_BIG", [("PARENTCLASS", "BUTTON")]),
        ("BUTTON_HUGE", [("PARENTCLASS", "BUTTON")]),
        ("COMBONOEDIT", [("PARENTCLASS", "BUTTON")]),
        ("UPDOWNBTN", [("PARENTCLASS", "BUTTON"), ("OUTERMODE", "0")]),
        ("COLHEADER", [("PARENTCLASS", "BUTTON"), ("OUTERMODE", "0"), ("GLOW", "0")]),
        ("COLHEADERA", [("PARENTCLASS", "COLHEADER")]),
        ("COLHEADERL", [("PARENTCLASS", "COLHEADER")]),
        ("COLHEADERR", [("PARENTCLASS", "COLHEADER")]),
        ("SPEEDBUTTON", [
            ("STATES", "3"), ("USESTATE2", "1"), ("COLOR", tcolor(FORM_TOP)),
            ("TRANSPARENCY", "100"), ("HOTCOLOR", tcolor(MENU_HOT)), ("HOTTRANSPARENCY", "20"),
            ("COLOR2", tcolor((190, 216, 240))), ("TRANSPARENCY2", "0"),
            ("FONTCOLOR", tcolor(TEXT)), ("HOTFONTCOLOR", tcolor(ACCENT_PRESSED)),
            ("FONTCOLOR2", tcolor(TEXT)), ("BORDERCOLOR1", tcolor((150, 190, 226))),
            ("BORDERCOLOR2", tcolor(ACCENT)), ("BORDERWIDTH", "1"), ("BORDERRADIUS", "4"),
        ]),
        ("SPEEDBUTTON_SMALL", [("PARENTCLASS", "SPEEDBUTTON")]),
        ("TOOLBUTTON", [("PARENTCLASS", "SPEEDBUTTON")]),
        ("TB_BTN", [("PARENTCLASS", "TOOLBUTTON")]),
        ("TB_MENUBTN", [("PARENTCLASS", "TOOLBUTTON")]),
        ("COMBOBTN", [("PARENTCLASS", "SPEEDBUTTON")]),
        ("CHECKBOX", [
            ("STATES", "3"), ("TRANSPARENCY", "100"), ("HOTTRANSPARENCY", "100"),
            ("FONTCOLOR", tcolor(TEXT)), ("HOTFONTCOLOR", tcolor(ACCENT_PRESSED)),
            ("BORDERWIDTH", "0"),
        ]),
        ("TRANSPARENT", [
            ("STATES", "1"), ("COLOR", tcolor((255, 255, 255))), ("TRANSPARENCY", "100"),
            ("FONTCOLOR", tcolor(TEXT)), ("BORDERWIDTH", "0"),
        ]),
        ("GROUPBOX", [
            ("STATES", "1"), ("TRANSPARENCY", "100"), ("FONTCOLOR", tcolor(ACCENT_PRESSED)),
            ("TCBOTTOM", tcolor((255, 255, 255))), ("BORDERWIDTH", "1"), ("BORDERRADIUS", "6"),
            ("OUTERMODE", "2"), ("GIVEOWNFONT", "TRUE"), ("RESERVEDBOOLEAN", "0"),
        ]),
        ("EDIT", [
            ("STATES", "2"), ("COLOR", tcolor(EDIT_BG)), ("HOTCOLOR", tcolor(EDIT_BG)),
            ("FONTCOLOR", tcolor(TEXT)), ("HOTFONTCOLOR", tcolor(TEXT)),
            ("BORDERWIDTH", "1"), ("BORDERRADIUS", "3"),
            ("GLOW", "1"), ("GLOWMARGIN", "2"), ("GLOW0", GLOW_ENTRY),
            ("OUTERMODE", "3"), ("OUTCOLL", tcolor(SHADOW)), ("OUTOPACITY", "70"),
            ("OUTBLUR", "4"), ("OUTRADIUS", "4"),
            ("OUTOFFSL", "2"), ("OUTOFFST", "1"), ("OUTOFFSR", "2"), ("OUTOFFSB", "3"),
        ]),
        ("ALPHAEDIT", [("PARENTCLASS", "EDIT")]),
        ("COMBOBOX", [("PARENTCLASS", "EDIT")]),
        ("ALPHACOMBOBOX", [("PARENTCLASS", "COMBOBOX")]),
        ("HINT", [
            ("STATES", "1"), ("COLOR", tcolor((255, 255, 240))), ("FONTCOLOR", tcolor(TEXT)),
            ("BORDERCOLOR0", tcolor(CONTROL_BORDER)), ("BORDERRADIUS", "4"), ("OUTERMODE", "2"),
        ]),
        ("SELECTION", [
            ("STATES", "2"), ("COLOR", tcolor(ACCENT_LIGHT)), ("HOTCOLOR", tcolor(ACCENT)),
            ("FONTCOLOR", tcolor(TEXT)), ("HOTFONTCOLOR", tcolor((255, 255, 255))),
            ("BORDERWIDTH", "0"),
        ]),
        ("WEBBUTTON", [
            ("STATES", "3"), ("USESTATE2", "1"), ("TRANSPARENCY", "100"),
            ("HOTTRANSPARENCY", "100"), ("TRANSPARENCY2", "100"),
            ("FONTCOLOR", tcolor(ACCENT)), ("HOTFONTCOLOR", tcolor(ACCENT_HOT)),
            ("FONTCOLOR2", tcolor(ACCENT_PRESSED)), ("GCOL2", tcolor(ACCENT_LIGHT)),
            ("GSIZE2", "3"), ("TCLEFT2", "-1"), ("TCTOP2", "-1"), ("TCRIGHT2", "-1"),
            ("TCBOTTOM2", tcolor((255, 255, 255))), ("HOTTCLEFT", "-1"), ("HOTTCTOP", "-1"),
            ("HOTTCRIGHT", "-1"), ("HOTTCBOTTOM", tcolor((255, 255, 255))),
            ("TCLEFT", "-1"), ("TCTOP", "-1"), ("TCRIGHT", "-1"), ("BORDERWIDTH", "0"),
        ]),
        ("TOOLBAR", [("STATES", "1"), ("COLOR", tcolor(FORM_TOP)), ("FONTCOLOR", tcolor(TEXT)),
                     ("BORDERWIDTH", "0")]),
        ("STATUSBAR", [
            ("STATES", "1"), ("COLOR", tcolor(FORM_BOTTOM)), ("FONTCOLOR", tcolor(TEXT_DIM)),
            ("GRADIENTPERCENT", "100"), ("GRADIENTDATA", gradient(FORM_BOTTOM, (210, 220, 232))),
            ("BORDERWIDTH", "0"),
        ]),
        ("PANEL", [("STATES", "1"), ("COLOR", tcolor(FORM_TOP)), ("FONTCOLOR", tcolor(TEXT)),
                   ("BORDERWIDTH", "0")]),
        ("PANEL_LOW", [("PARENTCLASS", "PANEL"), ("COLOR", tcolor(FORM_BOTTOM))]),
        ("BARPANEL", [("PARENTCLASS", "PANEL"), ("BORDERCOLOR0", tcolor(CONTROL_BORDER)),
                      ("BORDERWIDTH", "1"), ("BORDERRADIUS", "6"), ("OUTERMODE", "2")]),
        ("BARTITLE", [("STATES", "1"), ("COLOR", tcolor(TITLE_BOTTOM)),
                      ("FONTCOLOR", tcolor(TEXT)), ("BORDERWIDTH", "0")]),
        ("EXTRALINE", [("STATES", "1"), ("COLOR", tcolor(ICOLINE_LEFT)),
                       ("FONTCOLOR", tcolor(TEXT_DIM)), ("BORDERWIDTH", "0")]),
        ("GAUGE", [
            ("STATES", "1"), ("COLOR", tcolor(TRACK)), ("BORDERCOLOR0", tcolor((200, 210, 224))),
            ("BORDERRADIUS", "4"), ("OUTERMODE", "1"),  # The skin-wide light outline.
        ]),
        ("PROGRESSH", [
            ("STATES", "1"), ("COLOR", tcolor(ACCENT)), ("GRADIENTPERCENT", "80"),
            ("GRADIENTDATA", gradient(ACCENT_HOT, ACCENT, ACCENT_PRESSED)),
            ("IMAGEPERCENT", "20"), ("PATTERN", texture_file("STRIPES.PNG")),
            ("BORDERWIDTH", "0"), ("BORDERRADIUS", "3"),
            ("OUTERMODE", "4"), ("OUTCOLL", tcolor(ACCENT_HOT)), ("OUTCOLT", tcolor(ACCENT_LIGHT)),
            ("OUTCOLR", tcolor(ACCENT_HOT)), ("OUTCOLB", tcolor(ACCENT_PRESSED)),
            ("OUTOPACITY", "110"), ("OUTBLUR", "3"), ("OUTRADIUS", "3"),
            ("OUTOFFSL", "2"), ("OUTOFFST", "2"), ("OUTOFFSR", "2"), ("OUTOFFSB", "2"),
        ]),
        ("PROGRESSV", [("PARENTCLASS", "PROGRESSH")]),
        ("TRACKBAR", [("STATES", "1"), ("TRANSPARENCY", "100"), ("FONTCOLOR", tcolor(TEXT)),
                      ("BORDERWIDTH", "0")]),
        ("DRAGBAR", [("STATES", "1"), ("COLOR", tcolor(TITLE_BOTTOM)),
                     ("FONTCOLOR", tcolor(TEXT))]),
        ("GRIPH", [("STATES", "1"), ("TRANSPARENCY", "100"), ("BORDERWIDTH", "0")]),
        ("GRIPV", [("PARENTCLASS", "GRIPH")]),
        ("SPLITTER", [("STATES", "2"), ("TRANSPARENCY", "100"),
                      ("HOTCOLOR", tcolor((200, 214, 232))), ("BORDERWIDTH", "0")]),
        ("TABSHEET", [("STATES", "1"), ("COLOR", tcolor(CONTROL_TOP)),
                      ("FONTCOLOR", tcolor(TEXT)), ("BORDERWIDTH", "0")]),
        ("PAGECONTROL", [("STATES", "1"), ("COLOR", tcolor(CONTROL_TOP)),
                         ("FONTCOLOR", tcolor(TEXT)), ("BORDERCOLOR0", tcolor(CONTROL_BORDER)),
                         ("BORDERRADIUS", "4")]),
        ("TABTOP", [
            ("STATES", "3"), ("USESTATE2", "1"), ("TABSCOVERING", "2"),
            ("COLOR", tcolor(FRAME_BAND)), ("HOTCOLOR", tcolor(CONTROL_HOT)),
            ("COLOR2", tcolor(CONTROL_TOP)), ("FONTCOLOR", tcolor(TEXT_DIM)),
            ("HOTFONTCOLOR", tcolor(TEXT)), ("FONTCOLOR2", tcolor(TEXT)), ("BORDERWIDTH", "1"),
        ]),
        ("TB_TAB", [("PARENTCLASS", "TABTOP")]),
        ("RIBBONTAB", [("PARENTCLASS", "TABTOP"), ("TABSCOVERING", "3")]),
        ("SCROLLBAR1V", [("STATES", "1"), ("COLOR", tcolor(TRACK)), ("BORDERWIDTH", "0")]),
        ("SCROLLBAR1H", [("PARENTCLASS", "SCROLLBAR1V")]),
        ("SCROLLBAR2V", [("PARENTCLASS", "SCROLLBAR1V")]),
        ("SCROLLBAR2H", [("PARENTCLASS", "SCROLLBAR1V")]),
        ("SCROLLSLIDERV", [("STATES", "3"), ("USESTATE2", "1"), ("COLOR", tcolor(TRACK)),
                           ("TRANSPARENCY", "100"), ("HOTTRANSPARENCY", "100"),
                           ("TRANSPARENCY2", "100"), ("BORDERWIDTH", "0")]),
        ("SCROLLSLIDERH", [("PARENTCLASS", "SCROLLSLIDERV")]),
        ("SCROLLBTNLEFT", [
            ("STATES", "3"), ("USESTATE2", "1"), ("TRANSPARENCY", "100"),
            ("HOTTRANSPARENCY", "100"), ("TRANSPARENCY2", "100"), ("FONTCOLOR", tcolor(TEXT_DIM)),
            ("HOTFONTCOLOR", tcolor(ACCENT)), ("FONTCOLOR2", tcolor(ACCENT_PRESSED)),
            ("BORDERWIDTH", "0"),
        ]),
        ("SCROLLBTNTOP", [("PARENTCLASS", "SCROLLBTNLEFT")]),
        ("SCROLLBTNRIGHT", [("PARENTCLASS", "SCROLLBTNLEFT")]),
        ("SCROLLBTNBOTTOM", [("PARENTCLASS", "SCROLLBTNLEFT")]),
        ("SLIDER_OFF", [("STATES", "1"), ("COLOR", tcolor(TRACK)),
                        ("BORDERCOLOR0", tcolor(CONTROL_BORDER)), ("BORDERWIDTH", "1"),
                        ("BORDERRADIUS", "9")]),
        ("SLIDER_ON", [("STATES", "1"), ("COLOR", tcolor(ACCENT)),
                       ("BORDERCOLOR0", tcolor(ACCENT)), ("BORDERWIDTH", "1"),
                       ("BORDERRADIUS", "9")]),
        ("THUMB_ON", [("STATES", "1"), ("COLOR", tcolor((255, 255, 255))), ("BORDERWIDTH", "0"),
                      ("BORDERRADIUS", "6")]),
        ("THUMB_OFF", [("STATES", "1"), ("COLOR", tcolor(TEXT_DIM)), ("BORDERWIDTH", "0"),
                       ("BORDERRADIUS", "6")]),
    ]
    lines = []
    for name, keys in sections:
        written = {key for key, _ in keys}
        # Without a word of its own a section throws the skin-wide shadow; only raised things
        # (menus, hints, group boxes, panels, and the controls with their own effects) do.
        if name != "GLOBALINFO" and not written & {"PARENTCLASS", "OUTERMODE"}:
            keys = keys + [("OUTERMODE", "0")]
        lines.append(f"[{name}]")
        for key, value in keys:
            lines.append(f"{key}={value}")
        for key, value in entries.pop(name, []):
            lines.append(f"{key}={value}")
        lines.append("")
    if entries:
        raise SystemExit(f"draw_skin: pictures for sections without keys: {sorted(entries)}")
    return "\n".join(lines)


# ----------------------------------------------------------------------------------------------
# The preview: a small window in this skin, for skin lists.

def draw_preview(master, placed):
    w, h = PREVIEW_SIZE
    c = Canvas(w, h)
    body = round_rect(0, 0, w, h, 8)
    for y in range(h):
        t = y / (h - 1)
        color = tuple(a + (b - a) * t for a, b in zip(FORM_TOP, FORM_BOTTOM))
        for x in range(w):
            c.blend(x, y, color, 0.5 - body(x + 0.5, y + 0.5))
    for y in range(30):
        t = y / 29
        color = tuple(a + (b - a) * t for a, b in zip(TITLE_TOP_ACTIVE, TITLE_BOTTOM_ACTIVE))
        for x in range(w):
            c.blend(x, y, color, 0.5 - body(x + 0.5, y + 0.5))
    c.shape((0, 0, w, h), ring(body, 1), FRAME_OUTER)
    fill_rect(c, 1, 29, w - 1, 30, ACCENT)
    c.shape((10, 12, 70, 17), round_rect(10, 12, 70, 17, 2), TEXT)
    by_key = {(section, key): (rect, frames) for section, key, _, frames, rect, *_ in placed}
    for i, key in enumerate(("BICONCLOSE", "BICONMAX", "BICONMIN")):
        (x, y, width, fh), frames = by_key[("GLOBALINFO", key)]
        fw = width // frames
        state = 1 if key == "BICONCLOSE" else 0
        for yy in range(fh):
            for xx in range(fw):
                p = master.px[(y + yy) * master.width + x + state * fw + xx]
                c.blend(w - 8 - (i + 1) * fw + xx, 4 + yy, tuple(p), 1.0)
    group = (10, 44, w - 10, h - 10)
    c.shape(group, round_rect(*group, 6), (255, 255, 255, 110))
    c.shape(group, ring(round_rect(*group, 6), 1), (186, 198, 214))
    log = (20, 58, w - 20, h - 56)
    c.shape((log[0] - 1, log[1], log[2] + 1, log[3] + 3), round_rect(log[0] - 1, log[1] + 1,
                                                                       log[2] + 1, log[3] + 2, 4),
            SHADOW + (40,))
    c.shape(log, round_rect(*log, 3), EDIT_BG)
    c.shape(log, ring(round_rect(*log, 3), 1), ACCENT)
    for i in range(5):
        y = log[1] + 8 + i * 10
        c.shape((log[0] + 8, y, log[0] + 120 - i * 12, y + 4),
                round_rect(log[0] + 8, y, log[0] + 120 - i * 12, y + 4, 2), TEXT_DIM)
    button = (w - 118, h - 44, w - 20, h - 20)
    c.shape(button, round_rect(*button, 4), CONTROL_BOTTOM)
    c.shape(button, ring(round_rect(*button, 4), 1), CONTROL_BORDER)
    c.shape((button[0] + 30, button[1] + 10, button[2] - 30, button[1] + 14),
            round_rect(button[0] + 30, button[1] + 10, button[2] - 30, button[1] + 14, 2), TEXT)
    fill_rect(c, 20, h - 36, 150, h - 30, TRACK)
    fill_rect(c, 20, h - 36, 90, h - 30, ACCENT)
    return c


def main(argv):
    out_dir, preview_path = None, None
    args = list(argv)
    while args:
        word = args.pop(0)
        if word == "--preview" and args:
            preview_path = args.pop(0)
        elif out_dir is None and not word.startswith("-"):
            out_dir = word
        else:
            raise SystemExit(__doc__)
    placed, size = layout()
    options = options_text(placed).encode("ascii")
    if out_dir is None:
        with open(os.path.join(HERE, "Options.dat"), "wb") as f:
            f.write(options)
        return
    master = draw_master(placed, size)
    os.makedirs(out_dir, exist_ok=True)
    files = {MASTER_NAME: master.png(), "OPTIONS.DAT": options}
    files.update(separate_pictures())
    for name, data in files.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
    if preview_path:
        with open(preview_path, "wb") as f:
            f.write(draw_preview(master, placed).png())


if __name__ == "__main__":
    main(sys.argv[1:])
