#include "tests/wine/browser/FakeBrowserControl.h"

#include <algorithm>

namespace webviewtest {

STDMETHODIMP FakeActiveObject::QueryInterface(REFIID riid, void** out)
{
    *out = nullptr;
    if (riid != IID_IUnknown && riid != IID_IOleWindow && riid != IID_IOleInPlaceActiveObject) return E_NOINTERFACE;
    *out = static_cast<IOleInPlaceActiveObject*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP FakeActiveObject::GetWindow(HWND* hwnd)
{
    *hwnd = nullptr;
    return E_FAIL;
}

STDMETHODIMP FakeActiveObject::TranslateAccelerator(LPMSG msg)
{
    offered.push_back(*msg);
    return answer;
}

STDMETHODIMP FakeTearOff::QueryInterface(REFIID riid, void** out)
{
    if (riid == IID_IUnknown) return m_owner.QueryInterface(riid, out);
    *out = nullptr;
    if (riid != IID_IDispatch) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) FakeTearOff::AddRef() { return m_owner.AddRef(); }
STDMETHODIMP_(ULONG) FakeTearOff::Release() { return m_owner.Release(); }

STDMETHODIMP FakeControl::QueryInterface(REFIID riid, void** out)
{
    *out = nullptr;
    if (riid == IID_IUnknown || riid == IID_IOleObject) *out = static_cast<IOleObject*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject) *out = static_cast<IOleInPlaceObject*>(this);
    else if (riid == IID_IDispatch || riid == IID_IWebBrowser2 || riid == IID_IWebBrowserApp || riid == IID_IWebBrowser)
        *out = static_cast<IWebBrowser2*>(this);
    else if (riid == IID_IConnectionPointContainer) *out = static_cast<IConnectionPointContainer*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP FakeControl::SetClientSite(IOleClientSite* clientSite)
{
    if (clientSite) clientSite->AddRef();
    if (site) site->Release();
    site = clientSite;
    return S_OK;
}

STDMETHODIMP FakeControl::Close(DWORD)
{
    ++closes;
    // Leaving in-place activation withdraws the active object, as the control does.
    if (activeOnUiActivate && site) {
        IOleInPlaceFrame* frame = nullptr;
        if (SUCCEEDED(site->QueryInterface(IID_IOleInPlaceFrame, reinterpret_cast<void**>(&frame)))) {
            frame->SetActiveObject(nullptr, nullptr);
            frame->Release();
        }
    }
    return S_OK;
}

STDMETHODIMP FakeControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND, LPCRECT)
{
    verbs.push_back(verb);
    if (!activeSite) return S_OK;
    IOleInPlaceSite* inPlace = nullptr;
    if (FAILED(activeSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) return E_FAIL;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* doc = nullptr;
    RECT pos, clip;
    OLEINPLACEFRAMEINFO info{sizeof(info)};
    const HRESULT hr = inPlace->GetWindowContext(&frame, &doc, &pos, &clip, &info);
    if (SUCCEEDED(hr) && verb == OLEIVERB_UIACTIVATE && activeOnUiActivate) frame->SetActiveObject(activeOnUiActivate, L"fake");
    if (frame) frame->Release();
    if (doc) doc->Release();
    inPlace->Release();
    return hr;
}

STDMETHODIMP FakeControl::Unadvise(DWORD cookie)
{
    if (cookie != 1 || !sink) return CONNECT_E_NOCONNECTION;
    ++unadvises;
    sink->Release();
    sink = nullptr;
    return S_OK;
}

STDMETHODIMP FakeControl::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
{
    navigations.emplace_back(url ? url : L"");
    return S_OK;
}

STDMETHODIMP FakeControl::Refresh2(VARIANT*)
{
    ++refreshes;
    return S_OK;
}

STDMETHODIMP FakeControl::Stop()
{
    ++stops;
    return S_OK;
}

STDMETHODIMP FakeControl::get_Document(IDispatch** document)
{
    *document = nullptr;
    return S_FALSE;  // no HTML engine, no document
}

STDMETHODIMP FakeControl::get_LocationURL(BSTR* url)
{
    *url = ::SysAllocString(locationUrl.c_str());
    return S_OK;
}

STDMETHODIMP FakeControl::get_ReadyState(READYSTATE* state)
{
    *state = readyState;
    return S_OK;
}

STDMETHODIMP FakeControl::put_RegisterAsDropTarget(VARIANT_BOOL value)
{
    dropTarget = value;
    return S_OK;
}

STDMETHODIMP FakeControl::FindConnectionPoint(REFIID riid, IConnectionPoint** point)
{
    *point = nullptr;
    if (riid != DIID_DWebBrowserEvents2) return CONNECT_E_NOCONNECTION;
    *point = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP FakeControl::Advise(IUnknown* newSink, DWORD* cookie)
{
    if (sink) return CONNECT_E_ADVISELIMIT;
    if (FAILED(newSink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&sink)))) return CONNECT_E_CANNOTCONNECT;
    *cookie = 1;
    return S_OK;
}

HRESULT RaiseEvent(IDispatch* sink, DISPID id, std::vector<VARIANT> argsInOrder)
{
    std::reverse(argsInOrder.begin(), argsInOrder.end());
    DISPPARAMS params{argsInOrder.data(), nullptr, static_cast<UINT>(argsInOrder.size()), 0};
    return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

}  // namespace webviewtest
