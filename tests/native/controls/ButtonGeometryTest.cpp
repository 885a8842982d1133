// The button's strip arithmetic: frames from HIMETRIC sizes, which frame each state shows, and
// where caption, icon and focus rectangle go.

#include <gtest/gtest.h>

#include "controls/ButtonGeometry.h"
#include "runtime/Twips.h"

using namespace corvane;

namespace {

long Himetric(int pixels)
{
    return rt::PixelsToHimetric(pixels, 96);
}

}  // namespace

TEST(ButtonStrip, FramesFromHimetricSizes)
{
    // The caption buttons of the main window: 72 x 18 normal, 150 x 18 two-state, 129 x 18.
    EXPECT_EQ(StripFrameSize(Himetric(72), Himetric(18), 0).width, 24);
    EXPECT_EQ(StripFrameSize(Himetric(72), Himetric(18), 0).height, 18);
    EXPECT_EQ(StripFrameSize(Himetric(150), Himetric(18), 1).width, 25);
    EXPECT_EQ(StripFrameSize(Himetric(129), Himetric(18), 0).width, 43);
    // 13 / 3 = 4.33: the link buttons' strips give 4-pixel frames.
    EXPECT_EQ(StripFrameSize(Himetric(13), Himetric(22), 0).width, 4);
    EXPECT_EQ(StripFrameSize(Himetric(13), Himetric(22), 0).height, 22);
    // 225 x 22 yes/no strip.
    EXPECT_EQ(StripFrameSize(Himetric(225), Himetric(22), 0).width, 75);
    // Rounding is to the nearest, halves to even: 7.5 px / 3 frames = 2.5 -> 2.
    EXPECT_EQ(StripFrameSize(198, 0, 0).width, 2);  // 198 HIMETRIC = 7.483 px
    EXPECT_EQ(StripFrameSize(0, 0, 0).width, 0);
}

TEST(ButtonStrip, StateImagesAndTheirSources)
{
    EXPECT_EQ(StateImageCount(0), 4);
    EXPECT_EQ(StateImageCount(1), 8);
    const FrameSize frame{25, 18};
    EXPECT_EQ(FrameSource(4, frame, 1).x, 100);
    EXPECT_EQ(FrameSource(4, frame, 1).width, 25);
    // The disabled images lie past the strip: they show the normal frame of their half.
    EXPECT_EQ(FrameSource(3, {24, 18}, 0).x, 0);
    EXPECT_EQ(FrameSource(6, frame, 1).x, 75);
    EXPECT_EQ(FrameSource(7, frame, 1).x, 100);
}

TEST(ButtonStrip, StateImageIndexFollowsValueAndStyle)
{
    EXPECT_EQ(StateImageIndex(kStateHover, false, 0), 1);
    // Value counts only for the two-state style.
    EXPECT_EQ(StateImageIndex(kStateHover, true, 0), 1);
    EXPECT_EQ(StateImageIndex(kStateNormal, true, 1), 3);
    EXPECT_EQ(StateImageIndex(kStatePressed, true, 1), 5);
    EXPECT_EQ(StateImageIndex(kStateDisabled, false, 0), 3);
    EXPECT_EQ(StateImageIndex(kStateDisabled, false, 1), 3);
    EXPECT_EQ(StateImageIndex(kStateDisabled, true, 1), 6);
    EXPECT_EQ(StateImageIndex(-1, false, 0), -1);
    EXPECT_EQ(StateImageIndex(4, false, 0), -1);
}

TEST(ButtonStrip, CurrentState)
{
    EXPECT_EQ(CurrentButtonState(false, true, true), kStateDisabled);
    EXPECT_EQ(CurrentButtonState(true, true, true), kStatePressed);
    EXPECT_EQ(CurrentButtonState(true, true, false), kStateNormal);
    EXPECT_EQ(CurrentButtonState(true, false, true), kStateHover);
    EXPECT_EQ(CurrentButtonState(true, false, false), kStateNormal);
}

TEST(ButtonCaption, CentredWithIconShift)
{
    // A 16-pixel icon (423 HIMETRIC) shifts the caption by 16 x 15 = 240 twips.
    EXPECT_EQ(IconShiftTwips(423), 240);
    EXPECT_EQ(IconShiftTwips(Himetric(13)), 195);
    EXPECT_EQ(IconShiftTwips(0), 0);

    // 1215 x 330 twips, text 720 x 180 twips, icon 240.
    ButtonCaptionPlacement p = PlaceCaption(1215, 330, 720, 180, 240);
    EXPECT_EQ(p.textX, 488);  // 607.5 - 360 + 240 = 487.5 -> 488 (half to even)
    EXPECT_EQ(p.textY, 75);
    EXPECT_EQ(p.iconX, 128);  // 247.5 - 120 = 127.5 -> 128
    EXPECT_EQ(p.iconY, 0);
    // An empty caption centres the icon: width / 2 - iconShift / 2.
    p = PlaceCaption(600, 330, 0, 0, 240);
    EXPECT_EQ(p.iconX, 180);
    EXPECT_EQ(PressedCaptionOffset(kStatePressed), 15);
    EXPECT_EQ(PressedCaptionOffset(kStateHover), 0);
}

TEST(ButtonCaption, FocusRectangleThreePixelsInside)
{
    const FocusBox box = FocusRectangle(1125, 330, 15, 15);
    EXPECT_EQ(box.left, 3);
    EXPECT_EQ(box.top, 3);
    EXPECT_EQ(box.right, 72);
    EXPECT_EQ(box.bottom, 19);
    // At 120 dpi (12 twips per pixel) 375 x 270 twips are 31.25 x 22.5 pixels.
    const FocusBox big = FocusRectangle(375, 270, 12, 12);
    EXPECT_EQ(big.right, 28);
    EXPECT_EQ(big.bottom, 20);  // 19.5 -> 20
}
