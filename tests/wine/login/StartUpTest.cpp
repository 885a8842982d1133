// Corvane.exe's start: the connection test before any window, the exact "/web" switch, and the
// splash that shows its picture over the desktop until the login page has arrived.

#include <gtest/gtest.h>

#include "runtime/MessageBox.h"
#include "tests/wine/login/LoginTestSupport.h"

namespace {

using namespace logintest;

// Requests the portal saw since the object was made.
class PortalRequests {
public:
    PortalRequests() : m_start(PortalLog().size()) {}
    std::string Since() const { return PortalLog().substr(m_start); }

private:
    std::size_t m_start;
};

TEST(StartUp, WithoutAConnectionOnlyTheMessageShowsAndTheProgramEnds)
{
    DefaultBrowserRecorder browser;
    for (const wchar_t* args : {L"", L"/web"}) {
        SCOPED_TRACE(driver::WideToUtf8(args));
        PortalRequests requests;
        driver::Process client = StartCorvane(Portal(), args, {L"CORVANE_TEST_OFFLINE=1"});
        ASSERT_TRUE(client);
        SeenBox box;
        ASSERT_TRUE(AnswerMessageBox(client, box));
        EXPECT_EQ(box.title, L"提示");
        EXPECT_EQ(box.text, kNoConnection);
        EXPECT_EQ(box.style, rt::kMsgExclamation);
        EXPECT_TRUE(box.otherWindows.empty()) << driver::WideToUtf8(box.otherWindows.front());
        EXPECT_FALSE(driver::FindTopLevel(L"LoadFrm", nullptr, client.id())) << "no splash, not even hidden";
        EXPECT_EQ(client.WaitForExit(10000), 0);
        // Neither the update manifest nor the login page was asked for, no browser was opened.
        EXPECT_EQ(requests.Since(), "");
        driver::Pump(500);
        EXPECT_EQ(browser.Opened(), "");
    }
}

TEST(StartUp, WebSwitchOpensTheHomePageAndEndsWithoutAWindow)
{
    DefaultBrowserRecorder browser;
    PortalRequests requests;
    driver::Process client = StartCorvane(Portal() + L"/portal", L"/web");
    ASSERT_TRUE(client);
    bool windowSeen = false;
    EXPECT_EQ(WaitForExitShowingNothing(client, windowSeen, 15000), 0);
    EXPECT_FALSE(windowSeen);
    EXPECT_TRUE(driver::PumpUntil([&] { return !browser.Opened().empty(); }, 10000));
    EXPECT_EQ(browser.Opened(), driver::WideToUtf8(Portal()) + "/portal/\n");
    EXPECT_EQ(requests.Since().find("/pcLogin/"), std::string::npos);
}

TEST(StartUp, OnlyTheExactWebSwitchCounts)
{
    for (const wchar_t* args : {L"/WEB", L"/web ", L"/web2"}) {
        SCOPED_TRACE(driver::WideToUtf8(args));
        driver::Process client = StartCorvane(Portal(), args);
        ASSERT_TRUE(client);
        EXPECT_TRUE(WaitForLoginPair(client)) << "normal start-up expected";
        client.Kill();
    }
}

TEST(Splash, ShowsItsPictureOverTheDesktopUntilTheLoginPageArrives)
{
    Picture picture(L"resources\\splash.png");
    ASSERT_EQ(picture.Width(), 356);
    ASSERT_EQ(picture.Height(), 122);
    DesktopPicture desktop;
    // The system browser control under Wine never completes a page (it has no HTML engine here):
    // the splash stays, and the program keeps handling its messages.
    driver::Process client = StartCorvane(Portal(), L"", {L"CORVANE_WEBVIEW=mshtml"});
    ASSERT_TRUE(client);
    HWND splash = nullptr;
    ASSERT_TRUE(driver::PumpUntil([&] { return (splash = VisibleWindow(L"LoadFrm", client.id())) != nullptr; }, 15000));

    const RECT r = WindowRect(splash);
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(r.left, (sw - 356) / 2);
    EXPECT_EQ(r.top, (sh - 122) / 2);
    EXPECT_EQ(r.right - r.left, 356);
    EXPECT_EQ(r.bottom - r.top, 122);
    EXPECT_TRUE(::GetWindowLongW(splash, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(driver::WindowText(splash), L"LumoraVeldan客户端");

    driver::Capture shot;
    int opaque = 0, opaqueMatches = 0, transparent = 0, transparentMatches = 0;
    driver::PumpUntil(
        [&] {
            shot = driver::CaptureScreen(r);
            opaque = opaqueMatches = transparent = transparentMatches = 0;
            for (int y = 0; y < 122; ++y)
                for (int x = 0; x < 356; ++x) {
                    const std::uint32_t argb = picture.At(x, y);
                    if (Alpha(argb) == 255) {
                        ++opaque;
                        if (driver::ColorNear(shot.At(x, y), Colour(argb), 8)) ++opaqueMatches;
                    } else if (Alpha(argb) == 0) {
                        ++transparent;
                        if (shot.At(x, y) == DesktopPicture::At(r.left + x, r.top + y)) ++transparentMatches;
                    }
                }
            return opaqueMatches * 100 >= opaque * 98 && transparentMatches * 100 >= transparent * 98;
        },
        5000);
    shot.SavePng(driver::OutDir() + L"\\splash.png");
    ASSERT_GT(opaque, 10000);
    ASSERT_GT(transparent, 100) << "the picture has transparent edges";
    EXPECT_GE(opaqueMatches * 100, opaque * 98) << opaqueMatches << " of " << opaque << " opaque pixels";
    EXPECT_GE(transparentMatches * 100, transparent * 98)
        << transparentMatches << " of " << transparent << " transparent pixels show the desktop";

    // A player who clicks the splash or presses Esc does not lose the start-up.
    ::PostMessageW(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(178, 61));
    ::PostMessageW(splash, WM_LBUTTONUP, 0, MAKELPARAM(178, 61));
    ::PostMessageW(splash, WM_KEYDOWN, VK_ESCAPE, 0);
    driver::Pump(700);
    EXPECT_TRUE(client.Running());
    EXPECT_TRUE(VisibleWindow(L"LoadFrm", client.id()));
    EXPECT_FALSE(driver::FindTopLevel(L"LoginBgFrm", nullptr, client.id()) &&
                 ::IsWindowVisible(driver::FindTopLevel(L"LoginBgFrm", nullptr, client.id())));
    client.Kill();
}

}  // namespace
