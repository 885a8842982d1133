#pragma once
// The web view seam: a child window showing web pages, with exactly what the forms use of a
// browser control. Two engines stand behind it (the system's IWebBrowser2 and a built-in one).
//
// Events come on the GUI thread in a browser's order: before-navigation, then title-change once
// the title is known, then document-complete. A handler may destroy the view from inside its own
// event (reset the WebViewPtr): the view then goes quiet at once and is deleted when the event
// has returned.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "browser/EngineChoice.h"
#include "browser/Navigation.h"
#include "runtime/MessageFilter.h"

namespace browser {

struct WebViewEvents {
    // Every navigation, top level or frame; set `cancel` to stop it and keep the current page.
    std::function<void(const std::wstring& url, bool topLevel, bool& cancel)> beforeNavigate;
    std::function<void(const std::wstring& text)> titleChange;
    std::function<void(const std::wstring& url, bool topLevel)> documentComplete;
    // The built-in engine only, after document-complete: every image of the page has arrived or
    // been given up. (The system control completes a document only after its images.)
    std::function<void()> downloadComplete;
    // The document's context-menu event: return false to refuse the menu.
    std::function<bool()> contextMenu;
};

// Where a page may take its view, as its host rules it. The engines ask it before
// before-navigation, for every navigation: the page's own, its frames', and every window the page
// asks for. A refused address goes nowhere and raises no event; it is logged.
//
// One rule holds before the host's, in every engine: a window the page asks for opens in the
// page's place, so it opens only a web address (script there would run as the page), and only
// when the page itself asked (not a frame of another origin, such as an advertisement).
struct NavigationFilter {
    std::function<bool(const std::wstring& url, NavigationKind kind)> allows;  // empty: every address
};

class WebView {
public:
    WebView(const WebView&) = delete;
    WebView& operator=(const WebView&) = delete;

    virtual WebViewEngine Engine() const = 0;
    virtual HWND hWnd() const = 0;
    // Places the view in its parent's client area, pixels.
    virtual void Move(int x, int y, int width, int height) = 0;
    virtual void Navigate(const std::wstring& url) = 0;
    // Reloads the current page from the server.
    virtual void Refresh() = 0;

    // The current document's address ("" before the first document).
    virtual std::wstring DocumentUrl() const = 0;
    // Length in characters of the root element's inner HTML; -1 without a document.
    virtual long RootInnerHtmlLength() const = 0;
    // Sets the root element's style `overflow` ("hidden" removes the scroll bars).
    virtual bool SetRootOverflow(const std::wstring& value) = 0;

    // The program's message loops offer keyboard messages here before translating them, for as
    // long as the view lives. True when the page took the key (the loop then drops it).
    virtual bool PreTranslate(MSG& /*msg*/) { return false; }

    WebViewEvents events;
    NavigationFilter navigationFilter;

protected:
    WebView();
    virtual ~WebView() = default;

    // Raise events only through these. They return false when the handler destroyed the view:
    // the caller must then return at once without touching any member.
    bool RaiseBeforeNavigate(const std::wstring& url, bool topLevel, bool& cancel);
    bool RaiseTitleChange(const std::wstring& text);
    bool RaiseDocumentComplete(const std::wstring& url, bool topLevel);
    bool RaiseContextMenu(bool& allow);
    bool RaiseDownloadComplete();
    bool Destroyed() const { return m_destroyPending; }
    // Whether the rules above let a navigation of this kind go to `url`; logs a refusal. Who
    // asked for a new window is the engine's to check.
    bool Allows(const std::wstring& url, NavigationKind kind) const;

    // Called when destruction is requested inside an event: hide, stop loading, go quiet.
    virtual void Quiesce() {}
    // Deletes the view once the outermost event handler has returned. An engine whose own code
    // is still below that point on the stack (a COM event) defers further.
    virtual void DeleteAfterEvent() { delete this; }

private:
    friend struct WebViewDeleter;
    template <typename F>
    bool Raise(F&& call);
    void Release();

    int m_eventDepth = 0;
    bool m_destroyPending = false;
    rt::MessageFilterRegistration m_keyFilter;
};

struct WebViewDeleter {
    void operator()(WebView* view) const;
};
using WebViewPtr = std::unique_ptr<WebView, WebViewDeleter>;

// The engine for this process: CORVANE_WEBVIEW, else by platform.
WebViewEngine DefaultEngine();

// A view as a child of `parent` at `rect` (pixels); nullptr when the engine cannot start.
WebViewPtr CreateWebView(HWND parent, const RECT& rect);
WebViewPtr CreateWebView(HWND parent, const RECT& rect, WebViewEngine engine);

// What makes the views of the two-argument CreateWebView: tests put a view of their own here
// (one that records what the forms ask of it); an empty maker gives the engines back.
using WebViewMaker = std::function<WebViewPtr(HWND parent, const RECT& rect)>;
void SetWebViewMaker(WebViewMaker maker);

}  // namespace browser
