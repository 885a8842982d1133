#pragma once
// Where a window goes so that the player can reach it on a small screen: its top-left corner and
// its caption buttons (at its top right, in every window of this program) on the work area.

namespace rt {

struct ScreenRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;

    long Width() const { return right - left; }
    long Height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

enum class Sizing {
    Fixed,       // the size is the picture's or the design's: only the position may change
    Shrinkable,  // the player can resize it anyway: larger than the work area, it shrinks to it
};

// `window` moved (and, when Shrinkable, shrunk) the least that keeps it on `workArea`. A window
// that fits stays where it is or moves just inside. A fixed window wider than the work area
// keeps its right end, where its caption buttons are, on the work area and lets its left end
// go; one taller keeps its top, where the caption is, and lets its bottom go.
ScreenRect KeepOnWorkArea(const ScreenRect& window, const ScreenRect& workArea, Sizing sizing);

// A window maximised by this program covers the work area of the monitor it is on, wherever that
// monitor lies and wherever its taskbar stands: the place in twips for `twipsPerPixel` (x, y).
struct TwipsPlace {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    bool operator==(const TwipsPlace&) const = default;
};
TwipsPlace MaximisedPlace(const ScreenRect& workArea, double twipsPerPixelX, double twipsPerPixelY);

}  // namespace rt
