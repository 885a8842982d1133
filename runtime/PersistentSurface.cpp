#include "runtime/PersistentSurface.h"

#include <algorithm>

namespace rt {

COLORREF ResolveColor(DWORD color)
{
    if (color & 0x80000000u) return ::GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFFu;
}

namespace {

void Fill(HDC dc, int width, int height, COLORREF color)
{
    Brush brush(::CreateSolidBrush(ResolveColor(color)));
    RECT all{0, 0, width, height};
    ::FillRect(dc, &all, brush.get());
}

}  // namespace

void PersistentSurface::Resize(int width, int height, COLORREF backColor)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (m_surface && m_surface.width() == width && m_surface.height() == height) return;
    ClientDC screen(nullptr);
    OffscreenSurface next(screen.get(), width, height);
    if (!next) return;
    Fill(next.dc(), width, height, backColor);
    if (m_surface)
        ::BitBlt(next.dc(), 0, 0, std::min(width, m_surface.width()), std::min(height, m_surface.height()),
                 m_surface.dc(), 0, 0, SRCCOPY);
    m_surface = std::move(next);
}

void PersistentSurface::Clear(COLORREF backColor)
{
    if (m_surface) Fill(m_surface.dc(), m_surface.width(), m_surface.height(), backColor);
}

void PersistentSurface::PaintTo(HDC target, const RECT& area) const
{
    if (!m_surface) return;
    ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, m_surface.dc(), area.left,
             area.top, SRCCOPY);
}

}  // namespace rt
