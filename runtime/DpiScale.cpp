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

PixelPoint ScalePoint(PixelPoint point, int dpi) { return {ScalePixels(point.x, dpi), ScalePixels(point.y, dpi)}; }

PixelRect ScaleRect(PixelRect rect, int dpi)
{
    return {ScalePixels(rect.left, dpi), ScalePixels(rect.top, dpi), ScalePixels(rect.right, dpi),
            ScalePixels(rect.bottom, dpi)};
}

}  // namespace rt
