// The iButton as screen readers see it.

#include "controls/iButton.h"

namespace corvane {

void iButton::SetAccessibleName(const std::wstring& name)
{
    if (name == m_accessibleName) return;
    m_accessibleName = name;
    rt::AccessibleHost::Notify(hWnd(), rt::acc::Event::NameChange);
}

rt::acc::Item iButton::ReaderView::Describe(long) const
{
    ButtonFacts facts;
    facts.caption = m_button.m_caption;
    facts.givenName = m_button.m_accessibleName;
    facts.style = m_button.m_style;
    facts.value = m_button.m_value;
    facts.pressed = m_button.m_pressed;
    return DescribeButton(facts);
}

void iButton::ReaderView::DoDefaultAction(long)
{
    m_button.ClickForReader();
}

void iButton::ClickForReader()
{
    // As the Enter key clicks: a disabled button does not take the action.
    if (!HasWindow() || !m_enabled || !::IsWindowEnabled(hWnd())) return;
    if (m_style == 1) m_value = !m_value;
    cMouseAction(CurrentState(), true);
    if (m_style == 1) rt::AccessibleHost::Notify(hWnd(), rt::acc::Event::StateChange);
    rt::RaiseEvent(Life(), Click);
}

}  // namespace corvane
