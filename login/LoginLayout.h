#pragma once
// Where the login pair's parts go, in 96-dpi pixels.

namespace corvane {

// The browser inside the login window starts at its corner and is larger than it, so that its
// right and bottom edges, where scroll bars would appear, lie outside the visible area.
inline constexpr int kLoginBrowserWidth = 920;
inline constexpr int kLoginBrowserHeight = 625;

// The left (or top) that centres `size` in `extent`, halves to even.
int CentredOrigin(int extent, int size);

}  // namespace corvane
