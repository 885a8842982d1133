#include "runtime/DpiScale.h"

#include <algorithm>

#include "runtime/Rounding.h"
#include "runtime/Twips.h"

namespace rt {

int SaneDpi(int dpi)
{
    if (dpi <= 0) return kBaseDpi;
    return std::clamp(dpi, 48, 960);
}

std::int32_t ScalePixels(double pixels, int dpi)
{
    return RoundHalfEven(pixels * SaneDpi(dpi) / kBaseDpi);
}

std::int32_t UnscalePixels(double pixels, int dpi)
{
    return RoundHalfEven(pixels * kBaseDpi / SaneDpi(dpi));
}

double TwipsPerPixelAt(int dpi) { return static_cast<double>(kTwipsPerInch) / SaneDpi(dpi); }

bool SaneWindowRect(const PixelRect& rect)
{
    constexpr std::int32_t kLimit = 32767;
    const auto inside = [](std::int32_t v) { return v >= -kLimit && v <= kLimit; };
    return inside(rect.left) && inside(rect.top) && inside(rect.right) && inside(rect.bottom) && rect.Width() > 0 &&
           rect.Height() > 0;
}

std::int32_t RescalePixels(double pixels, int fromDpi, int toDpi)
{
    return RoundHalfEven(pixels * SaneDpi(toDpi) / SaneDpi(fromDpi));
}

PixelRect RescaleRect(PixelRect rect, int fromDpi, int toDpi)
{
    return {RescalePixels(rect.left, fromDpi, toDpi), RescalePixels(rect.top, fromDpi, toDpi),
            RescalePixels(rect.right, fromDpi, toDpi), RescalePixels(rect.bottom, fromDpi, toDpi)};
}

PixelSize DpiScaledWindowSize(PixelSize window, PixelSize client, int fromDpi, int toDpi)
{
    const auto frame = [&](std::int32_t outer, std::int32_t inner) {
        return RescalePixels(std::max(0, outer - inner), fromDpi, toDpi);
    };
    const std::int32_t width = RescalePixels(std::max(0, client.width), fromDpi, toDpi);
    const std::int32_t height = RescalePixels(std::max(0, client.height), fromDpi, toDpi);
    return {width + frame(window.width, client.width), height + frame(window.height, client.height)};
}

PixelPoint ScalePoint(PixelPoint point, int dpi) { return {ScalePixels(point.x, dpi), ScalePixels(point.y, dpi)}; }

PixelRect ScaleRect(PixelRect rect, int dpi)
{
    return {ScalePixels(rect.left, dpi), ScalePixels(rect.top, dpi), ScalePixels(rect.right, dpi),
            ScalePixels(rect.bottom, dpi)};
}

}  // namespace rt
