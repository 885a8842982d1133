#include "browser/mshtml/MshtmlWebView.h"

#include <mshtml.h>
#include <ocidl.h>

#include <utility>

#include "browser/html/Url.h"
#include "browser/lite/TextConvert.h"
#include "browser/mshtml/DeferredCalls.h"
#include "browser/mshtml/MshtmlSite.h"
#include "runtime/App.h"

namespace browser {
namespace {

constexpr UINT kPopupMessage = WM_APP + 0x32;

template <typename T>
void SafeRelease(T*& p)
{
    if (p) p->Release();
    p = nullptr;
}

// COM identity: two interface pointers of one object give the same IUnknown.
bool SameObject(IUnknown* a, IUnknown* b)
{
    if (!a || !b) return false;
    IUnknown* ua = nullptr;
    IUnknown* ub = nullptr;
    const bool same = SUCCEEDED(a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ua))) &&
                      SUCCEEDED(b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ub))) && ua == ub;
    SafeRelease(ua);
    SafeRelease(ub);
    return same;
}

bool SetStyleOverflow(IHTMLElement* element, const std::wstring& value)
{
    if (!element) return false;
    bool done = false;
    IHTMLStyle* style = nullptr;
    if (SUCCEEDED(element->get_style(&style)) && style) {
        BSTR v = ::SysAllocString(value.c_str());
        done = SUCCEEDED(style->put_overflow(v));
        ::SysFreeString(v);
        style->Release();
    }
    return done;
}

HRESULT MakeSystemControl(IOleObject** control)
{
    return ::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              reinterpret_cast<void**>(control));
}

}  // namespace

// --- The embedding ---------------------------------------------------------------------------------

MshtmlWebView::Embedding::Embedding(Embedding&& other) noexcept
    : site(std::exchange(other.site, nullptr)),
      ole(std::exchange(other.ole, nullptr)),
      browser(std::exchange(other.browser, nullptr)),
      events(std::exchange(other.events, nullptr)),
      cookie(std::exchange(other.cookie, 0)),
      active(std::exchange(other.active, nullptr)),
      oleInitialized(std::exchange(other.oleInitialized, false))
{
}

void MshtmlWebView::Embedding::Close()
{
    // No event may arrive while the rest goes.
    if (site) site->Detach();
    if (events) {
        if (cookie) events->Unadvise(cookie);
        cookie = 0;
        SafeRelease(events);
    }
    SafeRelease(active);
    if (browser) browser->Stop();
    SafeRelease(browser);
    if (ole) {
        // Deactivates in place and destroys the control's windows while ours still stand.
        ole->Close(OLECLOSE_NOSAVE);
        ole->SetClientSite(nullptr);
        SafeRelease(ole);
    }
    SafeRelease(site);
    if (oleInitialized) {
        ::OleUninitialize();
        oleInitialized = false;
    }
}

// --- Creation and teardown -------------------------------------------------------------------------

WebViewPtr MshtmlWebView::Create(HWND parent, const RECT& rect) { return Create(parent, rect, &MakeSystemControl); }

WebViewPtr MshtmlWebView::Create(HWND parent, const RECT& rect, const ControlFactory& makeControl)
{
    auto* view = new MshtmlWebView();
    WebViewPtr owner(view);
    rt::WindowParams params;
    params.className = L"CorvaneMshtmlWebView";
    params.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    params.x = rect.left;
    params.y = rect.top;
    params.width = rect.right - rect.left;
    params.height = rect.bottom - rect.top;
    params.parent = parent;
    if (!view->CreateHandle(params) || !view->Embed(makeControl)) return nullptr;
    return owner;
}

bool MshtmlWebView::Embed(const ControlFactory& makeControl)
{
    m_embed.oleInitialized = SUCCEEDED(::OleInitialize(nullptr));
    m_embed.site = new MshtmlSite(this);
    if (FAILED(makeControl(&m_embed.ole)) || !m_embed.ole) return false;
    m_embed.ole->SetClientSite(m_embed.site);
    RECT client{};
    ::GetClientRect(hWnd(), &client);
    if (FAILED(m_embed.ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_embed.site, 0, hWnd(), &client))) return false;
    if (FAILED(m_embed.ole->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_embed.browser))) ||
        !m_embed.browser)
        return false;
    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(m_embed.browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) &&
        container) {
        if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &m_embed.events)) && m_embed.events)
            m_embed.events->Advise(static_cast<IDispatch*>(m_embed.site), &m_embed.cookie);
        container->Release();
    }
    m_embed.browser->put_Silent(VARIANT_TRUE);
    // A file dropped on the page would replace the game with the file.
    m_embed.browser->put_RegisterAsDropTarget(VARIANT_FALSE);
    return true;
}

void MshtmlWebView::Unembed()
{
    if (m_embed.site) m_embed.site->Detach();  // nothing more reaches this view
    if (!InControlCall()) {
        m_embed.Close();
        return;
    }
    // Closing the control inside its own call would pull its code from under it.
    auto later = std::make_shared<Embedding>(std::move(m_embed));
    RunAfterCurrentMessage([later] { later->Close(); });
}

MshtmlWebView::~MshtmlWebView() { Unembed(); }

void MshtmlWebView::Quiesce()
{
    if (m_embed.site) m_embed.site->Detach();
    if (m_embed.browser) m_embed.browser->Stop();
    if (hWnd()) ::ShowWindow(hWnd(), SW_HIDE);
}

void MshtmlWebView::DeleteAfterEvent()
{
    // The control's own code is below us on the stack: let its event return first. The
    // deferred call does not depend on this view's window, which may be gone by then.
    RunAfterCurrentMessage([this] { delete this; });
}

// --- The seam --------------------------------------------------------------------------------------

void MshtmlWebView::Move(int x, int y, int width, int height) { ::MoveWindow(hWnd(), x, y, width, height, TRUE); }

void MshtmlWebView::Navigate(const std::wstring& url)
{
    if (!m_embed.browser) return;
    BSTR target = ::SysAllocString(url.c_str());
    VARIANT empty;
    ::VariantInit(&empty);
    m_embed.browser->Navigate(target, &empty, &empty, &empty, &empty);
    ::SysFreeString(target);
}

void MshtmlWebView::Refresh()
{
    if (!m_embed.browser) return;
    // The control reports no document for a refresh; OnDownloadComplete does, as the built-in
    // engine would, so the forms see the same events from both.
    m_refreshPending = true;
    VARIANT level;
    ::VariantInit(&level);
    level.vt = VT_I4;
    level.lVal = REFRESH_COMPLETELY;
    m_embed.browser->Refresh2(&level);
}

std::wstring MshtmlWebView::DocumentUrl() const { return DocumentText(&IHTMLDocument2::get_URL); }

std::wstring MshtmlWebView::LocationUrl() const
{
    std::wstring url;
    BSTR location = nullptr;
    if (m_embed.browser && SUCCEEDED(m_embed.browser->get_LocationURL(&location)) && location)
        url.assign(location, ::SysStringLen(location));
    ::SysFreeString(location);
    return url;
}

std::wstring MshtmlWebView::DocumentTitle() const { return DocumentText(&IHTMLDocument2::get_title); }

std::wstring MshtmlWebView::DocumentText(HRESULT (STDMETHODCALLTYPE IHTMLDocument2::*get)(BSTR*)) const
{
    std::wstring result;
    IDispatch* disp = nullptr;
    if (!m_embed.browser || FAILED(m_embed.browser->get_Document(&disp)) || !disp) return result;
    IHTMLDocument2* doc = nullptr;
    if (SUCCEEDED(disp->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&doc))) && doc) {
        BSTR text = nullptr;
        if (SUCCEEDED((doc->*get)(&text)) && text) result.assign(text, ::SysStringLen(text));
        ::SysFreeString(text);
        doc->Release();
    }
    disp->Release();
    return result;
}

IHTMLElement* MshtmlWebView::RootElement() const
{
    IDispatch* disp = nullptr;
    if (!m_embed.browser || FAILED(m_embed.browser->get_Document(&disp)) || !disp) return nullptr;
    IHTMLElement* root = nullptr;
    IHTMLDocument3* doc = nullptr;
    if (SUCCEEDED(disp->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void**>(&doc))) && doc) {
        doc->get_documentElement(&root);
        doc->Release();
    }
    disp->Release();
    return root;
}

long MshtmlWebView::RootInnerHtmlLength() const
{
    IHTMLElement* root = RootElement();
    if (!root) return -1;
    BSTR html = nullptr;
    long length = -1;
    if (SUCCEEDED(root->get_innerHTML(&html))) length = html ? static_cast<long>(::SysStringLen(html)) : 0;
    ::SysFreeString(html);
    root->Release();
    return length;
}

bool MshtmlWebView::SetRootOverflow(const std::wstring& value)
{
    IHTMLElement* root = RootElement();
    if (!root) return false;
    const bool done = SetStyleOverflow(root, value);
    root->Release();
    // In quirks mode the scroll bars are the body's, and the root's overflow does not reach them.
    IDispatch* disp = nullptr;
    if (FAILED(m_embed.browser->get_Document(&disp)) || !disp) return done;
    IHTMLDocument5* doc5 = nullptr;
    IHTMLDocument2* doc2 = nullptr;
    BSTR mode = nullptr;
    if (SUCCEEDED(disp->QueryInterface(__uuidof(IHTMLDocument5), reinterpret_cast<void**>(&doc5))) && doc5 &&
        SUCCEEDED(doc5->get_compatMode(&mode)) && mode && std::wstring(mode) == L"BackCompat" &&
        SUCCEEDED(disp->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&doc2))) && doc2) {
        IHTMLElement* body = nullptr;
        if (SUCCEEDED(doc2->get_body(&body)) && body) {
            SetStyleOverflow(body, value);
            body->Release();
        }
    }
    ::SysFreeString(mode);
    SafeRelease(doc2);
    SafeRelease(doc5);
    disp->Release();
    return done;
}

bool MshtmlWebView::PreTranslate(MSG& msg)
{
    IOleInPlaceActiveObject* active = m_embed.active;
    if (!active || !hWnd() || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    if (msg.hwnd != hWnd() && !::IsChild(hWnd(), msg.hwnd)) return false;
    active->AddRef();  // the key may end the view, and with it our reference
    HRESULT hr = S_FALSE;
    {
        const ControlCall call(*this);
        hr = active->TranslateAccelerator(&msg);
    }
    active->Release();
    return hr == S_OK;
}

// --- Calls from the site ---------------------------------------------------------------------------

void MshtmlWebView::SetActiveObject(IOleInPlaceActiveObject* object)
{
    if (object) object->AddRef();
    SafeRelease(m_embed.active);
    m_embed.active = object;
}

bool MshtmlWebView::IsTopLevel(IDispatch* frame) const
{
    // A frame's events carry the frame's own browser object; the control's own events carry the
    // control, though not necessarily through the pointer we hold.
    return !frame || !m_embed.browser || SameObject(frame, m_embed.browser);
}

void MshtmlWebView::OnBeforeNavigate(IDispatch* frame, const std::wstring& url, VARIANT_BOOL& cancel)
{
    const bool topLevel = IsTopLevel(frame);
    if (!Allows(url, topLevel ? NavigationKind::TopLevel : NavigationKind::Frame)) {
        cancel = VARIANT_TRUE;  // the page stays; the host hears nothing of it
        return;
    }
    if (topLevel) m_refreshPending = false;  // a new page replaces the refreshed one
    bool stop = false;
    RaiseBeforeNavigate(url, topLevel, stop);
    if (stop) cancel = VARIANT_TRUE;  // not a member: fine even when the view went
}

void MshtmlWebView::OnDocumentComplete(IDispatch* frame, const std::wstring& url)
{
    const bool topLevel = IsTopLevel(frame);
    if (topLevel) m_refreshPending = false;
    RaiseDocumentComplete(url, topLevel);
}

void MshtmlWebView::OnTitleChange(const std::wstring& text) { RaiseTitleChange(text); }

void MshtmlWebView::OnNewWindow(const std::wstring& url, const std::wstring& opener)
{
    // The page wanted a window of its own (target=_blank, window.open): an address the rules
    // allow opens here, through before-navigation like any other, once the control's event has
    // returned. The window would replace the page: the control names the document that asked,
    // and only the page itself, or a frame of its own origin (which can script it anyway), may.
    if (!hWnd()) return;
    const std::string origin = WebOrigin(WideToUtf8(opener));
    if (origin.empty() || origin != WebOrigin(WideToUtf8(LocationUrl()))) {
        rt::App::LogEvent(L"MshtmlWebView.OnNewWindow: refused a window asked for by " + opener.substr(0, 300));
        return;
    }
    if (!Allows(url, NavigationKind::NewWindow)) return;
    m_popupUrl = url;
    ::PostMessageW(hWnd(), kPopupMessage, 0, 0);
}

void MshtmlWebView::OnDownloadComplete()
{
    if (!m_refreshPending || !m_embed.browser) return;
    READYSTATE state = READYSTATE_UNINITIALIZED;
    if (FAILED(m_embed.browser->get_ReadyState(&state)) || state != READYSTATE_COMPLETE) return;
    m_refreshPending = false;
    const std::wstring url = LocationUrl();
    // The built-in engine raises the title and then the document of every load, refreshes too.
    const std::wstring title = DocumentTitle();
    if (!title.empty() && !RaiseTitleChange(title)) return;
    RaiseDocumentComplete(url, true);
}


bool MshtmlWebView::OnContextMenu()
{
    bool allow = true;
    if (!RaiseContextMenu(allow)) return false;
    return allow;
}

LRESULT MshtmlWebView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case kPopupMessage:
        if (!m_popupUrl.empty()) Navigate(std::exchange(m_popupUrl, std::wstring{}));
        return 0;
    case WM_SIZE:
        if (m_embed.browser) {
            IOleInPlaceObject* inPlace = nullptr;
            if (SUCCEEDED(m_embed.browser->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace))) &&
                inPlace) {
                RECT r{0, 0, LOWORD(lParam), HIWORD(lParam)};
                inPlace->SetObjectRects(&r, &r);
                inPlace->Release();
            }
        }
        return 0;
    case WM_SETFOCUS:
        // Back from another window (Alt+Tab): the page gets its caret and keys again.
        if (m_embed.ole && m_embed.site) {
            RECT client{};
            ::GetClientRect(hWnd(), &client);
            m_embed.ole->DoVerb(OLEIVERB_UIACTIVATE, nullptr, m_embed.site, 0, hWnd(), &client);
        }
        return 0;
    case WM_DESTROY:
        // The control's windows are ours' children and go next: it must leave in-place
        // activation before they do.
        Unembed();
        break;
    }
    return Final(msg, wParam, lParam);
}

}  // namespace browser
