#pragma once
// A page at a display scale: lengths in a page are CSS pixels, which are 96-dpi pixels. The page is
// laid out in CSS pixels for the view's width in CSS pixels, text measured at its 96-dpi size, and
// the result taken to device pixels in one step: boxes, text, images, links and form controls
// keep the places they have at 96 dpi, s times larger, so a page drawn over a picture stays on it.
// Text is drawn in its font at the scale, whose hinted widths may differ from s times the 96-dpi
// ones by a pixel or two per word; measuring at the scale instead would move every box by the sum.

#include "browser/layout/Layout.h"

namespace browser {

// A font at `dpi`: its size in device pixels.
FontDesc ScaleFont(FontDesc font, int dpi);

// The layout in device pixels at `dpi`: each edge scaled on its own (halves to even), so boxes
// that abut still abut.
PageLayout ScaleLayout(PageLayout layout, int dpi);

// The page laid out for a view `viewportWidth` device pixels wide at `dpi`, in device pixels. At
// 96 dpi the same as LayoutDocument.
PageLayout LayoutDocumentAt(const Document& document, LayoutHost& host, int viewportWidth, int dpi);

}  // namespace browser
