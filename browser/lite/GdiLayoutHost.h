#pragma once
// Text measurement and fonts for layout and painting: one GDI font per distinct font description,
// created on first use. The cache is bounded (a page can ask for thousands of size and style
// combinations against the process's GDI limit); the least recently used font goes first.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>

#include "browser/layout/Layout.h"
#include "runtime/Handles.h"

namespace browser {

class GdiLayoutHost : public LayoutHost {
public:
    using ImageSizeLookup = std::function<std::optional<Size>(const std::string& src)>;
    explicit GdiLayoutHost(ImageSizeLookup images);

    int TextWidth(std::string_view utf8, const FontDesc& font) override;
    int Ascent(const FontDesc& font) override;
    int Descent(const FontDesc& font) override;
    std::optional<Size> ImageSize(const std::string& src) override { return m_images(src); }

    static constexpr std::size_t kMaxCachedFonts = 32;
    static constexpr std::size_t kMaxWidthsPerFont = 4096;

    // Valid until the next call of this object: for painting one item.
    HFONT FontFor(const FontDesc& font);
    // The same font drawn without anti-aliasing: every pixel of its text is either the text's
    // colour or untouched (for text over a window's transparency key, where a blended edge pixel
    // would show as a pale halo). Valid until the next call of this object.
    HFONT CrispFontFor(const FontDesc& font);
    // For a window that keeps the font (an edit control): alive as long as the pointer is held.
    std::shared_ptr<const rt::Font> SharedFontFor(const FontDesc& font);
    std::size_t CachedFonts() const { return m_fonts.size(); }

private:
    struct Entry {
        std::shared_ptr<rt::Font> font;
        TEXTMETRICW metrics{};
        unsigned long long lastUse = 0;
        // Measured widths by UTF-8 text: a page measures the same words again on every layout
        // (each resize and scroll-bar change, and the next load of the same page).
        std::unordered_map<std::string, int> widths;
    };
    struct Less {
        bool operator()(const FontDesc& a, const FontDesc& b) const
        {
            return std::tie(a.sizePx, a.bold, a.italic, a.underline) < std::tie(b.sizePx, b.bold, b.italic, b.underline);
        }
    };
    Entry& Get(const FontDesc& font);

    ImageSizeLookup m_images;
    rt::MemoryDC m_dc;
    std::map<FontDesc, Entry, Less> m_fonts;
    std::map<FontDesc, rt::Font, Less> m_crispFonts;
    unsigned long long m_uses = 0;
};

}  // namespace browser
