// The system control's host under Wine: Wine creates the control and raises before-navigation
// for a Navigate call, but has no HTML engine here to load anything.

#include <gtest/gtest.h>

#include "runtime/WindowEvents.h"
#include "tests/driver/Driver.h"
#include "tests/driver/Lifetime.h"
#include "tests/wine/browser/WebViewTestSupport.h"

namespace {

using webviewtest::Host;

// What this can show under Wine: the control is hosted, Navigate reaches our before-navigation
// handler with the address and the top-level flag, and a cancel set there is taken without
// trouble. What it cannot show: that the cancel stops the navigation. Wine has no HTML engine
// here and completes no document whether or not it is cancelled, so that needs Windows.
TEST(MshtmlWebView, CreatesAndRaisesCancellableBeforeNavigate)
{
    Host host(browser::WebViewEngine::Mshtml);
    ASSERT_TRUE(host.view()) << "the system browser control could not be hosted";
    EXPECT_EQ(host.view()->Engine(), browser::WebViewEngine::Mshtml);
    host.cancelContaining = L"app://minimize";
    host.view()->Navigate(L"app://minimize");
    ASSERT_TRUE(host.WaitFor(L"before", 1, 10000));
    EXPECT_EQ(host.events()[0].text, L"app://minimize");
    EXPECT_TRUE(host.events()[0].topLevel);
    EXPECT_EQ(host.view()->DocumentUrl(), L"");
}

// The control's own code is below the event: the view goes quiet at once, the handler keeps
// its captures while it runs, and the view and the handler are released after the event.
TEST(MshtmlWebView, HandlerMayDestroyTheViewInBeforeNavigate)
{
    Host host(browser::WebViewEngine::Mshtml);
    ASSERT_TRUE(host.view()) << "the system browser control could not be hosted";
    auto token = std::make_shared<int>(0);
    bool intact = false;
    int ran = 0;
    host.view()->events.beforeNavigate = [&, canary = lifetime::Canary(), text = std::wstring(200, L'm'),
                                          token](const std::wstring&, bool, bool& cancel) {
        host.view().reset();
        cancel = true;
        ++ran;
        intact = canary.Alive() && text == std::wstring(200, L'm');
    };
    host.view()->Navigate(L"app://loadgame|http://127.0.0.1/");
    EXPECT_TRUE(driver::PumpUntil([&] { return !host.view(); }, 10000));
    driver::Pump(300);
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(intact) << "the handler's captures were destroyed while it ran";
    EXPECT_EQ(token.use_count(), 1) << "the handler was not released after the event";
}

TEST(MshtmlWebView, DefaultEngineUnderWineIsTheBuiltInOne)
{
    EXPECT_TRUE(rt::RunningUnderWine());
    ::SetEnvironmentVariableW(L"CORVANE_WEBVIEW", nullptr);
    EXPECT_EQ(browser::DefaultEngine(), browser::WebViewEngine::Lite);
    ::SetEnvironmentVariableW(L"CORVANE_WEBVIEW", L"mshtml");
    EXPECT_EQ(browser::DefaultEngine(), browser::WebViewEngine::Mshtml);
    ::SetEnvironmentVariableW(L"CORVANE_WEBVIEW", nullptr);
}

}  // namespace
