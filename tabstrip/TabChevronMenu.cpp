#include "tabstrip/TabChevronMenu.h"

#include "runtime/PopupMenu.h"
#include "tabstrip/CaptionFit.h"

namespace corvane {

long ChooseFromTabMenu(HWND owner, POINT at, const std::vector<std::wstring>& captions, long selected)
{
    rt::PopupMenu menu;
    // Ids start at 1: 0 is what the menu answers when nothing was chosen.
    for (std::size_t i = 0; i < captions.size(); ++i)
        menu.Add(static_cast<UINT>(i + 1), MenuCaption(captions[i], static_cast<long>(i)));
    if (selected >= 0 && selected < static_cast<long>(captions.size()))
        ::CheckMenuItem(menu.handle(), static_cast<UINT>(selected + 1), MF_BYCOMMAND | MF_CHECKED);
    const UINT chosen = static_cast<UINT>(::TrackPopupMenu(menu.handle(),
                                                           TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTALIGN | TPM_TOPALIGN,
                                                           at.x, at.y, 0, owner, nullptr));
    // The menu's loop may leave a pending message unanswered until the next one arrives.
    ::PostMessageW(owner, WM_NULL, 0, 0);
    return chosen >= 1 && chosen <= captions.size() ? static_cast<long>(chosen - 1) : -1;
}

}  // namespace corvane
