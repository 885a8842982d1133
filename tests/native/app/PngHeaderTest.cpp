#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/PngHeader.h"

namespace {

using corvane::PngSize;
using corvane::ReadPngSize;

void Put32(std::vector<std::byte>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::byte>((value >> shift) & 0xFF));
}

// The start of a PNG file up to its size (and the rest of the IHDR chunk as a real file has it).
std::vector<std::byte> Header(std::uint32_t width, std::uint32_t height, std::uint32_t length = 13,
                              const std::string& type = "IHDR")
{
    std::vector<std::byte> out;
    for (const int c : {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}) out.push_back(static_cast<std::byte>(c));
    Put32(out, length);
    for (const char c : type) out.push_back(static_cast<std::byte>(c));
    Put32(out, width);
    Put32(out, height);
    for (const int c : {8, 6, 0, 0, 0}) out.push_back(static_cast<std::byte>(c));
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
        {"one pixel", Header(1, 1), PngSize{1, 1}},
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
    for (const Case& c : cases) {
        const std::optional<PngSize> read = ReadPngSize(c.bytes);
        ASSERT_EQ(read.has_value(), c.size.has_value()) << c.what;
        if (!read) continue;
        EXPECT_EQ(read->width, c.size->width) << c.what;
        EXPECT_EQ(read->height, c.size->height) << c.what;
    }
}

}  // namespace
