#include "controls/CaptionSkin.h"

#include <algorithm>

#include "runtime/Rounding.h"

namespace corvane {

namespace {

// The tiles start at 300 and run one past the last whole step, so the far end is always covered.
int TileCount(int length)
{
    return length < 0 ? 0 : length / kSkinTile + 1;
}

}  // namespace

std::vector<SkinCopy> CaptionBarCopies(int width, int skinWidth, int /*skinHeight*/)
{
    std::vector<SkinCopy> copies;
    for (int i = 1; i <= TileCount(width); ++i) copies.push_back({300, 0, 300, 545, i * kSkinTile, 0});
    copies.push_back({0, 0, 545, 545, 0, 0});
    copies.push_back({skinWidth - 1000, 0, 1000, 545, width - 1000, 0});
    return copies;
}

std::vector<SkinCopy> BorderCopies(int width, int height, int skinWidth, int skinHeight)
{
    std::vector<SkinCopy> copies;
    for (int i = 1; i <= TileCount(width); ++i)
        copies.push_back({300, skinHeight - kBorderWidth, 300, 500, i * kSkinTile, height - kBorderWidth});
    for (int i = 1; i <= TileCount(height); ++i) copies.push_back({0, 800, kBorderWidth, 500, 0, i * kSkinTile});
    for (int i = 1; i <= TileCount(height); ++i)
        copies.push_back({skinWidth - kBorderWidth, 800, 300, 500, width - kBorderWidth, i * kSkinTile});
    copies.push_back({0, skinHeight - kBorderWidth, 545, kBorderWidth, 0, height - kBorderWidth});
    copies.push_back({skinWidth - 500, skinHeight - kBorderWidth, 500, kBorderWidth, width - 500, height - kBorderWidth});
    return copies;
}

SkinCopy NominCopy(int width, int skinWidth)
{
    return {skinWidth - 1200, 0, 400, 545, width - 830, 0};
}

TwipsPoint CaptionTextOrigin(bool hasLogo)
{
    return hasLogo ? TwipsPoint{600, 150} : TwipsPoint{150, 150};
}

std::optional<SkinCopy> ToPixelCopy(const SkinCopy& twips, double twipsPerPixelX, double twipsPerPixelY,
                                    int skinWidthPx, int skinHeightPx)
{
    SkinCopy px{rt::RoundHalfEven(twips.srcX / twipsPerPixelX), rt::RoundHalfEven(twips.srcY / twipsPerPixelY),
                rt::RoundHalfEven(twips.width / twipsPerPixelX), rt::RoundHalfEven(twips.height / twipsPerPixelY),
                rt::RoundHalfEven(twips.dstX / twipsPerPixelX), rt::RoundHalfEven(twips.dstY / twipsPerPixelY)};
    if (px.srcX < 0) {
        px.width += px.srcX;
        px.dstX -= px.srcX;
        px.srcX = 0;
    }
    if (px.srcY < 0) {
        px.height += px.srcY;
        px.dstY -= px.srcY;
        px.srcY = 0;
    }
    px.width = std::min(px.width, skinWidthPx - px.srcX);
    px.height = std::min(px.height, skinHeightPx - px.srcY);
    if (px.width <= 0 || px.height <= 0) return std::nullopt;
    return px;
}

}  // namespace corvane
