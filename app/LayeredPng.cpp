#include "app/LayeredPng.h"

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

    m_graphics = std::make_unique<rt::GdipGraphics>(m_memoryDC.get());
    if (m_graphics->get())
        Gdiplus::DllExports::GdipDrawImageRectI(m_graphics->get(), m_image->get(), 0, 0, m_width, m_height);

    SIZE size{m_width, m_height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(layeredWindow, windowDC.get(), nullptr, &size, m_memoryDC.get(), &source, 0, &blend,
                          ULW_ALPHA);
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
