#include "runtime/ArtScale.h"

#include "resources/ResourceIds.h"
#include "runtime/Rounding.h"

namespace rt {

namespace {

constexpr int kPercents[kArtScaleCount] = {100, 125, 150, 175, 200};

}  // namespace

int ArtPercent(ArtScale scale)
{
    return kPercents[static_cast<int>(scale)];
}

ArtScale ArtScaleForDpi(int dpi)
{
    // Whole numbers only: 120 dpi is exactly 125 % and must not round up to the next set.
    for (int k = 0; k < kArtScaleCount; ++k)
        if (dpi <= kPercents[k] * 96 / 100) return static_cast<ArtScale>(k);
    return ArtScale::Percent200;
}

int ArtResourceId(int baseId, ArtScale scale)
{
    return ART_ID(baseId, static_cast<int>(scale));
}

int ArtLength(int length, ArtScale scale)
{
    return RoundHalfEven(length * (ArtPercent(scale) / 100.0));
}

}  // namespace rt
