#pragma once
// The strip's arithmetic: tab widths and positions, and what lies under a point. All values
// are the window's pixels; tab positions are in tab-area coordinates (0 at TabLeftSize). The
// strip's own lengths (tab widths, slants, gaps, its height) are 96-dpi pixels scaled to the
// strip's dpi, so that it is drawn at its scale and not stretched to it.

#include <vector>

#include "runtime/DpiScale.h"

namespace corvane {

struct StripGeometry {
    long style = 0;       // 0: trapezoid tabs; any other value: rounded tabs
    long width = 0;       // the control's width
    long leftSize = 40;   // TabLeftSize, at the strip's dpi
    long rightSize = 0;   // TabRightSize, at the strip's dpi
    int dpi = rt::kBaseDpi;

    // A length of the 96-dpi design at the strip's dpi.
    long Px(long designPixels) const { return rt::ScalePixels(designPixels, dpi); }
    long TabAreaWidth() const { return width - leftSize - rightSize; }
    long Height() const { return Px(style == 0 ? 25 : 32); }
    // The width of a tab with LockSize, and the upper bound of the common width.
    long FullTabWidth() const { return Px(style == 0 ? 108 : 200); }
    // How far a trapezoid tab's image reaches left of its Left: its slanted side.
    long Slant() const { return Px(14); }
};

// The strip of a control `width` pixels wide at `dpi`, whose TabLeftSize and TabRightSize are
// stated in 96-dpi pixels.
StripGeometry StripAt(long style, long width, long leftSize, long rightSize, int dpi);

struct TabSlot {
    long left = 0;
    long width = 0;
};

// The common tab width for tabs whose LockSize flags are `locked`, halves to even. There is no
// lower bound: with many tabs it reaches 0 and below.
long ComputeTabWidth(const StripGeometry& strip, const std::vector<bool>& locked);

// Left and Width of every tab, in list order.
std::vector<TabSlot> LayoutTabs(const StripGeometry& strip, long commonWidth, const std::vector<bool>& locked);

struct HitTab {
    long left = 0;
    long width = 0;
    bool hideButton = false;
};

enum HitCode : long {
    kHitNoTab = -1,     // over the tab area, not over a tab
    kHitMargin = -2,    // left or right of the tab area
    kHitOutside = -3,   // outside the control (or below row 25)
};

struct HitResult {
    long index = kHitOutside;  // a position or a HitCode
    bool close = false;        // on that tab's close button
};

// The selection after a tab was added (count: the new number of tabs): a selection that is not
// a valid position becomes the first tab.
long SelectionAfterAdd(long selected, long count);
// The selection after the tab at `removed` left the list: removing the selected tab selects
// the first one; the same tab stays selected when one before it goes.
long SelectionAfterRemove(long selected, long removed);

// What lies under the point (x, y), control coordinates (rounded halves to even first). With a
// `shift`, the tabs' picture lies that many pixels left of their layout (TabOverflow.h).
HitResult HitTest(const StripGeometry& strip, const std::vector<HitTab>& tabs, double x, double y, long shift = 0);

}  // namespace corvane

namespace corvane {

// The close button of a tab at (left, width), control coordinates.
struct CloseButtonPlace {
    long left = 0;
    long top = 0;
    long size = 0;
};
CloseButtonPlace CloseButtonOf(const StripGeometry& strip, long tabLeft, long tabWidth);

}  // namespace corvane
