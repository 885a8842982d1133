#include "controls/PersistedValues.h"

#include <cwchar>

namespace corvane {

namespace {

// Image sides beyond this are not a button strip; refuse them rather than allocate for them.
constexpr int kMaxImageSide = 4096;

std::vector<std::wstring_view> Split(std::wstring_view text, wchar_t separator)
{
    std::vector<std::wstring_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
        if (end == std::wstring_view::npos) return parts;
        start = end + 1;
    }
}

std::optional<long> ParseLong(std::wstring_view text)
{
    if (text.empty() || text.size() > 12) return std::nullopt;
    const std::wstring s(text);
    wchar_t* end = nullptr;
    const long value = std::wcstol(s.c_str(), &end, 10);
    if (end != s.c_str() + s.size()) return std::nullopt;
    return value;
}

std::optional<double> ParseDouble(std::wstring_view text)
{
    if (text.empty() || text.size() > 32) return std::nullopt;
    const std::wstring s(text);
    wchar_t* end = nullptr;
    const double value = std::wcstod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !(value > 0) || value > 1000) return std::nullopt;
    return value;
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

}  // namespace

std::wstring FontToText(const FontDesc& f)
{
    wchar_t points[32];
    std::swprintf(points, 32, L"%g", f.points);
    return f.name + L"|" + points + L"|" + std::to_wstring(f.weight) + L"|" + (f.italic ? L"1" : L"0") + L"|" +
           (f.underline ? L"1" : L"0") + L"|" + (f.strikethrough ? L"1" : L"0") + L"|" + std::to_wstring(f.charset);
}

std::optional<FontDesc> FontFromText(std::wstring_view text)
{
    const auto parts = Split(text, L'|');
    if (parts.size() != 7 || parts[0].empty() || parts[0].size() >= 32) return std::nullopt;
    const auto points = ParseDouble(parts[1]);
    const auto weight = ParseLong(parts[2]);
    const auto charset = ParseLong(parts[6]);
    if (!points || !weight || *weight < 0 || *weight > 1000 || !charset || *charset < 0 || *charset > 255)
        return std::nullopt;
    const auto flag = [](std::wstring_view v) -> std::optional<bool> {
        if (v == L"0") return false;
        if (v == L"1") return true;
        return std::nullopt;
    };
    const auto italic = flag(parts[3]), underline = flag(parts[4]), strike = flag(parts[5]);
    if (!italic || !underline || !strike) return std::nullopt;
    return FontDesc{std::wstring(parts[0]), *points, static_cast<int>(*weight), *italic, *underline, *strike,
                    static_cast<int>(*charset)};
}

std::wstring ImageToText(const PixelImage& image)
{
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text = L"DIB " + std::to_wstring(image.width) + L" " + std::to_wstring(image.height) + L" ";
    text.reserve(text.size() + image.pixels.size() * 6);
    for (std::uint32_t p : image.pixels)
        for (int shift = 20; shift >= 0; shift -= 4) text += kDigits[(p >> shift) & 0xF];
    return text;
}

std::optional<PixelImage> ImageFromText(std::wstring_view text)
{
    const auto parts = Split(text, L' ');
    if (parts.size() != 4 || parts[0] != L"DIB") return std::nullopt;
    const auto width = ParseLong(parts[1]);
    const auto height = ParseLong(parts[2]);
    if (!width || !height || *width <= 0 || *height <= 0 || *width > kMaxImageSide || *height > kMaxImageSide)
        return std::nullopt;
    const std::size_t count = static_cast<std::size_t>(*width) * static_cast<std::size_t>(*height);
    if (parts[3].size() != count * 6) return std::nullopt;
    PixelImage image{static_cast<int>(*width), static_cast<int>(*height), {}};
    image.pixels.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t p = 0;
        for (std::size_t k = 0; k < 6; ++k) {
            const int d = HexDigit(parts[3][i * 6 + k]);
            if (d < 0) return std::nullopt;
            p = (p << 4) | static_cast<std::uint32_t>(d);
        }
        image.pixels.push_back(p);
    }
    return image;
}

std::vector<PixelRun> OpaqueRuns(const PixelImage& image, std::uint32_t key)
{
    std::vector<PixelRun> runs;
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) return runs;
    for (int y = 0; y < image.height; ++y) {
        const std::uint32_t* row = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
        for (int x = 0; x < image.width;) {
            if ((row[x] & 0xFFFFFF) == (key & 0xFFFFFF)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width && (row[x] & 0xFFFFFF) != (key & 0xFFFFFF)) ++x;
            runs.push_back({y, start, x});
        }
    }
    return runs;
}

}  // namespace corvane
