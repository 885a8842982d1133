#include "controls/SharedImages.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "controls/ButtonGeometry.h"
#include "controls/PictureOps.h"
#include "runtime/DpiScale.h"
#include "runtime/Twips.h"

namespace corvane {

namespace {

struct StripEntry {
    const rt::Picture* key;
    std::weak_ptr<const rt::Picture> strip;  // the address alone could be a later picture's
    std::int32_t style;
    std::shared_ptr<const StateImages> images;
};

std::vector<StripEntry>& Strips()
{
    static std::vector<StripEntry> strips;
    return strips;
}

std::shared_ptr<const StateImages> Cut(const rt::Picture& strip, std::int32_t style)
{
    auto images = std::make_shared<StateImages>();
    // Cut from the strip's own pixels: one made for a larger scale has larger frames than its
    // HIMETRIC size (the 96-dpi frames the control sizes itself by) says.
    const FrameSize frame = StripFrameSize(rt::PixelsToHimetric(strip.WidthPixels(), rt::kBaseDpi),
                                           rt::PixelsToHimetric(strip.HeightPixels(), rt::kBaseDpi), style);
    rt::ClientDC screen(nullptr);
    rt::MemoryDC dc(::CreateCompatibleDC(screen.get()));
    rt::SelectGuard select(dc.get(), strip.handle());
    const int count = StateImageCount(style);
    images->reserve(count);
    for (int i = 0; i < count; ++i) images->push_back(CutFrame(dc.get(), FrameSource(i, frame, style)));
    return images;
}

}  // namespace

void ReleaseOrphanedStateImages()
{
    auto& strips = Strips();
    strips.erase(std::remove_if(strips.begin(), strips.end(), [](const StripEntry& e) { return e.strip.expired(); }),
                 strips.end());
}

std::shared_ptr<const StateImages> SharedStateImages(const rt::PictureRef& strip, std::int32_t style)
{
    if (!strip) return nullptr;
    ReleaseOrphanedStateImages();
    for (const StripEntry& e : Strips())
        if (e.key == strip.get() && e.style == style) return e.images;
    auto images = Cut(*strip, style);
    Strips().push_back({strip.get(), strip, style, images});
    return images;
}

std::shared_ptr<const rt::Font> SharedFont(const LOGFONTW& lf)
{
    struct FontEntry {
        std::string key;
        std::shared_ptr<const rt::Font> font;
    };
    static std::vector<FontEntry> fonts;
    const std::string key(reinterpret_cast<const char*>(&lf), sizeof lf);
    for (const FontEntry& e : fonts)
        if (e.key == key) return e.font;
    // Fonts no button uses any more go once there are a few of them.
    if (fonts.size() >= 16)
        fonts.erase(std::remove_if(fonts.begin(), fonts.end(), [](const FontEntry& e) { return e.font.use_count() == 1; }),
                    fonts.end());
    auto font = std::make_shared<const rt::Font>(::CreateFontIndirectW(&lf));
    fonts.push_back({key, font});
    return font;
}

}  // namespace corvane
