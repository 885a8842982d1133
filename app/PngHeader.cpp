#include "app/PngHeader.h"

#include <array>
#include <cstdint>

namespace corvane {

namespace {

constexpr std::array<unsigned char, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Signature, then the first chunk: its length (13), "IHDR", width, height.
constexpr std::size_t kLengthAt = 8;
constexpr std::size_t kTypeAt = 12;
constexpr std::size_t kWidthAt = 16;
constexpr std::size_t kHeightAt = 20;
constexpr std::size_t kHeaderEnd = 24;

std::uint32_t BigEndian32(std::span<const std::byte> bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | std::to_integer<std::uint32_t>(bytes[at + i]);
    return value;
}

}  // namespace

std::optional<PngSize> ReadPngSize(std::span<const std::byte> bytes)
{
    if (bytes.size() < kHeaderEnd) return std::nullopt;
    for (std::size_t i = 0; i < kSignature.size(); ++i)
        if (std::to_integer<unsigned char>(bytes[i]) != kSignature[i]) return std::nullopt;
    constexpr std::uint32_t kIhdr = 0x49484452;  // "IHDR"
    if (BigEndian32(bytes, kLengthAt) != 13 || BigEndian32(bytes, kTypeAt) != kIhdr) return std::nullopt;
    const std::uint32_t width = BigEndian32(bytes, kWidthAt);
    const std::uint32_t height = BigEndian32(bytes, kHeightAt);
    constexpr std::uint32_t kLargest = 0x7FFFFFFF;
    if (width == 0 || height == 0 || width > kLargest || height > kLargest) return std::nullopt;
    return PngSize{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace corvane
