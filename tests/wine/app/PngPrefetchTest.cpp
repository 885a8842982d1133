// The start-up pictures decoded ahead: a painter gets the same pixels as decoding in place,
// waits for one still being decoded, and decodes itself what the prefetch does not hold or could
// not decode.

#include <gtest/gtest.h>

#include "app/PngPrefetch.h"
#include "resources/ResourceIds.h"

namespace {

using corvane::DecodedPng;
using corvane::PngPrefetch;

TEST(PngPrefetch, HandsOverEachPictureOnceAsDecodingInPlaceWould)
{
    rt::GdiplusSession session;
    const DecodedPng splash = corvane::DecodePng(IDP_SPLASH);
    const DecodedPng background = corvane::DecodePng(IDP_LOGIN_BG);
    ASSERT_EQ(splash.premultiplied.size(), 356u * 122u);
    ASSERT_EQ(background.premultiplied.size(), 888u * 518u);

    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        PngPrefetch prefetch({IDP_SPLASH, IDP_LOGIN_BG});
        // Asked at once, before the worker can be through: the caller waits for it.
        std::optional<DecodedPng> first = PngPrefetch::Take(IDP_SPLASH);
        ASSERT_TRUE(first && first->image && *first->image);
        EXPECT_EQ(first->width, 356);
        EXPECT_EQ(first->height, 122);
        EXPECT_TRUE(first->premultiplied == splash.premultiplied);
        EXPECT_FALSE(PngPrefetch::Take(IDP_SPLASH)) << "a picture goes to one painter";
        EXPECT_FALSE(PngPrefetch::Take(999)) << "not among the prefetched";
        if (round == 1) {
            // The background is left: it goes with the prefetch.
            continue;
        }
        std::optional<DecodedPng> second = PngPrefetch::Take(IDP_LOGIN_BG);
        ASSERT_TRUE(second);
        EXPECT_TRUE(second->premultiplied == background.premultiplied);
    }
    EXPECT_FALSE(PngPrefetch::Take(IDP_SPLASH)) << "no prefetch lives";

    // A picture the worker cannot decode does not hold up its painter, nor the pictures after it.
    PngPrefetch broken({999, IDP_SPLASH});
    std::optional<DecodedPng> missing = PngPrefetch::Take(999);
    EXPECT_FALSE(missing && missing->image && *missing->image);
    std::optional<DecodedPng> after = PngPrefetch::Take(IDP_SPLASH);
    ASSERT_TRUE(after);
    EXPECT_TRUE(after->premultiplied == splash.premultiplied);
}

}  // namespace
