#pragma once
// Forms and controls measure in twips, 1/1440 inch; the platform measures in pixels. The factor
// comes from the screen's real pixels per inch, so at 96 dpi one pixel is 15 twips and at 120 dpi
// it is 12.

#include <cstdint>

namespace rt {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kHimetricPerInch = 2540;

struct TwipsScale {
    int dpiX = 96;
    int dpiY = 96;

    double TwipsPerPixelX() const { return static_cast<double>(kTwipsPerInch) / dpiX; }
    double TwipsPerPixelY() const { return static_cast<double>(kTwipsPerInch) / dpiY; }

    // Unrounded conversions, as the layout code's ScaleX/ScaleY give them.
    double ScaleXToPixels(double twips) const { return twips / TwipsPerPixelX(); }
    double ScaleYToPixels(double twips) const { return twips / TwipsPerPixelY(); }
    double ScaleXToTwips(double pixels) const { return pixels * TwipsPerPixelX(); }
    double ScaleYToTwips(double pixels) const { return pixels * TwipsPerPixelY(); }

    // Rounded (halves to even) conversions for the platform calls.
    std::int32_t PixelsX(double twips) const;
    std::int32_t PixelsY(double twips) const;
    std::int32_t TwipsX(double pixels) const;
    std::int32_t TwipsY(double pixels) const;
};

// A picture's size in HIMETRIC (1/100 mm) for a size in pixels at the given dpi, as the
// platform's picture objects report it.
std::int32_t PixelsToHimetric(std::int32_t pixels, int dpi);

}  // namespace rt
