// Reusing tabs drawn in earlier frames: which pixels of a tab drawn over two backdrops belong
// to it, copying a sprite into a frame at its edges, the area a tab's paint covers, and the
// cache letting go of tabs no frame shows any more.

#include <gtest/gtest.h>

#include "tabstrip/TabSprites.h"

namespace {

using namespace corvane;

constexpr std::uint32_t A = kSpriteBackdropA;
constexpr std::uint32_t B = kSpriteBackdropB;

TEST(TabSprites, PixelsEqualOverBothBackdropsAreTheTabsAndTheRestIsClear)
{
    // A 3 x 2 tab: skin pixels, a pixel the tab leaves alone, one whose top byte differs.
    const std::uint32_t overA[] = {0x112233, A, 0x00FF00, 0x01445566, A, 0x778899};
    const std::uint32_t overB[] = {0x112233, B, 0x00FF00, 0x00445566, B, 0x778899};
    const TabSprite s = SpriteFromBackdrops({-14, 0, 3, 2}, overA, overB);
    ASSERT_TRUE(s.usable);
    EXPECT_EQ(s.area, (PixelRect{-14, 0, 3, 2}));
    // A skin pixel that happens to be backdrop B's colour is still the tab's.
    EXPECT_EQ(s.pixels, (std::vector<std::uint32_t>{0x112233, kSpriteClear, 0x00FF00, 0x445566, kSpriteClear, 0x778899}));
}

TEST(TabSprites, APixelBlendedWithWhatLiesBeneathMakesTheSpriteUnusable)
{
    // Caption ink over a transparent corner: it comes out differently over each backdrop.
    const std::uint32_t overA[] = {0x112233, 0x7F007F};
    const std::uint32_t overB[] = {0x112233, 0x007F00};
    EXPECT_FALSE(SpriteFromBackdrops({0, 0, 2, 1}, overA, overB).usable);
    // So does a pixel left as backdrop A in one drawing only.
    const std::uint32_t halfA[] = {A};
    const std::uint32_t halfB[] = {0x123456};
    EXPECT_FALSE(SpriteFromBackdrops({0, 0, 1, 1}, halfA, halfB).usable);
}

TEST(TabSprites, CompositeCopiesOnlyTheTabsPixelsAndCutsAtTheEdges)
{
    const std::uint32_t overA[] = {1, A, 3, 4, 5, A};
    const std::uint32_t overB[] = {1, B, 3, 4, 5, B};
    const TabSprite s = SpriteFromBackdrops({0, 0, 3, 2}, overA, overB);
    ASSERT_TRUE(s.usable);
    std::vector<std::uint32_t> frame(4 * 3, 9);
    CompositeSprite(frame.data(), 4, 3, s, 2, 2);  // only the top row fits, and only two columns
    EXPECT_EQ(frame, (std::vector<std::uint32_t>{9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 1, 9}));
    std::fill(frame.begin(), frame.end(), 9);
    CompositeSprite(frame.data(), 4, 3, s, -1, 0);  // cut on the left
    EXPECT_EQ(frame, (std::vector<std::uint32_t>{9, 3, 9, 9, 5, 9, 9, 9, 9, 9, 9, 9}));
    std::fill(frame.begin(), frame.end(), 9);
    CompositeSprite(frame.data(), 4, 3, s, 10, 10);  // wholly outside
    EXPECT_EQ(frame, std::vector<std::uint32_t>(12, 9));
    CompositeSprite(frame.data(), 4, 3, s, 0, -1);  // cut at the top
    EXPECT_EQ(frame, (std::vector<std::uint32_t>{4, 5, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}));
    std::fill(frame.begin(), frame.end(), 9);
    CompositeSprite(frame.data(), 4, 3, s, 1, 1);  // wholly inside
    EXPECT_EQ(frame, (std::vector<std::uint32_t>{9, 9, 9, 9, 9, 1, 9, 3, 9, 4, 5, 9}));
}

TEST(TabSprites, PaintAreaCoversImageCaptionAndGlyph)
{
    const std::vector<TabState> tabs{{0, 100, false}, {200, 100, true}};
    const auto plan = PlanTabs(1, tabs, -1, -1, 0);
    ASSERT_EQ(plan.size(), 2u);
    // Rounded style without a close button: the caption box reaches 4 pixels past the image.
    EXPECT_EQ(plan[0].index, 1);
    EXPECT_EQ(TabPaintArea(plan[0]), (PixelRect{200, 0, 104, 26}));
    EXPECT_EQ(TabPaintArea(plan[1]), (PixelRect{0, 0, 100, 26}));
    // A caption box of no width adds nothing.
    const auto narrow = PlanTabs(0, {{14, 20, false}}, -1, -1, 0);
    EXPECT_EQ(TabPaintArea(narrow[0]), (PixelRect{0, 0, 34, 25}));
}

TEST(TabSprites, CacheKeepsWhatRecentFramesUseAndDropsTheRest)
{
    TabSpriteCache cache;
    const auto key = [](long width, const wchar_t* caption) {
        TabSpriteKey k;
        k.width = width;
        k.caption = caption;
        return k;
    };
    cache.Insert(key(108, L"a"), TabSprite{});
    EXPECT_TRUE(cache.Find(key(108, L"a")));
    EXPECT_FALSE(cache.Find(key(108, L"b")));
    EXPECT_FALSE(cache.Find(key(107, L"a")));
    cache.EndFrame(1);
    // Many tabs that are closed again: the cache stays near what one frame needs.
    for (int frame = 0; frame < 100; ++frame) {
        cache.Insert(key(frame, L"x"), TabSprite{});
        cache.Find(key(108, L"a"));
        cache.EndFrame(2);
    }
    EXPECT_LE(cache.Size(), 4u * 2 + 32 + 1);
    EXPECT_TRUE(cache.Find(key(108, L"a")));
}

}  // namespace
