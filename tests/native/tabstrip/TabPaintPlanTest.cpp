// What a paint draws: nine-part skin rectangles, the order and boxes of the tabs, glyph choice,
// caption placement, and only the close mark of tabs squeezed to no width; the skin and the boxes at
// the scales a strip is drawn at.

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

TEST(TabPlan, TabsWithoutWidthDrawOnlyTheirCloseMark)
{
    // Many tabs squeeze the common width to 0 or below: of those tabs only the close mark is drawn,
    // where it lies for their Left and Width, and no buffer of a negative size is ever asked for.
    const auto plan = PlanTabs(0, {{14, 0, false}, {14, -3, false}, {11, 2, false}, {13, 0, true}}, 1, 0, 1);
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[0].index, 2);
    EXPECT_EQ(plan[0].dest.w, 16);
    const struct {
        std::size_t at;
        long index;
        PixelRect glyph;
    } squeezed[] = {{1, 0, {-10, 6, 12, 12}}, {2, 1, {-13, 6, 12, 12}}};
    for (const auto& s : squeezed) {
        const TabPaint& p = plan[s.at];
        EXPECT_EQ(p.index, s.index);
        EXPECT_TRUE(p.hasGlyph);
        EXPECT_EQ(p.glyphDest, s.glyph);
        EXPECT_LE(p.dest.w, 0);
        EXPECT_LE(p.caption.w, 0);
    }
    const auto rounded = PlanTabs(1, {{0, -5, false}}, 0, 0, 0);
    ASSERT_EQ(rounded.size(), 1u);
    EXPECT_EQ(rounded[0].glyphDest, (PixelRect{-25, 7, 12, 12}));
}

// The skins as the sets drawn for a scale lay them out: sizes as the bitmaps of resources/scaled
// state them, every piece packed beside the last.
TEST(SkinAtScale, TheTableIsTheSetDrawnForTheDpi)
{
    struct Case {
        long style;
        int dpi;
        long width, height;    // of the whole bitmap
        long selectedX, cellW, cellH;
        long pressedX, glyph, border;
    };
    const Case cases[] = {
        {0, 96, 415, 25, 245, 122, 25, 403, 12, 14},  {0, 144, 622, 38, 367, 183, 38, 604, 18, 21},
        {1, 96, 421, 28, 249, 124, 26, 409, 12, 14},  {1, 120, 526, 35, 311, 155, 32, 511, 15, 18},
        {1, 192, 841, 56, 497, 248, 52, 817, 24, 28},
        // Between two sets the next larger one is shrunk to the same rule: 122 x 1.375 = 167.75.
        {0, 132, 569, 34, 337, 168, 34, 553, 16, 19},
    };
    for (const Case& c : cases) {
        const SkinLayout& skin = SkinFor(c.style, c.dpi);
        const PixelRect pressed = skin.Glyph(CloseGlyph::Pressed);
        EXPECT_EQ(pressed.x + pressed.w, c.width) << c.style << " at " << c.dpi;
        EXPECT_EQ(skin.background, (PixelRect{0, 0, 1, c.height})) << c.style << " at " << c.dpi;
        EXPECT_EQ(skin.Face(TabFace::Selected), (PixelRect{c.selectedX, 0, c.cellW, c.cellH})) << c.style << " at " << c.dpi;
        EXPECT_EQ(pressed, (PixelRect{c.pressedX, 0, c.glyph, c.glyph})) << c.style << " at " << c.dpi;
        EXPECT_EQ(skin.borderLeft, c.border) << c.style << " at " << c.dpi;
        EXPECT_EQ(skin.borderRight, c.border) << c.style << " at " << c.dpi;
        // Faces abut: each starts where the one before it ends.
        EXPECT_EQ(skin.Face(TabFace::Hover).x, skin.Face(TabFace::Normal).x + c.cellW);
        EXPECT_EQ(skin.Glyph(CloseGlyph::Selected).x, c.selectedX + c.cellW);
    }
    EXPECT_EQ(&SkinFor(0, 144), &SkinFor(0, 144)) << "a strip keeps a reference to its table";
}

TEST(SkinAtScale, TabBoxesAreTheDesignsScaledAndFitTheSkin)
{
    // Style 0 at 150 %: slant 21, caption Width - 39 (selected), glyph at Left + Width - 36, 9.
    const auto trapezoid = PlanTabs(0, {{21, 162, false}, {183, 162, false}}, 0, 1, 1, 144);
    ASSERT_EQ(trapezoid.size(), 2u);
    EXPECT_EQ(trapezoid[1].dest, (PixelRect{0, 0, 183, 38}));
    EXPECT_EQ(trapezoid[1].caption, (PixelRect{21, 0, 123, 38}));
    EXPECT_EQ(trapezoid[1].glyphDest, (PixelRect{147, 9, 18, 18}));
    EXPECT_EQ(trapezoid[0].caption, (PixelRect{183, 0, 105, 38}));  // 162 - 57 with its glyph
    EXPECT_EQ(trapezoid[0].captionRoom, 105);
    // Style 1 at 200 %: caption from Left + 24, Width - 56; glyph at Left + Width - 40, 14.
    const auto rounded = PlanTabs(1, {{0, 400, false}}, 0, -1, 0, 192);
    EXPECT_EQ(rounded[0].dest, (PixelRect{0, 0, 400, 52}));
    EXPECT_EQ(rounded[0].caption, (PixelRect{24, 0, 344, 52}));
    EXPECT_EQ(rounded[0].glyphDest, (PixelRect{360, 14, 24, 24}));
    EXPECT_EQ(rounded[0].captionRoom, 332);  // 4 pixels clear of the glyph

    // A tab is drawn 1:1 from its cell: as high as the cell, its glyph as large as the skin's.
    for (long style : {0L, 1L})
        for (int dpi : {96, 132, 144}) {
            const SkinLayout& skin = SkinFor(style, dpi);
            const StripGeometry g{style, 1000, 0, 0, dpi};
            const auto plan = PlanTabs(style, {{g.Slant(), g.FullTabWidth(), false}}, 0, -1, 0, dpi);
            ASSERT_EQ(plan.size(), 1u);
            EXPECT_EQ(plan[0].dest.h, skin.Face(TabFace::Selected).h) << style << " at " << dpi;
            EXPECT_EQ(plan[0].glyphDest, (PixelRect{plan[0].glyphDest.x, plan[0].glyphDest.y, skin.glyphSize,
                                                    skin.glyphSize})) << style << " at " << dpi;
            EXPECT_LE(plan[0].dest.h, g.Height()) << style << " at " << dpi;
        }
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
