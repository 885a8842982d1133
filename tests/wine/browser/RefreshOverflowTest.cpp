// What the game page form relies on after "刷新", in the built-in engine: a refresh raises the
// title and the document again, so the form's handler hides the scroll bars of the reloaded page
// once more. The portal's pages are in quirks mode (an HTML 4.01 Transitional doctype without a
// system identifier), where the scroll bars would be the body's.

#include <gtest/gtest.h>

#include "tests/driver/Driver.h"
#include "tests/wine/browser/WebViewTestSupport.h"

namespace {

using webviewtest::Host;
using webviewtest::Portal;

bool ScrollBarShown(HWND hwnd) { return (::GetWindowLongW(hwnd, GWL_STYLE) & WS_VSCROLL) != 0; }

TEST(RefreshOverflow, RefreshRaisesTitleAndDocumentAndTheOverflowIsHiddenAgain)
{
    Host host(browser::WebViewEngine::Lite, 600, 200);  // shorter than the game page
    ASSERT_TRUE(host.view());
    const std::wstring game = Portal() + L"/game/?account=refresh";
    host.view()->Navigate(game);
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    const HWND view = host.view()->hWnd();
    ASSERT_TRUE(ScrollBarShown(view)) << "the game page should overflow a 200-pixel view";
    // The page scrolls with the keys while it has the focus.
    ::SetForegroundWindow(host.hwnd());
    ::SetFocus(view);
    driver::PressKey(VK_NEXT);
    EXPECT_TRUE(driver::PumpUntil([&] { return ::GetScrollPos(view, SB_VERT) > 0; }, 3000));
    driver::PressKey(VK_HOME);
    EXPECT_TRUE(driver::PumpUntil([&] { return ::GetScrollPos(view, SB_VERT) == 0; }, 3000));

    // As the game page form does on every completion.
    const auto hide = host.view()->events.documentComplete;
    host.view()->events.documentComplete = [&](const std::wstring& url, bool top) {
        hide(url, top);
        host.view()->SetRootOverflow(L"hidden");
    };
    EXPECT_TRUE(host.view()->SetRootOverflow(L"hidden"));
    EXPECT_FALSE(ScrollBarShown(view));

    host.events().clear();
    host.view()->Refresh();
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    const std::vector<webviewtest::Event>& e = host.events();
    ASSERT_EQ(e.size(), 2u);  // no before-navigation: nothing new is asked for
    EXPECT_EQ(e[0].kind, L"title");
    EXPECT_EQ(e[0].text, L"LumoraVeldan - refresh");
    EXPECT_EQ(e[1].kind, L"complete");
    EXPECT_EQ(e[1].text, game);
    EXPECT_TRUE(e[1].topLevel);
    driver::Pump(100);
    EXPECT_FALSE(ScrollBarShown(view));

    // Without the handler the reloaded page has its scroll bar back: the setting lives in the
    // document, and only the events bring it back.
    host.view()->events.documentComplete = hide;
    host.view()->Refresh();
    ASSERT_TRUE(host.WaitFor(L"complete", 2));
    driver::Pump(100);
    EXPECT_TRUE(ScrollBarShown(view));
}

}  // namespace
