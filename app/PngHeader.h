#pragma once
// The size a PNG file declares in its header, read without decoding the picture: the layered
// pictures take their window size from the design picture while showing the one drawn for the
// scale.

#include <cstddef>
#include <optional>
#include <span>

namespace corvane {

struct PngSize {
    int width = 0;
    int height = 0;
};

// The width and height of the PNG file `bytes` from its signature and IHDR chunk; nullopt for
// anything else, a size of 0 or one beyond 2^31 - 1 (which the format forbids).
std::optional<PngSize> ReadPngSize(std::span<const std::byte> bytes);

}  // namespace corvane
