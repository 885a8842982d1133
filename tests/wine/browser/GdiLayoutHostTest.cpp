// The built-in engine's fonts: a page asking for every size and style keeps a bounded number of
// GDI fonts, measures the same after evictions, and a font kept by a window outlives its eviction;
// remembered widths.

#include <gtest/gtest.h>

#include <cstdio>

#include "browser/lite/GdiLayoutHost.h"

namespace {

using browser::FontDesc;
using browser::GdiLayoutHost;

FontDesc Desc(int size, int style)
{
    FontDesc f;
    f.sizePx = size;
    f.bold = style & 1;
    f.italic = style & 2;
    f.underline = style & 4;
    return f;
}

TEST(GdiLayoutHost, FontCacheIsBounded)
{
    GdiLayoutHost host([](const std::string&) { return std::nullopt; });
    const int width16 = host.TextWidth("measure", Desc(16, 0));
    EXPECT_GT(width16, 0);
    std::shared_ptr<const rt::Font> kept = host.SharedFontFor(Desc(24, 1));

    for (int size = 1; size <= 400; ++size)
        for (int style = 0; style < 8; ++style) (void)host.Ascent(Desc(size, style));
    EXPECT_LE(host.CachedFonts(), GdiLayoutHost::kMaxCachedFonts);
    // Sizes beyond what a font can take share one font.
    (void)host.Ascent(Desc(100000, 0));
    (void)host.Ascent(Desc(100001, 0));
    EXPECT_LE(host.CachedFonts(), GdiLayoutHost::kMaxCachedFonts);

    EXPECT_EQ(host.TextWidth("measure", Desc(16, 0)), width16);
    LOGFONTW lf{};
    ASSERT_EQ(::GetObjectW(kept->get(), sizeof lf, &lf), static_cast<int>(sizeof lf)) << "the kept font was deleted";
    EXPECT_EQ(lf.lfHeight, -24);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
}

// Widths are remembered per font: the same word in another font measures anew, and a page of more
// distinct words than are remembered still measures each right.
TEST(GdiLayoutHost, RememberedWidthsBelongToTheirFont)
{
    GdiLayoutHost host([](const std::string&) { return std::nullopt; });
    const int small = host.TextWidth("帐号 account", Desc(12, 0));
    const int large = host.TextWidth("帐号 account", Desc(24, 0));
    const int bold = host.TextWidth("帐号 account", Desc(24, 1));
    EXPECT_GT(large, small);
    EXPECT_GE(bold, large);
    EXPECT_EQ(host.TextWidth("帐号 account", Desc(12, 0)), small);
    EXPECT_EQ(host.TextWidth("", Desc(12, 0)), 0);

    for (std::size_t i = 0; i < GdiLayoutHost::kMaxWidthsPerFont + 100; ++i) {
        char word[24];
        std::snprintf(word, sizeof word, "w%u", static_cast<unsigned>(i));
        (void)host.TextWidth(word, Desc(12, 0));
    }
    EXPECT_EQ(host.TextWidth("帐号 account", Desc(12, 0)), small);
    EXPECT_EQ(host.TextWidth("w1", Desc(12, 0)), host.TextWidth("w7", Desc(12, 0)));
    EXPECT_LT(host.TextWidth("w1", Desc(12, 0)), host.TextWidth("w1000", Desc(12, 0)));
}

}  // namespace
