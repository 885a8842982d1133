#pragma once
// The few window operations of the tab model, behind a seam so the model builds and is tested
// without the platform.

#include "tabstrip/TabTypes.h"

namespace corvane {

class ITabWindows {
public:
    virtual ~ITabWindows() = default;

    // The window's style (GWL_STYLE).
    virtual long WindowStyle(WindowHandle window) = 0;
    virtual void Activate(WindowHandle window) = 0;
    // Makes a page a top-level window again: parent none, `style` restored, centred on the
    // screen and shown; then the strip's form is asked to repaint.
    virtual void ReleaseToDesktop(WindowHandle page, long style, WindowHandle stripParent) = 0;
};

struct ScreenPoint {
    long x;
    long y;
};

// Where a window of the given size sits centred on the screen (halves to even).
ScreenPoint CentreOnScreen(long screenWidth, long screenHeight, long windowWidth, long windowHeight);

}  // namespace corvane
