// KvProgressBar's range rules and the copies that paint it.

#include <gtest/gtest.h>

#include "updater/ProgressBarMath.h"

namespace {

using namespace corvane;

TEST(ProgressRange, SettersKeepMinValueMaxOrdered)
{
    ProgressRange r;
    EXPECT_EQ(r.Min(), 0);
    EXPECT_EQ(r.Max(), 100);
    EXPECT_EQ(r.Value(), 0);

    EXPECT_TRUE(r.SetValue(80));
    EXPECT_FALSE(r.SetValue(101));
    EXPECT_FALSE(r.SetValue(-1));
    EXPECT_EQ(r.Value(), 80);

    // A lower Max drags Value down with it; Max must stay above Min.
    EXPECT_TRUE(r.SetMax(50));
    EXPECT_EQ(r.Value(), 50);
    EXPECT_FALSE(r.SetMax(0));
    EXPECT_EQ(r.Max(), 50);

    // A higher Min drags Value up; Min must stay non-negative and below Max.
    EXPECT_TRUE(r.SetValue(10));
    EXPECT_TRUE(r.SetMin(20));
    EXPECT_EQ(r.Value(), 20);
    EXPECT_FALSE(r.SetMin(50));
    EXPECT_FALSE(r.SetMin(-5));
    EXPECT_EQ(r.Min(), 20);

    // Byte counts of a large file.
    EXPECT_TRUE(r.SetMax(2000000000));
    EXPECT_TRUE(r.SetValue(1999999999));
}

TEST(ProgressFill, DesignerWidth273)
{
    ProgressRange r;
    EXPECT_EQ(ProgressFill(273, r), 1);
    r.SetValue(100);
    EXPECT_EQ(ProgressFill(273, r), 272);
    r.SetValue(50);
    EXPECT_EQ(ProgressFill(273, r), 136);  // 271 / 2 + 1 = 136.5, half to even
    r.SetMax(300000000);
    r.SetValue(299999999);
    EXPECT_EQ(ProgressFill(273, r), 272);
}

TEST(ProgressPaintPlan, CapsMiddleAndEmptyPart)
{
    ProgressRange r;
    // At Min the empty look covers columns 1 to 271.
    EXPECT_EQ(ProgressPaintPlan(273, r), (std::vector<SkinCopy>{
                                              {0, 3, 0, 3}, {3, 2, 3, 267}, {5, 3, 270, 3}, {8, 2, 1, 271}}));
    // At Max no empty part is drawn: the last column shows the end cap.
    r.SetValue(100);
    EXPECT_EQ(ProgressPaintPlan(273, r).size(), 3u);
    // A second, smaller file: its size lowers Max and Value, so the bar never overflows.
    r.SetMax(40);
    EXPECT_EQ(r.Value(), 40);
    EXPECT_EQ(ProgressPaintPlan(273, r).size(), 3u);
    r.SetValue(10);
    EXPECT_EQ(ProgressPaintPlan(273, r).back(), (SkinCopy{8, 2, 69, 203}));  // fill 271 / 4 + 1 = 68.75
}

TEST(ProgressSkinAt, EveryLengthOfTheSkinScaledOnItsOwn)
{
    struct Case {
        int dpi;
        ProgressSkin skin;
    };
    const Case cases[] = {
        {96, {3, 2, 2, 1, 10}},  {120, {4, 2, 2, 1, 12}}, {144, {4, 3, 3, 2, 15}},
        {168, {5, 4, 4, 2, 18}}, {192, {6, 4, 4, 2, 20}}, {108, {3, 2, 2, 1, 11}},
    };
    for (const Case& c : cases) EXPECT_EQ(ProgressSkinAt(c.dpi), c.skin) << c.dpi << " dpi";
    EXPECT_EQ(ProgressSkinAt(96), ProgressSkin{});
}

TEST(ProgressPaintPlan, AtOneAndAHalfTheScaledPiecesAreCopiedFromTheirPackedColumns)
{
    const ProgressSkin skin = ProgressSkinAt(144);
    ProgressRange r;
    // Empty: the track starts inside the two-pixel edge line and stops at the right one.
    EXPECT_EQ(ProgressPaintPlan(410, r, skin),
              (std::vector<SkinCopy>{{0, 4, 0, 4}, {4, 3, 4, 402}, {7, 4, 406, 4}, {11, 3, 2, 406}}));
    r.SetValue(50);
    EXPECT_EQ(ProgressFill(410, r, skin.line), 205);  // 406 / 2 + 2
    EXPECT_EQ(ProgressPaintPlan(410, r, skin).back(), (SkinCopy{11, 3, 205, 203}));
    r.SetValue(100);
    EXPECT_EQ(ProgressPaintPlan(410, r, skin).size(), 3u);
}

}  // namespace
