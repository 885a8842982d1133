#pragma once
// Drawing one tab of the strip: straight onto the tab area, or into a sprite to reuse.

#include <windows.h>

#include <string>

#include "tabstrip/TabOverflow.h"
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

// One caption in its box: centred while it stays clear of the close glyph (`room` pixels from
// the box's left), else from the box's left, cut with "…" before the glyph.
void DrawTabCaption(HDC dc, const std::wstring& text, const PixelRect& box, long room);

// Draws the tab's stretched skin, caption and close glyph onto `dc`, shifted by (dx, dy).
// Throws TabError when the skin's temporary buffer cannot be made.
void DrawTabParts(HDC dc, const TabPaintSource& source, const TabPaint& paint, const std::wstring& caption, long dx = 0,
                  long dy = 0);

// The chevron over the tab area `dc`: the background (from `background` at `backgroundX` plus
// the chevron's x) first, hiding the cut-off tabs, then the chevron drawn as a small tab.
void DrawChevron(HDC dc, const TabPaintSource& source, HDC background, long backgroundX, const ChevronPaint& paint);

// The tab drawn into a sprite (see TabSprites.h); an unusable sprite when it cannot be made.
TabSprite RenderTabSprite(const TabPaintSource& source, const TabPaint& paint, long left, const std::wstring& caption);

}  // namespace corvane
