#include "runtime/GdiPlus.h"

#include <cstring>

namespace rt {

using namespace Gdiplus::DllExports;

GdiplusSession::GdiplusSession()
{
    Gdiplus::GdiplusStartupInput input;  // version 1, everything else zero
    if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) != Gdiplus::Ok) m_token = 0;
}

GdiplusSession::~GdiplusSession()
{
    if (m_token) Gdiplus::GdiplusShutdown(m_token);
}

StreamImage::StreamImage(std::span<const std::byte> bytes)
{
    if (bytes.empty()) return;
    m_block = ::GlobalAlloc(GMEM_FIXED, bytes.size());
    if (!m_block) return;
    std::memcpy(m_block, bytes.data(), bytes.size());
    if (FAILED(::CreateStreamOnHGlobal(m_block, FALSE, &m_stream))) {
        m_stream = nullptr;
        return;
    }
    if (GdipLoadImageFromStream(m_stream, &m_image) != Gdiplus::Ok) m_image = nullptr;
}

StreamImage::~StreamImage()
{
    Reset();
}

void StreamImage::Reset()
{
    if (m_image) GdipDisposeImage(m_image);
    m_image = nullptr;
    if (m_stream) m_stream->Release();
    m_stream = nullptr;
    if (m_block) ::GlobalFree(m_block);
    m_block = nullptr;
}

UINT StreamImage::Width() const
{
    UINT w = 0;
    if (m_image) GdipGetImageWidth(m_image, &w);
    return w;
}

UINT StreamImage::Height() const
{
    UINT h = 0;
    if (m_image) GdipGetImageHeight(m_image, &h);
    return h;
}

GdipGraphics::GdipGraphics(HDC dc)
{
    if (GdipCreateFromHDC(dc, &m_graphics) != Gdiplus::Ok) m_graphics = nullptr;
}

GdipGraphics::~GdipGraphics()
{
    Reset();
}

void GdipGraphics::Reset()
{
    if (m_graphics) GdipDeleteGraphics(m_graphics);
    m_graphics = nullptr;
}

}  // namespace rt
