// The layered pictures: decoded as GDI+ premultiplies the PNG drawn for the scale, ahead by the
// start-up's prefetch for the screen's DPI (a painter waits for one still being decoded and
// decodes itself what the prefetch does not hold), and handed to the window without being kept.

#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "app/PngPrefetch.h"
#include "resources/ResourceIds.h"
#include "runtime/ArtScale.h"
#include "tests/driver/Driver.h"

namespace {

using corvane::DecodedPng;
using corvane::DecodePngAt;
using corvane::PngPrefetch;

// What GDI+ makes of PNG resource `id` as premultiplied pixels: what the window showed before
// the pictures were decoded straight into their bitmaps.
std::vector<std::uint32_t> GdiplusPremultiplied(int id)
{
    const auto image = corvane::LoadPngResource(id, L"PNG");
    if (!image || !*image) return {};
    auto* bitmap = reinterpret_cast<Gdiplus::GpBitmap*>(image->get());
    const int width = static_cast<int>(image->Width());
    const int height = static_cast<int>(image->Height());
    const Gdiplus::GpRect whole{0, 0, width, height};
    Gdiplus::BitmapData data{};
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &whole, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB,
                                                &data) != Gdiplus::Ok)
        return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(pixels.data() + static_cast<std::size_t>(width) * y,
                    static_cast<const std::byte*>(data.Scan0) + data.Stride * y, static_cast<std::size_t>(width) * 4);
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &data);
    return pixels;
}

bool SamePixels(const DecodedPng& picture, const std::vector<std::uint32_t>& expected)
{
    const auto pixels = picture.Pixels();
    return !expected.empty() && pixels.size() == expected.size() &&
           std::equal(pixels.begin(), pixels.end(), expected.begin());
}

// The prefetch below checks a picture shown 1:1 at 96 and 144 dpi; here an unknown DPI, another
// set, and scales between sets, shrunk from the next larger one or from the design without it.
TEST(PngPrefetch, DecodesThePictureDrawnForTheScaleAtTheWindowsSize)
{
    rt::GdiplusSession session;
    const struct {
        int id, dpi, width, height;
        int drawnFor;  // the resource shown 1:1, 0 when shrunk
    } cases[] = {{IDP_SPLASH, 0, 356, 122, IDP_SPLASH}, {IDP_LOGIN_BG, 192, 1776, 1036, ART_ID(IDP_LOGIN_BG, 4)},
                 {IDP_LOGIN_BG, 180, 1665, 971, 0},     {IDP_SPLASH, 108, 400, 137, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << " at " << c.dpi << " dpi");
        const DecodedPng picture = DecodePngAt(c.id, c.dpi);
        ASSERT_TRUE(picture);
        EXPECT_EQ(std::pair(picture.width, picture.height), std::pair(c.width, c.height));
        const auto pixels = picture.Pixels();
        if (c.drawnFor) {
            EXPECT_TRUE(SamePixels(picture, GdiplusPremultiplied(c.drawnFor)));
        } else {  // mostly opaque, as the picture is
            EXPECT_GT(std::count_if(pixels.begin(), pixels.end(), [](std::uint32_t p) { return p >> 24 == 0xFF; }),
                      c.width * c.height / 2);
        }
    }
    EXPECT_FALSE(DecodePngAt(999, 96)) << "no such resource";
}

TEST(PngPrefetch, HandsOverEachPictureOnceAsDecodingInPlaceWould)
{
    rt::GdiplusSession session;
    const std::vector<std::uint32_t> splash = GdiplusPremultiplied(ART_ID(IDP_SPLASH, 2));
    const std::vector<std::uint32_t> background = GdiplusPremultiplied(IDP_LOGIN_BG);
    ASSERT_EQ(splash.size(), 534u * 183u);
    ASSERT_EQ(background.size(), 888u * 518u);

    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        PngPrefetch prefetch({IDP_SPLASH, IDP_LOGIN_BG}, round == 2 ? 96 : 144);
        if (round == 2) {
            EXPECT_FALSE(PngPrefetch::Take(IDP_SPLASH, 144)) << "decoded for another DPI";
            std::optional<DecodedPng> second = PngPrefetch::Take(IDP_LOGIN_BG, 96);
            ASSERT_TRUE(second && *second);
            EXPECT_TRUE(SamePixels(*second, background));
            continue;
        }
        // Asked at once, before the worker can be through: the caller waits for it.
        std::optional<DecodedPng> first = PngPrefetch::Take(IDP_SPLASH, 144);
        ASSERT_TRUE(first && *first);
        EXPECT_EQ(first->width, 534);
        EXPECT_EQ(first->height, 183);
        EXPECT_TRUE(SamePixels(*first, splash));
        EXPECT_FALSE(PngPrefetch::Take(IDP_SPLASH, 144)) << "a picture goes to one painter";
        EXPECT_FALSE(PngPrefetch::Take(999, 144)) << "not among the prefetched";
        // In round 1 the background is left: it goes with the prefetch.
    }
    EXPECT_FALSE(PngPrefetch::Take(IDP_SPLASH, 144)) << "no prefetch lives";

    // A picture the worker cannot decode does not hold up its painter, nor the pictures after it.
    PngPrefetch broken({999, IDP_SPLASH}, 144);
    std::optional<DecodedPng> missing = PngPrefetch::Take(999, 144);
    EXPECT_FALSE(missing && *missing);
    std::optional<DecodedPng> after = PngPrefetch::Take(IDP_SPLASH, 144);
    ASSERT_TRUE(after);
    EXPECT_TRUE(SamePixels(*after, splash));
}

// Resident memory: what the pictures' pixels take once written, and give back once freed.
SIZE_T ResidentBytes()
{
    PROCESS_MEMORY_COUNTERS counters{sizeof counters};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

std::pair<long, long> WindowSize(HWND hwnd)
{
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return {r.right - r.left, r.bottom - r.top};
}

TEST(LayeredPngPainter, KeepsNoCopyOfThePictureAndPaintsItAgainAtAnotherDpi)
{
    const HWND window = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10,
                                          nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    corvane::LayeredPngPainter painter;
    // Once at the design size first, so that what GDI+ and the codecs load is not counted below.
    painter.Paint(window, IDP_LOGIN_BG, 96);
    ::ShowWindow(window, SW_SHOWNA);

    // From 100 % to 200 % the window's surface grows by three times the 100 % picture; a copy
    // of the picture kept at 200 % (a bitmap, a decoded image) would add four of them.
    const SIZE_T at96 = ResidentBytes();
    painter.Paint(window, IDP_LOGIN_BG, 192);
    EXPECT_LT(ResidentBytes(), at96 + 5 * 888u * 518u * 4u) << "more than the window's own surface is held";
    EXPECT_EQ(painter.Width(), 1776);
    EXPECT_EQ(WindowSize(window), std::pair(1776L, 1036L));

    // Back at 96 dpi, the picture decoded again shows pixel for pixel where it is opaque.
    painter.Paint(window, IDP_LOGIN_BG, 96);
    EXPECT_EQ(WindowSize(window), std::pair(888L, 518L));
    const std::vector<std::uint32_t> expected = [] {
        rt::GdiplusSession session;
        return GdiplusPremultiplied(IDP_LOGIN_BG);
    }();
    ASSERT_EQ(expected.size(), 888u * 518u);
    int opaque = 0, matching = 0;
    // The screen may show the surface a moment after the update.
    driver::PumpUntil(
        [&] {
            const driver::Capture shot = driver::Screenshot(window, L"layered-png-96");
            opaque = matching = 0;
            for (int y = 0; y < std::min(shot.height(), 518); ++y)
                for (int x = 0; x < std::min(shot.width(), 888); ++x)
                    if (const std::uint32_t p = expected[y * 888u + x]; p >> 24 == 0xFF)
                        ++opaque, matching += shot.Rgb(x, y) == (p & 0xFFFFFF);
            return opaque > 0 && matching == opaque;
        },
        5000);
    EXPECT_GT(opaque, 888 * 518 / 2);
    EXPECT_EQ(matching, opaque);
    painter.Release();
    EXPECT_EQ(painter.Width(), 0);
    ::DestroyWindow(window);
}

}  // namespace
