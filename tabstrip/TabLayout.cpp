#include "tabstrip/TabLayout.h"

#include <algorithm>

#include "runtime/Rounding.h"

namespace corvane {

namespace {

// Where each style puts the close button relative to a tab's right end and the strip's top.
struct CloseBox {
    long fromRight;  // left edge = Left + Width - fromRight
    long top;
};

CloseBox CloseBoxOf(const StripGeometry& strip)
{
    return strip.style == 0 ? CloseBox{strip.Px(24), strip.Px(6)} : CloseBox{strip.Px(20), strip.Px(7)};
}

long GlyphSize(const StripGeometry& strip) { return strip.Px(12); }
long RoundedGap(const StripGeometry& strip) { return strip.Px(5); }  // style 1: the gap after each tab
long HitBottom(const StripGeometry& strip) { return strip.Px(25); }  // the hit test's lower bound, both styles

}  // namespace

StripGeometry StripAt(long style, long width, long leftSize, long rightSize, int dpi)
{
    return {style, width, rt::ScalePixels(leftSize, dpi), rt::ScalePixels(rightSize, dpi), dpi};
}

long ComputeTabWidth(const StripGeometry& strip, const std::vector<bool>& locked)
{
    const long n = static_cast<long>(locked.size());
    const long j = static_cast<long>(std::count(locked.begin(), locked.end(), true));
    const long full = strip.FullTabWidth();
    if (n <= j) return full;
    const long available = strip.style == 0 ? strip.TabAreaWidth() - full * j - strip.Slant()
                                            : strip.TabAreaWidth() - full * j - RoundedGap(strip) * n;
    const long width = rt::RoundHalfEven(static_cast<double>(available) / static_cast<double>(n - j));
    return std::min(width, full);
}

std::vector<TabSlot> LayoutTabs(const StripGeometry& strip, long commonWidth, const std::vector<bool>& locked)
{
    std::vector<TabSlot> slots;
    slots.reserve(locked.size());
    long x = strip.style == 0 ? strip.Slant() : 0;
    const long gap = strip.style == 0 ? 0 : RoundedGap(strip);
    for (bool lock : locked) {
        const long width = lock ? strip.FullTabWidth() : commonWidth;
        slots.push_back({x, width});
        x += width + gap;
    }
    return slots;
}

long SelectionAfterAdd(long selected, long count)
{
    return selected < 0 || selected >= count ? 0 : selected;
}

long SelectionAfterRemove(long selected, long removed)
{
    if (removed == selected) return 0;
    return selected > removed ? selected - 1 : selected;
}

HitResult HitTest(const StripGeometry& strip, const std::vector<HitTab>& tabs, double xIn, double yIn, long shift)
{
    const long x = rt::RoundHalfEven(xIn);
    const long y = rt::RoundHalfEven(yIn);
    HitResult hit;
    if (x < 0 || x > strip.width || y < 0 || y > HitBottom(strip)) return hit;
    if (x > strip.width - strip.rightSize || x < strip.leftSize) {
        hit.index = kHitMargin;
        return hit;
    }
    hit.index = kHitNoTab;
    if (tabs.empty()) return hit;
    const long rx = x - strip.leftSize + shift;
    if (rx <= strip.Slant()) {
        hit.index = 0;
        return hit;
    }
    const CloseBox box = CloseBoxOf(strip);
    const long glyph = GlyphSize(strip);
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        const HitTab& t = tabs[i];
        if (rx < t.left || rx > t.left + t.width) continue;
        hit.index = static_cast<long>(i);
        const long closeLeft = t.left + t.width - box.fromRight;
        hit.close = !t.hideButton && rx >= closeLeft && rx <= closeLeft + glyph && y >= box.top &&
                    y <= box.top + glyph;
        return hit;
    }
    return hit;
}

}  // namespace corvane

namespace corvane {

CloseButtonPlace CloseButtonOf(const StripGeometry& strip, long tabLeft, long tabWidth)
{
    const CloseBox box = CloseBoxOf(strip);
    return {strip.leftSize + tabLeft + tabWidth - box.fromRight, box.top, GlyphSize(strip)};
}

}  // namespace corvane
