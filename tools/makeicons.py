#!/usr/bin/env python3
"""Draws ZENTO's toolbar images and icons and writes them as PNG and ICO files under res/.

Needs only the Python standard library. The output is deterministic, so running it again on an
unchanged script rewrites identical files; the generated files are committed and the build never
runs this script.

    tools/makeicons.py                   write everything into res/
    tools/makeicons.py --preview FILE    also write an enlarged contact sheet for a visual check
"""

import argparse
import math
import os
import struct
import zlib

# ---------------------------------------------------------------------------------------------
# Rasterizer: polygons filled with the non-zero winding rule, anti-aliased by sampling several
# rows per pixel and computing exact horizontal coverage on each sample row.

SAMPLE_ROWS = 6


def signed_area(poly):
    a = 0.0
    for i, (x0, y0) in enumerate(poly):
        x1, y1 = poly[(i + 1) % len(poly)]
        a += x0 * y1 - x1 * y0
    return a / 2


def solid(poly):
    """Orients a polygon so that it adds to the filled area (clockwise on screen)."""
    return poly if signed_area(poly) >= 0 else poly[::-1]


def hole(poly):
    """Orients a polygon so that it cuts a hole into a solid one it lies in."""
    return poly if signed_area(poly) < 0 else poly[::-1]


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        # Premultiplied RGBA, 0..1.
        self.px = [[[0.0, 0.0, 0.0, 0.0] for _ in range(width)] for _ in range(height)]

    def coverage(self, polys):
        edges = []
        ymin, ymax = math.inf, -math.inf
        for poly in polys:
            for i, (x0, y0) in enumerate(poly):
                x1, y1 = poly[(i + 1) % len(poly)]
                ymin, ymax = min(ymin, y0), max(ymax, y0)
                if y0 == y1:
                    continue
                d = 1 if y1 > y0 else -1
                if y0 > y1:
                    x0, y0, x1, y1 = x1, y1, x0, y0
                edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0), d))
        rows = {}
        if not edges:
            return rows
        weight = 1.0 / SAMPLE_ROWS
        for py in range(max(0, math.floor(ymin)), min(self.height, math.ceil(ymax))):
            row = [0.0] * self.width
            touched = False
            for j in range(SAMPLE_ROWS):
                ys = py + (j + 0.5) / SAMPLE_ROWS
                xs = sorted((x0 + (ys - y0) * k, d) for (y0, y1, x0, k, d) in edges if y0 <= ys < y1)
                wind = 0
                start = 0.0
                for x, d in xs:
                    before = wind
                    wind += d
                    if before == 0 and wind != 0:
                        start = x
                    elif before != 0 and wind == 0:
                        touched |= self._span(row, start, x, weight)
            if touched:
                rows[py] = row
        return rows

    def _span(self, row, a, b, weight):
        a, b = max(a, 0.0), min(b, float(self.width))
        if b <= a:
            return False
        ia, ib = int(a), int(b)
        if ia == ib:
            row[ia] += (b - a) * weight
            return True
        row[ia] += (ia + 1 - a) * weight
        for i in range(ia + 1, ib):
            row[i] += weight
        if ib < self.width:
            row[ib] += (b - ib) * weight
        return True

    def paint(self, polys, color):
        """Composites a colour (r, g, b, a in 0..255 / 0..1, or a function of x, y giving one)
        over the canvas wherever the polygons cover it."""
        for py, row in self.coverage(polys).items():
            out = self.px[py]
            for x, c in enumerate(row):
                if c <= 0.0:
                    continue
                r, g, b, a = color(x + 0.5, py + 0.5) if callable(color) else color
                a *= min(c, 1.0)
                p = out[x]
                k = 1.0 - a
                p[0] = r / 255.0 * a + p[0] * k
                p[1] = g / 255.0 * a + p[1] * k
                p[2] = b / 255.0 * a + p[2] * k
                p[3] = a + p[3] * k

    def rgba_rows(self):
        rows = []
        for line in self.px:
            out = bytearray()
            for r, g, b, a in line:
                if a <= 0.0:
                    out += b"\0\0\0\0"
                    continue
                out += bytes(min(255, int(v / a * 255.0 + 0.5)) for v in (r, g, b))
                out.append(min(255, int(a * 255.0 + 0.5)))
            rows.append(bytes(out))
        return rows


def blit(dst, src, ox, oy):
    for y in range(src.height):
        for x in range(src.width):
            dst.px[oy + y][ox + x] = list(src.px[y][x])


# ---------------------------------------------------------------------------------------------
# Geometry, in the units of a drawing (a toolbar image is 16 x 15 units, an icon 1 x 1); Pen
# scales it to device pixels.


def rect(x0, y0, x1, y1):
    return solid([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def circle(cx, cy, r, steps=None):
    steps = steps or max(16, int(r * 40))
    return solid([(cx + r * math.cos(2 * math.pi * i / steps), cy + r * math.sin(2 * math.pi * i / steps))
                  for i in range(steps)])


def rounded_rect(x0, y0, x1, y1, r, steps=10):
    pts = []
    for cx, cy, start in ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90),
                          (x0 + r, y0 + r, 180)):
        for i in range(steps + 1):
            t = math.radians(start + 90 * i / steps)
            pts.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    return solid(pts)


def inset(poly, d):
    """Moves every edge of a solid polygon inwards by d and joins the moved edges (mitred)."""
    poly = solid(poly)
    n = len(poly)
    lines = []
    for i in range(n):
        (x0, y0), (x1, y1) = poly[i], poly[(i + 1) % n]
        length = math.hypot(x1 - x0, y1 - y0)
        nx, ny = -(y1 - y0) / length, (x1 - x0) / length
        lines.append(((x0 + nx * d, y0 + ny * d), (x1 - x0, y1 - y0)))
    out = []
    for i in range(n):
        (px, py), (dx, dy) = lines[i - 1]
        (qx, qy), (ex, ey) = lines[i]
        den = dx * ey - dy * ex
        if abs(den) < 1e-12:
            out.append((qx, qy))
            continue
        t = ((qx - px) * ey - (qy - py) * ex) / den
        out.append((px + t * dx, py + t * dy))
    return out


def segment(a, b, width):
    (x0, y0), (x1, y1) = a, b
    length = math.hypot(x1 - x0, y1 - y0)
    nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
    return solid([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])


def stroke(points, width, round_ends=True):
    """A polyline of the given width with round joins (and round ends unless told otherwise)."""
    polys = [segment(points[i], points[i + 1], width) for i in range(len(points) - 1)]
    joints = points if round_ends else points[1:-1]
    polys += [circle(x, y, width / 2, 16) for (x, y) in joints]
    return polys


class Pen:
    """Paints drawings given in units onto a canvas at `scale` device pixels per unit."""

    def __init__(self, canvas, scale, ox=0.0, oy=0.0):
        self.canvas = canvas
        self.scale = scale
        self.ox, self.oy = ox, oy

    def fill(self, polys, color):
        if polys and isinstance(polys[0], tuple):
            polys = [polys]
        s = self.scale
        self.canvas.paint([[(self.ox + x * s, self.oy + y * s) for (x, y) in p] for p in polys], color)

    def framed(self, poly, fill, line, width=1.0):
        """A shape with an outline of the given width (in units) drawn inside its edge."""
        self.fill(poly, line)
        self.fill(inset(poly, width), fill)


# ---------------------------------------------------------------------------------------------
# Colours (r, g, b, alpha).

INK = (52, 56, 68, 1.0)
PAPER = (255, 255, 255, 1.0)
PAPER_SHADE = (214, 222, 234, 1.0)
TEXT_LINE = (150, 162, 182, 1.0)
FOLDER_BACK = (222, 160, 42, 1.0)
FOLDER_FRONT = (250, 204, 92, 1.0)
DISK = (44, 98, 178, 1.0)
METAL = (200, 206, 216, 1.0)
METAL_DARK = (120, 128, 142, 1.0)
HANDLE = (206, 52, 52, 1.0)
BOARD = (176, 122, 66, 1.0)
BOARD_DARK = (110, 70, 34, 1.0)
PRINTER = (168, 174, 186, 1.0)
LAMP = (60, 190, 80, 1.0)
INFO = (40, 112, 204, 1.0)
ZENTO_TOP = (58, 126, 214)
ZENTO_BOTTOM = (22, 64, 146)
DOT = (255, 176, 48, 1.0)


# ---------------------------------------------------------------------------------------------
# Toolbar pictograms, 16 x 15 units. Straight edges lie on whole units, so the images stay sharp
# at every whole scale; `fine` is one device pixel in units, for details that only larger scales
# can show.


def dog_ear(x, y, fold, line):
    """The folded corner of a page whose cut edge runs from (x, y) to (x + fold, y + fold),
    kept clear of the page's outline of the given width."""
    d = line * math.sqrt(2)
    return [(x, y + d), (x + fold - d, y + fold), (x, y + fold)]


def text_lines(pen, x0, x1, ys, fine):
    for y in ys:
        pen.fill(rect(x0, y, x1, y + max(fine, 0.5)), TEXT_LINE)


def draw_page(pen, x0, y0, x1, y1, fold, fine, lines=True):
    page = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    pen.framed(page, PAPER, INK)
    pen.fill(dog_ear(x1 - fold, y0, fold, 1.0), PAPER_SHADE)
    pen.fill([(x1 - fold - 1, y0), (x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold),
              (x1, y0 + fold + 1), (x1 - fold - 1, y0 + fold + 1)], INK)
    if lines and fine < 1:
        step = 2 if fine >= 0.5 else 1.5
        y = y0 + fold + 2
        ys = []
        while y + 1.5 <= y1:
            ys.append(y)
            y += step
        text_lines(pen, x0 + 2, x1 - 2, ys, fine)


def icon_new(pen, fine):
    draw_page(pen, 3, 1, 13, 14, 3, fine, lines=False)
    # A small spark: this page is new.
    pen.fill([(3.5, 0), (4.3, 1.7), (6, 2.5), (4.3, 3.3), (3.5, 5), (2.7, 3.3), (1, 2.5),
              (2.7, 1.7)], (255, 196, 0, 1.0))


def icon_open(pen, fine):
    back = [(1, 2), (6, 2), (7, 3), (13, 3), (13, 13), (1, 13)]
    pen.framed(back, FOLDER_BACK, INK)
    front = [(4, 6), (16, 6), (13, 13), (1, 13)]
    pen.fill(front, INK)
    pen.fill([(4.6, 7), (14.5, 7), (12.3, 12), (2.5, 12)], FOLDER_FRONT)


def icon_save(pen, fine):
    body = [(1, 1), (13, 1), (15, 3), (15, 14), (1, 14)]
    pen.framed(body, DISK, INK)
    pen.framed(rect(4, 1, 12, 6), METAL, INK)
    pen.fill(rect(9, 2, 11, 5), METAL_DARK)
    pen.framed(rect(3, 8, 13, 14), PAPER, INK)
    if fine < 1:
        text_lines(pen, 4.5, 11.5, [9.75, 11.5], fine)


CUT_PIXELS = [  # at the base size, where a drawn pair of scissors would only blur
    "...D........D...",
    "...DM......MD...",
    "....DM....MD....",
    "....DM....MD....",
    ".....DM..MD.....",
    ".....DM..MD.....",
    "......DMMD......",
    ".......KK.......",
    ".......DD.......",
    "......D..D......",
    "..rRRRr..rRRRr..",
    "..R...R..R...R..",
    "..R...R..R...R..",
    "..R...R..R...R..",
    "..rRRRr..rRRRr..",
]


def pixels(pen, rows, colours):
    for y, row in enumerate(rows):
        for x, key in enumerate(row):
            if key in colours:
                pen.fill(rect(x, y, x + 1, y + 1), colours[key])


def icon_cut(pen, fine):
    if fine >= 1:
        pixels(pen, CUT_PIXELS, {"D": METAL_DARK, "M": METAL, "K": INK, "R": HANDLE,
                                 "r": HANDLE[:3] + (0.35,)})
        return
    # Two blades crossing at the pivot, each ending in the ring of the other side.
    for (tx, ty), (cx, cy) in (((4.5, 0.5), (10.5, 11.5)), ((11.5, 0.5), (5.5, 11.5))):
        dx, dy = cx - tx, cy - ty
        length = math.hypot(dx, dy)
        end = (cx - dx / length * 2.0, cy - dy / length * 2.0)
        pen.fill(stroke([(tx, ty), end], 1.4 + 2 * fine), INK)
        pen.fill(stroke([(tx, ty), end], 1.4), METAL)
    for cx in (5.5, 10.5):
        pen.fill([circle(cx, 11.5, 2.9), hole(circle(cx, 11.5, 1.2))], INK)
        pen.fill([circle(cx, 11.5, 2.9 - 1.5 * fine), hole(circle(cx, 11.5, 1.2 + fine))], HANDLE)
    pen.fill(circle(8, 6.6, 0.9), INK)


def icon_copy(pen, fine):
    draw_page(pen, 1, 1, 10, 11, 2, fine)
    draw_page(pen, 6, 4, 15, 14, 2, fine)


def icon_paste(pen, fine):
    pen.framed(rect(1, 2, 12, 15), BOARD, BOARD_DARK)
    pen.framed(rect(4, 0, 9, 4), METAL, INK)
    pen.fill(rect(5.5, 1, 7.5, 2), INK)
    draw_page(pen, 6, 5, 15, 15, 2, fine)


def icon_print(pen, fine):
    pen.framed(rect(4, 0, 12, 6), PAPER, INK)
    body = [(1, 6), (15, 6), (15, 12), (1, 12)]
    pen.framed(body, PRINTER, INK)
    pen.fill(rect(2, 7, 14, 8), (214, 218, 228, 1.0))
    pen.fill(rect(12, 8.5, 13.5, 10), LAMP)
    pen.framed(rect(4, 10, 12, 15), PAPER, INK)
    if fine < 1:
        text_lines(pen, 5.5, 10.5, [11.75, 13], fine)
    else:
        pen.fill(rect(5, 12, 11, 13), TEXT_LINE)
    pen.fill(rect(4, 10, 12, 11), INK)


def icon_about(pen, fine):
    pen.fill(circle(8, 7.5, 7.2), INK)
    pen.fill(circle(8, 7.5, 7.2 - max(fine, 0.5) * 1.6), INFO)
    if fine >= 1:
        pen.fill(rect(7, 3, 9, 5), PAPER)
        pen.fill([(6, 6), (9, 6), (9, 11), (10, 11), (10, 12), (6, 12), (6, 11), (7, 11), (7, 7),
                  (6, 7)], PAPER)
        return
    pen.fill(circle(8, 3.9, 1.25), PAPER)
    pen.fill([(6.5, 6), (9, 6), (9, 11), (10, 11), (10, 12.5), (6, 12.5), (6, 11), (7, 11), (7, 7.5),
              (6.5, 7.5)], PAPER)


TOOLBAR = [("new", icon_new), ("open", icon_open), ("save", icon_save), ("cut", icon_cut),
           ("copy", icon_copy), ("paste", icon_paste), ("print", icon_print), ("about", icon_about)]
BUTTON_W, BUTTON_H = 16, 15


def toolbar_image(draw, scale):
    canvas = Canvas(BUTTON_W * scale, BUTTON_H * scale)
    draw(Pen(canvas, scale), 1.0 / scale)
    return canvas


# ---------------------------------------------------------------------------------------------
# Application and document icons, drawn in a unit square. The picture: a logistic curve rising
# from the cases that answered 0 to those that answered 1.


def sigmoid_points(x0, x1, y0, y1, steepness=11.0, n=48):
    pts = []
    for i in range(n + 1):
        t = i / n
        p = 1.0 / (1.0 + math.exp(-steepness * (t - 0.5)))
        pts.append((x0 + (x1 - x0) * t, y0 + (y1 - y0) * p))
    return pts


def draw_curve_and_data(pen, x0, x1, ylow, yhigh, size, curve, dots, thin):
    """The curve from (x0, ylow) to (x1, yhigh) with data dots on the 0 and 1 levels."""
    px = 1.0 / size
    width = max(0.085, 1.6 * px)
    if size >= 32:
        r = max(0.045, 1.4 * px)
        span = x1 - x0
        gap = 0.22 * (ylow - yhigh)
        zeros, ones = ((0.0, 0.22, 0.44), (0.56, 0.78, 1.0)) if size < 64 else \
            ((0.0, 0.16, 0.32, 0.5), (0.5, 0.68, 0.84, 1.0))
        for t in zeros:
            pen.fill(circle(x0 + span * t, ylow + gap, r), dots)
        for t in ones:
            pen.fill(circle(x0 + span * t, yhigh - gap, r), dots)
    if thin is not None and size >= 48:
        for y in (ylow + 0.22 * (ylow - yhigh), yhigh - 0.22 * (ylow - yhigh)):
            pen.fill(rect(x0 - 0.04, y - px * 0.5, x1 + 0.04, y + px * 0.5), thin)
    pen.fill(stroke(sigmoid_points(x0, x1, ylow, yhigh), width), curve)


def app_icon(size):
    canvas = Canvas(size, size)
    pen = Pen(canvas, size)
    px = 1.0 / size
    margin = 0.0 if size <= 16 else 0.03
    outer = rounded_rect(margin, margin, 1 - margin, 1 - margin, 0.2)
    pen.fill(outer, (14, 40, 96, 1.0))

    def gradient(x, y):
        t = min(max(y / size, 0.0), 1.0)
        c = [a + (b - a) * t for a, b in zip(ZENTO_TOP, ZENTO_BOTTOM)]
        return (c[0], c[1], c[2], 1.0)

    rim = max(px, 0.015)
    pen.fill(rounded_rect(margin + rim, margin + rim, 1 - margin - rim, 1 - margin - rim, 0.2 - rim),
             gradient)
    if size <= 16:
        draw_curve_and_data(pen, 0.14, 0.86, 0.76, 0.24, size, PAPER, DOT, None)
    else:
        draw_curve_and_data(pen, 0.2, 0.8, 0.68, 0.32, size, PAPER, DOT, (255, 255, 255, 0.28))
    return canvas


def document_icon(size):
    canvas = Canvas(size, size)
    pen = Pen(canvas, size)
    px = 1.0 / size
    line = max(px, 0.03)
    fold = 0.24
    x0, y0, x1, y1 = 0.14, 0.04, 0.86, 0.96
    if size <= 16:
        x0, x1, y0, y1 = 2 * px, 1 - 2 * px, 0.0, 1.0
    page = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    pen.framed(page, PAPER, (96, 104, 120, 1.0), line)
    pen.fill(dog_ear(x1 - fold, y0, fold, line), PAPER_SHADE)
    pen.fill([(x1 - fold - line, y0), (x1 - fold, y0), (x1 - fold, y0 + fold - line),
              (x1, y0 + fold - line), (x1, y0 + fold), (x1 - fold - line, y0 + fold)],
             (96, 104, 120, 1.0))
    if size >= 48:
        for i, y in enumerate((0.13, 0.21)):
            pen.fill(rect(x0 + 0.1, y, x1 - fold - 0.08 - 0.12 * i, y + max(px, 0.025)), TEXT_LINE)
    cx0, cx1 = x0 + 0.1, x1 - 0.1
    draw_curve_and_data(pen, cx0, cx1, 0.8, 0.46, size, (36, 96, 190, 1.0), DOT, None)
    return canvas


ICON_SIZES = [16, 32, 48, 64, 128, 256]


# ---------------------------------------------------------------------------------------------
# File formats.


def png_bytes(canvas):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = b"".join(b"\0" + row for row in canvas.rgba_rows())
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def dib_bytes(canvas):
    """A 32-bit icon bitmap: header, bottom-up BGRA rows, then the 1-bit AND mask (all clear)."""
    w, h = canvas.width, canvas.height
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(canvas.rgba_rows()):
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    return header + bytes(pixels) + bytes(mask_stride * h)


def ico_bytes(canvases):
    """Windows icon: bitmaps for the small sizes, PNG for 128 and 256 as current shells expect."""
    images = [png_bytes(c) if c.width >= 128 else dib_bytes(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def enlarged(canvas, factor):
    big = Canvas(canvas.width * factor, canvas.height * factor)
    for y in range(big.height):
        for x in range(big.width):
            big.px[y][x] = list(canvas.px[y // factor][x // factor])
    return big


def contact_sheet(groups):
    """Rows of images on a checkered background, each enlarged to about the same size."""
    gap = 8
    width = max(sum(c.width + gap for c in row) + gap for row in groups)
    height = sum(max(c.height for c in row) + gap for row in groups) + gap
    sheet = Canvas(width, height)
    for y in range(height):
        for x in range(width):
            v = 0.93 if ((x // 8) + (y // 8)) % 2 else 0.8
            sheet.px[y][x] = [v, v, v, 1.0]
    y = gap
    for row in groups:
        x = gap
        for c in row:
            for yy in range(c.height):
                for xx in range(c.width):
                    r, g, b, a = c.px[yy][xx]
                    d = sheet.px[y + yy][x + xx]
                    sheet.px[y + yy][x + xx] = [r + d[0] * (1 - a), g + d[1] * (1 - a), b + d[2] * (1 - a), 1.0]
            x += c.width + gap
        y += max(c.height for c in row) + gap
    return sheet


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "res"), help="resource folder")
    parser.add_argument("--preview", help="also write an enlarged contact sheet to this PNG file")
    args = parser.parse_args()
    out = os.path.normpath(args.out)

    preview = []
    for scale in (1, 2, 3):
        suffix = "" if scale == 1 else "@%dx" % scale
        strip = Canvas(BUTTON_W * scale * len(TOOLBAR), BUTTON_H * scale)
        images = []
        for i, (name, draw) in enumerate(TOOLBAR):
            image = toolbar_image(draw, scale)
            images.append(image)
            write(os.path.join(out, "toolbar", name + suffix + ".png"), png_bytes(image))
            blit(strip, image, i * BUTTON_W * scale, 0)
        write(os.path.join(out, "toolbar", "toolbar" + suffix + ".png"), png_bytes(strip))
        preview.append([enlarged(im, 12 // scale) for im in images] + [strip])

    for stem, draw in (("zento", app_icon), ("zento-document", document_icon)):
        canvases = [draw(size) for size in ICON_SIZES]
        for size, canvas in zip(ICON_SIZES, canvases):
            write(os.path.join(out, "icons", "%s-%d.png" % (stem, size)), png_bytes(canvas))
        write(os.path.join(out, "icons", stem + ".ico"), ico_bytes(canvases))
        preview.append([enlarged(c, max(1, 128 // c.width)) for c in canvases[:5]] + [canvases[5]])
        preview.append(canvases)

    if args.preview:
        write(args.preview, png_bytes(contact_sheet(preview)))


if __name__ == "__main__":
    main()
