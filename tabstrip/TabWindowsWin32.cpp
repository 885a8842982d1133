#include "tabstrip/TabWindowsWin32.h"

#include <windows.h>

namespace corvane {

namespace {

HWND ToHwnd(WindowHandle h)
{
    return reinterpret_cast<HWND>(h);
}

}  // namespace

long Win32TabWindows::WindowStyle(WindowHandle window)
{
    return ::GetWindowLongW(ToHwnd(window), GWL_STYLE);
}

void Win32TabWindows::Activate(WindowHandle window)
{
    ::SetActiveWindow(ToHwnd(window));
}

void Win32TabWindows::ReleaseToDesktop(WindowHandle page, long style, WindowHandle stripParent)
{
    HWND hwnd = ToHwnd(page);
    ::SetParent(hwnd, nullptr);
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    ::SetWindowLongW(hwnd, GWL_STYLE, style);
    const ScreenPoint at = CentreOnScreen(screenWidth, screenHeight, r.right - r.left, r.bottom - r.top);
    ::SetWindowPos(hwnd, nullptr, at.x, at.y, 0, 0, SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOSIZE);
    ::RedrawWindow(ToHwnd(stripParent), nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT);
}

}  // namespace corvane
