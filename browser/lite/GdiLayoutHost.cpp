#include "browser/lite/GdiLayoutHost.h"

#include <algorithm>
#include <tuple>

#include "browser/lite/TextConvert.h"

namespace browser {

GdiLayoutHost::GdiLayoutHost(ImageSizeLookup images)
    : m_images(std::move(images)), m_dc(::CreateCompatibleDC(nullptr))
{
}

GdiLayoutHost::Entry& GdiLayoutHost::Get(const FontDesc& requested)
{
    // Sizes the font cannot take are one font, not many.
    FontDesc params = requested;
    params.sizePx = std::clamp(params.sizePx, 1, 400);
    auto it = m_fonts.find(params);
    if (it != m_fonts.end()) {
        it->second.lastUse = ++m_uses;
        return it->second;
    }
    if (m_fonts.size() >= kMaxCachedFonts) {
        // Nothing of ours has the font selected between calls; a window that keeps one holds its
        // own reference.
        m_fonts.erase(std::min_element(m_fonts.begin(), m_fonts.end(), [](const auto& a, const auto& b) {
            return a.second.lastUse < b.second.lastUse;
        }));
    }
    Entry entry;
    // "宋体" is what Chinese pages expect; it resolves to the system's CJK font.
    entry.font = std::make_shared<rt::Font>(::CreateFontW(
        -params.sizePx, 0, 0, 0, params.bold ? FW_BOLD : FW_NORMAL, params.italic, params.underline, FALSE,
        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体"));
    {
        rt::SelectGuard select(m_dc.get(), entry.font->get());
        ::GetTextMetricsW(m_dc.get(), &entry.metrics);
    }
    entry.lastUse = ++m_uses;
    return m_fonts.emplace(params, std::move(entry)).first->second;
}

HFONT GdiLayoutHost::FontFor(const FontDesc& font) { return Get(font).font->get(); }

HFONT GdiLayoutHost::CrispFontFor(const FontDesc& requested)
{
    FontDesc params = requested;
    params.sizePx = std::clamp(params.sizePx, 1, 400);
    auto it = m_crispFonts.find(params);
    if (it != m_crispFonts.end()) return it->second.get();
    // Few pages draw over a key; a page that asks for many sizes starts the set over.
    if (m_crispFonts.size() >= kMaxCachedFonts) m_crispFonts.clear();
    rt::Font font(::CreateFontW(-params.sizePx, 0, 0, 0, params.bold ? FW_BOLD : FW_NORMAL, params.italic,
                                params.underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体"));
    return m_crispFonts.emplace(params, std::move(font)).first->second.get();
}

std::shared_ptr<const rt::Font> GdiLayoutHost::SharedFontFor(const FontDesc& font) { return Get(font).font; }

int GdiLayoutHost::TextWidth(std::string_view utf8, const FontDesc& font)
{
    if (utf8.empty()) return 0;
    Entry& e = Get(font);
    std::string key(utf8);
    if (const auto it = e.widths.find(key); it != e.widths.end()) return it->second;
    const std::wstring text = Utf8ToWide(utf8);
    SIZE size{};
    if (!text.empty()) {
        rt::SelectGuard select(m_dc.get(), e.font->get());
        ::GetTextExtentPoint32W(m_dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    }
    // A page of endless distinct words starts the memory over rather than growing without end.
    if (e.widths.size() >= kMaxWidthsPerFont) e.widths.clear();
    e.widths.emplace(std::move(key), size.cx);
    return size.cx;
}

int GdiLayoutHost::Ascent(const FontDesc& font) { return Get(font).metrics.tmAscent; }

int GdiLayoutHost::Descent(const FontDesc& font) { return Get(font).metrics.tmDescent; }

}  // namespace browser
