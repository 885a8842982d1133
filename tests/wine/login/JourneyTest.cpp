// The whole journey of a player: start the client, log in through the demo portal's real form,
// play the game page in a tab of the main window; log in a second account from the main window
// and get a second tab.

#include <gtest/gtest.h>

#include "tests/wine/login/LoginTestSupport.h"

namespace {

using namespace logintest;

HWND OtherUserButton(HWND main)
{
    // "登录其他帐号" is the leftmost of the caption buttons, right of the tab strip.
    HWND best = nullptr;
    for (HWND button : Descendants(main, L"iButton"))
        if (::IsWindowVisible(button) && (!best || WindowRect(button).left < WindowRect(best).left)) best = button;
    return best;
}

TEST(Journey, LogInPlayAndLogInASecondAccountInAFurtherTab)
{
    driver::Process client = StartCorvane(Portal());
    ASSERT_TRUE(client);
    LoginPair pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);
    driver::Screenshot(pair.background, L"journey-1-login");
    ASSERT_TRUE(LogIn(pair, L"alice"));

    HWND main = WaitForMainWindow(client);
    ASSERT_TRUE(main);
    EXPECT_TRUE(driver::PumpUntil(
        [&] { return !driver::FindTopLevel(L"LoginFrm", nullptr, client.id()) &&
                     !driver::FindTopLevel(L"LoginBgFrm", nullptr, client.id()); },
        5000));
    EXPECT_TRUE(driver::PumpUntil([] { return GamePageServed("alice"); }, 15000)) << PortalLog();
    EXPECT_EQ(Descendants(main, L"WebUrl").size(), 1u) << "one tab";

    // The game page (dark blue) fills the page area.
    driver::Capture shot;
    const RECT m = WindowRect(main);
    const RECT pageArea{20, 80, m.right - m.left - 20, m.bottom - m.top - 20};
    const int pageArea2 = (pageArea.right - pageArea.left) * (pageArea.bottom - pageArea.top);
    EXPECT_TRUE(driver::PumpUntil(
        [&] {
            shot = driver::CaptureScreen(m);
            return shot.CountNear(pageArea, RGB(0x10, 0x23, 0x3A), 6) * 2 > pageArea2;
        },
        10000));
    shot.SavePng(driver::OutDir() + L"\\journey-2-main.png");

    // "登录其他帐号": the login window again; its start command adds a second tab.
    HWND other = OtherUserButton(main);
    ASSERT_TRUE(other);
    EXPECT_TRUE(driver::ClickOn(other));
    pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);
    ASSERT_TRUE(LogIn(pair, L"bob"));
    EXPECT_TRUE(driver::PumpUntil([] { return GamePageServed("bob"); }, 20000));
    EXPECT_TRUE(driver::PumpUntil([&] { return Descendants(main, L"WebUrl").size() == 2; }, 10000));
    EXPECT_TRUE(VisibleWindow(L"WebMainFrm", client.id()));
    EXPECT_FALSE(driver::FindTopLevel(L"LoginFrm", nullptr, client.id()) &&
                 ::IsWindowVisible(driver::FindTopLevel(L"LoginFrm", nullptr, client.id())));
    driver::Pump(1000);
    driver::Screenshot(main, L"journey-3-two-tabs");
    client.Kill();
}

}  // namespace
