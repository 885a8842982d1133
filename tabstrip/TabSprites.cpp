#include "tabstrip/TabSprites.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace corvane {

std::size_t TabSpriteKeyHash::operator()(const TabSpriteLookup& k) const
{
    std::size_t h = std::hash<std::wstring_view>()(k.caption);
    for (long v : {k.style, static_cast<long>(k.face), k.width, static_cast<long>(k.hideButton),
                   static_cast<long>(k.glyph)})
        h = h * 31 + std::hash<long>()(v);
    return h;
}

namespace {

PixelRect Union(const PixelRect& a, const PixelRect& b)
{
    if (a.w <= 0 || a.h <= 0) return b;
    if (b.w <= 0 || b.h <= 0) return a;
    const long left = std::min(a.x, b.x);
    const long top = std::min(a.y, b.y);
    const long right = std::max(a.x + a.w, b.x + b.w);
    const long bottom = std::max(a.y + a.h, b.y + b.h);
    return {left, top, right - left, bottom - top};
}

}  // namespace

PixelRect TabPaintArea(const TabPaint& paint)
{
    PixelRect area = Union(paint.dest, paint.caption);
    if (paint.hasGlyph) area = Union(area, paint.glyphDest);
    return area;
}

TabSprite SpriteFromBackdrops(const PixelRect& area, const std::uint32_t* overA, const std::uint32_t* overB)
{
    TabSprite sprite;
    sprite.area = area;
    if (area.w <= 0 || area.h <= 0) return sprite;
    const std::size_t n = static_cast<std::size_t>(area.w) * area.h;
    sprite.pixels.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t a = overA[i] & 0x00FFFFFF;
        const std::uint32_t b = overB[i] & 0x00FFFFFF;
        if (a == b) {
            sprite.pixels[i] = a;
        } else if (a == kSpriteBackdropA && b == kSpriteBackdropB) {
            sprite.pixels[i] = kSpriteClear;
        } else {
            sprite.pixels.clear();  // this pixel mixes the tab with what lies beneath it
            return sprite;
        }
    }
    for (long row = 0; row < area.h; ++row) {
        const std::uint32_t* line = sprite.pixels.data() + static_cast<std::size_t>(row) * area.w;
        for (long col = 0; col < area.w;) {
            if (line[col] == kSpriteClear) {
                ++col;
                continue;
            }
            const long from = col;
            while (col < area.w && line[col] != kSpriteClear) ++col;
            sprite.runs.push_back({row, from, col - from});
        }
    }
    sprite.usable = true;
    return sprite;
}

void CompositeSprite(std::uint32_t* dest, long width, long height, const TabSprite& sprite, long x, long y)
{
    const PixelRect& a = sprite.area;
    if (x >= width || y >= height || x + a.w <= 0 || y + a.h <= 0) return;
    for (const SpriteRun& run : sprite.runs) {
        const long row = y + run.row;
        if (row < 0 || row >= height) continue;
        const long left = std::max(0L, x + run.from), right = std::min(width, x + run.from + run.count);
        if (left >= right) continue;
        std::memcpy(dest + static_cast<std::size_t>(row) * width + left,
                    sprite.pixels.data() + static_cast<std::size_t>(run.row) * a.w + (left - x),
                    static_cast<std::size_t>(right - left) * sizeof(std::uint32_t));
    }
}

const TabSprite* TabSpriteCache::Find(const TabSpriteLookup& key)
{
    auto it = m_entries.find(key);
    if (it == m_entries.end()) return nullptr;
    it->second.lastFrame = m_frame;
    return &it->second.sprite;
}

const TabSprite& TabSpriteCache::Insert(const TabSpriteKey& key, TabSprite sprite)
{
    Entry& e = m_entries[key];
    e.sprite = std::move(sprite);
    e.lastFrame = m_frame;
    return e.sprite;
}

void TabSpriteCache::EndFrame(std::size_t tabs)
{
    // Room for every tab in each of its looks (hover, pressed glyph, selection) and a few more.
    const std::size_t limit = 4 * tabs + 32;
    if (m_entries.size() > limit) {
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            if (it->second.lastFrame != m_frame)
                it = m_entries.erase(it);
            else
                ++it;
        }
    }
    ++m_frame;
}

}  // namespace corvane
