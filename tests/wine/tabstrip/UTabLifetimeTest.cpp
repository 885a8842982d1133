// The strip destroyed from inside each of its events, as the main window does when closing the
// last tab runs the exit box and "是" unloads it: the strip lives in a poisoned box, and after
// the handler killed it nothing may write to it (the box stays untouched) or crash.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "tests/driver/Lifetime.h"
#include "tests/wine/tabstrip/StripHarness.h"

namespace {

// A page without a window whose unload runs a hook.
class HookPage : public corvane::ITabForm {
public:
    corvane::WindowHandle hWnd() const override { return 0; }
    void Initialize(corvane::IuTab*, const std::shared_ptr<corvane::CTabItem>&) override {}
    void RefreshPage() override {}
    void UnloadForm() override
    {
        if (auto hook = onUnload) hook();
    }
    std::function<void()> onUnload;
};

// The boxed strip sits on the shared host below its own strip (messages are sent to it, so
// the overlap with the page area does not matter).
class StripDestroyedInsideItsEvent : public harness::HostedStrip {
protected:
    void SetUp() override
    {
        records = corvane::CSubclass::LiveRecords();
        corvane::uTab& strip = box.Make();
        const double tpp = rt::Screen::Scale().TwipsPerPixelX();
        ASSERT_TRUE(strip.Create(host->hWnd(), 0, 235 * tpp, 600 * tpp, 25 * tpp));
        strip.LockReDraw(false);
        for (int i = 0; i < 2; ++i) {
            pages[i] = std::make_shared<HookPage>();
            strip.TabItems().Add(i == 0 ? L"第一" : L"第二", pages[i]);
        }
        strip.SetSelected(0);
        window = strip.rt::Window::hWnd();
    }

    // Strip coordinates of a tab's body and of its close button (style 0, 108-pixel tabs).
    static POINT Body(int i) { return {40 + 14 + 108 * i + 30, 12}; }
    static POINT Close(int i) { return {40 + 14 + 108 * i + 108 - 18, 12}; }

    void Send(UINT msg, WPARAM keys, POINT p) { ::SendMessageW(window, msg, keys, MAKELPARAM(p.x, p.y)); }
    // A handler that destroys the strip, then reads what it captured.
    std::function<void()> Kill()
    {
        return [this, canary = lifetime::Canary(), text = std::string(100, 'k')] {
            ++kills;
            box.Kill();
            capturesIntact = canary.Alive() && text == std::string(100, 'k');
        };
    }

    void ExpectKilledCleanly()
    {
        EXPECT_EQ(kills, 1);
        EXPECT_FALSE(box.Alive());
        EXPECT_TRUE(capturesIntact) << "the handler's captures were destroyed while it ran";
        EXPECT_TRUE(box.Untouched()) << "the strip was written to after a handler destroyed it";
        EXPECT_FALSE(::IsWindow(window));
        // The subclasser lets its record go shortly after the window's last message (records
        // of an earlier case may still be on their way out).
        EXPECT_TRUE(driver::PumpUntil([&] { return corvane::CSubclass::LiveRecords() <= records; }, 2000));
    }

    lifetime::PoisonedBox<corvane::uTab> box;
    std::shared_ptr<HookPage> pages[2];
    HWND window = nullptr;
    std::size_t records = 0;
    int kills = 0;
    bool capturesIntact = false;
};


template <typename F>
corvane::uTab::MouseEvent MouseHandler(F f)
{
    return [f](long&, int&, int&, float&, float&) { f(); };
}

TEST_F(StripDestroyedInsideItsEvent, TabChanged)
{
    box->TabChanged = Kill();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Body(1));
    ExpectKilledCleanly();
}

TEST_F(StripDestroyedInsideItsEvent, MouseDown)
{
    box->OnMouseDown = MouseHandler(Kill());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Body(0));
    ExpectKilledCleanly();
}

TEST_F(StripDestroyedInsideItsEvent, MouseHover)
{
    box->OnMouseHover = MouseHandler(Kill());
    Send(WM_MOUSEMOVE, 0, Body(1));
    ExpectKilledCleanly();
}

TEST_F(StripDestroyedInsideItsEvent, MouseMove)
{
    box->OnMouseMove = MouseHandler(Kill());
    Send(WM_MOUSEMOVE, 0, Body(1));
    ExpectKilledCleanly();
}

TEST_F(StripDestroyedInsideItsEvent, MouseUp)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Body(0));
    box->OnMouseUp = MouseHandler(Kill());
    Send(WM_LBUTTONUP, 0, Body(0));
    ExpectKilledCleanly();
}

TEST_F(StripDestroyedInsideItsEvent, DoubleClickAndTheMouseDownItReplays)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Body(0));
    Send(WM_LBUTTONUP, 0, Body(0));
    box->OnDblClick = MouseHandler(Kill());
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Body(0));
    ExpectKilledCleanly();

    SetUp();
    kills = 0;
    capturesIntact = false;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Body(0));
    Send(WM_LBUTTONUP, 0, Body(0));
    box->OnMouseDown = MouseHandler(Kill());
    box->OnDblClick = MouseHandler([] { ADD_FAILURE() << "a double-click reached a destroyed strip"; });
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Body(0));
    ExpectKilledCleanly();
}

TEST_F(StripDestroyedInsideItsEvent, MouseLeave)
{
    Send(WM_MOUSEMOVE, 0, Body(1));
    box->OnMouseLeave = Kill();
    ::SendMessageW(window, WM_MOUSELEAVE, 0, 0);
    ExpectKilledCleanly();
}

TEST_F(StripDestroyedInsideItsEvent, ItemCloseAsTheLastTabsExitBoxDoes)
{
    box->OnItemColose = [kill = Kill()](long&, bool&) { kill(); };
    Send(WM_MOUSEMOVE, 0, Close(1));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Close(1));
    Send(WM_LBUTTONUP, 0, Close(1));
    ExpectKilledCleanly();
}

TEST_F(StripDestroyedInsideItsEvent, PageUnloadOfAClosedTab)
{
    pages[1]->onUnload = Kill();
    Send(WM_MOUSEMOVE, 0, Close(1));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Close(1));
    Send(WM_LBUTTONUP, 0, Close(1));
    ExpectKilledCleanly();
}

TEST_F(StripDestroyedInsideItsEvent, DrawBackgroundDuringTheMouseUpRepaint)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Body(0));
    box->OnDrawBackground = [kill = Kill()](HDC&, long&, long&, bool&) { kill(); };
    box->OnMouseUp = MouseHandler([] { ADD_FAILURE() << "mouse-up reached a destroyed strip"; });
    Send(WM_LBUTTONUP, 0, Body(0));
    ExpectKilledCleanly();
}

}  // namespace
