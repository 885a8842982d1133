#pragma once
// Many tabs on a narrow strip: tabs beyond the visible end of the tab area are cut off as
// always, but the selected tab is never hidden (the tab area's picture slides left just enough
// to show it whole), and a chevron at the visible end opens a list of every tab. All values are
// pixels in tab-area coordinates (0 at TabLeftSize).

#include <vector>

#include "tabstrip/TabLayout.h"
#include "tabstrip/TabPaintPlan.h"

namespace corvane {

// The hit code of the chevron (beside the codes of HitCode).
constexpr long kHitChevron = -4;

// The chevron's width at the visible end of the tab area, by style, at `dpi`.
long ChevronWidth(long style, int dpi = rt::kBaseDpi);

// The part of the tab area the control shows: with a negative TabRightSize the area reaches
// past the control's right edge, and what lies there is never seen.
long VisibleTabAreaWidth(const StripGeometry& strip);

struct TabOverflow {
    long visibleWidth = 0;  // VisibleTabAreaWidth
    bool chevron = false;   // some tab is cut off and the chevron fits
    long chevronLeft = 0;   // where the chevron starts (visibleWidth when there is none)
    long shift = 0;         // how far the tabs' picture moves left, 0 or more
};

// Whether tabs are cut off, where the chevron goes and how far the picture moves so the
// selected tab lies whole left of the chevron. A tab counts as cut off when any of its image
// lies beyond the visible end (tabs squeezed to no width are not drawn at all). With the selected
// tab whole in the area the shift is 0 and the picture is the usual one; a selected tab wider
// than the room keeps its left end in view.
TabOverflow PlanOverflow(const StripGeometry& strip, const std::vector<TabSlot>& slots, long selected);

// The hit test of a strip whose picture may be shifted and may carry the chevron.
HitResult HitTestShifted(const StripGeometry& strip, const std::vector<HitTab>& tabs, const TabOverflow& overflow,
                         double x, double y);

// Whether anything of a planned tab (its image, caption box or glyph; tab-area coordinates,
// shift applied) is seen: tabs wholly
// left of the area, under the chevron or beyond the visible end need not be drawn at all.
bool TabInView(const TabPaint& paint, const TabOverflow& overflow);

// The chevron's picture: a small tab of the normal face and the "»" centred on it.
struct ChevronPaint {
    PixelRect clear;  // where the background goes first, hiding the cut-off tabs beneath
    PixelRect face;   // the stretched normal tab image
    PixelRect text;   // the box the glyph is centred in
};
ChevronPaint PlanChevron(long style, const TabOverflow& overflow, int dpi = rt::kBaseDpi);
// The chevron as a tab without a close glyph whose caption is kChevronText: drawn, and kept as a
// sprite, by the tabs' own routines.
TabPaint ChevronAsTab(const ChevronPaint& chevron);

// The chevron's glyph.
inline constexpr const wchar_t* kChevronText = L"\u00BB";

}  // namespace corvane
