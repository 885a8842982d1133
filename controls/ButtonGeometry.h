#pragma once
// The arithmetic of iButton: how its state strip is cut into frames, which frame each state
// shows, and where the caption, the icon and the focus rectangle go. Sizes of pictures come in
// HIMETRIC, placements are twips unless the name says pixels.

#include <cstdint>

namespace corvane {

// A picture object's HIMETRIC size divided by this gives pixels.
inline constexpr double kHimetricPerPixel = 26.45836;

// The visual states (cAction).
enum ButtonState : std::int32_t { kStateNormal = 0, kStateHover = 1, kStatePressed = 2, kStateDisabled = 3 };

struct FrameSize {
    int width = 0;
    int height = 0;
};

struct FrameRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Frames in a strip: normal, hover, pressed; a two-state button (Style 1) has them twice.
int FramesInStrip(std::int32_t style);
// One frame of a strip whose picture measures widthHimetric x heightHimetric.
FrameSize StripFrameSize(long widthHimetric, long heightHimetric, std::int32_t style);
// Number of state images cut from the strip: indices 0 .. 4 * Style + 3.
int StateImageCount(std::int32_t style);
// Where state image `index` lies in the strip. The strip has no frame for the disabled state
// (nor for the images past its right edge): those show the normal frame of their half, so a
// disabled button keeps its face instead of showing whatever lies beyond the bitmap.
FrameRect FrameSource(int index, FrameSize frame, std::int32_t style);
// The state image shown for `state`: the second half of the strip while a two-state button is
// latched. Returns -1 for a state outside the images.
int StateImageIndex(std::int32_t state, bool value, std::int32_t style);
// CurrentState: disabled beats pressed, pressed shows only while the pointer is over the button.
std::int32_t CurrentButtonState(bool enabled, bool pressed, bool pointerOver);

// How far the caption moves right to make room for an icon: whole pixels of the icon's width
// (HIMETRIC integer-divided by 26), in twips at the fixed factor 15. 0 without an icon.
int IconShiftTwips(long iconWidthHimetric);

struct ButtonCaptionPlacement {
    std::int32_t textX = 0;  // twips, before the pressed offset
    std::int32_t textY = 0;
    std::int32_t iconX = 0;
    std::int32_t iconY = 0;
};

// Caption and icon places for a control of width x height twips showing a text of
// textWidth x textHeight twips; iconShift as IconShiftTwips gives it.
ButtonCaptionPlacement PlaceCaption(double width, double height, double textWidth, double textHeight, int iconShift);
// The pressed state prints its caption one pixel (15 twips) down and right.
int PressedCaptionOffset(std::int32_t state);

// The focus rectangle, pixels in surface coordinates: 3 pixels inside the control's edges.
struct FocusBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
FocusBox FocusRectangle(double widthTwips, double heightTwips, double twipsPerPixelX, double twipsPerPixelY);

// AutoSize: the control's size for one frame, at the fixed factor of 15 twips per pixel.
inline constexpr int kAutoSizeTwipsPerPixel = 15;

}  // namespace corvane
