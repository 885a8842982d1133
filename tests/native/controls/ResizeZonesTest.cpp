// The style controller's zones, the outline with its minima, and the taskbar height.

#include <gtest/gtest.h>

#include "controls/ResizeZones.h"

using namespace corvane;

namespace {

const ScreenRect kWindow{100, 100, 1100, 900};

}  // namespace

TEST(HitZone, CornersEdgesAndElsewhere)
{
    EXPECT_EQ(HitZone(kWindow, 100, 900), 5);
    EXPECT_EQ(HitZone(kWindow, 103, 103), 7);
    EXPECT_EQ(HitZone(kWindow, 1100, 895), 3);
    EXPECT_EQ(HitZone(kWindow, 1095, 105), 1);
    EXPECT_EQ(HitZone(kWindow, 500, 100), 0);
    EXPECT_EQ(HitZone(kWindow, 1100, 500), 2);
    EXPECT_EQ(HitZone(kWindow, 500, 904), 4);
    EXPECT_EQ(HitZone(kWindow, 96, 500), 6);
    EXPECT_EQ(HitZone(kWindow, 500, 500), kNoZone);
    // Six pixels away is no longer near.
    EXPECT_EQ(HitZone(kWindow, 106, 500), kNoZone);
    EXPECT_EQ(HitZone(kWindow, 94, 500), kNoZone);
}

TEST(HitZone, BandsBetweenCornersExcludeTheCornerSquares)
{
    // Near the top, but x within 5 of the left: that is the corner, tested first.
    EXPECT_EQ(HitZone(kWindow, 105, 100), 7);
    // Near the top, x exactly left + 6: the top band.
    EXPECT_EQ(HitZone(kWindow, 106, 100), 0);
    // Near the right edge at y = top + 5 belongs to the corner; y = bottom - 5 too.
    EXPECT_EQ(HitZone(kWindow, 1100, 105), 1);
    EXPECT_EQ(HitZone(kWindow, 1100, 895), 3);
    // A window narrower than the bands: only corners.
    const ScreenRect tiny{0, 0, 8, 8};
    EXPECT_EQ(HitZone(tiny, 4, 0), 7);
}

TEST(Outline, LeftEdgeStopsAtTheMinimumWidth)
{
    const ScreenRect start{100, 100, 1000, 800};
    ScreenRect r = MoveOutline(6, start, 150, 400);
    EXPECT_EQ(r, (ScreenRect{150, 100, 1000, 800}));
    // Width 800 would be reached at x = 200: the edge stays where it was.
    r = MoveOutline(6, r, 200, 400);
    EXPECT_EQ(r.left, 150);
    r = MoveOutline(6, r, 199, 400);
    EXPECT_EQ(r.left, 199);
    // Dragging the right edge inwards stops likewise.
    EXPECT_EQ(MoveOutline(2, start, 900, 0).right, 1000);
    EXPECT_EQ(MoveOutline(2, start, 901, 0).right, 901);
}

// On a monitor of another dpi the 5-pixel edge and the 800 x 600 minimum are 96-dpi pixels
// scaled by the window's dpi, halves to even (7.5 pixels near at 144 dpi is 8).
TEST(HitZone, EdgeAndMinimumFollowTheWindowsDpi)
{
    const struct {
        int dpi;
        int x;
        int y;
        int zone;
    } zones[] = {
        {96, 106, 500, kNoZone}, {120, 106, 500, 6},   {120, 107, 500, kNoZone}, {144, 108, 500, 6},
        {144, 109, 500, kNoZone}, {144, 108, 108, 7}, {144, 109, 100, 0},       {144, 1100, 892, 3},
        {144, 1100, 891, 2},      {0, 105, 500, 6},
    };
    for (const auto& c : zones) EXPECT_EQ(HitZone(kWindow, c.x, c.y, c.dpi), c.zone) << c.dpi << " " << c.x << "," << c.y;

    const ScreenRect start{0, 0, 1500, 1000};
    const struct {
        int dpi;
        int zone;
        int x;
        int y;
        ScreenRect moved;
    } outlines[] = {
        // 800 x 600 at 96, 1000 x 750 at 120, 1200 x 900 at 144: the edge stops at the minimum.
        {96, 2, 801, 0, {0, 0, 801, 1000}},     {120, 2, 1000, 0, {0, 0, 1500, 1000}},
        {120, 2, 1001, 0, {0, 0, 1001, 1000}},  {144, 2, 1200, 0, {0, 0, 1500, 1000}},
        {144, 3, 1201, 901, {0, 0, 1201, 901}}, {144, 3, 1201, 900, {0, 0, 1201, 1000}},
        {144, 6, 299, 0, {299, 0, 1500, 1000}}, {144, 6, 300, 0, {0, 0, 1500, 1000}},
        {144, 4, 0, 900, {0, 0, 1500, 1000}},   {144, 0, 0, 500, {0, 500, 1500, 1000}},
    };
    for (const auto& c : outlines)
        EXPECT_EQ(MoveOutline(c.zone, start, c.x, c.y, c.dpi), c.moved) << c.dpi << " zone " << c.zone << " " << c.x;
}

TEST(Outline, TopEdgeHasNoLimit)
{
    const ScreenRect start{100, 100, 1000, 800};
    EXPECT_EQ(MoveOutline(0, start, 0, 790), (ScreenRect{100, 790, 1000, 800}));
    EXPECT_EQ(MoveOutline(0, start, 0, 900).top, 900);
    // The top corners have no minimum either.
    EXPECT_EQ(MoveOutline(7, start, 990, 790), (ScreenRect{990, 790, 1000, 800}));
    EXPECT_EQ(MoveOutline(1, start, 110, 790), (ScreenRect{100, 790, 110, 800}));
}

TEST(Outline, BottomRightCornerKeepsWhicheverEdgeReachesItsMinimum)
{
    const ScreenRect start{100, 100, 1000, 800};
    // Width would be 700 (too small), height 650 (fine): right stays, bottom moves.
    EXPECT_EQ(MoveOutline(3, start, 800, 750), (ScreenRect{100, 100, 1000, 750}));
    // Width 850 fine, height 500 too small.
    EXPECT_EQ(MoveOutline(3, start, 950, 600), (ScreenRect{100, 100, 950, 800}));
    // Both too small: nothing moves.
    EXPECT_EQ(MoveOutline(3, start, 500, 500), start);
    EXPECT_EQ(MoveOutline(4, start, 0, 701), (ScreenRect{100, 100, 1000, 701}));
    EXPECT_EQ(MoveOutline(4, start, 0, 700).bottom, 800);
    EXPECT_EQ(MoveOutline(5, start, 199, 701), (ScreenRect{199, 100, 1000, 701}));
    EXPECT_EQ(MoveOutline(kNoZone, start, 0, 0), start);
}

TEST(ZoneCursors, PerZone)
{
    EXPECT_EQ(CursorOfZone(0), ZoneCursor::NorthSouth);
    EXPECT_EQ(CursorOfZone(4), ZoneCursor::NorthSouth);
    EXPECT_EQ(CursorOfZone(1), ZoneCursor::NorthEastSouthWest);
    EXPECT_EQ(CursorOfZone(5), ZoneCursor::NorthEastSouthWest);
    EXPECT_EQ(CursorOfZone(2), ZoneCursor::WestEast);
    EXPECT_EQ(CursorOfZone(6), ZoneCursor::WestEast);
    EXPECT_EQ(CursorOfZone(3), ZoneCursor::NorthWestSouthEast);
    EXPECT_EQ(CursorOfZone(7), ZoneCursor::NorthWestSouthEast);
    EXPECT_EQ(CursorOfZone(kNoZone), ZoneCursor::Arrow);
    EXPECT_EQ(CursorOfZone(8), ZoneCursor::Arrow);
}
