#include "runtime/Handles.h"

namespace rt {

BITMAPINFO TopDownDib32(int width, int height)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

HBITMAP CreateDib32(HDC dc, int width, int height, void** bits)
{
    BITMAPINFO bi = TopDownDib32(width, height);
    return ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
}

OffscreenSurface::OffscreenSurface(HDC compatibleWith, int width, int height)
    : m_dc(::CreateCompatibleDC(compatibleWith)),
      m_bitmap(::CreateCompatibleBitmap(compatibleWith, width, height)),
      m_width(width),
      m_height(height)
{
    if (m_dc && m_bitmap) m_oldBitmap = ::SelectObject(m_dc.get(), m_bitmap.get());
}

OffscreenSurface::OffscreenSurface(OffscreenSurface&& other) noexcept
    : m_dc(std::move(other.m_dc)),
      m_bitmap(std::move(other.m_bitmap)),
      m_oldBitmap(std::exchange(other.m_oldBitmap, nullptr)),
      m_width(std::exchange(other.m_width, 0)),
      m_height(std::exchange(other.m_height, 0))
{
}

OffscreenSurface& OffscreenSurface::operator=(OffscreenSurface&& other) noexcept
{
    if (this != &other) {
        Release();
        m_dc = std::move(other.m_dc);
        m_bitmap = std::move(other.m_bitmap);
        m_oldBitmap = std::exchange(other.m_oldBitmap, nullptr);
        m_width = std::exchange(other.m_width, 0);
        m_height = std::exchange(other.m_height, 0);
    }
    return *this;
}

OffscreenSurface::~OffscreenSurface() { Release(); }

void OffscreenSurface::Release()
{
    if (m_dc && m_oldBitmap) ::SelectObject(m_dc.get(), m_oldBitmap);
    m_oldBitmap = nullptr;
    m_bitmap.reset();
    m_dc.reset();
}

}  // namespace rt
