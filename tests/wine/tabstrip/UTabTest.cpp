// The strip in a real window: clicks select and show pages, hovering repaints once per change,
// close buttons close only on the right release, a vetoed close keeps everything, the order of
// the events of a double-click, and the pages' life in the container.

#include <gtest/gtest.h>

#include "tabstrip/TabError.h"
#include "tests/wine/tabstrip/StripHarness.h"

namespace {

using harness::Journal;
using harness::StripHost;
using harness::TestPage;

class StripBehaviour : public harness::HostedStrip {
protected:
    void SetUp() override
    {
        corvane::uTab& s = host->strip;
        s.TabChanged = [this] { journal.push_back("TabChanged"); };
        auto mouse = [this](const char* name) {
            return [this, name](long& index, int& button, int&, float&, float&) {
                journal.push_back(std::string(name) + " " + std::to_string(index) + " " + std::to_string(button));
            };
        };
        s.OnMouseDown = mouse("MouseDown");
        s.OnMouseUp = mouse("MouseUp");
        s.OnDblClick = mouse("DblClick");
        s.OnMouseHover = mouse("Hover");
        s.OnMouseMove = [this](long&, int&, int&, float& x, float& y) { lastMove = {long(x), long(y)}; };
        s.OnMouseLeave = [this] { journal.push_back("Leave"); };
        s.OnItemColose = [this](long& index, bool& cancel) {
            journal.push_back("ItemColose " + std::to_string(index));
            cancel = vetoClose;
        };
        for (int i = 0; i < 3; ++i) AddPage("P" + std::to_string(i));
        s.SetSelected(0);
        journal.clear();
    }
    void TearDown() override
    {
        host->strip.TabItems().Clear();
        // A page set free stays with its tab until the strip goes, after this fixture: unloaded
        // now, it writes nothing to this fixture's journal then.
        for (auto& page : pages) page->Unload();
        // Park the pointer off the strip for the next case.
        harness::MoveTo(host->hWnd(), 300, 200);
        driver::Pump(50);
    }

    std::shared_ptr<TestPage> AddPage(const std::string& name)
    {
        auto page = std::make_shared<TestPage>(pageJournal, name);
        page->Load();
        host->strip.TabItems().Add(std::wstring(name.begin(), name.end()), page, std::wstring(name.begin(), name.end()));
        pages.push_back(page);
        return page;
    }

    // Strip coordinates of a tab's body and of its close button (style 0, 108-pixel tabs).
    static POINT Body(int i) { return {40 + 14 + 108 * i + 30, 12}; }
    static POINT Close(int i) { return {40 + 14 + 108 * i + 108 - 18, 12}; }

    // Moves the real pointer over the strip and waits until the strip has seen it there.
    void Hover(POINT p)
    {
        harness::MoveTo(host->strip.rt::Window::hWnd(), p.x, p.y);
        EXPECT_TRUE(driver::PumpUntil([&] { return lastMove.x == p.x && lastMove.y == p.y; }, 2000))
            << "pointer did not arrive at " << p.x << "," << p.y;
    }

    void Send(UINT msg, WPARAM keys, POINT p)
    {
        ::SendMessageW(host->strip.rt::Window::hWnd(), msg, keys, MAKELPARAM(p.x, p.y));
    }

    std::string Captions()
    {
        std::string out;
        auto& items = host->strip.TabItems();
        for (long i = 0; i < items.Count(); ++i) {
            const std::wstring c = items.Item(i)->Caption();
            out += std::string(c.begin(), c.end()) + " ";
        }
        return out;
    }

    Journal journal;
    Journal pageJournal;
    std::vector<std::shared_ptr<TestPage>> pages;
    POINT lastMove{-100, -100};
    bool vetoClose = false;
};

TEST_F(StripBehaviour, ClickSelectsAndShowsTheRightPage)
{
    POINT p = Body(2);
    ::ClientToScreen(host->strip.rt::Window::hWnd(), &p);
    ASSERT_TRUE(driver::ClickOn(host->strip.rt::Window::hWnd(), p));
    ASSERT_TRUE(driver::PumpUntil([&] { return journal.size() >= 3; }, 2000));
    // The real click moves there first.
    EXPECT_EQ(journal, (Journal{"Hover 2 0", "TabChanged", "MouseDown 2 1", "MouseUp 2 1"}));
    EXPECT_EQ(host->strip.Selected(), 2);
    // The selected page fills the container and lies on top.
    HWND area = host->pages.hWnd();
    EXPECT_TRUE(::IsWindowVisible(pages[2]->Handle()));
    EXPECT_EQ(::ChildWindowFromPoint(area, POINT{10, 10}), pages[2]->Handle());
    RECT r;
    ::GetClientRect(area, &r);
    RECT pr;
    ::GetWindowRect(pages[2]->Handle(), &pr);
    EXPECT_EQ(pr.right - pr.left, r.right);
    EXPECT_EQ(pr.bottom - pr.top, r.bottom);
    // The others were embedded hidden.
    EXPECT_FALSE(::IsWindowVisible(pages[1]->Handle()));
}

TEST_F(StripBehaviour, HoverRepaintsOncePerChange)
{
    Hover({20, 12});  // the left margin
    journal.clear();
    const long start = host->strip.FramesDrawn();
    Hover(Body(0));
    EXPECT_EQ(host->strip.FramesDrawn(), start + 1);
    Hover({Body(0).x + 5, 14});  // same tab, same close state: no paint
    EXPECT_EQ(host->strip.FramesDrawn(), start + 1);
    Hover(Close(0));  // the close state changes: one paint, no hover event
    EXPECT_EQ(host->strip.FramesDrawn(), start + 2);
    Hover({Close(0).x + 1, 13});
    EXPECT_EQ(host->strip.FramesDrawn(), start + 2);
    Hover(Body(1));
    EXPECT_EQ(host->strip.FramesDrawn(), start + 3);
    EXPECT_EQ(journal, (Journal{"Hover 0 0", "Hover 1 0"}));
    // Leaving the control clears the highlight at once.
    harness::MoveTo(host->hWnd(), 300, 200);
    ASSERT_TRUE(driver::PumpUntil([&] { return !journal.empty() && journal.back() == "Leave"; }, 2000));
    EXPECT_EQ(host->strip.FramesDrawn(), start + 4);
}

TEST_F(StripBehaviour, PressOnTheBodyReleaseOnTheCloseButtonCloses)
{
    Hover(Body(1));
    harness::LeftButton(true);
    ASSERT_TRUE(driver::PumpUntil([&] { return host->strip.Selected() == 1; }, 2000));
    Hover(Close(1));
    harness::LeftButton(false);
    ASSERT_TRUE(driver::PumpUntil([&] { return host->strip.TabItems().Count() == 2; }, 2000));
    EXPECT_EQ(Captions(), "P0 P2 ");
    EXPECT_EQ(pageJournal, (Journal{"Unload P1"}));
    EXPECT_EQ(journal, (Journal{"Hover 1 0", "TabChanged", "MouseDown 1 1", "ItemColose 1", "MouseUp 1 1"}));
    // The selected tab went: the first one is selected.
    EXPECT_EQ(host->strip.Selected(), 0);
}

TEST_F(StripBehaviour, PressOnACloseButtonReleaseOnAnotherDoesNothing)
{
    Hover(Close(0));
    harness::LeftButton(true);
    ASSERT_TRUE(driver::PumpUntil([&] { return journal.size() >= 3; }, 2000)) << ::testing::PrintToString(journal);
    Hover(Close(1));
    harness::LeftButton(false);
    ASSERT_TRUE(driver::PumpUntil([&] { return journal.size() >= 4; }, 2000)) << ::testing::PrintToString(journal);
    EXPECT_EQ(Captions(), "P0 P1 P2 ");
    // (With the button up again the pointer hovers the second tab; that may follow.)
    journal.resize(4);
    EXPECT_EQ(journal, (Journal{"Hover 0 0", "TabChanged", "MouseDown 0 1", "MouseUp 1 1"}));
    EXPECT_TRUE(pageJournal.empty());
}

TEST_F(StripBehaviour, VetoedCloseKeepsEverything)
{
    vetoClose = true;
    host->strip.SetSelected(2);
    Hover(Close(2));
    harness::LeftButton(true);
    harness::LeftButton(false);
    ASSERT_TRUE(driver::PumpUntil([&] { return !journal.empty() && journal.back().rfind("MouseUp", 0) == 0; }, 2000));
    EXPECT_EQ(journal, (Journal{"Hover 2 0", "TabChanged", "MouseDown 2 1", "ItemColose 2", "MouseUp 2 1"}));
    EXPECT_EQ(Captions(), "P0 P1 P2 ");
    EXPECT_EQ(host->strip.Selected(), 2);
    EXPECT_TRUE(pageJournal.empty());
    EXPECT_TRUE(::IsWindowVisible(pages[2]->Handle()));
}

TEST_F(StripBehaviour, DoubleClickReplaysTheMouseDown)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Body(2));
    Send(WM_LBUTTONUP, 0, Body(2));
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Body(2));
    Send(WM_LBUTTONUP, 0, Body(2));
    EXPECT_EQ(journal, (Journal{"TabChanged", "MouseDown 2 1", "MouseUp 2 1", "TabChanged", "MouseDown 2 1",
                                "DblClick 2 1", "MouseUp 2 1"}));
    EXPECT_EQ(host->strip.Selected(), 2);
}

TEST_F(StripBehaviour, OtherButtonsAndHeldButtonsOnlyReport)
{
    Send(WM_RBUTTONDOWN, MK_RBUTTON, Body(1));
    Send(WM_RBUTTONUP, 0, Body(1));
    // A move with a button held: no hover, index 0.
    Send(WM_MOUSEMOVE, MK_LBUTTON, Body(2));
    EXPECT_EQ(journal, (Journal{"MouseDown 0 2", "MouseUp 0 2"}));
    EXPECT_EQ(host->strip.Selected(), 0);
    // A press outside every tab reports the hit code.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, POINT{20, 10});
    Send(WM_LBUTTONUP, 0, POINT{500, 10});
    EXPECT_EQ(journal.back(), "MouseUp -1 1");
    EXPECT_EQ(journal[journal.size() - 2], "MouseDown -2 1");
}

TEST_F(StripBehaviour, LockedDrawingPaintsOnceWhenUnlocked)
{
    host->strip.TabItems().Clear();
    host->strip.LockReDraw(true);
    const long start = host->strip.FramesDrawn();
    for (int i = 0; i < 3; ++i) AddPage("L" + std::to_string(i));
    host->strip.SetSelected(1);
    EXPECT_EQ(host->strip.FramesDrawn(), start);
    host->strip.LockReDraw(false);
    EXPECT_EQ(host->strip.FramesDrawn(), start + 1);
    EXPECT_EQ(host->strip.TabItems().Item(2)->Left(), 230);
}

TEST_F(StripBehaviour, SelectedPropertyAndRefreshPage)
{
    host->strip.SetSelected(1);
    host->strip.RefreshPage();
    EXPECT_EQ(pageJournal, (Journal{"RefreshPage P1"}));
    host->strip.SetSelected(3);  // = Count: ignored
    EXPECT_EQ(host->strip.Selected(), 1);
    host->strip.SetSelected(-5);
    EXPECT_EQ(host->strip.Selected(), -1);
    EXPECT_TRUE(::IsWindowVisible(pages[1]->Handle()));  // the page shown last stays
    try {
        host->strip.RefreshPage();
        ADD_FAILURE() << "RefreshPage without a selection must fail";
    } catch (const corvane::TabError& e) {
        EXPECT_EQ(e.number(), 91);
    }
    EXPECT_TRUE(journal.empty());  // writing Selected raises no event
}

TEST_F(StripBehaviour, PagesAreEmbeddedAndFollowTheContainer)
{
    HWND page = pages[1]->Handle();
    EXPECT_EQ(::GetParent(page), host->pages.hWnd());
    const LONG style = ::GetWindowLongW(page, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
    host->strip.SetSelected(1);
    ::SetWindowPos(host->pages.hWnd(), nullptr, 0, 0, 450, 150, SWP_NOMOVE | SWP_NOZORDER);
    RECT r;
    ::GetWindowRect(page, &r);
    EXPECT_EQ(r.right - r.left, 450);
    EXPECT_EQ(r.bottom - r.top, 150);
    ::SetWindowPos(host->pages.hWnd(), nullptr, 0, 0, StripHost::kWidth, 200, SWP_NOMOVE | SWP_NOZORDER);
}

TEST_F(StripBehaviour, ReleaseFormMakesThePageAFreeWindowAgain)
{
    HWND page = pages[2]->Handle();
    const LONG savedStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    EXPECT_TRUE(host->strip.TabItems().ReleaseForm(pages[2]));
    EXPECT_EQ(::GetParent(page), nullptr);
    EXPECT_EQ(::GetWindowLongW(page, GWL_STYLE) & (savedStyle | WS_CHILD), savedStyle);
    EXPECT_TRUE(::IsWindowVisible(page));
    RECT r;
    ::GetWindowRect(page, &r);
    const corvane::ScreenPoint at = corvane::CentreOnScreen(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                                            r.right - r.left, r.bottom - r.top);
    EXPECT_EQ(r.left, at.x);
    EXPECT_EQ(r.top, at.y);
    EXPECT_EQ(Captions(), "P0 P1 ");
    EXPECT_TRUE(pageJournal.empty());
    EXPECT_EQ(pages[2]->item.lock()->Form(), pages[2]);
    // A free window is no longer the strip's to unload: unload it while the journal it writes
    // to still exists.
    pages[2]->Unload();
    EXPECT_EQ(pageJournal, (Journal{"Unload P2"}));
}

TEST(DrawingRoutines, BufferErrorsCarryTheFailedCall)
{
    try {
        corvane::mdlTabAPI::CreateMemoryDC(-1, 5);
        ADD_FAILURE() << "a buffer of negative width cannot exist";
    } catch (const corvane::TabError& e) {
        EXPECT_EQ(e.description(), L"CreateCompatibleBitmap调用失败");
    }
    auto buffer = corvane::mdlTabAPI::CreateMemoryDC(30, 20);
    EXPECT_TRUE(buffer);
    EXPECT_EQ(corvane::mdlTabAPI::DrawSkin(buffer.dc(), 0, 0, -4, 20, buffer.dc(), 0, 0, 10, 10, 2, 0, 2, 0), 0);
}

}  // namespace
