#!/usr/bin/env python3
"""Draws every picture of the Corvane client and writes them into the repository.

    python3 tools/art/make_art.py [--out DIR]

Without --out the files land in the repository (resources/ and updater/res/);
with it they land under DIR with the same relative paths.  The drawing is
deterministic: the same script writes the same bytes every time.

Only the standard library is used.  Shapes are described by signed distance
functions in pixel coordinates (pixel (x, y) covers x..x+1, y..y+1, its centre
is x+0.5, y+0.5); their anti-aliased coverage is clamp(0.5 - distance).
"""

import argparse
import itertools
import math
import operator
import os
import struct
import sys
import zlib
from array import array

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

# ----------------------------------------------------------------------------
# Colours
# ----------------------------------------------------------------------------

WHITE = (255, 255, 255)
MAGENTA = (255, 0, 255)          # the tab skins' transparent colour
OUTLINE = (22, 52, 110)          # dark navy edge of the window chrome

# Tab strip backgrounds (top and bottom rows of the one-pixel skin columns).
TAB0_TOP, TAB0_BOTTOM = (61, 162, 232), (15, 106, 172)
TAB1_TOP, TAB1_BOTTOM = (100, 143, 230), (36, 79, 166)

# Close glyph colours of the tab skins.
GLYPH_SELECTED = (61, 78, 110)
GLYPH_NORMAL = (37, 42, 51)
GLYPH_HOVER_DISC = (193, 53, 53)
GLYPH_PRESSED_DISC = (67, 30, 32)

GOLD_LIGHT = (255, 238, 178)
GOLD = (236, 190, 96)
GOLD_DARK = (176, 118, 42)


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(c0, c1, t):
    """Linear blend of two colours, t = 0 gives c0."""
    if len(c0) == 3 and len(c1) == 3:
        return (c0[0] + (c1[0] - c0[0]) * t, c0[1] + (c1[1] - c0[1]) * t, c0[2] + (c1[2] - c0[2]) * t)
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def ramp(stops, t):
    """Colour at t along [(t0, colour0), (t1, colour1), ...] with ascending t."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0))
    return stops[-1][1]


def to_byte(v):
    v = int(v + 0.5)
    return 0 if v < 0 else 255 if v > 255 else v


def smoothstep(e0, e1, v):
    t = clamp((v - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


SCALES = (1.0, 1.25, 1.5, 1.75, 2.0)   # the display scales every picture is drawn for


def sz(v, s):
    """A length of the 100 % design at scale s: whole pixels, halves to even,
    as the program scales its own geometry."""
    return int(round(v * s))


def band_colour(y, s=1.0):
    """Caption band colour of window row y at scale s.

    Rows 3..34 (at 100 %) carry the main window's tab strip, whose background
    is the style-1 skin column stretched over 32 rows; the band continues that
    same gradient so the strip's ends disappear into it.  Row 0 is the
    window's dark top edge, rows 1 and 2 a soft highlight above the strip.
    """
    top, rows, edge = sz(3, s), sz(32, s), sz(1, s)
    base = mix(TAB1_TOP, TAB1_BOTTOM, (y - top) / float(rows - 1))
    if y < edge:
        return OUTLINE
    if y < top:
        # the highlight fades from 0.28 on its first row to 0.1 on its last
        k, n = y - edge, top - edge
        strength = 0.28 if k == 0 else 0.1 if k == n - 1 else 0.28 - 0.18 * k / (n - 1)
        return mix(base, WHITE, strength)
    return base


# ----------------------------------------------------------------------------
# Canvas: premultiplied RGBA in floats, colour 0..255, alpha 0..1
# ----------------------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, colour=None):
        self.w, self.h = w, h
        n = w * h
        if colour is None:
            self.r, self.g, self.b, self.a = (array("d", [0.0]) * n for _ in range(4))
        else:
            self.r = array("d", [float(colour[0])]) * n
            self.g = array("d", [float(colour[1])]) * n
            self.b = array("d", [float(colour[2])]) * n
            self.a = array("d", [1.0]) * n

    def over(self, i, c, a):
        """Composites straight colour c with opacity a over pixel index i."""
        k = 1.0 - a
        self.r[i] = self.r[i] * k + c[0] * a
        self.g[i] = self.g[i] * k + c[1] * a
        self.b[i] = self.b[i] * k + c[2] * a
        self.a[i] = self.a[i] * k + a

    def under(self, i, c, a):
        """Composites straight colour c with opacity a beneath pixel index i."""
        k = (1.0 - self.a[i]) * a
        self.r[i] += c[0] * k
        self.g[i] += c[1] * k
        self.b[i] += c[2] * k
        self.a[i] += k

    def set(self, x, y, c, a=1.0):
        i = y * self.w + x
        self.r[i], self.g[i], self.b[i], self.a[i] = c[0] * a, c[1] * a, c[2] * a, a

    def fill_rows(self, colour_of_row, x0=0, x1=None, y0=0, y1=None):
        """Opaque fill where every row has one colour."""
        x1 = self.w if x1 is None else x1
        y1 = self.h if y1 is None else y1
        n = x1 - x0
        for y in range(y0, y1):
            c = colour_of_row(y)
            i = y * self.w + x0
            self.r[i:i + n] = array("d", [float(c[0])]) * n
            self.g[i:i + n] = array("d", [float(c[1])]) * n
            self.b[i:i + n] = array("d", [float(c[2])]) * n
            self.a[i:i + n] = array("d", [1.0]) * n

    def rgba(self, x, y):
        """Straight 8-bit colour of a pixel."""
        i = y * self.w + x
        a = self.a[i]
        if a <= 0.0:
            return (0, 0, 0, 0)
        return (to_byte(self.r[i] / a), to_byte(self.g[i] / a), to_byte(self.b[i] / a), to_byte(a * 255))

    def rgb(self, x, y):
        return self.rgba(x, y)[:3]

    def rows_rgba(self):
        """Rows of straight RGBA bytes, top row first."""
        w = self.w
        rows = []
        for y in range(self.h):
            i0, i1 = y * w, (y + 1) * w
            alpha = self.a[i0:i1]
            inv = [1.0 / a if a > 0.0 else 0.0 for a in alpha]
            out = bytearray(4 * w)
            for k, channel in enumerate((self.r, self.g, self.b)):
                out[k::4] = bytes([int(v * f + 0.5) for v, f in zip(channel[i0:i1], inv)])
            out[3::4] = bytes([int(a * 255 + 0.5) for a in alpha])
            rows.append(bytes(out))
        return rows


# ----------------------------------------------------------------------------
# Shapes: signed distance in pixels (negative inside) and a bounding box
# ----------------------------------------------------------------------------

class Shape:
    box = (0.0, 0.0, 0.0, 0.0)

    def sd(self, x, y):
        raise NotImplementedError


class RoundRect(Shape):
    """Rectangle x0..x1, y0..y1 (pixel edges) with corner radius r."""

    def __init__(self, x0, y0, x1, y1, r=0.0):
        self.cx, self.cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
        self.hw, self.hh = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r
        self.r = r
        self.box = (x0, y0, x1, y1)

    def sd(self, x, y):
        qx = x - self.cx
        qx = (qx if qx > 0.0 else -qx) - self.hw
        qy = y - self.cy
        qy = (qy if qy > 0.0 else -qy) - self.hh
        if qx <= 0.0 and qy <= 0.0:
            return (qx if qx > qy else qy) - self.r
        if qx <= 0.0:
            return qy - self.r
        if qy <= 0.0:
            return qx - self.r
        return math.sqrt(qx * qx + qy * qy) - self.r


class Circle(Shape):
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r
        self.box = (cx - r, cy - r, cx + r, cy + r)

    def sd(self, x, y):
        return math.hypot(x - self.cx, y - self.cy) - self.r


class Ellipse(Shape):
    """Axis-aligned ellipse; the distance is approximate but smooth at the edge."""

    def __init__(self, cx, cy, rx, ry):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, ry
        self.box = (cx - rx, cy - ry, cx + rx, cy + ry)

    def sd(self, x, y):
        dx, dy = (x - self.cx) / self.rx, (y - self.cy) / self.ry
        k = math.hypot(dx, dy)
        if k == 0.0:
            return -min(self.rx, self.ry)
        # distance scaled by the local gradient length
        g = math.hypot(dx / self.rx, dy / self.ry) / k
        return (k - 1.0) / g


def _segment_distance(x, y, ax, ay, bx, by):
    ex, ey = bx - ax, by - ay
    wx, wy = x - ax, y - ay
    ll = ex * ex + ey * ey
    t = 0.0 if ll == 0.0 else clamp((wx * ex + wy * ey) / ll)
    dx, dy = wx - ex * t, wy - ey * t
    return math.sqrt(dx * dx + dy * dy)


class Polyline(Shape):
    """Open polyline stroked with width w and round ends."""

    def __init__(self, points, w):
        self.segs = list(zip(points, points[1:]))
        self.hw = w / 2.0
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.box = (min(xs) - self.hw, min(ys) - self.hw, max(xs) + self.hw, max(ys) + self.hw)

    def sd(self, x, y):
        d = min(_segment_distance(x, y, a[0], a[1], b[0], b[1]) for a, b in self.segs)
        return d - self.hw


class Polygon(Shape):
    """Exact distance to a simple polygon."""

    def __init__(self, points):
        self.p = [(float(a), float(b)) for a, b in points]
        xs = [p[0] for p in self.p]
        ys = [p[1] for p in self.p]
        self.box = (min(xs), min(ys), max(xs), max(ys))

    def sd(self, x, y):
        p = self.p
        d = (x - p[0][0]) ** 2 + (y - p[0][1]) ** 2
        s = 1.0
        j = len(p) - 1
        for i in range(len(p)):
            vix, viy = p[i]
            vjx, vjy = p[j]
            ex, ey = vjx - vix, vjy - viy
            wx, wy = x - vix, y - viy
            t = clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
            bx, by = wx - ex * t, wy - ey * t
            dd = bx * bx + by * by
            if dd < d:
                d = dd
            c1, c2, c3 = y >= viy, y < vjy, ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                s = -s
            j = i
        return s * math.sqrt(d)


class Offset(Shape):
    """Grows (d > 0) or shrinks (d < 0) a shape; growing rounds its corners."""

    def __init__(self, shape, d):
        self.s, self.d = shape, d
        b = shape.box
        self.box = (b[0] - d, b[1] - d, b[2] + d, b[3] + d)

    def sd(self, x, y):
        return self.s.sd(x, y) - self.d


class Stroke(Shape):
    """The outline of a shape, w pixels wide, centred on its edge."""

    def __init__(self, shape, w):
        self.s, self.hw = shape, w / 2.0
        b = shape.box
        self.box = (b[0] - self.hw, b[1] - self.hw, b[2] + self.hw, b[3] + self.hw)

    def sd(self, x, y):
        return abs(self.s.sd(x, y)) - self.hw


class Union(Shape):
    def __init__(self, *shapes):
        self.shapes = shapes
        self.box = (min(s.box[0] for s in shapes), min(s.box[1] for s in shapes),
                    max(s.box[2] for s in shapes), max(s.box[3] for s in shapes))

    def sd(self, x, y):
        best = 1e9
        for s in self.shapes:
            b = s.box
            # a shape whose box is farther away than the best so far cannot win
            gap = b[0] - x
            for g in (x - b[2], b[1] - y, y - b[3]):
                if g > gap:
                    gap = g
            if gap < best:
                d = s.sd(x, y)
                if d < best:
                    best = d
        return best


class Subtract(Shape):
    def __init__(self, shape, cut):
        self.s, self.cut = shape, cut
        self.box = shape.box

    def sd(self, x, y):
        return max(self.s.sd(x, y), -self.cut.sd(x, y))


class Intersect(Shape):
    def __init__(self, a, b):
        self.sa, self.sb = a, b
        self.box = (max(a.box[0], b.box[0]), max(a.box[1], b.box[1]),
                    min(a.box[2], b.box[2]), min(a.box[3], b.box[3]))

    def sd(self, x, y):
        return max(self.sa.sd(x, y), self.sb.sd(x, y))


class Shifted(Shape):
    """A shape moved by (dx, dy)."""

    def __init__(self, shape, dx, dy):
        self.s, self.dx, self.dy = shape, dx, dy
        b = shape.box
        self.box = (b[0] + dx, b[1] + dy, b[2] + dx, b[3] + dy)

    def sd(self, x, y):
        return self.s.sd(x - self.dx, y - self.dy)


class Scaled(Shape):
    """A shape of the 100 % design drawn at scale s (distances scale with it)."""

    def __init__(self, shape, s):
        self.s, self.k = shape, s
        b = shape.box
        self.box = (b[0] * s, b[1] * s, b[2] * s, b[3] * s)

    def sd(self, x, y):
        return self.s.sd(x / self.k, y / self.k) * self.k


def at_scale(shape, s):
    return shape if s == 1.0 else Scaled(shape, s)


def snap(v, s):
    """An edge of the 100 % design, which lies on a pixel line, scaled and put
    back on the nearest pixel line so scaled glyphs stay sharp."""
    return v if s == 1.0 else math.floor(v + 0.5)


def cross(cx, cy, k, w):
    """Two strokes of width w from (cx - k, cy - k) to (cx + k, cy + k) and crosswise."""
    return Union(Polyline([(cx - k, cy - k), (cx + k, cy + k)], w),
                 Polyline([(cx - k, cy + k), (cx + k, cy - k)], w))


def coverage(shape, x, y):
    """Anti-aliased coverage of pixel (x, y)."""
    return clamp(0.5 - shape.sd(x + 0.5, y + 0.5))


# ----------------------------------------------------------------------------
# Painting
# ----------------------------------------------------------------------------

def vgrad(y0, c0, y1, c1):
    """Paint: vertical gradient from c0 at y0 to c1 at y1."""
    return vramp(y0, y1, [(0.0, c0), (1.0, c1)])


def vramp(y0, y1, stops):
    """Paint: vertical gradient through several stops between y0 and y1."""
    span = float(y1 - y0)
    rows = {}

    def paint(x, y):
        c = rows.get(y)
        if c is None:
            c = rows[y] = ramp(stops, (y - y0) / span)
        return c
    paint.by_row = True
    return paint


def radial(cx, cy, r, stops):
    def paint(x, y):
        return ramp(stops, math.hypot(x - cx, y - cy) / r)
    return paint


def _pixel_range(cv, box, grow):
    x0 = max(0, int(math.floor(box[0] - grow)))
    y0 = max(0, int(math.floor(box[1] - grow)))
    x1 = min(cv.w, int(math.ceil(box[2] + grow)) + 1)
    y1 = min(cv.h, int(math.ceil(box[3] + grow)) + 1)
    return x0, y0, x1, y1


BLOCK = 8                       # side of the blocks that painting skips or fills whole
BLOCK_REACH = BLOCK * 0.7072    # centre-to-corner distance of a block


def _blocks(x0, y0, x1, y1):
    for by in range(y0, y1, BLOCK):
        for bx in range(x0, x1, BLOCK):
            yield bx, by, min(bx + BLOCK, x1), min(by + BLOCK, y1)


def draw(cv, shape, paint, alpha=1.0):
    """Fills a shape with a colour, or with paint(x, y) -> colour [+ alpha].

    The distance at a block's centre bounds the distance anywhere in it, so
    blocks well outside are skipped and blocks well inside need no edge test.
    """
    const = not callable(paint)
    by_row = const or getattr(paint, "by_row", False)
    sd = shape.sd
    for bx0, by0, bx1, by1 in _blocks(*_pixel_range(cv, shape.box, 1.0)):
        centre = sd((bx0 + bx1) / 2.0, (by0 + by1) / 2.0)
        if centre > BLOCK_REACH + 0.5:
            continue
        solid = centre < -BLOCK_REACH - 0.5
        if solid and by_row and alpha == 1.0:
            # the whole block is inside and every row has one opaque colour
            n = bx1 - bx0
            for y in range(by0, by1):
                c = paint if const else paint(bx0 + 0.5, y + 0.5)
                if len(c) > 3 and c[3] < 1.0:
                    break
                i = y * cv.w + bx0
                cv.r[i:i + n] = array("d", [float(c[0])]) * n
                cv.g[i:i + n] = array("d", [float(c[1])]) * n
                cv.b[i:i + n] = array("d", [float(c[2])]) * n
                cv.a[i:i + n] = array("d", [1.0]) * n
            else:
                continue
        for y in range(by0, by1):
            py = y + 0.5
            row = y * cv.w
            for x in range(bx0, bx1):
                px = x + 0.5
                if solid:
                    cov = 1.0
                else:
                    cov = 0.5 - sd(px, py)
                    if cov <= 0.0:
                        continue
                    if cov > 1.0:
                        cov = 1.0
                c = paint if const else paint(px, py)
                a = cov * alpha * (c[3] if len(c) > 3 else 1.0)
                if a > 0.0:
                    cv.over(row + x, c, a)


def coverage_field(cv, shape):
    """Coverage of a shape over its pixel box: ((x0, y0, x1, y1), values row by row)."""
    x0, y0, x1, y1 = area = _pixel_range(cv, shape.box, 1.0)
    w = x1 - x0
    values = array("d", [0.0]) * (w * (y1 - y0))
    sd = shape.sd
    for bx0, by0, bx1, by1 in _blocks(*area):
        centre = sd((bx0 + bx1) / 2.0, (by0 + by1) / 2.0)
        if centre > BLOCK_REACH + 0.5:
            continue
        solid = centre < -BLOCK_REACH - 0.5
        for y in range(by0, by1):
            row = (y - y0) * w - x0
            for x in range(bx0, bx1):
                values[row + x] = 1.0 if solid else clamp(0.5 - sd(x + 0.5, y + 0.5))
    return area, values


def glow(cv, shape, colour, alpha, spread, inside=1.0, dx=0.0, dy=0.0, hollow=False):
    """Soft light or shadow around a shape: strength `inside` within the shape,
    fading to nothing `spread` pixels outside it; (dx, dy) shifts it.  A
    hollow glow skips the shape's deep inside (for shadows hidden beneath it)."""
    b = shape.box
    sd = shape.sd
    area = _pixel_range(cv, (b[0] + dx, b[1] + dy, b[2] + dx, b[3] + dy), spread + 1)
    for bx0, by0, bx1, by1 in _blocks(*area):
        centre = sd((bx0 + bx1) / 2.0 - dx, (by0 + by1) / 2.0 - dy)
        if centre > spread + BLOCK_REACH:
            continue
        solid = centre < -BLOCK_REACH
        if solid and hollow:
            continue
        for y in range(by0, by1):
            py = y + 0.5 - dy
            row = y * cv.w
            for x in range(bx0, bx1):
                d = -1.0 if solid else sd(x + 0.5 - dx, py)
                if d >= spread:
                    continue
                if d <= 0.0:
                    f = inside
                else:
                    f = 1.0 - d / spread
                    f = f * f * (3 - 2 * f) * inside
                if f > 0.0:
                    cv.over(row + x, colour, alpha * f)


def rng(seed):
    """Small deterministic generator of floats in [0, 1)."""
    state = [seed & 0xFFFFFFFF]

    def next_value():
        state[0] = (state[0] * 1664525 + 1013904223) & 0xFFFFFFFF
        return state[0] / 4294967296.0
    return next_value


# ----------------------------------------------------------------------------
# Lettering: a small stroked capital alphabet with thick stems and thin
# horizontals (the distance is measured with the vertical axis stretched).
# Coordinates: cap height 1, y downwards, x from the letter's left stem.
# ----------------------------------------------------------------------------

def _arc(cx, cy, rx, ry, a0, a1, n=18):
    return [(cx + rx * math.cos(a0 + (a1 - a0) * i / n), cy + ry * math.sin(a0 + (a1 - a0) * i / n))
            for i in range(n + 1)]


PI = math.pi
LETTERS = {
    # letter: (advance width, [polyline, ...])
    "L": (0.66, [[(0, 0), (0, 1), (0.58, 1), (0.62, 0.84)], [(-0.11, 0), (0.11, 0)]]),
    "U": (0.76, [[(0, 0), (0, 0.64)] + _arc(0.36, 0.64, 0.36, 0.36, PI, 0) + [(0.72, 0)],
                 [(-0.11, 0), (0.11, 0)], [(0.61, 0), (0.83, 0)]]),
    "M": (0.9, [[(0, 1), (0.06, 0), (0.42, 0.8), (0.78, 0), (0.84, 1)],
                [(-0.1, 1), (0.12, 1)], [(0.72, 1), (0.94, 1)]]),
    "O": (0.88, [_arc(0.42, 0.5, 0.42, 0.5, 0, 2 * PI, 40)]),
    "R": (0.74, [[(0, 1), (0, 0), (0.34, 0)] + _arc(0.34, 0.26, 0.27, 0.26, -PI / 2, PI / 2, 14)
                 + [(0, 0.52)], [(0.26, 0.52), (0.66, 1), (0.76, 1)], [(-0.11, 1), (0.11, 1)]]),
    "A": (0.82, [[(0, 1), (0.38, 0), (0.76, 1)], [(0.17, 0.64), (0.59, 0.64)],
                 [(-0.1, 1), (0.1, 1)], [(0.66, 1), (0.86, 1)]]),
    "V": (0.82, [[(0, 0), (0.38, 1), (0.76, 0)], [(-0.1, 0), (0.1, 0)], [(0.66, 0), (0.86, 0)]]),
    "E": (0.66, [[(0.58, 0.14), (0.56, 0), (0, 0), (0, 1), (0.6, 1), (0.62, 0.84)],
                 [(0, 0.5), (0.44, 0.5)], [(-0.11, 0), (0, 0)], [(-0.11, 1), (0, 1)]]),
    "D": (0.82, [[(0, 0), (0, 1), (0.3, 1)] + _arc(0.3, 0.5, 0.44, 0.5, PI / 2, -PI / 2, 20) + [(0, 0)],
                 [(-0.11, 0), (0, 0)], [(-0.11, 1), (0, 1)]]),
    "N": (0.8, [[(0, 1), (0, 0), (0.7, 1), (0.7, 0)], [(-0.11, 1), (0.11, 1)], [(0.59, 0), (0.81, 0)]]),
    "I": (0.3, [[(0, 0), (0, 1)], [(-0.12, 0), (0.12, 0)], [(-0.12, 1), (0.12, 1)]]),
    "G": (0.86, [_arc(0.44, 0.5, 0.44, 0.5, -PI / 4, -2 * PI + 0.08, 34) + [(0.88, 0.86)],
                 [(0.54, 0.56), (0.9, 0.56)]]),
    " ": (0.34, []),
}


class Lettering:
    """A line of capitals laid out at (x, baseline_top) with the given cap height."""

    def __init__(self, text, x, y, cap, weight=0.14, tracking=0.16, contrast=1.9, scale=None):
        self.cap, self.contrast = cap, contrast
        self.hw = weight * cap / 2.0
        self.glyphs = []          # (box, [segments in pixel coordinates])
        pen = x
        scale = scale or [1.0] * len(text)
        for ch, s in zip(text, scale):
            adv, strokes = LETTERS[ch]
            c = cap * s
            top = y + cap - c       # larger letters share the baseline
            segs = []
            for line in strokes:
                pts = [(pen + px * c, top + py * c) for px, py in line]
                segs.extend(zip(pts, pts[1:]))
            if segs:
                xs = [p[0] for sg in segs for p in sg]
                ys = [p[1] for sg in segs for p in sg]
                self.glyphs.append(((min(xs), min(ys), max(xs), max(ys)), segs))
            pen += (adv + tracking) * c
        self.width = pen - tracking * cap - x
        self.box = (x - self.hw, y - self.hw, pen, y + cap + self.hw)

    def field(self, x0, y0, x1, y1, reach):
        """Signed distances at the pixel centres of x0..x1, y0..y1 (exclusive
        ends), measured up to `reach` outside the strokes; farther is reach."""
        w, h = x1 - x0, y1 - y0
        k = self.contrast
        limit = (reach + self.hw) ** 2
        best = array("d", [limit]) * (w * h)
        grow = reach + self.hw + 1
        for _, segs in self.glyphs:
            for (ax, ay), (bx, by) in segs:
                ex, ey = bx - ax, (by - ay) * k
                ll = ex * ex + ey * ey
                sx0 = max(x0, int(min(ax, bx) - grow))
                sx1 = min(x1, int(max(ax, bx) + grow) + 1)
                sy0 = max(y0, int(min(ay, by) - grow / k))
                sy1 = min(y1, int(max(ay, by) + grow / k) + 1)
                for y in range(sy0, sy1):
                    wy = (y + 0.5 - ay) * k
                    row = (y - y0) * w - x0
                    for x in range(sx0, sx1):
                        wx = x + 0.5 - ax
                        t = 0.0 if ll == 0.0 else (wx * ex + wy * ey) / ll
                        t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
                        dx, dy = wx - ex * t, wy - ey * t
                        d = dx * dx + dy * dy
                        if d < best[row + x]:
                            best[row + x] = d
        hw = self.hw
        return array("d", (math.sqrt(d) - hw for d in best))


def draw_lettering(cv, text, fill, outline=None, outline_w=1.0, glow_colour=None, glow_alpha=0.0,
                   glow_r=0.0, shadow=None, s=1.0):
    """Composites lettering: glow, drop shadow (colour, alpha, dy), outline, fill."""
    reach = max(glow_r, outline_w + 1.0, 3.0 * s if shadow else 0.0)
    x0, y0, x1, y1 = _pixel_range(cv, text.box, reach + 1)
    field = text.field(x0, y0, x1, y1, reach)
    w = x1 - x0
    const = not callable(fill)
    for y in range(y0, y1):
        py = y + 0.5
        row = y * cv.w
        frow = (y - y0) * w - x0
        for x in range(x0, x1):
            d = field[frow + x]
            if d >= reach:
                continue
            i = row + x
            if glow_colour and d < glow_r:
                f = 1.0 if d <= 0 else (1.0 - d / glow_r) ** 2
                cv.over(i, glow_colour, glow_alpha * f)
            if shadow:
                # the shadow is the field a few rows up, blended between rows
                sy = y - shadow[2]
                j = int(math.floor(sy))
                if y0 <= j and j + 1 < y1:
                    t = sy - j
                    ds = field[(j - y0) * w + x - x0] * (1 - t) + field[(j + 1 - y0) * w + x - x0] * t
                    a = clamp(0.5 - ds + 0.8 * s) * shadow[1]
                    if a > 0:
                        cv.over(i, shadow[0], a)
            if outline and d < outline_w + 0.5:
                cv.over(i, outline, clamp(0.5 - (d - outline_w)))
            if d < 0.5:
                c = fill if const else fill(x + 0.5, py)
                cv.over(i, c, clamp(0.5 - d))


# ----------------------------------------------------------------------------
# File formats
# ----------------------------------------------------------------------------

def avoid_colour(row, rgb):
    """Nudges every pixel of an RGBA row that has exactly this colour by one
    step of blue, so the picture never shows it."""
    pattern = bytes(rgb)
    start = row.find(pattern)
    if start < 0:
        return row
    out = bytearray(row)
    while start >= 0:
        if start % 4 == 0:
            out[start + 2] = rgb[2] + 1 if rgb[2] < 255 else rgb[2] - 1
        start = row.find(pattern, start + 1)
    return bytes(out)


def encode_png(cv, avoid=None):
    """32-bit RGBA PNG, every row filtered with 'Up'; `avoid` is a colour
    that must not appear."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = bytearray()
    prev = bytes(4 * cv.w)
    for row in cv.rows_rgba():
        if avoid:
            row = avoid_colour(row, avoid)
        raw.append(2)
        raw.extend(map(operator.mod, map(operator.sub, row, prev), itertools.repeat(256)))
        prev = row
    header = struct.pack(">IIBBBBB", cv.w, cv.h, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 6)) + chunk(b"IEND", b""))


def encode_bmp(w, h, rgb_at):
    """24-bit uncompressed bottom-up BMP; rgb_at(x, y) gives each pixel."""
    stride = (3 * w + 3) & ~3
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = rgb_at(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - 3 * w)
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    return head + info + bytes(pixels)


def canvas_bmp(cv):
    """A canvas as BMP; any transparency left over is composited on white."""
    def rgb_at(x, y):
        r, g, b, a = cv.rgba(x, y)
        if a == 255:
            return (r, g, b)
        k = a / 255.0
        return tuple(to_byte(c * k + 255 * (1 - k)) for c in (r, g, b))
    return encode_bmp(cv.w, cv.h, rgb_at)


def _and_mask(w, h, transparent):
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def ico_image_32(cv):
    w, h = cv.w, cv.h
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = cv.rgba(x, y)
            xor += bytes((b, g, r, a))
    mask = _and_mask(w, h, lambda x, y: cv.rgba(x, y)[3] == 0)
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + mask


def ico_image_8(cv):
    """Palettised image: pixels under half opacity become transparent, the
    others keep their own colour (a 16 x 16 image has at most 256 colours)."""
    w, h = cv.w, cv.h
    solid = lambda x, y: cv.rgba(x, y)[3] >= 128
    colours = sorted({cv.rgb(x, y) for y in range(h) for x in range(w) if solid(x, y)})
    palette = [(0, 0, 0)] + colours if len(colours) < 256 else colours
    assert len(palette) <= 256
    index = {c: i for i, c in enumerate(palette)}
    stride = (w + 3) & ~3
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            row[x] = index[cv.rgb(x, y)] if solid(x, y) else 0
        xor += row
    mask = _and_mask(w, h, lambda x, y: not solid(x, y))
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette) + bytes(4 * (256 - len(palette)))
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    return info + pal + bytes(xor) + mask


def encode_ico(images):
    """images: [(canvas, bits)] in directory order; bits 8 or 32, or 0 for a
    32-bit PNG image (how 256 x 256 images are stored)."""
    def blob_of(cv, bits):
        return encode_png(cv) if bits == 0 else ico_image_8(cv) if bits == 8 else ico_image_32(cv)
    blobs = [(cv, bits, blob_of(cv, bits)) for cv, bits in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for cv, bits, blob in blobs:
        out += struct.pack("<BBBBHHII", cv.w % 256, cv.h % 256, 0, 0, 1, bits or 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blob for _, _, blob in blobs)


# ----------------------------------------------------------------------------
# The emblem: a gold-ringed blue medallion holding a four-pointed star of
# light.  Used by the logo, the icon and the two banners.
# ----------------------------------------------------------------------------

def star_points(cx, cy, r_out, r_in, n=4, turn=-PI / 2):
    pts = []
    for i in range(2 * n):
        r = r_out if i % 2 == 0 else r_in
        a = turn + PI * i / n
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def emblem(cv, cx, cy, R, s=1.0):
    """s widens the hairlines and the smallest details with the display scale."""
    ring = max(1.25 * s, R * 0.15)
    disc = Circle(cx, cy, R)
    inner = Circle(cx, cy, R - ring)
    draw(cv, disc, vramp(cy - R, cy + R, [(0, GOLD_LIGHT), (0.45, GOLD), (1, GOLD_DARK)]))
    draw(cv, Stroke(Circle(cx, cy, R - 0.45 * s), 0.9 * s), (92, 58, 18), 0.55)
    draw(cv, inner, radial(cx, cy - R * 0.35, R * 1.35,
                           [(0, (92, 158, 242)), (0.45, (36, 84, 178)), (1, (10, 26, 78))]))
    draw(cv, Stroke(inner, 0.8 * s), (84, 54, 16), 0.5)
    r_in = R - ring
    if R >= 10:
        # faint stars in the medallion's sky
        for fx, fy, fr in ((-0.5, -0.42, 0.05), (0.52, -0.3, 0.04), (0.38, 0.5, 0.035), (-0.44, 0.4, 0.03)):
            draw(cv, Circle(cx + fx * r_in, cy + fy * r_in, max(0.45 * s, fr * R)), (210, 230, 255), 0.8)
    tiny = R < 10
    glow(cv, Circle(cx, cy, r_in * 0.12), (176, 220, 255), 0.35 if tiny else 0.7, r_in * 0.7)
    if tiny:
        star = Polygon(star_points(cx, cy, r_in * 0.98, r_in * 0.2))
    else:
        star = Polygon(star_points(cx, cy, r_in * 0.86, r_in * 0.22))
        small = Polygon(star_points(cx, cy, r_in * 0.46, r_in * 0.14, turn=-PI / 4))
        draw(cv, small, vgrad(cy - r_in, (255, 250, 226), cy + r_in, (226, 196, 120)), 0.85)
    draw(cv, star, vgrad(cy - r_in, WHITE, cy + r_in, (250, 226, 160)))
    # glass highlight over the upper half of the medallion
    sheen = Intersect(inner, Circle(cx, cy - R * 0.95, R * 0.95))
    draw(cv, sheen, vgrad(cy - R, WHITE + (0.22,), cy, WHITE + (0.0,)))


# ----------------------------------------------------------------------------
# Window chrome
# ----------------------------------------------------------------------------

CAPTION_BUTTON_TOP = 1      # caption buttons sit one pixel below the window's top


def chrome_plate(cv, x0, w, h, state, red=False, s=1.0):
    """Hover or pressed plate of a caption button frame starting at x0."""
    plate = RoundRect(x0 + s, 0.5 * s, x0 + w - s, h - 0.5 * s, 3 * s)
    if state == "normal":
        return
    if red:
        top, bottom = ((236, 86, 72), (198, 40, 34)) if state == "hover" else ((168, 36, 30), (196, 54, 44))
        draw(cv, plate, vgrad(0, top, h, bottom))
        draw(cv, Stroke(Offset(plate, -0.5 * s), s), (120, 20, 20), 0.55)
        if state == "hover":
            draw(cv, Intersect(plate, RoundRect(x0, 0, x0 + w, h / 2, 0)), WHITE, 0.12)
        return
    if state == "hover":
        draw(cv, plate, vgrad(0, WHITE + (0.3,), h, WHITE + (0.12,)))
        draw(cv, Stroke(Offset(plate, -0.5 * s), s), WHITE, 0.35)
    else:
        draw(cv, plate, vgrad(0, OUTLINE + (0.45,), h, OUTLINE + (0.25,)))
        draw(cv, Stroke(Offset(plate, -0.5 * s), s), OUTLINE, 0.45)


def chrome_glyph(cv, shape, pressed, s=1.0):
    """White glyph with a soft shadow; a pressed glyph moves down a pixel."""
    dy = float(sz(1, s)) if pressed else 0.0
    glow(cv, shape, (10, 30, 70), 0.45, 1.2 * s, dy=dy + s)
    draw(cv, Shifted(shape, 0, dy), (250, 252, 255))


def glyph_box(cx, cy, s):
    """Rectangles of a glyph designed around (cx, cy) at 100 %: edges given as
    offsets from the centre, scaled and kept on pixel lines."""
    def box(x0, y0, x1, y1, r):
        return RoundRect(snap(cx + x0 * s, s), snap(cy + y0 * s, s), snap(cx + x1 * s, s), snap(cy + y1 * s, s), r * s)
    return box


def glyph_minimise(cx, cy, s=1.0):
    box = glyph_box(cx, cy, s)
    return box(-4, 1, 4, 3, 0.6)


def glyph_maximise(cx, cy, s=1.0):
    box = glyph_box(cx, cy, s)
    return Subtract(box(-4.5, -4, 4.5, 4, 1.0), box(-3.5, -2, 3.5, 3, 0.3))


def glyph_restore(cx, cy, s=1.0):
    box = glyph_box(cx, cy, s)
    front_outer = box(-4.5, -1, 2.5, 5, 0.8)
    front = Subtract(front_outer, box(-3.5, 1, 1.5, 4, 0.2))
    back_outer = box(-1.5, -4, 5.5, 2, 0.8)
    back = Subtract(back_outer, box(-0.5, -2, 4.5, 1, 0.2))
    return Union(front, Subtract(back, Offset(front_outer, float(sz(1, s)))))


def glyph_close(cx, cy, s=1.0):
    return cross(cx, cy, 3.6 * s, 1.9 * s)


def glyph_menu(cx, cy, s=1.0):
    box = glyph_box(cx, cy, s)
    return Union(*(box(-5, dy - 1, 5, dy + 1, 0.8) for dy in (-4, 0, 4)))


def caption_strip(frame_w, frames, red_hover=False, s=1.0):
    """frames: [(state, glyph function)] side by side, 18 pixels high at 100 %;
    at scale s every frame is frame_w * s wide (whole pixels)."""
    fw, h = sz(frame_w, s), sz(18, s)
    top = sz(CAPTION_BUTTON_TOP, s)
    cv = Canvas(fw * len(frames), h)
    cv.fill_rows(lambda y: band_colour(y + top, s))
    for i, (state, glyph) in enumerate(frames):
        x0 = i * fw
        chrome_plate(cv, x0, fw, h, state, red_hover, s)
        chrome_glyph(cv, glyph(x0 + fw / 2.0, h / 2.0, s), state == "pressed", s)
    return cv


STATES = ("normal", "hover", "pressed")


def caption_min(s=1.0):
    return caption_strip(24, [(st, glyph_minimise) for st in STATES], s=s)


def caption_minmax(s=1.0):
    return caption_strip(25, [(st, glyph_maximise) for st in STATES] + [(st, glyph_restore) for st in STATES], s=s)


def caption_close(s=1.0):
    return caption_strip(43, [(st, glyph_close) for st in STATES], red_hover=True, s=s)


def caption_tool(s=1.0):
    return caption_strip(24, [(st, glyph_menu) for st in STATES], s=s)


LOGO_TOP = 2                 # the logo picture box starts two pixels below the window's top


def logo(s=1.0):
    n = sz(29, s)
    c = n / 2.0
    top = sz(LOGO_TOP, s)
    cv = Canvas(n, n)
    cv.fill_rows(lambda y: band_colour(y + top, s))
    glow(cv, Circle(c, c + 0.5 * s, 13.0 * s), (8, 24, 64), 0.35, 1.6 * s)
    emblem(cv, c, c, 13.2 * s, s)
    return cv


BORDER = (58, 104, 190)          # the 4-pixel window border
BORDER_INNER = (124, 160, 222)   # its innermost line, next to the white content
BAND_ROWS = 33                   # caption band height in the frame skin


def frame_skin(s=1.0):
    """94 x 85 picture of a whole window: band, 4-pixel border, white inside.

    The caption control tiles it: band pieces are columns 0..36, 20..40 and
    27..94 of rows 0..36; the borders are columns 0..3 and 90..93 of rows
    53..73 and the bottom rows 81..84.  Everything between the rounded
    corners is therefore uniform along its edge.  At scale s every length is
    scaled to whole pixels, the outline and the inner line included.
    """
    w, h = sz(94, s), sz(85, s)
    line, border, band = sz(1, s), sz(4, s), sz(BAND_ROWS, s)
    top = RoundRect(0, 0, w, 48 * s, 4.5 * s)
    bottom = RoundRect(0, 36 * s, w, h, 3.0 * s)
    body = Union(top, bottom)
    inner = Offset(body, -float(line))
    inner_line = range(border - line, border)
    cv = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            if y < band:
                fill = band_colour(y, s)
            elif ((x in inner_line or w - 1 - x in inner_line) and h - 1 - y >= border - line
                  or h - 1 - y in inner_line and border - line <= x <= w - 1 - (border - line)):
                fill = BORDER_INNER
            else:
                fill = BORDER
            c = mix(OUTLINE, fill, coverage(inner, x, y))
            cv.set(x, y, c)
    for y in range(band, h - border):
        for x in range(border, w - border):
            cv.set(x, y, WHITE)
    return cv


# ----------------------------------------------------------------------------
# Tab strip skins
# ----------------------------------------------------------------------------

class TabSkinLayout:
    """Where the pieces of a tab skin lie.  Left to right, packed: the
    one-pixel background column, the three tab cells (normal, mouse over,
    selected) and the four close glyphs (selected, normal, mouse over,
    pressed).  At scale s the column stays one pixel wide (it is stretched
    anyway) and every other piece is its 100 % size scaled to whole pixels, so
    at 100 % the cells start at 1, 123, 245 and the glyphs at 367, 379, 391,
    403 (style 0)."""

    def __init__(self, style, s=1.0):
        self.style = style
        if style == 0:
            h, strip_h, cell_w, cell_h, glyph_y = 25, 25, 122, 25, 6
            self.top, self.bottom = TAB0_TOP, TAB0_BOTTOM
        else:
            h, strip_h, cell_w, cell_h, glyph_y = 28, 32, 124, 26, 7
            self.top, self.bottom = TAB1_TOP, TAB1_BOTTOM
        self.h, self.strip_h = sz(h, s), sz(strip_h, s)
        self.cell_w, self.cell_h = sz(cell_w, s), sz(cell_h, s)
        self.glyph = sz(12, s)
        self.glyph_y = sz(glyph_y, s)       # where the strip puts a glyph on its tab
        self.margin = sz(14, s)             # the cells' ends that are copied, not stretched
        self.cells = tuple(1 + k * self.cell_w for k in range(3))
        self.glyphs = tuple(1 + 3 * self.cell_w + k * self.glyph for k in range(4))
        self.w = 1 + 3 * self.cell_w + 4 * self.glyph

    def column(self, y):
        """The exact background column colour of skin row y."""
        t = y / float(self.h - 1)
        return tuple(to_byte(a + (b - a) * t) for a, b in zip(self.top, self.bottom))

    def strip_colour(self, y):
        """Background of strip row y once the column is stretched to the strip."""
        return mix(self.top, self.bottom, y / float(self.strip_h - 1))


# Tab faces: (top colour, bottom colour) of the fill.
TAB_FACES = {
    0: {"normal": ((206, 230, 249), (152, 198, 238)),
        "hover": ((232, 245, 254), (186, 220, 247)),
        "selected": ((253, 254, 255), (233, 242, 251))},
    1: {"normal": ((210, 226, 251), (160, 190, 240)),
        "hover": ((234, 242, 254), (190, 212, 248)),
        "selected": ((255, 255, 255), (222, 227, 236))},
}
TAB_EDGE = (20, 66, 124)
KEY_THRESHOLD = 0.3      # a pixel less covered than this stays transparent


def tab_shape(style, w, h, s=1.0):
    if style == 0:
        # trapezoid, 14-pixel slanted sides; rounded top corners end inside them
        r = 3.0 * s
        core = Polygon([(0.0 + r * 0.55, h + 4 * s), (11.5 * s + r * 0.25, 1.2 * s + r),
                        (w - 11.5 * s - r * 0.25, 1.2 * s + r), (w - r * 0.55, h + 4 * s)])
        return Offset(core, r)
    return RoundRect(0.5 * s, 0.5 * s, w - 0.5 * s, h - 0.5 * s, (h - s) / 2.0)


def tab_face(layout, kind, s=1.0):
    """One tab cell drawn over the strip background; returns (canvas, shape)."""
    w, h = layout.cell_w, layout.cell_h
    cv = Canvas(w, h)
    cv.fill_rows(layout.strip_colour)
    shape = tab_shape(layout.style, w, h, s)
    top, bottom = TAB_FACES[layout.style][kind]
    edge = TAB_EDGE if layout.style == 0 else (34, 70, 146)
    draw(cv, shape, edge)
    face = Offset(shape, -s)
    draw(cv, face, vgrad(s, top, h - s, bottom))
    # a bright line just inside the top edge
    draw(cv, Intersect(Stroke(Offset(face, -0.5 * s), s), RoundRect(-5 * s, -5 * s, w + 5 * s, h * 0.45, 0)),
         WHITE, 0.55)
    return cv, shape


def close_glyph(layout, kind, s=1.0):
    """12 x 12 close glyph (at 100 %); returns (canvas, shape).  The
    anti-aliasing is blended with the tab face the glyph is drawn on."""
    top, bottom = TAB_FACES[layout.style]["selected" if kind == "selected" else "normal"]
    n = layout.glyph
    c = n / 2.0
    cv = Canvas(n, n)
    cv.fill_rows(lambda y: mix(top, bottom, (y + layout.glyph_y) / float(layout.cell_h - 1)))
    if kind in ("selected", "normal"):
        shape = cross(c, c, 2.9 * s, 1.8 * s)
        draw(cv, shape, GLYPH_SELECTED if kind == "selected" else GLYPH_NORMAL)
        return cv, shape
    disc = Circle(c, c, c)
    disc_colour, cross_colour = ((GLYPH_HOVER_DISC, WHITE) if kind == "hover"
                                 else (GLYPH_PRESSED_DISC, (236, 214, 214)))
    draw(cv, disc, disc_colour)
    draw(cv, cross(c, c, 2.6 * s, 1.7 * s), cross_colour)
    return cv, disc


def tab_skin(style, s=1.0):
    """The tab skin bitmap as (w, h, rgb(x, y)); magenta where nothing is
    drawn.  Every other pixel is a colour drawn over the strip background, so
    no edge is ever blended with the transparent colour."""
    layout = TabSkinLayout(style, s)
    pixels = {}
    for y in range(layout.h):
        pixels[(0, y)] = layout.column(y)
    pieces = [(x, 0, tab_face(layout, kind, s)) for x, kind in zip(layout.cells, ("normal", "hover", "selected"))]
    pieces += [(x, 0, close_glyph(layout, kind, s))
               for x, kind in zip(layout.glyphs, ("selected", "normal", "hover", "pressed"))]
    for px, py, (cv, shape) in pieces:
        for y in range(cv.h):
            for x in range(cv.w):
                if coverage(shape, x, y) >= KEY_THRESHOLD:
                    pixels[(px + x, py + y)] = cv.rgb(x, y)
    return layout.w, layout.h, lambda x, y: pixels.get((x, y), MAGENTA)


# ----------------------------------------------------------------------------
# Text-link buttons on the caption band ("游戏大厅", "登录其他帐号") and the
# message box's push buttons
# ----------------------------------------------------------------------------

def link_strip(s=1.0):
    """13 x 22: three 4-pixel frames, each uniform across so it can be
    stretched to any width; the thirteenth column repeats the normal frame.
    At scale s: three frames of 4 * s whole pixels, then that one column."""
    looks = (lambda c: c, lambda c: mix(c, WHITE, 0.07), lambda c: mix(c, OUTLINE, 0.14))
    fw, h, edge = sz(4, s), sz(22, s), sz(1, s)
    w = 3 * fw + 1
    cv = Canvas(w, h)
    for y in range(h):
        base = band_colour(y, s)
        for x in range(w):
            frame = min(x // fw, 2) if x < 3 * fw else 0
            cv.set(x, y, base if y < edge else looks[frame](base))
    return cv


def link_icon(w, glyph, s=1.0):
    cv = Canvas(sz(w, s), sz(22, s))
    cv.fill_rows(lambda y: band_colour(y, s))
    glyph = at_scale(glyph, s)
    glow(cv, glyph, (8, 26, 70), 0.5, 1.4 * s, dy=s)
    draw(cv, glyph, vgrad(4 * s, WHITE, 18 * s, (220, 232, 250)))
    return cv


def btn_gamespace_icon(s=1.0):
    """A small hall: pediment roof, columns, steps."""
    roof = Offset(Polygon([(3.0, 8.4), (8.0, 4.6), (13.0, 8.4)]), 0.7)
    beam = RoundRect(3.0, 9.0, 13.0, 10.2, 0.3)
    cols = [RoundRect(x, 10.2, x + 1.6, 15.4, 0.2) for x in (3.6, 7.2, 10.8)]
    steps = Union(RoundRect(2.5, 15.4, 13.5, 16.6, 0.2), RoundRect(1.5, 16.6, 14.5, 17.8, 0.3))
    return link_icon(16, Union(roof, beam, steps, *cols), s)


def btn_otheruser_icon(s=1.0):
    """A person: head and shoulders."""
    head = Circle(6.5, 8.0, 2.9)
    body = Intersect(Ellipse(6.5, 17.6, 5.3, 5.4), RoundRect(0, 11.7, 13, 17.4, 0))
    return link_icon(13, Union(head, Offset(body, -0.1)), s)


def btn_gamespace_strip(s=1.0):
    return link_strip(s)


def btn_otheruser_strip(s=1.0):
    return link_strip(s)


def btn_yesno_strip(s=1.0):
    """225 x 22: normal, hover, pressed push buttons, 75 pixels each, on the
    message box's white.  The face keeps a one-pixel white margin left and
    right so that shrinking a frame to the 65-pixel button never drops its
    edge.  The button's shapes are drawn at scale s into frames of 75 * s
    whole pixels."""
    looks = {
        "normal": ((255, 255, 255), (226, 234, 246), (132, 158, 200)),
        "hover": ((246, 251, 255), (200, 224, 252), (68, 128, 206)),
        "pressed": ((190, 210, 238), (226, 236, 250), (52, 96, 168)),
    }
    fw, h, m = sz(75, s), sz(22, s), sz(1, s)
    cv = Canvas(3 * fw, h, WHITE)
    for i, state in enumerate(STATES):
        x0 = fw * i
        top, bottom, edge = looks[state]
        face = RoundRect(x0 + m, 0, x0 + fw - m, h, 3.5 * s)
        glow(cv, RoundRect(x0 + 1.5 * s, 0.5 * s, x0 + fw - 1.5 * s, h - 0.5 * s, 3 * s), (0, 20, 60), 0.08, s,
             dy=0.6 * s)
        draw(cv, face, edge)
        inner = Offset(face, -s)
        draw(cv, inner, vgrad(s, top, h - s, bottom))
        if state != "pressed":
            draw(cv, Intersect(Stroke(Offset(inner, -0.5 * s), s), RoundRect(x0, 0, x0 + fw, h / 2.0, 0)), WHITE, 0.8)
        else:
            draw(cv, Intersect(Stroke(Offset(inner, -0.5 * s), s), RoundRect(x0, 0, x0 + fw, 6 * s, 0)), OUTLINE,
                 0.18)
    return cv


PROGRESS_EDGE = (96, 124, 172)     # shared by the filled and the empty look


class ProgressLayout:
    """Columns of the progress skin, packed left to right: left cap, middle
    (stretched), right cap, empty track; at 100 % 3, 2, 3 and 2 columns.  At
    scale s each piece is its width scaled to whole pixels."""

    def __init__(self, s=1.0):
        self.cap, self.middle, self.track = sz(3, s), sz(2, s), sz(2, s)
        self.line = sz(1, s)                  # the edge line around the bar
        self.h = sz(10, s)
        self.filled = 2 * self.cap + self.middle
        self.w = self.filled + self.track


def progress_skin(s=1.0):
    """10 x 10 updater progress bar: columns 0..7 the filled bar (end caps
    0..2 and 5..7, middle 3..4 stretched), columns 8..9 the empty track.
    Only the outermost columns carry the rounded ends, so the last column,
    always drawn from the filled cap, also closes an empty track.  At scale s
    the eight rows of colour inside the edge lines are spread over the taller
    inside, row by row."""
    fill = [(150, 206, 255), (118, 188, 252), (92, 170, 246), (70, 152, 238),
            (52, 134, 226), (40, 118, 212), (34, 106, 200), (52, 120, 208)]
    track = [(214, 222, 234), (228, 234, 242), (236, 240, 246), (240, 243, 248),
             (243, 245, 249), (245, 247, 250), (246, 248, 251), (240, 243, 248)]
    lay = ProgressLayout(s)
    e, w, h = lay.line, lay.w, lay.h
    inside = h - 2 * e

    def shade(colours, y):
        # 100 % row of the inside row y, sampled at its centre
        return colours[min(7, int((y - e + 0.5) * 8 / inside))]

    edge_x = (range(0, e), range(lay.filled - e, lay.filled))
    edge_y = (range(0, e), range(h - e, h))
    cv = Canvas(w, h, WHITE)
    for x in range(w):
        for y in range(h):
            on_x = any(x in r for r in edge_x)
            on_y = any(y in r for r in edge_y)
            if on_y or on_x:
                c = PROGRESS_EDGE
                if on_x and on_y:
                    c = mix(PROGRESS_EDGE, WHITE, 0.62)
            else:
                c = shade(fill, y) if x < lay.filled else shade(track, y)
            cv.set(x, y, c)
    # soften the inner corners of the end caps
    for xs in (range(e, 2 * e), range(lay.filled - 2 * e, lay.filled - e)):
        for ys in (range(e, 2 * e), range(h - 2 * e, h - e)):
            for x in xs:
                for y in ys:
                    cv.set(x, y, mix(cv.rgb(x, y), PROGRESS_EDGE, 0.35))
    return cv


# ----------------------------------------------------------------------------
# Program icon
# ----------------------------------------------------------------------------

# (size, bits) in file order; bits 0 is a PNG image.  The first five are the
# icon of old; the others are the sizes Windows asks for at 125 % to 200 % and
# for large views.
ICON_LAYOUT = ((16, 8), (48, 32), (32, 32), (24, 32), (16, 32), (256, 0), (64, 32), (40, 32), (20, 32))


def icon_image(size):
    cv = Canvas(size, size)
    c = size / 2.0
    R = c - (0.8 if size <= 16 else size / 40.0)
    if size >= 24:
        glow(cv, Circle(c, c + size / 48.0, R), (0, 10, 40), 0.35, size / 24.0)
    # hairlines grow only beyond the sizes drawn for 100 %
    emblem(cv, c, c, R, max(1.0, size / 48.0))
    return cv


def vld_ico():
    return encode_ico([(icon_image(size), bits) for size, bits in ICON_LAYOUT])



# ----------------------------------------------------------------------------
# Banners
# ----------------------------------------------------------------------------

def scatter_stars(cv, seed, count, area, shape=None, brightness=1.0, s=1.0):
    """Small stars inside area (x0, y0, x1, y1), none inside or near `shape`;
    the same stars at every scale s (area and shape given at that scale)."""
    rnd = rng(seed)
    x0, y0, x1, y1 = area
    for _ in range(count):
        x, y = x0 + rnd() * (x1 - x0), y0 + rnd() * (y1 - y0)
        size, light = rnd(), rnd()
        if shape is not None and shape.sd(x, y) < 3 * s:
            continue
        r = (0.35 + 0.55 * size * size) * s
        colour = mix((200, 220, 255), (255, 240, 214), rnd())
        a = (0.35 + 0.65 * light) * brightness
        if size > 0.93:
            glow(cv, Circle(x, y, 0.4 * s), colour, a * 0.5, 3.5 * s)
            draw(cv, Polygon(star_points(x, y, 3.2 * s, 0.5 * s)), colour, a)
        else:
            draw(cv, Circle(x, y, r), colour, a)


def title_fill(y0, y1):
    return vramp(y0, y1, [(0, (255, 246, 214)), (0.45, (248, 214, 132)), (0.55, (226, 172, 78)),
                          (1, (255, 226, 150))])


def splash(s=1.0):
    """356 x 122 splash banner with a loading bar; transparent outside its rounded body."""
    k = lambda v: v * s      # noqa: E731  (a length of the 100 % design)
    w, h = sz(356, s), sz(122, s)
    cv = Canvas(w, h)
    body = RoundRect(k(4), k(3), w - k(4), h - k(5), k(12))
    glow(cv, Offset(body, -k(2)), (0, 6, 24), 0.5, k(5), dy=k(1.5))
    draw(cv, body, vramp(k(3), h - k(5), [(0, (38, 66, 140)), (0.5, (18, 36, 92)), (1, (10, 20, 56))]))
    glow(cv, Circle(k(64), k(58), k(16)), (90, 150, 255), 0.22, k(62))
    scatter_stars(cv, 7, 70, (k(10), k(8), w - k(10), h - k(12)), Circle(k(64), k(58), k(44)), 0.8, s)
    # glass highlight on the upper part and a thin gold inner frame
    draw(cv, Intersect(body, RoundRect(0, 0, w, k(46), 0)), vgrad(k(3), WHITE + (0.16,), k(46), WHITE + (0.0,)))
    draw(cv, Stroke(Offset(body, -k(3.5)), k(1.0)), GOLD, 0.5)
    draw(cv, Stroke(Offset(body, -k(0.5)), k(1.0)), (6, 14, 40), 0.9)
    glow(cv, Circle(k(64), k(58), k(38)), (0, 0, 20), 0.45, k(5), dy=k(2))
    emblem(cv, k(64), k(58), k(38), s)
    # title, centred over the loading bar
    left, right = k(118), k(338)
    title = fitted_title(left + k(4), right - k(4), k(34), k(20))
    draw_lettering(cv, title, title_fill(k(30), k(54)), outline=(46, 26, 6), outline_w=k(1.0),
                   glow_colour=(255, 200, 110), glow_alpha=0.22, glow_r=k(7), shadow=((0, 0, 10), 0.6, k(1.5)), s=s)
    ornament_line(cv, left + k(8), right - k(8), k(66), GOLD, s)
    # loading bar, a little more than half full
    track = RoundRect(left, k(80), right, k(89), k(4.5))
    draw(cv, track, (4, 10, 30), 0.55)
    draw(cv, Stroke(Offset(track, k(0.5)), k(1.0)), (120, 160, 230), 0.35)
    done = left + (right - left) * 0.62
    bar = Intersect(Offset(track, -k(1.5)), RoundRect(left, 0, done, h, 0))
    draw(cv, bar, vramp(k(81), k(88), [(0, (200, 236, 255)), (0.5, (90, 170, 255)), (1, (40, 110, 230))]))
    glow(cv, Circle(done - k(1.5), k(84.5), k(1.5)), (170, 220, 255), 0.7, k(9))
    draw(cv, Circle(done - k(2.5), k(84.5), k(1.6)), WHITE, 0.9)
    loading = Lettering("LOADING", left, k(96), k(7), weight=0.17, tracking=0.3, contrast=1.3)
    draw_lettering(cv, loading, (178, 200, 240), s=s)
    for i in range(3):
        draw(cv, Circle(loading.box[2] + k(3) + k(5) * i, k(102.2), k(1.0)), (178, 200, 240), 1.0 - 0.28 * i)
    return cv


TITLE_SCALE = [1.22] + [1] * 6 + [1.22] + [1] * 5    # larger initials of "LUMORA VELDAN"


def fitted_title(x0, x1, y, cap):
    """The title centred between x0 and x1, its cap height reduced to fit."""
    probe = Lettering("LUMORA VELDAN", 0, 0, cap, scale=TITLE_SCALE)
    if probe.width > x1 - x0:
        cap *= (x1 - x0) / probe.width
    probe = Lettering("LUMORA VELDAN", 0, 0, cap, scale=TITLE_SCALE)
    return Lettering("LUMORA VELDAN", x0 + (x1 - x0 - probe.width) / 2.0, y, cap, scale=TITLE_SCALE)


def ornament_line(cv, x0, x1, y, colour, s=1.0):
    """A gold hairline fading to both ends with a small diamond in the middle."""
    mid = (x0 + x1) / 2.0
    half = (x1 - x0) / 2.0
    d = 3.5 * s

    def fade(x, _):
        return colour + (clamp(1.0 - abs(x - mid) / half) ** 0.8 * 0.9,)
    draw(cv, RoundRect(x0, y - 0.5 * s, x1, y + 0.5 * s, 0.5 * s), fade)
    diamond = Polygon([(mid, y - d), (mid + d, y), (mid, y + d), (mid - d, y)])
    glow(cv, diamond, colour, 0.3, 4 * s)
    draw(cv, diamond, vgrad(y - d, GOLD_LIGHT, y + d, GOLD_DARK))



# ----------------------------------------------------------------------------
# Login background: a caption band, a moonlit valley with a castle and the
# title on the left, a light framed panel on the right where the login page
# puts its form (about x 520..850, y 110..430).  The page's own links sit on
# the band at the top right.
# ----------------------------------------------------------------------------

LOGIN_W, LOGIN_H = 888, 518
LOGIN_BODY = (4, 3, 884, 514)          # inside the soft shadow margin
LOGIN_BAND_BOTTOM = 40                 # last row of the caption band
LOGIN_PANEL = (506, 94, 864, 446)
MOON = (262.0, 214.0, 58.0)
CASTLE_X = 262.0                       # the castle crowns the hill below the moon
LAKE_TOP = 410                         # far shore of the lake in the valley

SKY = [(0.0, (8, 14, 44)), (0.3, (22, 34, 88)), (0.56, (54, 58, 132)), (0.74, (120, 86, 150)),
       (0.88, (214, 136, 126)), (1.0, (252, 196, 146))]
SKY_TOP, SKY_HORIZON = LOGIN_BAND_BOTTOM + 1, 404


def ridge(x, waves, base, bump=None):
    """Height of a mountain line at x: a sum of sines, sharp peaks and an
    optional hill (centre, height, half width)."""
    y = base
    for amp, freq, phase, sharp in waves:
        v = math.sin(x * freq + phase)
        y -= amp * (1.0 - abs(v)) if sharp else amp * v
    if bump:
        y -= bump[1] * math.exp(-((x - bump[0]) / bump[2]) ** 4)
    return y


MOUNTAIN_LAYERS = [
    # (waves, base row, hill, top colour, bottom colour, rim light)
    ([(30, 0.011, 0.4, True), (16, 0.031, 1.3, True), (6, 0.083, 2.0, False)], 360, None,
     (104, 92, 166), (156, 120, 170), 0.35),
    ([(22, 0.0072, 2.2, True), (10, 0.024, 0.2, True), (4, 0.071, 1.1, False)], 404,
     (CASTLE_X, 58, 84), (58, 54, 118), (84, 70, 132), 0.3),
    ([(10, 0.0105, 4.0, False), (6, 0.029, 0.8, True), (2, 0.12, 0.5, False)], 462, None,
     (30, 30, 72), (38, 36, 82), 0.16),
    ([(12, 0.0063, 1.7, False), (6, 0.022, 2.9, False), (2.5, 0.15, 0.3, False)], 492, None,
     (14, 16, 40), (10, 10, 28), 0.0),
]
MISTS = [(374, 22, 0.34), (406, 12, 0.26), (462, 10, 0.18), (494, 8, 0.1)]   # (row, half height, strength) per layer
MIST_COLOUR = (196, 170, 214)


def sky_colour(y):
    return ramp(SKY, (y - SKY_TOP) / float(SKY_HORIZON - SKY_TOP))


def water_colour(x, y):
    """The lake: the sky mirrored and darkened, with the moon's path on it."""
    depth = y - LAKE_TOP
    c = mix(sky_colour(SKY_HORIZON - 4 - depth * 2.4), (18, 24, 70), 0.35 + clamp(depth / 60.0) * 0.3)
    mx = MOON[0]
    spread = 16.0 + depth * 0.9
    path = math.exp(-((x - mx) / spread) ** 2)
    if path > 0.01:
        ripple = 0.5 + 0.5 * math.sin(y * 2.1 + math.sin(x * 0.21) * 1.5)
        c = mix(c, (250, 238, 220), path * ripple * ripple * 0.75)
    if depth < 1.5:
        c = mix(c, (230, 200, 220), 0.35 * (1.5 - depth) / 1.5)
    return c


class LoginLayout:
    """The login picture's rectangles at scale s, in whole pixels."""

    def __init__(self, s=1.0):
        self.s = s
        self.w, self.h = sz(LOGIN_W, s), sz(LOGIN_H, s)
        bx0, by0, bx1, by1 = LOGIN_BODY
        self.body = (sz(bx0, s), sz(by0, s), self.w - sz(LOGIN_W - bx1, s), self.h - sz(LOGIN_H - by1, s))
        self.band_bottom = sz(LOGIN_BAND_BOTTOM, s)
        self.panel = tuple(sz(v, s) for v in LOGIN_PANEL)
        self.moon = tuple(v * s for v in MOON)


def login_scene(cv, lay):
    """Sky, moon glow, mountain layers, lake and mist, one pass over the body.
    The scene is described at 100 %; u = pixel centre / s is where a pixel
    lies in it."""
    s = lay.s
    bx0, by0, bx1, by1 = lay.body
    mx, my, mr = lay.moon
    halo = (214, 214, 255)
    rim_colour = (236, 214, 236)
    layers = []
    for waves, base, hill, top, bottom, rim in MOUNTAIN_LAYERS:
        heights = [ridge((x + 0.5) / s, waves, base, hill) * s for x in range(cv.w + 1)]
        norms = [1.0 / math.hypot(1.0, heights[x + 1] - heights[x]) for x in range(cv.w)]
        layers.append((heights, norms, min(heights) - 2 * s, max(heights) + 2 * s, top, bottom, rim))
    R, G, B, A = cv.r, cv.g, cv.b, cv.a
    shade_depth, rim_depth, lake_top = 70.0 * s, 3.0 * s, LAKE_TOP * s
    for y in range(lay.band_bottom + 1, by1):
        py = y + 0.5
        sky = sky_colour(py / s)
        # the last layer that covers the whole row hides everything behind it
        first = 0
        for k, layer in enumerate(layers):
            if py > layer[3]:
                first = k
        opaque = py > layers[first][3]
        active = []
        for k, (heights, norms, lo, hi, top, bottom, rim) in enumerate(layers):
            if k >= first and py > lo:
                m = MISTS[k][2] * math.exp(-((py / s - MISTS[k][0]) / MISTS[k][1]) ** 2) * 0.7
                active.append((k, heights, norms, mix(top, MIST_COLOUR, m), mix(bottom, MIST_COLOUR, m), rim))
        near_moon = abs(py - my) < mr * 4
        row = y * cv.w
        for x in range(bx0, bx1):
            px = x + 0.5
            if opaque:
                c = None
            else:
                c = sky
                if near_moon and abs(px - mx) < mr * 4:
                    d = math.hypot(px - mx, py - my) / mr
                    if d < 4.0:
                        g = 0.5 * math.exp(-(d - 1.0) * 1.5) if d > 1.0 else 0.5
                        c = (c[0] + (halo[0] - c[0]) * g, c[1] + (halo[1] - c[1]) * g, c[2] + (halo[2] - c[2]) * g)
            for k, heights, norms, top, bottom, rim in active:
                depth = py - heights[x]
                cov = 0.5 + depth * norms[x]
                if cov <= 0.0:
                    continue
                t = depth / shade_depth if depth < shade_depth else 1.0
                shade = (top[0] + (bottom[0] - top[0]) * t, top[1] + (bottom[1] - top[1]) * t,
                         top[2] + (bottom[2] - top[2]) * t)
                if rim and depth < rim_depth:
                    shade = mix(shade, rim_colour, rim * (1.0 - depth / rim_depth))
                c = shade if (cov >= 1.0 or c is None) else mix(c, shade, cov)
                if k == 1 and py > lake_top:
                    c = water_colour(px / s, py / s)
            i = row + x
            R[i], G[i], B[i], A[i] = c[0], c[1], c[2], 1.0


def login_castle(cv, s=1.0):
    """A castle crowning the hill in front of the moon, windows lit.  Shapes
    are laid out at 100 % and drawn at scale s."""
    waves, base, hill = MOUNTAIN_LAYERS[1][:3]
    foot = ridge(CASTLE_X, waves, base, hill) + 6
    x0 = CASTLE_X - 60
    body_top, body_bottom = (46, 42, 100), (56, 52, 114)
    parts = [RoundRect(x0 + 6, foot - 34, x0 + 114, foot + 18, 1)]               # curtain wall
    for k in range(9):
        cx = x0 + 7 + k * 12.5
        parts.append(RoundRect(cx, foot - 39, cx + 6, foot - 33, 0.4))           # battlements
    towers = ((x0, 52, 13, 22), (x0 + 22, 78, 15, 30), (x0 + 51, 120, 18, 44), (x0 + 82, 84, 15, 30),
              (x0 + 106, 48, 13, 20))
    for x, height, w, roof in towers:
        top = foot - height
        parts.append(RoundRect(x, top, x + w, foot + 16, 0.5))
        parts.append(RoundRect(x - 1.5, top - 1.5, x + w + 1.5, top + 2.5, 0.5))
        parts.append(Offset(Polygon([(x - 0.5, top - 1.5), (x + w / 2.0, top - roof), (x + w + 0.5, top - 1.5)]), 0.3))
    keep = towers[2]
    pole_x = keep[0] + keep[2] / 2.0
    pole_top = foot - keep[1] - keep[3] - 12
    parts.append(Polyline([(pole_x, pole_top + 13), (pole_x, pole_top)], 1.1))
    parts.append(Polygon([(pole_x + 0.4, pole_top), (pole_x + 11, pole_top + 3), (pole_x + 0.4, pole_top + 6)]))
    castle = Union(*parts)
    # the walls' feet fade into the hill they stand on
    hill = {y: cv.rgb(int(CASTLE_X * s), y) for y in range(int(foot * s) - sz(12, s), int(foot * s) + sz(20, s))}
    (x0, y0, x1, y1), cov = coverage_field(cv, at_scale(castle, s))
    w = x1 - x0
    for y in range(y0, y1):
        c = mix(body_top, body_bottom, clamp((y / s - foot + 170) / 170.0))
        if y in hill:
            c = mix(c, hill[y], smoothstep(foot - 10, foot + 14, y / s))
        for x in range(x0, x1):
            a = cov[(y - y0) * w + x - x0]
            if a > 0.0:
                cv.over(y * cv.w + x, c, a)
                # moonlight along the top edges: covered here, open just above
                above = cov[(y - 1 - y0) * w + x - x0] if y > y0 else 0.0
                if above < 1.0 and y < foot * s:
                    cv.over(y * cv.w + x, (172, 168, 228), 0.5 * a * (1.0 - above))
    # shade the side turned away from the moon
    for x, height, tw, roof in towers:
        top = foot - height
        side = Union(RoundRect(x, top + 2.5, x + tw * 0.38, foot + 4, 0),
                     Polygon([(x - 0.5, top - 1.5), (x + tw / 2.0, top - roof), (x + tw / 2.0, top - 1.5)]))
        draw(cv, at_scale(Intersect(side, castle), s),
             vgrad((top - roof) * s, (18, 16, 50, 0.3), (foot + 10) * s, (18, 16, 50, 0.0)))
    rnd = rng(11)
    windows = []
    for x, height, w, roof in towers:
        for row in range(height // 26):
            wy = foot - height + 12 + row * 24
            if rnd() < 0.3:
                continue
            cx = x + w / 2.0
            windows.append(RoundRect(cx - 1.3, wy, cx + 1.3, wy + 4.5, 1.2))
    for k in range(5):
        cx = x0 + 20 + k * 20 + rnd() * 6
        windows.append(RoundRect(cx - 1.2, foot - 24, cx + 1.2, foot - 20, 1.1))
    windows = [at_scale(wdw, s) for wdw in windows]
    for wdw in windows:
        glow(cv, wdw, (255, 170, 80), 0.35, 6 * s)
    for wdw in windows:
        draw(cv, wdw, vgrad(0, (255, 236, 170), 1, (255, 196, 110)))


def pine(x, foot, height):
    """Silhouette of a fir: three stacked tiers and a trunk."""
    w = height * 0.42
    tiers = []
    for k in range(3):
        top = foot - height + k * height * 0.26
        bottom = top + height * 0.42
        half = w * (0.5 + 0.25 * k)
        tiers.append(Polygon([(x, top), (x + half, bottom), (x - half, bottom)]))
    tiers.append(RoundRect(x - w * 0.08, foot - height * 0.2, x + w * 0.08, foot + 2, 0))
    return Union(*tiers)


def login_trees(cv, s=1.0):
    waves, base, hill, top = MOUNTAIN_LAYERS[3][:4]
    near = MOUNTAIN_LAYERS[2]
    rnd = rng(31)
    groves = [(8, 150, 14, 30, 58, 3), (372, 506, 8, 22, 44, 3), (520, 880, 20, 18, 36, 3),
              (40, 120, 4, 14, 22, 2), (420, 500, 3, 12, 18, 2)]
    for x0, x1, count, hmin, hmax, layer in groves:
        for _ in range(count):
            x = x0 + rnd() * (x1 - x0)
            hgt = hmin + rnd() * (hmax - hmin)
            if layer == 3:
                foot = ridge(x, waves, base, hill) + 3
                colour = top
            else:
                foot = ridge(x, near[0], near[1], near[2]) + 2
                colour = near[3]
            draw(cv, at_scale(pine(x, foot, hgt), s), colour)


def login_motes(cv, s=1.0):
    """Drifting motes of light over the valley."""
    rnd = rng(23)
    for _ in range(34):
        x = 20 + rnd() * 480
        y = 300 + rnd() * 200
        r = 0.6 + rnd() * 1.1
        a = 0.35 + rnd() * 0.55
        colour = mix((255, 214, 140), (200, 236, 255), rnd())
        x, y, r = x * s, y * s, r * s
        glow(cv, Circle(x, y, r * 0.6), colour, a * 0.45, r * 5)
        draw(cv, Circle(x, y, r), colour, a)


def login_band(cv, lay):
    """Caption band across the top, in the client's colours."""
    s = lay.s
    bx0, by0, bx1, _ = lay.body
    bottom = lay.band_bottom
    rows = bottom - by0 + 1
    band_rows = float(sz(33, s))
    for y in range(by0, bottom + 1):
        # the window's caption band, squeezed to this band's height
        c = band_colour(int(round((y - by0) * band_rows / rows)), s)
        for x in range(bx0, bx1):
            cv.set(x, y, c)
    line = sz(1, s)
    draw(cv, RoundRect(bx0, bottom, bx1, bottom + line, 0), (8, 20, 54))
    draw(cv, RoundRect(bx0, bottom + line, bx1, bottom + 2 * line, 0),
         lambda x, y: GOLD + (0.15 + 0.55 * clamp(1 - abs(x / s - 300) / 420.0),))
    emblem(cv, 23.5 * s, 21.5 * s, 13.5 * s, s)
    name = Lettering("LUMORA VELDAN", 44 * s, 16.5 * s, 10 * s, weight=0.16, tracking=0.2, contrast=1.5)
    draw_lettering(cv, name, (250, 252, 255), shadow=((6, 20, 60), 0.5, 1.0 * s), s=s)


def login_title(cv, s=1.0):
    title = fitted_title(36 * s, 480 * s, 66 * s, 40 * s)
    draw_lettering(cv, title, title_fill(title.box[1], title.box[3]), outline=(46, 26, 6), outline_w=1.3 * s,
                   glow_colour=(255, 196, 110), glow_alpha=0.2, glow_r=14 * s, shadow=((0, 0, 12), 0.55, 2.5 * s),
                   s=s)
    ornament_line(cv, 70 * s, 446 * s, 126 * s, GOLD, s)


def login_panel(cv, lay):
    s = lay.s
    x0, y0, x1, y1 = lay.panel
    panel = RoundRect(x0, y0, x1, y1, 9 * s)
    glow(cv, Offset(panel, -4 * s), (2, 4, 20), 0.55, 18 * s, dy=5 * s, hollow=True)
    draw(cv, panel, (200, 176, 120))
    face = Offset(panel, -1.0 * s)
    draw(cv, face, vramp(y0, y1, [(0, (252, 253, 255)), (0.5, (244, 247, 252)), (1, (228, 235, 246))]))
    draw(cv, Stroke(Offset(face, -0.5 * s), 1.0 * s), WHITE, 0.9)
    m, d = 6 * s, 4 * s
    frame = RoundRect(x0 + m, y0 + m, x1 - m, y1 - m, 5 * s)
    draw(cv, Stroke(frame, 1.0 * s), (214, 190, 136), 0.55)
    for cx, cy in ((x0 + m, y0 + m), (x1 - m, y0 + m), (x0 + m, y1 - m), (x1 - m, y1 - m)):
        diamond = Polygon([(cx, cy - d), (cx + d, cy), (cx, cy + d), (cx - d, cy)])
        draw(cv, diamond, vgrad(cy - d, GOLD_LIGHT, cy + d, GOLD_DARK))


def login_frame(cv, lay):
    """Cuts the body's rounded outline and lays the soft shadow under it."""
    s = lay.s
    body = RoundRect(*lay.body, 10 * s)
    inset = sz(12, s)
    bx0, by0, bx1, by1 = lay.body
    for y in range(cv.h):
        row = y * cv.w
        inner_row = by0 + inset <= y < by1 - inset
        for x in range(cv.w):
            if inner_row and bx0 + inset <= x < bx1 - inset:
                continue
            i = row + x
            d = body.sd(x + 0.5, y + 0.5)
            cov = clamp(0.5 - d)
            if cov < 1.0:
                cv.r[i] *= cov
                cv.g[i] *= cov
                cv.b[i] *= cov
                cv.a[i] *= cov
                # shadow under the body, stronger below
                ds = body.sd(x + 0.5, y - 0.8 * s)
                if ds < 4.5 * s:
                    f = 1.0 - max(ds, 0.0) / (4.5 * s)
                    cv.under(i, (0, 4, 16), 0.5 * f * f)
            if -s < d < 0.5:
                cv.over(i, (6, 14, 40), clamp(0.5 - d) * clamp(d + s) * 0.9)


_login_pictures = {}


def login_bg(s=1.0):
    """The login background at scale s (drawn once per run; the installer's
    picture is cut from it)."""
    if s in _login_pictures:
        return _login_pictures[s]
    lay = LoginLayout(s)
    cv = Canvas(lay.w, lay.h)
    login_scene(cv, lay)
    mx, my, mr = lay.moon
    scatter_stars(cv, 5, 240, (lay.body[0], lay.band_bottom + sz(4, s), lay.body[2], 340 * s),
                  Union(Circle(mx, my, mr), RoundRect(*lay.panel, 9 * s)), s=s)
    moon = Circle(mx, my, mr)
    draw(cv, moon, radial(mx - mr * 0.3, my - mr * 0.35, mr * 1.6,
                          [(0, (255, 252, 240)), (0.6, (246, 238, 220)), (1, (222, 210, 200))]))
    for fx, fy, fr in ((-0.3, 0.2, 0.22), (0.25, -0.3, 0.14), (0.35, 0.35, 0.1), (-0.1, -0.45, 0.08)):
        glow(cv, Circle(mx + fx * mr, my + fy * mr, fr * mr * 0.6), (200, 190, 196), 0.16, fr * mr * 0.6)
    login_castle(cv, s)
    login_trees(cv, s)
    login_motes(cv, s)
    login_title(cv, s)
    login_band(cv, lay)
    login_panel(cv, lay)
    login_frame(cv, lay)
    _login_pictures[s] = cv
    return cv


def installer_side(s=1.0):
    """164 x 314 picture of the installer's welcome and finish pages: the castle and moon of the
    login scene."""
    scene = login_bg(s)
    cv = Canvas(sz(164, s), sz(314, s))
    x0, y0 = sz(180, s), sz(110, s)
    for y in range(cv.h):
        for x in range(cv.w):
            i = y * cv.w + x
            j = (y + y0) * scene.w + x + x0
            cv.r[i], cv.g[i], cv.b[i], cv.a[i] = scene.r[j], scene.g[j], scene.b[j], scene.a[j]
    return cv


# ----------------------------------------------------------------------------
# Output
# ----------------------------------------------------------------------------

def bmp_of(make):
    return lambda s: canvas_bmp(make(s))


LOGIN_KEY = (254, 254, 254)    # the login window's colour key: the page is see-through there


def png_of(make, avoid=None):
    return lambda s: encode_png(make(s), avoid)


def tab_skin_bmp(style):
    return lambda s: encode_bmp(*tab_skin(style, s))


# Path below the repository root of the 100 % picture -> function of the
# scale returning the file's bytes.  Every picture but the icon (which holds
# its own sizes) is also drawn at the larger scales, see scaled_path.
OUTPUTS = [
    ("resources/login_bg.png", png_of(login_bg, LOGIN_KEY)),
    ("resources/splash.png", png_of(splash)),
    ("resources/vld.ico", lambda s: vld_ico()),
    ("resources/caption_min.bmp", bmp_of(caption_min)),
    ("resources/caption_minmax.bmp", bmp_of(caption_minmax)),
    ("resources/caption_close.bmp", bmp_of(caption_close)),
    ("resources/caption_tool.bmp", bmp_of(caption_tool)),
    ("resources/logo.bmp", bmp_of(logo)),
    ("resources/tab_skin0.bmp", tab_skin_bmp(0)),
    ("resources/tab_skin1.bmp", tab_skin_bmp(1)),
    ("resources/frame_skin.bmp", bmp_of(frame_skin)),
    ("resources/btn_gamespace_strip.bmp", bmp_of(btn_gamespace_strip)),
    ("resources/btn_gamespace_icon.bmp", bmp_of(btn_gamespace_icon)),
    ("resources/btn_otheruser_strip.bmp", bmp_of(btn_otheruser_strip)),
    ("resources/btn_otheruser_icon.bmp", bmp_of(btn_otheruser_icon)),
    ("resources/btn_yesno_strip.bmp", bmp_of(btn_yesno_strip)),
    ("resources/installer_side.bmp", bmp_of(installer_side)),
    ("updater/res/progress.bmp", bmp_of(progress_skin)),
    ("updater/res/close.bmp", bmp_of(caption_close)),
]
UNSCALED = {"resources/vld.ico"}


def scaled_path(path, s):
    """Where the picture of `path` drawn at scale s lives: resources/logo.bmp
    at 150 % is resources/scaled/logo@150.bmp; 100 % keeps its own path."""
    if s == 1.0:
        return path
    folder, name = os.path.split(path)
    stem, ext = os.path.splitext(name)
    return "%s/scaled/%s@%d%s" % (folder, stem, int(round(s * 100)), ext)


def all_outputs():
    """(path, scale, maker) of every file the script writes."""
    return [(scaled_path(path, s), s, make) for s in SCALES for path, make in OUTPUTS
            if s == 1.0 or path not in UNSCALED]


def main(argv=None):
    parser = argparse.ArgumentParser(description="Draws the client's pictures.")
    parser.add_argument("--out", default=ROOT, help="root to write below (default: the repository)")
    parser.add_argument("--only", nargs="*", help="write only these paths")
    args = parser.parse_args(argv)
    for path, s, make in all_outputs():
        if args.only and path not in args.only:
            continue
        target = os.path.join(args.out, path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        data = make(s)
        with open(target, "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
