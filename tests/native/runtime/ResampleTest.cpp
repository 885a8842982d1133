#include <gtest/gtest.h>

#include "runtime/Resample.h"

namespace {

constexpr std::uint32_t kKey = 0xFF00FF;

rt::PixelGrid Grid(int w, int h, std::vector<std::uint32_t> pixels) { return {w, h, std::move(pixels)}; }

TEST(Resample, DoublingAFlatPictureKeepsItsColour)
{
    const rt::PixelGrid out = rt::Resample(Grid(2, 2, {0x123456, 0x123456, 0x123456, 0x123456}), 4, 4);
    ASSERT_EQ(out.width, 4);
    ASSERT_EQ(out.height, 4);
    for (std::uint32_t p : out.pixels) EXPECT_EQ(p, 0x123456u);
}

TEST(Resample, AnEdgeBetweenTwoColoursIsBlended)
{
    // Black | white, doubled: the outer pixels keep their colour, the inner ones take a mix.
    const rt::PixelGrid out = rt::Resample(Grid(2, 1, {0x000000, 0xFFFFFF}), 4, 1);
    ASSERT_EQ(out.pixels.size(), 4u);
    EXPECT_EQ(out.pixels[0], 0x000000u);
    EXPECT_EQ(out.pixels[3], 0xFFFFFFu);
    EXPECT_EQ(out.pixels[1] & 0xFF, 0x40u);
    EXPECT_EQ(out.pixels[2] & 0xFF, 0xBFu);
}

TEST(Resample, TheKeyColourIsNeverBlended)
{
    // A grey button on the transparent colour, scaled by 1.5: every pixel is the key exactly or
    // grey exactly, never a pinkish mix that a region would keep.
    const rt::PixelGrid out = rt::Resample(Grid(4, 1, {kKey, 0x808080, 0x808080, kKey}), 6, 1, kKey);
    ASSERT_EQ(out.pixels.size(), 6u);
    for (std::uint32_t p : out.pixels) EXPECT_TRUE(p == kKey || p == 0x808080u) << std::hex << p;
    EXPECT_EQ(out.pixels.front(), kKey);
    EXPECT_EQ(out.pixels.back(), kKey);
    // Without a key the same picture blends.
    const rt::PixelGrid blended = rt::Resample(Grid(4, 1, {kKey, 0x808080, 0x808080, kKey}), 6, 1);
    EXPECT_NE(blended.pixels[1], kKey);
    EXPECT_NE(blended.pixels[1], 0x808080u);
}

TEST(Resample, BadInputGivesAnEmptyGrid)
{
    EXPECT_TRUE(rt::Resample(Grid(2, 2, {1, 2, 3}), 4, 4).pixels.empty());
    EXPECT_TRUE(rt::Resample(Grid(0, 0, {}), 4, 4).pixels.empty());
    EXPECT_TRUE(rt::Resample(Grid(1, 1, {1}), 0, 4).pixels.empty());
    EXPECT_TRUE(rt::Resample(Grid(1, 1, {1}), 4, -1).pixels.empty());
    EXPECT_EQ(rt::Resample(Grid(1, 1, {7}), 3, 2).pixels, std::vector<std::uint32_t>(6, 7));
}

TEST(ResamplePieces, PackedPiecesAreShrunkWithoutBleedingIntoEachOther)
{
    // Black | white | key, 2 + 3 + 2 wide, shrunk to 1 + 2 + 1: every piece keeps only its colour.
    const rt::PixelGrid packed = Grid(7, 1, {0, 0, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, kKey, kKey});
    const int from[] = {2, 3, 2};
    const int to[] = {1, 2, 1};
    const rt::PixelGrid out = rt::ResamplePieces(packed, from, to, 1, kKey);
    ASSERT_EQ(out.width, 4);
    ASSERT_EQ(out.height, 1);
    EXPECT_EQ(out.pixels, (std::vector<std::uint32_t>{0, 0xFFFFFF, 0xFFFFFF, kKey}));
}

TEST(ResamplePieces, PiecesThatDoNotFitThePictureScaleItWhole)
{
    const rt::PixelGrid flat = Grid(4, 2, std::vector<std::uint32_t>(8, 0x123456));
    struct Case {
        std::vector<int> from;
        std::vector<int> to;
        int width;
    };
    const Case cases[] = {
        {{3, 3}, {2, 2}, 4},  // wider than the picture
        {{4}, {2, 3}, 5},     // counts differ
        {{4, 0}, {3, 1}, 4},  // an empty piece
        {{}, {}, 0},          // nothing at all
    };
    for (const Case& c : cases) {
        const rt::PixelGrid out = rt::ResamplePieces(flat, c.from, c.to, 3);
        EXPECT_EQ(out.width, c.width);
        for (std::uint32_t p : out.pixels) EXPECT_EQ(p, 0x123456u);
    }
}

}  // namespace
