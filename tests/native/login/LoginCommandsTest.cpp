// The login page's command URLs and the judgement of a completed page.

#include <gtest/gtest.h>

#include "login/LoginCommands.h"
#include "login/LoginLayout.h"

namespace {

using corvane::ClassifyLoginNavigation;
using corvane::LoginCommand;
using corvane::PageVerdict;

TEST(LoginCommands, SubstringsInExactCaseFirstHitInOrder)
{
    struct Case {
        const wchar_t* url;
        LoginCommand command;
        bool cancel;
    } cases[] = {
        {L"app://exitgame", LoginCommand::ExitGame, true},
        {L"http://portal.example/pcLogin/?next=app://exitgame", LoginCommand::ExitGame, true},
        {L"app://minimize", LoginCommand::Minimize, true},
        // Exit is tested first, wherever it stands.
        {L"app://minimize?then=app://exitgame", LoginCommand::ExitGame, true},
        {L"app://loadgame|app://minimize", LoginCommand::Minimize, true},
        {L"app://loadgame|http://portal.example/game/", LoginCommand::LoadGame, false},
        // Other letter case, a missing slash, a plain page: the browser follows them.
        {L"APP://EXITGAME", LoginCommand::None, false},
        {L"app://ExitGame", LoginCommand::None, false},
        {L"app:/exitgame", LoginCommand::None, false},
        {L"http://portal.example/pcLogin/login", LoginCommand::None, false},
        {L"", LoginCommand::None, false},
    };
    for (const Case& c : cases) {
        const auto n = ClassifyLoginNavigation(c.url);
        EXPECT_EQ(n.command, c.command) << std::wstring(c.url).size();
        EXPECT_EQ(n.cancel, c.cancel) << std::wstring(c.url).size();
        if (c.command != LoginCommand::LoadGame) {
            EXPECT_FALSE(n.gameUrl);
        }
    }
}

TEST(LoginCommands, StartCommandHandsExactlyFieldOne)
{
    auto n = ClassifyLoginNavigation(L"app://loadgame|http://h/game/?account=a|http://h/extra|x");
    ASSERT_TRUE(n.gameUrl);
    EXPECT_EQ(*n.gameUrl, L"http://h/game/?account=a");

    // The command text may stand anywhere in field 0.
    n = ClassifyLoginNavigation(L"http://h/go?to=app://loadgame|http://h/game/");
    ASSERT_TRUE(n.gameUrl);
    EXPECT_EQ(*n.gameUrl, L"http://h/game/");

    // Field 1 keeps everything up to the next bar, blanks and all.
    n = ClassifyLoginNavigation(L"app://loadgame|http://h/g ?a=b c");
    ASSERT_TRUE(n.gameUrl);
    EXPECT_EQ(*n.gameUrl, L"http://h/g ?a=b c");
}

TEST(LoginCommands, StartCommandWithoutAWebAddressIsDroppedAndCancelled)
{
    for (const wchar_t* url : {L"app://loadgame", L"app://loadgame|", L"app://loadgame||http://h/game/",
                               L"app://loadgame|file:///C:/x", L"app://loadgame|\\\\127.0.0.1\\s\\x.html",
                               L"app://loadgame|javascript:alert(1)", L"app://loadgame| http://h/game/"}) {
        const auto n = ClassifyLoginNavigation(url);
        EXPECT_EQ(n.command, LoginCommand::LoadGame);
        EXPECT_FALSE(n.gameUrl);
        EXPECT_TRUE(n.cancel);
    }
}

TEST(LoginCommands, SplitFieldsKeepsEmptyFields)
{
    EXPECT_EQ(corvane::SplitFields(L"", L'|'), std::vector<std::wstring>{L""});
    EXPECT_EQ(corvane::SplitFields(L"a", L'|'), std::vector<std::wstring>{L"a"});
    EXPECT_EQ(corvane::SplitFields(L"a||b|", L'|'), (std::vector<std::wstring>{L"a", L"", L"b", L""}));
}

TEST(CompletedPage, ShortTopLevelPageIsAConnectionFailure)
{
    const wchar_t* url = L"http://h/pcLogin/";
    EXPECT_EQ(corvane::JudgeCompletedPage(true, 1499, url, url), PageVerdict::ConnectionFailure);
    EXPECT_EQ(corvane::JudgeCompletedPage(true, 1500, url, url), PageVerdict::ShowLogin);
    EXPECT_EQ(corvane::JudgeCompletedPage(true, 0, url, url), PageVerdict::ConnectionFailure);
    // No document at all.
    EXPECT_EQ(corvane::JudgeCompletedPage(true, -1, L"", url), PageVerdict::ConnectionFailure);
    // Frames never decide.
    EXPECT_EQ(corvane::JudgeCompletedPage(false, 10, url, url), PageVerdict::Ignore);
    EXPECT_EQ(corvane::JudgeCompletedPage(false, 5000, url, url), PageVerdict::Ignore);
}

TEST(CompletedPage, ShowsOnlyWhenTheDocumentIsTheCompletedOne)
{
    // The document's address contains the completed URL (substring, exact case).
    EXPECT_EQ(corvane::JudgeCompletedPage(true, 2000, L"http://h/pcLogin/?x=1", L"http://h/pcLogin/"),
              PageVerdict::ShowLogin);
    EXPECT_EQ(corvane::JudgeCompletedPage(true, 2000, L"http://h/pcLogin/", L"http://h/frame.html"),
              PageVerdict::Ignore);
    EXPECT_EQ(corvane::JudgeCompletedPage(true, 2000, L"http://h/pcLogin/", L"http://H/pcLogin/"),
              PageVerdict::Ignore);
}

TEST(LoginLayout, CentringRoundsHalvesToEven)
{
    EXPECT_EQ(corvane::CentredOrigin(1280, 888), 196);
    EXPECT_EQ(corvane::CentredOrigin(1024, 518), 253);
    EXPECT_EQ(corvane::CentredOrigin(1281, 888), 196);  // 196.5
    EXPECT_EQ(corvane::CentredOrigin(1283, 888), 198);  // 197.5
    EXPECT_EQ(corvane::CentredOrigin(800, 888), -44);   // larger than the screen
}

// Moved to a monitor of another dpi, both windows take the picture's size there at the same
// corner, and the browser still overhangs the login window on the right and at the bottom.
TEST(LoginLayout, PairKeepsItsGlueAtEveryDpi)
{
    const struct {
        int dpi;
        int left;
        int top;
        rt::PixelRect pair;
        rt::PixelSize browser;
    } cases[] = {
        {96, 196, 125, {196, 125, 1084, 643}, {920, 625}},
        {120, 10, 20, {10, 20, 1120, 668}, {1150, 781}},  // 781.25
        {144, -1500, 40, {-1500, 40, -168, 817}, {1380, 938}},  // 937.5, halves to even
        {0, 5, 5, {5, 5, 893, 523}, {920, 625}},  // no dpi reported: 96
    };
    for (const auto& c : cases) {
        EXPECT_EQ(corvane::LoginPairRectAt(c.left, c.top, c.dpi), c.pair) << c.dpi;
        const rt::PixelSize browser = corvane::LoginBrowserSizeAt(c.dpi);
        EXPECT_EQ(browser, c.browser) << c.dpi;
        EXPECT_GT(browser.width, c.pair.Width()) << c.dpi;
        EXPECT_GT(browser.height, c.pair.Height()) << c.dpi;
    }
}

}  // namespace
