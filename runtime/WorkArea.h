#pragma once
// The work area of a window's monitor, and the window kept on it (runtime/OnScreen.h).

#include <windows.h>

#include "runtime/OnScreen.h"

namespace rt {

// The work area of the monitor that holds the largest part of `hwnd` (the nearest one when none
// does).
ScreenRect WorkAreaOf(HWND hwnd);

// Moves, and for a Shrinkable window sizes, `hwnd` as KeepOnWorkArea says; a window already in
// place is not touched.
void KeepWindowOnWorkArea(HWND hwnd, Sizing sizing);

}  // namespace rt
