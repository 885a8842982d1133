#pragma once
// Text measurement and fonts for layout and painting: one GDI font per distinct font description,
// created on first use and kept for the view's lifetime.

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>

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

    HFONT FontFor(const FontDesc& font);

private:
    struct Entry {
        rt::Font font;
        TEXTMETRICW metrics{};
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
};

}  // namespace browser
