// What a page may cost: image sizes read from headers, the decoding budget, and the image
// fetches a few at a time per host.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "browser/html/PageLimits.h"

namespace {

using namespace browser;

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

std::string Png(std::uint32_t w, std::uint32_t h)
{
    return std::string("\x89PNG\r\n\x1a\n", 8) + Bytes({0, 0, 0, 13}) + "IHDR" +
           Bytes({int(w >> 24), int(w >> 16 & 255), int(w >> 8 & 255), int(w & 255), int(h >> 24), int(h >> 16 & 255),
                  int(h >> 8 & 255), int(h & 255), 8, 6, 0, 0, 0});
}

std::string Bmp(int w, int h)
{
    std::string s = "BM" + std::string(12, '\0') + Bytes({40, 0, 0, 0});
    for (int v : {w, h})
        for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 255));
    return s + std::string(16, '\0');
}

// A GIF: its logical screen, then blocks; each frame is {left, top, width, height, local colours}.
struct GifFrame {
    int left, top, width, height;
    bool colours = false;
};

std::string Gif(int width, int height, std::initializer_list<GifFrame> frames, std::string tail = ";")
{
    const auto word = [](int v) { return Bytes({v & 255, v >> 8 & 255}); };
    // A global table of two colours, and a comment extension of two sub-blocks before the frames.
    std::string s = "GIF89a" + word(width) + word(height) + Bytes({0x80, 0, 0}) + std::string(6, '\x10') +
                    Bytes({0x21, 0xFE, 3, ',', ',', ',', 1, 0x2C, 0});
    for (const GifFrame& f : frames) {
        s += "," + word(f.left) + word(f.top) + word(f.width) + word(f.height) + Bytes({f.colours ? 0x81 : 0});
        if (f.colours) s += std::string(12, '\x2C');
        // The code size, then a sub-block of data that holds the trailer's byte.
        s += Bytes({2, 2, 0x3B, 0x21, 0});
    }
    return s + tail;
}

TEST(PageLimits, ImageSizesFromTheirHeaders)
{
    // A JPEG with an APP0 segment before its baseline frame (height 0x0102, width 0x0304).
    const std::string jpeg = Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 'J', 'F', 0xFF, 0xFF, 0xC0, 0, 11, 8, 1, 2, 3, 4, 3});
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<std::pair<std::uint32_t, std::uint32_t>> size;
    } cases[] = {
        {"png", Png(96, 32), std::pair{96u, 32u}},
        {"huge png", Png(60000, 60000), std::pair{60000u, 60000u}},
        {"png of no pixels", Png(0, 32), std::nullopt},
        {"cut png", Png(96, 32).substr(0, 20), std::nullopt},
        {"gif", "GIF89a" + Bytes({0x10, 0x01, 0x20, 0x00}), std::pair{0x110u, 0x20u}},
        {"jpeg", jpeg, std::pair{0x304u, 0x102u}},
        {"jpeg cut in its frame", jpeg.substr(0, 15), std::nullopt},
        {"jpeg with a zero length", Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0xFF, 0xC0}), std::nullopt},
        {"gif: no frame", Gif(40, 30, {}), std::pair{40u, 30u}},
        {"gif: frames within the screen", Gif(40, 30, {{0, 0, 40, 30}, {10, 10, 5, 5, true}}), std::pair{40u, 30u}},
        {"gif: a huge frame on a screen of one pixel", Gif(1, 1, {{0, 0, 8000, 8000}}), std::pair{8000u, 8000u}},
        {"gif: the huge frame second, after local colours", Gif(1, 1, {{0, 0, 1, 1, true}, {0, 0, 8000, 8000}}),
         std::pair{8000u, 8000u}},
        {"gif: a frame beyond the screen's edge", Gif(100, 100, {{65535, 90, 1, 20}}), std::pair{65536u, 110u}},
        {"gif: a wide frame and a tall one", Gif(1, 1, {{0, 0, 9000, 2}, {0, 0, 3, 7000}}), std::pair{9000u, 7000u}},
        {"gif: cut before the last frame's data", Gif(1, 1, {{0, 0, 2, 2}, {0, 0, 8000, 8000}}, "").substr(0, 53),
         std::pair{8000u, 8000u}},
        {"gif: cut in the last frame's descriptor", Gif(1, 1, {{0, 0, 2, 2}, {0, 0, 8000, 8000}}, "").substr(0, 50),
         std::pair{2u, 2u}},
        {"gif: nothing after the trailer counts", Gif(1, 1, {{0, 0, 2, 2}}, ";" + Gif(1, 1, {{0, 0, 8000, 8000}})),
         std::pair{2u, 2u}},
        {"gif: a block of no known kind", Gif(1, 1, {{0, 0, 2, 2}}, Bytes({0x21, 1, 0, 7})), std::nullopt},
        {"gif: no pixels", Gif(0, 0, {{0, 0, 0, 5}}), std::nullopt},
        {"bmp", Bmp(640, 480), std::pair{640u, 480u}},
        {"top-down bmp", Bmp(640, -480), std::pair{640u, 480u}},
        {"bmp of negative width", Bmp(-5, 480), std::nullopt},
        {"html", "<html><body>not found</body></html>", std::nullopt},
        {"nothing", "", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto size = SniffImageSize(c.bytes);
        ASSERT_EQ(size.has_value(), c.size.has_value()) << c.name;
        if (size) {
            EXPECT_EQ(size->width, c.size->first) << c.name;
            EXPECT_EQ(size->height, c.size->second) << c.name;
        }
    }
}

TEST(PageLimits, BudgetTakesWhatFitsAndGetsItBack)
{
    EXPECT_EQ(DecodedImageCost(1000, {96, 32}), 1000u + 96 * 32 * 4);
    // However large a header says a picture is, its cost never wraps to something that fits.
    for (const std::string& huge : {Png(0x80000000u, 0x80000000u), Png(0xFFFFFFFFu, 0xFFFFFFFFu),
                                    Gif(65535, 65535, {{65535, 65535, 65535, 65535}}), Bmp(0x7FFFFFFF, -0x7FFFFFFF),
                                    Bytes({0xFF, 0xD8, 0xFF, 0xC2, 0, 11, 8, 0xFF, 0xFF, 0xFF, 0xFF, 3})}) {
        ASSERT_TRUE(SniffImageSize(huge)) << huge.substr(0, 4);
        EXPECT_FALSE(ImageBudget(kProcessImageBudget).Take(DecodedImageCost(huge.size(), *SniffImageSize(huge))))
            << huge.substr(0, 4);
    }
    EXPECT_GE(DecodedImageCost(SIZE_MAX, {1, 1}), std::uint64_t{SIZE_MAX});
    EXPECT_EQ(DecodedImageCost(SIZE_MAX, {0xFFFFFFFF, 0xFFFFFFFF}), UINT64_MAX);
    ImageBudget budget(100);
    EXPECT_TRUE(budget.Take(60));
    EXPECT_FALSE(budget.Take(41));
    EXPECT_EQ(budget.Used(), 60u);
    EXPECT_TRUE(budget.Take(40));
    EXPECT_FALSE(budget.Take(1));
    budget.Give(70);
    EXPECT_TRUE(budget.Take(70));
    budget.Give(1000);
    EXPECT_EQ(budget.Used(), 0u);
    EXPECT_FALSE(budget.Take(DecodedImageCost(0, {60000, 60000})));
}

TEST(PageLimits, WorkersHeldPastTheirTimeLimitStopCounting)
{
    FetchWorkerCount count(2, 1);
    EXPECT_FALSE(count.StartFor(1, 1)) << "an idle worker takes it";
    EXPECT_TRUE(count.StartFor(1, 0));
    EXPECT_TRUE(count.StartFor(2, 0));
    EXPECT_FALSE(count.StartFor(3, 0)) << "every place taken";
    EXPECT_TRUE(count.Hold());
    EXPECT_TRUE(count.StartFor(1, 0)) << "the held worker's place";
    EXPECT_FALSE(count.Hold()) << "only one may be held";
    EXPECT_FALSE(count.StartFor(1, 0));
    EXPECT_FALSE(count.Free()) << "no place to come back to: it ends";
    EXPECT_TRUE(count.Hold());
    count.Ended();
    EXPECT_TRUE(count.Free());
    EXPECT_EQ(count.Counted(), 1u);
}

TEST(PageLimits, HostKeys)
{
    struct Case {
        const char* url;
        const char* key;
    } cases[] = {
        {"http://127.0.0.1:8778/static/a.png", "127.0.0.1:8778"},
        {"HTTP://Img.Example/a.png?x", "img.example"},
        {"https://img.example", "img.example"},
        {"http://img.example?x=/", "img.example"},
        {"/static/a.png", ""},
        {"data:image/png;base64,xx", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(HostKey(c.url), c.key) << c.url;
}

TEST(PageLimits, ImageFetchesRunAFewPerHostInTheirOrder)
{
    ImageFetchQueue queue(2);
    for (const char* host : {"a", "a", "b", "a", "a", "b"}) queue.Add(host);
    EXPECT_EQ(queue.StartNow(), (std::vector<std::size_t>{0, 1, 2, 5}));
    EXPECT_TRUE(queue.StartNow().empty()) << "host a is busy with two";
    queue.Finish(1);
    queue.Finish(1);  // twice changes nothing
    queue.Finish(99);
    EXPECT_EQ(queue.StartNow(), (std::vector<std::size_t>{3}));
    for (std::size_t i : {0, 2, 3, 5}) queue.Finish(i);
    EXPECT_FALSE(queue.Done());
    EXPECT_EQ(queue.StartNow(), (std::vector<std::size_t>{4}));
    queue.Finish(4);
    EXPECT_TRUE(queue.Done());

    // Many hosts: still only so many at once for the page.
    ImageFetchQueue spread(4, 3);
    for (const char* host : {"a", "b", "c", "d", "e"}) spread.Add(host);
    EXPECT_EQ(spread.StartNow(), (std::vector<std::size_t>{0, 1, 2}));
    spread.Finish(1);
    EXPECT_EQ(spread.StartNow(), (std::vector<std::size_t>{3}));

    ImageFetchQueue givenUp;
    for (int i = 0; i < 10; ++i) givenUp.Add("slow");
    EXPECT_EQ(givenUp.StartNow().size(), kImagesPerHost);
    givenUp.Clear();
    EXPECT_TRUE(givenUp.Done());
    EXPECT_TRUE(givenUp.StartNow().empty());
}

}  // namespace
