#include "browser/mshtml/HostShortcuts.h"

namespace browser {

namespace {
constexpr unsigned kF5 = 0x74, kF11 = 0x7A;
}

bool IsSwallowedBrowserShortcut(unsigned vk, bool ctrl, bool alt)
{
    if (alt) return false;  // Alt+key belongs to the window's menu and the system
    if (vk == kF5 || vk == kF11) return true;
    if (!ctrl) return false;
    return vk == 'N' || vk == 'O' || vk == 'P' || vk == 'L' || vk == 'R';
}

}  // namespace browser
