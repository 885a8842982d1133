#include "runtime/Control.h"


namespace rt {

bool Control::Create(HWND parent, double left, double top, double width, double height)
{
    const TwipsScale scale = TwipsScaleOf(parent);
    WindowParams params;
    params.className = ClassName();
    params.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | ExtraStyle();
    params.parent = parent;
    params.x = scale.PixelsX(left);
    params.y = scale.PixelsY(top);
    params.width = scale.PixelsX(width);
    params.height = scale.PixelsY(height);
    if (!CreateHandle(params)) return false;
    m_created = true;
    if (AutoRedraw()) SetAutoRedraw(true);
    OnCreated();
    return true;
}

POINT Control::ParentClientOrigin() const
{
    POINT origin{0, 0};
    if (HWND parent = ::GetParent(hWnd())) ::ClientToScreen(parent, &origin);
    return origin;
}

void Control::Move(double left, double top, double width, double height)
{
    if (!HasWindow()) return;
    const TwipsScale scale = Twips();
    RECT r;
    ::GetWindowRect(hWnd(), &r);
    const POINT origin = ParentClientOrigin();
    const int x = left == kKeep ? r.left - origin.x : scale.PixelsX(left);
    const int y = top == kKeep ? r.top - origin.y : scale.PixelsY(top);
    const int w = width == kKeep ? r.right - r.left : scale.PixelsX(width);
    const int h = height == kKeep ? r.bottom - r.top : scale.PixelsY(height);
    ::SetWindowPos(hWnd(), nullptr, x, y, w < 0 ? 0 : w, h < 0 ? 0 : h, SWP_NOZORDER | SWP_NOACTIVATE);
}

long Control::Left() const
{
    RECT r{};
    if (HasWindow()) ::GetWindowRect(hWnd(), &r);
    return Twips().TwipsX(r.left - ParentClientOrigin().x);
}

long Control::Top() const
{
    RECT r{};
    if (HasWindow()) ::GetWindowRect(hWnd(), &r);
    return Twips().TwipsY(r.top - ParentClientOrigin().y);
}

long Control::Width() const { return Twips().TwipsX(PixelSize().cx); }
long Control::Height() const { return Twips().TwipsY(PixelSize().cy); }

SIZE Control::PixelSize() const
{
    RECT r{};
    if (HasWindow()) ::GetWindowRect(hWnd(), &r);
    return {r.right - r.left, r.bottom - r.top};
}

bool Control::Visible() const { return HasWindow() && ::IsWindowVisible(hWnd()); }

void Control::SetVisible(bool visible)
{
    if (HasWindow()) ::ShowWindow(hWnd(), visible ? SW_SHOWNA : SW_HIDE);
}

bool Control::Enabled() const { return HasWindow() && ::IsWindowEnabled(hWnd()); }

void Control::SetEnabled(bool enabled)
{
    if (HasWindow()) ::EnableWindow(hWnd(), enabled);
}

LRESULT Control::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; HandleDrawingMessage(msg, wParam, lParam, result)) return result;
    if (msg == WM_SIZE) {
        if (m_created) OnResize();
        return 0;
    }
    if (msg == DpiChangeNotice()) {
        if (m_created) OnDpiChanged();
        return 0;
    }
    return Final(msg, wParam, lParam);
}

}  // namespace rt
