#!/usr/bin/env python3
"""Writes enlarged previews of the client's pictures, for looking at them.

    python3 tools/art/preview.py [--scale PERCENT] [DIR] [NAME ...]

Each picture is scaled up with whole pixels and laid on a checkerboard where
it is transparent; the preview files go to DIR (default /tmp/art-preview).
With --scale (125, 150, 175 or 200) the pictures are the ones drawn for that
display scale and the mock-ups are assembled from them as a window of that
scale lays them out (twips per pixel 15 / scale, skin pieces packed).
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_art as art  # noqa: E402


S = 1.0          # the display scale the previews are drawn for
TPP = 15.0       # twips per pixel at that scale


def sz(v):
    return art.sz(v, S)


def tab_skin_canvas(style):
    w, h, rgb = art.tab_skin(style, S)
    cv = art.Canvas(w, h)
    for y in range(h):
        for x in range(w):
            cv.set(x, y, rgb(x, y))
    return cv


def palettised(cv):
    """What the icon's palettised 16 x 16 image keeps of a picture."""
    out = art.Canvas(cv.w, cv.h)
    for y in range(cv.h):
        for x in range(cv.w):
            r, g, b, a = cv.rgba(x, y)
            if a >= 128:
                out.set(x, y, (r, g, b))
    return out


def at_scale(make):
    return lambda: make(S)


# (name, picture function, preview enlargement at 100 %)
PICTURES = [
    ("caption_min", at_scale(art.caption_min), 8), ("caption_minmax", at_scale(art.caption_minmax), 6),
    ("caption_close", at_scale(art.caption_close), 6), ("caption_tool", at_scale(art.caption_tool), 8),
    ("logo", at_scale(art.logo), 10), ("frame_skin", at_scale(art.frame_skin), 6),
    ("btn_gamespace_icon", at_scale(art.btn_gamespace_icon), 12),
    ("btn_otheruser_icon", at_scale(art.btn_otheruser_icon), 12),
    ("btn_yesno_strip", at_scale(art.btn_yesno_strip), 4), ("progress", at_scale(art.progress_skin), 20),
    ("splash", at_scale(art.splash), 3), ("login_bg", at_scale(art.login_bg), 1),
    ("tab_skin0", lambda: tab_skin_canvas(0), 4), ("tab_skin1", lambda: tab_skin_canvas(1), 4),
] + [("icon%d" % size, (lambda size: lambda: art.icon_image(size))(size), max(1, 256 // size // 2))
     for size in sorted({size for size, _ in art.ICON_LAYOUT})] + [
    ("icon16_8bit", lambda: palettised(art.icon_image(16)), 16),
]


def enlarge(cv, k, checker=True):
    out = art.Canvas(cv.w * k, cv.h * k)
    for y in range(out.h):
        for x in range(out.w):
            if checker:
                c = (200, 200, 200) if ((x // 8) + (y // 8)) % 2 else (235, 235, 235)
            else:
                c = (255, 255, 255)
            out.set(x, y, c)
            r, g, b, a = cv.rgba(x // k, y // k)
            if a:
                out.over(y * out.w + x, (r, g, b), a / 255.0)
    return out


def save(path, cv):
    with open(path, "wb") as f:
        f.write(art.encode_png(cv))


def px(twips):
    return int(round(twips / TPP))


def copy(dst, src, sx, sy, sw, sh, dx, dy):
    """Copies a twip rectangle of src to dst, clipped on both sides (as the caption control does)."""
    sx, sy, sw, sh, dx, dy = (px(v) for v in (sx, sy, sw, sh, dx, dy))
    for y in range(sh):
        for x in range(sw):
            if 0 <= sx + x < src.w and 0 <= sy + y < src.h and 0 <= dx + x < dst.w and 0 <= dy + y < dst.h:
                dst.set(dx + x, dy + y, src.rgb(sx + x, sy + y))


def stretch(dst, src, sx, sy, sw, sh, dx, dy, dw, dh, key=None):
    for y in range(dh):
        for x in range(dw):
            c = src.rgb(sx + x * sw // dw, sy + y * sh // dh)
            if c != key and 0 <= dx + x < dst.w and 0 <= dy + y < dst.h:
                dst.set(dx + x, dy + y, c)


def draw_skin(dst, src, x, y, w, h, sx, sy, sw, sh, border):
    """Nine-part stretch with left/right borders only, keyed on magenta."""
    stretch(dst, src, sx, sy, border, sh, x, y, border, h, art.MAGENTA)
    stretch(dst, src, sx + sw - border, sy, border, sh, x + w - border, y, border, h, art.MAGENTA)
    stretch(dst, src, sx + border, sy, sw - 2 * border, sh, x + border, y, w - 2 * border, h, art.MAGENTA)


def chrome(width_px, height_px):
    """A window of the given size with its caption strip and border."""
    W, H = width_px * TPP, height_px * TPP
    win = art.Canvas(width_px, height_px, (255, 255, 255))
    skin = art.frame_skin(S)
    SW, SH = skin.w * TPP, skin.h * TPP
    for i in range(1, int(W // 300) + 2):
        copy(win, skin, 300, SH - 60, 300, 500, i * 300, H - 60)
    for i in range(1, int(H // 300) + 2):
        copy(win, skin, 0, 800, 60, 500, 0, i * 300)
        copy(win, skin, SW - 60, 800, 300, 500, W - 60, i * 300)
    copy(win, skin, 0, SH - 60, 545, 60, 0, H - 60)
    copy(win, skin, SW - 500, SH - 60, 500, 60, W - 500, H - 60)
    strip = art.Canvas(width_px, px(500), (222, 222, 222))
    for i in range(1, int(W // 300) + 2):
        copy(strip, skin, 300, 0, 300, 545, i * 300, 0)
    copy(strip, skin, 0, 0, 545, 545, 0, 0)
    copy(strip, skin, SW - 1000, 0, 1000, 545, W - 1000, 0)
    copy(win, strip, 0, 0, W, 500, 0, 0)
    copy(win, art.caption_close(S), 0, 0, 645, 270, W - 730, 15)
    return win


def main_window_mock(width=700, height=260, tabs=2):
    """The main window at a restored size (pixels at 100 %), assembled from the
    pictures the way the caption control, the buttons and the tab strip paint
    them."""
    width_px, height_px = sz(width), sz(height)
    W = width_px * TPP
    win = chrome(width_px, height_px)
    # page area
    for y in range(px(480), height_px - sz(4)):
        for x in range(sz(4), width_px - sz(4)):
            win.set(x, y, (236, 240, 246) if (x // 40 + y // 40) % 2 else (246, 248, 251))
    # tab strip, style 1, TabLeftSize 10, TabRightSize -136
    ts = tab_skin_canvas(1)
    lay = art.TabSkinLayout(1, S)
    tw = px(W - 6900)
    strip = art.Canvas(tw, lay.strip_h)
    stretch(strip, ts, 0, 0, 1, lay.h, 0, 0, tw, lay.strip_h)
    area = tw - sz(10) + sz(136)
    tab_w = min(sz(200), int(round((area - sz(5) * tabs) / float(tabs))))
    for i in reversed(range(tabs)):
        left = sz(10) + i * (tab_w + sz(5))
        cell = lay.cells[2] if i == 0 else lay.cells[1] if i == 1 else lay.cells[0]
        draw_skin(strip, ts, left, 0, tab_w, lay.cell_h, cell, 0, lay.cell_w, lay.cell_h, lay.margin)
        g = lay.glyphs[0] if i == 0 else lay.glyphs[2] if i == 1 else lay.glyphs[1]
        stretch(strip, ts, g, 0, lay.glyph, lay.glyph, left + tab_w - sz(20), lay.glyph_y, lay.glyph, lay.glyph,
                art.MAGENTA)
    copy(win, strip, 0, 0, tw * TPP, 480, 1800, 45)
    # logo and buttons
    copy(win, art.logo(S), 0, 0, 435, 435, 100, 30)
    for make, left, fw, frame in ((art.caption_tool, 1825, 24, 1), (art.caption_min, 1465, 24, 0),
                                  (art.caption_minmax, 1105, 25, 3), (art.caption_close, 730, 43, 1)):
        copy(win, make(S), frame * sz(fw) * TPP, 0, sz(fw) * TPP, 270, W - left, 15)
    for make, icon, left, width_tw, frame in ((art.btn_gamespace_strip, art.btn_gamespace_icon, 3300, 1215, 0),
                                              (art.btn_otheruser_strip, art.btn_otheruser_icon, 4850, 1485, 1)):
        bx = px(W - left)
        stretch(win, make(S), frame * sz(4), 0, sz(4), sz(22), bx, 0, px(width_tw), sz(22))
        ic = icon(S)
        copy(win, ic, 0, 0, ic.w * TPP, 330, (W - left) + 150, 0)
        for x in range(bx + ic.w + sz(14), bx + px(width_tw) - sz(8)):   # stand-in for the caption
            for y in (8, 9, 10, 11, 12, 15):
                for dy in range(sz(1)):
                    win.set(x, sz(y) + dy, (255, 255, 255))
    return win


def message_box_mock():
    win = chrome(px(3630), px(2100))
    strip = art.btn_yesno_strip(S)
    fw, h = sz(75), sz(22)
    for left, frame in ((840, 0), (2040, 1)):
        stretch(win, strip, frame * fw, 0, fw, h, px(left), px(1320), px(975), px(375))
    return win


def updater_mock():
    win = chrome(sz(305), sz(144))
    bar = art.progress_skin(S)
    lay = art.ProgressLayout(S)
    cap, mid, h = lay.cap, lay.middle, lay.h
    x0, y0, w = px(240), px(1560), px(4095)
    for value in (0.45,):
        stretch(win, bar, 0, 0, cap, h, x0, y0, cap, h)
        stretch(win, bar, cap, 0, mid, h, x0 + cap, y0, w - 2 * cap, h)
        stretch(win, bar, cap + mid, 0, cap, h, x0 + w - cap, y0, cap, h)
        fill = int(round((w - 2) * value + 1))
        stretch(win, bar, lay.filled, 0, lay.track, h, x0 + fill, y0, w - fill - 1, h)
    return win


def tab_strip0_mock(width=600, tabs=4):
    ts = tab_skin_canvas(0)
    lay = art.TabSkinLayout(0, S)
    width_px = sz(width)
    strip = art.Canvas(width_px, lay.strip_h)
    stretch(strip, ts, 0, 0, 1, lay.h, 0, 0, width_px, lay.strip_h)
    left_size = sz(40)
    tab_w = sz(108)
    order = [i for i in reversed(range(tabs)) if i != 1] + [1]
    for i in order:
        left = left_size + lay.margin + i * tab_w
        cell = lay.cells[2] if i == 1 else lay.cells[1] if i == 2 else lay.cells[0]
        draw_skin(strip, ts, left - lay.margin, 0, tab_w + lay.margin, lay.cell_h, cell, 0, lay.cell_w, lay.cell_h,
                  lay.margin)
        g = lay.glyphs[0] if i == 1 else lay.glyphs[3] if i == 2 else lay.glyphs[1]
        stretch(strip, ts, g, 0, lay.glyph, lay.glyph, left + tab_w - sz(24), lay.glyph_y, lay.glyph, lay.glyph,
                art.MAGENTA)
    page = art.Canvas(width_px, sz(45), (255, 255, 255))
    copy(page, strip, 0, 0, width_px * TPP, 375, 0, 0)
    return page


def main():
    global S, TPP
    parser = argparse.ArgumentParser(description="Writes enlarged previews of the client's pictures.")
    parser.add_argument("--scale", type=int, default=100, choices=[int(s * 100) for s in art.SCALES])
    parser.add_argument("dir", nargs="?", default="/tmp/art-preview")
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()
    S = args.scale / 100.0
    TPP = 15.0 / S
    target, names = args.dir, args.names
    os.makedirs(target, exist_ok=True)
    for name, make, enlargement in PICTURES:
        if names and name not in names:
            continue
        cv = make()
        k = max(1, int(round(enlargement / S)))
        save(os.path.join(target, name + ".png"), enlarge(cv, k) if k > 1 else cv)
        print(name, cv.w, "x", cv.h)
    mocks = {"mock_main": main_window_mock, "mock_msgbox": message_box_mock,
             "mock_updater": updater_mock, "mock_tabs0": tab_strip0_mock}
    for name, make in mocks.items():
        if not names or name in names:
            save(os.path.join(target, name + ".png"), enlarge(make(), 3, False))


if __name__ == "__main__":
    main()
