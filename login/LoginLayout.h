#pragma once
// Where the login pair's parts go, in 96-dpi pixels.

#include "runtime/DpiScale.h"

namespace corvane {

// Both windows of the pair are the size of the login picture.
inline constexpr int kLoginPairWidth = 888;
inline constexpr int kLoginPairHeight = 518;

// The browser inside the login window starts at its corner and is larger than it, so that its
// right and bottom edges, where scroll bars would appear, lie outside the visible area.
inline constexpr int kLoginBrowserWidth = 920;
inline constexpr int kLoginBrowserHeight = 625;

// The left (or top) that centres `size` in `extent`, halves to even.
int CentredOrigin(int extent, int size);

// Where either window of the pair goes at `dpi` with its top-left corner at (left, top): the
// picture's size at that dpi, as the picture window draws it, so that the two stay glued.
rt::PixelRect LoginPairRectAt(int left, int top, int dpi);
// The browser's size inside the login window at `dpi`.
rt::PixelSize LoginBrowserSizeAt(int dpi);

}  // namespace corvane
