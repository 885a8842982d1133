#include <gtest/gtest.h>

#include <array>

#include "tabstrip/TabAccess.h"

namespace {

using namespace corvane;
using namespace rt::acc;

StripFacts ThreeTabs()
{
    StripFacts strip;
    strip.geometry = StripGeometry{0, 600, 40, 0};
    strip.tabs = {{L"首页", 0, 108, false}, {L"游戏", 108, 108, true}, {L"帮助", 500, 108, false}};
    strip.selected = 1;
    return strip;
}

TEST(TabAccess, ChildIdsCoverTabsThenCloseButtons)
{
    struct Case {
        long child;
        long index;
        bool close;
    };
    const Case cases[] = {{0, -1, false}, {1, 0, false}, {3, 2, false}, {4, 0, true}, {6, 2, true}, {7, -1, false}, {-1, -1, false}};
    for (const Case& c : cases) {
        const TabChild which = TabOfChild(3, c.child);
        EXPECT_EQ(which.index, c.index) << c.child;
        if (which.index >= 0) {
            EXPECT_EQ(which.close, c.close) << c.child;
        }
    }
    for (long i = 0; i < 3; ++i) {
        EXPECT_EQ(TabOfChild(3, ChildOfTab(i)).index, i);
        EXPECT_EQ(TabOfChild(3, ChildOfCloseButton(3, i)).index, i);
        EXPECT_TRUE(TabOfChild(3, ChildOfCloseButton(3, i)).close);
    }
    EXPECT_EQ(StripChildCount(ThreeTabs()), 6);
}

TEST(TabAccess, TabsAndCloseButtonsDescribed)
{
    const StripFacts strip = ThreeTabs();
    EXPECT_EQ(DescribeStrip(strip, 0).role, kRolePageTabList);

    struct Case {
        long child;
        long role;
        const wchar_t* name;
        unsigned long state;
        Rect place;
    };
    const Case cases[] = {
        {1, kRolePageTab, L"首页", kStateFocusable | kStateSelectable, {40, 0, 148, 25}},
        {2, kRolePageTab, L"游戏", kStateFocusable | kStateSelectable | kStateSelected, {148, 0, 256, 25}},
        // Past the tab area's right end (600 - 40 = 560): offscreen.
        {3, kRolePageTab, L"帮助", kStateFocusable | kStateSelectable | kStateOffscreen, {540, 0, 648, 25}},
        {4, kRolePushButton, L"关闭标签", 0, {124, 6, 136, 18}},
        {5, kRolePushButton, L"关闭标签", kStateInvisible, {232, 6, 244, 18}},  // the tab hides it
        {6, kRolePushButton, L"关闭标签", kStateOffscreen, {624, 6, 636, 18}},
    };
    for (const Case& c : cases) {
        const Item item = DescribeStrip(strip, c.child);
        EXPECT_EQ(item.role, c.role) << c.child;
        EXPECT_EQ(item.name, c.name) << c.child;
        EXPECT_EQ(item.state, c.state) << c.child;
        EXPECT_TRUE(item.hasPlace) << c.child;
        EXPECT_EQ(item.place.left, c.place.left) << c.child;
        EXPECT_EQ(item.place.top, c.place.top) << c.child;
        EXPECT_EQ(item.place.right, c.place.right) << c.child;
        EXPECT_EQ(item.place.bottom, c.place.bottom) << c.child;
        EXPECT_FALSE(item.defaultAction.empty()) << c.child;
    }
}

TEST(TabAccess, ACrowdedStripIsDescribedAsItIsDrawn)
{
    // The third tab (500 to 608) selected: the picture moves 108 left and ends at the chevron.
    StripFacts strip = ThreeTabs();
    strip.selected = 2;
    strip.shift = 108;
    strip.visibleEnd = 500;
    const struct {
        long child;
        bool offscreen;
        long left;
    } cases[] = {
        {1, true, 40 - 108},   // moved out on the left
        {2, false, 148 - 108},
        {3, false, 540 - 108},  // whole, left of the chevron
        {6, false, 624 - 108},  // its close button follows
    };
    for (const auto& c : cases) {
        const Item item = DescribeStrip(strip, c.child);
        EXPECT_EQ((item.state & kStateOffscreen) != 0, c.offscreen) << c.child;
        EXPECT_EQ(item.place.left, c.left) << c.child;
    }
    // Without the shift the same tab reaches under the chevron.
    strip.shift = 0;
    EXPECT_TRUE(DescribeStrip(strip, 3).state & kStateOffscreen);
}

TEST(TabAccess, RoundedStyleAndCollapsedTabs)
{
    StripFacts strip;
    strip.geometry = StripGeometry{1, 600, 40, 0};
    strip.tabs = {{L"甲", 0, 200, false}, {L"乙", 205, -4, false}};
    const Item first = DescribeStrip(strip, 1);
    EXPECT_EQ(first.place.bottom, 32);
    EXPECT_FALSE(first.state & kStateSelected);
    EXPECT_EQ(DescribeStrip(strip, 3).place.left, 40 + 200 - 20);
    // A tab squeezed to no width is not where a reader could point.
    EXPECT_TRUE(DescribeStrip(strip, 2).state & kStateOffscreen);
}

// At 150 % a reader points where the tabs are drawn, in the window's pixels: the main window's
// strip (TabLeftSize 10) with its first tab selected.
TEST(TabAccess, PlacesAreTheWindowsPixelsAtItsScale)
{
    StripFacts strip;
    strip.geometry = StripAt(1, 1200, 10, -136, 144);
    strip.tabs = {{L"甲", 0, 270, false}, {L"乙", 278, 270, false}};
    strip.selected = 0;
    const struct {
        long child;
        Rect place;
    } cases[] = {  // a close button at Left + Width - 30; row 7 x 1.5 = 10.5 -> 10; 18 square
        {1, {15, 0, 285, 48}}, {2, {293, 0, 563, 48}}, {3, {255, 10, 273, 28}}, {4, {533, 10, 551, 28}}};
    for (const auto& c : cases) {
        const Rect p = DescribeStrip(strip, c.child).place;
        EXPECT_EQ((std::array{p.left, p.top, p.right, p.bottom}),
                  (std::array{c.place.left, c.place.top, c.place.right, c.place.bottom})) << c.child;
    }
}

}  // namespace
