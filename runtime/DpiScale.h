#pragma once
// One scale per window: s = the window's dots per inch / 96. Every length the program states in
// pixels is a length at 96 dpi and is multiplied by s, rounded halves to even like every other
// conversion of the program, so that a window looks the same size on every screen.

#include <cstdint>

namespace rt {

inline constexpr int kBaseDpi = 96;

// A dpi the platform reported, made safe: nothing below 48 or above 960 (what no screen has)
// and 96 for nothing at all.
int SaneDpi(int dpi);

// A 96-dpi length in pixels at `dpi`.
std::int32_t ScalePixels(double pixels, int dpi);

// A length in pixels at `dpi` back at 96 dpi.
std::int32_t UnscalePixels(double pixels, int dpi);

// Twips per pixel at `dpi`: 1440 / dpi, 15 at 96 dpi.
double TwipsPerPixelAt(int dpi);

struct PixelPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const PixelPoint&) const = default;
};

struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t Width() const { return right - left; }
    std::int32_t Height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

// Whether the rectangle a window is asked to take when it moves to a monitor of another dpi is one
// a window can take: positive sizes, no edge beyond what the platform's 16-bit coordinates hold.
bool SaneWindowRect(const PixelRect& rect);

struct PixelSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const PixelSize&) const = default;
};

// A length in pixels at `fromDpi` at `toDpi`, as a window that moves between monitors takes it.
std::int32_t RescalePixels(double pixels, int fromDpi, int toDpi);

// Each edge on its own, like ScaleRect, so that controls that abut still abut at the new dpi.
PixelRect RescaleRect(PixelRect rect, int fromDpi, int toDpi);

// The outer size a window asks for at `toDpi`, answering the system before it moves to a monitor
// of another dpi: its client area and its frame (the outer size less the client size) each scaled
// from `fromDpi`, so that the client area comes out as it would have been laid out at the new dpi.
PixelSize DpiScaledWindowSize(PixelSize window, PixelSize client, int fromDpi, int toDpi);

PixelPoint ScalePoint(PixelPoint point, int dpi);
// Each edge is scaled on its own, so rectangles that abut at 96 dpi still abut.
PixelRect ScaleRect(PixelRect rect, int dpi);

}  // namespace rt
