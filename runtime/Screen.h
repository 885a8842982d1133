#pragma once
// The screen as the forms see it: its size in twips and the twips-per-pixel factors that come
// from its real pixels per inch.

#include <windows.h>

#include "runtime/Twips.h"

namespace rt {

class Screen {
public:
    static TwipsScale Scale();  // read once from the screen DC
    static long Width();        // twips
    static long Height();       // twips
    static long TwipsPerPixelX();
    static long TwipsPerPixelY();
    // A length stated in 96-dpi pixels, in the screen's pixels.
    static int Scaled(double pixels);
    // The dpi of the monitor a window is on: the one the system last moved its form's window to,
    // else GetDpiForWindow where the system has it (looked up at run time, so that Windows 7 still
    // starts), else the screen's.
    static int DpiFor(HWND hwnd);
};

}  // namespace rt
