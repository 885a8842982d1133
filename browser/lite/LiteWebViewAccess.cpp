// The built-in engine's page as screen readers see it: its links, in page order, and its text
// fields, which are edit controls of their own named after the page's labels.

#include <oleacc.h>

#include <utility>

#include "browser/layout/ReaderFields.h"
#include "browser/lite/LiteWebView.h"
#include "browser/lite/TextConvert.h"

namespace browser {

namespace {

constexpr wchar_t kFollowAction[] = L"跳转";

}  // namespace

long LiteWebView::ReaderView::ChildCount() const
{
    return static_cast<long>(Links().size());
}

rt::acc::Item LiteWebView::ReaderView::Describe(long child) const
{
    rt::acc::Item item;
    if (child == 0) return item;  // the page itself: a client area
    const std::vector<ReaderLink>& links = Links();
    if (child < 1 || child > static_cast<long>(links.size())) return item;
    const ReaderLink& link = links[static_cast<std::size_t>(child - 1)];
    item.role = rt::acc::kRoleLink;
    item.name = Utf8ToWide(link.name);
    item.value = Utf8ToWide(*link.href);
    item.defaultAction = kFollowAction;
    item.state = rt::acc::kStateFocusable | rt::acc::kStateLinked;
    if (link.element && link.element == m_view.m_focusLink && ::GetFocus() == m_view.hWnd())
        item.state |= rt::acc::kStateFocused;
    item.hasPlace = true;
    const int top = link.rect.y - m_view.m_scrollY;
    item.place = {link.rect.x, top, link.rect.right(), top + link.rect.height};
    RECT client{};
    ::GetClientRect(m_view.hWnd(), &client);
    if (top + link.rect.height <= 0 || top >= client.bottom) item.state |= rt::acc::kStateOffscreen;
    return item;
}

long LiteWebView::ReaderView::ChildAt(int x, int y) const
{
    // A point of the client area on a link is on screen, so the link's place alone decides.
    const std::vector<ReaderLink>& links = Links();
    for (std::size_t i = 0; i < links.size(); ++i)
        if (links[i].rect.Contains(x, y + m_view.m_scrollY)) return static_cast<long>(i) + 1;
    return 0;
}

long LiteWebView::ReaderView::FocusedChild() const
{
    const std::vector<ReaderLink>& links = Links();
    for (std::size_t i = 0; i < links.size(); ++i)
        if (links[i].element && links[i].element == m_view.m_focusLink) return static_cast<long>(i) + 1;
    return 0;
}

void LiteWebView::ReaderView::DoDefaultAction(long child)
{
    const std::vector<ReaderLink>& links = Links();
    if (child < 1 || child > static_cast<long>(links.size())) return;
    // A copy: following the link may lay out a new page, and with it a new list.
    const ReaderLink link = links[static_cast<std::size_t>(child - 1)];
    m_view.FollowLink(*link.href, link.element);
}

// --- Text fields -------------------------------------------------------------------------------

std::unique_ptr<LiteWebView::FieldReader> LiteWebView::AttachReader(HWND hwnd)
{
    auto reader = std::make_unique<FieldReader>(*this, hwnd);
    bool unicode = true;
    if (!m_fieldSubclass.ssc_Subclass(hwnd, reinterpret_cast<LONG_PTR>(reader.get()), unicode, false)) return nullptr;
    m_fieldSubclass.ssc_AddMsg(hwnd, WM_GETOBJECT, corvane::MSG_BEFORE);
    m_fieldSubclass.ssc_AddMsg(hwnd, WM_NCDESTROY, corvane::MSG_BEFORE);
    return reader;
}

void LiteWebView::FieldReader::Route(bool before, bool& handled, LRESULT& result, HWND hwnd, UINT msg, WPARAM wParam,
                                     LPARAM lParam, LONG_PTR& reader)
{
    // The window has no name of its own for readers, and its system object cannot be told one
    // (Wine refuses property annotations), so the window answers readers itself.
    if (before && reader)
        handled = reinterpret_cast<FieldReader*>(reader)->HandleMessage(hwnd, msg, wParam, lParam, result);
}

LiteWebView::FieldReader::~FieldReader()
{
    ReleaseProxy();
}

void LiteWebView::FieldReader::ReleaseProxy() const
{
    if (m_proxy) std::exchange(m_proxy, nullptr)->Release();
}

bool LiteWebView::FieldReader::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const bool handled = m_access.HandleMessage(hwnd, msg, wParam, lParam, result);
    if (msg == WM_NCDESTROY) ReleaseProxy();
    return handled;
}

rt::acc::Item LiteWebView::FieldReader::Describe(long) const
{
    // Role, states and value are the edit control's as the system describes it (a password
    // field says it is protected and keeps its value to itself); the name is the page's.
    rt::acc::Item item;
    item.role = rt::acc::kRoleText;
    if (!m_proxy && ::IsWindow(m_hwnd))
        ::CreateStdAccessibleObject(m_hwnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&m_proxy));
    if (m_proxy) {
        VARIANT self;
        ::VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        VARIANT answer;
        ::VariantInit(&answer);
        if (SUCCEEDED(m_proxy->get_accRole(self, &answer)) && answer.vt == VT_I4) item.role = answer.lVal;
        ::VariantClear(&answer);
        if (SUCCEEDED(m_proxy->get_accState(self, &answer)) && answer.vt == VT_I4)
            item.state = static_cast<unsigned long>(answer.lVal);
        ::VariantClear(&answer);
        BSTR value = nullptr;
        if (m_proxy->get_accValue(self, &value) == S_OK && value) item.value.assign(value, ::SysStringLen(value));
        ::SysFreeString(value);
    }
    const Field* field = m_view.FieldOf(m_hwnd);
    if (field && field->element) item.name = Utf8ToWide(FieldName(*field->element));
    return item;
}

}  // namespace browser
