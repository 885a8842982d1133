#pragma once
// The system's web browser control (IWebBrowser2) hosted in a plain child window: OLE in-place
// activation through a small site object, DWebBrowserEvents2 mapped to the seam's events, the
// context menu refused through the host's UI handler.

#include <windows.h>
#include <exdisp.h>
#include <ole2.h>

#include <string>

#include "browser/WebView.h"
#include "runtime/Window.h"

struct IHTMLElement;

namespace browser {

class MshtmlSite;

class MshtmlWebView final : public WebView, private rt::Window {
public:
    static WebViewPtr Create(HWND parent, const RECT& rect);

    WebViewEngine Engine() const override { return WebViewEngine::Mshtml; }
    HWND hWnd() const override { return rt::Window::hWnd(); }
    void Move(int x, int y, int width, int height) override;
    void Navigate(const std::wstring& url) override;
    void Refresh() override;
    std::wstring DocumentUrl() const override;
    long RootInnerHtmlLength() const override;
    bool SetRootOverflow(const std::wstring& value) override;

private:
    friend class MshtmlSite;
    MshtmlWebView() = default;
    ~MshtmlWebView() override;

    bool Embed();
    void Unembed();
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnWindowDestroyed() override;
    void Quiesce() override;
    void DeleteAfterEvent() override;
    // The document's root element (documentElement), AddRef'ed, or nullptr.
    ::IHTMLElement* RootElement() const;

    // Called by the site.
    void OnBeforeNavigate(IDispatch* frame, const std::wstring& url, VARIANT_BOOL* cancel);
    void OnDocumentComplete(IDispatch* frame, const std::wstring& url);
    void OnTitleChange(const std::wstring& text);
    bool OnContextMenu();

    bool m_oleInitialized = false;
    bool m_deletePending = false;
    MshtmlSite* m_site = nullptr;
    IOleObject* m_ole = nullptr;
    IWebBrowser2* m_browser = nullptr;
    IConnectionPoint* m_events = nullptr;
    DWORD m_cookie = 0;
};

}  // namespace browser
