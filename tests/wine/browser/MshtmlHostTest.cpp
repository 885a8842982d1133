// The system control's host driven with a stand-in control (Wine has no HTML engine here):
// events as the control raises them, with by-reference arguments, frames told from the top level
// by COM identity and held to the host's rule for frames, events with unexpected arguments
// cancelled, new windows and window closing refused, pop-ups opened in place only to web
// addresses and only for the page itself, handlers that throw or destroy the view, keys through
// the program's loop to the control's active object, the browser shortcuts swallowed, UI
// activation on focus, the refreshed document reported, and a teardown on WM_DESTROY that leaves
// no reference behind.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <exdispid.h>
#include <mshtmdid.h>
#include <mshtmhst.h>
#include <olectl.h>

#include <stdexcept>
#include <utility>

#include "browser/mshtml/MshtmlWebView.h"
#include "runtime/App.h"
#include "tests/driver/Driver.h"
#include "tests/wine/browser/FakeBrowserControl.h"
#include "tests/wine/browser/WebViewTestSupport.h"

namespace {

using webviewtest::Event;
using webviewtest::FakeActiveObject;
using webviewtest::FakeControl;
using webviewtest::RaiseEvent;

template <typename Set>
VARIANT Variant(VARTYPE type, Set set)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = type;
    set(v);
    return v;
}

VARIANT Dispatch(IDispatch* d) { return Variant(VT_DISPATCH, [&](VARIANT& v) { v.pdispVal = d; }); }
VARIANT ByRef(VARIANT* target) { return Variant(VT_VARIANT | VT_BYREF, [&](VARIANT& v) { v.pvarVal = target; }); }
VARIANT BoolRef(VARIANT_BOOL* flag) { return Variant(VT_BOOL | VT_BYREF, [&](VARIANT& v) { v.pboolVal = flag; }); }
VARIANT Text(BSTR text) { return Variant(VT_BSTR, [&](VARIANT& v) { v.bstrVal = text; }); }
VARIANT Long(long n) { return Variant(VT_I4, [&](VARIANT& v) { v.lVal = n; }); }

// A BSTR owned for the length of a test.
struct Bstr {
    explicit Bstr(const wchar_t* text) : value(::SysAllocString(text)) {}
    ~Bstr() { ::SysFreeString(value); }
    BSTR value;
};

// A visible parent with a host view whose control is the stand-in; the events are recorded.
class FakeHost {
public:
    FakeHost()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MshtmlHostTestParent";
        ::RegisterClassW(&wc);
        parent = ::CreateWindowExW(0, wc.lpszClassName, L"host test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400,
                                   300, nullptr, nullptr, wc.hInstance, nullptr);
        view = browser::MshtmlWebView::Create(parent, RECT{0, 0, 400, 300}, [this](IOleObject** out) {
            control.AddRef();
            *out = &control;
            return S_OK;
        });
        if (!view) return;
        view->events.beforeNavigate = [this](const std::wstring& url, bool top, bool& cancel) {
            events.push_back({L"before", url, top});
            if (url.find(L"app://") != std::wstring::npos) cancel = true;
        };
        view->events.titleChange = [this](const std::wstring& text) { events.push_back({L"title", text, true}); };
        view->events.documentComplete = [this](const std::wstring& url, bool top) {
            events.push_back({L"complete", url, top});
        };
    }
    ~FakeHost()
    {
        view.reset();
        driver::Pump(50);  // deferred work of the host runs while the stand-ins still live
        if (::IsWindow(parent)) ::DestroyWindow(parent);
    }

    HRESULT BeforeNavigate(IDispatch* frame, const wchar_t* url, VARIANT_BOOL* cancel)
    {
        Bstr text(url);
        VARIANT target = Text(text.value), empty, flags = Long(0);
        ::VariantInit(&empty);
        return RaiseEvent(control.Sink(), DISPID_BEFORENAVIGATE2,
                          {Dispatch(frame), ByRef(&target), ByRef(&flags), ByRef(&empty), ByRef(&empty), ByRef(&empty),
                           BoolRef(cancel)});
    }
    HRESULT DocumentComplete(IDispatch* frame, const wchar_t* url)
    {
        Bstr text(url);
        VARIANT target = Text(text.value);
        return RaiseEvent(control.Sink(), DISPID_DOCUMENTCOMPLETE, {Dispatch(frame), ByRef(&target)});
    }
    HRESULT Title(const wchar_t* title)
    {
        Bstr text(title);
        return RaiseEvent(control.Sink(), DISPID_TITLECHANGE, {Text(text.value)});
    }
    IDispatch* Top() { return &control.tearOff; }  // the control itself, through another pointer

    FakeControl control;  // declared first: it outlives the view
    HWND parent = nullptr;
    browser::WebViewPtr view;
    std::vector<Event> events;
};

TEST(MshtmlHost, EventsWithByRefArgumentsAndFramesByIdentity)
{
    FakeHost host;
    ASSERT_TRUE(host.view);
    ASSERT_TRUE(host.control.Sink());
    EXPECT_EQ(host.control.verbs, (std::vector<LONG>{OLEIVERB_INPLACEACTIVATE}));
    EXPECT_EQ(host.control.dropTarget, VARIANT_FALSE);

    // The top level, reached through a pointer other than the IWebBrowser2 the host holds.
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(host.BeforeNavigate(host.Top(), L"app://minimize", &cancel), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    // A frame: another browser object.
    FakeControl frame;
    cancel = VARIANT_FALSE;
    host.BeforeNavigate(static_cast<IWebBrowser2*>(&frame), L"http://portal.test/ad.html", &cancel);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    host.DocumentComplete(static_cast<IWebBrowser2*>(&frame), L"http://portal.test/ad.html");
    host.Title(L"LumoraVeldan 登录");
    host.DocumentComplete(host.Top(), L"http://portal.test/pcLogin/");
    const std::vector<Event>& e = host.events;
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0].text, L"app://minimize");
    EXPECT_TRUE(e[0].topLevel);
    EXPECT_EQ(e[1].text, L"http://portal.test/ad.html");
    EXPECT_FALSE(e[1].topLevel);
    EXPECT_FALSE(e[2].topLevel);
    EXPECT_EQ(e[3].kind, L"title");
    EXPECT_EQ(e[3].text, L"LumoraVeldan 登录");
    EXPECT_TRUE(e[4].topLevel);
    EXPECT_EQ(frame.refs, 1u);

    // Ambient properties and events nobody handles are not answered with an empty success;
    // malformed events are ignored.
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    ::VariantInit(&result);
    EXPECT_EQ(host.control.Sink()->Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result,
                                          nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(host.control.Sink()->Invoke(DISPID_AMBIENT_USERAGENT, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result,
                                          nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(RaiseEvent(host.control.Sink(), DISPID_STATUSTEXTCHANGE, {Long(1)}), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(host.control.Sink()->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                                          nullptr, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(RaiseEvent(host.control.Sink(), DISPID_BEFORENAVIGATE2, {Long(1), Long(2)}), S_OK);
    EXPECT_EQ(RaiseEvent(host.control.Sink(), DISPID_DOCUMENTCOMPLETE, {Long(1), Long(2)}), S_OK);
    EXPECT_EQ(host.events.size(), 5u);
}

TEST(MshtmlHost, NewWindowsAndWindowClosingAreRefused)
{
    FakeHost host;
    ASSERT_TRUE(host.view);
    IDispatch* newWindow = nullptr;
    const VARIANT windowRef = Variant(VT_DISPATCH | VT_BYREF, [&](VARIANT& v) { v.ppdispVal = &newWindow; });

    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(RaiseEvent(host.control.Sink(), DISPID_NEWWINDOW2, {windowRef, BoolRef(&cancel)}), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);

    // window.open and target=_blank: refused as a window, opened here through before-navigation.
    Bstr url(L"http://portal.test/news/1.html");
    Bstr context(L"http://portal.test/pcLogin/");
    cancel = VARIANT_FALSE;
    EXPECT_EQ(RaiseEvent(host.control.Sink(), DISPID_NEWWINDOW3,
                         {windowRef, BoolRef(&cancel), Long(0), Text(context.value), Text(url.value)}),
              S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_TRUE(host.control.navigations.empty());  // not from inside the control's event
    driver::PumpUntil([&] { return !host.control.navigations.empty(); }, 2000);
    EXPECT_EQ(host.control.navigations, (std::vector<std::wstring>{L"http://portal.test/news/1.html"}));

    const VARIANT isChild = Variant(VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_FALSE; });
    cancel = VARIANT_FALSE;
    EXPECT_EQ(RaiseEvent(host.control.Sink(), DISPID_WINDOWCLOSING, {isChild, BoolRef(&cancel)}), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_EQ(newWindow, nullptr);
}

// A page's script sends its view, or a window of its own, to a file or a share: with the host's
// filter set (as a game page sets the game-URL rule), neither goes anywhere and the host hears
// nothing; what the rule allows goes on as before.
TEST(MshtmlHost, TheHostsFilterRefusesNewWindowsAndNavigationsItDoesNotAllow)
{
    std::vector<std::wstring> logged;
    rt::App::SetLogSink([&](const std::wstring& text) { logged.push_back(text); });
    const auto webOnly = [](const std::wstring& url) {
        return url.rfind(L"http://", 0) == 0 || url.rfind(L"https://", 0) == 0 || url == L"about:blank";
    };
    const wchar_t* const refused[] = {L"file:///C:/Windows/win.ini", L"file://host/share/x.html", L"\\\\host\\share",
                                      L"FILE://HOST/SHARE", L"javascript:alert(1)"};
    for (const bool topLevelToo : {true, false}) {
        FakeHost host;
        ASSERT_TRUE(host.view);
        host.view->navigationFilter = {[&](const std::wstring& url, browser::NavigationKind kind) {
            return (kind == browser::NavigationKind::TopLevel && !topLevelToo) || webOnly(url);
        }};
        IDispatch* newWindow = nullptr;
        const VARIANT windowRef = Variant(VT_DISPATCH | VT_BYREF, [&](VARIANT& v) { v.ppdispVal = &newWindow; });
        Bstr context(L"http://portal.test/game/");
        // window.open(url) and target=_blank: never opened, in either mode.
        for (const wchar_t* url : refused) {
            Bstr target(url);
            VARIANT_BOOL cancel = VARIANT_FALSE;
            EXPECT_EQ(RaiseEvent(host.control.Sink(), DISPID_NEWWINDOW3,
                                 {windowRef, BoolRef(&cancel), Long(0), Text(context.value), Text(target.value)}),
                      S_OK);
            EXPECT_EQ(cancel, VARIANT_TRUE) << "no window of the control's own either";
        }
        // location = url: cancelled before the host hears of it when top-level navigations are
        // filtered; otherwise the host decides, as before. A frame's (an <iframe>'s) always is.
        FakeControl frame;
        for (const wchar_t* url : refused) {
            VARIANT_BOOL cancel = VARIANT_FALSE, frameCancel = VARIANT_FALSE;
            host.BeforeNavigate(host.Top(), url, &cancel);
            host.BeforeNavigate(static_cast<IWebBrowser2*>(&frame), url, &frameCancel);
            EXPECT_EQ(cancel, topLevelToo ? VARIANT_TRUE : VARIANT_FALSE) << driver::WideToUtf8(url);
            EXPECT_EQ(frameCancel, VARIANT_TRUE) << driver::WideToUtf8(url);
        }
        VARIANT_BOOL cancel = VARIANT_FALSE;
        host.BeforeNavigate(static_cast<IWebBrowser2*>(&frame), L"about:blank", &cancel);
        EXPECT_EQ(cancel, VARIANT_FALSE);
        // Allowed addresses go on: a new window opens here, a navigation reaches the host.
        Bstr allowed(L"http://portal.test/news/2.html");
        cancel = VARIANT_FALSE;
        RaiseEvent(host.control.Sink(), DISPID_NEWWINDOW3,
                   {windowRef, BoolRef(&cancel), Long(0), Text(context.value), Text(allowed.value)});
        EXPECT_TRUE(driver::PumpUntil([&] { return !host.control.navigations.empty(); }, 2000));
        driver::Pump(100);
        EXPECT_EQ(host.control.navigations, (std::vector<std::wstring>{L"http://portal.test/news/2.html"}));
        cancel = VARIANT_FALSE;
        host.BeforeNavigate(host.Top(), L"about:blank", &cancel);
        EXPECT_EQ(cancel, VARIANT_FALSE);

        std::vector<std::wstring> heard;
        for (const Event& e : host.events) heard.push_back(e.text);
        std::vector<std::wstring> expected;
        if (!topLevelToo) expected.assign(std::begin(refused), std::end(refused));
        expected.push_back(L"about:blank");
        expected.push_back(L"about:blank");
        EXPECT_EQ(heard, expected);
        EXPECT_EQ(newWindow, nullptr);
    }
    // Each refusal is logged, with the address.
    ASSERT_EQ(logged.size(), 5u * 2 + 5u + 5u * 2);
    EXPECT_EQ(logged[0], L"WebView.Allows: refused a new window to file:///C:/Windows/win.ini");
    EXPECT_EQ(logged[5], L"WebView.Allows: refused a navigation to file:///C:/Windows/win.ini");
    EXPECT_EQ(logged[6], L"WebView.Allows: refused a frame to file:///C:/Windows/win.ini");
    rt::App::SetLogSink(nullptr);
}

// A window a page asks for opens in the page's place: whatever the host's rule (here none), a web
// address only (script there would run as the page), and only when the page itself asked, not a
// frame of another origin (an advertisement). Refused ones are logged.
TEST(MshtmlHost, PopUpsOpenOnlyWebAddressesForThePageItself)
{
    std::vector<std::wstring> logged;
    rt::App::SetLogSink([&](const std::wstring& text) { logged.push_back(text); });
    FakeHost host;  // at http://portal.test/game/
    ASSERT_TRUE(host.view);
    IDispatch* newWindow = nullptr;
    const VARIANT windowRef = Variant(VT_DISPATCH | VT_BYREF, [&](VARIANT& v) { v.ppdispVal = &newWindow; });
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {  // the address, and the opener's
        {L"javascript:alert(document.cookie)", L"http://portal.test/game/"},
        {L"about:blank", L"http://portal.test/game/"},
        {L"http://portal.test/news/5.html", L"http://ads.example/banner.html"},
        {L"http://portal.test/news/5.html", L""},
        {L"http://portal.test/news/6.html", L"HTTP://Portal.Test:80/game/frame.html"},
    };
    for (const auto& [url, opener] : cases) {
        Bstr target(url), context(opener);
        VARIANT_BOOL cancel = VARIANT_FALSE;
        RaiseEvent(host.control.Sink(), DISPID_NEWWINDOW3,
                   {windowRef, BoolRef(&cancel), Long(0), Text(context.value), Text(target.value)});
        EXPECT_EQ(cancel, VARIANT_TRUE);
        rt::App::DoEvents();  // the view's posted navigation, if any, before the next window
    }
    rt::App::SetLogSink(nullptr);
    EXPECT_EQ(host.control.navigations, (std::vector<std::wstring>{L"http://portal.test/news/6.html"}));
    EXPECT_EQ(logged.size(), 4u);
}

// Events whose arguments are not what the control passes are cancelled, never let through (each
// Boolean they pass by reference is their Cancel), and the host hears nothing of them.
TEST(MshtmlHost, EventsWithUnexpectedArgumentsAreCancelled)
{
    FakeHost host;
    ASSERT_TRUE(host.view);
    Bstr text(L"http://portal.test/news/7.html");
    VARIANT url = Text(text.value);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    const auto before = [&](VARIANT frame, VARIANT target, VARIANT cancelArg) {
        return std::vector<VARIANT>{frame, target, Long(0), Long(0), Long(0), Long(0), cancelArg};
    };
    const std::pair<DISPID, std::vector<VARIANT>> cases[] = {
        {DISPID_BEFORENAVIGATE2, {ByRef(&url), BoolRef(&cancel)}},
        {DISPID_BEFORENAVIGATE2, before(Dispatch(host.Top()), Long(7), BoolRef(&cancel))},  // no address
        {DISPID_BEFORENAVIGATE2, before(Long(1), ByRef(&url), BoolRef(&cancel))},          // no frame
        {DISPID_NEWWINDOW3, {BoolRef(&cancel), Long(0), ByRef(&url), ByRef(&url)}},
        {DISPID_NEWWINDOW2, {BoolRef(&cancel)}},
        {DISPID_WINDOWCLOSING, {Long(0), BoolRef(&cancel), Long(1)}},
    };
    for (const auto& [id, args] : cases) {
        cancel = VARIANT_FALSE;
        RaiseEvent(host.control.Sink(), id, args);
        EXPECT_EQ(cancel, VARIANT_TRUE) << id;
    }
    // A Cancel that is no Boolean cannot be set; the navigation is not reported either.
    RaiseEvent(host.control.Sink(), DISPID_BEFORENAVIGATE2, before(Dispatch(host.Top()), ByRef(&url), Long(0)));
    rt::App::DoEvents();
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(host.control.navigations.empty());
}

TEST(MshtmlHost, HandlersThatThrowOrDestroyTheView)
{
    std::vector<std::wstring> logged;
    rt::App::SetLogSink([&](const std::wstring& text) { logged.push_back(text); });
    {
        FakeHost host;
        ASSERT_TRUE(host.view);
        host.view->events.titleChange = [](const std::wstring&) { throw std::runtime_error("handler failed"); };
        EXPECT_TRUE(FAILED(host.Title(L"boom")));
        ASSERT_EQ(logged.size(), 1u);
        EXPECT_EQ(logged[0], L"MshtmlSite.Invoke: handler failed");
        // The view carries on: events arrive, and it can still go.
        VARIANT_BOOL cancel = VARIANT_FALSE;
        host.BeforeNavigate(host.Top(), L"app://exitgame", &cancel);
        EXPECT_EQ(cancel, VARIANT_TRUE);
        host.view.reset();
        driver::Pump(50);
        EXPECT_EQ(host.control.closes, 1);
        EXPECT_EQ(host.control.refs, 1u);
    }
    {
        // One that drops the view and then throws: the view still goes, after the event.
        FakeHost host;
        ASSERT_TRUE(host.view);
        host.view->events.titleChange = [&](const std::wstring&) {
            host.view.reset();
            throw std::runtime_error("thrown after the reset");
        };
        EXPECT_TRUE(FAILED(host.Title(L"boom")));
        EXPECT_EQ(logged.back(), L"MshtmlSite.Invoke: thrown after the reset");
        EXPECT_EQ(host.control.closes, 0);
        EXPECT_TRUE(driver::PumpUntil([&] { return host.control.refs == 1; }, 2000));
        EXPECT_EQ(host.control.closes, 1);
    }
    rt::App::SetLogSink(nullptr);

    // A handler that drops the view: the control is stopped at once but closed and released only
    // after its event has returned, with the cancel it asked for.
    FakeHost host;
    ASSERT_TRUE(host.view);
    host.view->events.beforeNavigate = [&](const std::wstring&, bool, bool& cancel) {
        cancel = true;
        host.view.reset();
    };
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(host.BeforeNavigate(host.Top(), L"app://loadgame|http://portal.test/game/", &cancel), S_OK);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    EXPECT_FALSE(host.view);
    EXPECT_EQ(host.control.stops, 1);
    EXPECT_EQ(host.control.closes, 0);
    EXPECT_TRUE(driver::PumpUntil([&] { return host.control.refs == 1; }, 2000));
    EXPECT_EQ(host.control.closes, 1);
    EXPECT_EQ(host.control.site, nullptr);
    EXPECT_EQ(host.control.sink, nullptr);

    // A handler that destroys the window holding the view: the control leaves after the event too.
    FakeHost second;
    ASSERT_TRUE(second.view);
    second.view->events.documentComplete = [&](const std::wstring&, bool) { ::DestroyWindow(second.parent); };
    second.DocumentComplete(second.Top(), L"http://portal.test/");
    EXPECT_FALSE(::IsWindow(second.parent));
    EXPECT_EQ(second.control.closes, 0);
    EXPECT_TRUE(driver::PumpUntil([&] { return second.control.refs == 1; }, 2000));
    EXPECT_EQ(second.control.closes, 1);
    second.view.reset();  // the window is gone; the object goes quietly
    EXPECT_EQ(second.control.closes, 1);
}

// Records the keys the view's own window procedure receives.
LRESULT CALLBACK RecordKeys(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) reinterpret_cast<std::vector<UINT>*>(data)->push_back(msg);
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

TEST(MshtmlHost, KeysReachTheActiveObjectThroughTheProgramsLoop)
{
    FakeHost host;
    ASSERT_TRUE(host.view);
    FakeActiveObject active;
    host.control.activeOnUiActivate = &active;
    const HWND view = host.view->hWnd();
    std::vector<UINT> dispatched;
    ::SetWindowSubclass(view, &RecordKeys, 1, reinterpret_cast<DWORD_PTR>(&dispatched));

    // Focus UI-activates the control, which announces its active object; the host keeps it.
    ::SetFocus(view);
    EXPECT_EQ(host.control.verbs.back(), OLEIVERB_UIACTIVATE);
    EXPECT_EQ(active.refs, 2u);

    // A key the control does not take is translated and dispatched as usual; its character is
    // offered too...
    ::PostMessageW(view, WM_KEYDOWN, VK_TAB, 1);
    rt::App::DoEvents();
    ASSERT_EQ(active.offered.size(), 2u);
    EXPECT_EQ(active.offered[0].wParam, static_cast<WPARAM>(VK_TAB));
    EXPECT_EQ(active.offered[1].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(dispatched, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));
    // ...one it takes (S_OK) is neither translated nor dispatched.
    active.answer = S_OK;
    ::PostMessageW(view, WM_KEYDOWN, 'C', 1);
    ::PostMessageW(view, WM_KEYUP, 'C', 0xC0000001);
    rt::App::DoEvents();
    EXPECT_EQ(active.offered.size(), 4u);
    EXPECT_EQ(dispatched.size(), 2u);
    // Keys of other windows are not the control's business.
    ::PostMessageW(host.parent, WM_KEYDOWN, 'D', 1);
    rt::App::DoEvents();
    EXPECT_EQ(active.offered.size(), 4u);

    // The host's UI handler swallows the browser's own shortcuts, and only those.
    IDocHostUIHandler* handler = nullptr;
    ASSERT_EQ(host.control.site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler)), S_OK);
    const auto translate = [&](WPARAM vk, bool ctrl) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        ::SetKeyboardState(keys);
        MSG msg{host.view->hWnd(), WM_KEYDOWN, vk, 1, 0, {}};
        const HRESULT hr = handler->TranslateAccelerator(&msg, nullptr, 0);
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
        return hr;
    };
    EXPECT_EQ(translate(VK_F5, false), S_OK);
    EXPECT_EQ(translate(VK_F11, false), S_OK);
    EXPECT_EQ(translate('N', true), S_OK);
    EXPECT_EQ(translate('P', true), S_OK);
    EXPECT_EQ(translate('N', false), S_FALSE);
    EXPECT_EQ(translate('C', true), S_FALSE);
    EXPECT_EQ(translate(VK_TAB, false), S_FALSE);
    handler->Release();

    // Withdrawn by the control: released at once.
    IOleInPlaceFrame* frame = nullptr;
    ASSERT_EQ(host.control.site->QueryInterface(IID_IOleInPlaceFrame, reinterpret_cast<void**>(&frame)), S_OK);
    frame->SetActiveObject(nullptr, nullptr);
    frame->Release();
    EXPECT_EQ(active.refs, 1u);
    ::PostMessageW(view, WM_KEYDOWN, 'E', 1);
    rt::App::DoEvents();
    EXPECT_EQ(active.offered.size(), 4u);
    ::RemoveWindowSubclass(view, &RecordKeys, 1);
}

TEST(MshtmlHost, TeardownOnWindowDestructionLeavesNoReferences)
{
    FakeHost host;
    ASSERT_TRUE(host.view);
    FakeActiveObject active;
    host.control.activeOnUiActivate = &active;
    ::SetFocus(host.view->hWnd());
    ASSERT_EQ(active.refs, 2u);
    IOleClientSite* site = host.control.site;
    ASSERT_TRUE(site);
    site->AddRef();

    ::DestroyWindow(host.parent);
    EXPECT_EQ(host.control.closes, 1);
    EXPECT_EQ(host.control.unadvises, 1);
    EXPECT_EQ(host.control.site, nullptr);
    EXPECT_EQ(host.control.sink, nullptr);
    EXPECT_EQ(host.control.refs, 1u);
    EXPECT_EQ(active.refs, 1u);

    // What is left of the site answers soundly, with every out-parameter set.
    HWND hwnd = reinterpret_cast<HWND>(1);
    IOleInPlaceSite* inPlace = nullptr;
    ASSERT_EQ(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)), S_OK);
    EXPECT_EQ(inPlace->GetWindow(&hwnd), E_FAIL);
    EXPECT_EQ(hwnd, nullptr);
    IOleInPlaceFrame* frame = reinterpret_cast<IOleInPlaceFrame*>(1);
    IOleInPlaceUIWindow* doc = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    RECT pos{1, 2, 3, 4}, clip{1, 2, 3, 4};
    OLEINPLACEFRAMEINFO info{sizeof(info)};
    EXPECT_EQ(inPlace->GetWindowContext(&frame, &doc, &pos, &clip, &info), E_FAIL);
    EXPECT_EQ(frame, nullptr);
    EXPECT_EQ(doc, nullptr);
    EXPECT_TRUE(::IsRectEmpty(&pos));
    EXPECT_EQ(inPlace->CanInPlaceActivate(), S_FALSE);
    inPlace->Release();
    IDocHostUIHandler* handler = nullptr;
    ASSERT_EQ(site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler)), S_OK);
    EXPECT_EQ(handler->ShowContextMenu(0, nullptr, nullptr, nullptr), S_OK);  // no menu of a gone view
    handler->Release();
    EXPECT_EQ(site->Release(), 0u);  // the test held the last reference

    host.view.reset();
    EXPECT_EQ(host.control.closes, 1);
    EXPECT_TRUE(host.events.empty());
}

TEST(MshtmlHost, RefreshReportsTheDocumentOnceItIsComplete)
{
    FakeHost host;
    ASSERT_TRUE(host.view);
    // A download completing without a refresh is the control's business alone.
    EXPECT_EQ(RaiseEvent(host.control.Sink(), DISPID_DOWNLOADCOMPLETE, {}), S_OK);
    EXPECT_TRUE(host.events.empty());

    host.view->Refresh();
    EXPECT_EQ(host.control.refreshes, 1);
    host.control.readyState = READYSTATE_INTERACTIVE;
    RaiseEvent(host.control.Sink(), DISPID_DOWNLOADCOMPLETE, {});
    EXPECT_TRUE(host.events.empty());
    host.control.readyState = READYSTATE_COMPLETE;
    RaiseEvent(host.control.Sink(), DISPID_DOWNLOADCOMPLETE, {});
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].kind, L"complete");
    EXPECT_EQ(host.events[0].text, L"http://portal.test/game/");
    EXPECT_TRUE(host.events[0].topLevel);
    RaiseEvent(host.control.Sink(), DISPID_DOWNLOADCOMPLETE, {});
    EXPECT_EQ(host.events.size(), 1u);

    // A control that reports the refreshed document itself is not reported twice.
    host.view->Refresh();
    host.DocumentComplete(host.Top(), L"http://portal.test/game/");
    RaiseEvent(host.control.Sink(), DISPID_DOWNLOADCOMPLETE, {});
    EXPECT_EQ(host.events.size(), 2u);
}

}  // namespace
