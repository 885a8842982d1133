#include "controls/ButtonGeometry.h"

#include "runtime/Rounding.h"

namespace corvane {

int FramesInStrip(std::int32_t style)
{
    return style == 0 ? 3 : 6;
}

FrameSize StripFrameSize(long widthHimetric, long heightHimetric, std::int32_t style)
{
    FrameSize frame;
    frame.height = rt::RoundHalfEven(heightHimetric / kHimetricPerPixel);
    frame.width = rt::RoundHalfEven(widthHimetric / kHimetricPerPixel / FramesInStrip(style));
    return frame;
}

int StateImageCount(std::int32_t style)
{
    // A Style other than 0 or 1 is not a button this control knows; treat it as two-state
    // rather than sizing an array from an arbitrary number.
    const int s = style == 0 ? 0 : 1;
    return 4 * s + 4;
}

FrameRect FrameSource(int index, FrameSize frame, std::int32_t style)
{
    const int frames = FramesInStrip(style);
    while (index >= frames) index -= 3;
    return {index * frame.width, 0, frame.width, frame.height};
}

int StateImageIndex(std::int32_t state, bool value, std::int32_t style)
{
    const int s = style == 0 ? 0 : 1;
    const int index = state + (value ? 1 : 0) * s * 3;
    if (state < 0 || index >= StateImageCount(style)) return -1;
    return index;
}

std::int32_t CurrentButtonState(bool enabled, bool pressed, bool pointerOver)
{
    if (!enabled) return kStateDisabled;
    if (pressed) return pointerOver ? kStatePressed : kStateNormal;
    return pointerOver ? kStateHover : kStateNormal;
}

int IconShiftTwips(long iconWidthHimetric)
{
    if (iconWidthHimetric <= 0) return 0;
    return rt::IntegerDivide(static_cast<double>(iconWidthHimetric), 26) * 15;
}

ButtonCaptionPlacement PlaceCaption(double width, double height, double textWidth, double textHeight, int iconShift)
{
    const double centredX = width / 2 - textWidth / 2;
    ButtonCaptionPlacement p;
    p.textX = rt::RoundHalfEven(centredX + iconShift);
    p.textY = rt::RoundHalfEven(height / 2 - textHeight / 2);
    p.iconX = rt::RoundHalfEven(centredX - iconShift / 2.0);
    p.iconY = 0;
    return p;
}

int PressedCaptionOffset(std::int32_t state)
{
    return state == kStatePressed ? 15 : 0;
}

FocusBox FocusRectangle(double widthTwips, double heightTwips, double twipsPerPixelX, double twipsPerPixelY)
{
    return {3, 3, rt::RoundHalfEven(widthTwips / twipsPerPixelX - 3), rt::RoundHalfEven(heightTwips / twipsPerPixelY - 3)};
}

}  // namespace corvane
