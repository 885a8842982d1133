#include "app/LayeredPng.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "app/PngPrefetch.h"
#include "app/StartupMarks.h"
#include "runtime/ArtScale.h"
#include "runtime/DpiScale.h"
#include "runtime/Resources.h"
#include "runtime/Screen.h"

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

namespace {

// UpdateLayeredWindow takes premultiplied pixels, which GDI+ hands out as they are: the same
// bytes as drawing the image through a graphics object, at a third of the cost.
std::vector<std::uint32_t> PremultipliedPixels(Gdiplus::GpImage* image, int width, int height)
{
    Gdiplus::ImageType type{};
    if (width <= 0 || height <= 0 || Gdiplus::DllExports::GdipGetImageType(image, &type) != Gdiplus::Ok ||
        type != Gdiplus::ImageTypeBitmap)
        return {};
    auto* bitmap = reinterpret_cast<Gdiplus::GpBitmap*>(image);
    const Gdiplus::GpRect whole{0, 0, width, height};
    Gdiplus::BitmapData data{};
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB,
                                                &data) != Gdiplus::Ok)
        return {};
    std::vector<std::uint32_t> pixels;
    try {
        pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        // Drawn through a graphics object instead, which needs no copy of ours.
        Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data);
        return {};
    }
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::memcpy(pixels.data() + static_cast<std::size_t>(width) * y,
                    static_cast<const std::byte*>(data.Scan0) + data.Stride * y, row);
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data);
    return pixels;
}

// Draws `image` smoothly at the size of the 32-bit premultiplied top-down pixels `bits`, whose
// alpha survives (a graphics object on the DC would drop it). False when GDI+ refuses.
bool DrawScaled(Gdiplus::GpImage* image, void* bits, int width, int height)
{
    Gdiplus::GpBitmap* target = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB,
                                                       static_cast<BYTE*>(bits), &target) != Gdiplus::Ok)
        return false;
    Gdiplus::GpGraphics* graphics = nullptr;
    bool drawn = false;
    if (Gdiplus::DllExports::GdipGetImageGraphicsContext(target, &graphics) == Gdiplus::Ok) {
        Gdiplus::DllExports::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic);
        Gdiplus::DllExports::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHighQuality);
        Gdiplus::DllExports::GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
        drawn = Gdiplus::DllExports::GdipDrawImageRectI(graphics, image, 0, 0, width, height) == Gdiplus::Ok;
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
    }
    Gdiplus::DllExports::GdipDisposeImage(target);
    return drawn;
}

}  // namespace

DecodedPng DecodePng(int id)
{
    DecodedPng picture;
    picture.image = LoadPngResource(id, L"PNG");
    if (!picture.image || !*picture.image) return picture;
    picture.width = static_cast<int>(picture.image->Width());
    picture.height = static_cast<int>(picture.image->Height());
    picture.premultiplied = PremultipliedPixels(picture.image->get(), picture.width, picture.height);
    return picture;
}

void LayeredPngPainter::Paint(HWND layeredWindow, int id) { Paint(layeredWindow, id, rt::Screen::Scale().dpiX); }

void LayeredPngPainter::Paint(HWND layeredWindow, int id, int dpi)
{
    Release();
    m_session.emplace();
    StartupMark("gdi+ started");
    // One the worker could not decode is tried again here.
    std::optional<DecodedPng> prefetched = PngPrefetch::Take(id);
    DecodedPng picture = prefetched && prefetched->image && *prefetched->image ? std::move(*prefetched) : DecodePng(id);
    StartupMark("png decoded");
    if (!picture.image || !*picture.image) return;
    m_width = rt::ScalePixels(picture.width, dpi);
    m_height = rt::ScalePixels(picture.height, dpi);
    // The picture drawn for the scale when there is one: 1:1 at its own dpi, shrunk between sets.
    if (const rt::ArtScale set = rt::ArtScaleForDpi(rt::SaneDpi(dpi)); set != rt::ArtScale::Percent100) {
        DecodedPng drawn = DecodePng(rt::ArtResourceId(id, set));
        if (drawn.image && *drawn.image) picture = std::move(drawn);
    }
    m_image = std::move(picture.image);
    const bool scaled = m_width != picture.width || m_height != picture.height;

    rt::ClientDC windowDC(layeredWindow);
    m_memoryDC.reset(::CreateCompatibleDC(windowDC.get()));
    // A 32-bit top-down DIB keeps the alpha channel that UpdateLayeredWindow blends with; a
    // bitmap compatible with a 24-bit screen would drop it.
    void* bits = nullptr;
    m_bitmap.reset(rt::CreateDib32(windowDC.get(), m_width, m_height, &bits));
    if (!m_memoryDC || !m_bitmap) return;
    m_oldBitmap = ::SelectObject(m_memoryDC.get(), m_bitmap.get());

    if (scaled && bits && DrawScaled(m_image->get(), bits, m_width, m_height)) {
        // Drawn at the window's scale.
    } else if (!scaled && bits && !picture.premultiplied.empty()) {
        std::memcpy(bits, picture.premultiplied.data(), picture.premultiplied.size() * sizeof(std::uint32_t));
    } else {
        // An image that cannot be read so is drawn.
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
