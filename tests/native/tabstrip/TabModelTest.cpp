// The tab collection against a fake strip and fake pages: positions, keys, the numeric rules of
// Add, removal with the strip's veto and selection repair, and what each failure leaves behind.

#include <gtest/gtest.h>

#include <functional>

#include "tabstrip/TabError.h"
#include "tests/native/tabstrip/FakeStrip.h"

namespace {

using corvane::CTabItem;
using corvane::TabError;
using corvane::TabIndex;
using fakes::FakePage;
using Calls = std::vector<std::string>;

class TabModel : public ::testing::Test {
protected:
    std::shared_ptr<FakePage> Page(corvane::WindowHandle h) { return std::make_shared<FakePage>(journal, h); }

    // Adds tabs "A", "B", ... keyed by their captions, pages 1, 2, ...
    void AddTabs(int n)
    {
        for (int i = 0; i < n; ++i) {
            const std::wstring name(1, static_cast<wchar_t>(L'A' + i));
            pages.push_back(Page(i + 1));
            strip.items.Add(name, pages.back(), name);
        }
        journal.calls.clear();
    }

    std::wstring Captions()
    {
        std::wstring out;
        for (long i = 0; i < strip.items.Count(); ++i) out += strip.items.Item(i)->Caption();
        return out;
    }

    int ErrorOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const TabError& e) {
            return e.number();
        }
        return 0;
    }

    fakes::Journal journal;
    fakes::FakeStrip strip{journal};
    std::vector<std::shared_ptr<FakePage>> pages;
};

TEST_F(TabModel, AddBindsThePageTwiceThenTellsTheStrip)
{
    auto page = Page(7);
    EXPECT_TRUE(strip.items.Add(L"Game", page, L"GameKey"));
    EXPECT_EQ(journal.calls, (Calls{"Style 7", "Initialize 7", "strip.Redraw", "Initialize 7",
                                    "strip.ChangeForm 7", "strip.Add Game", "Activate 500"}));
    auto tab = strip.items.Item(0);
    ASSERT_TRUE(tab);
    EXPECT_EQ(page->initializeCount, 2);
    EXPECT_EQ(page->strip, &strip);
    EXPECT_EQ(page->item.lock(), tab);
    EXPECT_EQ(tab->Form(), page);
    EXPECT_EQ(tab->Caption(), L"Game");
    // Add leaves the selection to the host, after repairing an invalid one.
    EXPECT_EQ(strip.items.Selected(), 0);
}

TEST_F(TabModel, AddIndexRules)
{
    AddTabs(2);  // A B
    strip.items.Add(L"C", Page(3), std::nullopt, 2);  // Index = Count appends
    strip.items.Add(L"D", Page(4), std::nullopt, 0);  // Index 0 inserts at the front
    EXPECT_EQ(Captions(), L"DABC");
    strip.items.Add(L"E", Page(5), std::nullopt, 1.5);  // halves to even: 2
    EXPECT_EQ(Captions(), L"DAEBC");
    strip.items.Add(L"F", Page(6), std::nullopt, 2.5);  // halves to even: 2
    EXPECT_EQ(Captions(), L"DAFEBC");
    strip.items.Add(L"G", Page(7), std::nullopt, L" 1 ");  // numeric text counts as a number
    EXPECT_EQ(Captions(), L"DGAFEBC");
}

TEST_F(TabModel, FailedAddKeepsThePageButListsNoTab)
{
    AddTabs(3);
    auto page = Page(9);
    EXPECT_EQ(ErrorOf([&] { strip.items.Add(L"X", page, std::nullopt, 4); }), 9);  // Count + 1
    EXPECT_EQ(ErrorOf([&] { strip.items.Add(L"X", page, std::nullopt, -1); }), 9);
    EXPECT_EQ(ErrorOf([&] { strip.items.Add(L"X", page, std::nullopt, L"abc"); }), 5);
    EXPECT_EQ(ErrorOf([&] { strip.items.Add(L"X", page, std::nullopt, TabIndex(TabIndex::Other{})); }), 5);
    // Keys ignore letter case.
    EXPECT_EQ(ErrorOf([&] { strip.items.Add(L"X", page, L"b"); }), 457);
    EXPECT_EQ(Captions(), L"ABC");
    // Each attempt initialised and embedded the page, but the strip never heard of a new tab and
    // the page was not unloaded.
    EXPECT_EQ(page->initializeCount, 10);
    EXPECT_EQ(page->unloadCount, 0);
    for (const std::string& call : journal.calls) EXPECT_NE(call.rfind("strip.Add", 0), 0u) << call;
}

TEST_F(TabModel, FindItemAndItemWithEveryKindOfIndex)
{
    EXPECT_EQ(strip.items.FindItem(L"A"), -1);  // empty list: -1 whatever the argument
    EXPECT_EQ(strip.items.FindItem(0), -1);
    EXPECT_EQ(strip.items.Item(0), nullptr);
    AddTabs(3);
    EXPECT_EQ(strip.items.FindItem(L"c"), 2);
    EXPECT_EQ(strip.items.FindItem(L"nope"), -1);
    EXPECT_EQ(strip.items.FindItem(L"1"), -1);  // text is a key here, not a position
    EXPECT_EQ(strip.items.FindItem(1.5), 2);
    EXPECT_EQ(strip.items.FindItem(5), -1);
    EXPECT_EQ(strip.items.FindItem(-1), -1);
    EXPECT_EQ(strip.items.FindItem(pages[1]), 1);
    EXPECT_EQ(strip.items.FindItem(Page(99)), -1);
    EXPECT_EQ(strip.items.FindItem(strip.items.Item(2)), 2);
    EXPECT_EQ(strip.items.FindItem(std::make_shared<CTabItem>()), -1);
    EXPECT_EQ(strip.items.FindItem(TabIndex(TabIndex::Other{})), -1);
    EXPECT_EQ(strip.items.FindItem(TabIndex()), -1);

    EXPECT_EQ(strip.items.Item(L"B")->Caption(), L"B");
    EXPECT_EQ(strip.items.Item(-1), nullptr);
    EXPECT_EQ(strip.items.Item(3), nullptr);
    EXPECT_EQ(ErrorOf([&] { strip.items.Item(L"nope"); }), 5);
}

TEST_F(TabModel, RemoveRepairsTheSelection)
{
    AddTabs(4);
    strip.items.SetSelected(2);
    EXPECT_TRUE(strip.items.Remove(2, true));  // the selected tab goes: the first is selected
    EXPECT_EQ(strip.items.Selected(), 0);
    EXPECT_EQ(Captions(), L"ABD");
    EXPECT_EQ(pages[2]->unloadCount, 1);

    strip.items.SetSelected(2);  // D
    EXPECT_TRUE(strip.items.Remove(L"a", true));
    EXPECT_EQ(strip.items.Selected(), 1);  // still D
    EXPECT_EQ(strip.items.Item(1)->Caption(), L"D");

    strip.items.Add(L"E", Page(5));
    strip.items.SetSelected(0);
    EXPECT_TRUE(strip.items.Remove(pages[3], true));  // after the selection: no change
    EXPECT_EQ(strip.items.Selected(), 0);
    EXPECT_EQ(Captions(), L"BE");

    EXPECT_FALSE(strip.items.Remove(L"zz", true));
    EXPECT_FALSE(strip.items.Remove(7, true));
    EXPECT_EQ(Captions(), L"BE");
}

TEST_F(TabModel, VetoedRemovalChangesNothing)
{
    AddTabs(3);
    strip.items.SetSelected(1);
    strip.veto = true;
    EXPECT_FALSE(strip.items.Remove(1, true));
    EXPECT_EQ(journal.calls, (Calls{"strip.BeforeRemove 1"}));
    EXPECT_EQ(Captions(), L"ABC");
    EXPECT_EQ(strip.items.Selected(), 1);
    EXPECT_EQ(pages[1]->unloadCount, 0);
    EXPECT_FALSE(strip.items.ReleaseForm(1));
    EXPECT_EQ(Captions(), L"ABC");
}

TEST_F(TabModel, PropertySettersRepaintAndFormRebinds)
{
    AddTabs(1);
    auto tab = strip.items.Item(0);
    tab->SetCaption(L"title");
    tab->SetHideButton(true);
    tab->SetLockSize(true);
    EXPECT_EQ(journal.calls, (Calls{"strip.Redraw", "strip.Redraw", "strip.Redraw"}));

    journal.calls.clear();
    auto other = Page(8);
    tab->SetForm(other);
    EXPECT_EQ(journal.calls, (Calls{"Initialize 8", "strip.ChangeForm 8"}));
    EXPECT_EQ(other->item.lock(), tab);

    tab->SetItemData(42);
    EXPECT_EQ(std::any_cast<int>(tab->ItemData()), 42);
    auto shared = std::make_shared<int>(5);
    tab->SetItemData(shared);
    *shared = 6;
    EXPECT_EQ(*std::any_cast<std::shared_ptr<int>>(tab->ItemData()), 6);
}

TEST_F(TabModel, ClearUnloadsEveryPageInOrder)
{
    AddTabs(3);
    EXPECT_TRUE(strip.items.Clear());
    EXPECT_EQ(journal.calls, (Calls{"Unload 1", "Unload 2", "Unload 3", "strip.Clear"}));
    EXPECT_EQ(strip.items.Count(), 0);
    // A page is unloaded once, not again when its tab goes.
    for (auto& p : pages) EXPECT_EQ(p->unloadCount, 1);
    for (auto& p : pages) EXPECT_TRUE(p->item.expired());
}

TEST_F(TabModel, ReleaseFormSetsThePageFreeWithoutUnloadingIt)
{
    AddTabs(2);
    EXPECT_TRUE(strip.items.ReleaseForm(L"B"));
    EXPECT_EQ(journal.calls, (Calls{"strip.BeforeRemove 1", "strip.Remove 1",
                                    "Release 2 style " + std::to_string(0x10CF0002) + " redraw 600"}));
    EXPECT_EQ(Captions(), L"A");
    EXPECT_EQ(pages[1]->unloadCount, 0);
    // The page still reaches its tab, and the tab its page.
    ASSERT_FALSE(pages[1]->item.expired());
    EXPECT_EQ(pages[1]->item.lock()->Form(), pages[1]);
    EXPECT_FALSE(strip.items.ReleaseForm(L"B"));
}

TEST_F(TabModel, DestroyingTheCollectionUnloadsThePagesItStillHolds)
{
    fakes::Journal j;
    auto page = std::make_shared<FakePage>(j, 1);
    {
        fakes::FakeStrip s(j);
        s.items.Add(L"A", page);
    }
    EXPECT_EQ(page->unloadCount, 1);
}

TEST(CentreOnScreen, HalvesToEven)
{
    const corvane::ScreenPoint p = corvane::CentreOnScreen(1024, 768, 500, 300);
    EXPECT_EQ(p.x, 262);
    EXPECT_EQ(p.y, 234);
    // 1025 - 500 = 525 -> 262.5 -> 262; 769 - 300 = 469 -> 234.5 -> 234; 771 - 300 -> 235.5 -> 236
    EXPECT_EQ(corvane::CentreOnScreen(1025, 771, 500, 300).x, 262);
    EXPECT_EQ(corvane::CentreOnScreen(1025, 771, 500, 300).y, 236);
}

}  // namespace
