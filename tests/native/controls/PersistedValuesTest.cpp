// Fonts and pictures as designer text, and the visible runs of a transparent control's mask.

#include <gtest/gtest.h>

#include "controls/PersistedValues.h"

using namespace corvane;

TEST(FontText, RoundTripAndDamage)
{
    FontDesc underlined;
    underlined.underline = true;
    EXPECT_EQ(FontToText(underlined), L"宋体|9|400|0|1|0|134");
    EXPECT_EQ(FontFromText(FontToText(underlined)), underlined);
    FontDesc bold{L"Tahoma", 10.5, 700, true, false, true, 0};
    EXPECT_EQ(FontFromText(FontToText(bold)), bold);

    EXPECT_FALSE(FontFromText(L""));
    EXPECT_FALSE(FontFromText(L"宋体|9|400|0|1|0"));
    EXPECT_FALSE(FontFromText(L"宋体|nine|400|0|1|0|134"));
    EXPECT_FALSE(FontFromText(L"宋体|9|400|2|1|0|134"));
    EXPECT_FALSE(FontFromText(L"宋体|-9|400|0|1|0|134"));
    EXPECT_FALSE(FontFromText(L"宋体|9|400|0|1|0|999"));
    EXPECT_FALSE(FontFromText(L"|9|400|0|1|0|134"));
}

TEST(ImageText, RoundTripAndDamage)
{
    const PixelImage image{3, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xABCDEF, 0}};
    const std::wstring text = ImageToText(image);
    EXPECT_EQ(text, L"DIB 3 2 FF000000FF000000FF123456ABCDEF000000");
    EXPECT_EQ(ImageFromText(text), image);
    EXPECT_EQ(ImageFromText(L"DIB 3 2 ff000000ff000000ff123456abcdef000000"), image);

    EXPECT_FALSE(ImageFromText(L""));
    EXPECT_FALSE(ImageFromText(L"DIB 3 2 FF0000"));                                      // too short
    EXPECT_FALSE(ImageFromText(L"DIB 3 2 FF000000FF000000FF123456ABCDEF0000000"));       // too long
    EXPECT_FALSE(ImageFromText(L"DIB 3 2 FF000000FF000000FF123456ABCDEF00000G"));        // not hex
    EXPECT_FALSE(ImageFromText(L"DIB 0 2 "));
    EXPECT_FALSE(ImageFromText(L"DIB -3 2 FF0000"));
    EXPECT_FALSE(ImageFromText(L"DIB 100000 100000 00"));                                // absurd size
    EXPECT_FALSE(ImageFromText(L"BMP 1 1 000000"));
}

TEST(MaskRuns, PixelsOtherThanTheKey)
{
    constexpr std::uint32_t k = 0xFF00FF;
    const PixelImage image{4, 2, {k, 1, 2, k, 3, k, k, 4}};
    const std::vector<PixelRun> expected{{0, 1, 3}, {1, 0, 1}, {1, 3, 4}};
    EXPECT_EQ(OpaqueRuns(image, k), expected);
    EXPECT_TRUE(OpaqueRuns(PixelImage{2, 1, {k, k}}, k).empty());
    // A malformed image gives nothing rather than reading past its pixels.
    EXPECT_TRUE(OpaqueRuns(PixelImage{4, 4, {1}}, k).empty());
}
