#pragma once
// Drawing one tab of the strip: straight onto the tab area, or into a sprite to reuse.

#include <windows.h>

#include <string>

#include "tabstrip/TabPaintPlan.h"
#include "tabstrip/TabSprites.h"

namespace corvane {

// What a tab is drawn from: the skin of the strip's style and the caption fonts. The caller
// has selected the right font and text colour into the destination for a direct draw.
struct TabPaintSource {
    HDC skin = nullptr;
    const SkinLayout* layout = nullptr;
    HFONT font = nullptr;
    HFONT boldFont = nullptr;
};

// One caption in its box: centred, or from the box's left with an ellipsis when it is wider.
void DrawTabCaption(HDC dc, const std::wstring& text, const PixelRect& box);

// Draws the tab's stretched skin, caption and close glyph onto `dc`, shifted by (dx, dy).
// Throws TabError when the skin's temporary buffer cannot be made.
void DrawTabParts(HDC dc, const TabPaintSource& source, const TabPaint& paint, const std::wstring& caption, long dx = 0,
                  long dy = 0);

// The tab drawn into a sprite (see TabSprites.h); an unusable sprite when it cannot be made.
TabSprite RenderTabSprite(const TabPaintSource& source, const TabPaint& paint, long left, const std::wstring& caption);

}  // namespace corvane
