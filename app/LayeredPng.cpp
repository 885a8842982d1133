#include "app/LayeredPng.h"

#include <cstddef>
#include <cstring>

#include "app/StartupMarks.h"
#include "runtime/Resources.h"

namespace corvane {

std::unique_ptr<rt::StreamImage> LoadPngResource(int id, const wchar_t* type)
{
    auto bytes = rt::CustomResource(id, type);
    if (bytes.empty()) return nullptr;
    return std::make_unique<rt::StreamImage>(bytes);
}

LayeredPngPainter::~LayeredPngPainter()
{
    Release();
}

void LayeredPngPainter::Paint(HWND layeredWindow, int id)
{
    Release();
    m_session.emplace();
    StartupMark("gdi+ started");
    m_image = LoadPngResource(id, L"PNG");
    StartupMark("png decoded");
    if (!m_image || !*m_image) return;
    m_width = static_cast<int>(m_image->Width());
    m_height = static_cast<int>(m_image->Height());

    rt::ClientDC windowDC(layeredWindow);
    m_memoryDC.reset(::CreateCompatibleDC(windowDC.get()));
    // A 32-bit top-down DIB keeps the alpha channel that UpdateLayeredWindow blends with; a
    // bitmap compatible with a 24-bit screen would drop it.
    void* bits = nullptr;
    m_bitmap.reset(rt::CreateDib32(windowDC.get(), m_width, m_height, &bits));
    if (!m_memoryDC || !m_bitmap) return;
    m_oldBitmap = ::SelectObject(m_memoryDC.get(), m_bitmap.get());

    // UpdateLayeredWindow takes premultiplied pixels, which GDI+ hands out as they are: the same
    // bytes as drawing the image through a graphics object, at a third of the cost. Drawing stays
    // for an image that cannot be read so.
    if (!CopyPremultiplied(bits)) {
        m_graphics = std::make_unique<rt::GdipGraphics>(m_memoryDC.get());
        if (m_graphics->get())
            Gdiplus::DllExports::GdipDrawImageRectI(m_graphics->get(), m_image->get(), 0, 0, m_width, m_height);
    }

    SIZE size{m_width, m_height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(layeredWindow, windowDC.get(), nullptr, &size, m_memoryDC.get(), &source, 0, &blend,
                          ULW_ALPHA);
}

bool LayeredPngPainter::CopyPremultiplied(void* bits) const
{
    Gdiplus::ImageType type{};
    if (!bits || Gdiplus::DllExports::GdipGetImageType(m_image->get(), &type) != Gdiplus::Ok ||
        type != Gdiplus::ImageTypeBitmap)
        return false;
    auto* bitmap = reinterpret_cast<Gdiplus::GpBitmap*>(m_image->get());
    const Gdiplus::GpRect whole{0, 0, m_width, m_height};
    Gdiplus::BitmapData data{};
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB,
                                                &data) != Gdiplus::Ok)
        return false;
    const std::size_t row = static_cast<std::size_t>(m_width) * 4;
    for (int y = 0; y < m_height; ++y)
        std::memcpy(static_cast<std::byte*>(bits) + row * y, static_cast<const std::byte*>(data.Scan0) + data.Stride * y,
                    row);
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data);
    return true;
}

void LayeredPngPainter::Release()
{
    // Image, graphics, GDI+ itself, then the GDI objects.
    if (m_image) m_image->Reset();
    m_image.reset();
    m_graphics.reset();
    m_session.reset();
    if (m_memoryDC && m_oldBitmap) ::SelectObject(m_memoryDC.get(), m_oldBitmap);
    m_oldBitmap = nullptr;
    m_bitmap.reset();
    m_memoryDC.reset();
}

}  // namespace corvane
