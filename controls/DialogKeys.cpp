#include "controls/DialogKeys.h"

#include <algorithm>
#include <iterator>

namespace corvane {

DialogKeys::DialogKeys(HWND form, std::vector<HWND> buttons, std::function<void()> close)
    : m_form(form), m_buttons(std::move(buttons)), m_close(std::move(close)),
      m_filter([this](MSG& msg) { return Filter(msg); })
{
}

void DialogKeys::OnActivate(bool active)
{
    if (m_buttons.empty()) return;
    const bool known = std::find(m_buttons.begin(), m_buttons.end(), m_last) != m_buttons.end() && ::IsWindow(m_last);
    if (!active) {
        const HWND focus = ::GetFocus();
        if (std::find(m_buttons.begin(), m_buttons.end(), focus) != m_buttons.end()) m_last = focus;
        return;
    }
    ::SetFocus(known ? m_last : m_buttons.front());
}

bool DialogKeys::Owns(HWND hwnd) const
{
    return hwnd && m_form && (hwnd == m_form || ::IsChild(m_form, hwnd));
}

bool DialogKeys::Filter(const MSG& msg) const
{
    if (!Owns(msg.hwnd)) return false;
    const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (!down) return false;
    if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4) {
        // The close button's answer, not the form's own unload from its system menu.
        const std::function<void()> close = m_close;  // closing may destroy this object
        if (close) close();
        return true;
    }
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam == VK_ESCAPE) {
        const std::function<void()> close = m_close;
        if (close) close();
        return true;
    }
    if (msg.wParam == VK_TAB && !m_buttons.empty()) {
        const bool back = ::GetKeyState(VK_SHIFT) < 0;
        const auto at = std::find(m_buttons.begin(), m_buttons.end(), ::GetFocus());
        const std::ptrdiff_t n = std::ssize(m_buttons);
        std::ptrdiff_t i = at == m_buttons.end() ? (back ? 0 : -1) : at - m_buttons.begin();
        i = (i + (back ? n - 1 : 1)) % n;
        ::SetFocus(m_buttons[static_cast<std::size_t>(i)]);
        return true;
    }
    return false;
}

}  // namespace corvane
