#pragma once
// Pictures resampled to another size for another screen scale: bilinear, on 0x00RRGGBB pixels in
// rows from the top. A key colour (the skins' transparent colour) is never blended: a pixel whose
// nearest source pixel has it gets it exactly, and the others average only their non-key
// neighbours, so that regions cut along the key colour keep clean edges and no pink fringe.

#include <cstdint>
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

}  // namespace rt
