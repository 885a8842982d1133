#include "runtime/ArtScale.h"

#include "resources/ResourceIds.h"
#include "runtime/DpiScale.h"
#include "runtime/Rounding.h"

namespace rt {

namespace {

constexpr int kPercents[kArtScaleCount] = {100, 125, 150, 175, 200};

constexpr int kColumn = 1;

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

bool ArtMatchesDpi(ArtScale scale, int dpi)
{
    return static_cast<long long>(ArtPercent(scale)) * kBaseDpi == static_cast<long long>(dpi) * 100;
}

std::vector<int> ArtLengths(std::span<const int> pieces, ArtScale scale)
{
    std::vector<int> lengths;
    lengths.reserve(pieces.size());
    for (int piece : pieces) lengths.push_back(piece == kColumn ? kColumn : ArtLength(piece, scale));
    return lengths;
}

std::vector<int> PieceLengthsAt(std::span<const int> pieces, int dpi)
{
    std::vector<int> lengths;
    lengths.reserve(pieces.size());
    for (int piece : pieces) lengths.push_back(piece == kColumn ? kColumn : ScalePixels(piece, dpi));
    return lengths;
}

std::vector<int> StripPieces(int width, int frames)
{
    if (frames <= 0 || width < frames) return {width};
    std::vector<int> pieces(static_cast<std::size_t>(frames), width / frames);
    if (width % frames) pieces.push_back(width % frames);
    return pieces;
}

}  // namespace rt
