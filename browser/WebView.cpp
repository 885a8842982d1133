#include "browser/WebView.h"

#include "browser/html/Url.h"
#include "browser/lite/LiteWebView.h"
#include "browser/lite/TextConvert.h"
#include "browser/mshtml/FeatureControls.h"
#include "browser/mshtml/MshtmlWebView.h"
#include "runtime/App.h"
#include "runtime/WindowEvents.h"

namespace browser {

WebView::WebView()
    : m_keyFilter([this](MSG& msg) { return !m_destroyPending && PreTranslate(msg); })
{
}

template <typename F>
bool WebView::Raise(F&& call)
{
    if (m_destroyPending) return false;
    const auto endEvent = [this] {
        --m_eventDepth;
        if (!m_destroyPending) return true;
        if (m_eventDepth == 0) {
            // Only now is no handler of ours running: their captures may go.
            events = {};
            DeleteAfterEvent();
        }
        return false;
    };
    ++m_eventDepth;
    try {
        call();
    } catch (...) {
        // A handler that throws has ended its event all the same; the engine's boundary catches.
        endEvent();
        throw;
    }
    return endEvent();
}

// Each handler is called through a copy: it may reset the view, and with it `events`, or
// replace itself while it runs.
bool WebView::RaiseBeforeNavigate(const std::wstring& url, bool topLevel, bool& cancel)
{
    return Raise([&, handler = events.beforeNavigate] {
        if (handler) handler(url, topLevel, cancel);
    });
}

bool WebView::RaiseTitleChange(const std::wstring& text)
{
    return Raise([&, handler = events.titleChange] {
        if (handler) handler(text);
    });
}

bool WebView::RaiseDocumentComplete(const std::wstring& url, bool topLevel)
{
    return Raise([&, handler = events.documentComplete] {
        if (handler) handler(url, topLevel);
    });
}

bool WebView::RaiseContextMenu(bool& allow)
{
    return Raise([&, handler = events.contextMenu] {
        if (handler) allow = handler();
    });
}

bool WebView::RaiseDownloadComplete()
{
    return Raise([handler = events.downloadComplete] {
        if (handler) handler();
    });
}

bool WebView::Allows(const std::wstring& url, NavigationKind kind) const
{
    const bool web = kind != NavigationKind::NewWindow || !WebOrigin(WideToUtf8(url)).empty();
    if (web && (!navigationFilter.allows || navigationFilter.allows(url, kind))) return true;
    static constexpr const wchar_t* kWhat[] = {L"a navigation", L"a frame", L"a new window"};
    // Only the start of what a page sent goes to the log.
    rt::App::LogEvent(std::wstring(L"WebView.Allows: refused ") + kWhat[static_cast<int>(kind)] + L" to " +
                      url.substr(0, 300));
    return false;
}

void WebView::Release()
{
    if (m_eventDepth == 0) {
        delete this;
        return;
    }
    // Inside one of our own events: the engine's code and the handler are still on the stack.
    m_destroyPending = true;
    Quiesce();
}

void WebViewDeleter::operator()(WebView* view) const
{
    if (view) view->Release();
}

WebViewEngine DefaultEngine()
{
    wchar_t value[32] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"CORVANE_WEBVIEW", value, 32);
    return ChooseEngine(n > 0 && n < 32 ? std::wstring_view(value, n) : std::wstring_view{}, rt::RunningUnderWine());
}

namespace {

WebViewMaker& Maker()
{
    static WebViewMaker maker;
    return maker;
}

}  // namespace

void SetWebViewMaker(WebViewMaker maker) { Maker() = std::move(maker); }

WebViewPtr CreateWebView(HWND parent, const RECT& rect)
{
    if (const WebViewMaker maker = Maker()) return maker(parent, rect);
    return CreateWebView(parent, rect, DefaultEngine());
}

WebViewPtr CreateWebView(HWND parent, const RECT& rect, WebViewEngine engine)
{
    // Before the first system control, whichever engine this view uses.
    HardenBrowserControlOnce();
    if (engine == WebViewEngine::Mshtml) return MshtmlWebView::Create(parent, rect);
    return LiteWebView::Create(parent, rect);
}

}  // namespace browser
