// The built-in engine with real keyboard input on the demo portal's pages: the Tab order through
// the login form and its links with the wrap and Shift+Tab, the focus drawn on links and on the
// button, Enter and Space on the button and Enter in a field logging in, Enter on a focused link,
// and the edit and clipboard keys in the fields.

#include <gtest/gtest.h>

#include "browser/lite/LiteWebView.h"
#include "tests/driver/Driver.h"
#include "tests/wine/browser/WebViewTestSupport.h"

namespace {

using webviewtest::Host;
using webviewtest::Portal;

constexpr auto kLite = browser::WebViewEngine::Lite;

std::wstring LoginUrl() { return Portal() + L"/pcLogin/"; }

struct LoginPage {
    explicit LoginPage(Host& host) : host(host)
    {
        // The page loads in the background: wait for its own complete, not an earlier page's.
        const std::size_t completes = host.Count(L"complete");
        host.view()->Navigate(LoginUrl());
        loaded = host.WaitFor(L"complete", completes + 1);
        view = host.view()->hWnd();
        user = ::FindWindowExW(view, nullptr, L"Edit", nullptr);
        password = ::FindWindowExW(view, user, L"Edit", nullptr);
        button = ::FindWindowExW(view, nullptr, L"Button", nullptr);
    }
    // A real click into a field: the program's window becomes the one keys go to.
    bool ClickInto(HWND field)
    {
        return driver::ClickOn(field) && FocusReaches(field);
    }
    bool FocusReaches(HWND hwnd) { return driver::PumpUntil([&] { return ::GetFocus() == hwnd; }, 3000); }
    bool Press(WORD vk, UINT modifiers, HWND expectedFocus)
    {
        driver::PressKey(vk, modifiers);
        return FocusReaches(expectedFocus);
    }
    bool Type(HWND field, const std::wstring& text)
    {
        const std::wstring expected = driver::WindowText(field) + text;
        driver::TypeText(text);
        return driver::PumpUntil([&] { return driver::WindowText(field) == expected; }, 3000);
    }
    // Types both fields with real keys, moving from the name to the password with Tab.
    bool FillIn(const std::wstring& name, const std::wstring& secret)
    {
        return ClickInto(user) && Type(user, name) && Press(VK_TAB, 0, password) && Type(password, secret);
    }

    Host& host;
    bool loaded = false;
    HWND view = nullptr, user = nullptr, password = nullptr, button = nullptr;
};

// Pixels of `rect` (screen coordinates relative to the capture) that differ between two captures.
int Changed(const driver::Capture& a, const driver::Capture& b, const RECT& rect)
{
    int n = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) n += a.Rgb(x, y) != b.Rgb(x, y);
    return n;
}

RECT RectIn(HWND parent, HWND child, int grow)
{
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    ::InflateRect(&r, grow, grow);
    return r;
}

TEST(LiteKeyboard, TabWalksTheLoginFormAndEnterOnTheButtonLogsIn)
{
    Host host(kLite);
    LoginPage page(host);
    ASSERT_TRUE(page.loaded);
    ASSERT_TRUE(page.user && page.password && page.button);
    ASSERT_TRUE(page.ClickInto(page.user));
    ASSERT_TRUE(page.Type(page.user, L"玩家one"));

    // Tab moves on: the password goes to the second field, and no tab character anywhere.
    ASSERT_TRUE(page.Press(VK_TAB, 0, page.password));
    ASSERT_TRUE(page.Type(page.password, L"secret"));
    EXPECT_EQ(driver::WindowText(page.user), L"玩家one");

    const driver::Capture before = driver::Screenshot(host.hwnd(), L"browser-lite-focus-none");
    ASSERT_TRUE(page.Press(VK_TAB, 0, page.button));
    driver::Pump(200);
    const driver::Capture onButton = driver::Screenshot(host.hwnd(), L"browser-lite-focus-button");
    EXPECT_GT(Changed(before, onButton, RectIn(host.hwnd(), page.button, 0)), 20) << "no focus drawn on the button";

    // After the button the order wraps to the page's first links ("最小化", "关闭") and on to the
    // user name, whose text is then selected as in a browser.
    ASSERT_TRUE(page.Press(VK_TAB, 0, page.view));
    driver::Pump(200);
    const driver::Capture onLink = driver::Screenshot(host.hwnd(), L"browser-lite-focus-link");
    const RECT commands{790, 0, 888, 30};
    EXPECT_GT(Changed(onButton, onLink, commands), 20) << "no focus drawn on the link";
    ASSERT_TRUE(page.Press(VK_TAB, 0, page.view));
    ASSERT_TRUE(page.Press(VK_TAB, 0, page.user));
    DWORD from = 1, to = 0;
    ::SendMessageW(page.user, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 5u);

    // Shift+Tab goes back the same way, across the wrap.
    ASSERT_TRUE(page.Press(VK_TAB, MOD_SHIFT, page.view));
    ASSERT_TRUE(page.Press(VK_TAB, MOD_SHIFT, page.view));
    ASSERT_TRUE(page.Press(VK_TAB, MOD_SHIFT, page.button));
    ASSERT_TRUE(page.Press(VK_TAB, MOD_SHIFT, page.password));
    ASSERT_TRUE(page.Press(VK_TAB, 0, page.button));

    // Enter on the focused button posts the form with both fields.
    driver::PressKey(VK_RETURN);
    ASSERT_TRUE(host.WaitFor(L"before", 3));
    EXPECT_EQ(host.events()[3].text, Portal() + L"/pcLogin/login");
    EXPECT_NE(host.events().back().text.find(L"app://loadgame|"), std::wstring::npos);
    const std::string log = webviewtest::PortalLog();
    EXPECT_NE(log.find("\"POST\""), std::string::npos) << log;
    EXPECT_NE(log.find("username=%E7%8E%A9%E5%AE%B6one&password=secret"), std::string::npos) << log;
}

TEST(LiteKeyboard, SpaceOnTheButtonAndEnterOnLinks)
{
    Host host(kLite);
    LoginPage page(host);
    ASSERT_TRUE(page.loaded);
    ASSERT_TRUE(page.FillIn(L"space", L"pw"));
    ASSERT_TRUE(page.Press(VK_TAB, 0, page.button));
    driver::PressKey(VK_SPACE);
    ASSERT_TRUE(host.WaitFor(L"before", 3));
    EXPECT_NE(webviewtest::PortalLog().find("username=space&password=pw"), std::string::npos);

    // Enter on a focused command link raises it like a click (and the host cancels it).
    LoginPage again(host);
    ASSERT_TRUE(host.WaitFor(L"complete", 3));
    ASSERT_TRUE(again.ClickInto(again.user));
    ASSERT_TRUE(again.Press(VK_TAB, MOD_SHIFT, again.view));  // "关闭"
    ASSERT_TRUE(again.Press(VK_TAB, MOD_SHIFT, again.view));  // "最小化"
    const std::size_t before = host.Count(L"before");
    driver::PressKey(VK_RETURN);
    ASSERT_TRUE(host.WaitFor(L"before", before + 1, 3000));
    EXPECT_EQ(host.events().back().text, L"app://minimize");

    // Enter on an ordinary link loads its page: the home page's first link is the login page.
    host.view()->Navigate(Portal() + L"/");
    const std::size_t completes = host.Count(L"complete");
    ASSERT_TRUE(host.WaitFor(L"complete", completes + 1));
    ::SetFocus(host.view()->hWnd());
    ASSERT_TRUE(again.Press(VK_TAB, 0, host.view()->hWnd()));
    driver::PressKey(VK_RETURN);
    ASSERT_TRUE(host.WaitFor(L"complete", completes + 2));
    EXPECT_EQ(host.events().back().text, LoginUrl());
}

TEST(LiteKeyboard, AKeyWhoseNavigationDestroysTheView)
{
    Host host(kLite);
    LoginPage page(host);
    ASSERT_TRUE(page.loaded);
    host.view()->events.beforeNavigate = [&](const std::wstring&, bool, bool&) { host.view().reset(); };
    ASSERT_TRUE(page.ClickInto(page.user));
    ASSERT_TRUE(page.Press(VK_TAB, MOD_SHIFT, page.view));
    driver::PressKey(VK_RETURN);  // the link's navigation drops the view from inside the key
    EXPECT_TRUE(driver::PumpUntil([&] { return !host.view(); }, 3000));
    driver::PressKey(VK_TAB);  // no filter of the dead view is left to take it
    driver::Pump(300);
    EXPECT_FALSE(::IsWindow(page.view));
}

TEST(LiteKeyboard, EnterInATextFieldSubmitsItsForm)
{
    Host host(kLite);
    LoginPage page(host);
    ASSERT_TRUE(page.loaded);
    ASSERT_TRUE(page.FillIn(L"enter", L"pw"));
    // Ctrl+Enter is not Enter: nothing is submitted, nothing is typed.
    driver::PressKey(VK_RETURN, MOD_CONTROL);
    driver::Pump(200);
    EXPECT_EQ(host.Count(L"before"), 1u);
    EXPECT_EQ(driver::WindowText(page.password), L"pw");

    driver::PressKey(VK_RETURN);
    ASSERT_TRUE(host.WaitFor(L"before", 2));
    EXPECT_EQ(host.events()[3].text, Portal() + L"/pcLogin/login");  // after the first page's three
    ASSERT_TRUE(host.WaitFor(L"complete", 2));
    EXPECT_NE(webviewtest::PortalLog().find("username=enter&password=pw"), std::string::npos);
}

TEST(LiteKeyboard, EditAndClipboardKeysInTheFields)
{
    Host host(kLite);
    LoginPage page(host);
    ASSERT_TRUE(page.loaded);
    ASSERT_TRUE(page.ClickInto(page.user));
    ASSERT_TRUE(page.Type(page.user, L"abcd"));
    driver::PressKey(VK_BACK);
    ASSERT_TRUE(driver::PumpUntil([&] { return driver::WindowText(page.user) == L"abc"; }, 3000));
    driver::PressKey(VK_HOME);
    driver::PressKey(VK_DELETE);
    ASSERT_TRUE(driver::PumpUntil([&] { return driver::WindowText(page.user) == L"bc"; }, 3000));

    // Ctrl+A selects the whole text, Ctrl+C copies it, Ctrl+V pastes it into the password.
    driver::PressKey('A', MOD_CONTROL);
    driver::Pump(100);
    DWORD from = 1, to = 0;
    ::SendMessageW(page.user, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 2u);
    driver::PressKey('C', MOD_CONTROL);
    ASSERT_TRUE(page.Press(VK_TAB, 0, page.password));
    driver::PressKey('V', MOD_CONTROL);
    EXPECT_TRUE(driver::PumpUntil([&] { return driver::WindowText(page.password) == L"bc"; }, 3000));

    // Ctrl+X cuts from the user name; pasting twice puts it back.
    ASSERT_TRUE(page.Press(VK_TAB, MOD_SHIFT, page.user));
    driver::PressKey('X', MOD_CONTROL);
    ASSERT_TRUE(driver::PumpUntil([&] { return driver::WindowText(page.user).empty(); }, 3000));
    driver::PressKey('V', MOD_CONTROL);
    driver::PressKey('V', MOD_CONTROL);
    EXPECT_TRUE(driver::PumpUntil([&] { return driver::WindowText(page.user) == L"bcbc"; }, 3000));
    EXPECT_EQ(host.Count(L"before"), 1u);  // no key above submitted or navigated
}

}  // namespace
