#pragma once
// A host window for one web view, an event recorder, and the demo portal the tests run against.

#include <windows.h>

#include <string>
#include <vector>

#include "browser/WebView.h"
#include "tests/driver/Driver.h"

namespace webviewtest {

using driver::Portal;
using driver::PortalLog;

struct Event {
    std::wstring kind;  // "before", "title", "complete", "menu"
    std::wstring text;
    bool topLevel = true;
};

// A visible top-level window at the screen's top-left with a view filling it. When the view
// cannot be created the test fails and view() is empty: assert it before using it.
class Host {
public:
    explicit Host(browser::WebViewEngine engine, int width = 920, int height = 625);
    ~Host();
    HWND hwnd() const { return m_hwnd; }
    browser::WebViewPtr& view() { return m_view; }
    std::vector<Event>& events() { return m_events; }
    // Navigations whose URL contains this text are cancelled (after being recorded).
    std::wstring cancelContaining = L"app://";
    bool allowContextMenu = false;
    // Download-complete events so far (kept apart from the browser's ordered events).
    int downloads = 0;

    // Pumps until `count` events of `kind` were recorded in total.
    bool WaitFor(const wchar_t* kind, std::size_t count, DWORD timeoutMs = 15000);
    std::size_t Count(const wchar_t* kind) const;

private:
    HWND m_hwnd = nullptr;
    browser::WebViewPtr m_view;
    std::vector<Event> m_events;
};

}  // namespace webviewtest
