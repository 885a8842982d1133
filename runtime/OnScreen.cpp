#include "runtime/OnScreen.h"

#include <algorithm>

namespace rt {

namespace {

// Where a span of `size` starting at `start` goes on [low, high): inside when it fits; else
// ending at `high` (keepEnd) or starting at `low`.
long PlaceSpan(long start, long size, long low, long high, bool keepEnd)
{
    if (size <= high - low) return std::clamp(start, low, high - size);
    return keepEnd ? high - size : low;
}

}  // namespace

ScreenRect KeepOnWorkArea(const ScreenRect& window, const ScreenRect& workArea, Sizing sizing)
{
    long width = window.Width();
    long height = window.Height();
    if (sizing == Sizing::Shrinkable) {
        width = std::min(width, workArea.Width());
        height = std::min(height, workArea.Height());
    }
    const long left = PlaceSpan(window.left, width, workArea.left, workArea.right, true);
    const long top = PlaceSpan(window.top, height, workArea.top, workArea.bottom, false);
    return {left, top, left + width, top + height};
}

TwipsPlace MaximisedPlace(const ScreenRect& workArea, double twipsPerPixelX, double twipsPerPixelY)
{
    return {workArea.left * twipsPerPixelX, workArea.top * twipsPerPixelY, workArea.Width() * twipsPerPixelX,
            workArea.Height() * twipsPerPixelY};
}

}  // namespace rt
