// The built-in engine in a real window against the demo portal: event order and arguments,
// cancelled commands, the login form and its cookie, meta refresh to a command, the context
// menu, failed navigations, destruction from inside an event, and the login page's pixels.

#include <gtest/gtest.h>
#include <ole2.h>
#include <oleacc.h>

#include <utility>

#include "browser/layout/ReaderLinks.h"
#include "browser/lite/LiteWebView.h"
#include "runtime/App.h"
#include "runtime/DpiScale.h"
#include "runtime/Form.h"
#include "tests/driver/AccessibleWalk.h"
#include "tests/driver/Driver.h"
#include "tests/driver/Lifetime.h"
#include "tests/wine/browser/WebViewTestSupport.h"

namespace {

using webviewtest::Event;
using webviewtest::Host;
using webviewtest::Portal;

constexpr auto kLite = browser::WebViewEngine::Lite;

std::wstring LoginUrl() { return Portal() + L"/pcLogin/"; }

// The page's origin on the screen (the host sits at the screen's top-left).
POINT PagePoint(const Host& host, int x, int y)
{
    POINT p{x, y};
    ::ClientToScreen(const_cast<Host&>(host).view()->hWnd(), &p);
    return p;
}

HWND ChildOfClass(HWND parent, const wchar_t* cls, int index)
{
    HWND child = nullptr;
    for (int i = 0; i <= index; ++i) {
        child = ::FindWindowExW(parent, child, cls, nullptr);
        if (!child) return nullptr;
    }
    return child;
}

TEST(LiteWebView, TopLevelPageRaisesEventsInOrder)
{
    Host host(kLite);
    ASSERT_TRUE(host.view());
    EXPECT_EQ(host.view()->Engine(), kLite);
    EXPECT_EQ(host.view()->RootInnerHtmlLength(), -1);
    host.view()->Navigate(LoginUrl());
    // Before-navigation comes inside Navigate, before anything loads.
    ASSERT_EQ(host.events().size(), 1u);
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    const std::vector<Event>& e = host.events();
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].kind, L"before");
    EXPECT_EQ(e[0].text, LoginUrl());
    EXPECT_TRUE(e[0].topLevel);
    EXPECT_EQ(e[1].kind, L"title");
    EXPECT_EQ(e[1].text, L"LumoraVeldan 登录");
    EXPECT_EQ(e[2].kind, L"complete");
    EXPECT_EQ(e[2].text, LoginUrl());
    EXPECT_TRUE(e[2].topLevel);
    EXPECT_EQ(host.view()->DocumentUrl(), LoginUrl());
    EXPECT_GE(host.view()->RootInnerHtmlLength(), 1500);
    EXPECT_TRUE(host.view()->SetRootOverflow(L"hidden"));

    // A screenshot of the login page: key colour where the page is bare, the panel, its text.
    driver::Pump(200);
    const driver::Capture shot = driver::Screenshot(host.hwnd(), L"browser-lite-login");
    ASSERT_FALSE(shot.empty());
    const RECT bare{20, 130, 500, 470};
    EXPECT_EQ(shot.CountNear(bare, RGB(0xFE, 0xFE, 0xFE)), 480 * 340);
    const RECT panel{520, 110, 850, 430};
    const int panelPixels = shot.CountNear(panel, RGB(0x1E, 0x33, 0x50));
    EXPECT_GT(panelPixels, 330 * 320 / 2);
    EXPECT_LT(panelPixels, 330 * 320 - 2000);  // text, fields and the button are drawn on it
    // The login form's fields are real edit controls, plus the submit button.
    EXPECT_TRUE(ChildOfClass(host.view()->hWnd(), L"Edit", 1));
    EXPECT_TRUE(ChildOfClass(host.view()->hWnd(), L"Button", 0));
}

// A form holding a view of a fixed size in pixels, which the form's own layout leaves alone.
class FixedViewForm : public rt::Form {
public:
    FixedViewForm() : rt::Form(Design()) {}
    browser::WebViewPtr view;

protected:
    void OnLoad() override { view = browser::CreateWebView(hWnd(), RECT{0, 0, 920, 625}, kLite); }
    void OnUnload(bool&) override { view.reset(); }

private:
    static rt::FormDesign Design()
    {
        rt::FormDesign d;
        d.className = L"FixedViewForm";
        d.clientWidth = 13800, d.clientHeight = 9375;  // the view's 920 x 625 pixels at 96 dpi
        return d;
    }
};

// The page's CSS pixels are device pixels times dpi / 96: moved to a monitor of 144 dpi at the
// same size in pixels, the view lays its page out again, its fields 1.5 times as large.
TEST(LiteWebView, LaysThePageOutAgainAtANewDpiOfTheSameSize)
{
    FixedViewForm form;
    form.Show();
    ASSERT_TRUE(form.view);
    bool complete = false;
    form.view->events.documentComplete = [&](const std::wstring&, bool topLevel) { complete = complete || topLevel; };
    form.view->Navigate(LoginUrl());
    ASSERT_TRUE(driver::PumpUntil([&] { return complete; }, 15000));
    const HWND account = ChildOfClass(form.view->hWnd(), L"Edit", 0);
    ASSERT_TRUE(account);
    RECT before{}, same{}, view{}, after{};
    ::GetWindowRect(account, &before);
    ::GetWindowRect(form.hWnd(), &same);
    ::SendMessageW(form.hWnd(), rt::kWmDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&same));
    ::GetClientRect(form.view->hWnd(), &view);
    EXPECT_EQ(std::pair(view.right, view.bottom), std::pair(920L, 625L));
    ASSERT_EQ(ChildOfClass(form.view->hWnd(), L"Edit", 0), account);
    ::GetWindowRect(account, &after);
    EXPECT_NEAR(after.right - after.left, rt::ScalePixels(before.right - before.left, 144), 1);
    EXPECT_NEAR(after.bottom - after.top, rt::ScalePixels(before.bottom - before.top, 144), 1);
    form.Unload();
}

// A screen reader in another process finds the page's links, named by their text, and follows
// one with its default action.
TEST(LiteWebView, ReaderSeesAndFollowsTheLinks)
{
    ::OleInitialize(nullptr);
    {
        Host host(kLite);
        ASSERT_TRUE(host.view());
        host.view()->Navigate(LoginUrl());
        ASSERT_TRUE(host.WaitFor(L"complete", 1));
        const auto tree = driver::AccessibleTree(host.view()->hWnd());
        ASSERT_FALSE(tree.empty());
        EXPECT_EQ(tree[0].role, ROLE_SYSTEM_CLIENT);
        const driver::AccessibleNode* minimize = driver::FindNode(tree, L"最小化", ROLE_SYSTEM_LINK);
        ASSERT_NE(minimize, nullptr);
        EXPECT_EQ(minimize->value, L"app://minimize");
        EXPECT_EQ(minimize->action, L"跳转");
        EXPECT_TRUE(minimize->state & STATE_SYSTEM_LINKED);
        EXPECT_FALSE(minimize->state & STATE_SYSTEM_OFFSCREEN);
        RECT view{};
        ::GetWindowRect(host.view()->hWnd(), &view);
        EXPECT_TRUE(minimize->place.left >= view.left && minimize->place.right <= view.right &&
                    minimize->place.top >= view.top && minimize->place.bottom <= view.bottom);
        EXPECT_NE(driver::FindNode(tree, L"关闭", ROLE_SYSTEM_LINK), nullptr);
        for (const driver::AccessibleNode& node : tree) {
            if (node.child > 0) {
                EXPECT_FALSE(node.name.empty()) << node.child;
            }
        }

        EXPECT_EQ(driver::AccessibleAction(host.view()->hWnd(), L"do", minimize->child), S_OK);
        ASSERT_TRUE(host.WaitFor(L"before", 2, 5000));
        EXPECT_EQ(host.events().back().text, L"app://minimize");
    }
    ::OleUninitialize();
}

// A reader's questions about a page of many links cost one list of them for the page: counting,
// placing every link and hit testing build it once.
TEST(LiteWebView, ReaderBuildsTheLinkListOncePerPage)
{
    ::OleInitialize(nullptr);
    {
        Host host(kLite);
        ASSERT_TRUE(host.view());
        host.view()->Navigate(Portal() + L"/links/2000/");
        ASSERT_TRUE(host.WaitFor(L"complete", 1));
        const driver::ComRef<IAccessible> object = driver::ClientObject(host.view()->hWnd());
        ASSERT_TRUE(object);
        const std::size_t built = browser::ReaderLinkListsBuilt();
        long count = 0;
        ASSERT_EQ(object->get_accChildCount(&count), S_OK);
        EXPECT_EQ(count, 2000);
        long x = 0, y = 0, w = 0, h = 0;
        ASSERT_EQ(object->accLocation(&x, &y, &w, &h, driver::ChildId(5)), S_OK);
        VARIANT hit;
        ASSERT_EQ(object->accHitTest(x + w / 2, y + h / 2, &hit), S_OK);
        EXPECT_EQ(hit.vt == VT_I4 ? hit.lVal : -1, 5);
        ASSERT_EQ(object->accHitTest(x + w + 200, y + h / 2, &hit), S_OK);  // beside every link
        EXPECT_EQ(hit.vt == VT_I4 ? hit.lVal : -1, CHILDID_SELF);
        ASSERT_EQ(browser::ReaderLinkListsBuilt() - built, 1u);
        long lastY = 0;
        for (long child = 1; child <= count; ++child)
            EXPECT_EQ(object->accLocation(&x, &lastY, &w, &h, driver::ChildId(child)), S_OK) << child;
        EXPECT_GT(lastY, y + 1000 * h);  // the last link, far below
        EXPECT_EQ(browser::ReaderLinkListsBuilt() - built, 1u);
    }
    ::OleUninitialize();
}

// The login page labels its fields by the table cell to their left: a reader in another
// process hears each edit control by that text, with the system's role, states and value (none
// for the password). A field that goes with its page cuts its readers off.
TEST(LiteWebView, ReaderHearsTheFieldsByTheirLabels)
{
    ::OleInitialize(nullptr);
    {
        Host host(kLite);
        ASSERT_TRUE(host.view());
        host.view()->Navigate(LoginUrl());
        ASSERT_TRUE(host.WaitFor(L"complete", 1));
        const HWND account = ChildOfClass(host.view()->hWnd(), L"Edit", 0);
        const HWND password = ChildOfClass(host.view()->hWnd(), L"Edit", 1);
        ASSERT_TRUE(account && password);
        ::SetWindowTextW(account, L"player1");
        ::SetWindowTextW(password, L"secret");

        const struct {
            HWND field;
            const wchar_t* name;
            const wchar_t* value;
            unsigned long protectedState;
        } fields[] = {{account, L"帐号：", L"player1", 0}, {password, L"密码：", L"", STATE_SYSTEM_PROTECTED}};
        // Twice: the second page takes the first page's windows over.
        for (int round = 0; round < 2; ++round) {
            if (round == 1) {
                host.view()->Navigate(LoginUrl());
                ASSERT_TRUE(host.WaitFor(L"complete", 2));
                ASSERT_EQ(ChildOfClass(host.view()->hWnd(), L"Edit", 0), account);
                ASSERT_EQ(ChildOfClass(host.view()->hWnd(), L"Edit", 1), password);
            }
            for (const auto& f : fields) {
                const auto tree = driver::AccessibleTree(f.field);
                ASSERT_EQ(tree.size(), 1u) << round;
                EXPECT_EQ(tree[0].name, f.name) << round;
                EXPECT_EQ(tree[0].role, ROLE_SYSTEM_TEXT) << round;
                EXPECT_EQ(tree[0].value, round == 0 ? f.value : L"") << round;
                EXPECT_EQ(tree[0].state & STATE_SYSTEM_PROTECTED, f.protectedState) << round;
                EXPECT_TRUE(tree[0].state & STATE_SYSTEM_FOCUSABLE) << round;
                RECT place{};
                ::GetWindowRect(f.field, &place);
                EXPECT_TRUE(::EqualRect(&tree[0].place, &place)) << round;
            }
        }

        // Focus moved to the field shows in its states.
        ::SetFocus(password);
        EXPECT_TRUE(driver::AccessibleTree(password).at(0).state & STATE_SYSTEM_FOCUSED);

        const driver::ComRef<IAccessible> object = driver::ClientObject(account);
        ASSERT_TRUE(object);
        const VARIANT self = driver::ChildId(CHILDID_SELF);
        BSTR name = nullptr;
        ASSERT_EQ(object->get_accName(self, &name), S_OK);
        EXPECT_STREQ(name, L"帐号：");
        ::SysFreeString(name);
        // A page without fields: the windows go.
        host.view()->Navigate(Portal() + L"/inputs/0/");
        ASSERT_TRUE(host.WaitFor(L"complete", 3));
        ASSERT_FALSE(::IsWindow(account));
        name = nullptr;
        EXPECT_EQ(object->get_accName(self, &name), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(name, nullptr);
    }
    ::OleUninitialize();
}

TEST(LiteWebView, CancelledCommandKeepsThePage)
{
    Host host(kLite);
    ASSERT_TRUE(host.view()) << "the web view could not be created";
    host.view()->Navigate(LoginUrl());
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    const long length = host.view()->RootInnerHtmlLength();

    // A real click on the page's "最小化" link (top right of the 888-pixel layout).
    const POINT link = PagePoint(host, 835, 9);
    driver::MoveMouseTo(link);
    driver::Pump(100);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
    driver::ClickAt(link);
    ASSERT_TRUE(host.WaitFor(L"before", 2, 5000));
    EXPECT_EQ(host.events().back().text, L"app://minimize");
    driver::Pump(500);
    EXPECT_EQ(host.Count(L"complete"), 1u);
    EXPECT_EQ(host.view()->DocumentUrl(), LoginUrl());
    EXPECT_EQ(host.view()->RootInnerHtmlLength(), length);

    // The same for a Navigate call.
    host.view()->Navigate(L"app://minimize");
    driver::Pump(300);
    EXPECT_EQ(host.Count(L"before"), 3u);
    EXPECT_EQ(host.Count(L"complete"), 1u);
}

// The hex form of a text, as the portal's /then/<hex>/pcLogin/ route takes its refresh target.
std::wstring Hex(const std::string& text)
{
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring out;
    for (unsigned char c : text) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// With the host's filter on every top-level navigation (a game page's), the page's own
// navigations (here a meta refresh) and the host's calls go only where the filter allows; a
// refused one raises nothing and leaves the page.
TEST(LiteWebView, TheHostsFilterKeepsThePageFromFilesAndShares)
{
    // (A page's "\\host\share" is a relative address to this engine: on the page's own server.)
    for (const char* target : {"file://127.0.0.1/share/x.html", "file:///C:/windows/win.ini"}) {
        Host host(kLite);
        ASSERT_TRUE(host.view());
        host.view()->navigationFilter = {
            [](const std::wstring& url, browser::NavigationKind) { return url.rfind(L"http://", 0) == 0; }};
        const std::wstring page = Portal() + L"/then/" + Hex(target) + L"/pcLogin/";
        host.view()->Navigate(page);
        ASSERT_TRUE(host.WaitFor(L"complete", 1));
        // The page asks for its refresh after a second: the refusal is logged.
        std::vector<std::wstring> logged;
        rt::App::SetLogSink([&](const std::wstring& text) { logged.push_back(text); });
        EXPECT_TRUE(driver::PumpUntil([&] { return !logged.empty(); }, 5000)) << target;
        driver::Pump(100);
        rt::App::SetLogSink(nullptr);
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_EQ(logged[0], L"WebView.Allows: refused a navigation to " + driver::Utf8ToWide(target));
        EXPECT_EQ(host.Count(L"before"), 1u) << target;
        EXPECT_EQ(host.Count(L"complete"), 1u) << target;
        EXPECT_EQ(host.view()->DocumentUrl(), page);
        for (const std::wstring& url : {driver::Utf8ToWide(target), std::wstring(L"\\\\127.0.0.1\\share")}) {
            host.view()->Navigate(url);
            driver::Pump(300);
            EXPECT_EQ(host.Count(L"before"), 1u) << target;
            EXPECT_EQ(host.view()->DocumentUrl(), page);
        }
    }
}

// Pages that once froze or ended the engine: one element with 40,000 attributes, and a link of a
// megabyte around 2000 pictures. Each shows as the login page it is.
TEST(LiteWebView, HostilePagesShowAsTheirLoginPage)
{
    for (const wchar_t* kind : {L"many-attributes", L"long-link"}) {
        Host host(kLite);
        ASSERT_TRUE(host.view());
        host.view()->Navigate(Portal() + L"/hostile-page/" + kind + L"/pcLogin/");
        ASSERT_TRUE(host.WaitFor(L"complete", 1, 20000)) << driver::WideToUtf8(kind);
        EXPECT_GE(host.view()->RootInnerHtmlLength(), 1500);
        EXPECT_TRUE(ChildOfClass(host.view()->hWnd(), L"Edit", 1)) << "the login form is there";
    }
}

TEST(LiteWebView, FormPostLogsInAndRefreshRaisesTheCommand)
{
    Host host(kLite);
    ASSERT_TRUE(host.view()) << "the web view could not be created";
    host.view()->Navigate(LoginUrl());
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    HWND user = ChildOfClass(host.view()->hWnd(), L"Edit", 0);
    HWND password = ChildOfClass(host.view()->hWnd(), L"Edit", 1);
    HWND submit = ChildOfClass(host.view()->hWnd(), L"Button", 0);
    ASSERT_TRUE(user && password && submit);
    EXPECT_TRUE(::GetWindowLongW(password, GWL_STYLE) & ES_PASSWORD);
    ::SetWindowTextW(user, L"测试 a|b");
    ::SetWindowTextW(password, L"secret");
    ::SendMessageW(submit, BM_CLICK, 0, 0);

    // The post, its page, then the refresh to the start command with the game URL.
    ASSERT_TRUE(host.WaitFor(L"before", 3));
    const std::vector<Event>& e = host.events();
    EXPECT_EQ(e[3].text, Portal() + L"/pcLogin/login");
    const std::wstring command = L"app://loadgame|" + Portal() + L"/game/?account=%E6%B5%8B%E8%AF%95%20a%7Cb&session=";
    ASSERT_EQ(e.back().text.substr(0, command.size()), command);
    EXPECT_EQ(host.Count(L"complete"), 2u);
    const std::string log = webviewtest::PortalLog();
    EXPECT_NE(log.find("username=%E6%B5%8B%E8%AF%95+a%7Cb&password=secret"), std::string::npos) << log;

    // The game page knows the session from its address.
    host.view()->Navigate(e.back().text.substr(e.back().text.find(L'|') + 1));
    ASSERT_TRUE(host.WaitFor(L"complete", 3));
    auto* lite = dynamic_cast<browser::LiteWebView*>(host.view().get());
    ASSERT_TRUE(lite);
    EXPECT_NE(lite->DocumentText().find(L"已登录"), std::wstring::npos);
    EXPECT_EQ(host.events()[host.events().size() - 2].text, L"LumoraVeldan - 测试 a|b");
}

std::size_t Occurrences(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

int ChildCount(HWND parent, const wchar_t* cls)
{
    int n = 0;
    for (HWND child = nullptr; (child = ::FindWindowExW(parent, child, cls, nullptr));) ++n;
    return n;
}

// The answer to a wrong password is the same form again: it shows the new page's values, none of
// what was typed into the old one, and submits to where the new page says.
TEST(LiteWebView, TheSameFormOnTheNextPageStartsClean)
{
    Host host(kLite);
    ASSERT_TRUE(host.view()) << "the web view could not be created";
    host.view()->Navigate(LoginUrl());
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    HWND view = host.view()->hWnd();
    HWND user = ChildOfClass(view, L"Edit", 0);
    HWND password = ChildOfClass(view, L"Edit", 1);
    HWND submit = ChildOfClass(view, L"Button", 0);
    ASSERT_TRUE(user && password && submit);
    ::SetWindowTextW(user, L"玩家");
    ::SetWindowTextW(password, L"wrong");
    ::SendMessageW(password, EM_SETLIMITTEXT, 3, 0);  // as if the old page had allowed less
    ::SendMessageW(submit, BM_CLICK, 0, 0);
    ASSERT_TRUE(host.WaitFor(L"complete", 2));
    ASSERT_NE(dynamic_cast<browser::LiteWebView*>(host.view().get())->DocumentText().find(L"帐号或密码错误"),
              std::wstring::npos);

    EXPECT_EQ(ChildCount(view, L"Edit"), 2);
    EXPECT_EQ(ChildCount(view, L"Button"), 1);
    user = ChildOfClass(view, L"Edit", 0);
    password = ChildOfClass(view, L"Edit", 1);
    submit = ChildOfClass(view, L"Button", 0);
    EXPECT_EQ(driver::WindowText(user), L"玩家");  // the new page's value for the name
    EXPECT_EQ(driver::WindowText(password), L"");
    EXPECT_TRUE(::GetWindowLongW(password, GWL_STYLE) & ES_PASSWORD);
    EXPECT_FALSE(::GetWindowLongW(user, GWL_STYLE) & ES_PASSWORD);
    EXPECT_FALSE(::SendMessageW(password, EM_CANUNDO, 0, 0)) << "the old page's typing could be undone";
    EXPECT_EQ(::SendMessageW(password, EM_GETLIMITTEXT, 0, 0), 32);
    EXPECT_EQ(::SendMessageW(user, EM_GETLIMITTEXT, 0, 0), 32);
    EXPECT_EQ(driver::WindowText(submit), L"登录游戏");
    RECT field{};
    ::GetWindowRect(password, &field);
    EXPECT_GT(field.right - field.left, 50) << "the field was not placed";

    ::SetWindowTextW(password, L"right");
    ::SendMessageW(submit, BM_CLICK, 0, 0);
    ASSERT_TRUE(host.WaitFor(L"complete", 3));
    EXPECT_NE(webviewtest::PortalLog().find("username=%E7%8E%A9%E5%AE%B6&password=right"), std::string::npos);
    // A page without a form keeps none of the windows.
    EXPECT_EQ(ChildCount(view, L"Edit"), 0);
    EXPECT_EQ(ChildCount(view, L"Button"), 0);
}

// The engine keeps nothing in the system's disk cache: pages always come from the server, and
// images are kept in the process.
TEST(LiteWebView, PagesAndImagesStayOutOfTheDiskCache)
{
    Host host(kLite);
    ASSERT_TRUE(host.view()) << "the web view could not be created";
    host.view()->Navigate(LoginUrl());
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    for (const std::wstring& url : {LoginUrl(), Portal() + L"/static/logo.png"}) {
        DWORD size = 0;
        EXPECT_FALSE(::GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size));
        EXPECT_EQ(::GetLastError(), DWORD{ERROR_FILE_NOT_FOUND}) << "in the cache: " << std::string(url.begin(), url.end());
    }
    const std::size_t pages = Occurrences(webviewtest::PortalLog(), "\"/pcLogin/\"");
    host.view()->Navigate(LoginUrl());
    ASSERT_TRUE(host.WaitFor(L"complete", 2));
    EXPECT_EQ(Occurrences(webviewtest::PortalLog(), "\"/pcLogin/\""), pages + 1) << "the page was not fetched again";
}

TEST(LiteWebView, ContextMenuFollowsTheHandler)
{
    Host host(kLite);
    ASSERT_TRUE(host.view()) << "the web view could not be created";
    host.view()->Navigate(LoginUrl());
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    const POINT at = PagePoint(host, 200, 200);
    ::SendMessageW(host.view()->hWnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(host.view()->hWnd()),
                   MAKELPARAM(at.x, at.y));
    EXPECT_EQ(host.Count(L"menu"), 1u);
    driver::Pump(200);
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    EXPECT_FALSE(menu && ::IsWindowVisible(menu));
}

TEST(LiteWebView, FailedNavigationCompletesShortErrorPage)
{
    Host host(kLite);
    ASSERT_TRUE(host.view()) << "the web view could not be created";
    const std::wstring refused = L"http://127.0.0.1:9/pcLogin/";
    host.view()->Navigate(refused);
    ASSERT_TRUE(host.WaitFor(L"complete", 1, 20000));
    EXPECT_EQ(host.events().back().text, refused);
    const long length = host.view()->RootInnerHtmlLength();
    EXPECT_GT(length, 0);
    EXPECT_LT(length, 1500);
    // An address nobody can load (an uncancelled command) shows the same kind of page.
    host.cancelContaining.clear();
    host.view()->Navigate(L"app://exitgame");
    ASSERT_TRUE(host.WaitFor(L"complete", 2));
    EXPECT_LT(host.view()->RootInnerHtmlLength(), 1500);
    host.view()->Navigate(L"about:blank");
    ASSERT_TRUE(host.WaitFor(L"complete", 3));
    EXPECT_EQ(host.view()->RootInnerHtmlLength(), 26);
}

// Each event's handler resets the view and then reads what it captured: the handler must still
// be alive (it runs on a copy), and its captures must be released once the event has returned.
class ViewDestroyedInsideItsEvent : public ::testing::Test {
protected:
    struct Captures {
        lifetime::Canary canary;
        std::wstring text = std::wstring(200, L'c');
        std::shared_ptr<int> token;
        bool Intact() const { return canary.Alive() && text == std::wstring(200, L'c'); }
    };

    void SetUp() override { ASSERT_TRUE(host.view()) << "the web view could not be created"; }

    // Pumps until the view is gone, then lets the deferred deletion happen.
    void ExpectDestroyedCleanly()
    {
        EXPECT_TRUE(driver::PumpUntil([&] { return !host.view(); }, 15000));
        driver::Pump(300);  // a load that was never posted must not arrive anywhere
        EXPECT_EQ(ran, 1);
        EXPECT_TRUE(intact) << "the handler's captures were destroyed while it ran";
        EXPECT_EQ(token.use_count(), 1) << "the handler was not released after the event";
    }

    Host host{kLite};
    std::shared_ptr<int> token = std::make_shared<int>(0);
    int ran = 0;
    bool intact = false;
};

TEST_F(ViewDestroyedInsideItsEvent, BeforeNavigate)
{
    host.view()->events.beforeNavigate = [this, c = Captures{{}, std::wstring(200, L'c'), token}](
                                             const std::wstring&, bool, bool& cancel) {
        host.view().reset();
        cancel = false;
        ++ran;
        intact = c.Intact();
    };
    host.view()->Navigate(LoginUrl());
    EXPECT_FALSE(host.view());
    ExpectDestroyedCleanly();
}

TEST_F(ViewDestroyedInsideItsEvent, TitleChange)
{
    host.view()->events.titleChange = [this, c = Captures{{}, std::wstring(200, L'c'), token}](const std::wstring&) {
        host.view().reset();
        ++ran;
        intact = c.Intact();
    };
    host.view()->Navigate(LoginUrl());
    ExpectDestroyedCleanly();
}

TEST_F(ViewDestroyedInsideItsEvent, DocumentComplete)
{
    host.view()->events.documentComplete = [this, c = Captures{{}, std::wstring(200, L'c'), token}](
                                               const std::wstring&, bool) {
        host.view().reset();
        ++ran;
        intact = c.Intact();
    };
    host.view()->Navigate(LoginUrl());
    ExpectDestroyedCleanly();
}

TEST_F(ViewDestroyedInsideItsEvent, ContextMenu)
{
    host.view()->Navigate(LoginUrl());
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    host.view()->events.contextMenu = [this, c = Captures{{}, std::wstring(200, L'c'), token}] {
        host.view().reset();
        ++ran;
        intact = c.Intact();
        return true;  // no menu may follow from a destroyed view
    };
    HWND view = host.view()->hWnd();
    ::SendMessageW(view, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view), MAKELPARAM(10, 10));
    ExpectDestroyedCleanly();
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    EXPECT_FALSE(menu && ::IsWindowVisible(menu));
}

}  // namespace
