// Images kept across page loads: found by address, replaced, and the least recently used
// dropped first when the bytes exceed the limit.

#include <gtest/gtest.h>

#include "browser/html/ImageCache.h"

namespace {

std::shared_ptr<const std::string> Bytes(std::size_t n, char c = 'x') { return std::make_shared<const std::string>(n, c); }

TEST(ImageCache, FindsWhatWasStoredAndReplacesIt)
{
    browser::ImageCache cache(100);
    EXPECT_FALSE(cache.Find("http://a/logo.png"));
    cache.Store("http://a/logo.png", Bytes(10, 'a'));
    ASSERT_TRUE(cache.Find("http://a/logo.png"));
    EXPECT_EQ(*cache.Find("http://a/logo.png"), std::string(10, 'a'));
    EXPECT_FALSE(cache.Find("http://a/logo.png?v=2"));
    cache.Store("http://a/logo.png", Bytes(20, 'b'));
    EXPECT_EQ(*cache.Find("http://a/logo.png"), std::string(20, 'b'));
    EXPECT_EQ(cache.Bytes(), 20u);
    EXPECT_EQ(cache.Count(), 1u);
}

TEST(ImageCache, DropsTheLeastRecentlyUsedBeyondTheLimit)
{
    browser::ImageCache cache(100);
    cache.Store("a", Bytes(40));
    cache.Store("b", Bytes(40));
    cache.Find("a");  // b is now the oldest
    cache.Store("c", Bytes(40));
    EXPECT_TRUE(cache.Find("a"));
    EXPECT_FALSE(cache.Find("b"));
    EXPECT_TRUE(cache.Find("c"));
    EXPECT_LE(cache.Bytes(), 100u);
    // Something larger than the whole cache is not kept, and takes its older bytes with it.
    cache.Store("a", Bytes(101));
    EXPECT_FALSE(cache.Find("a"));
    EXPECT_EQ(cache.Bytes(), 40u);
    cache.Store("d", nullptr);
    EXPECT_FALSE(cache.Find("d"));
}

}  // namespace
