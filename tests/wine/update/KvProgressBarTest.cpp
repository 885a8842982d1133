// KvProgressBar in a real window: its persisted properties and what a repaint puts into pixels,
// with the skin of the built Update.exe.

#include <gtest/gtest.h>

#include "runtime/Form.h"
#include "runtime/Handles.h"
#include "tests/driver/Driver.h"
#include "tests/driver/HighContrastScheme.h"
#include "tests/driver/PlainForm.h"
#include "updater/KvProgressBar.h"

namespace {

using corvane::KvProgressBar;

class ProgressBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        module = ::LoadLibraryExW((driver::BuildDir() + L"\\updater\\Update.exe").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        host.Show();
        bar = std::make_unique<KvProgressBar>(module);
        ASSERT_TRUE(bar->Create(host.hWnd(), 240, 240, 4095, 150));
    }
    void TearDown() override
    {
        bar.reset();
        host.Unload();
        ::FreeLibrary(module);
    }

    // The bar painted into a bitmap `height` pixels high, 0x00RRGGBB per pixel.
    driver::Capture Painted(int width, int height)
    {
        rt::ClientDC screen(nullptr);
        rt::OffscreenSurface surface(screen.get(), width, height);
        bar->PaintBar(surface.dc(), width);
        return driver::CaptureDC(surface.dc(), width, height);
    }
    // Row 5 of the bar painted at 96 dpi.
    std::vector<std::uint32_t> Row5(int width = 273)
    {
        driver::Capture c = Painted(width, 10);
        return std::vector<std::uint32_t>(c.pixels().begin() + 5 * width, c.pixels().begin() + 6 * width);
    }

    HMODULE module = nullptr;
    driver::PlainForm host{[] {
        rt::FormDesign d = driver::HostDesign(L"KvProgressBarHost", 4575, 600);
        d.backColor = 0xFFFFFF;
        return d;
    }()};
    std::unique_ptr<KvProgressBar> bar;
};

TEST_F(ProgressBarTest, PaintsFillAndEmptyPartsFromTheSkin)
{
    EXPECT_EQ(bar->PixelSize().cx, 273);
    EXPECT_EQ(bar->PixelSize().cy, 10);
    auto atMin = Row5();
    const std::uint32_t edge = atMin[0], empty = atMin[1];
    EXPECT_NE(edge, empty);
    // At Min the empty look covers columns 1 to 271; the last column is the end cap.
    for (int x = 1; x <= 271; ++x) EXPECT_EQ(atMin[x], empty) << x;
    EXPECT_EQ(atMin[272], edge);

    bar->SetValue(100);
    auto atMax = Row5();
    const std::uint32_t filled = atMax[1];
    EXPECT_NE(filled, empty);
    for (int x = 1; x <= 271; ++x) EXPECT_EQ(atMax[x], filled) << x;
    EXPECT_EQ(atMax[272], edge);

    // A smaller file: Max 40 drags Value to 40, still full; 10 of 40 fills to column 69.
    bar->SetMax(40);
    EXPECT_EQ(bar->Value(), 40);
    bar->SetValue(10);
    auto quarter = Row5();
    EXPECT_EQ(quarter[68], filled);
    EXPECT_EQ(quarter[69], empty);
}

// Moved to a monitor of 144 dpi, the bar is 1.5 times as high and every row of it comes from the
// skin drawn for 150 %, the bottom rows too.
TEST_F(ProgressBarTest, TakesTheSkinOfTheNewDpiWhenItsWindowMoves)
{
    RECT offered{};
    ::GetWindowRect(host.hWnd(), &offered);
    offered.right = offered.left + (offered.right - offered.left) * 3 / 2;
    offered.bottom = offered.top + (offered.bottom - offered.top) * 3 / 2;
    ::SendMessageW(host.hWnd(), rt::kWmDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&offered));
    const SIZE size = bar->PixelSize();
    EXPECT_EQ(size.cy, 15);
    bar->SetValue(100);
    const driver::Capture bar144 = Painted(size.cx, size.cy);

    const rt::PictureRef skin = rt::LoadResPictureFor(KvProgressBar::kSkinId, 144, module, 0xFF00FF,
                                                       corvane::kProgressSkinPieces);
    ASSERT_TRUE(skin);
    rt::ClientDC screen(nullptr);
    rt::MemoryDC skinDC(::CreateCompatibleDC(screen.get()));
    rt::SelectGuard select(skinDC.get(), skin->handle());
    const driver::Capture drawn = driver::CaptureDC(skinDC.get(), skin->WidthPixels(), 15);
    const corvane::ProgressSkin pieces = corvane::ProgressSkinAt(144);
    for (int y = 0; y < 15; ++y) {
        EXPECT_EQ(bar144.Rgb(0, y), drawn.Rgb(0, y)) << "left cap, row " << y;
        // The filled middle is stretched from its columns of the skin: it shows one of them.
        bool fromMiddle = false;
        for (int x = pieces.cap; x < pieces.cap + pieces.middle; ++x) fromMiddle |= bar144.Rgb(size.cx / 2, y) == drawn.Rgb(x, y);
        EXPECT_TRUE(fromMiddle) << "filled middle, row " << y;
    }
}

// In High Contrast the bar is the scheme's highlight up to the value and its window colour
// after it, repainted when the scheme changes, and the skin again afterwards.
TEST_F(ProgressBarTest, HighContrastFillsWithTheSchemesColours)
{
    bar->SetValue(25);  // of 100: 68 of 273 columns
    const RECT done{2, 2, 60, 8}, rest{80, 2, 260, 8};
    const COLORREF highlight = 0x0000C000, window = 0x00800000;
    {
        driver::HighContrastScheme scheme{{COLOR_HIGHLIGHT, highlight}, {COLOR_WINDOW, window}};
        ASSERT_TRUE(scheme);
        ASSERT_TRUE(driver::PumpUntil([&] {
            return driver::Screenshot(bar->hWnd(), L"progress-contrast-on").CountNear(done, highlight) == 58 * 6;
        }, 3000));
        EXPECT_EQ(driver::Screenshot(bar->hWnd(), L"progress-contrast-on").CountNear(rest, window), 180 * 6);
    }
    ASSERT_TRUE(driver::PumpUntil([&] {
        return driver::Screenshot(bar->hWnd(), L"progress-contrast-off").CountNear(done, highlight) == 0;
    }, 3000));
    EXPECT_EQ(driver::Screenshot(bar->hWnd(), L"progress-contrast-off").CountNear(rest, window), 0);
}

TEST_F(ProgressBarTest, PersistedUnderTheirOwnNames)
{
    // Refused values change nothing but count as changed.
    bar->SetValue(500);
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_EQ(bar->ChangedProperties(), std::vector<std::wstring>{L"Value"});

    rt::PropertyBag defaults;
    bar->WriteProperties(defaults);
    EXPECT_EQ(defaults.Size(), 0u);
    EXPECT_EQ(defaults.WriteOrder(), (std::vector<std::wstring>{L"Min", L"Max", L"Value"}));

    bar->SetMax(300);
    bar->SetMin(150);
    bar->SetValue(200);
    rt::PropertyBag bag;
    bar->WriteProperties(bag);
    EXPECT_EQ(bag.Size(), 3u);

    KvProgressBar other(module);
    other.ReadProperties(bag);
    EXPECT_EQ(bag.ReadOrder(), (std::vector<std::wstring>{L"Min", L"Max", L"Value"}));
    EXPECT_EQ(other.Min(), 150);
    EXPECT_EQ(other.Max(), 300);
    EXPECT_EQ(other.Value(), 200);
}

}  // namespace
