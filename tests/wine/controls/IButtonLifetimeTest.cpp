// iButton destroyed from inside each of its events, as a form unloading from its own button's
// click does (the exit box's "是"): the button lives in a poisoned box, and after the handler
// killed it nothing may write to it, while the handler keeps its captures until it returns.
// Also: the pointer watch's timer ends with the button's window.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "controls/iButton.h"
#include "runtime/Screen.h"
#include "runtime/Timer.h"
#include "tests/driver/Lifetime.h"
#include "tests/wine/controls/ControlsTestSupport.h"

namespace {

using corvane::iButton;

class ButtonDestroyedInsideItsEvent : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_form = controls_test::ShowSuiteHost(L"IButtonLifetimeHost", 100, 400, 300, 100); }
    static void TearDownTestSuite() { controls_test::CloseSuiteHost(s_form); }

    void SetUp() override
    {
        // Away from the button: its pointer watch sees the pointer outside.
        controls_test::MoveTo(controls_test::ScreenPoint(s_form->hWnd(), 290, 90));
        timers = rt::Timer::Running();
        iButton& b = box.Make();
        const rt::TwipsScale s = rt::Screen::Scale();
        ASSERT_TRUE(b.Create(s_form->hWnd(), s.ScaleXToTwips(10), s.ScaleYToTwips(10), s.ScaleXToTwips(80),
                             s.ScaleYToTwips(30)));
        b.SetCaption(L"是");
        window = b.hWnd();
    }

    // A handler that destroys the button, then reads what it captured.
    std::function<void()> Kill()
    {
        return [this, canary = lifetime::Canary(), text = std::string(100, 'k')] {
            ++kills;
            box.Kill();
            capturesIntact = canary.Alive() && text == std::string(100, 'k');
        };
    }
    template <typename... Args>
    std::function<void(Args&...)> KillWith()
    {
        return [kill = Kill()](Args&...) { kill(); };
    }

    void Send(UINT msg, WPARAM wParam, LPARAM lParam = MAKELPARAM(5, 5)) { ::SendMessageW(window, msg, wParam, lParam); }

    void ExpectKilledCleanly()
    {
        EXPECT_EQ(kills, 1);
        EXPECT_FALSE(box.Alive());
        EXPECT_TRUE(capturesIntact) << "the handler's captures were destroyed while it ran";
        EXPECT_TRUE(box.Untouched()) << "the button was written to after a handler destroyed it";
        EXPECT_FALSE(::IsWindow(window));
        driver::Pump(120);  // a tick of the pointer watch would come now
        EXPECT_EQ(rt::Timer::Running(), timers);
    }

    static inline controls_test::HostForm* s_form = nullptr;
    lifetime::PoisonedBox<iButton> box;
    HWND window = nullptr;
    std::size_t timers = 0;
    int kills = 0;
    bool capturesIntact = false;
};

TEST_F(ButtonDestroyedInsideItsEvent, ClickByTheMouse)
{
    box->Click = Kill();
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP, 0);
    ExpectKilledCleanly();
}

TEST_F(ButtonDestroyedInsideItsEvent, ClickByEnterAndBySpace)
{
    box->Click = Kill();
    Send(WM_KEYDOWN, VK_RETURN, 0);
    ExpectKilledCleanly();

    SetUp();
    kills = 0;
    capturesIntact = false;
    box->Click = Kill();
    Send(WM_KEYDOWN, VK_SPACE, 0);
    Send(WM_KEYUP, VK_SPACE, 0);
    ExpectKilledCleanly();
}

TEST_F(ButtonDestroyedInsideItsEvent, MouseDownAndMouseUp)
{
    box->MouseDown = KillWith<short, short, float, float>();
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    ExpectKilledCleanly();

    SetUp();
    kills = 0;
    capturesIntact = false;
    box->MouseUp = KillWith<short, short, float, float>();
    box->Click = [] { ADD_FAILURE() << "a click came from a destroyed button"; };
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP, 0);
    ExpectKilledCleanly();
}

TEST_F(ButtonDestroyedInsideItsEvent, MouseMoveAndDoubleClick)
{
    box->MouseMove = KillWith<short, short, float, float>();
    Send(WM_MOUSEMOVE, 0);
    ExpectKilledCleanly();

    SetUp();
    kills = 0;
    capturesIntact = false;
    box->DBClick = Kill();
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    Send(WM_LBUTTONUP, 0);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON);
    ExpectKilledCleanly();
}

TEST_F(ButtonDestroyedInsideItsEvent, KeyEvents)
{
    box->KeyDown = KillWith<short, short>();
    box->Click = [] { ADD_FAILURE() << "a click came from a destroyed button"; };
    Send(WM_KEYDOWN, VK_RETURN, 0);
    ExpectKilledCleanly();

    SetUp();
    kills = 0;
    capturesIntact = false;
    box->KeyUP = KillWith<short, short>();
    box->Click = [] { ADD_FAILURE() << "a click came from a destroyed button"; };
    Send(WM_KEYDOWN, VK_SPACE, 0);
    Send(WM_KEYUP, VK_SPACE, 0);
    ExpectKilledCleanly();

    SetUp();
    kills = 0;
    capturesIntact = false;
    box->KeyPress = KillWith<short>();
    Send(WM_CHAR, L'y', 0);
    ExpectKilledCleanly();
}

TEST_F(ButtonDestroyedInsideItsEvent, MouseOutFromThePointerWatch)
{
    // The first tick after creation finds the pointer elsewhere.
    box->MouseOut = Kill();
    EXPECT_TRUE(driver::PumpUntil([&] { return kills > 0; }, 2000));
    ExpectKilledCleanly();
}

TEST_F(ButtonDestroyedInsideItsEvent, PointerWatchEndsWithTheWindow)
{
    // Pressed, the watch keeps running while the pointer is away.
    Send(WM_LBUTTONDOWN, MK_LBUTTON);
    driver::Pump(120);
    EXPECT_EQ(rt::Timer::Running(), timers + 1);
    ::DestroyWindow(window);
    driver::Pump(120);
    EXPECT_EQ(rt::Timer::Running(), timers) << "the 50 ms timer outlived the button's window";
}

}  // namespace
