#include "runtime/Resources.h"

#include <string>

#include "runtime/DpiScale.h"
#include "runtime/Resample.h"
#include "runtime/Screen.h"

namespace rt {

std::span<const std::byte> CustomResource(int id, std::wstring_view type, HMODULE module)
{
    const std::wstring typeName(type);
    HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), typeName.c_str());
    if (!res) return {};
    HGLOBAL loaded = ::LoadResource(module, res);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::byte*>(data), ::SizeofResource(module, res)};
}

Picture::Picture(Bitmap bitmap, int dpi) : m_bitmap(std::move(bitmap)), m_dpi(dpi > 0 ? dpi : Screen::Scale().dpiX)
{
    BITMAP info{};
    if (m_bitmap && ::GetObjectW(m_bitmap.get(), sizeof(info), &info)) {
        m_width = info.bmWidth;
        m_height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
}

long Picture::WidthHimetric() const { return PixelsToHimetric(m_width, m_dpi); }
long Picture::HeightHimetric() const { return PixelsToHimetric(m_height, m_dpi); }

namespace {

PixelGrid ReadGrid(HDC dc, HBITMAP bitmap, int width, int height)
{
    PixelGrid grid;
    BITMAPINFO info = TopDownDib32(width, height);
    grid.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), grid.pixels.data(), &info, DIB_RGB_COLORS) != height)
        return {};
    grid.width = width;
    grid.height = height;
    return grid;
}

// The grid as a device-dependent bitmap, like the original.
Bitmap WriteGrid(HDC dc, const PixelGrid& grid)
{
    Bitmap bitmap(::CreateCompatibleBitmap(dc, grid.width, grid.height));
    if (!bitmap) return bitmap;
    BITMAPINFO info = TopDownDib32(grid.width, grid.height);
    if (::SetDIBits(dc, bitmap.get(), 0, static_cast<UINT>(grid.height), grid.pixels.data(), &info, DIB_RGB_COLORS) !=
        grid.height)
        bitmap.reset();
    return bitmap;
}

}  // namespace

PictureRef LoadResPicture(int id, HMODULE module) { return LoadResPictureFor(id, Screen::Scale().dpiX, module); }

PictureRef LoadResPictureFor(int id, int dpi, HMODULE module, long keyColour)
{
    HINSTANCE instance = module ? module : ::GetModuleHandleW(nullptr);
    // A device-dependent bitmap, as the platform's own picture loading gives it, so that it can
    // be selected into any screen-compatible DC.
    auto loaded = static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    if (!loaded) return nullptr;
    dpi = SaneDpi(dpi);
    auto original = std::make_shared<const Picture>(Bitmap(loaded), kBaseDpi);
    if (dpi == kBaseDpi) return original;
    const int width = ScalePixels(original->WidthPixels(), dpi);
    const int height = ScalePixels(original->HeightPixels(), dpi);
    ClientDC screen(nullptr);
    // The 0x00BBGGRR colour reference read as the grid's 0x00RRGGBB.
    const std::int64_t key = keyColour < 0 ? kNoKeyColour
                                           : ((keyColour & 0xFF) << 16) | (keyColour & 0xFF00) | ((keyColour >> 16) & 0xFF);
    const PixelGrid scaled =
        Resample(ReadGrid(screen.get(), original->handle(), original->WidthPixels(), original->HeightPixels()), width,
                 height, key);
    Bitmap bitmap = scaled.width > 0 ? WriteGrid(screen.get(), scaled) : Bitmap();
    // Without memory for the scaled copy the original still shows, smaller.
    if (!bitmap) return original;
    return std::make_shared<const Picture>(std::move(bitmap), dpi);
}

}  // namespace rt
