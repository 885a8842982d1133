#pragma once
// Pictures resampled to another size for another screen scale: bilinear, on 0x00RRGGBB pixels in
// rows from the top. A key colour (the skins' transparent colour) is never blended: a pixel whose
// nearest source pixel has it gets it exactly, and the others average only their non-key
// neighbours, so that regions cut along the key colour keep clean edges and no pink fringe.

#include <cstdint>
#include <span>
#include <vector>

namespace rt {

inline constexpr std::int64_t kNoKeyColour = -1;

struct PixelGrid {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height, rows from the top
};

// `source` at `width` × `height`; an empty grid for an empty or inconsistent source or a size
// that is not positive.
PixelGrid Resample(const PixelGrid& source, int width, int height, std::int64_t keyColour = kNoKeyColour);

// A strip or skin of pieces packed side by side, `from` wide each in `source`, resampled piece by
// piece to `to` wide each and `height` high, so that no piece bleeds into its neighbour. Pieces
// that do not add up to the source's width (or counts that differ) resample the whole picture to
// the sum of `to`.
PixelGrid ResamplePieces(const PixelGrid& source, std::span<const int> from, std::span<const int> to, int height,
                         std::int64_t keyColour = kNoKeyColour);

}  // namespace rt
