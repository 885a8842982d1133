#include <gtest/gtest.h>

#include <limits>

#include "runtime/Rounding.h"
#include "runtime/Twips.h"

namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(rt::RoundHalfEven(0.5), 0);
    EXPECT_EQ(rt::RoundHalfEven(1.5), 2);
    EXPECT_EQ(rt::RoundHalfEven(2.5), 2);
    EXPECT_EQ(rt::RoundHalfEven(3.5), 4);
    EXPECT_EQ(rt::RoundHalfEven(-0.5), 0);
    EXPECT_EQ(rt::RoundHalfEven(-1.5), -2);
    EXPECT_EQ(rt::RoundHalfEven(-2.5), -2);
}

TEST(Rounding, OtherValuesGoToTheNearest)
{
    EXPECT_EQ(rt::RoundHalfEven(2.4999), 2);
    EXPECT_EQ(rt::RoundHalfEven(2.5001), 3);
    EXPECT_EQ(rt::RoundHalfEven(-2.6), -3);
    EXPECT_EQ(rt::RoundHalfEven(7.0), 7);
}

TEST(Rounding, OutOfRangeSaturatesInsteadOfWrapping)
{
    EXPECT_EQ(rt::RoundHalfEven(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(rt::RoundHalfEven(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(rt::RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(rt::RoundHalfEven16(40000.0), 32767);
    EXPECT_EQ(rt::RoundHalfEven16(-40000.0), -32768);
    EXPECT_EQ(rt::RoundHalfEven16(1036.5), 1036);
}

TEST(Rounding, IntegerDivisionRoundsOperandsThenTruncates)
{
    // Centring a 15540-twip form on a 28800-twip screen: (28800 - 15540) \ 2.
    EXPECT_EQ(rt::IntegerDivide(28800 - 15540, 2), 6630);
    EXPECT_EQ(rt::IntegerDivide(7.5, 2), 4);   // 8 \ 2
    EXPECT_EQ(rt::IntegerDivide(6.5, 2), 3);   // 6 \ 2
    EXPECT_EQ(rt::IntegerDivide(-7, 2), -3);   // toward zero
    EXPECT_EQ(rt::IntegerDivide(5, 0), 0);
}

TEST(Twips, FifteenTwipsPerPixelAtNinetySixDpi)
{
    rt::TwipsScale s{96, 96};
    EXPECT_DOUBLE_EQ(s.TwipsPerPixelX(), 15.0);
    EXPECT_EQ(s.PixelsX(5340), 356);
    EXPECT_EQ(s.PixelsY(1830), 122);
    EXPECT_EQ(s.TwipsX(888), 13320);
    EXPECT_EQ(s.TwipsY(518), 7770);
    // The main window's region: client width in pixels plus one.
    EXPECT_EQ(rt::RoundHalfEven(s.ScaleXToPixels(15540) + 1), 1037);
}

TEST(Twips, OtherDpiUsesTheRealFactorAndRoundsHalvesToEven)
{
    rt::TwipsScale s{120, 144};
    EXPECT_DOUBLE_EQ(s.TwipsPerPixelX(), 12.0);
    EXPECT_DOUBLE_EQ(s.TwipsPerPixelY(), 10.0);
    EXPECT_EQ(s.PixelsX(5340), 445);
    EXPECT_EQ(s.PixelsX(30), 2);   // 2.5 -> 2
    EXPECT_EQ(s.PixelsX(42), 4);   // 3.5 -> 4
    EXPECT_EQ(s.PixelsY(1830), 183);
    EXPECT_EQ(s.TwipsY(7.5), 75);
}

TEST(Twips, HimetricOfPictures)
{
    // Button strips are cut by dividing HIMETRIC sizes by 26.45836 (2540 / 96).
    EXPECT_EQ(rt::PixelsToHimetric(72, 96), 1905);
    EXPECT_EQ(rt::PixelsToHimetric(16, 96), 423);
    EXPECT_EQ(rt::PixelsToHimetric(13, 96), 344);
    EXPECT_EQ(rt::RoundHalfEven(rt::PixelsToHimetric(13, 96) / 26.45836 / 3), 4);
    EXPECT_EQ(rt::RoundHalfEven(rt::PixelsToHimetric(150, 96) / 26.45836 / 6), 25);
    EXPECT_EQ(rt::PixelsToHimetric(10, 0), 0);
}

}  // namespace
