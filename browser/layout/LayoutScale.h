#pragma once
// A page at a display scale: lengths in a page are CSS pixels, which are 96-dpi pixels. The page is
// laid out in CSS pixels for the view's width in CSS pixels, with text measured in the font it will
// be drawn in; the result is then taken to device pixels in one step, so that boxes, text, images,
// links and form controls keep their places relative to each other at every scale.

#include "browser/layout/Layout.h"

namespace browser {

// Measures widths through `inner` in the font of `dpi` and reports CSS pixels, rounded up so that
// the scaled box always holds the text drawn at that scale; line heights are those at 96 dpi.
class ScaledTextHost : public LayoutHost {
public:
    ScaledTextHost(LayoutHost& inner, int dpi);
    int TextWidth(std::string_view utf8, const FontDesc& font) override;
    int Ascent(const FontDesc& font) override;
    int Descent(const FontDesc& font) override;
    // Images keep their natural size in CSS pixels: a picture drawn for 96 dpi is stretched.
    std::optional<Size> ImageSize(const std::string& src) override { return m_inner.ImageSize(src); }

private:
    int ToCss(int devicePixels) const;

    LayoutHost& m_inner;
    int m_dpi;
};

// A font at `dpi`: its size in device pixels.
FontDesc ScaleFont(FontDesc font, int dpi);

// The layout in device pixels at `dpi`: each edge scaled on its own (halves to even), so boxes
// that abut still abut.
PageLayout ScaleLayout(PageLayout layout, int dpi);

// The page laid out for a view `viewportWidth` device pixels wide at `dpi`, in device pixels. At
// 96 dpi the same as LayoutDocument.
PageLayout LayoutDocumentAt(const Document& document, LayoutHost& host, int viewportWidth, int dpi);

}  // namespace browser
