#include "tests/wine/browser/WebViewTestSupport.h"

#include <gtest/gtest.h>

#include "tests/driver/Driver.h"

namespace webviewtest {

Host::Host(browser::WebViewEngine engine, int width, int height)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WebViewTestHost";
    ::RegisterClassW(&wc);
    m_hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"web view test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                               width, height, nullptr, nullptr, wc.hInstance, nullptr);
    m_view = browser::CreateWebView(m_hwnd, RECT{0, 0, width, height}, engine);
    // Tests assert the view before using it; this names the cause in the report.
    if (!m_view) {
        ADD_FAILURE() << "the web view could not be created";
        return;
    }
    m_view->events.beforeNavigate = [this](const std::wstring& url, bool top, bool& cancel) {
        m_events.push_back({L"before", url, top});
        if (!cancelContaining.empty() && url.find(cancelContaining) != std::wstring::npos) cancel = true;
    };
    m_view->events.titleChange = [this](const std::wstring& text) { m_events.push_back({L"title", text, true}); };
    m_view->events.documentComplete = [this](const std::wstring& url, bool top) {
        m_events.push_back({L"complete", url, top});
    };
    m_view->events.downloadComplete = [this] { ++downloads; };
    m_view->events.contextMenu = [this] {
        m_events.push_back({L"menu", L"", true});
        return allowContextMenu;
    };
}

Host::~Host()
{
    m_view.reset();
    if (m_hwnd) ::DestroyWindow(m_hwnd);
}

std::size_t Host::Count(const wchar_t* kind) const
{
    std::size_t n = 0;
    for (const auto& e : m_events) n += e.kind == kind;
    return n;
}

bool Host::WaitFor(const wchar_t* kind, std::size_t count, DWORD timeoutMs)
{
    return driver::PumpUntil([&] { return Count(kind) >= count; }, timeoutMs);
}

namespace {

class RecordingView final : public browser::WebView {
public:
    RecordingView(HWND parent, const RECT& r, int index, std::shared_ptr<std::vector<RecordedViews::Call>> calls)
        : m_hwnd(::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                                   r.bottom - r.top, parent, nullptr, ::GetModuleHandleW(nullptr), nullptr)),
          m_index(index),
          m_calls(std::move(calls))
    {
    }
    ~RecordingView() override { ::DestroyWindow(m_hwnd); }
    browser::WebViewEngine Engine() const override { return browser::WebViewEngine::Lite; }
    HWND hWnd() const override { return m_hwnd; }
    void Move(int x, int y, int width, int height) override { ::MoveWindow(m_hwnd, x, y, width, height, TRUE); }
    void Navigate(const std::wstring& url) override { m_calls->push_back({m_index, url}); }
    void Refresh() override { m_calls->push_back({m_index, L"refresh"}); }
    std::wstring DocumentUrl() const override { return L""; }
    long RootInnerHtmlLength() const override { return -1; }
    bool SetRootOverflow(const std::wstring&) override { return false; }

private:
    HWND m_hwnd;
    int m_index;
    std::shared_ptr<std::vector<RecordedViews::Call>> m_calls;
};

}  // namespace

RecordedViews::RecordedViews()
{
    browser::SetWebViewMaker([this](HWND parent, const RECT& rect) {
        return browser::WebViewPtr(new RecordingView(parent, rect, m_made++, m_calls));
    });
}

RecordedViews::~RecordedViews() { browser::SetWebViewMaker({}); }

}  // namespace webviewtest
