// Every resource of the built executables, read back from the files: ids, types, languages,
// sizes and formats.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "runtime/App.h"
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

TEST_F(ExecutableResources, IconFileHoldsFiveImagesInOrder)
{
    Blob ico = Find(module(), L"ICON", 101);
    ASSERT_GE(ico.size, 6u + 5 * 16);
    WORD reserved, type, count;
    std::memcpy(&reserved, ico.data, 2);
    std::memcpy(&type, ico.data + 2, 2);
    std::memcpy(&count, ico.data + 4, 2);
    EXPECT_EQ(reserved, 0);
    EXPECT_EQ(type, 1);
    ASSERT_EQ(count, 5);
    struct {
        int size, bits;
    } expected[] = {{16, 8}, {48, 32}, {32, 32}, {24, 32}, {16, 32}};
    for (int i = 0; i < 5; ++i) {
        const BYTE* entry = ico.data + 6 + 16 * i;
        EXPECT_EQ(entry[0], expected[i].size) << "image " << i;
        EXPECT_EQ(entry[1], expected[i].size) << "image " << i;
        DWORD bytes, offset;
        std::memcpy(&bytes, entry + 8, 4);
        std::memcpy(&offset, entry + 12, 4);
        ASSERT_LE(offset + bytes, ico.size) << "image " << i;
        BITMAPINFOHEADER header;
        std::memcpy(&header, ico.data + offset, sizeof header);
        EXPECT_EQ(header.biBitCount, expected[i].bits) << "image " << i;
    }

    // The same file is the program icon.
    Blob group = Find(module(), MAKEINTRESOURCEW(14), 1);  // RT_GROUP_ICON
    ASSERT_GE(group.size, 6u);
    std::memcpy(&count, group.data + 4, 2);
    EXPECT_EQ(count, 5);
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
}

}  // namespace
