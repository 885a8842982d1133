#include "browser/mshtml/MshtmlSite.h"

#include <exdispid.h>

#include <exception>
#include <string>

#include "browser/mshtml/HostShortcuts.h"
#include "browser/mshtml/MshtmlWebView.h"
#include "browser/lite/TextConvert.h"
#include "runtime/App.h"
#include "runtime/MouseEvents.h"

namespace browser {
namespace {

// The BSTR of a VARIANT, also through one level of VT_BYREF.
std::wstring VariantText(const VARIANT& v)
{
    const VARIANT* p = &v;
    if (p->vt == (VT_VARIANT | VT_BYREF) && p->pvarVal) p = p->pvarVal;
    if (p->vt == VT_BSTR && p->bstrVal) return std::wstring(p->bstrVal, ::SysStringLen(p->bstrVal));
    if (p->vt == (VT_BSTR | VT_BYREF) && p->pbstrVal && *p->pbstrVal) return std::wstring(*p->pbstrVal, ::SysStringLen(*p->pbstrVal));
    return {};
}

bool HasText(const VARIANT& v)
{
    const VARIANT* p = &v;
    if (p->vt == (VT_VARIANT | VT_BYREF) && p->pvarVal) p = p->pvarVal;
    return p->vt == VT_BSTR || (p->vt == (VT_BSTR | VT_BYREF) && p->pbstrVal);
}

// The IDispatch of a VARIANT, also through one level of VT_BYREF; nullptr for anything else.
IDispatch* VariantDispatch(const VARIANT& v)
{
    const VARIANT* p = &v;
    if (p->vt == (VT_VARIANT | VT_BYREF) && p->pvarVal) p = p->pvarVal;
    if (p->vt == VT_DISPATCH) return p->pdispVal;
    if (p->vt == (VT_DISPATCH | VT_BYREF) && p->ppdispVal) return *p->ppdispVal;
    return nullptr;
}

// The events' Cancel as the control passes it (a Boolean by reference), or nullptr.
VARIANT_BOOL* CancelFlag(const VARIANT& v) { return v.vt == (VT_BOOL | VT_BYREF) ? v.pboolVal : nullptr; }

// An event whose arguments are not what the control passes is refused, never let through: every
// Boolean it passes by reference, in either form, is its Cancel (these events have no other).
void Refuse(DISPID id, const VARIANT* args, UINT count)
{
    for (UINT i = 0; i < count; ++i) {
        const VARIANT& v = args[i];
        if (v.vt == (VT_BOOL | VT_BYREF) && v.pboolVal) *v.pboolVal = VARIANT_TRUE;
        if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal && v.pvarVal->vt == VT_BOOL) v.pvarVal->boolVal = VARIANT_TRUE;
    }
    rt::App::LogEvent(L"MshtmlSite.Dispatch: refused event " + std::to_wstring(id) + L" with " +
                      std::to_wstring(count) + L" unexpected arguments");
}

bool IsHandledEvent(DISPID id)
{
    switch (id) {
    case DISPID_BEFORENAVIGATE2:
    case DISPID_DOCUMENTCOMPLETE:
    case DISPID_TITLECHANGE:
    case DISPID_NEWWINDOW2:
    case DISPID_NEWWINDOW3:
    case DISPID_WINDOWCLOSING:
    case DISPID_DOWNLOADCOMPLETE:
        return true;
    }
    return false;
}

void LogFailure(const wchar_t* routine, const std::exception* e)
{
    std::wstring text = std::wstring(L"MshtmlSite.") + routine + L": ";
    text += e ? Utf8ToWide(e->what()) : std::wstring(L"unknown exception");
    rt::App::LogEvent(text);
}

}  // namespace

STDMETHODIMP MshtmlSite::QueryInterface(REFIID riid, void** out)
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

STDMETHODIMP_(ULONG) MshtmlSite::Release()
{
    const ULONG n = --m_refs;
    if (n == 0) delete this;
    return n;
}

STDMETHODIMP MshtmlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP MshtmlSite::GetContainer(IOleContainer** container)
{
    if (!container) return E_POINTER;
    *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP MshtmlSite::GetWindow(HWND* hwnd)
{
    if (!hwnd) return E_POINTER;
    *hwnd = m_view ? m_view->hWnd() : nullptr;
    return *hwnd ? S_OK : E_FAIL;
}

STDMETHODIMP MshtmlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                          LPOLEINPLACEFRAMEINFO info)
{
    if (frame) *frame = nullptr;
    if (doc) *doc = nullptr;
    if (pos) ::SetRectEmpty(pos);
    if (clip) ::SetRectEmpty(clip);
    if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
    const HWND hwnd = m_view ? m_view->hWnd() : nullptr;
    info->fMDIApp = FALSE;
    info->hwndFrame = hwnd;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    if (!hwnd) return E_FAIL;  // detached: there is no window to activate in
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    ::GetClientRect(hwnd, pos);
    ::GetClientRect(hwnd, clip);
    return S_OK;
}

STDMETHODIMP MshtmlSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR)
{
    if (m_view) m_view->SetActiveObject(object);
    return S_OK;
}

STDMETHODIMP MshtmlSite::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    // S_OK: the host handled it (no menu); S_FALSE: the control shows its own.
    if (!m_view) return S_OK;
    try {
        const MshtmlWebView::ControlCall call(*m_view);
        return m_view->OnContextMenu() ? S_FALSE : S_OK;
    } catch (const std::exception& e) {
        LogFailure(L"ShowContextMenu", &e);
    } catch (...) {
        LogFailure(L"ShowContextMenu", nullptr);
    }
    return S_OK;
}

STDMETHODIMP MshtmlSite::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info) return E_POINTER;
    // DPI-aware host: the page scales its CSS pixels by the screen's scale itself, which under a
    // DPI-virtualised client is 96 dpi and changes nothing.
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DPI_AWARE;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    info->pchHostCss = nullptr;
    info->pchHostNS = nullptr;
    return S_OK;
}

STDMETHODIMP MshtmlSite::TranslateAccelerator(LPMSG msg, const GUID*, DWORD)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return S_FALSE;
    const int shift = rt::ShiftState();
    return IsSwallowedBrowserShortcut(static_cast<unsigned>(msg->wParam), (shift & 2) != 0, (shift & 4) != 0) ? S_OK
                                                                                                              : S_FALSE;
}

STDMETHODIMP MshtmlSite::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key) *key = nullptr;
    return S_FALSE;
}

STDMETHODIMP MshtmlSite::GetDropTarget(IDropTarget*, IDropTarget** target)
{
    if (target) *target = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP MshtmlSite::GetExternal(IDispatch** external)
{
    if (!external) return E_POINTER;
    *external = nullptr;
    return S_FALSE;
}

STDMETHODIMP MshtmlSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* out)
{
    if (out) *out = nullptr;
    return S_FALSE;
}

STDMETHODIMP MshtmlSite::FilterDataObject(IDataObject*, IDataObject** out)
{
    if (out) *out = nullptr;
    return S_FALSE;
}

STDMETHODIMP MshtmlSite::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP MshtmlSite::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP MshtmlSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*)
{
    // The control asks its ambient properties through this same interface: those not answered
    // here must say so, or it takes an empty value for an answer.
    if (!IsHandledEvent(id)) return DISP_E_MEMBERNOTFOUND;
    if (result) ::VariantInit(result);
    if (!params) return E_INVALIDARG;
    if (!m_view) return S_OK;  // detached: the event has nowhere to go
    AddRef();  // the handler may destroy the view and with it the last other reference
    HRESULT hr = S_OK;
    try {
        const MshtmlWebView::ControlCall call(*m_view);
        Dispatch(id, *params);
    } catch (const std::exception& e) {
        LogFailure(L"Invoke", &e);
        hr = E_FAIL;
    } catch (...) {
        LogFailure(L"Invoke", nullptr);
        hr = E_FAIL;
    }
    Release();
    return hr;
}

void MshtmlSite::Dispatch(DISPID id, DISPPARAMS& params)
{
    // Arguments arrive in reverse order.
    VARIANT* a = params.rgvarg;
    const UINT n = a ? params.cArgs : 0;
    switch (id) {
    case DISPID_BEFORENAVIGATE2: {
        IDispatch* const frame = n == 7 ? VariantDispatch(a[6]) : nullptr;
        VARIANT_BOOL* const cancel = n == 7 ? CancelFlag(a[0]) : nullptr;
        if (!frame || !cancel || !HasText(a[5])) return Refuse(id, a, n);
        m_view->OnBeforeNavigate(frame, VariantText(a[5]), *cancel);
        return;
    }
    case DISPID_DOCUMENTCOMPLETE:
        if (n != 2 || !HasText(a[0])) return Refuse(id, a, n);
        m_view->OnDocumentComplete(VariantDispatch(a[1]), VariantText(a[0]));
        return;
    case DISPID_TITLECHANGE:
        if (n != 1 || !HasText(a[0])) return Refuse(id, a, n);
        m_view->OnTitleChange(VariantText(a[0]));
        return;
    case DISPID_NEWWINDOW2:
    case DISPID_WINDOWCLOSING: {
        // No window of the browser's own: the page stays in the client. Nor may a page's
        // window.close() take the control away from under the form.
        VARIANT_BOOL* const cancel = n == 2 ? CancelFlag(a[0]) : nullptr;
        if (!cancel) return Refuse(id, a, n);
        *cancel = VARIANT_TRUE;
        return;
    }
    case DISPID_NEWWINDOW3: {
        VARIANT_BOOL* const cancel = n == 5 ? CancelFlag(a[3]) : nullptr;
        if (!cancel || !HasText(a[1]) || !HasText(a[0])) return Refuse(id, a, n);
        *cancel = VARIANT_TRUE;
        m_view->OnNewWindow(VariantText(a[0]), VariantText(a[1]));
        return;
    }
    case DISPID_DOWNLOADCOMPLETE:
        m_view->OnDownloadComplete();
        return;
    }
}

}  // namespace browser
