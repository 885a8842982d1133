#!/usr/bin/env python3
"""Checks the client's pictures as the program will read them.

    python3 tools/art/check_art.py

Reads every picture under resources/ and updater/res/ with decoders of its
own, checks sizes, frame layouts, the tab skin regions and colours, the
transparency of the PNG images and the icon's image list, and redraws
everything with make_art.py into a temporary directory to make sure the
committed files are exactly what the script writes.  Exits 1 with one line
per failure.
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


def check_installer_side():
    """The installer's welcome and finish pages take a picture of exactly 164 x 314."""
    name = "resources/installer_side.bmp"
    check_size(name, decode_bmp(read(name)), 164, 314)


def check_png(name, w, h):
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


def check_caption_strips(skin):
    """Caption buttons sit one pixel below the window's top on the band of
    the frame skin: every frame's background is that band's colour."""
    band = [skin.at(47, y) for y in range(skin.h)]
    strips = {}
    for name, w, count in (("resources/caption_min.bmp", 72, 3), ("resources/caption_minmax.bmp", 150, 6),
                           ("resources/caption_close.bmp", 129, 3), ("resources/caption_tool.bmp", 72, 3)):
        img = strips[name] = check_strip(name, w, 18, count)
        fw = frames(w, count)
        for k in range(0, count, 3):          # the normal frame of each set
            for y in range(18):
                check(img.at(k * fw, y) == band[y + 1],
                      "%s: frame %d, row %d does not match the caption band" % (name, k, y))
        # a light glyph is drawn in the middle of every frame
        for k in range(count):
            middle = [img.at(k * fw + fw // 2 + dx, y) for dx in (-1, 0, 1) for y in range(4, 14)]
            check(max(min(p) for p in middle) > 220, "%s: frame %d shows no glyph" % (name, k))
    close = strips["resources/caption_close.bmp"]
    hover = close.at(43 + 4, 9)
    check(hover[0] > 150 and hover[0] > 2 * hover[2], "caption_close.bmp: the hover frame is not red")
    updater = check_strip("updater/res/close.bmp", 129, 18, 3)
    check(updater.px == close.px, "updater/res/close.bmp differs from caption_close.bmp")


def check_frame_skin():
    name = "resources/frame_skin.bmp"
    skin = decode_bmp(read(name))
    if not check_size(name, skin, 94, 85):
        return skin
    # the caption control tiles these pieces; between the corners they must be uniform
    for y in range(36):
        row = {skin.at(x, y) for x in range(5, 89)}
        check(len(row) == 1, "%s: band row %d is not uniform across" % (name, y))
    for x in list(range(4)) + list(range(90, 94)):
        col = {skin.at(x, y) for y in range(36, 81)}
        check(len(col) == 1, "%s: border column %d is not uniform downwards" % (name, x))
    for y in range(81, 85):
        row = {skin.at(x, y) for x in range(5, 89)}
        check(len(row) == 1, "%s: bottom border row %d is not uniform across" % (name, y))
    inside = {skin.at(x, y) for y in range(34, 81) for x in range(4, 90)}
    check(inside == {(255, 255, 255)}, "%s: the inside is not white" % name)
    band = skin.at(47, 16)
    check(band[2] > band[0] + 60, "%s: the caption band is not blue" % name)
    return skin


def check_tab_skin(name, style):
    img = decode_bmp(read(name))
    if style == 0:
        w, h, top, bottom, cell_w, cell_h = 415, 25, (61, 162, 232), (15, 106, 172), 122, 25
        cells, glyphs = (1, 123, 245), (367, 379, 391, 403)
    else:
        w, h, top, bottom, cell_w, cell_h = 421, 28, (100, 143, 230), (36, 79, 166), 124, 26
        cells, glyphs = (1, 125, 249), (373, 385, 397, 409)
    if not check_size(name, img, w, h):
        return
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
            row = {img.at(x, y) for x in range(x0 + 14, x0 + cell_w - 14)}
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
    for gx, cross, disc in zip(glyphs, crosses, discs):
        for x, y in ((0, 0), (11, 0), (0, 11), (11, 11)):
            check(img.at(gx + x, y) == MAGENTA, "%s: glyph at %d is not transparent at its corner" % (name, gx))
        for y in range(12, h):
            check({img.at(x, y) for x in range(gx, gx + 12)} == {MAGENTA},
                  "%s: row %d below the glyph at %d is not transparent" % (name, y, gx))
        if cross:
            for x, y in ((5, 5), (6, 6), (5, 6), (6, 5)):
                check(img.at(gx + x, y) == cross, "%s: glyph at %d: cross is %s, expected %s"
                      % (name, gx, img.at(gx + x, y), cross))
            check(img.at(gx + 6, 1) == MAGENTA, "%s: glyph at %d has something above its cross" % (name, gx))
        else:
            for x, y in ((5, 1), (1, 6), (6, 10), (10, 5)):
                check(img.at(gx + x, y) == disc, "%s: glyph at %d: disc is %s, expected %s"
                      % (name, gx, img.at(gx + x, y), disc))
            light = img.at(gx + 5, 5)
            check(min(light) > 180, "%s: glyph at %d: the cross on the disc is not light" % (name, gx))


def check_small_pictures(skin):
    band = [skin.at(47, y) for y in range(skin.h)]
    logo = decode_bmp(read("resources/logo.bmp"))
    if check_size("resources/logo.bmp", logo, 29, 29):
        check(logo.at(0, 0) == band[2] and logo.at(28, 28) == band[30],
              "logo.bmp: its corners do not match the caption band behind it")
    for name, w in (("resources/btn_gamespace_strip.bmp", 13), ("resources/btn_otheruser_strip.bmp", 13)):
        img = decode_bmp(read(name))
        if not check_size(name, img, w, 22):
            continue
        fw = frames(w, 3)
        check(fw == 4, "%s: frames are %d wide, expected 4" % (name, fw))
        for k in range(3):
            for y in range(22):
                check(len({img.at(x, y) for x in range(k * fw, (k + 1) * fw)}) == 1,
                      "%s: frame %d row %d is not uniform across (it is stretched)" % (name, k, y))
        check([img.at(0, y) for y in range(22)] == band[:22], "%s: normal frame is not the caption band" % name)
        check(img.at(4, 11) != img.at(0, 11) and img.at(8, 11) != img.at(0, 11),
              "%s: hover and pressed frames do not differ from normal" % name)
    for name, w in (("resources/btn_gamespace_icon.bmp", 16), ("resources/btn_otheruser_icon.bmp", 13)):
        img = decode_bmp(read(name))
        if check_size(name, img, w, 22):
            clear = [img.at(x, y) == band[y] for y in (0, 1, 2, 21) for x in range(w)]
            check(all(clear), "%s: background is not the caption band" % name)
            check(max(min(img.at(x, y)) for y in range(22) for x in range(w)) > 230, "%s: no light glyph" % name)
    yesno = check_strip("resources/btn_yesno_strip.bmp", 225, 22, 3)
    check(yesno.at(0, 11) == (255, 255, 255) and yesno.at(74, 11) == (255, 255, 255),
          "btn_yesno_strip.bmp: frames do not keep a white margin")
    check(len({yesno.at(37 + 75 * k, 11) for k in range(3)}) == 3,
          "btn_yesno_strip.bmp: the three states look the same")
    bar = decode_bmp(read("updater/res/progress.bmp"))
    if check_size("updater/res/progress.bmp", bar, 10, 10):
        col = lambda x: [bar.at(x, y) for y in range(10)]
        check(col(3) == col(4), "progress.bmp: the stretched middle columns 3 and 4 differ")
        check(col(8) == col(9), "progress.bmp: the empty columns 8 and 9 differ")
        for x in (1, 2, 5, 6):
            check(col(x)[2:8] == col(3)[2:8], "progress.bmp: end cap column %d does not join the middle" % x)
        check(bar.at(3, 5)[2] > bar.at(3, 5)[0] + 80, "progress.bmp: the filled look is not blue")
        check(min(bar.at(8, 5)) > 200, "progress.bmp: the empty look is not light")


def check_icon():
    name = "resources/vld.ico"
    images = decode_ico(read(name))
    layout = [(w, h, bits) for w, h, bits, _, _ in images]
    expected = [(16, 16, 8), (48, 48, 32), (32, 32, 32), (24, 24, 32), (16, 16, 32)]
    if not check(layout == expected, "%s: images %s, expected %s" % (name, layout, expected)):
        return
    for w, h, bits, pal_n, img in images:
        label = "%s: %dx%d %d-bit" % (name, w, h, bits)
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
    check(len(written) == 19, "make_art.py wrote %d files, expected 19" % len(written))


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
        skin = guarded(check_frame_skin)
        guarded(check_png, "resources/login_bg.png", 888, 518)
        guarded(check_png, "resources/splash.png", 356, 122)
        guarded(check_icon)
        guarded(check_installer_side)
        guarded(check_tab_skin, "resources/tab_skin0.bmp", 0)
        guarded(check_tab_skin, "resources/tab_skin1.bmp", 1)
        if skin is not None:
            guarded(check_caption_strips, skin)
            guarded(check_small_pictures, skin)
        check_reproducible(job, out)
    finally:
        shutil.rmtree(out, ignore_errors=True)
    for line in failures:
        print("check_art: " + line, file=sys.stderr)
    print("check_art: %s" % ("%d failures" % len(failures) if failures else "all pictures as expected"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
