#include "tabstrip/TabSpritePaint.h"

#include <algorithm>
#include <vector>

#include "runtime/HighContrast.h"
#include "tabstrip/CaptionFit.h"
#include "tabstrip/TabError.h"
#include "tabstrip/mdlTabAPI.h"

namespace corvane {

void DrawTabCaption(HDC dc, const std::wstring& text, const PixelRect& box, long room)
{
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const TextMeasure measure = [dc](std::wstring_view part) {
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, part.data(), static_cast<int>(part.size()), &extent);
        return static_cast<long>(extent.cx);
    };
    const CaptionFit at = FitCaption(box, room, text, metrics.tmHeight, measure);
    if (at.text.empty()) return;
    mdlTabAPI::DrawTextBox(dc, at.text, -1, at.box.x, at.box.y, at.box.w, at.box.h, at.format);
}

void DrawTabParts(HDC dc, const TabPaintSource& source, const TabPaint& paint, const std::wstring& caption, long dx,
                  long dy)
{
    const SkinLayout& skin = *source.layout;
    const PixelRect face = skin.Face(paint.face);
    const PixelRect& d = paint.dest;
    mdlTabAPI::DrawSkin(dc, d.x + dx, d.y + dy, d.w, d.h, source.skin, face.x, face.y, face.w, face.h, skin.borderLeft, 0,
                        skin.borderRight, 0, kSkinTransparent);
    const PixelRect& c = paint.caption;
    DrawTabCaption(dc, caption, {c.x + dx, c.y + dy, c.w, c.h}, paint.captionRoom);
    if (paint.hasGlyph) {
        const PixelRect glyph = skin.Glyph(paint.glyph);
        mdlTabAPI::DrawTransparent(dc, paint.glyphDest.x + dx, paint.glyphDest.y + dy, glyph.w, glyph.h, source.skin,
                                   glyph.x, glyph.y, kSkinTransparent);
    }
}

void DrawChevron(HDC dc, const TabPaintSource& source, HDC background, long backgroundX, const ChevronPaint& p)
{
    ::GdiFlush();
    ::BitBlt(dc, p.clear.x, p.clear.y, p.clear.w, p.clear.h, background, backgroundX + p.clear.x, p.clear.y, SRCCOPY);
    rt::SelectGuard font(dc, source.font);
    rt::ApplyInk(dc, rt::ink::Role::TabCaption, kCaptionColor);
    try {
        DrawTabParts(dc, source, ChevronAsTab(p), kChevronText);
    } catch (const TabError&) {
        // Drawn no more than the background, like a tab whose skin cannot be stretched.
    }
    ::GdiFlush();
}

TabSprite RenderTabSprite(const TabPaintSource& source, const TabPaint& paint, long left, const std::wstring& caption)
{
    const PixelRect area = TabPaintArea(paint);
    TabSprite unusable;
    if (area.w <= 0 || area.h <= 0) return unusable;
    try {
        mdlTabAPI::MemoryDC canvas = mdlTabAPI::CreateDibDC(area.w, area.h);
        HDC dc = canvas.dc();
        const bool selected = paint.face == TabFace::Selected;
        rt::SelectGuard font(dc, selected ? source.boldFont : source.font);
        if (selected)
            rt::ApplyInk(dc, rt::ink::Role::SelectedTabCaption, kSelectedCaptionColor);
        else
            rt::ApplyInk(dc, rt::ink::Role::TabCaption, kCaptionColor);
        const std::size_t n = static_cast<std::size_t>(area.w) * area.h;
        const auto drawOver = [&](std::uint32_t backdrop) {
            ::GdiFlush();
            std::fill(canvas.bits(), canvas.bits() + n, backdrop);
            DrawTabParts(dc, source, paint, caption, -area.x, -area.y);
            ::GdiFlush();
            return std::vector<std::uint32_t>(canvas.bits(), canvas.bits() + n);
        };
        const std::vector<std::uint32_t> overA = drawOver(kSpriteBackdropA);
        const std::vector<std::uint32_t> overB = drawOver(kSpriteBackdropB);
        return SpriteFromBackdrops({area.x - left, area.y, area.w, area.h}, overA.data(), overB.data());
    } catch (const TabError&) {
        // Without a canvas the tab is drawn directly, every frame.
    }
    return unusable;
}

}  // namespace corvane
