// The strip's arithmetic: common tab width, positions, hit test and selection repair, with the
// worked examples the strip was designed against.

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "tabstrip/TabLayout.h"
#include "tabstrip/TabPaintPlan.h"

namespace {

using corvane::ComputeTabWidth;
using corvane::HitTest;
using corvane::LayoutTabs;
using corvane::StripGeometry;

std::vector<long> Lefts(const std::vector<corvane::TabSlot>& slots)
{
    std::vector<long> out;
    for (const auto& s : slots) out.push_back(s.left);
    return out;
}

TEST(TabWidth, TrapezoidStrip)
{
    const StripGeometry strip{0, 600, 40, 0};
    const std::vector<bool> three(3, false);
    EXPECT_EQ(ComputeTabWidth(strip, three), 108);  // 546 / 3 = 182, capped
    EXPECT_EQ(Lefts(LayoutTabs(strip, 108, three)), (std::vector<long>{14, 122, 230}));

    const std::vector<bool> six(6, false);
    EXPECT_EQ(ComputeTabWidth(strip, six), 91);
    EXPECT_EQ(Lefts(LayoutTabs(strip, 91, six)), (std::vector<long>{14, 105, 196, 287, 378, 469}));

    // available 213 over two tabs: 106.5 -> 106; 215: 107.5 -> 108.
    EXPECT_EQ(ComputeTabWidth(StripGeometry{0, 213 + 14, 0, 0}, {false, false}), 106);
    EXPECT_EQ(ComputeTabWidth(StripGeometry{0, 215 + 14, 0, 0}, {false, false}), 108);
}

TEST(TabWidth, RoundedStripWithNegativeRightSize)
{
    const StripGeometry strip{1, 800, 10, -136};
    const std::vector<bool> five(5, false);
    EXPECT_EQ(strip.TabAreaWidth(), 926);
    EXPECT_EQ(ComputeTabWidth(strip, five), 180);
    EXPECT_EQ(Lefts(LayoutTabs(strip, 180, five)), (std::vector<long>{0, 185, 370, 555, 740}));
}

TEST(TabWidth, LockedTabsKeepTheFullWidth)
{
    const StripGeometry rounded{1, 300, 10, 0};
    const std::vector<bool> locks{false, true};
    const long common = ComputeTabWidth(rounded, locks);  // 290 - 200 - 10 = 80
    EXPECT_EQ(common, 80);
    const auto slots = LayoutTabs(rounded, common, locks);
    EXPECT_EQ(slots[0].width, 80);
    EXPECT_EQ(slots[1].width, 200);
    EXPECT_EQ(slots[1].left, 85);

    // All locked: the maximum, no division.
    EXPECT_EQ(ComputeTabWidth(StripGeometry{0, 10, 0, 0}, {true, true}), 108);
    EXPECT_EQ(ComputeTabWidth(StripGeometry{1, 10, 0, 0}, {true}), 200);
    EXPECT_EQ(ComputeTabWidth(StripGeometry{1, 10, 0, 0}, {}), 200);
}

TEST(TabWidth, HasNoLowerBound)
{
    const StripGeometry strip{0, 300, 40, 0};  // available 246
    EXPECT_EQ(ComputeTabWidth(strip, std::vector<bool>(246, false)), 1);
    EXPECT_EQ(ComputeTabWidth(strip, std::vector<bool>(600, false)), 0);
    EXPECT_LT(ComputeTabWidth(StripGeometry{0, 40, 40, 0}, std::vector<bool>(3, false)), 0);
}

TEST(HitTesting, MarginsAndOutside)
{
    const StripGeometry strip{0, 400, 40, 0};
    EXPECT_EQ(HitTest(strip, {}, 30, 10).index, -2);
    EXPECT_EQ(HitTest(strip, {{14, 108, false}}, 50, 10).index, 0);  // rx = 10: the first tab
    EXPECT_EQ(HitTest(strip, {}, 401, 10).index, -3);
    EXPECT_EQ(HitTest(strip, {}, 100, 26).index, -3);
    EXPECT_EQ(HitTest(strip, {}, -1, 10).index, -3);
    for (int x = 40; x <= 400; x += 40) EXPECT_EQ(HitTest(strip, {}, x, 10).index, -1) << x;
    // Coordinates are rounded halves to even first: 25.5 -> 26 is outside, 24.5 -> 24 inside.
    EXPECT_EQ(HitTest(strip, {}, 100, 25.5).index, -3);
    EXPECT_EQ(HitTest(strip, {}, 100, 24.5).index, -1);
    // The bound of row 25 holds in the rounded style too.
    EXPECT_EQ(HitTest(StripGeometry{1, 400, 40, 0}, {}, 100, 30).index, -3);
    // A negative right size never makes the right margin fire inside the control.
    const StripGeometry main{1, 500, 10, -136};
    for (int x = 10; x <= 500; ++x) EXPECT_NE(HitTest(main, {}, x, 5).index, -2) << x;
}

TEST(HitTesting, TabsAndCloseButtons)
{
    const StripGeometry strip{0, 600, 40, 0};
    const std::vector<corvane::HitTab> tabs{{14, 108, false}, {122, 108, false}, {230, 108, true}};
    auto at = [&](long rx, long y) { return HitTest(strip, tabs, rx + 40, y); };
    EXPECT_EQ(at(50, 10).index, 0);
    EXPECT_EQ(at(122, 10).index, 0);  // a shared edge belongs to the left tab
    EXPECT_EQ(at(123, 10).index, 1);
    EXPECT_EQ(at(400, 10).index, -1);
    // Close rectangle of the first tab: rx 98..110, y 6..18.
    EXPECT_TRUE(at(98, 6).close);
    EXPECT_TRUE(at(110, 18).close);
    EXPECT_FALSE(at(97, 10).close);
    EXPECT_FALSE(at(111, 10).close);
    EXPECT_FALSE(at(100, 5).close);
    EXPECT_FALSE(at(100, 19).close);
    // A hidden button is never hit.
    EXPECT_EQ(at(320, 10).index, 2);
    EXPECT_FALSE(at(320, 10).close);
    // Style 1: Left 0, Width 200 -> rx 180..192, y 7..19; the first 14 pixels are tab 0 without
    // a close test.
    const StripGeometry rounded{1, 600, 40, 0};
    const std::vector<corvane::HitTab> one{{0, 200, false}};
    EXPECT_TRUE(HitTest(rounded, one, 40 + 180, 7).close);
    EXPECT_TRUE(HitTest(rounded, one, 40 + 192, 19).close);
    EXPECT_FALSE(HitTest(rounded, one, 40 + 193, 19).close);
    EXPECT_FALSE(HitTest(rounded, one, 40 + 180, 20).close);
}

// The main window's strip (style 1, TabLeftSize 10, TabRightSize -136) 800 pixels of the 96-dpi
// design wide, at a scale: the properties, gaps and widths in the window's pixels.
TEST(TabWidthAtScale, TheDesignScaledThenDivided)
{
    struct Case {
        int dpi;
        long width;  // the control's, at the dpi
        long leftSize, tabArea, common;
        std::vector<long> lefts;
    };
    const Case cases[] = {
        {96, 800, 10, 926, 180, {0, 185, 370, 555, 740}},
        {120, 1000, 12, 1158, 226, {0, 232, 464, 696, 928}},
        {144, 1200, 15, 1389, 270, {0, 278, 556, 834, 1112}},
    };
    const std::vector<bool> five(5, false);
    for (const Case& c : cases) {
        const StripGeometry strip = corvane::StripAt(1, c.width, 10, -136, c.dpi);
        EXPECT_EQ(strip.leftSize, c.leftSize) << c.dpi;
        EXPECT_EQ(strip.TabAreaWidth(), c.tabArea) << c.dpi;
        const long common = ComputeTabWidth(strip, five);
        EXPECT_EQ(common, c.common) << c.dpi;
        EXPECT_EQ(Lefts(LayoutTabs(strip, common, five)), c.lefts) << c.dpi;
    }
    // Few tabs keep the full width of the scale; the trapezoid's first tab starts past its slant.
    const StripGeometry trapezoid = corvane::StripAt(0, 900, 40, 0, 144);
    EXPECT_EQ(ComputeTabWidth(trapezoid, {false, false, false}), 162);
    EXPECT_EQ(Lefts(LayoutTabs(trapezoid, 162, {false, false, true})), (std::vector<long>{21, 183, 345}));
}

// Where a close glyph is drawn is where a click closes its tab (and where a reader is told it
// is), and the rows a click reaches are those of the 96-dpi design scaled, in both styles.
TEST(HitTestingAtScale, TheCloseButtonIsWhereItsGlyphIsDrawn)
{
    for (long style : {0L, 1L})
        for (int dpi : {96, 132, 144}) {
            const StripGeometry strip = corvane::StripAt(style, rt::ScalePixels(600, dpi), 40, 0, dpi);
            const std::vector<bool> three(3, false);
            const auto slots = LayoutTabs(strip, ComputeTabWidth(strip, three), three);
            std::vector<corvane::HitTab> tabs;
            std::vector<corvane::TabState> states;
            for (const auto& s : slots) {
                tabs.push_back({s.left, s.width, false});
                states.push_back({s.left, s.width, false});
            }
            const std::string at = std::to_string(style) + " at " + std::to_string(dpi);
            const auto hit = [&](long px, long py) { return HitTest(strip, tabs, px, py); };
            for (const corvane::TabPaint& p : corvane::PlanTabs(style, states, 0, -1, 0, dpi)) {
                const corvane::PixelRect g = p.glyphDest;
                const long x = strip.leftSize + g.x;
                EXPECT_EQ(hit(x, g.y).index, p.index) << at;
                // Its corners close the tab; a pixel beyond any side does not.
                for (const auto& [px, py, close] : {std::tuple{x, g.y, true}, {x + g.w, g.y + g.h, true},
                                                    {x - 1, g.y + 1, false}, {x + g.w + 1, g.y + 1, false},
                                                    {x + 1, g.y - 1, false}, {x + 1, g.y + g.h + 1, false}})
                    EXPECT_EQ(hit(px, py).close, close) << at << " " << px << "," << py;
                const auto place = corvane::CloseButtonOf(strip, slots[p.index].left, slots[p.index].width);
                EXPECT_EQ((std::array{place.left, place.top, place.size}), (std::array{x, g.y, g.w})) << at;
            }
            const long bottom = rt::ScalePixels(25, dpi);
            EXPECT_EQ(hit(strip.leftSize + slots[1].left + 1, bottom).index, 1) << at;
            EXPECT_EQ(hit(strip.leftSize + slots[1].left + 1, bottom + 1).index, corvane::kHitOutside) << at;
        }
}

TEST(Selection, RepairRules)
{
    EXPECT_EQ(corvane::SelectionAfterAdd(-1, 1), 0);
    EXPECT_EQ(corvane::SelectionAfterAdd(3, 3), 0);
    EXPECT_EQ(corvane::SelectionAfterAdd(1, 3), 1);
    EXPECT_EQ(corvane::SelectionAfterRemove(2, 2), 0);
    EXPECT_EQ(corvane::SelectionAfterRemove(2, 0), 1);
    EXPECT_EQ(corvane::SelectionAfterRemove(1, 3), 1);
    EXPECT_EQ(corvane::SelectionAfterRemove(0, 0), 0);  // the last tab gone: 0 with no tabs
}

}  // namespace
