#include "controls/ResizeZones.h"

#include <cstdlib>


namespace corvane {

int HitZone(const ScreenRect& w, int x, int y, int dpi)
{
    const int edge = rt::ScalePixels(kEdgeZone, dpi);
    const auto near = [edge](int a, int b) { return std::abs(a - b) <= edge; };
    const bool left = near(x, w.left);
    const bool right = near(x, w.right);
    const bool top = near(y, w.top);
    const bool bottom = near(y, w.bottom);
    const bool alongX = w.left + edge < x && x < w.right - edge;
    const bool alongY = w.top + edge < y && y < w.bottom - edge;
    if (left && bottom) return 5;
    if (top && left) return 7;
    if (right && bottom) return 3;
    if (right && top) return 1;
    if (top && alongX) return 0;
    if (right && alongY) return 2;
    if (bottom && alongX) return 4;
    if (left && alongY) return 6;
    return kNoZone;
}

ScreenRect MoveOutline(int zone, const ScreenRect& outline, int x, int y, int dpi)
{
    const int minWidth = rt::ScalePixels(kMinOutlineWidth, dpi);
    const int minHeight = rt::ScalePixels(kMinOutlineHeight, dpi);
    ScreenRect r = outline;
    const auto moveLeft = [&](bool keepMinimum) {
        if (!keepMinimum || r.right - x > minWidth) r.left = x;
    };
    const auto moveRight = [&](bool keepMinimum) {
        if (!keepMinimum || x - r.left > minWidth) r.right = x;
    };
    const auto moveTop = [&] { r.top = y; };
    const auto moveBottom = [&] {
        if (y - r.top > minHeight) r.bottom = y;
    };
    switch (zone) {
    case 0: moveTop(); break;
    case 1: moveTop(); moveRight(false); break;
    case 2: moveRight(true); break;
    case 3: moveRight(true); moveBottom(); break;
    case 4: moveBottom(); break;
    case 5: moveLeft(true); moveBottom(); break;
    case 6: moveLeft(true); break;
    case 7: moveTop(); moveLeft(false); break;
    default: break;
    }
    return r;
}

ZoneCursor CursorOfZone(int zone)
{
    switch (zone) {
    case 0:
    case 4: return ZoneCursor::NorthSouth;
    case 1:
    case 5: return ZoneCursor::NorthEastSouthWest;
    case 2:
    case 6: return ZoneCursor::WestEast;
    case 3:
    case 7: return ZoneCursor::NorthWestSouthEast;
    default: return ZoneCursor::Arrow;
    }
}

}  // namespace corvane
