#include "tabstrip/TabPaintPlan.h"

#include <algorithm>

#include "runtime/Rounding.h"

namespace corvane {

const SkinLayout& SkinFor(long style)
{
    static const SkinLayout trapezoid{
        106, {0, 0, 1, 25}, {{1, 0, 122, 25}, {123, 0, 122, 25}, {245, 0, 122, 25}}, {367, 379, 391, 403}, 14, 14};
    static const SkinLayout rounded{
        107, {0, 0, 1, 28}, {{1, 0, 124, 26}, {125, 0, 124, 26}, {249, 0, 124, 26}}, {373, 385, 397, 409}, 14, 14};
    return style == 0 ? trapezoid : rounded;
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

TabPaint PlanOne(long style, const TabState& t, long index, bool selected, bool hover, int closeState)
{
    TabPaint p;
    p.index = index;
    p.face = selected ? TabFace::Selected : hover ? TabFace::Hover : TabFace::Normal;
    p.hasGlyph = !t.hideButton;
    p.glyph = ChooseGlyph(selected, hover, closeState);
    if (style == 0) {
        p.dest = {t.left - 14, 0, t.width + 14, 25};
        // The selected caption keeps room for the glyph whether or not it is shown.
        const long captionWidth = selected ? t.width - 26 : (p.hasGlyph ? t.width - 38 : t.width - 14);
        p.caption = {t.left, 0, captionWidth, 25};
        p.glyphDest = {t.left + t.width - 24, 6, 12, 12};
    } else {
        p.dest = {t.left, 0, t.width, 26};
        p.caption = {t.left + 12, 0, p.hasGlyph ? t.width - 28 : t.width - 8, 26};
        p.glyphDest = {t.left + t.width - 20, 7, 12, 12};
    }
    // A caption keeps two pixels clear of the glyph; in the rounded style its box reaches under it.
    p.captionRoom = p.hasGlyph ? std::min(p.caption.w, p.glyphDest.x - 2 - p.caption.x) : p.caption.w;
    return p;
}

}  // namespace

std::vector<TabPaint> PlanTabs(long style, const std::vector<TabState>& tabs, long selected, long hover, int closeState)
{
    std::vector<TabPaint> plan;
    const long count = static_cast<long>(tabs.size());
    plan.reserve(tabs.size());
    for (long i = count - 1; i >= 0; --i) {
        if (i == selected || tabs[i].width <= 0) continue;
        plan.push_back(PlanOne(style, tabs[i], i, false, i == hover, closeState));
    }
    if (selected >= 0 && selected < count && tabs[selected].width > 0)
        plan.push_back(PlanOne(style, tabs[selected], selected, true, selected == hover, closeState));
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
