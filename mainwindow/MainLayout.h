#pragma once
// Where the main window's controls go for a given size, and the sizes of the rounded window
// regions. Everything is in twips except the region sizes, which are pixels.

#include <cstdint>
#include <optional>

namespace corvane {

struct TwipsRect {
    long left = 0;
    long top = 0;
    long width = 0;
    long height = 0;
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

struct MainLayout {
    // Caption buttons, measured from the form's width.
    long closeLeft = 0;
    long minmaxLeft = 0;
    long minLeft = 0;
    long toolLeft = 0;
    // The tab strip; none when its width would be negative (the step is skipped).
    std::optional<TwipsRect> strip;
    long gameSpaceLeft = 0;
    long otherUserLeft = 0;
    // Picture1 and pCnt; none when a side would be negative.
    std::optional<TwipsRect> pages;
};

// Designer values of the main window.
inline constexpr long kMainClientWidth = 15540;  // 1036 pixels at 96 dpi
inline constexpr long kMainClientHeight = 9585;  // 639 pixels
inline constexpr long kStripLeft = 1800;
inline constexpr long kStripTop = 45;
inline constexpr long kStripHeight = 480;
inline constexpr long kPageMargin = 60;
inline constexpr int kMainCorner = 6;  // pixels, width and height of the corner ellipse
inline constexpr int kBoxCorner = 4;

// formWidth W and the client size C x CH of the window; stripHeight is the strip's current height.
MainLayout LayOutMainWindow(long formWidth, long clientWidth, long clientHeight, long stripHeight);

// The place of the browser inside a container of the given inner size: it overhangs every side
// by `overhang`, which hides its own border (30 twips in the main window, 2 pixels in a page).
TwipsRect OverhangingChild(long innerWidth, long innerHeight, long overhang);

struct RegionSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const RegionSize&, const RegionSize&) = default;
};

// The right and bottom edges of a window's rounded region: the client size in pixels plus one,
// rounded (halves to even).
RegionSize RegionForClient(long clientWidthTwips, long clientHeightTwips, double twipsPerPixelX,
                           double twipsPerPixelY);

// Left or top of a window centred on the screen: (screen - window) \ 2, the difference rounded
// to a whole number first.
long CentredOffset(double screenTwips, double windowTwips);

// The exit box's close button, from the box's width.
inline long BoxCloseLeft(long boxWidth) { return boxWidth - 730; }

}  // namespace corvane
