#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/PngHeader.h"

namespace {

using corvane::PngSize;
using corvane::ReadPngSize;

// The start of a PNG file up to its size (and the rest of the IHDR chunk as a real file has it).
std::vector<std::byte> Header(std::uint32_t width, std::uint32_t height, std::uint32_t length = 13,
                              const std::string& type = "IHDR")
{
    std::vector<std::byte> out;
    const auto put = [&](std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::byte>(value >> shift & 0xFF));
    };
    put(0x89504E47), put(0x0D0A1A0A), put(length);
    for (const char c : type) out.push_back(static_cast<std::byte>(c));
    put(width), put(height), put(0x08060000);
    out.push_back(std::byte{0});
    return out;
}

TEST(PngHeader, ReadsTheDeclaredSizeAndRefusesWhatIsNoPngHeader)
{
    struct Case {
        const char* what;
        std::vector<std::byte> bytes;
        std::optional<PngSize> size;
    };
    std::vector<std::byte> badSignature = Header(888, 518);
    badSignature[1] = std::byte{'p'};
    std::vector<std::byte> cut = Header(888, 518);
    cut.resize(23);
    std::vector<std::byte> exact = Header(888, 518);
    exact.resize(24);
    const Case cases[] = {
        {"the login picture", Header(888, 518), PngSize{888, 518}},
        {"the header's last byte is the height's", exact, PngSize{888, 518}},
        {"the largest the format allows", Header(0x7FFFFFFF, 2), PngSize{0x7FFFFFFF, 2}},
        {"no width", Header(0, 518), std::nullopt},
        {"no height", Header(888, 0), std::nullopt},
        {"width beyond the format", Header(0x80000000u, 518), std::nullopt},
        {"height beyond the format", Header(888, 0xFFFFFFFFu), std::nullopt},
        {"first chunk is not IHDR", Header(888, 518, 13, "IDAT"), std::nullopt},
        {"IHDR of another length", Header(888, 518, 14), std::nullopt},
        {"not a PNG signature", badSignature, std::nullopt},
        {"cut inside the height", cut, std::nullopt},
        {"nothing", {}, std::nullopt},
    };
    const auto pair = [](const std::optional<PngSize>& s) {
        return s ? std::pair{static_cast<long long>(s->width), static_cast<long long>(s->height)} : std::pair{-1LL, -1LL};
    };
    for (const Case& c : cases) EXPECT_EQ(pair(ReadPngSize(c.bytes)), pair(c.size)) << c.what;
}

}  // namespace
