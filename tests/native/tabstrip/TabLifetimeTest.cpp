// The tab collection when the strip that owns it is destroyed from inside one of its calls out
// (the close handler unloads the window, a page's unload ends the strip): it returns without
// touching itself, which AddressSanitizer checks here.

#include <gtest/gtest.h>

#include "tests/native/tabstrip/FakeStrip.h"

namespace {

using fakes::FakePage;
using fakes::FakeStrip;

class TabLifetime : public ::testing::Test {
protected:
    void SetUp() override
    {
        strip = std::make_unique<FakeStrip>(journal);
        for (int i = 1; i <= 3; ++i) {
            pages.push_back(std::make_shared<FakePage>(journal, i));
            strip->items.Add(std::wstring(1, static_cast<wchar_t>(L'A' + i - 1)), pages.back());
        }
    }
    void Die() { strip.reset(); }

    fakes::Journal journal;
    std::unique_ptr<FakeStrip> strip;
    std::vector<std::shared_ptr<FakePage>> pages;
};

TEST_F(TabLifetime, CloseHandlerDestroysTheStrip)
{
    strip->beforeRemoveHook = [this] { Die(); };
    EXPECT_FALSE(strip->items.Remove(1.0, true));
    EXPECT_FALSE(strip);
    // The tabs went with the collection, and each unloaded its page once.
    for (auto& p : pages) EXPECT_EQ(p->unloadCount, 1);
}

TEST_F(TabLifetime, StripDestroyedWhileRemovingTheTab)
{
    strip->removeHook = [this] { Die(); };
    EXPECT_FALSE(strip->items.Remove(0.0, true));
    EXPECT_FALSE(strip);
    // The removed tab still held its page when the strip went: it is unloaded with the tab.
    EXPECT_EQ(pages[0]->unloadCount, 1);
}

TEST_F(TabLifetime, PageUnloadDestroysTheStrip)
{
    pages[0]->unloadHook = [this] { Die(); };
    EXPECT_TRUE(strip->items.Remove(0.0, true));
    EXPECT_FALSE(strip);

    SetUp();
    // Clearing stops at the page whose unload ended everything; the rest go with the tabs.
    pages[4]->unloadHook = [this] { Die(); };
    EXPECT_FALSE(strip->items.Clear());
    EXPECT_FALSE(strip);
    for (std::size_t i = 3; i < pages.size(); ++i) EXPECT_EQ(pages[i]->unloadCount, 1) << i;
}

TEST_F(TabLifetime, PageInitializeDestroysTheStrip)
{
    auto page = std::make_shared<FakePage>(journal, 9);
    page->initializeHook = [this] { Die(); };
    EXPECT_FALSE(strip->items.Add(L"X", page));
    EXPECT_FALSE(strip);
}

TEST_F(TabLifetime, TabsHeldByTheHostOutliveTheirStripQuietly)
{
    std::shared_ptr<corvane::CTabItem> tab = strip->items.Item(1.0);
    strip->items.Remove(1.0, false);  // released: the collection keeps it
    std::shared_ptr<corvane::CTabItem> listed = strip->items.Item(0.0);
    Die();
    journal.calls.clear();
    // Their strip is gone: changing them must not reach it.
    tab->SetCaption(L"late");
    listed->SetCaption(L"late");
    listed->SetHideButton(true);
    EXPECT_TRUE(journal.calls.empty());
}

}  // namespace
