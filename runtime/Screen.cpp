#include "runtime/Screen.h"

#include <windows.h>

#include "runtime/DpiScale.h"
#include "runtime/Form.h"
#include "runtime/Handles.h"

namespace rt {

TwipsScale Screen::Scale()
{
    static const TwipsScale scale = [] {
        TwipsScale s;
        ClientDC screen(nullptr);
        if (screen) {
            s.dpiX = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
            s.dpiY = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
        }
        if (s.dpiX <= 0) s.dpiX = 96;
        if (s.dpiY <= 0) s.dpiY = 96;
        return s;
    }();
    return scale;
}

long Screen::Width() { return Scale().TwipsX(::GetSystemMetrics(SM_CXSCREEN)); }
long Screen::Height() { return Scale().TwipsY(::GetSystemMetrics(SM_CYSCREEN)); }
long Screen::TwipsPerPixelX() { return static_cast<long>(Scale().TwipsPerPixelX()); }
long Screen::TwipsPerPixelY() { return static_cast<long>(Scale().TwipsPerPixelY()); }
int Screen::Scaled(double pixels) { return ScalePixels(pixels, Scale().dpiX); }

int Screen::DpiFor(HWND hwnd)
{
    // What the system said when it moved the window is the window's dpi from then on.
    if (const int moved = MovedDpiOf(hwnd)) return moved;
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && hwnd) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi > 0) return SaneDpi(static_cast<int>(dpi));
    }
    return Scale().dpiX;
}

}  // namespace rt
