#!/usr/bin/env python3
"""Writes the sample game's pictures, its image font and its sounds (standard library only).

Pictures are drawn from layers: a background function, then shapes given by signed distance
functions (anti-aliased at their edges), each shape coloured by a function of the point. Text baked
into pictures and the image font "title" come from one 5 x 7 pixel alphabet. The sounds and the two
music loops are synthesised tones. The outputs are checked in (small: the whole game stays far under
1 MB); run this again (from anywhere) after changing anything here.
"""
import math
import os
import random
import struct
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data")

# ---- PNG ---------------------------------------------------------------------------------------


def png_bytes(width, height, rows):
    """rows: list of bytes objects, each width * 4 bytes of RGBA. Each row is filtered with "Sub"
    or "Up", whichever leaves the smaller sum, which keeps gradients tiny."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    out = bytearray()
    previous = bytes(width * 4)
    for row in rows:
        sub = bytes((row[i] - (row[i - 4] if i >= 4 else 0)) & 0xFF for i in range(len(row)))
        up = bytes((row[i] - previous[i]) & 0xFF for i in range(len(row)))
        def cost(data):
            return sum(v if v < 128 else 256 - v for v in data)
        if cost(sub) <= cost(up):
            out += b"\x01" + sub
        else:
            out += b"\x02" + up
        previous = row
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(out), 9)) + chunk(b"IEND", b""))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# ---- drawing -----------------------------------------------------------------------------------


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def over(dst, src):
    """Straight-alpha "over" of two (r, g, b, a) colours, channels 0..255, alpha 0..1."""
    sa = src[3]
    if sa <= 0:
        return dst
    da = dst[3] * (1 - sa)
    a = sa + da
    if a <= 0:
        return (0, 0, 0, 0)
    return tuple((src[i] * sa + dst[i] * da) / a for i in range(3)) + (a,)


class Shape(object):
    """A layer: a signed distance function (negative inside), its bounding box and its colour."""

    def __init__(self, sdf, box, colour, alpha=1.0, soft=1.0):
        self.sdf, self.box, self.colour, self.alpha, self.soft = sdf, box, colour, alpha, soft

    def sample(self, x, y):
        d = self.sdf(x, y)
        cover = clamp(0.5 - d / self.soft)
        if cover <= 0:
            return None
        c = self.colour(x, y) if callable(self.colour) else self.colour
        a = (c[3] if len(c) > 3 else 1.0) * self.alpha * cover
        return (c[0], c[1], c[2], a)


def render(width, height, background, shapes):
    """background(x, y) -> (r, g, b, a) or None (transparent); shapes drawn in order."""
    rows = []
    for y in range(height):
        row_shapes = [s for s in shapes if s.box[1] <= y + 1 and y - 1 <= s.box[3]]
        row = bytearray()
        py = y + 0.5
        for x in range(width):
            px = x + 0.5
            c = background(px, py) if background else None
            if c is None:
                c = (0, 0, 0, 0.0)
            for s in row_shapes:
                if s.box[0] <= x + 1 and x - 1 <= s.box[2]:
                    sc = s.sample(px, py)
                    if sc:
                        c = over(c, sc)
            row += bytes((int(clamp(c[0], 0, 255) + 0.5), int(clamp(c[1], 0, 255) + 0.5),
                          int(clamp(c[2], 0, 255) + 0.5), int(clamp(c[3]) * 255 + 0.5)))
        rows.append(bytes(row))
    return png_bytes(width, height, rows)


def vgrad(top, bottom, y0, y1):
    def colour(x, y):
        return mix(top, bottom, clamp((y - y0) / float(y1 - y0))) + ((1.0,) if len(top) == 3 else ())
    return colour


# signed distance functions


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ellipse(cx, cy, rx, ry):
    def sdf(x, y):
        k = math.hypot((x - cx) / rx, (y - cy) / ry)
        return (k - 1) * min(rx, ry)
    return sdf


def rrect(x0, y0, x1, y1, r):
    cx, cy, hx, hy = (x0 + x1) / 2.0, (y0 + y1) / 2.0, (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return sdf


def polygon(points):
    n = len(points)

    def sdf(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            t = clamp(((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey))
            d = min(d, math.hypot(x - ax - ex * t, y - ay - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / (by - ay):
                inside = not inside
        return -d if inside else d
    return sdf


def segment(ax, ay, bx, by, width):
    ex, ey = bx - ax, by - ay

    def sdf(x, y):
        t = clamp(((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey))
        return math.hypot(x - ax - ex * t, y - ay - ey * t) - width / 2.0
    return sdf


def ring(sdf, width):
    return lambda x, y: abs(sdf(x, y)) - width / 2.0


def box_of(points, pad=2):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)


# ---- the 5 x 7 alphabet ------------------------------------------------------------------------

GLYPHS = {
    "A": ".###.|#...#|#...#|#####|#...#|#...#|#...#", "B": "####.|#...#|#...#|####.|#...#|#...#|####.",
    "C": ".###.|#...#|#....|#....|#....|#...#|.###.", "D": "####.|#...#|#...#|#...#|#...#|#...#|####.",
    "E": "#####|#....|#....|####.|#....|#....|#####", "F": "#####|#....|#....|####.|#....|#....|#....",
    "G": ".###.|#...#|#....|#.###|#...#|#...#|.####", "H": "#...#|#...#|#...#|#####|#...#|#...#|#...#",
    "I": ".###.|..#..|..#..|..#..|..#..|..#..|.###.", "J": "..###|...#.|...#.|...#.|...#.|#..#.|.##..",
    "K": "#...#|#..#.|#.#..|##...|#.#..|#..#.|#...#", "L": "#....|#....|#....|#....|#....|#....|#####",
    "M": "#...#|##.##|#.#.#|#.#.#|#...#|#...#|#...#", "N": "#...#|##..#|#.#.#|#..##|#...#|#...#|#...#",
    "O": ".###.|#...#|#...#|#...#|#...#|#...#|.###.", "P": "####.|#...#|#...#|####.|#....|#....|#....",
    "Q": ".###.|#...#|#...#|#...#|#.#.#|#..#.|.##.#", "R": "####.|#...#|#...#|####.|#.#..|#..#.|#...#",
    "S": ".####|#....|#....|.###.|....#|....#|####.", "T": "#####|..#..|..#..|..#..|..#..|..#..|..#..",
    "U": "#...#|#...#|#...#|#...#|#...#|#...#|.###.", "V": "#...#|#...#|#...#|#...#|#...#|.#.#.|..#..",
    "W": "#...#|#...#|#...#|#.#.#|#.#.#|#.#.#|.#.#.", "X": "#...#|#...#|.#.#.|..#..|.#.#.|#...#|#...#",
    "Y": "#...#|#...#|.#.#.|..#..|..#..|..#..|..#..", "Z": "#####|....#|...#.|..#..|.#...|#....|#####",
    "0": ".###.|#...#|#..##|#.#.#|##..#|#...#|.###.", "1": "..#..|.##..|..#..|..#..|..#..|..#..|.###.",
    "2": ".###.|#...#|....#|...#.|..#..|.#...|#####", "3": "####.|....#|....#|.###.|....#|....#|####.",
    "4": "...#.|..##.|.#.#.|#..#.|#####|...#.|...#.", "5": "#####|#....|####.|....#|....#|#...#|.###.",
    "6": ".###.|#....|#....|####.|#...#|#...#|.###.", "7": "#####|....#|...#.|..#..|.#...|.#...|.#...",
    "8": ".###.|#...#|#...#|.###.|#...#|#...#|.###.", "9": ".###.|#...#|#...#|.####|....#|....#|.###.",
    "!": "..#..|..#..|..#..|..#..|..#..|.....|..#..", ".": ".....|.....|.....|.....|.....|.....|..#..",
    ":": ".....|..#..|..#..|.....|..#..|..#..|.....", "-": ".....|.....|.....|.###.|.....|.....|.....",
    " ": ".....|.....|.....|.....|.....|.....|.....",
}


def glyph_cells(ch):
    return [(c, r) for r, line in enumerate(GLYPHS[ch].split("|")) for c, v in enumerate(line) if v == "#"]


def glyph_sdf(ch, ox, oy, cell):
    """Distance to the glyph's cells (each a square of cell pixels with softly rounded corners)."""
    cells = set(glyph_cells(ch))
    r = cell * 0.3

    def sdf(x, y):
        gx, gy = int((x - ox) // cell), int((y - oy) // cell)
        best = float("inf")
        for cx in range(gx - 2, gx + 3):
            for cy in range(gy - 2, gy + 3):
                if (cx, cy) in cells:
                    x0, y0 = ox + cx * cell, oy + cy * cell
                    # neighbours close the gaps, so only the outer corners round off
                    l = x0 - (r if (cx - 1, cy) in cells else 0)
                    t = y0 - (r if (cx, cy - 1) in cells else 0)
                    rr = x0 + cell + (r if (cx + 1, cy) in cells else 0)
                    b = y0 + cell + (r if (cx, cy + 1) in cells else 0)
                    best = min(best, rrect(l, t, rr, b, r)(x, y))
        return best
    return sdf


def text_shapes(text, x, y, cell, fill, outline, outline_width):
    """Shapes of text at (x, y) (top left), each glyph 5 x 7 cells plus one cell of spacing."""
    shapes = []
    for i, ch in enumerate(text):
        if ch == " ":
            continue
        ox = x + i * 6 * cell
        sdf = glyph_sdf(ch, ox, y, cell)
        box = (ox - outline_width - 2, y - outline_width - 2, ox + 5 * cell + outline_width + 2,
               y + 7 * cell + outline_width + 2)
        if outline:
            shapes.append(Shape(lambda px, py, s=sdf: s(px, py) - outline_width, box, outline))
        shapes.append(Shape(sdf, box, fill))
    return shapes


def text_width(text, cell):
    return (6 * len(text) - 1) * cell


# ---- the image font ----------------------------------------------------------------------------

FONT_CHARS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!.:- "
FONT_CELL = 5
FONT_PAD = 4  # outline room on each side of a glyph


def title_font():
    """The glyph strip "fonts\\title.png" and its description "fonts\\title.txt"."""
    glyph_w = 5 * FONT_CELL + 2 * FONT_PAD
    height = 7 * FONT_CELL + 2 * FONT_PAD
    widths = []
    shapes = []
    gold = vgrad((255, 244, 170), (235, 150, 40), FONT_PAD, FONT_PAD + 7 * FONT_CELL)
    for i, ch in enumerate(FONT_CHARS):
        ox = i * glyph_w
        widths.append(glyph_w)
        if ch == " ":
            continue
        sdf = glyph_sdf(ch, ox + FONT_PAD, FONT_PAD, FONT_CELL)
        box = (ox, 0, ox + glyph_w, height)
        shapes.append(Shape(lambda x, y, s=sdf: s(x, y) - 3.0, box, (50, 20, 10, 0.9)))
        shapes.append(Shape(sdf, box, gold))
    png = render(glyph_w * len(FONT_CHARS), height, None, shapes)
    quoted = " ".join("'%s'" % c for c in FONT_CHARS)
    advance = " ".join(str(5 * FONT_CELL + FONT_CELL) for _ in FONT_CHARS)
    desc = ("# Corvin HOG title font: one layer of gold glyphs with a dark edge, written by\n"
            "# game/tools/make_assets.py.\n"
            "SetDefaultPointSize %d;\n"
            "Define chars (%s);\n"
            "CreateHorzSpanRectList rects (0 0 0 %d) (%s);\n"
            "CreateLayer main;\n"
            "LayerSetImage main 'title.png';\n"
            "LayerSetPointSize main %d;\n"
            "LayerSetAscent main %d;\n"
            "LayerSetHeight main %d;\n"
            "LayerSetImageMap main chars rects;\n"
            "LayerSetCharWidths main chars (%s);\n"
            "LayerSetCharOffsets main chars (%s);\n"
            "LayerSetSpacing main 0;\n"
            % (height, quoted, height, " ".join(str(w) for w in widths), height,
               FONT_PAD + 7 * FONT_CELL, height, advance,
               " ".join("(%d 0)" % -FONT_PAD for _ in FONT_CHARS)))
    return png, desc


# ---- pictures ----------------------------------------------------------------------------------


def stars(rng, count, area, size=(0.8, 1.8)):
    shapes = []
    for _ in range(count):
        x, y = rng.uniform(area[0], area[2]), rng.uniform(area[1], area[3])
        r = rng.uniform(*size)
        shapes.append(Shape(circle(x, y, r), (x - 3, y - 3, x + 3, y + 3),
                            (255, 250, 230, rng.uniform(0.4, 0.9))))
    return shapes


def menu_back():
    rng = random.Random(7)
    sky = vgrad((10, 14, 44), (70, 32, 96), 0, 620)

    def back(x, y):
        c = sky(x, y)
        glow = clamp(1 - math.hypot(x - 512, (y - 150) * 1.6) / 520.0) ** 2
        return (c[0] + 70 * glow, c[1] + 55 * glow, c[2] + 110 * glow, 1.0)
    shapes = stars(rng, 90, (0, 0, 1024, 520))
    shapes.append(Shape(circle(860, 110, 46), (810, 60, 910, 160), (250, 240, 200)))
    shapes.append(Shape(circle(840, 100, 44), (790, 50, 890, 150), (25, 20, 60, 0.35)))
    far = lambda x, y: (600 + 40 * math.sin(x / 140.0) + 25 * math.sin(x / 57.0 + 1)) - y
    near = lambda x, y: (670 + 30 * math.sin(x / 95.0 + 2) + 15 * math.sin(x / 41.0)) - y
    shapes.append(Shape(far, (0, 530, 1024, 768), vgrad((48, 30, 80), (24, 16, 44), 540, 768)))
    shapes.append(Shape(near, (0, 620, 1024, 768), vgrad((22, 14, 40), (10, 8, 22), 620, 768)))
    return render(1024, 768, back, shapes)


def level_back():
    wall = vgrad((92, 66, 52), (62, 42, 34), 0, 560)
    floor = vgrad((96, 62, 36), (58, 36, 22), 560, 768)

    def back(x, y):
        if y < 560:
            c = wall(x, y)
            stripe = 6 if int(x // 64) % 2 == 0 else 0
            return (c[0] + stripe, c[1] + stripe, c[2] + stripe * 0.6, 1.0)
        c = floor(x, y)
        seam = 1 if (y - 560) % 42 < 2 else 0
        return (c[0] - 25 * seam, c[1] - 18 * seam, c[2] - 12 * seam, 1.0)
    s = []
    # the window with the night outside
    s.append(Shape(rrect(60, 70, 300, 330, 6), (56, 66, 304, 334), (60, 40, 28)))
    s.append(Shape(rrect(74, 84, 286, 316, 2), (70, 80, 290, 320), vgrad((14, 20, 60), (50, 50, 110), 84, 316)))
    s += stars(random.Random(3), 18, (80, 90, 280, 300))
    s.append(Shape(circle(230, 140, 24), (200, 110, 260, 170), (245, 240, 205)))
    s.append(Shape(rrect(176, 84, 184, 316, 0), (172, 80, 188, 320), (60, 40, 28)))
    s.append(Shape(rrect(74, 196, 286, 204, 0), (70, 192, 290, 208), (60, 40, 28)))
    # the shelf with its books
    s.append(Shape(rrect(600, 240, 980, 262, 3), (596, 236, 984, 266), vgrad((140, 92, 52), (96, 60, 32), 240, 262)))
    s.append(Shape(rrect(600, 262, 980, 272, 2), (596, 258, 984, 276), (40, 26, 18, 0.5)))
    rng = random.Random(11)
    x = 612
    while x < 960:
        w = rng.randint(18, 30)
        h = rng.randint(70, 110)
        colour = rng.choice([(150, 40, 40), (40, 90, 140), (60, 120, 60), (170, 130, 50), (110, 60, 120)])
        s.append(Shape(rrect(x, 240 - h, x + w - 2, 240, 2), (x - 2, 236 - h, x + w, 244),
                       vgrad(colour, mix(colour, (0, 0, 0), 0.4), 240 - h, 240)))
        s.append(Shape(rrect(x + 3, 250 - h - 0, x + w - 5, 254 - h, 1), (x, 246 - h, x + w, 258 - h),
                       (230, 210, 150, 0.6)))
        x += w + (rng.randint(0, 1) * 14 if x < 800 else 0)
    # the table and the rug
    s.append(Shape(ellipse(512, 660, 330, 70), (170, 580, 850, 740), vgrad((130, 30, 40), (90, 20, 30), 590, 730)))
    s.append(Shape(ring(ellipse(512, 660, 300, 56), 6), (200, 596, 824, 724), (210, 170, 80, 0.8)))
    s.append(Shape(rrect(660, 430, 940, 456, 4), (656, 426, 944, 460), vgrad((150, 100, 56), (110, 70, 40), 430, 456)))
    s.append(Shape(rrect(680, 456, 700, 600, 2), (676, 452, 704, 604), (90, 58, 34)))
    s.append(Shape(rrect(900, 456, 920, 600, 2), (896, 452, 924, 604), (90, 58, 34)))
    # a candle's glow on the wall
    s.append(Shape(circle(420, 380, 150), (270, 230, 570, 530), lambda x, y: (255, 200, 120,
                   0.22 * clamp(1 - math.hypot(x - 420, y - 380) / 150.0)), soft=1.0))
    s.append(Shape(rrect(410, 380, 430, 440, 3), (406, 376, 434, 444), (235, 225, 200)))
    s.append(Shape(ellipse(420, 368, 6, 12), (412, 354, 428, 382), (255, 200, 80)))
    return render(1024, 768, back, s)


def panel(width, height):
    return render(width, height, None, [
        Shape(rrect(1, 1, width - 1, height - 1, 16), (0, 0, width, height), (12, 10, 30, 0.72)),
        Shape(ring(rrect(3, 3, width - 3, height - 3, 14), 2.5), (0, 0, width, height), (220, 190, 120, 0.9)),
    ])


def button(width, height, glow):
    top, bottom = ((120, 235, 120), (30, 140, 60)) if glow else ((70, 190, 90), (20, 105, 45))
    shapes = []
    if glow:
        shapes.append(Shape(rrect(2, 2, width - 2, height - 2, 26), (0, 0, width, height),
                            (255, 240, 150, 0.55), soft=5.0))
    shapes += [
        Shape(rrect(8, 8, width - 8, height - 8, 20), (0, 0, width, height), vgrad(top, bottom, 8, height - 8)),
        Shape(ring(rrect(9, 9, width - 9, height - 9, 19), 3), (0, 0, width, height), (250, 240, 190, 0.9)),
        Shape(rrect(20, 14, width - 20, height / 2 - 2, 12), (0, 0, width, height), (255, 255, 255, 0.18)),
    ]
    cell = 6
    tw = text_width("PLAY", cell)
    shapes += text_shapes("PLAY", (width - tw) / 2.0, (height - 7 * cell) / 2.0, cell, (255, 255, 240),
                          (20, 60, 20, 0.9), 2.5)
    return render(width, height, None, shapes)


def small_button(width, height, text):
    shapes = [Shape(rrect(1, 1, width - 1, height - 1, 10), (0, 0, width, height), vgrad((200, 80, 70), (120, 30, 30), 0, height)),
              Shape(ring(rrect(2, 2, width - 2, height - 2, 9), 2), (0, 0, width, height), (250, 220, 190, 0.9))]
    cell = 3
    shapes += text_shapes(text, (width - text_width(text, cell)) / 2.0, (height - 7 * cell) / 2.0, cell,
                          (255, 245, 230), (60, 10, 10, 0.9), 1.5)
    return render(width, height, None, shapes)


def edit_back(width, height):
    return render(width, height, None, [
        Shape(rrect(1, 1, width - 1, height - 1, 8), (0, 0, width, height), (245, 238, 220)),
        Shape(ring(rrect(2, 2, width - 2, height - 2, 7), 2), (0, 0, width, height), (120, 90, 50)),
    ])


def slider_track(width):
    return render(width, 8, None, [Shape(rrect(0, 0, width, 8, 4), (0, 0, width, 8),
                                         vgrad((250, 220, 120), (170, 110, 40), 0, 8))])


def slider_thumb(size):
    c = size / 2.0
    return render(size, size, None, [
        Shape(circle(c, c, c - 1), (0, 0, size, size), (60, 30, 10)),
        Shape(circle(c, c, c - 3), (0, 0, size, size), vgrad((255, 250, 210), (220, 160, 60), 3, size - 3)),
    ])


def check_box(size, checked, over):
    frame = (255, 235, 150) if over else (220, 190, 120)
    shapes = [
        Shape(rrect(1, 1, size - 1, size - 1, 6), (0, 0, size, size), (25, 20, 45)),
        Shape(ring(rrect(2, 2, size - 2, size - 2, 5), 3 if over else 2), (0, 0, size, size), frame),
    ]
    if checked:
        tick = [(8, 16), (14, 23), (25, 9)]
        first, second = segment(*(tick[0] + tick[1] + (5,))), segment(*(tick[1] + tick[2] + (5,)))
        sdf = lambda x, y: min(first(x, y), second(x, y))
        shapes.append(Shape(sdf, (0, 0, size, size), (120, 240, 120)))
    return render(size, size, None, shapes)


def gem(kind, size):
    c = size / 2.0
    if kind == "ruby":
        n, r0, base = 8, c - 6, (220, 30, 50)
        outer = [(c + r0 * math.cos(math.pi / 8 + i * math.pi / 4), c + r0 * math.sin(math.pi / 8 + i * math.pi / 4))
                 for i in range(n)]
    elif kind == "amber":
        n, base = 12, (245, 175, 30)
        outer = [(c + (c - 6) * math.cos(i * math.pi / 6), c + (c - 14) * math.sin(i * math.pi / 6)) for i in range(n)]
    else:
        n, base = 4, (40, 210, 225)
        outer = [(c, 6), (size - 10, c), (c, size - 6), (10, c)]
    inner = [(c + (x - c) * 0.5, c + (y - c) * 0.5 - 4) for x, y in outer]
    shapes = [Shape(ring(polygon(outer), 5), (0, 0, size, size), mix(base, (0, 0, 0), 0.65))]
    for i in range(len(outer)):
        a, b = outer[i], outer[(i + 1) % len(outer)]
        ia, ib = inner[i], inner[(i + 1) % len(inner)]
        angle = math.atan2((a[1] + b[1]) / 2 - c, (a[0] + b[0]) / 2 - c)
        light = 0.5 + 0.5 * math.cos(angle + 2.2)  # lit from the top left
        colour = mix(mix(base, (0, 0, 0), 0.45), mix(base, (255, 255, 255), 0.35), light)
        shapes.append(Shape(polygon([a, b, ib, ia]), box_of([a, b, ib, ia]), colour))
    shapes.append(Shape(polygon(inner), box_of(inner), vgrad(mix(base, (255, 255, 255), 0.45), base, 0, size)))
    shapes.append(Shape(ring(polygon(outer), 2), (0, 0, size, size), mix(base, (255, 255, 255), 0.5)))
    shapes.append(Shape(ellipse(c - size * 0.12, c - size * 0.16, size * 0.1, size * 0.05),
                        (0, 0, size, size), (255, 255, 255, 0.85)))
    return render(size, size, None, shapes)


def spark(size):
    c = size / 2.0
    return render(size, size, lambda x, y: (255, 255, 255, clamp(1 - math.hypot(x - c, y - c) / c) ** 1.5), [])


def splash_page(width, height, top, bottom, emblem):
    shapes = [Shape(rrect(0, 0, width, height, 24), (0, 0, width, height), vgrad(top, bottom, 0, height)),
              Shape(ring(rrect(6, 6, width - 6, height - 6, 20), 3), (0, 0, width, height), (255, 255, 255, 0.5))]
    if emblem:
        shapes.append(Shape(circle(width / 2.0, 82, 46), (0, 0, width, 140), (255, 250, 235, 0.95)))
        wing = [(width / 2.0 - 30, 92), (width / 2.0, 52), (width / 2.0 + 30, 92), (width / 2.0, 78)]
        shapes.append(Shape(polygon(wing), box_of(wing), (40, 20, 10)))
    return render(width, height, None, shapes)


def loading_picture(width, height, accent):
    return render(width, height, None, [
        Shape(rrect(1, 1, width - 1, height - 1, 14), (0, 0, width, height), (20, 18, 40, 0.9)),
        Shape(ring(rrect(3, 3, width - 3, height - 3, 12), 2), (0, 0, width, height), accent),
        Shape(rrect(30, height - 30, width - 30, height - 20, 5), (0, 0, width, height), accent + (0.8,)),
    ])


def cursor():
    # A 16 x 16 white arrow with a black edge; everything else fully transparent.
    rows = []
    for y in range(16):
        row = bytearray()
        for x in range(16):
            inside = x <= y and x + y // 2 < 14
            edge = inside and (x == 0 or x == y or x + y // 2 == 13)
            if not inside:
                row += bytes((0, 0, 0, 0))
            elif edge:
                row += bytes((0, 0, 0, 255))
            else:
                row += bytes((255, 255, 255, 255))
        rows.append(bytes(row))
    return png_bytes(16, 16, rows)


# ---- sounds ------------------------------------------------------------------------------------


def write_wav(path, rate, samples, width=2):
    """samples: floats -1..1, mono; 16-bit signed or 8-bit unsigned."""
    if width == 2:
        frames = b"".join(struct.pack("<h", int(clamp(s, -1, 1) * 32000)) for s in samples)
    else:
        frames = bytes(int(clamp(s, -1, 1) * 120 + 128) for s in samples)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(width)
        w.setframerate(rate)
        w.writeframes(frames)


def tone(freq, seconds, rate, volume, decay):
    n = int(seconds * rate)
    return [volume * math.exp(-decay * i / rate) * (math.sin(2 * math.pi * freq * i / rate) +
            0.3 * math.sin(4 * math.pi * freq * i / rate)) for i in range(n)]


def click_samples(rate):
    # 60 ms of a 1.5 kHz tone with a linear decay
    count = int(0.06 * rate)
    return [0.37 * (1 - i / count) * math.sin(2 * math.pi * 1500 * i / rate) for i in range(count)]


def found_samples(rate):
    out = [0.0] * int(0.5 * rate)
    for k, freq in enumerate((784, 988, 1319)):
        start = int(k * 0.07 * rate)
        for i, v in enumerate(tone(freq, 0.5 - k * 0.07, rate, 0.3, 7.0)):
            if start + i < len(out):
                out[start + i] += v
    return out


def music_loop(rate, notes, bass, beat):
    """An arpeggio over a bass note a bar; the loop ends where it begins (silence at both ends)."""
    out = [0.0] * int(len(notes) * beat * rate)
    for k, freq in enumerate(notes):
        start = int(k * beat * rate)
        for i, v in enumerate(tone(freq, beat * 2, rate, 0.22, 5.0)):
            if start + i < len(out):
                out[start + i] += v
    bar = len(notes) // len(bass)
    for k, freq in enumerate(bass):
        start = int(k * bar * beat * rate)
        for i, v in enumerate(tone(freq, bar * beat, rate, 0.25, 1.5)):
            if start + i < len(out):
                out[start + i] += v
    fade = int(0.01 * rate)
    for i in range(fade):
        out[i] *= i / fade
        out[-1 - i] *= i / fade
    return out


def main():
    images = os.path.join(DATA, "images")
    for stale in ("gem_found", "gem_red", "gem_yellow", "gem_cyan"):
        path = os.path.join(images, stale + ".png")
        if os.path.exists(path):
            os.remove(path)
    pictures = {
        "splash_studio": lambda: splash_page(512, 256, (255, 160, 40), (200, 80, 20), True),
        "splash_title": lambda: splash_page(512, 256, (40, 90, 220), (20, 30, 110), False),
        "load_back": lambda: render(1024, 768, vgrad((12, 12, 30), (30, 20, 50), 0, 768), []),
        "load_default": lambda: loading_picture(400, 100, (220, 190, 120)),
        "load_level1": lambda: loading_picture(400, 100, (120, 200, 230)),
        "menu_back": menu_back,
        "menu_play": lambda: button(240, 90, False),
        "menu_play_glow": lambda: button(240, 90, True),
        "panel": lambda: panel(340, 330),
        "edit_back": lambda: edit_back(200, 40),
        "menu_remove": lambda: small_button(70, 40, "DEL"),
        "slider_track": lambda: slider_track(272),
        "slider_thumb": lambda: slider_thumb(28),
        "check_off": lambda: check_box(32, False, False),
        "check_off_over": lambda: check_box(32, False, True),
        "check_on": lambda: check_box(32, True, False),
        "check_on_over": lambda: check_box(32, True, True),
        "level1_back": level_back,
        "gem_ruby": lambda: gem("ruby", 96),
        "gem_amber": lambda: gem("amber", 96),
        "gem_topaz": lambda: gem("topaz", 96),
        "spark": lambda: spark(24),
    }
    for name, make in pictures.items():
        write(os.path.join(images, name + ".png"), make())
    write(os.path.join(images, "cursor.png"), cursor())
    png, desc = title_font()
    write(os.path.join(DATA, "fonts", "title.png"), png)
    # descriptions are read as UTF-16LE text
    write(os.path.join(DATA, "fonts", "title.txt"), desc.encode("utf-16-le"))
    sounds = os.path.join(DATA, "sounds")
    write_wav(os.path.join(sounds, "click.wav"), 22050, click_samples(22050))
    write_wav(os.path.join(sounds, "found.wav"), 22050, found_samples(22050))
    c, d, e, f, g, a, b = 262, 294, 330, 349, 392, 440, 494
    menu = [c, e, g, 2 * c, g, e] * 2 + [a / 2, c, e, a, e, c] * 2
    write_wav(os.path.join(sounds, "menu_music.wav"), 11025,
              music_loop(11025, menu, [c / 2, a / 4], 0.2), width=1)
    level = [a / 2, c, e, a, e, c] * 2 + [f / 2, a / 2, c, f, c, a / 2] * 2
    write_wav(os.path.join(sounds, "level_music.wav"), 11025,
              music_loop(11025, level, [a / 4, f / 4], 0.24), width=1)


if __name__ == "__main__":
    main()
