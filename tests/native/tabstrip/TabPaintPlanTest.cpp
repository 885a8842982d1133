// What a paint draws: nine-part skin rectangles, the order and boxes of the tabs, glyph choice,
// caption placement, and nothing at all for tabs squeezed to no width.

#include <gtest/gtest.h>

#include "tabstrip/TabPaintPlan.h"

namespace {

using namespace corvane;

TEST(NinePart, StripBordersDrawEdgesAndCentreOnly)
{
    const PixelRect normal = SkinFor(0).Face(TabFace::Normal);
    const auto parts = NinePartBlits(122, 25, normal, 14, 0, 14, 0);
    const std::vector<SkinBlit> want{
        {BlitKind::Stretch, {0, 0, 14, 25}, {1, 0, 14, 25}},
        {BlitKind::Stretch, {108, 0, 14, 25}, {109, 0, 14, 25}},
        {BlitKind::Stretch, {14, 0, 94, 25}, {15, 0, 94, 25}},
    };
    EXPECT_EQ(parts, want);
    // Wider than the cell: the sides keep their width, the middle stretches.
    const auto wide = NinePartBlits(300, 25, normal, 14, 0, 14, 0);
    EXPECT_EQ(wide[1].dest, (PixelRect{286, 0, 14, 25}));
    EXPECT_EQ(wide[2].dest, (PixelRect{14, 0, 272, 25}));
    EXPECT_EQ(wide[2].source, (PixelRect{15, 0, 94, 25}));
}

TEST(NinePart, AllBordersAndNone)
{
    const auto nine = NinePartBlits(50, 40, PixelRect{10, 20, 30, 30}, 4, 5, 6, 7);
    ASSERT_EQ(nine.size(), 9u);
    EXPECT_EQ(nine[0], (SkinBlit{BlitKind::Copy, {0, 0, 4, 5}, {10, 20, 4, 5}}));
    EXPECT_EQ(nine[3], (SkinBlit{BlitKind::Copy, {44, 33, 6, 7}, {34, 43, 6, 7}}));
    EXPECT_EQ(nine[7], (SkinBlit{BlitKind::Stretch, {4, 33, 40, 7}, {14, 43, 20, 7}}));
    EXPECT_EQ(nine[8], (SkinBlit{BlitKind::Stretch, {4, 5, 40, 28}, {14, 25, 20, 18}}));
    const auto plain = NinePartBlits(50, 40, PixelRect{10, 20, 30, 30}, 0, 0, 0, 0);
    EXPECT_EQ(plain, (std::vector<SkinBlit>{{BlitKind::Stretch, {0, 0, 50, 40}, {10, 20, 30, 30}}}));
    EXPECT_TRUE(NinePartBlits(0, 25, PixelRect{1, 0, 122, 25}, 14, 0, 14, 0).empty());
    EXPECT_TRUE(NinePartBlits(-3, 25, PixelRect{1, 0, 122, 25}, 14, 0, 14, 0).empty());
    EXPECT_TRUE(NinePartBlits(10, 25, PixelRect{1, 0, 0, 25}, 14, 0, 14, 0).empty());
}

TEST(TabPlan, OrdinaryTabsRightToLeftThenTheSelectedOne)
{
    const std::vector<TabState> tabs{{14, 108, false}, {122, 108, false}, {230, 108, true}, {338, 108, false}};
    const auto plan = PlanTabs(0, tabs, 1, 3, 0);
    ASSERT_EQ(plan.size(), 4u);
    EXPECT_EQ(plan[0].index, 3);
    EXPECT_EQ(plan[1].index, 2);
    EXPECT_EQ(plan[2].index, 0);
    EXPECT_EQ(plan[3].index, 1);
    EXPECT_EQ(plan[0].face, TabFace::Hover);
    EXPECT_EQ(plan[2].face, TabFace::Normal);
    EXPECT_EQ(plan[3].face, TabFace::Selected);
    // Style 0 boxes: image from Left - 14, caption Width - 38 with a button, - 14 without,
    // - 26 for the selected tab; glyph at Left + Width - 24, 6.
    EXPECT_EQ(plan[2].dest, (PixelRect{0, 0, 122, 25}));
    EXPECT_EQ(plan[2].caption, (PixelRect{14, 0, 70, 25}));
    EXPECT_EQ(plan[2].glyphDest, (PixelRect{98, 6, 12, 12}));
    EXPECT_EQ(plan[1].caption, (PixelRect{230, 0, 94, 25}));
    EXPECT_FALSE(plan[1].hasGlyph);
    EXPECT_EQ(plan[3].caption, (PixelRect{122, 0, 82, 25}));

    // The selected caption keeps its width without a close button too.
    const auto hidden = PlanTabs(0, {{14, 108, true}}, 0, -1, 0);
    EXPECT_EQ(hidden[0].caption, (PixelRect{14, 0, 82, 25}));
    EXPECT_FALSE(hidden[0].hasGlyph);
}

TEST(TabPlan, RoundedBoxes)
{
    const auto plan = PlanTabs(1, {{0, 200, false}, {205, 200, true}}, 0, -1, 0);
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].index, 1);
    EXPECT_EQ(plan[0].dest, (PixelRect{205, 0, 200, 26}));
    EXPECT_EQ(plan[0].caption, (PixelRect{217, 0, 192, 26}));
    EXPECT_EQ(plan[1].caption, (PixelRect{12, 0, 172, 26}));
    EXPECT_EQ(plan[1].glyphDest, (PixelRect{180, 7, 12, 12}));
}

TEST(TabPlan, GlyphStates)
{
    EXPECT_EQ(ChooseGlyph(false, false, 1), CloseGlyph::Normal);
    EXPECT_EQ(ChooseGlyph(false, true, 0), CloseGlyph::Normal);
    EXPECT_EQ(ChooseGlyph(false, true, 1), CloseGlyph::Hover);
    EXPECT_EQ(ChooseGlyph(false, true, 2), CloseGlyph::Pressed);
    EXPECT_EQ(ChooseGlyph(true, false, 2), CloseGlyph::Selected);
    EXPECT_EQ(ChooseGlyph(true, true, 0), CloseGlyph::Selected);
    EXPECT_EQ(ChooseGlyph(true, true, 1), CloseGlyph::Hover);
    EXPECT_EQ(ChooseGlyph(true, true, 2), CloseGlyph::Pressed);
    EXPECT_EQ(SkinFor(0).Glyph(CloseGlyph::Pressed), (PixelRect{403, 0, 12, 12}));
    EXPECT_EQ(SkinFor(1).Glyph(CloseGlyph::Selected), (PixelRect{373, 0, 12, 12}));
    EXPECT_EQ(SkinFor(5).bitmapId, 107);
}

TEST(TabPlan, TabsWithoutWidthAreNotDrawn)
{
    // Many tabs squeeze the common width to 0 or below: nothing of those tabs is drawn, the
    // selected one included, and no buffer of a negative size is ever asked for.
    const auto plan = PlanTabs(0, {{14, 0, false}, {14, -3, false}, {11, 2, false}}, 1, 0, 1);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].index, 2);
    EXPECT_EQ(plan[0].dest.w, 16);
    EXPECT_TRUE(PlanTabs(1, {{0, -5, false}}, 0, 0, 0).empty());
}

TEST(Captions, EllipsisWhenTooWideElseCentred)
{
    const PixelRect box{14, 0, 70, 25};
    const CaptionPlacement wide = PlaceCaption(box, 71, 12);
    EXPECT_EQ(wide.format, kCaptionEllipsis);
    EXPECT_EQ(wide.box, (PixelRect{14, 6, 70, 25}));  // (25 - 12) / 2 = 6.5 -> 6
    EXPECT_EQ(PlaceCaption(box, 71, 14).box.y, 6);   // 5.5 -> 6
    const CaptionPlacement fits = PlaceCaption(box, 70, 12);
    EXPECT_EQ(fits.format, kCaptionCentred);
    EXPECT_EQ(fits.box, box);
}

}  // namespace
