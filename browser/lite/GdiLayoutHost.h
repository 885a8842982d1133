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

    int TextWidth(std::string_view utf8, const FontSpec& font) override;
    int Ascent(const FontSpec& font) override;
    int Descent(const FontSpec& font) override;
    std::optional<Size> ImageSize(const std::string& src) override { return m_images(src); }

    HFONT FontFor(const FontSpec& font);

private:
    struct Entry {
        rt::Font font;
        TEXTMETRICW metrics{};
    };
    struct Less {
        bool operator()(const FontSpec& a, const FontSpec& b) const
        {
            return std::tie(a.sizePx, a.bold, a.italic, a.underline) < std::tie(b.sizePx, b.bold, b.italic, b.underline);
        }
    };
    Entry& Get(const FontSpec& font);

    ImageSizeLookup m_images;
    rt::MemoryDC m_dc;
    std::map<FontSpec, Entry, Less> m_fonts;
};

}  // namespace browser
