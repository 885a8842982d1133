#pragma once
// A popup menu shown at the pointer, as the program's menus are: items with captions (a caption
// of "-" is a separator), the chosen item's id returned to the caller.

#include <windows.h>

#include <string>

#include "runtime/Handles.h"

namespace rt {

class PopupMenu {
public:
    PopupMenu();

    void Add(UINT id, const std::wstring& caption);
    void SetCaption(UINT id, const std::wstring& caption);
    std::wstring Caption(UINT id) const;
    int Count() const;
    HMENU handle() const { return m_menu.get(); }

    // Shows the menu at the pointer, owned by `owner`, and returns the chosen id (0: none).
    UINT Show(HWND owner);

private:
    Menu m_menu;
};

}  // namespace rt
