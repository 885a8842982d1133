#pragma once
// Which drawn set of pictures a window of a given DPI shows, and where that set sits among the
// resources. Every picture is drawn for 100, 125, 150, 175 and 200 %; a window takes the nearest
// set at or above its own scale (dpi / 96), so a picture is drawn 1:1 or shrunk, never enlarged,
// up to 200 %, beyond which the 200 % set is enlarged.

#include <span>
#include <vector>

namespace rt {

// In the order of the scale index that the resource ids are built from.
enum class ArtScale { Percent100, Percent125, Percent150, Percent175, Percent200 };

inline constexpr int kArtScaleCount = 5;

// 100, 125, 150, 175 or 200.
int ArtPercent(ArtScale scale);

// The set for a window of `dpi` dots per inch; an unknown DPI (0 or less) takes the design size.
ArtScale ArtScaleForDpi(int dpi);

// The resource id of the picture whose 100 % id is `baseId`, in the set of `scale`.
int ArtResourceId(int baseId, ArtScale scale);

// A length of the 100 % design in whole pixels of the set of `scale` (halves to even): the size of
// a picture, or of each frame of a strip or piece of a skin, whose pieces are packed side by side.
int ArtLength(int length, ArtScale scale);

// Whether the set of `scale` is drawn for exactly `dpi`: then its pictures show 1:1.
bool ArtMatchesDpi(ArtScale scale, int dpi);

// The widths in the set of `scale` of pieces packed side by side whose 100 % widths are `pieces`.
// A one-pixel column (a skin's background, a text-link strip's extra column) is drawn one pixel
// wide in every set: wherever it shows it is stretched anyway.
std::vector<int> ArtLengths(std::span<const int> pieces, ArtScale scale);

// The widths at `dpi` of the same pieces, each scaled to whole pixels on its own, so that frames
// of a strip stay whole and alike at any DPI; at the DPI of a set, the set's own widths. A
// one-pixel column stays one pixel wide, as in the sets.
std::vector<int> PieceLengthsAt(std::span<const int> pieces, int dpi);

// The pieces of a strip `width` wide of `frames` frames: the frames of equal width, then the
// columns left over (the text-link strips' one extra column) as a piece of their own; no frames:
// the whole width.
std::vector<int> StripPieces(int width, int frames);

}  // namespace rt
