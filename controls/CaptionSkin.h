#pragma once
// The arithmetic of BForm: which pieces of the frame skin (bitmap 108) are copied where, for the
// caption strip and for the border of its host window. Pieces are given in twips as the control
// lays them out, then turned into pixel copies clipped to the skin.

#include <optional>
#include <vector>

namespace corvane {

// A copy of (srcX, srcY, width, height) of the skin to (dstX, dstY) of a surface.
struct SkinCopy {
    int srcX = 0;
    int srcY = 0;
    int width = 0;
    int height = 0;
    int dstX = 0;
    int dstY = 0;

    bool operator==(const SkinCopy&) const = default;
};

inline constexpr int kCaptionStripHeight = 500;  // twips
inline constexpr int kSkinTile = 300;            // step of the repeated middle pieces
inline constexpr int kBorderWidth = 60;          // left, right and bottom border, twips

// DrawCaptionBar on a strip `width` twips wide, for a skin of skinWidth x skinHeight twips:
// middle tiles, then the left end, then the right end, in painting order.
std::vector<SkinCopy> CaptionBarCopies(int width, int skinWidth, int skinHeight);
// Printform on a window of width x height twips: bottom edge tiles, left edge tiles, right edge
// tiles, bottom-left corner, bottom-right corner.
std::vector<SkinCopy> BorderCopies(int width, int height, int skinWidth, int skinHeight);
// Nomin: a plain piece of title band over the strip's right part.
SkinCopy NominCopy(int width, int skinWidth);

struct TwipsPoint {
    int x = 0;
    int y = 0;
};
// Top-left corner of the caption text; a logo over the strip's left end pushes it right.
TwipsPoint CaptionTextOrigin(bool hasLogo);

// A twips copy in pixels (each value converted on its own, halves to even), with its source cut
// to the skin's skinWidthPx x skinHeightPx pixels and the destination moved along. Nothing when
// no source pixel remains. The destination is clipped by the surface itself.
std::optional<SkinCopy> ToPixelCopy(const SkinCopy& twips, double twipsPerPixelX, double twipsPerPixelY,
                                    int skinWidthPx, int skinHeightPx);

}  // namespace corvane
