// The tab strip as screen readers see it.

#include "tabstrip/uTab.h"

namespace corvane {

StripFacts uTab::ReaderFacts() const
{
    StripFacts facts;
    facts.geometry = Geometry();
    facts.selected = m_selected;
    const TabOverflow overflow = Overflow();
    facts.shift = overflow.shift;
    facts.visibleEnd = overflow.chevronLeft;
    for (long i = 0; i < m_items->Count(); ++i) {
        const CTabItem& item = m_items->At(i);
        facts.tabs.push_back({item.Caption(), item.Left(), item.Width(), item.HideButton()});
    }
    return facts;
}

long uTab::ReaderView::ChildCount() const
{
    return 2 * m_strip.m_items->Count();
}

rt::acc::Item uTab::ReaderView::Describe(long child) const
{
    return DescribeStrip(m_strip.ReaderFacts(), child);
}

long uTab::ReaderView::SelectedChild() const
{
    const long selected = m_strip.m_selected;
    return selected >= 0 && selected < m_strip.m_items->Count() ? ChildOfTab(selected) : 0;
}

void uTab::ReaderView::DoDefaultAction(long child)
{
    const TabChild which = TabOfChild(m_strip.m_items->Count(), child);
    if (which.index < 0) return;
    if (!which.close) {
        m_strip.SelectForReader(which.index);
        return;
    }
    if (m_strip.m_items->At(which.index).HideButton()) return;
    // As a click on the close button: the host may refuse, or unload the strip's own form.
    m_strip.m_items->Remove(which.index, true);
}

long uTab::ReaderView::ActionKey(long child) const
{
    const TabChild which = TabOfChild(m_strip.m_items->Count(), child);
    return which.index < 0 ? 0 : TabActionKey(m_strip.m_items->IdAt(which.index), which.close);
}

long uTab::ReaderView::ChildOfAction(long key) const
{
    const TabAction action = TabOfActionKey(key);
    const long index = action.id ? m_strip.m_items->FindId(action.id) : -1;
    if (index < 0) return -1;
    return action.close ? ChildOfCloseButton(m_strip.m_items->Count(), index) : ChildOfTab(index);
}

bool uTab::ReaderView::Select(long child)
{
    const TabChild which = TabOfChild(m_strip.m_items->Count(), child);
    if (which.index < 0 || which.close) return false;
    // The host hears TabChanged, which may run anything: leave that to the strip's queue.
    return rt::AccessibleHost::PostDefaultAction(m_strip.rt::Window::hWnd(), ActionKey(child));
}

void uTab::SelectForReader(long index)
{
    if (index < 0 || index >= m_items->Count()) return;
    // As a click on the tab.
    if (index != m_selected) {
        m_selected = index;
        ShowSelectedPage();
        DrawTabs(true);
    }
    rt::RaiseEvent(Life(), TabChanged);
}

void uTab::AnnounceToReaders()
{
    HWND self = rt::Window::hWnd();
    if (!self) return;
    const long count = m_items->Count();
    std::vector<std::wstring> captions;
    captions.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) captions.push_back(m_items->At(i).Caption());
    // Only a tab that kept its place was renamed; a list that grew or shrank is a new list.
    if (captions.size() == m_announcedCaptions.size()) {
        for (std::size_t i = 0; i < captions.size(); ++i)
            if (captions[i] != m_announcedCaptions[i])
                rt::AccessibleHost::Notify(self, rt::acc::Event::NameChange, ChildOfTab(static_cast<long>(i)));
    } else {
        rt::AccessibleHost::Notify(self, rt::acc::Event::Reorder);
    }
    m_announcedCaptions = std::move(captions);
    if (m_selected != m_announcedSelection && m_selected >= 0 && m_selected < count) {
        rt::AccessibleHost::Notify(self, rt::acc::Event::Selection, ChildOfTab(m_selected));
        if (::GetFocus() == self) rt::AccessibleHost::Notify(self, rt::acc::Event::Focus, ChildOfTab(m_selected));
    }
    m_announcedSelection = m_selected;
}

}  // namespace corvane
