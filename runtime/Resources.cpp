#include "runtime/Resources.h"

#include <functional>
#include <string>
#include <vector>

#include "runtime/ArtScale.h"
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

// The pieces of the design picture, given its width.
using PieceRule = std::function<std::vector<int>(int width)>;

PictureRef LoadScaled(int id, int dpi, HMODULE module, long keyColour, const PieceRule& piecesOf)
{
    HINSTANCE instance = module ? module : ::GetModuleHandleW(nullptr);
    // A device-dependent bitmap, as the platform's own picture loading gives it, so that it can
    // be selected into any screen-compatible DC.
    const auto load = [instance](int resourceId) {
        return Bitmap(
            static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, 0)));
    };
    dpi = SaneDpi(dpi);
    const ArtScale scale = ArtScaleForDpi(dpi);
    Bitmap drawn = scale == ArtScale::Percent100 ? Bitmap() : load(ArtResourceId(id, scale));
    if (drawn && ArtMatchesDpi(scale, dpi)) return std::make_shared<const Picture>(std::move(drawn), dpi);
    Bitmap design = load(id);
    if (!design) return nullptr;
    auto original = std::make_shared<const Picture>(std::move(design), kBaseDpi);
    if (dpi == kBaseDpi) return original;
    // The sizes the geometry expects at this dpi: every piece of the design scaled on its own.
    const std::vector<int> pieces = piecesOf(original->WidthPixels());
    const std::vector<int> needed = PieceLengthsAt(pieces, dpi);
    const int height = ScalePixels(original->HeightPixels(), dpi);
    // Shrunk from the set drawn for the next larger scale when there is one, else from the design.
    const auto source = drawn ? std::make_shared<const Picture>(std::move(drawn), dpi) : original;
    const std::vector<int> sourcePieces = source == original ? pieces : ArtLengths(pieces, scale);
    ClientDC screen(nullptr);
    // The 0x00BBGGRR colour reference read as the grid's 0x00RRGGBB.
    const std::int64_t key = keyColour < 0 ? kNoKeyColour
                                           : ((keyColour & 0xFF) << 16) | (keyColour & 0xFF00) | ((keyColour >> 16) & 0xFF);
    const PixelGrid scaled =
        ResamplePieces(ReadGrid(screen.get(), source->handle(), source->WidthPixels(), source->HeightPixels()),
                       sourcePieces, needed, height, key);
    Bitmap bitmap = scaled.width > 0 ? WriteGrid(screen.get(), scaled) : Bitmap();
    // Without memory for the scaled copy the original still shows, smaller.
    if (!bitmap) return original;
    return std::make_shared<const Picture>(std::move(bitmap), dpi);
}

}  // namespace

PictureRef LoadResPicture(int id, HMODULE module, std::span<const int> pieces)
{
    return LoadResPictureFor(id, Screen::Scale().dpiX, module, 0xFF00FF, pieces);
}

PictureRef LoadResPictureFor(int id, int dpi, HMODULE module, long keyColour, std::span<const int> pieces)
{
    return LoadScaled(id, dpi, module, keyColour, [pieces](int width) {
        return pieces.empty() ? std::vector<int>{width} : std::vector<int>(pieces.begin(), pieces.end());
    });
}

PictureRef LoadResStrip(int id, int frames, HMODULE module)
{
    return LoadResStripFor(id, frames, Screen::Scale().dpiX, module);
}

PictureRef LoadResStripFor(int id, int frames, int dpi, HMODULE module)
{
    return LoadScaled(id, dpi, module, 0xFF00FF, [frames](int width) { return StripPieces(width, frames); });
}

}  // namespace rt
