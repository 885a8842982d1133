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

}  // namespace webviewtest
