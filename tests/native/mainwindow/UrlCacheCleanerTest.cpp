// The cache cleaner's walk against a fake cache: what goes, what stays, where it stops.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/native/mainwindow/FakeUrlCache.h"

namespace corvane {
namespace {

using test::FakeUrlCache;
using Urls = std::vector<std::string>;

FakeUrlCache MixedCache()
{
    FakeUrlCache c;
    c.entries = {{"http://portal/a.png", 1},
                 {"Cookie:user@portal/", kCookieCacheEntry},
                 {"Visited: user@http://portal/", kUrlHistoryCacheEntry},
                 {"http://portal/zero", 0},
                 {"Cookie:user@other/", kCookieCacheEntry | 1},
                 {"http://portal/sticky", 0x4}};
    return c;
}

TEST(UrlCacheCleaner, EmptyCacheEndsAtTheFirstSearch)
{
    FakeUrlCache c;
    EXPECT_TRUE(ClearUrlCache(c, "*.*", kKeepCookiesAndHistory));
    EXPECT_EQ(c.journal, (Urls{"FindFirstGroup", "FindFirstEntry *.*"}));
    EXPECT_EQ(c.openFinds, 0);
}

TEST(UrlCacheCleaner, KeepsCookiesAndHistoryAndDeletesEveryOtherType)
{
    FakeUrlCache c = MixedCache();
    EXPECT_TRUE(ClearUrlCache(c, "*.*", kKeepCookiesAndHistory));
    EXPECT_EQ(c.RemainingUrls(),
              (Urls{"Cookie:user@portal/", "Visited: user@http://portal/", "Cookie:user@other/"}));
    EXPECT_EQ(c.openFinds, 0) << "every search handle is closed";
    // One buffer of 2048 bytes serves every entry.
    for (std::size_t size : c.bufferSizes) EXPECT_EQ(size, kEntryBufferSize);

    // With no mask nothing is kept.
    FakeUrlCache all = MixedCache();
    ClearUrlCache(all, "*.*", 0);
    EXPECT_TRUE(all.RemainingUrls().empty());
}

TEST(UrlCacheCleaner, AnEntryInUseIsSkipped)
{
    FakeUrlCache c = MixedCache();
    c.entries[0].inUse = true;
    EXPECT_TRUE(ClearUrlCache(c, "*.*", kKeepCookiesAndHistory)) << "the walk went on to the end";
    const Urls left = c.RemainingUrls();
    EXPECT_EQ(left.front(), "http://portal/a.png");
    EXPECT_EQ(left.size(), 4u);
}

TEST(UrlCacheCleaner, GroupsGoFirstWithTheirEntries)
{
    FakeUrlCache c = MixedCache();
    c.groups = {7, 8, 9};
    ClearUrlCache(c, "*.*", kKeepCookiesAndHistory);
    EXPECT_TRUE(c.groups.empty());
    const Urls start(c.journal.begin(), c.journal.begin() + 8);
    EXPECT_EQ(start, (Urls{"FindFirstGroup", "DeleteGroup 7", "FindNextGroup", "DeleteGroup 8", "FindNextGroup",
                           "DeleteGroup 9", "FindNextGroup", "CloseFind"}));
    EXPECT_EQ(c.RemainingUrls().size(), 3u);
}

TEST(UrlCacheCleaner, MissingGroupFunctionsStillCleanTheEntries)
{
    FakeUrlCache c = MixedCache();
    c.groupFunctionsMissing = true;
    ClearUrlCache(c, "*.*", kKeepCookiesAndHistory);
    EXPECT_EQ(c.RemainingUrls().size(), 3u);

    // A missing next-group function ends the group stage instead of deleting one group for ever.
    FakeUrlCache n = MixedCache();
    n.groups = {1, 2};
    n.nextGroupMissing = true;
    ClearUrlCache(n, "*.*", kKeepCookiesAndHistory);
    EXPECT_EQ(n.groups, (std::vector<std::int64_t>{2}));
    EXPECT_EQ(n.RemainingUrls().size(), 3u);
}

TEST(UrlCacheCleaner, StopRulesLeaveTheRestInPlace)
{
    // The first group search fails with another code than "no more": nothing is deleted.
    FakeUrlCache first = MixedCache();
    first.firstGroupError = 5;
    EXPECT_FALSE(ClearUrlCache(first, "*.*", kKeepCookiesAndHistory));
    EXPECT_EQ(first.RemainingUrls().size(), 6u);
    EXPECT_EQ(first.journal, (Urls{"FindFirstGroup"}));

    // No groups reported with code 0 (as Wine does) is no failure.
    FakeUrlCache wine = MixedCache();
    wine.emptyGroupError = 0;
    EXPECT_TRUE(ClearUrlCache(wine, "*.*", kKeepCookiesAndHistory));
    EXPECT_EQ(wine.RemainingUrls().size(), 3u);

    // A group that cannot be deleted stops everything.
    FakeUrlCache group = MixedCache();
    group.groups = {3};
    group.deleteGroupError = 5;
    EXPECT_FALSE(ClearUrlCache(group, "*.*", kKeepCookiesAndHistory));
    EXPECT_EQ(group.RemainingUrls().size(), 6u);
    EXPECT_EQ(group.openFinds, 0);

    // An entry search step failing with another code than "no more items" stops at that entry.
    FakeUrlCache step = MixedCache();
    step.nextEntryErrorAt = 6;
    step.nextEntryFailIndex = 2;
    EXPECT_FALSE(ClearUrlCache(step, "*.*", kKeepCookiesAndHistory));
    EXPECT_EQ(step.RemainingUrls(), (Urls{"Cookie:user@portal/", "Visited: user@http://portal/",
                                           "http://portal/zero", "Cookie:user@other/", "http://portal/sticky"}));
    EXPECT_EQ(step.openFinds, 0);

    // The first entry search failing with another code than "no more items" cleans nothing.
    FakeUrlCache firstEntry = MixedCache();
    firstEntry.firstEntryError = 5;
    EXPECT_FALSE(ClearUrlCache(firstEntry, "*.*", kKeepCookiesAndHistory));
    EXPECT_EQ(firstEntry.RemainingUrls().size(), 6u);
}

TEST(UrlCacheCleaner, OversizedEntryGrowsTheBufferAndTheWalkGoesOn)
{
    FakeUrlCache c = MixedCache();
    c.entries[3].infoSize = 5000;  // "http://portal/zero"
    EXPECT_TRUE(ClearUrlCache(c, "*.*", kKeepCookiesAndHistory));
    EXPECT_EQ(c.RemainingUrls().size(), 3u) << "the entries after the large one are cleaned too";
    // The buffer grew once, to what the system asked for, and stayed that size.
    EXPECT_EQ(c.bufferSizes.back(), 5000u);
    EXPECT_EQ(std::count(c.bufferSizes.begin(), c.bufferSizes.end(), std::size_t{5000}), 4);  // the retry, two entries, the end

    // The very first entry too large: the first search is made again with the larger buffer.
    FakeUrlCache big = MixedCache();
    big.entries[0].infoSize = 3000;
    ClearUrlCache(big, "*.*", kKeepCookiesAndHistory);
    EXPECT_EQ(big.RemainingUrls().size(), 3u);
    EXPECT_EQ(big.openFinds, 0);
}

}  // namespace
}  // namespace corvane
