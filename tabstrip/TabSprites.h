#pragma once
// Tabs drawn once and reused: a tab's picture (stretched skin, caption, close glyph) depends
// only on its style, face, width, caption and glyph, so it is drawn once into a sprite and
// copied into every later frame that shows the same tab the same way. A frame then costs the
// same with fifty tabs as with one.
//
// A sprite is drawn twice, over two backdrops of different colours. Pixels that come out equal
// belong to the tab; pixels that still show their backdrop are where the tab leaves what lies
// beneath it. Any other pixel (a caption blended into what lies beneath) makes the sprite
// unusable, and that tab is drawn directly instead, exactly as before.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tabstrip/TabPaintPlan.h"

namespace corvane {

// The backdrops, 0x00RRGGBB as in a 32-bit bitmap's memory.
constexpr std::uint32_t kSpriteBackdropA = 0x00FF00FF;
constexpr std::uint32_t kSpriteBackdropB = 0x0000FF00;

// A tab's look; `Caption` is std::wstring in the cache and std::wstring_view for a lookup, so a
// frame finds its sprites without copying captions.
template <typename Caption>
struct BasicTabSpriteKey {
    long style = 0;
    TabFace face = TabFace::Normal;
    long width = 0;
    bool hideButton = false;
    CloseGlyph glyph = CloseGlyph::Normal;
    Caption caption;
};
using TabSpriteKey = BasicTabSpriteKey<std::wstring>;
using TabSpriteLookup = BasicTabSpriteKey<std::wstring_view>;

struct TabSpriteKeyHash {
    using is_transparent = void;
    std::size_t operator()(const TabSpriteKey& k) const { return (*this)(View(k)); }
    std::size_t operator()(const TabSpriteLookup& k) const;
    static TabSpriteLookup View(const TabSpriteKey& k) { return {k.style, k.face, k.width, k.hideButton, k.glyph, k.caption}; }
};

struct TabSpriteKeyEqual {
    using is_transparent = void;
    template <typename A, typename B>
    bool operator()(const BasicTabSpriteKey<A>& a, const BasicTabSpriteKey<B>& b) const
    {
        return a.style == b.style && a.face == b.face && a.width == b.width && a.hideButton == b.hideButton &&
               a.glyph == b.glyph && std::wstring_view(a.caption) == std::wstring_view(b.caption);
    }
};

// A row's stretch of the tab's own pixels, copied as one block.
struct SpriteRun {
    long row = 0;
    long from = 0;
    long count = 0;
};

struct TabSprite {
    PixelRect area;       // relative to the tab's Left: x offset, y, size
    bool usable = false;  // false: draw the tab directly
    // Row by row, area.w x area.h: 0x00RRGGBB for the tab's own pixels, kSpriteClear elsewhere.
    std::vector<std::uint32_t> pixels;
    std::vector<SpriteRun> runs;  // where `pixels` is not clear, row by row
};
constexpr std::uint32_t kSpriteClear = 0xFF000000;

// Everything one tab's paint touches (its image, caption box and glyph), in tab-area
// coordinates. Empty parts (a caption box of width 0 or less) are left out.
PixelRect TabPaintArea(const TabPaint& paint);

// The sprite of a tab drawn over backdrop A (`overA`) and backdrop B (`overB`), both
// area.w x area.h, row by row; `area` relative to the tab's Left.
TabSprite SpriteFromBackdrops(const PixelRect& area, const std::uint32_t* overA, const std::uint32_t* overB);

// Copies the sprite's own pixels to (x, y) of a width x height 32-bit image (rows of `width`),
// cut at its edges.
void CompositeSprite(std::uint32_t* dest, long width, long height, const TabSprite& sprite, long x, long y);

// The sprites of recent frames. Entries no frame used lately go once there are more than the
// strip needs, so tabs that were closed or renamed do not accumulate.
class TabSpriteCache {
public:
    const TabSprite* Find(const TabSpriteLookup& key);
    const TabSprite* Find(const TabSpriteKey& key) { return Find(TabSpriteKeyHash::View(key)); }
    const TabSprite& Insert(const TabSpriteKey& key, TabSprite sprite);
    // Ends a frame that drew `tabs` tabs.
    void EndFrame(std::size_t tabs);
    void Clear() { m_entries.clear(); }
    std::size_t Size() const { return m_entries.size(); }

private:
    struct Entry {
        TabSprite sprite;
        unsigned long lastFrame = 0;
    };
    std::unordered_map<TabSpriteKey, Entry, TabSpriteKeyHash, TabSpriteKeyEqual> m_entries;
    unsigned long m_frame = 1;
};

}  // namespace corvane
