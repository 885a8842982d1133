// The system control's host under Wine: Wine creates the control and raises before-navigation
// for a Navigate call, but has no HTML engine here to load anything.

#include <gtest/gtest.h>

#include "tests/driver/Driver.h"
#include "tests/wine/browser/WebViewTestSupport.h"

namespace {

using webviewtest::Host;

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
    driver::Pump(500);
    EXPECT_EQ(host.Count(L"complete"), 0u);
}

TEST(MshtmlWebView, DefaultEngineUnderWineIsTheBuiltInOne)
{
    EXPECT_TRUE(browser::RunningUnderWine());
    ::SetEnvironmentVariableW(L"CORVANE_WEBVIEW", nullptr);
    EXPECT_EQ(browser::DefaultEngine(), browser::WebViewEngine::Lite);
    ::SetEnvironmentVariableW(L"CORVANE_WEBVIEW", L"mshtml");
    EXPECT_EQ(browser::DefaultEngine(), browser::WebViewEngine::Mshtml);
    ::SetEnvironmentVariableW(L"CORVANE_WEBVIEW", nullptr);
}

}  // namespace
