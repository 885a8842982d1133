// The client on the smallest screen players have, 800 x 600 with a taskbar: every window it
// shows keeps its caption buttons on the work area, and real clicks reach them. The program runs
// inside a Wine desktop of that size (run_in_small_desktop.sh), with the client it starts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/login/LoginTestSupport.h"
#include "tests/wine/mainwindow/MainWindowTestSupport.h"

namespace {

using namespace logintest;

RECT WorkArea()
{
    RECT r{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

bool Inside(const RECT& r, const RECT& area)
{
    return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

// The topmost button of a window, the rightmost of those: its close button.
HWND CloseButtonOf(HWND window)
{
    HWND best = nullptr;
    for (HWND b : Descendants(window, L"iButton")) {
        const RECT r = WindowRect(b);
        const RECT bestRect = best ? WindowRect(best) : RECT{};
        if (!best || r.top < bestRect.top || (r.top == bestRect.top && r.right > bestRect.right)) best = b;
    }
    return best;
}

// Checks that a window and its close button lie on the work area, saves the screen as `name`,
// and returns the close button (nullptr when the window has none).
HWND CheckOnWorkArea(HWND window, const wchar_t* name)
{
    const RECT work = WorkArea();
    EXPECT_TRUE(Inside(WindowRect(window), work)) << driver::WideToUtf8(name);
    HWND close = CloseButtonOf(window);
    EXPECT_TRUE(close && Inside(WindowRect(close), work)) << driver::WideToUtf8(name);
    driver::Pump(500);
    SaveScreen(name);
    return close;
}

TEST(SmallScreen, EveryWindowKeepsItsCaptionButtonsOnTheWorkArea)
{
    ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 800);
    ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 600);
    const RECT work = WorkArea();
    ASSERT_LT(work.bottom, 600) << "the desktop has a taskbar";

    driver::Process client = StartCorvane(Portal());
    ASSERT_TRUE(client);
    const LoginPair pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);

    // The login picture is wider than the screen: its right end, where the page has "最小化" and
    // "关闭", lies on the work area, and so does its top.
    const RECT bg = WindowRect(pair.background);
    EXPECT_EQ(bg.right, work.right);
    EXPECT_GE(bg.top, work.top);
    EXPECT_LE(bg.bottom, work.bottom);
    const RECT login = WindowRect(pair.login);
    EXPECT_EQ(login.left, bg.left);
    EXPECT_EQ(login.top, bg.top);
    driver::Pump(1000);
    SaveScreen(L"small-screen-1-login");
    // "最小化", the left one of the two links at the page's top right, takes a real click.
    const POINT minimize{bg.right - 51, bg.top + 11};
    ASSERT_TRUE(driver::ClickOn(pair.login, minimize));
    ASSERT_TRUE(driver::PumpUntil([&] { return ::IsIconic(pair.background) != FALSE; }, 5000));
    ::PostMessageW(pair.background, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(driver::PumpUntil([&] { return ::IsWindowVisible(pair.login) && !::IsIconic(pair.background); }, 5000));

    ASSERT_TRUE(LogIn(pair, L"alice"));
    HWND main = WaitForMainWindow(client);
    ASSERT_TRUE(main);
    // The pair, still going away, covers the restore button on a screen this small.
    ASSERT_TRUE(WaitForHandOver(client, main));
    const std::vector<HWND> buttons = mainwindow_test::ButtonsLeftToRight(main);
    ASSERT_EQ(buttons.size(), 6u);
    // Restored, the window is the size of the work area at most, all of it on it; the button
    // shows the other state.
    EXPECT_TRUE(ClickUntilItsLookChanges(buttons[4]));
    EXPECT_TRUE(Inside(WindowRect(main), work));
    for (std::size_t i = 2; i < buttons.size(); ++i) EXPECT_TRUE(Inside(WindowRect(buttons[i]), work)) << i;
    // The game page lives in the main window only: the taskbar below shows no button of its own.
    EXPECT_EQ(driver::FindTopLevel(L"WebUrl", nullptr, client.id()), nullptr);
    driver::Pump(500);
    SaveScreen(L"small-screen-2-main-restored");

    // The exit box, and its close button answered with a real click.
    EXPECT_TRUE(driver::ClickOn(buttons[5]));
    HWND box = nullptr;
    ASSERT_TRUE(driver::PumpUntil([&] { return (box = mainwindow_test::FindExitBox(client.id())) != nullptr; }, 10000));
    HWND boxClose = CheckOnWorkArea(box, L"small-screen-3-exit-box");
    ASSERT_TRUE(boxClose);
    EXPECT_TRUE(driver::ClickOn(boxClose));
    EXPECT_TRUE(driver::PumpUntil([&] { return !mainwindow_test::FindExitBox(client.id()); }, 5000));
    EXPECT_TRUE(::IsWindowVisible(main));
    client.Kill();
}

// The updater's window, held up by a download the portal never answers: a build of the updater
// without keys acts on the unsigned manifest this test writes.
TEST(SmallScreen, TheUpdaterKeepsItsCloseButtonOnTheWorkArea)
{
    driver::Process updater = StartStalledUpdater(L"small-screen-update");
    ASSERT_TRUE(updater);
    HWND window = nullptr;
    ASSERT_TRUE(driver::PumpUntil([&] { return (window = VisibleWindow(L"UpdateFrm", updater.id())) != nullptr; }, 15000));
    CheckOnWorkArea(window, L"small-screen-4-updater");
    updater.Kill();
}

}  // namespace
