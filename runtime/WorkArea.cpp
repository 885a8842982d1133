#include "runtime/WorkArea.h"

namespace rt {

ScreenRect WorkAreaOf(HWND hwnd)
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    // The primary monitor's work area is what SPI_GETWORKAREA reports; ask for it there, since
    // Wine keeps a work area set through SPI_SETWORKAREA (a taskbar moved) out of the monitor's.
    if (!::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info) ||
        (info.dwFlags & MONITORINFOF_PRIMARY))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

void KeepWindowOnWorkArea(HWND hwnd, Sizing sizing)
{
    RECT r{};
    if (!::GetWindowRect(hwnd, &r)) return;
    const ScreenRect now{r.left, r.top, r.right, r.bottom};
    const ScreenRect placed = KeepOnWorkArea(now, WorkAreaOf(hwnd), sizing);
    if (placed == now) return;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (placed.Width() == now.Width() && placed.Height() == now.Height()) flags |= SWP_NOSIZE;
    ::SetWindowPos(hwnd, nullptr, placed.left, placed.top, placed.Width(), placed.Height(), flags);
}

}  // namespace rt
