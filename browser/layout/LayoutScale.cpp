#include "browser/layout/LayoutScale.h"

#include <algorithm>
#include <cmath>

#include "runtime/DpiScale.h"

namespace browser {

FontDesc ScaleFont(FontDesc font, int dpi)
{
    font.sizePx = std::max(1, rt::ScalePixels(font.sizePx, dpi));
    return font;
}

namespace {

int Scale(int pixels, int dpi)
{
    return std::clamp(rt::ScalePixels(pixels, dpi), -2 * kMaxPageCoordinate, 2 * kMaxPageCoordinate);
}

Rect ScaleBox(const Rect& r, int dpi)
{
    const int left = Scale(r.x, dpi);
    const int top = Scale(r.y, dpi);
    return Rect{left, top, Scale(r.right(), dpi) - left, Scale(r.bottom(), dpi) - top};
}

}  // namespace

PageLayout ScaleLayout(PageLayout layout, int dpi)
{
    dpi = rt::SaneDpi(dpi);
    if (dpi == rt::kBaseDpi) return layout;
    layout.id = NewLayoutId();
    for (DisplayItem& item : layout.items) {
        item.rect = ScaleBox(item.rect, dpi);
        item.font = ScaleFont(item.font, dpi);
        item.ascent = Scale(item.ascent, dpi);
    }
    for (LinkArea& link : layout.links) link.rect = ScaleBox(link.rect, dpi);
    for (ControlBox& control : layout.controls) {
        control.rect = ScaleBox(control.rect, dpi);
        control.font = ScaleFont(control.font, dpi);
    }
    layout.width = Scale(layout.width, dpi);
    layout.height = Scale(layout.height, dpi);
    return layout;
}

PageLayout LayoutDocumentAt(const Document& document, LayoutHost& host, int viewportWidth, int dpi)
{
    dpi = rt::SaneDpi(dpi);
    if (dpi == rt::kBaseDpi) return LayoutDocument(document, host, viewportWidth);
    // Rounded down: what the page lays out to the view's width never reaches past its edge.
    const int cssWidth = static_cast<int>(std::floor(static_cast<double>(viewportWidth) * rt::kBaseDpi / dpi));
    return ScaleLayout(LayoutDocument(document, host, cssWidth), dpi);
}

}  // namespace browser
