// The selected tab never hidden: the shift of the tab area's picture, the chevron's appearance
// rule and the hit test over a shifted picture, for every selected position of strips of many
// widths with 1 to 64 tabs.

#include <gtest/gtest.h>

#include <algorithm>

#include "tabstrip/TabOverflow.h"

namespace {

using corvane::HitTab;
using corvane::kHitChevron;
using corvane::PlanOverflow;
using corvane::StripGeometry;
using corvane::TabOverflow;
using corvane::TabSlot;

std::vector<TabSlot> Layout(const StripGeometry& strip, long count)
{
    const std::vector<bool> locked(static_cast<std::size_t>(count), false);
    return corvane::LayoutTabs(strip, corvane::ComputeTabWidth(strip, locked), locked);
}

long ImageLeft(const StripGeometry& strip, const TabSlot& s)
{
    return strip.style == 0 ? s.left - 14 : s.left;
}

TEST(TabOverflow, MainWindowAt1280With14Tabs)
{
    // The main window's strip at a 1280-pixel client: 820 wide, TabLeftSize 10, TabRightSize -136.
    const StripGeometry strip{1, 820, 10, -136};
    const auto slots = Layout(strip, 14);
    ASSERT_EQ(slots[13].left, 884);
    ASSERT_EQ(slots[13].width, 63);
    const TabOverflow last = PlanOverflow(strip, slots, 13);
    EXPECT_EQ(last.visibleWidth, 810);
    EXPECT_TRUE(last.chevron);
    EXPECT_EQ(last.chevronLeft, 778);
    EXPECT_EQ(last.shift, 884 + 63 - 778);
    // The first tab selected: the usual picture, with the chevron over the cut-off end.
    const TabOverflow first = PlanOverflow(strip, slots, 0);
    EXPECT_TRUE(first.chevron);
    EXPECT_EQ(first.shift, 0);
    // A tab partly under the chevron moves just clear of it.
    EXPECT_EQ(PlanOverflow(strip, slots, 11).shift, 11 * 68 + 63 - 778);
    // Three tabs fit: neither chevron nor shift.
    const TabOverflow few = PlanOverflow(strip, Layout(strip, 3), 2);
    EXPECT_FALSE(few.chevron);
    EXPECT_EQ(few.chevronLeft, 810);
    EXPECT_EQ(few.shift, 0);
}

TEST(TabOverflow, ChevronAppearanceRule)
{
    struct Case {
        const char* name;
        StripGeometry strip;
        std::vector<TabSlot> slots;
        bool chevron;
    };
    const Case cases[] = {
        {"no tabs", {1, 400, 10, 0}, {}, false},
        {"last tab ends at the visible end", {1, 400, 10, 0}, {{0, 200}, {205, 185}}, false},
        {"last tab one pixel beyond", {1, 400, 10, 0}, {{0, 200}, {205, 186}}, true},
        {"beyond the control's edge with a negative right size", {1, 400, 10, -136}, {{0, 200}, {205, 200}}, true},
        {"tabs squeezed to no width are not drawn, not cut off", {1, 400, 10, 0}, {{0, 0}, {5, -3}}, false},
        {"trapezoid, last tab beyond", {0, 300, 40, 0}, {{14, 108}, {122, 108}, {230, 108}}, true},
        {"trapezoid, all inside", {0, 300, 40, 0}, {{14, 108}, {122, 108}}, false},
        {"no room for the chevron", {1, 40, 10, 0}, {{0, 200}}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(PlanOverflow(c.strip, c.slots, 0).chevron, c.chevron) << c.name;
}

TEST(TabOverflow, EverySelectedTabIsWholeByTheLeastShift)
{
    const StripGeometry strips[] = {
        {1, 820, 10, -136}, {1, 340, 10, -136}, {1, 1036, 10, -136}, {1, 120, 10, -136},
        {0, 600, 40, 0},    {0, 250, 40, 0},    {1, 500, 10, 0},     {0, 1500, 40, 20},
    };
    for (const StripGeometry& strip : strips) {
        for (long count = 1; count <= 64; ++count) {
            const auto slots = Layout(strip, count);
            const long visible = corvane::VisibleTabAreaWidth(strip);
            const bool anyCut = std::any_of(slots.begin(), slots.end(),
                                            [&](const TabSlot& s) { return s.width > 0 && s.left + s.width > visible; });
            for (long selected = 0; selected < count; ++selected) {
                const TabOverflow o = PlanOverflow(strip, slots, selected);
                SCOPED_TRACE(testing::Message() << "style " << strip.style << " width " << strip.width << " tabs "
                                                << count << " selected " << selected);
                EXPECT_EQ(o.visibleWidth, visible);
                EXPECT_EQ(o.chevron, anyCut && visible > corvane::ChevronWidth(strip.style));
                EXPECT_EQ(o.chevronLeft, o.chevron ? visible - corvane::ChevronWidth(strip.style) : visible);
                EXPECT_GE(o.shift, 0);
                const TabSlot& tab = slots[static_cast<std::size_t>(selected)];
                if (tab.width <= 0) {
                    EXPECT_EQ(o.shift, 0);
                    continue;
                }
                const long right = tab.left + tab.width;
                if (right <= o.chevronLeft) {
                    EXPECT_EQ(o.shift, 0) << "inside the area: the usual picture";
                    continue;
                }
                const long left = ImageLeft(strip, tab);
                if (right - left <= o.chevronLeft) {
                    EXPECT_EQ(right - o.shift, o.chevronLeft) << "whole, and no shift less would do";
                    EXPECT_GE(left - o.shift, 0);
                } else {
                    EXPECT_EQ(o.shift, std::max(0L, left)) << "wider than the room: its left end in view";
                }
            }
        }
    }
}

TEST(TabOverflow, HitTestFollowsTheShiftedPicture)
{
    const StripGeometry strip{1, 820, 10, -136};
    const auto slots = Layout(strip, 14);
    std::vector<HitTab> tabs;
    for (const TabSlot& s : slots) tabs.push_back({s.left, s.width, false});
    const TabOverflow o = PlanOverflow(strip, slots, 13);  // shift 169
    struct Case {
        double x, y;
        long index;
        bool close;
    };
    const Case cases[] = {
        {10 + 800, 10, kHitChevron, false},     // on the chevron
        {10 + 778, 3, kHitChevron, false},      // its first column
        {10 + 777, 3, 13, false},               // the selected tab's last column
        {10 + 760, 10, 13, true},               // rx 929: its close button
        {10 + 680, 10, 12, false},              // rx 849: the tab before it
        {5, 10, corvane::kHitMargin, false},    // left of the area
        {10 + 800, 30, corvane::kHitOutside, false},
    };
    for (const Case& c : cases) {
        const auto hit = corvane::HitTestShifted(strip, tabs, o, c.x, c.y);
        EXPECT_EQ(hit.index, c.index) << c.x;
        EXPECT_EQ(hit.close, c.close) << c.x;
    }
    // Without a chevron or shift it is the usual hit test.
    const TabOverflow none = PlanOverflow(strip, {slots[0]}, 0);
    EXPECT_EQ(corvane::HitTestShifted(strip, {tabs[0]}, none, 10 + 800, 10).index, corvane::kHitNoTab);
}

TEST(TabOverflow, ChevronPictureSitsAtTheVisibleEnd)
{
    TabOverflow o;
    o.visibleWidth = 810;
    o.chevron = true;
    o.chevronLeft = 778;
    const auto rounded = corvane::PlanChevron(1, o);
    EXPECT_EQ(rounded.clear, (corvane::PixelRect{778, 0, 32, 32}));
    EXPECT_EQ(rounded.face, (corvane::PixelRect{780, 0, 30, 26}));
    o.chevronLeft = 774;
    const auto trapezoid = corvane::PlanChevron(0, o);
    EXPECT_EQ(trapezoid.face, (corvane::PixelRect{776, 0, 34, 25}));
    EXPECT_GE(trapezoid.face.w, 28) << "room for both slanted sides";

    // At 150 % the chevron and its face are the design's scaled, the face still as high as a tab.
    o.visibleWidth = 1215;
    o.chevronLeft = 1215 - corvane::ChevronWidth(1, 144);
    const auto scaled = corvane::PlanChevron(1, o, 144);
    EXPECT_EQ(scaled.clear, (corvane::PixelRect{1167, 0, 48, 48}));
    EXPECT_EQ(scaled.face, (corvane::PixelRect{1170, 0, 45, 39}));
    for (int dpi : {96, 120, 144, 168, 192})
        EXPECT_GE(corvane::ChevronWidth(0, dpi) - rt::ScalePixels(2, dpi), 2 * rt::ScalePixels(14, dpi)) << dpi;
}

TEST(TabOverflow, OnlyTabsInViewAreDrawn)
{
    TabOverflow o;
    o.visibleWidth = 810;
    o.chevron = true;
    o.chevronLeft = 778;
    struct Case {
        long x, w;
        bool seen;
    };
    const Case cases[] = {
        {-63, 63, false},  // wholly left of the area after the shift
        {-62, 63, true},
        {777, 63, true},   // one column left of the chevron
        {778, 63, false},  // under the chevron
        {900, 63, false},  // beyond the visible end
    };
    for (const Case& c : cases) {
        corvane::TabPaint p;
        p.dest = {c.x, 0, c.w, 26};
        EXPECT_EQ(corvane::TabInView(p, o), c.seen) << c.x;
    }
    // A tab squeezed to 11 pixels under the chevron still shows its glyph, 9 pixels left of it.
    const auto squeezed = corvane::PlanTabs(1, {{780, 11, false}}, -1, -1, 0);
    ASSERT_EQ(squeezed[0].glyphDest.x, 771);
    EXPECT_TRUE(corvane::TabInView(squeezed[0], o));
}

}  // namespace
