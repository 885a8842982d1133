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

CloseBox CloseBoxOf(long style)
{
    return style == 0 ? CloseBox{24, 6} : CloseBox{20, 7};
}

constexpr long kGlyphSize = 12;
constexpr long kSlant = 14;        // style 0: the slanted side each tab image reaches past Left
constexpr long kRoundedGap = 5;    // style 1: the gap after each tab
constexpr long kHitBottom = 25;    // the hit test's lower bound, in both styles

}  // namespace

long ComputeTabWidth(const StripGeometry& strip, const std::vector<bool>& locked)
{
    const long n = static_cast<long>(locked.size());
    const long j = static_cast<long>(std::count(locked.begin(), locked.end(), true));
    const long full = strip.FullTabWidth();
    if (n <= j) return full;
    const long available = strip.style == 0 ? strip.TabAreaWidth() - full * j - kSlant
                                            : strip.TabAreaWidth() - full * j - kRoundedGap * n;
    const long width = rt::RoundHalfEven(static_cast<double>(available) / static_cast<double>(n - j));
    return std::min(width, full);
}

std::vector<TabSlot> LayoutTabs(const StripGeometry& strip, long commonWidth, const std::vector<bool>& locked)
{
    std::vector<TabSlot> slots;
    slots.reserve(locked.size());
    long x = strip.style == 0 ? kSlant : 0;
    const long gap = strip.style == 0 ? 0 : kRoundedGap;
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
    if (x < 0 || x > strip.width || y < 0 || y > kHitBottom) return hit;
    if (x > strip.width - strip.rightSize || x < strip.leftSize) {
        hit.index = kHitMargin;
        return hit;
    }
    hit.index = kHitNoTab;
    if (tabs.empty()) return hit;
    const long rx = x - strip.leftSize + shift;
    if (rx <= kSlant) {
        hit.index = 0;
        return hit;
    }
    const CloseBox box = CloseBoxOf(strip.style);
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        const HitTab& t = tabs[i];
        if (rx < t.left || rx > t.left + t.width) continue;
        hit.index = static_cast<long>(i);
        const long closeLeft = t.left + t.width - box.fromRight;
        hit.close = !t.hideButton && rx >= closeLeft && rx <= closeLeft + kGlyphSize && y >= box.top &&
                    y <= box.top + kGlyphSize;
        return hit;
    }
    return hit;
}

}  // namespace corvane

namespace corvane {

CloseButtonPlace CloseButtonOf(const StripGeometry& strip, long tabLeft, long tabWidth)
{
    const CloseBox box = CloseBoxOf(strip.style);
    return {strip.leftSize + tabLeft + tabWidth - box.fromRight, box.top, kGlyphSize};
}

}  // namespace corvane
