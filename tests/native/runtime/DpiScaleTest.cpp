#include <gtest/gtest.h>

#include "runtime/DpiScale.h"
#include "runtime/OnScreen.h"

namespace {

struct SizeCase {
    int dpi;
    double pixels;
    std::int32_t scaled;
};

// The windows' own sizes at the common scales: the login pair (888 × 518), the splash
// (356 × 122), the main window (1036 × 639), the caption strip (33 high) and odd lengths whose
// product ends in a half.
TEST(DpiScale, LengthsScaleByDpiOver96)
{
    const SizeCase cases[] = {
        {96, 888, 888},   {96, 1, 1},       {96, 0, 0},       {120, 888, 1110}, {120, 518, 648},
        {144, 888, 1332}, {144, 518, 777},  {168, 888, 1554}, {168, 518, 906},  {192, 888, 1776},
        {192, 518, 1036}, {144, 356, 534},  {144, 122, 183},  {120, 1036, 1295}, {144, 639, 958},
        {192, 33, 66},    {144, -4, -6},    {192, 0.5, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::ScalePixels(c.pixels, c.dpi), c.scaled) << c.dpi << " dpi, " << c.pixels;
}

TEST(DpiScale, HalvesGoToTheEvenNeighbour)
{
    const SizeCase cases[] = {
        {144, 1, 2},    // 1.5
        {144, 3, 4},    // 4.5
        {144, 5, 8},    // 7.5
        {120, 2, 2},    // 2.5
        {120, 6, 8},    // 7.5
        {168, 2, 4},    // 3.5
        {168, 6, 10},   // 10.5
        {144, -1, -2},  // -1.5
        {144, -3, -4},  // -4.5
    };
    for (const auto& c : cases) EXPECT_EQ(rt::ScalePixels(c.pixels, c.dpi), c.scaled) << c.dpi << " dpi, " << c.pixels;
}

TEST(DpiScale, UnscaleUndoesWholeMultiples)
{
    for (int dpi : {96, 120, 144, 168, 192})
        for (int px : {0, 4, 8, 888, 1036}) EXPECT_EQ(rt::UnscalePixels(rt::ScalePixels(px, dpi), dpi), px) << dpi;
}

TEST(DpiScale, TwipsPerPixelIs1440OverDpi)
{
    const struct {
        int dpi;
        double twips;
    } cases[] = {{96, 15}, {120, 12}, {144, 10}, {168, 1440.0 / 168}, {192, 7.5}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(rt::TwipsPerPixelAt(c.dpi), c.twips) << c.dpi;
}

TEST(DpiScale, NonsenseDpiIsTreatedAsSane)
{
    EXPECT_EQ(rt::SaneDpi(0), 96);
    EXPECT_EQ(rt::SaneDpi(-144), 96);
    EXPECT_EQ(rt::SaneDpi(1), 48);
    EXPECT_EQ(rt::SaneDpi(100000), 960);
    EXPECT_EQ(rt::SaneDpi(144), 144);
    EXPECT_EQ(rt::ScalePixels(100, 0), 100);
    EXPECT_DOUBLE_EQ(rt::TwipsPerPixelAt(0), 15);
}

TEST(DpiScale, AbuttingRectanglesStillAbut)
{
    // The four caption buttons of the main window sit edge to edge; scaled they must neither
    // overlap nor leave a gap, whatever the rounding of each edge.
    const rt::PixelRect buttons[] = {{942, 3, 966, 26}, {966, 3, 990, 26}, {990, 3, 1015, 26}, {1015, 3, 1039, 26}};
    for (int dpi : {120, 144, 168, 192}) {
        for (int i = 1; i < 4; ++i)
            EXPECT_EQ(rt::ScaleRect(buttons[i - 1], dpi).right, rt::ScaleRect(buttons[i], dpi).left) << dpi;
    }
    EXPECT_EQ(rt::ScaleRect({1, 3, 5, 7}, 144), (rt::PixelRect{2, 4, 8, 10}));
    EXPECT_EQ(rt::ScalePoint({3, -3}, 144), (rt::PixelPoint{4, -4}));
}

TEST(DpiScale, MovingBetweenMonitorsRescalesFromTheOldDpi)
{
    const struct {
        double pixels;
        int from;
        int to;
        std::int32_t rescaled;
    } cases[] = {
        {888, 96, 144, 1332}, {1332, 144, 96, 888}, {1110, 120, 144, 1332}, {5, 96, 144, 8}, {3, 96, 144, 4},
        {5, 120, 96, 4},      {1, 192, 144, 1},     {-3, 96, 144, -4},     {100, 0, 144, 150}, {100, 144, 0, 67},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::RescalePixels(c.pixels, c.from, c.to), c.rescaled) << c.pixels << " " << c.from << "->" << c.to;
    // Caption buttons that abut at 120 dpi still abut at 168.
    const rt::PixelRect left{1178, 4, 1208, 33};
    const rt::PixelRect right{1208, 4, 1239, 33};
    EXPECT_EQ(rt::RescaleRect(left, 120, 168).right, rt::RescaleRect(right, 120, 168).left);
    EXPECT_EQ(rt::RescaleRect({1, 3, 5, 7}, 96, 144), rt::ScaleRect({1, 3, 5, 7}, 144));
}

TEST(DpiScale, ScaledSizeOfferedBeforeAMoveKeepsTheClientAsLaidOut)
{
    const struct {
        rt::PixelSize window;
        rt::PixelSize client;
        int from;
        int to;
        rt::PixelSize offered;
    } cases[] = {
        // Borderless windows: the login pair, the main window.
        {{888, 518}, {888, 518}, 96, 144, {1332, 777}},
        {{1295, 799}, {1295, 799}, 120, 96, {1036, 639}},
        // A framed window: frame and client each rounded on their own.
        {{904, 557}, {888, 518}, 96, 144, {1356, 835}},
        {{905, 557}, {888, 518}, 96, 144, {1358, 835}},
        // Same dpi, and a window whose client reports more than its outer size.
        {{888, 518}, {888, 518}, 144, 144, {888, 518}},
        {{10, 10}, {20, 30}, 96, 192, {40, 60}},
        {{0, 0}, {0, 0}, 96, 144, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::DpiScaledWindowSize(c.window, c.client, c.from, c.to), c.offered)
            << c.window.width << "x" << c.window.height << " " << c.from << "->" << c.to;
}

TEST(DpiScale, SuggestedWindowRectanglesAreChecked)
{
    const struct {
        rt::PixelRect rect;
        bool sane;
    } cases[] = {
        {{100, 100, 1432, 877}, true},     {{-1800, -20, -100, 600}, true}, {{0, 0, 1, 1}, true},
        {{100, 100, 100, 877}, false},     {{100, 100, 50, 877}, false},    {{0, 0, 40000, 500}, false},
        {{-40000, 0, 10, 500}, false},     {{0, 877, 1432, 100}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::SaneWindowRect(c.rect), c.sane) << c.rect.left << " " << c.rect.right;
}

TEST(DpiScale, ScaledLoginPairStaysOnASmallScreenAt150Percent)
{
    // 1366 × 768 with a 40-pixel taskbar at 150 %: the login pair (888 × 518 at 100 %) is taller
    // than the work area, so it keeps its top and its caption end on screen.
    const long w = rt::ScalePixels(888, 144);
    const long h = rt::ScalePixels(518, 144);
    const rt::ScreenRect workArea{0, 0, 1366, 728};
    const rt::ScreenRect centred{(1366 - w) / 2, (768 - h) / 2, (1366 - w) / 2 + w, (768 - h) / 2 + h};
    const rt::ScreenRect placed = rt::KeepOnWorkArea(centred, workArea, rt::Sizing::Fixed);
    EXPECT_EQ(placed.Width(), w);
    EXPECT_EQ(placed.Height(), h);
    EXPECT_GE(placed.top, 0);
    EXPECT_GE(placed.left, 0);
    EXPECT_LE(placed.right, 1366);
}

}  // namespace
