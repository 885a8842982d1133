#pragma once
// Stand-ins for the system browser control, for testing its host without an HTML engine: a
// control that records what the host does to it and counts its references, and an in-place
// active object that records the keys it is offered. Both behave as the real ones do where the
// host depends on it (the site is held while set, the sink while advised, the active object is
// announced through the frame on UI activation).

#include <windows.h>
#include <exdisp.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

namespace webviewtest {

class FakeActiveObject final : public IOleInPlaceActiveObject {
public:
    ULONG refs = 1;
    HRESULT answer = S_FALSE;  // what TranslateAccelerator returns
    std::vector<MSG> offered;

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }  // lives on the test's stack
    STDMETHODIMP GetWindow(HWND* hwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
};

// Another interface pointer of the control's own object (a tear-off): a different pointer with the
// same COM identity, as the real control may pass itself in its events.
class FakeControl;
class FakeTearOff final : public IDispatch {
public:
    explicit FakeTearOff(FakeControl& owner) : m_owner(owner) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

private:
    FakeControl& m_owner;
};

#define FAKE_STUB(name, args) \
    STDMETHODIMP name args override { return E_NOTIMPL; }

class FakeControl final : public IOleObject,
                          public IOleInPlaceObject,
                          public IWebBrowser2,
                          public IConnectionPointContainer,
                          public IConnectionPoint {
public:
    // What the host did.
    ULONG refs = 1;  // the test's own reference
    IOleClientSite* site = nullptr;
    IDispatch* sink = nullptr;
    std::vector<LONG> verbs;
    int closes = 0, stops = 0, refreshes = 0, unadvises = 0;
    std::vector<std::wstring> navigations;
    VARIANT_BOOL dropTarget = VARIANT_TRUE;
    // What the host sees.
    READYSTATE readyState = READYSTATE_COMPLETE;
    std::wstring locationUrl = L"http://portal.test/game/";
    FakeActiveObject* activeOnUiActivate = nullptr;  // announced through the frame on UI activation
    FakeTearOff tearOff{*this};

    // The sink's IDispatch, for driving events.
    IDispatch* Sink() const { return sink; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }  // lives on the test's stack

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* clientSite) override;
    STDMETHODIMP GetClientSite(IOleClientSite**) override { return E_NOTIMPL; }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND, LPCRECT) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override;  // IOleObject's and IConnectionPoint's alike
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow / IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND*) override { return E_FAIL; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT, LPCRECT) override { return S_OK; }
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IDispatch (of IWebBrowser2)
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }

    // IWebBrowser2: what the host uses
    STDMETHODIMP Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
    STDMETHODIMP Refresh2(VARIANT*) override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP get_Document(IDispatch** document) override;
    STDMETHODIMP get_LocationURL(BSTR* url) override;
    STDMETHODIMP get_ReadyState(READYSTATE* state) override;
    STDMETHODIMP put_Silent(VARIANT_BOOL) override { return S_OK; }
    STDMETHODIMP put_RegisterAsDropTarget(VARIANT_BOOL value) override;
    // ... and the rest
    FAKE_STUB(GoBack, ())
    FAKE_STUB(GoForward, ())
    FAKE_STUB(GoHome, ())
    FAKE_STUB(GoSearch, ())
    FAKE_STUB(Refresh, ())
    FAKE_STUB(get_Application, (IDispatch**))
    FAKE_STUB(get_Parent, (IDispatch**))
    FAKE_STUB(get_Container, (IDispatch**))
    FAKE_STUB(get_TopLevelContainer, (VARIANT_BOOL*))
    FAKE_STUB(get_Type, (BSTR*))
    FAKE_STUB(get_Left, (LONG*))
    FAKE_STUB(put_Left, (LONG))
    FAKE_STUB(get_Top, (LONG*))
    FAKE_STUB(put_Top, (LONG))
    FAKE_STUB(get_Width, (LONG*))
    FAKE_STUB(put_Width, (LONG))
    FAKE_STUB(get_Height, (LONG*))
    FAKE_STUB(put_Height, (LONG))
    FAKE_STUB(get_LocationName, (BSTR*))
    FAKE_STUB(get_Busy, (VARIANT_BOOL*))
    FAKE_STUB(Quit, ())
    FAKE_STUB(ClientToWindow, (int*, int*))
    FAKE_STUB(PutProperty, (BSTR, VARIANT))
    FAKE_STUB(GetProperty, (BSTR, VARIANT*))
    FAKE_STUB(get_Name, (BSTR*))
    FAKE_STUB(get_HWND, (SHANDLE_PTR*))
    FAKE_STUB(get_FullName, (BSTR*))
    FAKE_STUB(get_Path, (BSTR*))
    FAKE_STUB(get_Visible, (VARIANT_BOOL*))
    FAKE_STUB(put_Visible, (VARIANT_BOOL))
    FAKE_STUB(get_StatusBar, (VARIANT_BOOL*))
    FAKE_STUB(put_StatusBar, (VARIANT_BOOL))
    FAKE_STUB(get_StatusText, (BSTR*))
    FAKE_STUB(put_StatusText, (BSTR))
    FAKE_STUB(get_ToolBar, (int*))
    FAKE_STUB(put_ToolBar, (int))
    FAKE_STUB(get_MenuBar, (VARIANT_BOOL*))
    FAKE_STUB(put_MenuBar, (VARIANT_BOOL))
    FAKE_STUB(get_FullScreen, (VARIANT_BOOL*))
    FAKE_STUB(put_FullScreen, (VARIANT_BOOL))
    FAKE_STUB(Navigate2, (VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*))
    FAKE_STUB(QueryStatusWB, (OLECMDID, OLECMDF*))
    FAKE_STUB(ExecWB, (OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*))
    FAKE_STUB(ShowBrowserBar, (VARIANT*, VARIANT*, VARIANT*))
    FAKE_STUB(get_Offline, (VARIANT_BOOL*))
    FAKE_STUB(put_Offline, (VARIANT_BOOL))
    FAKE_STUB(get_Silent, (VARIANT_BOOL*))
    FAKE_STUB(get_RegisterAsBrowser, (VARIANT_BOOL*))
    FAKE_STUB(put_RegisterAsBrowser, (VARIANT_BOOL))
    FAKE_STUB(get_RegisterAsDropTarget, (VARIANT_BOOL*))
    FAKE_STUB(get_TheaterMode, (VARIANT_BOOL*))
    FAKE_STUB(put_TheaterMode, (VARIANT_BOOL))
    FAKE_STUB(get_AddressBar, (VARIANT_BOOL*))
    FAKE_STUB(put_AddressBar, (VARIANT_BOOL))
    FAKE_STUB(get_Resizable, (VARIANT_BOOL*))
    FAKE_STUB(put_Resizable, (VARIANT_BOOL))

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer**) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
};

#undef FAKE_STUB

// Raises an event at the host's sink as the control would: arguments given in the event's own
// order (they are passed reversed, as IDispatch wants them).
HRESULT RaiseEvent(IDispatch* sink, DISPID id, std::vector<VARIANT> argsInOrder);

}  // namespace webviewtest
