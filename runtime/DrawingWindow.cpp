#include "runtime/DrawingWindow.h"

namespace rt {

void DrawingWindow::SetBackColor(DWORD color)
{
    m_backColor = color;
    if (m_autoRedraw) m_surface.Clear(color);
    if (HasWindow()) ::InvalidateRect(hWnd(), nullptr, TRUE);
}

void DrawingWindow::SetAutoRedraw(bool on)
{
    m_autoRedraw = on;
    if (!on) {
        ReleaseSurface();
        return;
    }
    if (!HasWindow()) return;
    RECT r;
    ::GetClientRect(hWnd(), &r);
    m_surface.Resize(r.right, r.bottom, m_backColor);
}

void DrawingWindow::Cls()
{
    if (m_autoRedraw) m_surface.Clear(m_backColor);
    if (HasWindow()) ::InvalidateRect(hWnd(), nullptr, TRUE);
}

void DrawingWindow::Refresh()
{
    if (!HasWindow()) return;
    ::InvalidateRect(hWnd(), nullptr, TRUE);
    ::UpdateWindow(hWnd());
}

bool DrawingWindow::HandleDrawingMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT r;
        ::GetClientRect(hWnd(), &r);
        if (m_autoRedraw && m_surface) {
            m_surface.PaintTo(reinterpret_cast<HDC>(wParam), r);
        } else {
            Brush brush(::CreateSolidBrush(ResolveColor(m_backColor)));
            ::FillRect(reinterpret_cast<HDC>(wParam), &r, brush.get());
        }
        result = 1;
        return true;
    }
    case WM_PAINT: {
        PaintDC dc(hWnd());
        if (m_autoRedraw) m_surface.PaintTo(dc.get(), dc.area());
        OnPaint(dc.get(), dc.area());
        result = 0;
        return true;
    }
    case WM_SIZE:
        if (m_autoRedraw && wParam != SIZE_MINIMIZED) m_surface.Resize(LOWORD(lParam), HIWORD(lParam), m_backColor);
        return false;
    }
    return false;
}

}  // namespace rt
