// Every resource of the built executables, read back from the files: ids, types, languages,
// sizes and formats.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <tuple>
#include <utility>

#include "resources/ResourceIds.h"
#include "runtime/App.h"
#include "runtime/ArtScale.h"
#include "runtime/Handles.h"
#include "runtime/Resources.h"
#include "tests/driver/Driver.h"

namespace {

constexpr WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);  // 2052

struct Blob {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Blob Find(HMODULE module, const wchar_t* type, int id)
{
    HRSRC res = ::FindResourceExW(module, type, MAKEINTRESOURCEW(id), kChineseSimplified);
    if (!res) return {};
    HGLOBAL h = ::LoadResource(module, res);
    return {static_cast<const BYTE*>(::LockResource(h)), ::SizeofResource(module, res)};
}

std::uint32_t BigEndian32(const BYTE* p) { return (p[0] << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

constexpr rt::ArtScale kLargerScales[] = {rt::ArtScale::Percent125, rt::ArtScale::Percent150,
                                          rt::ArtScale::Percent175, rt::ArtScale::Percent200};

// A picture of the 100 % design as its scaled copies are laid out: `column` whole pixels that
// are never scaled, then runs of `count` pieces `length` pixels wide each, side by side.
struct PackedPicture {
    int id;
    int column;
    struct {
        int count, length;
    } runs[2];
    int height;

    long Width(rt::ArtScale scale) const
    {
        long width = column;
        for (auto run : runs) width += run.count * rt::ArtLength(run.length, scale);
        return width;
    }
};

// The width and height a bitmap resource states, or {-1, -1} when it is missing.
std::pair<long, long> BitmapSize(HMODULE module, int id)
{
    Blob dib = Find(module, MAKEINTRESOURCEW(2), id);  // RT_BITMAP
    if (dib.size < sizeof(BITMAPINFOHEADER)) return {-1, -1};
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.data, sizeof header);
    return {header.biWidth, std::abs(header.biHeight)};
}

void ExpectScaledBitmaps(HMODULE module, std::initializer_list<PackedPicture> pictures)
{
    for (rt::ArtScale scale : kLargerScales)
        for (const PackedPicture& p : pictures) {
            const int id = rt::ArtResourceId(p.id, scale);
            EXPECT_EQ(BitmapSize(module, id), std::make_pair(p.Width(scale), long{rt::ArtLength(p.height, scale)}))
                << "bitmap " << p.id << " at " << rt::ArtPercent(scale) << " %, id " << id;
        }
}

class ExecutableResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::wstring exe = driver::BuildDir() + L"\\app\\Corvane.exe";
        m_module.reset(::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(m_module) << "cannot open " << driver::WideToUtf8(exe);
    }
    HMODULE module() const { return m_module.get(); }

private:
    rt::Module m_module;
};

TEST_F(ExecutableResources, PngPicturesAreRgbaOfTheirSizes)
{
    struct {
        int id, width, height;
    } pictures[] = {{101, 888, 518}, {102, 356, 122}};
    for (auto p : pictures) {
        Blob png = Find(module(), L"PNG", p.id);
        ASSERT_GT(png.size, 33u) << "PNG " << p.id;
        EXPECT_EQ(std::memcmp(png.data, "\x89PNG\r\n\x1a\n", 8), 0);
        EXPECT_EQ(std::memcmp(png.data + 12, "IHDR", 4), 0);
        EXPECT_EQ(BigEndian32(png.data + 16), static_cast<std::uint32_t>(p.width)) << "PNG " << p.id;
        EXPECT_EQ(BigEndian32(png.data + 20), static_cast<std::uint32_t>(p.height)) << "PNG " << p.id;
        EXPECT_EQ(png.data[24], 8) << "8 bits per channel";
        EXPECT_EQ(png.data[25], 6) << "colour type RGBA";
    }
}

TEST_F(ExecutableResources, BitmapsHaveTheirStatedSizes)
{
    struct {
        int id, width, height;
    } bitmaps[] = {{101, 72, 18},  {102, 150, 18}, {103, 129, 18}, {104, 72, 18},  {105, 29, 29},
                   {106, 415, 25}, {107, 421, 28}, {108, 94, 85},  {201, 13, 22},  {202, 16, 22},
                   {203, 13, 22},  {204, 13, 22},  {205, 225, 22}};
    for (auto b : bitmaps) {
        Blob dib = Find(module(), MAKEINTRESOURCEW(2), b.id);  // RT_BITMAP
        ASSERT_GE(dib.size, sizeof(BITMAPINFOHEADER)) << "bitmap " << b.id;
        BITMAPINFOHEADER header;
        std::memcpy(&header, dib.data, sizeof header);
        EXPECT_EQ(header.biWidth, b.width) << "bitmap " << b.id;
        EXPECT_EQ(std::abs(header.biHeight), b.height) << "bitmap " << b.id;
    }
}

TEST_F(ExecutableResources, ScaledPicturesAreTheDesignScaledPieceByPiece)
{
    ExpectScaledBitmaps(module(), {{IDB_CAPTION_MIN, 0, {{3, 24}}, 18},
                                   {IDB_CAPTION_MINMAX, 0, {{6, 25}}, 18},
                                   {IDB_CAPTION_CLOSE, 0, {{3, 43}}, 18},
                                   {IDB_CAPTION_TOOL, 0, {{3, 24}}, 18},
                                   {IDB_LOGO, 0, {{1, 29}}, 29},
                                   {IDB_TAB_SKIN0, 1, {{3, 122}, {4, 12}}, 25},
                                   {IDB_TAB_SKIN1, 1, {{3, 124}, {4, 12}}, 28},
                                   {IDB_FRAME_SKIN, 0, {{1, 94}}, 85},
                                   {IDB_GAMESPACE_STRIP, 1, {{3, 4}}, 22},
                                   {IDB_GAMESPACE_ICON, 0, {{1, 16}}, 22},
                                   {IDB_OTHERUSER_STRIP, 1, {{3, 4}}, 22},
                                   {IDB_OTHERUSER_ICON, 0, {{1, 13}}, 22},
                                   {IDB_YESNO_STRIP, 0, {{3, 75}}, 22}});
    // Spelled out at 175 %, where halves round to even: 43 * 1.75 = 75.25, 122 * 1.75 = 213.5.
    EXPECT_EQ(BitmapSize(module(), 3103), std::make_pair(225L, 32L));
    EXPECT_EQ(BitmapSize(module(), 3106), std::make_pair(1L + 3 * 214 + 4 * 21, 44L));
    EXPECT_EQ(BitmapSize(module(), 5101), std::make_pair(-1L, -1L)) << "no set beyond 200 %";

    for (rt::ArtScale scale : kLargerScales)
        for (auto [id, width, height] : {std::tuple{IDP_LOGIN_BG, 888, 518}, std::tuple{IDP_SPLASH, 356, 122}}) {
            Blob png = Find(module(), L"PNG", rt::ArtResourceId(id, scale));
            ASSERT_GT(png.size, 33u) << "PNG " << id << " at " << rt::ArtPercent(scale) << " %";
            EXPECT_EQ(std::memcmp(png.data, "\x89PNG\r\n\x1a\n", 8), 0);
            EXPECT_EQ(BigEndian32(png.data + 16), static_cast<std::uint32_t>(rt::ArtLength(width, scale)));
            EXPECT_EQ(BigEndian32(png.data + 20), static_cast<std::uint32_t>(rt::ArtLength(height, scale)));
            EXPECT_EQ(png.data[25], 6) << "colour type RGBA";
        }
}

TEST_F(ExecutableResources, IconFileHoldsEverySizeTheOldImagesFirst)
{
    Blob ico = Find(module(), L"ICON", 101);
    ASSERT_GE(ico.size, 6u + 9 * 16);
    WORD reserved, type, count;
    std::memcpy(&reserved, ico.data, 2);
    std::memcpy(&type, ico.data + 2, 2);
    std::memcpy(&count, ico.data + 4, 2);
    EXPECT_EQ(reserved, 0);
    EXPECT_EQ(type, 1);
    ASSERT_EQ(count, 9);
    struct {
        int size, bits;
        bool png;
    } expected[] = {{16, 8, false},   {48, 32, false}, {32, 32, false}, {24, 32, false}, {16, 32, false},
                    {256, 32, true},  {64, 32, false}, {40, 32, false}, {20, 32, false}};
    for (int i = 0; i < 9; ++i) {
        const BYTE* entry = ico.data + 6 + 16 * i;
        EXPECT_EQ(entry[0], expected[i].size % 256) << "image " << i;
        EXPECT_EQ(entry[1], expected[i].size % 256) << "image " << i;
        DWORD bytes, offset;
        std::memcpy(&bytes, entry + 8, 4);
        std::memcpy(&offset, entry + 12, 4);
        ASSERT_LE(offset + bytes, ico.size) << "image " << i;
        ASSERT_GE(bytes, 24u) << "image " << i;
        const BYTE* image = ico.data + offset;
        if (expected[i].png) {
            // 256 x 256 is stored as a PNG, as Windows reads it from Vista on.
            EXPECT_EQ(std::memcmp(image, "\x89PNG\r\n\x1a\n", 8), 0) << "image " << i;
            EXPECT_EQ(BigEndian32(image + 16), static_cast<std::uint32_t>(expected[i].size)) << "image " << i;
            continue;
        }
        BITMAPINFOHEADER header;
        std::memcpy(&header, image, sizeof header);
        EXPECT_EQ(header.biBitCount, expected[i].bits) << "image " << i;
        EXPECT_EQ(header.biWidth, expected[i].size) << "image " << i;
    }

    // The same file is the program icon.
    Blob group = Find(module(), MAKEINTRESOURCEW(14), 1);  // RT_GROUP_ICON
    ASSERT_GE(group.size, 6u);
    std::memcpy(&count, group.data + 4, 2);
    EXPECT_EQ(count, 9);
}

TEST_F(ExecutableResources, UpdaterIsEmbeddedByteForByte)
{
    Blob updater = Find(module(), L"UPDATE", 101);
    ASSERT_GT(updater.size, 1024u);
    std::ifstream in((driver::BuildDir() + L"\\updater\\Update.exe").c_str(), std::ios::binary);
    std::string built{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(built.size(), updater.size);
    EXPECT_EQ(std::memcmp(built.data(), updater.data, updater.size), 0);
}

TEST_F(ExecutableResources, VersionIsOneOneZeroZero)
{
    rt::VersionFields v = rt::App::Version(module());
    EXPECT_EQ(v.major, 1);
    EXPECT_EQ(v.minor, 1);
    EXPECT_EQ(v.build, 0);
    EXPECT_EQ(v.revision, 0);
}

TEST(UpdaterResources, ProgressAndCloseSkins)
{
    const std::wstring exe = driver::BuildDir() + L"\\updater\\Update.exe";
    rt::Module updater(::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(updater);
    struct {
        int id, width, height;
    } bitmaps[] = {{101, 10, 10}, {103, 129, 18}};
    for (auto b : bitmaps) {
        Blob dib = Find(updater.get(), MAKEINTRESOURCEW(2), b.id);
        ASSERT_GE(dib.size, sizeof(BITMAPINFOHEADER)) << "bitmap " << b.id;
        BITMAPINFOHEADER header;
        std::memcpy(&header, dib.data, sizeof header);
        EXPECT_EQ(header.biWidth, b.width);
        EXPECT_EQ(std::abs(header.biHeight), b.height);
    }
    // Progress: caps of 3, middle 2, empty track 2, each scaled on its own.
    ExpectScaledBitmaps(updater.get(), {{IDB_UPDATER_PROGRESS, 0, {{2, 3}, {2, 2}}, 10},
                                        {IDB_UPDATER_CLOSE, 0, {{3, 43}}, 18},
                                        {IDB_FRAME_SKIN, 0, {{1, 94}}, 85}});
    EXPECT_EQ(BitmapSize(updater.get(), 2101), std::make_pair(14L, 15L)) << "150 %: 4 + 3 + 4 + 3";
}

}  // namespace
