#pragma once
// KvProgressBar's rules: Min <= Value <= Max kept by every setter, and the skin copies that
// paint a bar of a given width.

#include <cstdint>
#include <vector>

namespace corvane {

class ProgressRange {
public:
    std::int32_t Min() const { return m_min; }
    std::int32_t Max() const { return m_max; }
    std::int32_t Value() const { return m_value; }
    // Each returns whether the value was accepted; a refused value changes nothing.
    bool SetMin(std::int32_t v);    // 0 <= v < Max; raises Value to v when it was below
    bool SetMax(std::int32_t v);    // v > Min; lowers Value to v when it was above
    bool SetValue(std::int32_t v);  // Min <= v <= Max

private:
    std::int32_t m_min = 0;
    std::int32_t m_max = 100;
    std::int32_t m_value = 0;
};

inline constexpr int kProgressSkinHeight = 10;

// The skin's pieces packed left to right at 100 %: left cap, middle, right cap, empty track.
inline constexpr int kProgressSkinPieces[] = {3, 2, 3, 2};

// The skin as drawn for a scale: each piece, the edge line around the bar and the height in pixels.
struct ProgressSkin {
    int cap = 3;
    int middle = 2;
    int track = 2;
    int line = 1;
    int height = kProgressSkinHeight;
    bool operator==(const ProgressSkin&) const = default;
};

// The skin at `dpi`: every length of the design scaled on its own, as the picture loader cuts it.
ProgressSkin ProgressSkinAt(int dpi);

// Where the filled part ends in a bar `width` pixels wide inside edge lines `line` wide (rounded
// halves to even).
int ProgressFill(int width, const ProgressRange& range, int line = 1);

// One copy from the skin (columns srcX .. srcX + srcWidth - 1, all rows) to the bar's columns
// dstX .. dstX + dstWidth - 1, stretched when the widths differ.
struct SkinCopy {
    int srcX;
    int srcWidth;
    int dstX;
    int dstWidth;
    bool operator==(const SkinCopy&) const = default;
};

// The copies of one repaint, in painting order: left cap, middle, right cap, then the empty part.
std::vector<SkinCopy> ProgressPaintPlan(int width, const ProgressRange& range, const ProgressSkin& skin = {});

}  // namespace corvane
