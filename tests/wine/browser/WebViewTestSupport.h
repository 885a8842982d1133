#pragma once
// A host window for one web view, an event recorder, and the demo portal the tests run against.

#include <windows.h>

#include <memory>
#include <ostream>
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

// While it lives, the views the forms make are stand-ins (a plain child window each) that record
// the navigations and refreshes asked of them, in order, across views.
class RecordedViews {
public:
    struct Call {
        int view;           // the views in the order they were made, from 0
        std::wstring what;  // the URL navigated to, or "refresh"
        bool operator==(const Call&) const = default;
    };
    RecordedViews();
    ~RecordedViews();
    RecordedViews(const RecordedViews&) = delete;
    RecordedViews& operator=(const RecordedViews&) = delete;
    const std::vector<Call>& Calls() const { return *m_calls; }
    int Made() const { return m_made; }

private:
    // Shared with the views, which may outlive the recording in a form the test leaves open.
    std::shared_ptr<std::vector<Call>> m_calls = std::make_shared<std::vector<Call>>();
    int m_made = 0;
};

inline void PrintTo(const RecordedViews::Call& call, std::ostream* out)
{
    *out << "view " << call.view << ": " << driver::WideToUtf8(call.what);
}

}  // namespace webviewtest
