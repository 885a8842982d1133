#include "controls/PictureOps.h"

#include <algorithm>

namespace corvane {

rt::PictureRef CutFrame(HDC source, const FrameRect& area)
{
    if (area.width <= 0 || area.height <= 0) return nullptr;
    rt::MemoryDC dc(::CreateCompatibleDC(source));
    rt::Bitmap bitmap(::CreateCompatibleBitmap(source, area.width, area.height));
    if (!dc || !bitmap) return nullptr;
    {
        rt::SelectGuard select(dc.get(), bitmap.get());
        ::BitBlt(dc.get(), 0, 0, area.width, area.height, source, area.x, area.y, SRCCOPY);
    }
    return std::make_shared<const rt::Picture>(std::move(bitmap));
}

void DrawPicture(HDC target, const rt::Picture& picture, int x, int y, int width, int height)
{
    rt::MemoryDC dc(::CreateCompatibleDC(target));
    if (!dc) return;
    rt::SelectGuard select(dc.get(), picture.handle());
    const int oldMode = ::SetStretchBltMode(target, COLORONCOLOR);
    ::StretchBlt(target, x, y, width, height, dc.get(), 0, 0, picture.WidthPixels(), picture.HeightPixels(), SRCCOPY);
    ::SetStretchBltMode(target, oldMode);
}

PixelImage ReadPixels(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info)) return {};
    rt::ClientDC screen(nullptr);
    rt::MemoryDC dc(::CreateCompatibleDC(screen.get()));
    if (!dc) return {};
    rt::SelectGuard select(dc.get(), bitmap);
    return ReadPixels(dc.get(), info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight);
}

PixelImage ReadPixels(HDC source, int width, int height)
{
    PixelImage image;
    if (width <= 0 || height <= 0) return image;
    void* bits = nullptr;
    rt::MemoryDC dc(::CreateCompatibleDC(source));
    rt::Bitmap dib(rt::CreateDib32(source, width, height, &bits));
    if (!dc || !dib || !bits) return image;
    {
        rt::SelectGuard select(dc.get(), dib.get());
        ::BitBlt(dc.get(), 0, 0, width, height, source, 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    image.width = width;
    image.height = height;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    image.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
    for (auto& p : image.pixels) p &= 0x00FFFFFF;
    return image;
}

rt::PictureRef PictureFromPixels(const PixelImage& image)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        return nullptr;
    rt::ClientDC screen(nullptr);
    void* bits = nullptr;
    rt::Bitmap dib(rt::CreateDib32(screen.get(), image.width, image.height, &bits));
    rt::MemoryDC dc(::CreateCompatibleDC(screen.get()));
    if (!dib || !bits || !dc) return nullptr;
    std::copy(image.pixels.begin(), image.pixels.end(), static_cast<std::uint32_t*>(bits));
    rt::SelectGuard select(dc.get(), dib.get());
    // A device-dependent copy, as pictures loaded from resources are.
    return CutFrame(dc.get(), {0, 0, image.width, image.height});
}

rt::Region MaskRegion(const PixelImage& image, std::uint32_t key)
{
    rt::Region region(::CreateRectRgn(0, 0, 0, 0));
    for (const PixelRun& run : OpaqueRuns(image, key)) {
        rt::Region piece(::CreateRectRgn(run.x0, run.y, run.x1, run.y + 1));
        ::CombineRgn(region.get(), region.get(), piece.get(), RGN_OR);
    }
    return region;
}

}  // namespace corvane
