#include <gtest/gtest.h>

#include "resources/ResourceIds.h"
#include "runtime/ArtScale.h"

namespace {

using rt::ArtScale;

TEST(ArtScale, TakesTheNearestSetAtOrAboveTheWindowsScale)
{
    struct Case {
        int dpi;
        ArtScale set;
    };
    const Case cases[] = {
        {96, ArtScale::Percent100},  {72, ArtScale::Percent100},  {97, ArtScale::Percent125},
        {120, ArtScale::Percent125}, {121, ArtScale::Percent150}, {144, ArtScale::Percent150},
        {145, ArtScale::Percent175}, {168, ArtScale::Percent175}, {169, ArtScale::Percent200},
        {192, ArtScale::Percent200}, {240, ArtScale::Percent200}, {288, ArtScale::Percent200},
        {0, ArtScale::Percent100},   {-96, ArtScale::Percent100}, {2147483647, ArtScale::Percent200},
    };
    for (const Case& c : cases) EXPECT_EQ(rt::ArtScaleForDpi(c.dpi), c.set) << c.dpi << " dpi";
}

TEST(ArtScale, ScaledPicturesSitAThousandPerScaleAboveTheirDesignId)
{
    struct Case {
        int base;
        ArtScale set;
        int id;
    };
    const Case cases[] = {
        {IDB_CAPTION_MIN, ArtScale::Percent100, 101},   {IDB_CAPTION_MIN, ArtScale::Percent125, 1101},
        {IDB_YESNO_STRIP, ArtScale::Percent150, 2205},  {IDP_LOGIN_BG, ArtScale::Percent175, 3101},
        {IDB_UPDATER_CLOSE, ArtScale::Percent200, 4103}, {IDB_FRAME_SKIN, ArtScale::Percent200, 4108},
    };
    for (const Case& c : cases) EXPECT_EQ(rt::ArtResourceId(c.base, c.set), c.id) << c.base;
    // The resource scripts write the same ids with the macro.
    EXPECT_EQ(ART_ID(IDB_TAB_SKIN1, 3), rt::ArtResourceId(IDB_TAB_SKIN1, ArtScale::Percent175));
}

TEST(ArtScale, LengthsOfTheDesignRoundHalvesToEven)
{
    struct Case {
        int length;
        ArtScale set;
        int pixels;
    };
    const Case cases[] = {
        // the caption close strip's 43-pixel frames and the tab skin's 122-pixel cells
        {43, ArtScale::Percent100, 43},  {43, ArtScale::Percent125, 54},  {43, ArtScale::Percent150, 64},
        {43, ArtScale::Percent175, 75},  {43, ArtScale::Percent200, 86},  {122, ArtScale::Percent175, 214},
        // halves: 1.5 -> 2, 4.5 -> 4, 2.5 -> 2
        {1, ArtScale::Percent150, 2},    {3, ArtScale::Percent150, 4},    {2, ArtScale::Percent125, 2},
        {0, ArtScale::Percent200, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rt::ArtLength(c.length, c.set), c.pixels) << c.length << " at " << rt::ArtPercent(c.set) << " %";
}

TEST(ArtScale, PercentsFollowTheScaleIndex)
{
    EXPECT_EQ(rt::ArtPercent(ArtScale::Percent100), 100);
    EXPECT_EQ(rt::ArtPercent(ArtScale::Percent125), 125);
    EXPECT_EQ(rt::ArtPercent(ArtScale::Percent150), 150);
    EXPECT_EQ(rt::ArtPercent(ArtScale::Percent175), 175);
    EXPECT_EQ(rt::ArtPercent(ArtScale::Percent200), 200);
}

}  // namespace
