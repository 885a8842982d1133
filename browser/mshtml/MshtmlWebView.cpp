#include "browser/mshtml/MshtmlWebView.h"

#include <exdispid.h>
#include <mshtml.h>
#include <mshtmhst.h>
#include <ocidl.h>

namespace browser {
namespace {

constexpr UINT kDeleteMessage = WM_APP + 0x32;

// The BSTR of a VARIANT, also through one level of VT_BYREF.
std::wstring VariantText(const VARIANT& v)
{
    const VARIANT* p = &v;
    if (p->vt == (VT_VARIANT | VT_BYREF) && p->pvarVal) p = p->pvarVal;
    if (p->vt == VT_BSTR && p->bstrVal) return std::wstring(p->bstrVal, ::SysStringLen(p->bstrVal));
    if (p->vt == (VT_BSTR | VT_BYREF) && p->pbstrVal && *p->pbstrVal) return std::wstring(*p->pbstrVal, ::SysStringLen(*p->pbstrVal));
    return {};
}

template <typename T>
void SafeRelease(T*& p)
{
    if (p) p->Release();
    p = nullptr;
}

}  // namespace

// The site the control talks to: client site, in-place site and frame, UI handler, and the
// event sink. Reference counted on its own; the view detaches it before going away.
class MshtmlSite final : public IOleClientSite,
                         public IOleInPlaceSite,
                         public IOleInPlaceFrame,
                         public IDocHostUIHandler,
                         public IDispatch {
public:
    explicit MshtmlSite(MshtmlWebView* view) : m_view(view) {}
    void Detach() { m_view = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) *out = static_cast<IOleInPlaceSite*>(this);
        else if (riid == IID_IOleInPlaceFrame || riid == IID_IOleInPlaceUIWindow) *out = static_cast<IOleInPlaceFrame*>(this);
        else if (riid == IID_IDocHostUIHandler) *out = static_cast<IDocHostUIHandler*>(this);
        else if (riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2) *out = static_cast<IDispatch*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG n = --m_refs;
        if (n == 0) delete this;
        return n;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** c) override
    {
        *c = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* hwnd) override
    {
        *hwnd = m_view ? m_view->hWnd() : nullptr;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override
    {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *doc = nullptr;
        if (m_view) {
            ::GetClientRect(m_view->hWnd(), pos);
            ::GetClientRect(m_view->hWnd(), clip);
        }
        info->fMDIApp = FALSE;
        info->hwndFrame = m_view ? m_view->hWnd() : nullptr;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override
    {
        // S_OK: the host handled it (no menu); S_FALSE: the control shows its own.
        return m_view && !m_view->OnContextMenu() ? S_OK : S_FALSE;
    }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override
    {
        info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*, IOleInPlaceUIWindow*) override
    {
        return S_OK;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget**) override { return E_NOTIMPL; }
    STDMETHODIMP GetExternal(IDispatch** d) override
    {
        *d = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override
    {
        *out = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override
    {
        *out = nullptr;
        return S_FALSE;
    }

    // IDispatch: DWebBrowserEvents2
    STDMETHODIMP GetTypeInfoCount(UINT* n) override
    {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        if (!m_view || !params) return S_OK;
        AddRef();  // the handler may destroy the view and with it the last other reference
        // Arguments arrive in reverse order.
        switch (id) {
        case DISPID_BEFORENAVIGATE2:
            if (params->cArgs == 7 && params->rgvarg[0].vt == (VT_BOOL | VT_BYREF))
                m_view->OnBeforeNavigate(params->rgvarg[6].pdispVal, VariantText(params->rgvarg[5]),
                                         params->rgvarg[0].pboolVal);
            break;
        case DISPID_DOCUMENTCOMPLETE:
            if (params->cArgs == 2) m_view->OnDocumentComplete(params->rgvarg[1].pdispVal, VariantText(params->rgvarg[0]));
            break;
        case DISPID_TITLECHANGE:
            if (params->cArgs == 1) m_view->OnTitleChange(VariantText(params->rgvarg[0]));
            break;
        }
        Release();
        return S_OK;
    }

private:
    ULONG m_refs = 1;
    MshtmlWebView* m_view;
};

WebViewPtr MshtmlWebView::Create(HWND parent, const RECT& rect)
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
    if (!view->CreateHandle(params) || !view->Embed()) return nullptr;
    return owner;
}

bool MshtmlWebView::Embed()
{
    m_oleInitialized = SUCCEEDED(::OleInitialize(nullptr));
    m_site = new MshtmlSite(this);
    if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(&m_ole))))
        return false;
    m_ole->SetClientSite(m_site);
    RECT client{};
    ::GetClientRect(hWnd(), &client);
    if (FAILED(m_ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_site, 0, hWnd(), &client))) return false;
    if (FAILED(m_ole->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_browser)))) return false;
    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(m_browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
        if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &m_events)))
            m_events->Advise(static_cast<IDispatch*>(m_site), &m_cookie);
        container->Release();
    }
    m_browser->put_Silent(VARIANT_TRUE);
    return true;
}

void MshtmlWebView::Unembed()
{
    if (m_events) {
        if (m_cookie) m_events->Unadvise(m_cookie);
        SafeRelease(m_events);
    }
    if (m_browser) {
        m_browser->Stop();
        SafeRelease(m_browser);
    }
    if (m_ole) {
        m_ole->Close(OLECLOSE_NOSAVE);
        m_ole->SetClientSite(nullptr);
        SafeRelease(m_ole);
    }
    if (m_site) {
        m_site->Detach();
        m_site->Release();
        m_site = nullptr;
    }
    if (m_oleInitialized) {
        ::OleUninitialize();
        m_oleInitialized = false;
    }
}

MshtmlWebView::~MshtmlWebView() { Unembed(); }

void MshtmlWebView::Quiesce()
{
    if (m_site) m_site->Detach();
    if (hWnd()) ::ShowWindow(hWnd(), SW_HIDE);
}

void MshtmlWebView::DeleteAfterEvent()
{
    // The control's own code is below us on the stack: let its event return first.
    m_deletePending = true;
    if (!hWnd() || !::PostMessageW(hWnd(), kDeleteMessage, 0, 0)) delete this;
}

void MshtmlWebView::OnWindowDestroyed()
{
    // The parent went away before the posted deletion arrived.
    if (m_deletePending) delete this;
}

void MshtmlWebView::Move(int x, int y, int width, int height) { ::MoveWindow(hWnd(), x, y, width, height, TRUE); }

void MshtmlWebView::Navigate(const std::wstring& url)
{
    if (!m_browser) return;
    BSTR target = ::SysAllocString(url.c_str());
    VARIANT empty;
    ::VariantInit(&empty);
    m_browser->Navigate(target, &empty, &empty, &empty, &empty);
    ::SysFreeString(target);
}

void MshtmlWebView::Refresh()
{
    if (!m_browser) return;
    VARIANT level;
    ::VariantInit(&level);
    level.vt = VT_I4;
    level.lVal = REFRESH_COMPLETELY;
    m_browser->Refresh2(&level);
}

std::wstring MshtmlWebView::DocumentUrl() const
{
    std::wstring result;
    IDispatch* disp = nullptr;
    if (!m_browser || FAILED(m_browser->get_Document(&disp)) || !disp) return result;
    IHTMLDocument2* doc = nullptr;
    if (SUCCEEDED(disp->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&doc)))) {
        BSTR url = nullptr;
        if (SUCCEEDED(doc->get_URL(&url)) && url) result.assign(url, ::SysStringLen(url));
        ::SysFreeString(url);
        doc->Release();
    }
    disp->Release();
    return result;
}

IHTMLElement* MshtmlWebView::RootElement() const
{
    IDispatch* disp = nullptr;
    if (!m_browser || FAILED(m_browser->get_Document(&disp)) || !disp) return nullptr;
    IHTMLElement* root = nullptr;
    IHTMLDocument3* doc = nullptr;
    if (SUCCEEDED(disp->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void**>(&doc)))) {
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
    bool done = false;
    IHTMLStyle* style = nullptr;
    if (SUCCEEDED(root->get_style(&style)) && style) {
        BSTR v = ::SysAllocString(value.c_str());
        done = SUCCEEDED(style->put_overflow(v));
        ::SysFreeString(v);
        style->Release();
    }
    root->Release();
    return done;
}

void MshtmlWebView::OnBeforeNavigate(IDispatch* frame, const std::wstring& url, VARIANT_BOOL* cancel)
{
    bool stop = false;
    const bool topLevel = !frame || !m_browser || frame == static_cast<IDispatch*>(m_browser);
    const bool alive = RaiseBeforeNavigate(url, topLevel, stop);
    if (cancel && stop) *cancel = VARIANT_TRUE;
    (void)alive;
}

void MshtmlWebView::OnDocumentComplete(IDispatch* frame, const std::wstring& url)
{
    const bool topLevel = !frame || !m_browser || frame == static_cast<IDispatch*>(m_browser);
    RaiseDocumentComplete(url, topLevel);
}

void MshtmlWebView::OnTitleChange(const std::wstring& text) { RaiseTitleChange(text); }

bool MshtmlWebView::OnContextMenu()
{
    bool allow = true;
    if (!RaiseContextMenu(allow)) return false;
    return allow;
}

LRESULT MshtmlWebView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case kDeleteMessage:
        if (m_deletePending) delete this;
        return 0;
    case WM_SIZE:
        if (m_browser) {
            IOleInPlaceObject* inPlace = nullptr;
            if (SUCCEEDED(m_browser->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
                RECT r{0, 0, LOWORD(lParam), HIWORD(lParam)};
                inPlace->SetObjectRects(&r, &r);
                inPlace->Release();
            }
        }
        return 0;
    }
    return Final(msg, wParam, lParam);
}

}  // namespace browser
