// The strip as a screen reader in another process sees it: a page-tab list of three named tabs,
// one selected, each placed where it is drawn and followed by its close button; the default
// action selecting a tab or closing it; selection and renaming announced.

#include <gtest/gtest.h>
#include <ole2.h>
#include <oleacc.h>

#include "tests/driver/AccessibleWalk.h"
#include "tests/wine/tabstrip/StripHarness.h"

namespace {

using harness::TestPage;

class StripReader : public harness::HostedStrip {
protected:
    static void SetUpTestSuite()
    {
        ::OleInitialize(nullptr);
        HostedStrip::SetUpTestSuite();
    }
    static void TearDownTestSuite()
    {
        HostedStrip::TearDownTestSuite();
        ::OleUninitialize();
    }

    void SetUp() override
    {
        corvane::uTab& s = host->strip;
        s.TabChanged = [this] { journal.push_back("TabChanged " + std::to_string(host->strip.Selected())); };
        s.OnItemColose = [this](long& index, bool&) { journal.push_back("ItemColose " + std::to_string(index)); };
        for (const wchar_t* caption : {L"首页", L"游戏", L"帮助"}) {
            auto page = std::make_shared<TestPage>(pageJournal, "page");
            page->Load();
            s.TabItems().Add(caption, page, std::wstring(caption));
            pages.push_back(page);
        }
        s.SetSelected(1);
        journal.clear();
    }
    void TearDown() override
    {
        host->strip.TabChanged = nullptr;
        host->strip.OnItemColose = nullptr;
        host->strip.TabItems().Clear();
        for (auto& page : pages) page->Unload();
    }

    HWND Strip() const { return host->strip.rt::Window::hWnd(); }

    std::vector<std::shared_ptr<TestPage>> pages;
    harness::Journal journal;
    harness::Journal pageJournal;
};

TEST_F(StripReader, TabsAreNamedSelectedAndPlaced)
{
    const std::vector<driver::AccessibleNode> tree = driver::AccessibleTree(Strip());
    ASSERT_EQ(tree.size(), 7u);
    EXPECT_EQ(tree[0].role, ROLE_SYSTEM_PAGETABLIST);
    POINT origin{0, 0};
    ::ClientToScreen(Strip(), &origin);
    const wchar_t* captions[] = {L"首页", L"游戏", L"帮助"};
    for (long i = 0; i < 3; ++i) {
        const driver::AccessibleNode& tab = tree[std::size_t(i) + 1];
        EXPECT_EQ(tab.child, i + 1);
        EXPECT_EQ(tab.role, ROLE_SYSTEM_PAGETAB) << i;
        EXPECT_EQ(tab.name, captions[i]) << i;
        EXPECT_EQ(tab.action, L"切换") << i;
        EXPECT_TRUE(tab.state & STATE_SYSTEM_FOCUSABLE) << i;
        EXPECT_EQ((tab.state & STATE_SYSTEM_SELECTED) != 0, i == 1) << i;
        EXPECT_FALSE(tab.state & STATE_SYSTEM_OFFSCREEN) << i;
        const corvane::CTabItem& item = host->strip.TabItems().At(i);
        EXPECT_EQ(tab.place.left, origin.x + 40 + item.Left()) << i;
        EXPECT_EQ(tab.place.right - tab.place.left, item.Width()) << i;
        EXPECT_EQ(tab.place.top, origin.y) << i;

        const driver::AccessibleNode& close = tree[std::size_t(i) + 4];
        EXPECT_EQ(close.role, ROLE_SYSTEM_PUSHBUTTON) << i;
        EXPECT_EQ(close.name, L"关闭标签") << i;
        EXPECT_EQ(close.action, L"按下") << i;
        // The close button lies inside its tab, at its right end.
        EXPECT_GT(close.place.left, tab.place.left + item.Width() / 2) << i;
        EXPECT_LT(close.place.right, tab.place.right) << i;
    }
}

TEST_F(StripReader, DefaultActionAndSelectSwitchTabs)
{
    EXPECT_EQ(driver::AccessibleAction(Strip(), L"do", 3), S_OK);
    ASSERT_TRUE(driver::PumpUntil([&] { return !journal.empty(); }, 3000));
    EXPECT_EQ(journal, harness::Journal{"TabChanged 2"});
    EXPECT_EQ(host->strip.Selected(), 2);

    journal.clear();
    EXPECT_EQ(driver::AccessibleAction(Strip(), L"select", 1), S_OK);
    ASSERT_TRUE(driver::PumpUntil([&] { return !journal.empty(); }, 3000));
    EXPECT_EQ(journal, harness::Journal{"TabChanged 0"});
    const auto tree = driver::AccessibleTree(Strip());
    ASSERT_EQ(tree.size(), 7u);
    EXPECT_TRUE(tree[1].state & STATE_SYSTEM_SELECTED);
    EXPECT_FALSE(tree[3].state & STATE_SYSTEM_SELECTED);

    // A close button is pressed, not selected.
    EXPECT_EQ(driver::AccessibleAction(Strip(), L"select", 4), S_FALSE);
}

TEST_F(StripReader, CloseButtonClosesItsTab)
{
    EXPECT_EQ(driver::AccessibleAction(Strip(), L"do", 5), S_OK);  // the second tab's
    ASSERT_TRUE(driver::PumpUntil([&] { return host->strip.TabItems().Count() == 2; }, 3000));
    EXPECT_EQ(journal, harness::Journal{"ItemColose 1"});
    const auto tree = driver::AccessibleTree(Strip());
    ASSERT_EQ(tree.size(), 5u);
    EXPECT_EQ(tree[1].name, L"首页");
    EXPECT_EQ(tree[2].name, L"帮助");
}

// A reader's request waits in the strip's queue while the host closes a tab: it still acts on
// the tab it was made for, or on none when that tab went. A switch to 游戏, asked for after,
// marks the queue as worked through.
TEST_F(StripReader, QueuedRequestKeepsToItsTabWhenAnotherCloses)
{
    const struct {
        long child;    // asked for with three tabs, before the host closes tab `removed`
        long removed;
        harness::Journal journal;
        std::wstring left;
    } cases[] = {
        {4, 2, {"ItemColose 2", "ItemColose 0", "TabChanged 0"}, L"游戏 "},        // 首页's close
        {4, 0, {"ItemColose 0", "TabChanged 0"}, L"游戏 帮助 "},                   // its tab went
        {3, 0, {"ItemColose 0", "TabChanged 1", "TabChanged 0"}, L"游戏 帮助 "},  // 帮助
    };
    for (const auto& c : cases) {
        const driver::ComRef<IAccessible> object = driver::ClientObject(Strip());
        ASSERT_TRUE(object);
        EXPECT_EQ(object->accDoDefaultAction(driver::ChildId(c.child)), S_OK);
        host->strip.TabItems().Remove(c.removed, true);
        const long game = host->strip.TabItems().FindItem(std::wstring(L"游戏"));
        EXPECT_EQ(object->accDoDefaultAction(driver::ChildId(game + 1)), S_OK);
        EXPECT_TRUE(driver::PumpUntil([&] { return !journal.empty() && journal.back() == "TabChanged 0"; }, 3000));
        EXPECT_EQ(journal, c.journal) << c.child << " " << c.removed;
        std::wstring left;
        for (long i = 0; i < host->strip.TabItems().Count(); ++i) left += host->strip.TabItems().At(i).Caption() + L" ";
        EXPECT_EQ(left, c.left) << c.child << " " << c.removed;
        TearDown();
        SetUp();
    }
}

TEST_F(StripReader, SelectionAndRenamingAreAnnounced)
{
    const driver::WinEventRecorder events(EVENT_OBJECT_SELECTION, EVENT_OBJECT_NAMECHANGE);
    ASSERT_TRUE(events);
    host->strip.SetSelected(2);
    host->strip.TabItems().Item(0)->SetCaption(L"大厅");
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_SELECTION, Strip(), 3, 3000));
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_NAMECHANGE, Strip(), 1, 3000));
    EXPECT_EQ(events.Count(EVENT_OBJECT_NAMECHANGE, Strip(), 2), 0);
    EXPECT_EQ(events.Count(EVENT_OBJECT_NAMECHANGE, Strip(), 3), 0);
    EXPECT_EQ(driver::AccessibleTree(Strip())[1].name, L"大厅");
}

}  // namespace
