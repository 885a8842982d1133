#include "tabstrip/TabOverflow.h"

#include <algorithm>

#include "runtime/Rounding.h"
#include "tabstrip/TabSprites.h"

namespace corvane {

namespace {

long ImageLeft(const StripGeometry& strip, const TabSlot& slot)
{
    return strip.style == 0 ? slot.left - strip.Slant() : slot.left;
}

long ImageRight(const TabSlot& slot)
{
    return slot.left + slot.width;
}

}  // namespace

long ChevronWidth(long style, int dpi)
{
    // The skin's sides are 14 pixels each: the face needs at least 28, plus a little room.
    return rt::ScalePixels(style == 0 ? 36 : 32, dpi);
}

long VisibleTabAreaWidth(const StripGeometry& strip)
{
    return std::max(0L, std::min(strip.TabAreaWidth(), strip.width - strip.leftSize));
}

TabOverflow PlanOverflow(const StripGeometry& strip, const std::vector<TabSlot>& slots, long selected)
{
    TabOverflow o;
    o.visibleWidth = VisibleTabAreaWidth(strip);
    o.chevronLeft = o.visibleWidth;
    const bool cutOff = std::any_of(slots.begin(), slots.end(), [&](const TabSlot& s) {
        return s.width > 0 && ImageRight(s) > o.visibleWidth;
    });
    const long chevron = ChevronWidth(strip.style, strip.dpi);
    o.chevron = cutOff && o.visibleWidth > chevron;
    if (o.chevron) o.chevronLeft = o.visibleWidth - chevron;
    if (selected < 0 || selected >= static_cast<long>(slots.size())) return o;
    const TabSlot& tab = slots[static_cast<std::size_t>(selected)];
    if (tab.width <= 0) return o;
    const long needed = ImageRight(tab) - o.chevronLeft;
    if (needed <= 0) return o;
    o.shift = std::min(needed, std::max(0L, ImageLeft(strip, tab)));
    return o;
}

HitResult HitTestShifted(const StripGeometry& strip, const std::vector<HitTab>& tabs, const TabOverflow& overflow,
                         double x, double y)
{
    HitResult hit = HitTest(strip, tabs, x, y, overflow.shift);
    if (hit.index < kHitNoTab || !overflow.chevron) return hit;
    const long rx = rt::RoundHalfEven(x) - strip.leftSize;
    if (rx >= overflow.chevronLeft) hit = HitResult{kHitChevron, false};
    return hit;
}

bool TabInView(const TabPaint& paint, const TabOverflow& overflow)
{
    // A squeezed tab's close glyph may lie left of its image.
    const PixelRect area = TabPaintArea(paint);
    return area.x < overflow.chevronLeft && area.x + area.w > 0;
}

ChevronPaint PlanChevron(long style, const TabOverflow& overflow, int dpi)
{
    const auto px = [dpi](long designPixels) { return rt::ScalePixels(designPixels, dpi); };
    const long left = overflow.chevronLeft;
    const long width = ChevronWidth(style, dpi);
    const long height = px(style == 0 ? 25 : 26);
    const long inset = px(2);
    ChevronPaint p;
    p.clear = {left, 0, overflow.visibleWidth - left, px(style == 0 ? 25 : 32)};
    p.face = {left + inset, 0, width - inset, height};
    p.text = {left + inset, 0, width - inset, height};
    return p;
}

TabPaint ChevronAsTab(const ChevronPaint& chevron)
{
    TabPaint p;
    p.index = -1;
    p.face = TabFace::Normal;
    p.dest = chevron.face;
    p.caption = chevron.text;
    p.captionRoom = chevron.text.w;
    p.hasGlyph = false;
    return p;
}

}  // namespace corvane
