#include "runtime/WindowEvents.h"

namespace rt {

bool RunningUnderWine()
{
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void AnnounceShowHide(HWND hwnd, const WINDOWPOS& pos)
{
    if (!(pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) return;
    static const bool systemLeavesThem = RunningUnderWine();
    if (!systemLeavesThem) return;
    ::NotifyWinEvent((pos.flags & SWP_SHOWWINDOW) ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, hwnd, OBJID_WINDOW,
                     CHILDID_SELF);
}

}  // namespace rt
