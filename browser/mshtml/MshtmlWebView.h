#pragma once
// The system's web browser control (IWebBrowser2) hosted in a plain child window: OLE in-place
// activation through a small site object (MshtmlSite), DWebBrowserEvents2 mapped to the seam's
// events, the context menu refused through the host's UI handler, and the keys of the program's
// loops handed to the control's active object.
//
// The control must not be closed or released while its own code is on the stack (an event, a
// key it is translating): the view counts those calls and leaves such work to
// RunAfterCurrentMessage.

#include <windows.h>
#include <exdisp.h>
#include <ole2.h>

#include <functional>
#include <memory>
#include <string>

#include "browser/WebView.h"
#include "runtime/Window.h"

struct IHTMLDocument2;
struct IHTMLElement;

namespace browser {

class MshtmlSite;

class MshtmlWebView final : public WebView, private rt::Window {
public:
    // Makes the control (an IOleObject that also offers IWebBrowser2); tests pass a stand-in.
    using ControlFactory = std::function<HRESULT(IOleObject** control)>;
    static WebViewPtr Create(HWND parent, const RECT& rect);
    static WebViewPtr Create(HWND parent, const RECT& rect, const ControlFactory& makeControl);

    WebViewEngine Engine() const override { return WebViewEngine::Mshtml; }
    HWND hWnd() const override { return rt::Window::hWnd(); }
    void Move(int x, int y, int width, int height) override;
    void Navigate(const std::wstring& url) override;
    void Refresh() override;
    std::wstring DocumentUrl() const override;
    long RootInnerHtmlLength() const override;
    bool SetRootOverflow(const std::wstring& value) override;
    // Keys aimed at the view or the control's windows go to the control's active object first.
    bool PreTranslate(MSG& msg) override;

    // Marks a call into the control's code (or from it) for as long as it lives.
    class ControlCall {
    public:
        explicit ControlCall(MshtmlWebView& view) : m_depth(view.m_callDepth) { ++*m_depth; }
        ~ControlCall() { --*m_depth; }
        ControlCall(const ControlCall&) = delete;
        ControlCall& operator=(const ControlCall&) = delete;

    private:
        std::shared_ptr<int> m_depth;  // shared: the view may be gone when the call returns
    };

private:
    friend class MshtmlSite;

    // Everything held of the control, released in one place in the right order.
    struct Embedding {
        MshtmlSite* site = nullptr;
        IOleObject* ole = nullptr;
        IWebBrowser2* browser = nullptr;
        IConnectionPoint* events = nullptr;
        DWORD cookie = 0;
        IOleInPlaceActiveObject* active = nullptr;
        bool oleInitialized = false;

        Embedding() = default;
        Embedding(Embedding&& other) noexcept;
        Embedding& operator=(Embedding&&) = delete;
        ~Embedding() { Close(); }
        void Close();
    };

    MshtmlWebView() = default;
    ~MshtmlWebView() override;

    bool Embed(const ControlFactory& makeControl);
    void Unembed();
    bool InControlCall() const { return *m_callDepth > 0; }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Quiesce() override;
    void DeleteAfterEvent() override;
    // The document's root element (documentElement), AddRef'ed, or nullptr.
    ::IHTMLElement* RootElement() const;
    std::wstring DocumentTitle() const;
    // The address of the control's top-level page ("" before one).
    std::wstring LocationUrl() const;
    // A text property of the current document ("" without one).
    std::wstring DocumentText(HRESULT (STDMETHODCALLTYPE IHTMLDocument2::*get)(BSTR*)) const;
    bool IsTopLevel(IDispatch* frame) const;

    // Called by the site.
    void OnBeforeNavigate(IDispatch* frame, const std::wstring& url, VARIANT_BOOL& cancel);
    void OnDocumentComplete(IDispatch* frame, const std::wstring& url);
    void OnTitleChange(const std::wstring& text);
    // `opener`: the address of the document that asked, the page's or a frame's.
    void OnNewWindow(const std::wstring& url, const std::wstring& opener);
    void OnDownloadComplete();
    bool OnContextMenu();
    void SetActiveObject(IOleInPlaceActiveObject* object);

    Embedding m_embed;
    std::shared_ptr<int> m_callDepth = std::make_shared<int>(0);
    bool m_refreshPending = false;  // a Refresh whose document the control will not report
    std::wstring m_popupUrl;        // a new window's address, opened here instead
};

}  // namespace browser
