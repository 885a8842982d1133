#pragma once
// The strip's arithmetic: tab widths and positions, and what lies under a point. All values
// are pixels; tab positions are in tab-area coordinates (0 at TabLeftSize).

#include <vector>

namespace corvane {

struct StripGeometry {
    long style = 0;       // 0: trapezoid tabs; any other value: rounded tabs
    long width = 0;       // the control's width
    long leftSize = 40;   // TabLeftSize
    long rightSize = 0;   // TabRightSize

    long TabAreaWidth() const { return width - leftSize - rightSize; }
    long Height() const { return style == 0 ? 25 : 32; }
    // The width of a tab with LockSize, and the upper bound of the common width.
    long FullTabWidth() const { return style == 0 ? 108 : 200; }
};

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
