#pragma once
// How iButton and BForm keep values the property bag has no type for: a font as one line of
// text, a picture as its pixels in hexadecimal. Text that does not parse gives nothing, so a
// damaged designer entry loses that property only.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

struct FontDesc {
    std::wstring name = L"宋体";
    double points = 9;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    int charset = 134;  // GB2312

    bool operator==(const FontDesc&) const = default;
};

// "name|points|weight|italic|underline|strikethrough|charset"
std::wstring FontToText(const FontDesc& font);
std::optional<FontDesc> FontFromText(std::wstring_view text);

// Pixels 0x00RRGGBB, row by row from the top.
struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool operator==(const PixelImage&) const = default;
};

// "DIB <width> <height> " followed by six hexadecimal digits per pixel.
std::wstring ImageToText(const PixelImage& image);
std::optional<PixelImage> ImageFromText(std::wstring_view text);

// Horizontal runs of pixels that differ from `key`: the visible part of a transparent control.
struct PixelRun {
    int y = 0;
    int x0 = 0;  // first pixel
    int x1 = 0;  // one past the last

    bool operator==(const PixelRun&) const = default;
};
std::vector<PixelRun> OpaqueRuns(const PixelImage& image, std::uint32_t key);

}  // namespace corvane
