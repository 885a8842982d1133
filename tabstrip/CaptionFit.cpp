#include "tabstrip/CaptionFit.h"

#include <algorithm>

namespace corvane {

namespace {

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

// A cut at n characters that does not split a surrogate pair.
std::size_t SafeCut(std::wstring_view text, std::size_t n)
{
    if (n > 0 && n < text.size() && IsHighSurrogate(text[n - 1])) return n - 1;
    return n;
}

std::wstring WithEllipsis(std::wstring_view text, std::size_t n)
{
    std::wstring out(text.substr(0, n));
    while (!out.empty() && (out.back() == L' ' || out.back() == L'\t')) out.pop_back();
    out.push_back(kCaptionEllipsisChar);
    return out;
}

}  // namespace

std::wstring ElideCaption(std::wstring_view caption, long width, const TextMeasure& measure)
{
    if (width <= 0) return {};
    const std::wstring_view text = caption.substr(0, kMaxMeasuredCaption);
    if (text.size() == caption.size() && measure(text) <= width) return std::wstring(text);
    // The widest start that fits with the ellipsis: widths grow with the length.
    std::size_t lo = 0;
    std::size_t hi = text.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (measure(WithEllipsis(text, SafeCut(text, mid))) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    return WithEllipsis(text, SafeCut(text, lo));
}

CaptionFit FitCaption(const PixelRect& box, long room, std::wstring_view caption, long textHeight,
                      const TextMeasure& measure)
{
    const std::wstring_view text = caption.substr(0, kMaxMeasuredCaption);
    const long width = text.size() == caption.size() ? measure(text) : box.w + 1;
    // A caption that fits its box is centred in it, as the strip has always drawn it.
    if (width <= box.w) {
        const CaptionPlacement at = PlaceCaption(box, width, textHeight);
        return {at.box, at.format, std::wstring(caption)};
    }
    // One that does not is cut with "…" where it still ends clear of the close mark.
    const long limit = std::max(0L, std::min(room, box.w));
    const CaptionPlacement at = PlaceCaption({box.x, box.y, limit, box.h}, width, textHeight);
    return {at.box, at.format, ElideCaption(caption, limit, measure)};
}

std::wstring MenuCaption(std::wstring_view caption, long position)
{
    if (caption.empty()) return std::to_wstring(position + 1);
    std::wstring out;
    const std::size_t keep = SafeCut(caption, std::min(caption.size(), kMaxMenuCaption));
    for (std::size_t i = 0; i < keep; ++i) {
        const wchar_t c = caption[i];
        if (c == L'&')
            out += L"&&";
        else if (c < L' ')
            out.push_back(L' ');
        else
            out.push_back(c);
    }
    if (keep < caption.size()) out.push_back(kCaptionEllipsisChar);
    return out;
}

}  // namespace corvane
