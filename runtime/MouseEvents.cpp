#include "runtime/MouseEvents.h"

#include <windowsx.h>


namespace rt {

int ShiftState()
{
    int shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0) shift |= 1;
    if (::GetKeyState(VK_CONTROL) < 0) shift |= 2;
    if (::GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

int HeldButtons(WPARAM keys)
{
    int buttons = 0;
    if (keys & MK_LBUTTON) buttons |= 1;
    if (keys & MK_RBUTTON) buttons |= 2;
    if (keys & MK_MBUTTON) buttons |= 4;
    return buttons;
}

MouseEvent TranslateMouse(UINT msg, WPARAM wParam, LPARAM lParam, const TwipsScale& scale)
{
    MouseEvent e;
    switch (msg) {
    case WM_LBUTTONDOWN: e = {MouseAction::Down, 1}; break;
    case WM_RBUTTONDOWN: e = {MouseAction::Down, 2}; break;
    case WM_MBUTTONDOWN: e = {MouseAction::Down, 4}; break;
    case WM_LBUTTONUP: e = {MouseAction::Up, 1}; break;
    case WM_RBUTTONUP: e = {MouseAction::Up, 2}; break;
    case WM_MBUTTONUP: e = {MouseAction::Up, 4}; break;
    case WM_LBUTTONDBLCLK: e = {MouseAction::DoubleClick, 1}; break;
    case WM_RBUTTONDBLCLK: e = {MouseAction::DoubleClick, 2}; break;
    case WM_MBUTTONDBLCLK: e = {MouseAction::DoubleClick, 4}; break;
    case WM_MOUSEMOVE: e = {MouseAction::Move, HeldButtons(wParam)}; break;
    default: return e;
    }
    e.shift = ShiftState();
    e.x = scale.ScaleXToTwips(GET_X_LPARAM(lParam));
    e.y = scale.ScaleYToTwips(GET_Y_LPARAM(lParam));
    return e;
}

}  // namespace rt
