#include "runtime/PopupMenu.h"

namespace rt {

PopupMenu::PopupMenu() : m_menu(::CreatePopupMenu()) {}

void PopupMenu::Add(UINT id, const std::wstring& caption)
{
    if (caption == L"-")
        ::AppendMenuW(m_menu.get(), MF_SEPARATOR, id, nullptr);
    else
        ::AppendMenuW(m_menu.get(), MF_STRING, id, caption.c_str());
}

void PopupMenu::SetCaption(UINT id, const std::wstring& caption)
{
    ::ModifyMenuW(m_menu.get(), id, MF_BYCOMMAND | MF_STRING, id, caption.c_str());
}

std::wstring PopupMenu::Caption(UINT id) const
{
    wchar_t buffer[256] = {};
    ::GetMenuStringW(m_menu.get(), id, buffer, 256, MF_BYCOMMAND);
    return buffer;
}

int PopupMenu::Count() const
{
    return ::GetMenuItemCount(m_menu.get());
}

UINT PopupMenu::Show(HWND owner)
{
    POINT at;
    ::GetCursorPos(&at);
    // A menu of a window that is not in front (the tray's menu, a hidden window's) would not
    // close when the user clicks elsewhere; bringing the owner forward first makes it close.
    ::SetForegroundWindow(owner);
    const UINT chosen = static_cast<UINT>(::TrackPopupMenu(m_menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                           at.x, at.y, 0, owner, nullptr));
    ::PostMessageW(owner, WM_NULL, 0, 0);
    return chosen;
}

}  // namespace rt
