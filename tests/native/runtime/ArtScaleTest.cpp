#include <gtest/gtest.h>

#include <span>
#include <vector>

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

TEST(ArtScale, OnlyTheDpiOfASetShowsItOneToOne)
{
    struct Case {
        ArtScale set;
        int dpi;
        bool matches;
    };
    const Case cases[] = {
        {ArtScale::Percent100, 96, true},  {ArtScale::Percent125, 120, true},  {ArtScale::Percent150, 144, true},
        {ArtScale::Percent175, 168, true}, {ArtScale::Percent200, 192, true},  {ArtScale::Percent125, 110, false},
        {ArtScale::Percent150, 132, false}, {ArtScale::Percent200, 240, false}, {ArtScale::Percent100, 0, false},
    };
    for (const Case& c : cases) EXPECT_EQ(rt::ArtMatchesDpi(c.set, c.dpi), c.matches) << c.dpi << " dpi";
}

TEST(ArtScale, AStripIsAsWideAsItsFramesEachScaledOnItsOwn)
{
    const int close[] = {43, 43, 43};      // caption close strip, 129 wide at 100 %
    const int link[] = {4, 4, 4, 1};       // text-link strip: its extra column is one pixel in every set
    const int progress[] = {3, 2, 3, 2};  // updater progress skin
    const int tabSkin[] = {1, 122, 122, 122, 12, 12, 12, 12};  // background column, cells, glyphs
    struct Case {
        std::span<const int> pieces;
        int dpi;
        std::vector<int> lengths;
    };
    const Case cases[] = {
        // 129 x 1.25 would be 161: three frames of 54 are 162.
        {close, 120, {54, 54, 54}}, {close, 144, {64, 64, 64}}, {close, 108, {48, 48, 48}},
        {link, 120, {5, 5, 5, 1}},  {link, 144, {6, 6, 6, 1}},  {link, 48, {2, 2, 2, 1}},  {progress, 120, {4, 2, 4, 2}},
        {progress, 144, {4, 3, 4, 3}}, {progress, 168, {5, 4, 5, 4}}, {close, 96, {43, 43, 43}},
        {tabSkin, 144, {1, 183, 183, 183, 18, 18, 18, 18}},  // 622 wide, as tab_skin0@150
    };
    for (const Case& c : cases) EXPECT_EQ(rt::PieceLengthsAt(c.pieces, c.dpi), c.lengths) << c.dpi << " dpi";

    // At the DPI of each set the needed widths are the set's own, so its pictures show 1:1.
    const std::span<const int> layouts[] = {close, link, progress, tabSkin};
    for (int k = 0; k < rt::kArtScaleCount; ++k) {
        const auto set = static_cast<ArtScale>(k);
        for (std::span<const int> pieces : layouts)
            EXPECT_EQ(rt::PieceLengthsAt(pieces, rt::ArtPercent(set) * 96 / 100), rt::ArtLengths(pieces, set))
                << rt::ArtPercent(set) << " %";
    }
}

TEST(ArtScale, AStripSplitsIntoItsFramesAndTheColumnsLeftOver)
{
    struct Case {
        int width;
        int frames;
        std::vector<int> pieces;
    };
    const Case cases[] = {
        {129, 3, {43, 43, 43}},  {150, 6, {25, 25, 25, 25, 25, 25}},
        {13, 3, {4, 4, 4, 1}},  // a text-link strip's extra column
        {72, 1, {72}},           {72, 0, {72}}, {72, -3, {72}}, {2, 3, {2}},
    };
    for (const Case& c : cases) EXPECT_EQ(rt::StripPieces(c.width, c.frames), c.pieces) << c.width << "/" << c.frames;
}

}  // namespace
