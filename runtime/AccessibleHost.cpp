#include "runtime/AccessibleHost.h"

#include <oleacc.h>

#include <new>

namespace rt {

static_assert(acc::kRolePushButton == ROLE_SYSTEM_PUSHBUTTON && acc::kRolePageTabList == ROLE_SYSTEM_PAGETABLIST &&
              acc::kRolePageTab == ROLE_SYSTEM_PAGETAB && acc::kRoleProgressBar == ROLE_SYSTEM_PROGRESSBAR &&
              acc::kRoleTitleBar == ROLE_SYSTEM_TITLEBAR && acc::kRoleStaticText == ROLE_SYSTEM_STATICTEXT &&
              acc::kRoleLink == ROLE_SYSTEM_LINK && acc::kRoleCheckButton == ROLE_SYSTEM_CHECKBUTTON &&
              acc::kRoleClient == ROLE_SYSTEM_CLIENT && acc::kRoleDialog == ROLE_SYSTEM_DIALOG &&
              acc::kRoleText == ROLE_SYSTEM_TEXT && acc::kRoleWindow == ROLE_SYSTEM_WINDOW);
static_assert(acc::kStateUnavailable == STATE_SYSTEM_UNAVAILABLE && acc::kStateSelected == STATE_SYSTEM_SELECTED &&
              acc::kStateFocused == STATE_SYSTEM_FOCUSED && acc::kStatePressed == STATE_SYSTEM_PRESSED &&
              acc::kStateChecked == STATE_SYSTEM_CHECKED && acc::kStateInvisible == STATE_SYSTEM_INVISIBLE &&
              acc::kStateOffscreen == STATE_SYSTEM_OFFSCREEN && acc::kStateFocusable == STATE_SYSTEM_FOCUSABLE &&
              acc::kStateSelectable == STATE_SYSTEM_SELECTABLE && acc::kStateLinked == STATE_SYSTEM_LINKED &&
              acc::kStateReadOnly == STATE_SYSTEM_READONLY);

namespace {

// A reader's default action is carried out from the control's queue with this message.
UINT ActionMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"Corvane.AccessibleAction");
    return message;
}

BSTR CopyText(const std::wstring& text)
{
    return ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

}  // namespace

class AccessibleObject final : public IAccessible {
public:
    AccessibleObject(HWND hwnd, acc::Source& source) : m_hwnd(hwnd), m_source(&source) {}

    void Disconnect()
    {
        m_source = nullptr;
        // Drops the references the marshalling stubs hold for readers in other processes.
        ::CoDisconnectObject(static_cast<IAccessible*>(this), 0);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

    // IDispatch: readers use the interface's methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!Connected()) return CO_E_OBJNOTCONNECTED;
        return ::AccessibleObjectFromWindow(m_hwnd, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                            reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        if (!count) return E_POINTER;
        *count = 0;
        if (!Connected()) return CO_E_OBJNOTCONNECTED;
        *count = m_source->ChildCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        long id = 0;
        if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
        // Every child is a simple element of this object.
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        return Text(child, name, [](const acc::Item& item) -> const std::wstring& { return item.name; });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        return Text(child, value, [](const acc::Item& item) -> const std::wstring& { return item.value; });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override { return Nothing(child, text); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override { return Nothing(child, text); }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override
    {
        return Nothing(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override
    {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return Connected() ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!role) return E_POINTER;
        ::VariantInit(role);
        long id = 0;
        if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
        role->vt = VT_I4;
        role->lVal = m_source->Describe(id).role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        if (!state) return E_POINTER;
        ::VariantInit(state);
        long id = 0;
        if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
        unsigned long bits = m_source->Describe(id).state;
        if (id == 0) {
            const bool focused = ::GetFocus() == m_hwnd;
            bits |= acc::WindowStates(::IsWindowVisible(m_hwnd) != FALSE, ::IsWindowEnabled(m_hwnd) != FALSE,
                                      focused && m_source->FocusedChild() == 0, false);
        }
        state->vt = VT_I4;
        state->lVal = static_cast<LONG>(bits);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override
    {
        if (!focus) return E_POINTER;
        ::VariantInit(focus);
        if (!Connected()) return CO_E_OBJNOTCONNECTED;
        if (::GetFocus() != m_hwnd) return S_FALSE;
        focus->vt = VT_I4;
        focus->lVal = m_source->FocusedChild();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        if (!selection) return E_POINTER;
        ::VariantInit(selection);
        if (!Connected()) return CO_E_OBJNOTCONNECTED;
        const long selected = m_source->SelectedChild();
        if (selected <= 0) return S_FALSE;
        selection->vt = VT_I4;
        selection->lVal = selected;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return Text(child, action, [](const acc::Item& item) -> const std::wstring& { return item.defaultAction; });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        long id = 0;
        if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
        if (id == 0 || !(flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS))) return E_INVALIDARG;
        return m_source->Select(id) ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        long id = 0;
        if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
        RECT rect{};
        if (id == 0) {
            ::GetWindowRect(m_hwnd, &rect);
        } else {
            const acc::Item item = m_source->Describe(id);
            if (!item.hasPlace) return S_FALSE;
            rect = {item.place.left, item.place.top, item.place.right, item.place.bottom};
            ::MapWindowPoints(m_hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        }
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        if (!end) return E_POINTER;
        ::VariantInit(end);
        long id = 0;
        if (HRESULT hr = Check(start, id); FAILED(hr)) return hr;
        int step = 0;
        switch (direction) {
        case NAVDIR_FIRSTCHILD: step = 0; break;
        case NAVDIR_LASTCHILD: step = 2; break;
        case NAVDIR_NEXT: step = 1; break;
        case NAVDIR_PREVIOUS: step = -1; break;
        default: return S_FALSE;  // spatial moves: readers fall back to locations
        }
        const long next = acc::NeighbourChild(m_source->ChildCount(), id, step);
        if (next == 0) return S_FALSE;
        end->vt = VT_I4;
        end->lVal = next;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override
    {
        if (!hit) return E_POINTER;
        ::VariantInit(hit);
        if (!Connected()) return CO_E_OBJNOTCONNECTED;
        POINT at{x, y};
        ::ScreenToClient(m_hwnd, &at);
        RECT client{};
        ::GetClientRect(m_hwnd, &client);
        if (!::PtInRect(&client, at)) return S_FALSE;
        hit->vt = VT_I4;
        hit->lVal = m_source->ChildAt(at.x, at.y);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        long id = 0;
        if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
        if (m_source->Describe(id).defaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
        // The reader waits for this call; the action (a modal box, the control's end) runs
        // from the control's queue once the call has returned.
        return AccessibleHost::PostDefaultAction(m_hwnd, m_source->ActionKey(id)) ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~AccessibleObject() = default;

    bool Connected() const { return m_source && ::IsWindow(m_hwnd); }

    HRESULT Check(const VARIANT& child, long& id) const
    {
        if (!Connected()) return CO_E_OBJNOTCONNECTED;
        if (child.vt != VT_I4 || !acc::IsChild(*m_source, child.lVal)) return E_INVALIDARG;
        id = child.lVal;
        return S_OK;
    }

    template <typename Field>
    HRESULT Text(const VARIANT& child, BSTR* out, Field field) const
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        long id = 0;
        if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
        const acc::Item item = m_source->Describe(id);
        const std::wstring& text = field(item);
        if (text.empty()) return S_FALSE;
        *out = CopyText(text);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT Nothing(const VARIANT& child, BSTR* out) const
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        long id = 0;
        if (HRESULT hr = Check(child, id); FAILED(hr)) return hr;
        return S_FALSE;
    }

    LONG m_refs = 1;
    HWND m_hwnd;
    acc::Source* m_source;  // nullptr once disconnected
};

AccessibleHost::~AccessibleHost()
{
    Disconnect();
}

bool AccessibleHost::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        if (!m_object) m_object = new (std::nothrow) AccessibleObject(hwnd, m_source);
        if (!m_object) return false;
        result = ::LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(m_object));
        return true;
    }
    if (msg == ActionMessage()) {
        const long child = m_source.ChildOfAction(static_cast<long>(wParam));
        if (m_object && acc::IsChild(m_source, child)) m_source.DoDefaultAction(child);
        result = 0;
        return true;
    }
    if (msg == WM_NCDESTROY) Disconnect();  // the window goes on to its own handling
    return false;
}

void AccessibleHost::Notify(HWND hwnd, acc::Event event, long child)
{
    if (!hwnd) return;
    DWORD id = 0;
    switch (event) {
    case acc::Event::Show: id = EVENT_OBJECT_SHOW; break;
    case acc::Event::Hide: id = EVENT_OBJECT_HIDE; break;
    case acc::Event::Focus: id = EVENT_OBJECT_FOCUS; break;
    case acc::Event::Selection: id = EVENT_OBJECT_SELECTION; break;
    case acc::Event::NameChange: id = EVENT_OBJECT_NAMECHANGE; break;
    case acc::Event::StateChange: id = EVENT_OBJECT_STATECHANGE; break;
    case acc::Event::ValueChange: id = EVENT_OBJECT_VALUECHANGE; break;
    case acc::Event::LocationChange: id = EVENT_OBJECT_LOCATIONCHANGE; break;
    case acc::Event::Reorder: id = EVENT_OBJECT_REORDER; break;
    }
    ::NotifyWinEvent(id, hwnd, OBJID_CLIENT, child);
}

bool AccessibleHost::PostDefaultAction(HWND hwnd, long key)
{
    return ::PostMessageW(hwnd, ActionMessage(), static_cast<WPARAM>(key), 0) != FALSE;
}

void AccessibleHost::Disconnect()
{
    AccessibleObject* object = m_object;
    m_object = nullptr;
    if (!object) return;
    object->Disconnect();
    object->Release();
}

}  // namespace rt
