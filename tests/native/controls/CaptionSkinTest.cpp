// The caption strip's tiling and the border painting, in twips, and their pixel copies.

#include <gtest/gtest.h>

#include "controls/CaptionSkin.h"

using namespace corvane;

namespace {

constexpr int kSW = 1410;  // 94 pixels
constexpr int kSH = 1275;  // 85 pixels

}  // namespace

TEST(CaptionBar, MainWindowWidthGetsFiftyTwoTiles)
{
    const auto copies = CaptionBarCopies(15495, kSW, kSH);
    ASSERT_EQ(copies.size(), 54u);
    for (int i = 0; i < 52; ++i) EXPECT_EQ(copies[i], (SkinCopy{300, 0, 300, 545, (i + 1) * 300, 0}));
    EXPECT_EQ(copies[51].dstX, 15600);
    EXPECT_EQ(copies[52], (SkinCopy{0, 0, 545, 545, 0, 0}));
    // The right end covers 14495 .. 15495.
    EXPECT_EQ(copies[53], (SkinCopy{410, 0, 1000, 545, 14495, 0}));
    EXPECT_EQ(CaptionTextOrigin(true).x, 600);
    EXPECT_EQ(CaptionTextOrigin(false).x, 150);
    EXPECT_EQ(CaptionTextOrigin(false).y, 150);
}

TEST(CaptionBar, NarrowStripStillHasBothEnds)
{
    const auto copies = CaptionBarCopies(299, kSW, kSH);
    ASSERT_EQ(copies.size(), 3u);
    EXPECT_EQ(copies[0].dstX, 300);
    EXPECT_EQ(copies[2].dstX, -701);
    EXPECT_TRUE(CaptionBarCopies(-5, kSW, kSH).size() == 2u);
}

TEST(Border, WindowOf3000By2000)
{
    const auto copies = BorderCopies(3000, 2000, kSW, kSH);
    ASSERT_EQ(copies.size(), 11u + 7u + 7u + 2u);
    EXPECT_EQ(copies[0], (SkinCopy{300, 1215, 300, 500, 300, 1940}));
    EXPECT_EQ(copies[10].dstX, 3300);
    EXPECT_EQ(copies[11], (SkinCopy{0, 800, 60, 500, 0, 300}));
    EXPECT_EQ(copies[17].dstY, 2100);
    EXPECT_EQ(copies[18], (SkinCopy{1350, 800, 300, 500, 2940, 300}));
    EXPECT_EQ(copies[25], (SkinCopy{0, 1215, 545, 60, 0, 1940}));
    EXPECT_EQ(copies[26], (SkinCopy{910, 1215, 500, 60, 2500, 1940}));
}

TEST(Border, NominPiece)
{
    EXPECT_EQ(NominCopy(9000, kSW), (SkinCopy{210, 0, 400, 545, 8170, 0}));
}

TEST(SkinPixels, ConvertedAndClippedToTheSkin)
{
    // The strip's middle tile: 20 x 36 pixels (545 twips = 36.33).
    auto px = ToPixelCopy({300, 0, 300, 545, 600, 0}, 15, 15, 94, 85);
    ASSERT_TRUE(px);
    EXPECT_EQ(*px, (SkinCopy{20, 0, 20, 36, 40, 0}));
    // The right edge piece reaches past the skin: only its 4 pixels remain.
    px = ToPixelCopy({1350, 800, 300, 500, 2940, 300}, 15, 15, 94, 85);
    ASSERT_TRUE(px);
    EXPECT_EQ(*px, (SkinCopy{90, 53, 4, 32, 196, 20}));  // 33 rows asked, 32 left below row 53
    // The bottom edge piece: 4 rows from the skin's bottom.
    px = ToPixelCopy({300, 1215, 300, 500, 300, 1940}, 15, 15, 94, 85);
    ASSERT_TRUE(px);
    EXPECT_EQ(px->height, 4);
    // A source left of the skin moves the destination along.
    px = ToPixelCopy({-30, 0, 300, 60, 0, 0}, 15, 15, 94, 85);
    ASSERT_TRUE(px);
    EXPECT_EQ(*px, (SkinCopy{0, 0, 18, 4, 2, 0}));
    EXPECT_FALSE(ToPixelCopy({1500, 0, 300, 60, 0, 0}, 15, 15, 94, 85));
    EXPECT_FALSE(ToPixelCopy({0, 0, 0, 60, 0, 0}, 15, 15, 94, 85));
}
