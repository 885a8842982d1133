#pragma once
// How a caption fits its tab: centred in its box when it fits there, else from the box's left and
// cut with "…" just before the close mark. The cut is made here rather than by the system's
// drawing, so that it always ends before the mark and always in the one character.

#include <functional>
#include <string>
#include <string_view>

#include "tabstrip/TabPaintPlan.h"

namespace corvane {

// Width in pixels of a text in the font the caption is drawn in.
using TextMeasure = std::function<long(std::wstring_view)>;

inline constexpr wchar_t kCaptionEllipsisChar = L'\u2026';

// Captions longer than this are cut before being measured: no tab shows more.
inline constexpr std::size_t kMaxMeasuredCaption = 512;

// The longest start of `caption` that fits `width` with "…" after it (trailing blanks dropped,
// surrogate pairs never split); the caption itself when it fits whole; empty when width <= 0.
std::wstring ElideCaption(std::wstring_view caption, long width, const TextMeasure& measure);

struct CaptionFit {
    PixelRect box;
    unsigned format = kCaptionCentred;
    std::wstring text;
};

// `box` is the caption's box, `room` how much of it, from its left, lies clear of the close mark
// (box.w when nothing follows it); `textHeight` the font's line height. A caption that
// fits its box is placed exactly as the strip has always placed it.
CaptionFit FitCaption(const PixelRect& box, long room, std::wstring_view caption, long textHeight,
                      const TextMeasure& measure);

// A caption as a menu item: "&" shown as itself, control characters as blanks, cut at
// kMaxMenuCaption characters; an empty caption shows the tab's number (position + 1).
inline constexpr std::size_t kMaxMenuCaption = 80;
std::wstring MenuCaption(std::wstring_view caption, long position);

}  // namespace corvane
