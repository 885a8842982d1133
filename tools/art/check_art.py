#!/usr/bin/env python3
"""Checks the client's pictures as the program will read them.

    python3 tools/art/check_art.py

Reads every picture under resources/ and updater/res/ with decoders of its
own, at 100 % and in the sets drawn for 125, 150, 175 and 200 % (scaled/),
checks sizes, frame layouts, the tab skin regions and colours, the
transparency of the PNG images and the icon's image list, and redraws
everything with make_art.py into a temporary directory to make sure the
committed files are exactly what the script writes.  Exits 1 with one line
per failure.

In a scaled picture every length of the 100 % design is scaled to whole
pixels with halves to even, the pieces of strips and skins each on their own
and packed side by side (see resources/ResourceIds.h).
"""

import itertools
import operator
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
MAKE_ART = os.path.join(ROOT, "tools", "art", "make_art.py")
MAGENTA = (255, 0, 255)
KEY_COLOUR = (254, 254, 254)      # the login window's colour key
SCALES = (1.0, 1.25, 1.5, 1.75, 2.0)

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


# ----------------------------------------------------------------------------
# Decoders
# ----------------------------------------------------------------------------

class Image:
    """Decoded pixels, top row first: px[y][x] = (r, g, b) or (r, g, b, a)."""

    def __init__(self, w, h, px):
        self.w, self.h, self.px = w, h, px

    def at(self, x, y):
        return self.px[y][x]


def sz(v, s):
    """A length of the 100 % design at scale s."""
    return int(round(v * s))


def at(path, s):
    """The file of `path` drawn for scale s."""
    if s == 1.0:
        return path
    folder, name = os.path.split(path)
    stem, ext = os.path.splitext(name)
    return "%s/scaled/%s@%d%s" % (folder, stem, int(round(s * 100)), ext)


def read(path):
    with open(os.path.join(ROOT, path), "rb") as f:
        return f.read()


def decode_bmp(data):
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    if magic != b"BM" or size != len(data):
        raise ValueError("not a complete BMP file")
    hsize, w, h, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 14)
    if hsize != 40 or planes != 1 or bits != 24 or compression != 0:
        raise ValueError("expected a 24-bit uncompressed BMP, got %d bits, compression %d" % (bits, compression))
    if h <= 0:
        raise ValueError("expected a bottom-up BMP")
    stride = (3 * w + 3) & ~3
    if offset + stride * h != len(data):
        raise ValueError("pixel data has the wrong length")
    rows = []
    for y in range(h):
        base = offset + (h - 1 - y) * stride
        row = data[base:base + 3 * w]
        rows.append([(row[3 * x + 2], row[3 * x + 1], row[3 * x]) for x in range(w)])
    return Image(w, h, rows)


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def decode_png(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        (crc,) = struct.unpack_from(">I", data, pos + 8 + length)
        if zlib.crc32(kind + body) != crc:
            raise ValueError("bad CRC in chunk %r" % kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        pos += 12 + length
    w, h, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 6 or interlace != 0:
        raise ValueError("expected 8-bit RGBA without interlacing")
    raw = zlib.decompress(idat)
    stride = 4 * w
    if len(raw) != h * (stride + 1):
        raise ValueError("image data has the wrong length")
    prev = bytes(stride)
    rows = []
    for y in range(h):
        kind = raw[y * (stride + 1)]
        line = raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)]
        if kind == 0:
            cur = bytes(line)
        elif kind == 2:
            cur = bytes(map(operator.mod, map(operator.add, line, prev), itertools.repeat(256)))
        elif kind in (1, 3, 4):
            cur = bytearray(stride)
            for i in range(stride):
                a = cur[i - 4] if i >= 4 else 0
                b = prev[i]
                c = prev[i - 4] if i >= 4 else 0
                pred = a if kind == 1 else (a + b) // 2 if kind == 3 else _paeth(a, b, c)
                cur[i] = (line[i] + pred) & 255
            cur = bytes(cur)
        else:
            raise ValueError("unknown filter %d" % kind)
        rows.append([tuple(cur[4 * x:4 * x + 4]) for x in range(w)])
        prev = cur
    return Image(w, h, rows)


def decode_ico(data):
    """[(width, height, bits, palette size, pixels Image with alpha)] in file order."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError("not an icon file")
    images = []
    for k in range(count):
        w, h, ncol, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * k)
        w, h = w or 256, h or 256
        blob = data[offset:offset + size]
        if blob[:8] == b"\x89PNG\r\n\x1a\n":
            png = decode_png(blob)
            if (png.w, png.h) != (w, h) or bits != 32:
                raise ValueError("image %d: PNG does not match the directory" % k)
            png.px = [[p + (int(p[3] == 0),) for p in row] for row in png.px]
            images.append((w, h, bits, -1, png))
            continue
        hsize, bw, bh, bplanes, bbits, compression, _, _, _, used, _ = struct.unpack_from("<IiiHHIIiiII", blob, 0)
        if (bw, bh, bbits, hsize, compression) != (w, 2 * h, bits, 40, 0):
            raise ValueError("image %d: header does not match the directory" % k)
        pal_n = (used or 256) if bits == 8 else 0
        pal = [struct.unpack_from("<BBBB", blob, 40 + 4 * i) for i in range(pal_n)]
        xor_stride = ((w * bits + 31) // 32) * 4
        and_stride = ((w + 31) // 32) * 4
        xor_at = 40 + 4 * pal_n
        and_at = xor_at + xor_stride * h
        if and_at + and_stride * h != len(blob):
            raise ValueError("image %d: data has the wrong length" % k)
        rows = []
        for y in range(h):
            xr = blob[xor_at + (h - 1 - y) * xor_stride:]
            ar = blob[and_at + (h - 1 - y) * and_stride:]
            row = []
            for x in range(w):
                clear = (ar[x // 8] >> (7 - x % 8)) & 1
                if bits == 32:
                    b, g, r, a = xr[4 * x:4 * x + 4]
                else:
                    b, g, r, _ = pal[xr[x]]
                    a = 0 if clear else 255
                row.append((r, g, b, a, clear))
            rows.append(row)
        images.append((w, h, bits, pal_n, Image(w, h, rows)))
    return images


# ----------------------------------------------------------------------------
# Checks
# ----------------------------------------------------------------------------

def frames(width, style_frames):
    """Frame width as the button computes it (strip width / frames, rounded)."""
    return int(round(width / float(style_frames)))


def check_size(name, img, w, h):
    return check((img.w, img.h) == (w, h), "%s: size %dx%d, expected %dx%d" % (name, img.w, img.h, w, h))


def check_installer_side(s):
    """The installer's welcome and finish pages take a picture of exactly 164 x 314 (at 100 %)."""
    name = at("resources/installer_side.bmp", s)
    check_size(name, decode_bmp(read(name)), sz(164, s), sz(314, s))


def check_png(path, w, h, s):
    name = at(path, s)
    w, h = sz(w, s), sz(h, s)
    img = decode_png(read(name))
    if not check_size(name, img, w, h):
        return img
    for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        check(img.at(x, y)[3] == 0, "%s: corner (%d, %d) is not transparent" % (name, x, y))
    check(img.at(w // 2, h // 2)[3] == 255, "%s: centre is not opaque" % name)
    edge = [img.at(x, 0)[3] for x in range(w)] + [img.at(0, y)[3] for y in range(h)]
    check(max(edge) < 255, "%s: its outer edge is fully opaque somewhere" % name)
    keyed = [(x, y) for y in range(h) for x in range(w) if img.at(x, y)[:3] == KEY_COLOUR and img.at(x, y)[3]]
    check(not keyed, "%s: uses the colour key 0xFEFEFE at %s" % (name, keyed[:3]))
    return img


def check_strip(name, w, h, count):
    img = decode_bmp(read(name))
    check_size(name, img, w, h)
    check(frames(w, count) * count == w, "%s: %d pixels do not hold %d whole frames" % (name, w, count))
    return img


def check_caption_strips(skin, s):
    """Caption buttons sit one pixel below the window's top on the band of
    the frame skin: every frame's background is that band's colour."""
    band = [skin.at(skin.w // 2, y) for y in range(skin.h)]
    top, h = sz(1, s), sz(18, s)
    strips = {}
    for path, fw, count in (("resources/caption_min.bmp", 24, 3), ("resources/caption_minmax.bmp", 25, 6),
                            ("resources/caption_close.bmp", 43, 3), ("resources/caption_tool.bmp", 24, 3)):
        name = at(path, s)
        fw = sz(fw, s)
        img = strips[path] = check_strip(name, fw * count, h, count)
        for k in range(0, count, 3):          # the normal frame of each set
            for y in range(h):
                check(img.at(k * fw, y) == band[y + top],
                      "%s: frame %d, row %d does not match the caption band" % (name, k, y))
        # a light glyph is drawn in the middle of every frame
        for k in range(count):
            middle = [img.at(k * fw + fw // 2 + dx, y) for dx in (-1, 0, 1) for y in range(sz(4, s), sz(14, s))]
            check(max(min(p) for p in middle) > 220, "%s: frame %d shows no glyph" % (name, k))
    close = strips["resources/caption_close.bmp"]
    hover = close.at(sz(43, s) + sz(4, s), h // 2)
    check(hover[0] > 150 and hover[0] > 2 * hover[2], "%s: the hover frame is not red" % at("caption_close.bmp", s))
    updater = check_strip(at("updater/res/close.bmp", s), 3 * sz(43, s), h, 3)
    check(updater.px == close.px, "%s differs from %s" % (at("updater/res/close.bmp", s),
                                                          at("resources/caption_close.bmp", s)))


def check_frame_skin(s):
    name = at("resources/frame_skin.bmp", s)
    skin = decode_bmp(read(name))
    w, h, border = sz(94, s), sz(85, s), sz(4, s)
    if not check_size(name, skin, w, h):
        return None
    # the caption control tiles these pieces; between the corners they must be uniform
    for y in range(sz(36, s)):
        row = {skin.at(x, y) for x in range(sz(5, s), w - sz(5, s))}
        check(len(row) == 1, "%s: band row %d is not uniform across" % (name, y))
    for x in list(range(border)) + list(range(w - border, w)):
        col = {skin.at(x, y) for y in range(sz(36, s), h - border)}
        check(len(col) == 1, "%s: border column %d is not uniform downwards" % (name, x))
    for y in range(h - border, h):
        row = {skin.at(x, y) for x in range(sz(5, s), w - sz(5, s))}
        check(len(row) == 1, "%s: bottom border row %d is not uniform across" % (name, y))
    inside = {skin.at(x, y) for y in range(sz(34, s), h - border) for x in range(border, w - border)}
    check(inside == {(255, 255, 255)}, "%s: the inside is not white" % name)
    band = skin.at(w // 2, h * 16 // 85)
    check(band[2] > band[0] + 60, "%s: the caption band is not blue" % name)
    return skin


def near_key(p):
    """A colour blended with the transparent magenta: the region cut from it would be ragged."""
    return p != MAGENTA and p[0] >= 200 and p[2] >= 200 and p[1] <= 90


def check_tab_skin(path, style, s):
    name = at(path, s)
    img = decode_bmp(read(name))
    if style == 0:
        h, top, bottom, cell_w, cell_h = 25, (61, 162, 232), (15, 106, 172), 122, 25
    else:
        h, top, bottom, cell_w, cell_h = 28, (100, 143, 230), (36, 79, 166), 124, 26
    h, cell_w, cell_h, g, margin = sz(h, s), sz(cell_w, s), sz(cell_h, s), sz(12, s), sz(14, s)
    # packed: background column, three cells, four glyphs
    cells = tuple(1 + k * cell_w for k in range(3))
    glyphs = tuple(1 + 3 * cell_w + k * g for k in range(4))
    if not check_size(name, img, 1 + 3 * cell_w + 4 * g, h):
        return
    blended = [(x, y) for y in range(h) for x in range(img.w) if near_key(img.at(x, y))]
    check(not blended, "%s: colours blended with the transparent magenta at %s" % (name, blended[:3]))
    column = [img.at(0, y) for y in range(h)]
    check(column[0] == top, "%s: background column starts %s, expected %s" % (name, column[0], top))
    check(column[-1] == bottom, "%s: background column ends %s, expected %s" % (name, column[-1], bottom))
    for c in range(3):
        seq = [p[c] for p in column]
        check(all(a >= b for a, b in zip(seq, seq[1:])), "%s: background column is not a steady gradient" % name)
    # tabs: opaque face, magenta at the outer top corners, middle uniform across
    for k, x0 in enumerate(cells):
        mid = img.at(x0 + cell_w // 2, cell_h // 2)
        check(mid != MAGENTA and mid[2] > 180, "%s: tab cell %d has no light face" % (name, k))
        check(img.at(x0, 0) == MAGENTA and img.at(x0 + cell_w - 1, 0) == MAGENTA,
              "%s: tab cell %d is not transparent at its top corners" % (name, k))
        for y in range(cell_h):
            row = {img.at(x, y) for x in range(x0 + margin, x0 + cell_w - margin)}
            check(len(row) == 1, "%s: tab cell %d row %d changes across its stretched middle" % (name, k, y))
        for y in range(cell_h, h):
            check({img.at(x, y) for x in range(x0, x0 + cell_w)} == {MAGENTA},
                  "%s: row %d below tab cell %d is not transparent" % (name, y, k))
    faces = [img.at(x0 + cell_w // 2, cell_h // 2) for x0 in cells]
    check(sum(faces[1]) > sum(faces[0]), "%s: the mouse-over tab is not lighter than the normal one" % name)
    check(min(faces[2]) > 200, "%s: the selected tab is not near white" % name)
    # close glyphs: cross colour at the centre, disc colour off the cross
    crosses = ((61, 78, 110), (37, 42, 51), None, None)
    discs = (None, None, (193, 53, 53), (67, 30, 32))
    c = g // 2
    centre = [(c - 1, c - 1), (c, c), (c - 1, c), (c, c - 1)] if g % 2 == 0 else [(c, c)]
    for gx, cross, disc in zip(glyphs, crosses, discs):
        for x, y in ((0, 0), (g - 1, 0), (0, g - 1), (g - 1, g - 1)):
            check(img.at(gx + x, y) == MAGENTA, "%s: glyph at %d is not transparent at its corner" % (name, gx))
        for y in range(g, h):
            check({img.at(x, y) for x in range(gx, gx + g)} == {MAGENTA},
                  "%s: row %d below the glyph at %d is not transparent" % (name, y, gx))
        if cross:
            for x, y in centre:
                check(img.at(gx + x, y) == cross, "%s: glyph at %d: cross is %s, expected %s"
                      % (name, gx, img.at(gx + x, y), cross))
            check(img.at(gx + c, sz(1, s)) == MAGENTA, "%s: glyph at %d has something above its cross" % (name, gx))
        else:
            for x, y in ((5, 1), (1, 6), (6, 10), (10, 5)):
                x, y = sz(x, s), sz(y, s)
                check(img.at(gx + x, y) == disc, "%s: glyph at %d: disc is %s, expected %s"
                      % (name, gx, img.at(gx + x, y), disc))
            light = img.at(gx + sz(5, s), sz(5, s))
            check(min(light) > 180, "%s: glyph at %d: the cross on the disc is not light" % (name, gx))


def check_small_pictures(skin, s):
    band = [skin.at(skin.w // 2, y) for y in range(skin.h)]
    name = at("resources/logo.bmp", s)
    logo = decode_bmp(read(name))
    n, top = sz(29, s), sz(2, s)
    if check_size(name, logo, n, n):
        check(logo.at(0, 0) == band[top] and logo.at(n - 1, n - 1) == band[top + n - 1],
              "%s: its corners do not match the caption band behind it" % name)
    h = sz(22, s)
    for path in ("resources/btn_gamespace_strip.bmp", "resources/btn_otheruser_strip.bmp"):
        name = at(path, s)
        img = decode_bmp(read(name))
        fw = sz(4, s)
        if not check_size(name, img, 3 * fw + 1, h):
            continue
        check(frames(img.w, 3) == fw, "%s: frames are %d wide, expected %d" % (name, frames(img.w, 3), fw))
        for k in range(3):
            for y in range(h):
                check(len({img.at(x, y) for x in range(k * fw, (k + 1) * fw)}) == 1,
                      "%s: frame %d row %d is not uniform across (it is stretched)" % (name, k, y))
        check([img.at(0, y) for y in range(h)] == band[:h], "%s: normal frame is not the caption band" % name)
        check(img.at(fw, h // 2) != img.at(0, h // 2) and img.at(2 * fw, h // 2) != img.at(0, h // 2),
              "%s: hover and pressed frames do not differ from normal" % name)
    for path, w in (("resources/btn_gamespace_icon.bmp", 16), ("resources/btn_otheruser_icon.bmp", 13)):
        name = at(path, s)
        img = decode_bmp(read(name))
        w = sz(w, s)
        if check_size(name, img, w, h):
            rows = [y for y in range(h) if y + 1 <= 3 * s] + [h - 1]
            clear = [img.at(x, y) == band[y] for y in rows for x in range(w)]
            check(all(clear), "%s: background is not the caption band" % name)
            check(max(min(img.at(x, y)) for y in range(h) for x in range(w)) > 230, "%s: no light glyph" % name)
    fw = sz(75, s)
    name = at("resources/btn_yesno_strip.bmp", s)
    yesno = check_strip(name, 3 * fw, h, 3)
    check(yesno.at(0, h // 2) == (255, 255, 255) and yesno.at(fw - 1, h // 2) == (255, 255, 255),
          "%s: frames do not keep a white margin" % name)
    check(len({yesno.at(fw // 2 + fw * k, h // 2) for k in range(3)}) == 3, "%s: the three states look the same" % name)
    check_progress(s)


def check_progress(s):
    """Packed: left cap, stretched middle, right cap, empty track."""
    name = at("updater/res/progress.bmp", s)
    bar = decode_bmp(read(name))
    cap, mid, track, h, e = sz(3, s), sz(2, s), sz(2, s), sz(10, s), sz(1, s)
    filled = 2 * cap + mid
    if not check_size(name, bar, filled + track, h):
        return
    col = lambda x: [bar.at(x, y) for y in range(h)]
    check(all(col(x) == col(cap) for x in range(cap, cap + mid)), "%s: the stretched middle columns differ" % name)
    check(all(col(x) == col(filled) for x in range(filled, filled + track)), "%s: the empty columns differ" % name)
    for x in list(range(e, cap)) + list(range(cap + mid, filled - e)):
        check(col(x)[2 * e:h - 2 * e] == col(cap)[2 * e:h - 2 * e],
              "%s: end cap column %d does not join the middle" % (name, x))
    check(bar.at(cap, h // 2)[2] > bar.at(cap, h // 2)[0] + 80, "%s: the filled look is not blue" % name)
    check(min(bar.at(filled, h // 2)) > 200, "%s: the empty look is not light" % name)


ICON_LAYOUT = [(16, 16, 8), (48, 48, 32), (32, 32, 32), (24, 24, 32), (16, 16, 32), (256, 256, 32), (64, 64, 32),
               (40, 40, 32), (20, 20, 32)]


def check_icon():
    name = "resources/vld.ico"
    images = decode_ico(read(name))
    layout = [(w, h, bits) for w, h, bits, _, _ in images]
    if not check(layout == ICON_LAYOUT, "%s: images %s, expected %s" % (name, layout, ICON_LAYOUT)):
        return
    for w, h, bits, pal_n, img in images:
        label = "%s: %dx%d %d-bit%s" % (name, w, h, bits, " PNG" if pal_n < 0 else "")
        check(img.at(0, 0)[3] == 0 and img.at(0, 0)[4] == 1, "%s: corner is not transparent" % label)
        check(img.at(w // 2, h // 2)[3] == 255 and img.at(w // 2, h // 2)[4] == 0, "%s: centre is not opaque" % label)
        if bits == 8:
            check(pal_n == 256, "%s: palette has %d entries" % (label, pal_n))
        else:
            mismatched = [(x, y) for y in range(h) for x in range(w) if (img.at(x, y)[3] == 0) != img.at(x, y)[4]]
            check(not mismatched, "%s: AND mask disagrees with alpha at %s" % (label, mismatched[:3]))


def check_reproducible(job, out):
    """The script run again into `out` must write exactly the committed files."""
    job.wait()
    if not check(job.returncode == 0, "make_art.py failed: %s" % job.stderr.read().decode(errors="replace")):
        return
    written = sorted(os.path.relpath(os.path.join(d, f), out) for d, _, fs in os.walk(out) for f in fs)
    for rel in written:
        committed = os.path.join(ROOT, rel)
        if not check(os.path.exists(committed), "%s is drawn but not in the repository" % rel):
            continue
        with open(os.path.join(out, rel), "rb") as a, open(committed, "rb") as b:
            check(a.read() == b.read(), "%s differs from what make_art.py draws; run it again" % rel)
    expected = 19 + 18 * (len(SCALES) - 1)      # the icon holds its own sizes
    check(len(written) == expected, "make_art.py wrote %d files, expected %d" % (len(written), expected))


def guarded(step, *args):
    """Runs one group of checks; a file that cannot be read fails only its group."""
    try:
        return step(*args)
    except (OSError, ValueError, IndexError, struct.error, zlib.error) as e:
        what = args[0] if args and isinstance(args[0], str) else step.__name__
        failures.append("%s: cannot be read: %s" % (what, e))
        return None


def main():
    out = tempfile.mkdtemp(prefix="corvane-art-")
    try:
        # redraw in the background while the committed files are read
        job = subprocess.Popen([sys.executable, MAKE_ART, "--out", out], stderr=subprocess.PIPE)
        guarded(check_icon)
        for s in SCALES:
            skin = guarded(check_frame_skin, s)
            guarded(check_png, "resources/login_bg.png", 888, 518, s)
            guarded(check_png, "resources/splash.png", 356, 122, s)
            guarded(check_installer_side, s)
            guarded(check_tab_skin, "resources/tab_skin0.bmp", 0, s)
            guarded(check_tab_skin, "resources/tab_skin1.bmp", 1, s)
            if skin is not None:
                guarded(check_caption_strips, skin, s)
                guarded(check_small_pictures, skin, s)
        check_reproducible(job, out)
    finally:
        shutil.rmtree(out, ignore_errors=True)
    for line in failures:
        print("check_art: " + line, file=sys.stderr)
    print("check_art: %s" % ("%d failures" % len(failures) if failures else "all pictures as expected"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
