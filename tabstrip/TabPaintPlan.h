#pragma once
// What a paint of the strip draws, worked out without drawing: the skin cells of both styles,
// the nine parts of a stretched skin, which tab image, caption box and close glyph each tab
// gets and in which order, and how a caption sits in its box.

#include <span>
#include <string>
#include <vector>

#include "runtime/DpiScale.h"
#include "tabstrip/TabLayout.h"

namespace corvane {

struct PixelRect {
    long x = 0;
    long y = 0;
    long w = 0;
    long h = 0;
    bool operator==(const PixelRect&) const = default;
};

enum class TabFace { Normal, Hover, Selected };
enum class CloseGlyph { Selected, Normal, Hover, Pressed };

// Where the pieces lie in the skin bitmap of a style (106: style 0, 107: other styles).
struct SkinLayout {
    int bitmapId;
    PixelRect background;  // the one-pixel column
    PixelRect tab[3];      // indexed by TabFace
    long glyphX[4];        // indexed by CloseGlyph; glyphSize square at y 0
    long borderLeft;       // unstretched sides of a tab cell
    long borderRight;
    long glyphSize = 12;

    PixelRect Face(TabFace f) const { return tab[static_cast<int>(f)]; }
    PixelRect Glyph(CloseGlyph g) const { return {glyphX[static_cast<int>(g)], 0, glyphSize, glyphSize}; }
};
// The skin of a style as the picture loaded for `dpi` lays it out (rt::LoadResPictureFor with
// SkinPieces): the set drawn for that scale 1:1, or the next larger set shrunk to the same
// lengths, every piece rt::PieceLengthsAt of its 96-dpi width.
const SkinLayout& SkinFor(long style, int dpi = rt::kBaseDpi);
// The widths of the skin's pieces at 100 %, left to right: the background column, the three tab
// cells and the four close glyphs.
std::span<const int> SkinPieces(long style);

// The skin's magenta: pixels of this colour (0x00BBGGRR) are transparent.
constexpr unsigned long kSkinTransparent = 0x00FF00FF;
// Caption colours (0x00BBGGRR).
constexpr unsigned long kCaptionColor = 0x00000000;
constexpr unsigned long kSelectedCaptionColor = 0x00A36004;  // red 4, green 96, blue 163

// --- DrawSkin ---------------------------------------------------------------------------------
enum class BlitKind { Copy, Stretch };
struct SkinBlit {
    BlitKind kind;
    PixelRect dest;    // in the w x h buffer
    PixelRect source;  // in the skin
    bool operator==(const SkinBlit&) const = default;
};
// The parts of a nine-part stretch of `source` over a w x h buffer with the given border widths,
// in drawing order. Empty when there is nothing to draw (any size 0 or below).
std::vector<SkinBlit> NinePartBlits(long w, long h, const PixelRect& source, long l, long t, long r, long b);

// --- Tabs -------------------------------------------------------------------------------------
struct TabState {
    long left = 0;
    long width = 0;
    bool hideButton = false;
};

struct TabPaint {
    long index = 0;
    TabFace face = TabFace::Normal;
    PixelRect dest;       // where the stretched tab image goes, tab-area coordinates
    PixelRect caption;    // the caption's box
    long captionRoom = 0; // how much of the box, from its left, lies clear of the close glyph
    bool hasGlyph = false;
    CloseGlyph glyph = CloseGlyph::Normal;
    PixelRect glyphDest;  // the skin's glyph size, square
};

CloseGlyph ChooseGlyph(bool selectedTab, bool hover, int closeState);

// The tabs in drawing order: every ordinary tab from the last to the first, then the selected
// one. Tabs whose width is 0 or less are left out: there is nothing of them to see. Boxes are
// pixels at `dpi`, like the tabs' Left and Width.
std::vector<TabPaint> PlanTabs(long style, const std::vector<TabState>& tabs, long selected, long hover, int closeState,
                               int dpi = rt::kBaseDpi);

// --- Captions ---------------------------------------------------------------------------------
constexpr unsigned kCaptionEllipsis = 0x8000;  // DT_END_ELLIPSIS
constexpr unsigned kCaptionCentred = 0x25;     // DT_CENTER | DT_VCENTER | DT_SINGLELINE
struct CaptionPlacement {
    PixelRect box;
    unsigned format;
};
// A caption wider than its box starts at the box's left, vertically centred, and ends in an
// ellipsis; a shorter one is centred both ways.
CaptionPlacement PlaceCaption(const PixelRect& box, long textWidth, long textHeight);

}  // namespace corvane
