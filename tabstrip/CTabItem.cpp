#include "tabstrip/CTabItem.h"

#include "tabstrip/ITabForm.h"
#include "tabstrip/IuTab.h"

namespace corvane {

CTabItem::~CTabItem()
{
    UnloadPage();
}

void CTabItem::SetCaption(std::wstring caption)
{
    m_caption = std::move(caption);
    if (m_strip) m_strip->Redraw(true);
}

void CTabItem::SetForm(std::shared_ptr<ITabForm> form)
{
    m_form = std::move(form);
    // Keep our own reference: the page's Initialize may replace the tab's page.
    std::shared_ptr<ITabForm> page = m_form;
    if (page) page->Initialize(m_strip, weak_from_this().lock());
    if (m_strip) m_strip->ChangeForm(*this, page);
}

void CTabItem::SetHideButton(bool hide)
{
    m_hideButton = hide;
    if (m_strip) m_strip->Redraw(true);
}

void CTabItem::SetLockSize(bool lock)
{
    m_lockSize = lock;
    if (m_strip) m_strip->Redraw(true);
}

void CTabItem::UnloadPage()
{
    if (std::shared_ptr<ITabForm> page = std::move(m_form)) page->UnloadForm();
}

std::shared_ptr<ITabForm> CTabItem::TakeForm()
{
    return std::move(m_form);
}

}  // namespace corvane
