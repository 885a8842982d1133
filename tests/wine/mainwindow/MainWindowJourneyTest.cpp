// The player's journey through Corvane.exe against the demo portal, extended into the main
// window: log in, a second account through "登录其他帐号", switch tabs, refresh, hide and restore
// with F10, clear the cache, exit with "是".

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "runtime/MessageBox.h"
#include "tests/wine/login/LoginTestSupport.h"
#include "tests/wine/mainwindow/MainWindowTestSupport.h"

namespace {

using namespace logintest;

// Whether `window` lies above `below` in the order of the desktop's windows.
bool Above(HWND window, HWND below)
{
    for (HWND w = ::GetWindow(below, GW_HWNDPREV); w; w = ::GetWindow(w, GW_HWNDPREV))
        if (w == window) return true;
    return false;
}

HWND PageOnTop(HWND main)
{
    const std::vector<HWND> pages = Descendants(main, L"WebUrl");
    return pages.empty() ? nullptr : ::GetWindow(::GetParent(pages[0]), GW_CHILD);
}

// Follows the selected page's link to its second server with the keyboard, as a player would:
// a click on the page where it has no link, Tab, Tab, Enter.
void GoToSecondServer(HWND main)
{
    const RECT m = WindowRect(main);
    EXPECT_TRUE(driver::ClickOn(main, POINT{m.right - 80, m.bottom - 80}));
    driver::PressKey(VK_TAB);
    driver::PressKey(VK_TAB);
    driver::PressKey(VK_RETURN);
}

// The page of `account` on its second server came with the session of the account's login.
bool SecondServerKeepsTheSession(const std::string& account)
{
    return driver::PumpUntil(
        [&] {
            const std::vector<std::string> sessions = GamePageSessions(account);
            const std::string log = PortalLog();
            return sessions.size() >= 2 && log.find("account=" + account + "&server=2&session=" + sessions.front()) != std::string::npos &&
                   std::all_of(sessions.begin(), sessions.end(), [&](const std::string& s) { return s == sessions.front(); });
        },
        10000);
}

TEST(MainWindowJourney, TwoAccountsSwitchRefreshHideClearAndExit)
{
    driver::Process client = StartCorvane(Portal());
    ASSERT_TRUE(client);
    HWND main = LogInToMainWindow(client, L"alice");
    ASSERT_TRUE(main);
    ASSERT_TRUE(driver::PumpUntil([&] { return Descendants(main, L"WebUrl").size() == 1; }, 10000));
    HWND alice = Descendants(main, L"WebUrl")[0];
    ASSERT_TRUE(driver::PumpUntil([] { return GamePageServed("alice"); }, 15000));

    // A second account through "登录其他帐号".
    std::vector<HWND> buttons = mainwindow_test::ButtonsLeftToRight(main);
    ASSERT_EQ(buttons.size(), 6u);
    EXPECT_TRUE(driver::ClickOn(buttons[0]));
    LoginPair pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);
    ASSERT_TRUE(LogIn(pair, L"bob"));
    ASSERT_TRUE(driver::PumpUntil([&] { return Descendants(main, L"WebUrl").size() == 2; }, 20000));
    ASSERT_TRUE(driver::PumpUntil([] { return GamePageServed("bob"); }, 15000));
    EXPECT_NE(PageOnTop(main), alice) << "the new page is the selected one";
    // Each tab stays its own account's as the player moves on within it.
    GoToSecondServer(main);
    EXPECT_TRUE(SecondServerKeepsTheSession("bob")) << PortalLog();

    // Switch back to the first tab with a click on it: the strip starts 1800 + 10 twips in.
    const RECT m = WindowRect(main);
    EXPECT_TRUE(driver::ClickOn(main, POINT{m.left + 120 + 10 + 60, m.top + 3 + 15}));
    EXPECT_TRUE(driver::PumpUntil([&] { return PageOnTop(main) == alice; }, 5000));
    GoToSecondServer(main);
    EXPECT_TRUE(SecondServerKeepsTheSession("alice")) << PortalLog();
    ASSERT_FALSE(GamePageSessions("alice").empty());
    ASSERT_FALSE(GamePageSessions("bob").empty());
    EXPECT_NE(GamePageSessions("alice").front(), GamePageSessions("bob").front());

    // Refresh reloads the selected page only.
    const int aliceLoads = GamePageRequests("alice");
    const int bobLoads = GamePageRequests("bob");
    ASSERT_TRUE(mainwindow_test::ChooseMenuItem(buttons[2], client.id(), 0));
    EXPECT_TRUE(driver::PumpUntil([&] { return GamePageRequests("alice") == aliceLoads + 1; }, 10000));
    EXPECT_EQ(GamePageRequests("bob"), bobLoads);

    // F10 hides the window and brings it back where it was.
    mainwindow_test::PressF10();
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, false));
    mainwindow_test::PressF10();
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, true));
    const RECT back = WindowRect(main);
    EXPECT_TRUE(::EqualRect(&m, &back));

    // "清除缓存" reports that it is done.
    ASSERT_TRUE(mainwindow_test::ChooseMenuItem(buttons[2], client.id(), 2));
    SeenBox box;
    ASSERT_TRUE(AnswerMessageBox(client, box));
    EXPECT_EQ(box.title, L"缓存清理");
    EXPECT_EQ(box.text, L"缓存已清理完毕！");
    EXPECT_EQ(box.style, rt::kMsgInformation);
    EXPECT_EQ(Descendants(main, L"WebUrl").size(), 2u);

    // The close button asks; "是" ends the program.
    mainwindow_test::ExitBoxAnswerer answerer(L"Y", client.id());
    answerer.SetScreenshot(L"journey-exit-box");
    EXPECT_TRUE(driver::ClickOn(buttons[5]));
    EXPECT_TRUE(answerer.WaitForCount(1, 10000));
    EXPECT_EQ(client.WaitForExit(15000), 0);
}

// The portal answers the first login page and then only a short error page: "登录其他帐号" meets
// it while the main window is up. The player is told the connection failed, the further login's
// pair closes, and the game already running stays with its tab, its tray icon and its window.
TEST(MainWindowJourney, FurtherLoginOnATooShortPageClosesOnlyItsPair)
{
    driver::Process client = StartCorvane(Portal() + L"/short-after/1");
    ASSERT_TRUE(client);
    HWND main = LogInToMainWindow(client, L"alice");
    ASSERT_TRUE(main);
    EXPECT_TRUE(mainwindow_test::TrayIconShown(main));

    EXPECT_TRUE(driver::ClickOn(mainwindow_test::ButtonsLeftToRight(main)[0]));
    SeenBox box;
    ASSERT_TRUE(AnswerMessageBox(client, box));
    EXPECT_EQ(box.text, kNoConnection);
    EXPECT_EQ(box.style, rt::kMsgExclamation);
    EXPECT_TRUE(driver::PumpUntil(
        [&] {
            HWND login = driver::FindTopLevel(L"LoginBgFrm", nullptr, client.id());
            return !login || !::IsWindowVisible(login);
        },
        10000));
    driver::Pump(500);
    EXPECT_TRUE(client.Running());
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_EQ(Descendants(main, L"WebUrl").size(), 1u);
    EXPECT_TRUE(mainwindow_test::TrayIconShown(main));
    client.Kill();
}

// Pixels of pure white in what the screen shows of a window.
int WhiteOf(HWND hwnd)
{
    const driver::Capture shown = driver::CaptureScreen(WindowRect(hwnd));
    return shown.CountNear({0, 0, shown.width(), shown.height()}, RGB(255, 255, 255));
}

// "登录其他帐号" while the portal takes seconds for the login page: the login window shows no
// blank box where the picture belongs, neither while the page is on its way nor as the pair
// comes up. (The picture and the page's white links hold a few hundred white pixels.)
TEST(MainWindowJourney, FurtherLoginShowsNoBlankBoxBeforeItsPage)
{
    driver::Process client = StartCorvane(Portal() + L"/late-after/1/3000");
    ASSERT_TRUE(client);
    HWND main = LogInToMainWindow(client, L"alice");
    ASSERT_TRUE(main);
    EXPECT_TRUE(driver::ClickOn(mainwindow_test::ButtonsLeftToRight(main)[0]));
    constexpr int kFewWhite = 888 * 518 / 20;
    int whitest = 0;
    ASSERT_TRUE(driver::PumpUntil(
        [&] {
            if (HWND login = VisibleWindow(L"LoginFrm", client.id())) whitest = std::max(whitest, WhiteOf(login));
            return VisibleWindow(L"LoginBgFrm", client.id()) != nullptr;
        },
        20000));
    EXPECT_LT(whitest, kFewWhite) << "while the page was on its way";
    const LoginPair pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);
    EXPECT_LT(WhiteOf(pair.login), kFewWhite) << "as the pair came up";
    driver::Screenshot(pair.background, L"journey-further-login");
    client.Kill();
}

// "app://exitgame" and "app://minimize" in the login window of a further login act on that pair
// only: it closes or goes down, and the game already running stays as it was.
TEST(MainWindowJourney, FurtherLoginCommandsActOnItsPairOnly)
{
    for (const std::wstring command : {L"app://exitgame", L"app://minimize"}) {
        SCOPED_TRACE(driver::WideToUtf8(command));
        driver::Process client = StartCorvane(PortalThen(command, 1));
        ASSERT_TRUE(client);
        HWND main = LogInToMainWindow(client, L"alice");
        ASSERT_TRUE(main);
        const RECT before = WindowRect(main);
        EXPECT_TRUE(driver::ClickOn(mainwindow_test::ButtonsLeftToRight(main)[0]));
        const LoginPair pair = WaitForLoginPair(client);
        ASSERT_TRUE(pair);
        const bool exit = command == L"app://exitgame";
        EXPECT_TRUE(driver::PumpUntil(
            [&] {
                if (exit) return !VisibleWindow(L"LoginBgFrm", client.id()) && !VisibleWindow(L"LoginFrm", client.id());
                return ::IsIconic(pair.background) && !::IsWindowVisible(pair.login);
            },
            15000));
        driver::Pump(500);
        EXPECT_TRUE(client.Running());
        EXPECT_FALSE(VisibleWindow(L"#32770", client.id()));
        EXPECT_TRUE(::IsWindowVisible(main));
        EXPECT_FALSE(::IsIconic(main));
        const RECT after = WindowRect(main);
        EXPECT_TRUE(::EqualRect(&before, &after));
        EXPECT_EQ(Descendants(main, L"WebUrl").size(), 1u);
        EXPECT_TRUE(mainwindow_test::TrayIconShown(main));
        client.Kill();
    }
}

// "更新" picked from the menu as a player would: the portal names another version by then, the
// offer (a question) comes, "否", and the game goes on as it was.
TEST(MainWindowJourney, UpdateFromTheMenuThroughTheOfferAndNo)
{
    driver::Process client =
        StartCorvane(Portal(), L"", {L"CORVANE_UPDATE_URL=" + Portal() + L"/manifest-after/1/1.2.0/update.txt"});
    ASSERT_TRUE(client);
    HWND main = LogInToMainWindow(client, L"alice");
    ASSERT_TRUE(main);
    driver::MessageBoxAnswerer offer(IDNO, client.id());
    offer.SetRecordStyle(true);
    ASSERT_TRUE(mainwindow_test::ChooseMenuItem(mainwindow_test::ButtonsLeftToRight(main)[2], client.id(), 3));
    ASSERT_TRUE(offer.WaitForCount(1, 15000));
    EXPECT_EQ(offer.Seen()[0].text, L"发现有新版本，是否现在更新！");
    EXPECT_EQ(offer.Seen()[0].style, rt::kMsgQuestionYesNo);
    driver::Pump(1000);
    EXPECT_EQ(offer.Seen().size(), 1u);
    EXPECT_TRUE(client.Running());
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_EQ(Descendants(main, L"WebUrl").size(), 1u);
    EXPECT_TRUE(mainwindow_test::TrayIconShown(main));
    client.Kill();
}

// The further-login window stays above the main window, comes back when minimised, and "是"
// ends the program with it still open.
TEST(MainWindowJourney, FurtherLoginComesBackAndEndsWithTheProgram)
{
    driver::Process client = StartCorvane(Portal());
    ASSERT_TRUE(client);
    HWND main = LogInToMainWindow(client, L"alice");
    ASSERT_TRUE(main);
    const std::vector<HWND> buttons = mainwindow_test::ButtonsLeftToRight(main);
    ASSERT_EQ(buttons.size(), 6u);
    EXPECT_TRUE(driver::ClickOn(buttons[0]));
    const LoginPair pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);
    auto inFront = [&] {
        const HWND front = ::GetForegroundWindow();
        return !::IsIconic(pair.background) && ::IsWindowVisible(pair.background) &&
               (front == pair.login || front == pair.background);
    };

    ::PostMessageW(pair.background, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(driver::PumpUntil([&] { return ::IsIconic(pair.background) != FALSE; }, 5000));
    EXPECT_TRUE(driver::ClickOn(buttons[0]));
    EXPECT_TRUE(driver::PumpUntil(inFront, 5000)) << "minimised";

    // A click on the main window's caption strip makes it the active window; the pair stays
    // above it, and "登录其他帐号" gives it the keys again.
    const RECT m = WindowRect(main);
    EXPECT_TRUE(driver::ClickOn(main, POINT{m.left + 400, m.top + 10}));
    ASSERT_TRUE(driver::PumpUntil([&] { return ::GetForegroundWindow() == main; }, 5000));
    EXPECT_TRUE(driver::PumpUntil([&] { return Above(pair.background, main) && Above(pair.login, main); }, 5000));
    EXPECT_TRUE(driver::ClickOn(buttons[0]));
    EXPECT_TRUE(driver::PumpUntil(inFront, 5000)) << "after the main window was clicked";

    mainwindow_test::ExitBoxAnswerer answerer(L"Y", client.id());
    EXPECT_TRUE(driver::ClickOn(buttons[5]));
    EXPECT_TRUE(answerer.WaitForCount(1, 10000));
    EXPECT_EQ(client.WaitForExit(15000), 0);
}

}  // namespace
