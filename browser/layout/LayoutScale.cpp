#include "browser/layout/LayoutScale.h"

#include <algorithm>
#include <cmath>

#include "runtime/DpiScale.h"

namespace browser {

ScaledTextHost::ScaledTextHost(LayoutHost& inner, int dpi) : m_inner(inner), m_dpi(rt::SaneDpi(dpi)) {}

int ScaledTextHost::ToCss(int devicePixels) const
{
    return static_cast<int>(std::ceil(static_cast<double>(devicePixels) * rt::kBaseDpi / m_dpi));
}

int ScaledTextHost::TextWidth(std::string_view utf8, const FontDesc& font)
{
    return ToCss(m_inner.TextWidth(utf8, ScaleFont(font, m_dpi)));
}

// Lines keep their 96-dpi heights: a font's metrics at a larger size round differently, and a
// pixel more per line would, over a page, move what it shows off the picture drawn behind it.
int ScaledTextHost::Ascent(const FontDesc& font) { return m_inner.Ascent(font); }

int ScaledTextHost::Descent(const FontDesc& font) { return m_inner.Descent(font); }

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
    ScaledTextHost measure(host, dpi);
    // Rounded down: what the page lays out to the view's width never reaches past its edge.
    const int cssWidth = static_cast<int>(std::floor(static_cast<double>(viewportWidth) * rt::kBaseDpi / dpi));
    return ScaleLayout(LayoutDocument(document, measure, cssWidth), dpi);
}

}  // namespace browser
