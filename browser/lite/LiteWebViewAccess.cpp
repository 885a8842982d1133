// The built-in engine's page as screen readers see it: its links, in page order.

#include "browser/layout/ReaderLinks.h"
#include "browser/lite/LiteWebView.h"
#include "browser/lite/TextConvert.h"

namespace browser {

namespace {

constexpr wchar_t kFollowAction[] = L"跳转";

}  // namespace

long LiteWebView::ReaderView::ChildCount() const
{
    return static_cast<long>(ReaderLinks(m_view.m_layout).size());
}

rt::acc::Item LiteWebView::ReaderView::Describe(long child) const
{
    rt::acc::Item item;
    if (child == 0) return item;  // the page itself: a client area
    const std::vector<ReaderLink> links = ReaderLinks(m_view.m_layout);
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

long LiteWebView::ReaderView::FocusedChild() const
{
    const std::vector<ReaderLink> links = ReaderLinks(m_view.m_layout);
    for (std::size_t i = 0; i < links.size(); ++i)
        if (links[i].element && links[i].element == m_view.m_focusLink) return static_cast<long>(i) + 1;
    return 0;
}

void LiteWebView::ReaderView::DoDefaultAction(long child)
{
    const std::vector<ReaderLink> links = ReaderLinks(m_view.m_layout);
    if (child < 1 || child > static_cast<long>(links.size())) return;
    const ReaderLink& link = links[static_cast<std::size_t>(child - 1)];
    m_view.FollowLink(*link.href, link.element);
}

}  // namespace browser
