#include "runtime/Twips.h"

#include "runtime/Rounding.h"

namespace rt {

std::int32_t TwipsScale::PixelsX(double twips) const { return RoundHalfEven(ScaleXToPixels(twips)); }
std::int32_t TwipsScale::PixelsY(double twips) const { return RoundHalfEven(ScaleYToPixels(twips)); }
std::int32_t TwipsScale::TwipsX(double pixels) const { return RoundHalfEven(ScaleXToTwips(pixels)); }
std::int32_t TwipsScale::TwipsY(double pixels) const { return RoundHalfEven(ScaleYToTwips(pixels)); }

std::int32_t PixelsToHimetric(std::int32_t pixels, int dpi)
{
    if (dpi <= 0) return 0;
    return RoundHalfEven(static_cast<double>(pixels) * kHimetricPerInch / dpi);
}

}  // namespace rt
