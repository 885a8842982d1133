#include "tabstrip/TabPaintPlan.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "runtime/ArtScale.h"
#include "runtime/Rounding.h"

namespace corvane {

namespace {

constexpr int kTrapezoidPieces[] = {1, 122, 122, 122, 12, 12, 12, 12};
constexpr int kRoundedPieces[] = {1, 124, 124, 124, 12, 12, 12, 12};

struct SkinDesign {
    int bitmapId;
    long height;      // the bitmap's
    long cellHeight;  // a tab cell's
    long border;      // a cell's unstretched sides
};

SkinLayout LayOutSkin(long style, int dpi)
{
    const SkinDesign design = style == 0 ? SkinDesign{106, 25, 25, 14} : SkinDesign{107, 28, 26, 14};
    const std::vector<int> w = rt::PieceLengthsAt(SkinPieces(style), dpi);
    const long cellHeight = rt::ScalePixels(design.cellHeight, dpi);
    const long border = rt::ScalePixels(design.border, dpi);
    SkinLayout skin{design.bitmapId, {0, 0, w[0], rt::ScalePixels(design.height, dpi)}, {}, {}, border, border, w[4]};
    long x = w[0];
    for (int face = 0; face < 3; ++face) {
        skin.tab[face] = {x, 0, w[1 + face], cellHeight};
        x += w[1 + face];
    }
    for (int glyph = 0; glyph < 4; ++glyph) {
        skin.glyphX[glyph] = x;
        x += w[4 + glyph];
    }
    return skin;
}

}  // namespace

std::span<const int> SkinPieces(long style)
{
    if (style == 0) return kTrapezoidPieces;
    return kRoundedPieces;
}

const SkinLayout& SkinFor(long style, int dpi)
{
    // Layouts are handed out by reference and kept: a strip holds its skin's while it draws.
    static std::mutex guard;
    static std::map<std::pair<bool, int>, SkinLayout> made;
    const std::lock_guard<std::mutex> lock(guard);
    const auto key = std::make_pair(style == 0, rt::SaneDpi(dpi));
    auto it = made.find(key);
    if (it == made.end()) it = made.emplace(key, LayOutSkin(style, key.second)).first;
    return it->second;
}

std::vector<SkinBlit> NinePartBlits(long w, long h, const PixelRect& s, long l, long t, long r, long b)
{
    std::vector<SkinBlit> parts;
    if (w <= 0 || h <= 0 || s.w <= 0 || s.h <= 0) return parts;
    if (l <= 0 && t <= 0 && r <= 0 && b <= 0) {
        parts.push_back({BlitKind::Stretch, {0, 0, w, h}, {s.x + l, s.y + t, s.w - r, s.h - b}});
        return parts;
    }
    const long midW = w - l - r, midH = h - t - b;
    const long srcMidW = s.w - l - r, srcMidH = s.h - t - b;
    if (l > 0 && t > 0) parts.push_back({BlitKind::Copy, {0, 0, l, t}, {s.x, s.y, l, t}});
    if (r > 0 && t > 0) parts.push_back({BlitKind::Copy, {w - r, 0, r, t}, {s.x + s.w - r, s.y, r, t}});
    if (l > 0 && b > 0) parts.push_back({BlitKind::Copy, {0, h - b, l, b}, {s.x, s.y + s.h - b, l, b}});
    if (r > 0 && b > 0)
        parts.push_back({BlitKind::Copy, {w - r, h - b, r, b}, {s.x + s.w - r, s.y + s.h - b, r, b}});
    if (l > 0) parts.push_back({BlitKind::Stretch, {0, t, l, midH}, {s.x, s.y + t, l, srcMidH}});
    if (r > 0) parts.push_back({BlitKind::Stretch, {w - r, t, r, midH}, {s.x + s.w - r, s.y + t, r, srcMidH}});
    if (t > 0) parts.push_back({BlitKind::Stretch, {l, 0, midW, t}, {s.x + l, s.y, srcMidW, t}});
    if (b > 0) parts.push_back({BlitKind::Stretch, {l, h - b, midW, b}, {s.x + l, s.y + s.h - b, srcMidW, b}});
    parts.push_back({BlitKind::Stretch, {l, t, midW, midH}, {s.x + l, s.y + t, srcMidW, srcMidH}});
    return parts;
}

CloseGlyph ChooseGlyph(bool selectedTab, bool hover, int closeState)
{
    if (hover && closeState == 1) return CloseGlyph::Hover;
    if (hover && closeState == 2) return CloseGlyph::Pressed;
    return selectedTab ? CloseGlyph::Selected : CloseGlyph::Normal;
}

namespace {

TabPaint PlanOne(long style, const TabState& t, long index, bool selected, bool hover, int closeState, int dpi)
{
    const auto px = [dpi](long designPixels) { return static_cast<long>(rt::ScalePixels(designPixels, dpi)); };
    TabPaint p;
    p.index = index;
    p.face = selected ? TabFace::Selected : hover ? TabFace::Hover : TabFace::Normal;
    p.hasGlyph = !t.hideButton;
    p.glyph = ChooseGlyph(selected, hover, closeState);
    const long glyph = px(12);
    if (style == 0) {
        const long slant = px(14);
        const long height = px(25);
        p.dest = {t.left - slant, 0, t.width + slant, height};
        // The selected caption keeps room for the glyph whether or not it is shown.
        const long captionWidth = selected ? t.width - px(26) : (p.hasGlyph ? t.width - px(38) : t.width - slant);
        p.caption = {t.left, 0, captionWidth, height};
        p.glyphDest = {t.left + t.width - px(24), px(6), glyph, glyph};
    } else {
        const long height = px(26);
        p.dest = {t.left, 0, t.width, height};
        p.caption = {t.left + px(12), 0, p.hasGlyph ? t.width - px(28) : t.width - px(8), height};
        p.glyphDest = {t.left + t.width - px(20), px(7), glyph, glyph};
    }
    // A caption keeps two pixels clear of the glyph; in the rounded style its box reaches under it.
    p.captionRoom = p.hasGlyph ? std::min(p.caption.w, p.glyphDest.x - px(2) - p.caption.x) : p.caption.w;
    if (t.width <= 0) {
        // Squeezed to no width: no skin or caption is left to draw, but the close mark stays where
        // it always lies, Width - 24 (or - 20) from the tab's Left.
        p.dest.w = 0;
        p.caption.w = 0;
        p.captionRoom = 0;
    }
    return p;
}

}  // namespace

std::vector<TabPaint> PlanTabs(long style, const std::vector<TabState>& tabs, long selected, long hover, int closeState,
                               int dpi)
{
    std::vector<TabPaint> plan;
    const long count = static_cast<long>(tabs.size());
    plan.reserve(tabs.size());
    // A tab squeezed to no width without a close mark has nothing to draw.
    const auto drawn = [&](long i) { return tabs[i].width > 0 || !tabs[i].hideButton; };
    for (long i = count - 1; i >= 0; --i) {
        if (i == selected || !drawn(i)) continue;
        plan.push_back(PlanOne(style, tabs[i], i, false, i == hover, closeState, dpi));
    }
    if (selected >= 0 && selected < count && drawn(selected))
        plan.push_back(PlanOne(style, tabs[selected], selected, true, selected == hover, closeState, dpi));
    return plan;
}

CaptionPlacement PlaceCaption(const PixelRect& box, long textWidth, long textHeight)
{
    if (box.w < textWidth) {
        const long y = box.y + rt::RoundHalfEven((box.h - textHeight) / 2.0);
        return {{box.x, y, box.w, box.h}, kCaptionEllipsis};
    }
    return {box, kCaptionCentred};
}

}  // namespace corvane
