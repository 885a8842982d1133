#pragma once
// Picture work shared by the skinned controls: cutting a frame out of a strip, drawing a picture
// stretched, pictures to and from plain pixels, and the window region of a mask.

#include <windows.h>

#include "controls/ButtonGeometry.h"
#include "controls/PersistedValues.h"
#include "runtime/Handles.h"
#include "runtime/Resources.h"

namespace corvane {

// A copy of `area` of what `source` shows, as a picture of its own (CutFrame).
rt::PictureRef CutFrame(HDC source, const FrameRect& area);
// Draws `picture` stretched to (x, y, width, height) pixels of `target`.
void DrawPicture(HDC target, const rt::Picture& picture, int x, int y, int width, int height);
// Pixels of a bitmap that no DC holds.
PixelImage ReadPixels(HBITMAP bitmap);
// Pixels of what a DC shows, from its top-left corner.
PixelImage ReadPixels(HDC source, int width, int height);
rt::PictureRef PictureFromPixels(const PixelImage& image);
// The region of the pixels of `image` that differ from `key`.
rt::Region MaskRegion(const PixelImage& image, std::uint32_t key);

}  // namespace corvane
