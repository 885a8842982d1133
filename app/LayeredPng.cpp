#include "app/LayeredPng.h"

#include <cstddef>
#include <cstring>

#include "app/PngHeader.h"
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
// bytes as drawing the image through a graphics object, at a third of the cost. GDI+ writes them
// straight into `bits`; one that does not take a buffer of ours hands out its own to copy from.
bool CopyPremultiplied(Gdiplus::GpImage* image, std::uint32_t* bits, int width, int height)
{
    Gdiplus::ImageType type{};
    if (Gdiplus::DllExports::GdipGetImageType(image, &type) != Gdiplus::Ok || type != Gdiplus::ImageTypeBitmap)
        return false;
    auto* bitmap = reinterpret_cast<Gdiplus::GpBitmap*>(image);
    const Gdiplus::GpRect whole{0, 0, width, height};
    const int stride = width * 4;
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = stride;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = bits;
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &whole, Gdiplus::ImageLockModeRead |
                                                                    Gdiplus::ImageLockModeUserInputBuf,
                                                PixelFormat32bppPARGB, &data) == Gdiplus::Ok)
        return Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data) == Gdiplus::Ok;
    data = {};
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB,
                                                &data) != Gdiplus::Ok)
        return false;
    for (int y = 0; y < height; ++y)
        std::memcpy(reinterpret_cast<std::byte*>(bits) + static_cast<std::ptrdiff_t>(stride) * y,
                    static_cast<const std::byte*>(data.Scan0) + static_cast<std::ptrdiff_t>(data.Stride) * y,
                    static_cast<std::size_t>(stride));
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data);
    return true;
}

// Draws `image` smoothly at the size of the 32-bit premultiplied top-down pixels `bits`, whose
// alpha survives (a graphics object on a DC would drop it). False when GDI+ refuses.
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

DecodedPng DecodePngAt(int id, int dpi)
{
    // The window's size comes from the design, which need not be decoded for it.
    const std::optional<PngSize> design = ReadPngSize(rt::CustomResource(id, L"PNG"));
    if (!design) return {};
    DecodedPng picture;
    picture.width = rt::ScalePixels(design->width, dpi);
    picture.height = rt::ScalePixels(design->height, dpi);
    // The picture drawn for the scale when there is one: 1:1 at its own dpi, shrunk between sets.
    std::unique_ptr<rt::StreamImage> image;
    if (const rt::ArtScale set = rt::ArtScaleForDpi(rt::SaneDpi(dpi)); set != rt::ArtScale::Percent100)
        image = LoadPngResource(rt::ArtResourceId(id, set), L"PNG");
    if (!image || !*image) image = LoadPngResource(id, L"PNG");
    if (!image || !*image) return {};

    void* bits = nullptr;
    picture.bitmap.reset(rt::CreateDib32(nullptr, picture.width, picture.height, &bits));
    picture.bits = static_cast<std::uint32_t*>(bits);
    if (!picture) return {};
    const bool oneToOne = static_cast<int>(image->Width()) == picture.width &&
                          static_cast<int>(image->Height()) == picture.height;
    if (!(oneToOne && CopyPremultiplied(image->get(), picture.bits, picture.width, picture.height)) &&
        !DrawScaled(image->get(), picture.bits, picture.width, picture.height))
        return {};
    return picture;
}

void LayeredPngPainter::Paint(HWND layeredWindow, int id) { Paint(layeredWindow, id, rt::Screen::Scale().dpiX); }

void LayeredPngPainter::Paint(HWND layeredWindow, int id, int dpi)
{
    Release();
    // One the worker could not decode, or decoded for another DPI, is decoded here.
    std::optional<DecodedPng> prefetched = PngPrefetch::Take(id, dpi);
    DecodedPng picture;
    if (prefetched && *prefetched) {
        picture = std::move(*prefetched);
    } else {
        const rt::GdiplusSession session;
        picture = DecodePngAt(id, dpi);
    }
    StartupMark("png decoded");
    if (!picture) return;

    rt::ClientDC windowDC(layeredWindow);
    const rt::MemoryDC memoryDC(::CreateCompatibleDC(windowDC.get()));
    if (!memoryDC) return;
    const HGDIOBJ oldBitmap = ::SelectObject(memoryDC.get(), picture.bitmap.get());
    SIZE size{picture.width, picture.height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (::UpdateLayeredWindow(layeredWindow, windowDC.get(), nullptr, &size, memoryDC.get(), &source, 0, &blend,
                              ULW_ALPHA)) {
        m_width = picture.width;
        m_height = picture.height;
    }
    ::SelectObject(memoryDC.get(), oldBitmap);
}

void LayeredPngPainter::Release()
{
    m_width = 0;
    m_height = 0;
}

}  // namespace corvane
