#pragma once
// The arithmetic of cSetStyle: which resize zone the pointer is in, how the dotted outline
// follows it with the minimum sizes, which cursor a zone shows, and the taskbar height.

#include <cstdint>

#include "runtime/DpiScale.h"
#include "runtime/OnScreen.h"

namespace corvane {

using rt::ScreenRect;

// Zones: 0 top, 1 top-right, 2 right, 3 bottom-right, 4 bottom, 5 bottom-left, 6 left,
// 7 top-left, -1 elsewhere.
inline constexpr int kNoZone = -1;
// "Near" an edge: at most this many pixels away (96-dpi pixels, like the minima below; the
// window's pixels are these scaled by its dpi / 96).
inline constexpr int kEdgeZone = 5;
// Minimum size an outline keeps on the edges that have one, pixels (strictly more than this).
inline constexpr int kMinOutlineWidth = 800;
inline constexpr int kMinOutlineHeight = 600;

// The zone of screen point (x, y) for a window whose screen rectangle is `window`, on a monitor
// of `dpi`.
int HitZone(const ScreenRect& window, int x, int y, int dpi = rt::kBaseDpi);

// The outline after the pointer moved to (x, y) while resizing through `zone`: the zone's edges
// follow the pointer, except an edge whose move would leave the width or height at or below its
// minimum (at `dpi`); that edge stays where it was.
ScreenRect MoveOutline(int zone, const ScreenRect& outline, int x, int y, int dpi = rt::kBaseDpi);

enum class ZoneCursor { Arrow, NorthSouth, NorthEastSouthWest, WestEast, NorthWestSouthEast };
ZoneCursor CursorOfZone(int zone);

}  // namespace corvane
