// Pixels of a painted strip in both styles, checked against what the skin bitmaps say should
// be there: background column, tab faces, close glyphs in their states, caption colour, weight
// and placement. Screenshots are left in out/.

#include <gtest/gtest.h>

#include <algorithm>

#include "tabstrip/TabPaintPlan.h"
#include "tests/driver/HighContrastScheme.h"
#include "tests/wine/tabstrip/StripHarness.h"

namespace {

using corvane::CloseGlyph;
using corvane::SkinFor;
using corvane::TabFace;
using harness::Journal;
using harness::StripHost;
using harness::TestPage;

// The skin as the test program carries it (the same bitmaps as Corvane.exe).
class SkinPixels {
public:
    explicit SkinPixels(int id)
        : m_bitmap(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP,
                                                     0, 0, LR_CREATEDIBSECTION))),
          m_dc(::CreateCompatibleDC(nullptr)),
          m_select(m_dc.get(), m_bitmap.get())
    {
    }
    COLORREF At(int x, int y) const { return ::GetPixel(m_dc.get(), x, y); }

private:
    rt::Bitmap m_bitmap;
    rt::MemoryDC m_dc;
    rt::SelectGuard m_select;
};

// The blank columns at each end of a text's advance box, in the stock GUI font that the strip's
// captions use. That font follows the code page the process started with: the CJK font under
// LANG=zh_CN.UTF-8 (as tools/test runs), a Latin one otherwise (as a run by hand may be), and
// their side bearings differ, so a check of centred ink allows for them.
struct InkBearings {
    int left = 0;
    int right = 0;
};

InkBearings CaptionInkBearings(const std::wstring& text)
{
    constexpr int kMargin = 10;
    constexpr int kWidth = 200;
    constexpr int kHeight = 30;
    rt::MemoryDC dc(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    rt::Bitmap canvas(rt::CreateDib32(dc.get(), kWidth, kHeight, &bits));
    rt::SelectGuard selectCanvas(dc.get(), canvas.get());
    rt::SelectGuard selectFont(dc.get(), ::GetStockObject(DEFAULT_GUI_FONT));
    RECT all{0, 0, kWidth, kHeight};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(dc.get(), TRANSPARENT);
    ::SetTextColor(dc.get(), 0x000000);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    ::TextOutW(dc.get(), kMargin, 5, text.c_str(), static_cast<int>(text.size()));
    const driver::Capture drawn = driver::CaptureDC(dc.get(), kWidth, kHeight);
    int first = -1, last = -1;
    for (int x = 0; x < kWidth; ++x)
        for (int y = 0; y < kHeight; ++y)
            if (!driver::ColorNear(drawn.At(x, y), 0xFFFFFF, 60)) {
                if (first < 0) first = x;
                last = x;
            }
    return {first - kMargin, kMargin + static_cast<int>(extent.cx) - 1 - last};
}

class StripPixels : public harness::HostedStrip {
protected:
    void TearDown() override
    {
        host->strip.TabItems().Clear();
        if (strip().TabStyle() != 0) {
            strip().SetTabStyle(0);
            strip().SetTabLeftSize(40);
            strip().SetTabRightSize(0);
            Resize();
        }
    }
    // Any size change makes the strip apply its style; it then takes its own height again.
    void Resize() { host->strip.Move(0, 0, StripHost::kWidth * 15.0, 450); }

    void AddTabs(const std::vector<std::wstring>& captions)
    {
        for (const std::wstring& c : captions) {
            auto page = std::make_shared<TestPage>(pageJournal, "p");
            page->Load();
            host->strip.TabItems().Add(c, page);
        }
    }
    HWND Strip() const { return host->strip.rt::Window::hWnd(); }
    driver::Capture Shot(const std::wstring& name)
    {
        driver::Pump(20);
        return driver::Screenshot(Strip(), name);
    }
    corvane::uTab& strip() { return host->strip; }

    // Every non-magenta pixel of a 12 x 12 glyph cell at (x, y) of the capture.
    static int GlyphMismatches(const driver::Capture& shot, int x, int y, const SkinPixels& skin, long style,
                               CloseGlyph glyph)
    {
        const corvane::PixelRect cell = SkinFor(style).Glyph(glyph);
        int bad = 0;
        for (int gy = 0; gy < 12; ++gy)
            for (int gx = 0; gx < 12; ++gx) {
                const COLORREF want = skin.At(cell.x + gx, cell.y + gy);
                if (want == corvane::kSkinTransparent) continue;
                if (!driver::ColorNear(shot.At(x + gx, y + gy), want, 2)) ++bad;
            }
        return bad;
    }
    // Rows 3..21 of a screen column against the middle column of a tab face.
    static int FaceMismatches(const driver::Capture& shot, int x, const SkinPixels& skin, long style, TabFace face)
    {
        const corvane::PixelRect cell = SkinFor(style).Face(face);
        int bad = 0;
        for (int y = 3; y <= 21; ++y)
            if (!driver::ColorNear(shot.At(x, y), skin.At(cell.x + cell.w / 2, y), 3)) ++bad;
        return bad;
    }
    // Columns of a box holding pixels far from the face colour behind them: the caption's ink.
    struct Ink {
        int first = -1, last = -1, count = 0;
    };
    static Ink InkIn(const driver::Capture& shot, const corvane::PixelRect& box, int offset, int referenceX)
    {
        Ink ink;
        for (int x = box.x + offset; x < box.x + offset + box.w; ++x)
            for (int y = 2; y < 23; ++y) {
                if (driver::ColorNear(shot.At(x, y), shot.At(referenceX, y), 60)) continue;
                ++ink.count;
                if (ink.first < 0) ink.first = x;
                ink.last = x;
            }
        return ink;
    }

    Journal pageJournal;
};

TEST_F(StripPixels, TrapezoidStyle)
{
    const SkinPixels skin(106);
    AddTabs({L"Tab", L"Tab", L"Tab", L"ABCDEFGHIJKLMNOPQRSTUVWXYZ"});
    strip().SetSelected(1);
    // 4 tabs over 560 pixels: 108 wide at 14, 122, 230, 338; tab area from x = 40.
    driver::Capture shot = Shot(L"tabstrip-style0");
    ASSERT_EQ(shot.height(), 25);

    for (int y = 0; y < 25; ++y) EXPECT_TRUE(driver::ColorNear(shot.At(5, y), skin.At(0, y), 2)) << y;
    EXPECT_EQ(FaceMismatches(shot, 40 + 14 + 80, skin, 0, TabFace::Normal), 0);
    EXPECT_EQ(FaceMismatches(shot, 40 + 122 + 80, skin, 0, TabFace::Selected), 0);
    EXPECT_EQ(GlyphMismatches(shot, 40 + 14 + 84, 6, skin, 0, CloseGlyph::Normal), 0);
    EXPECT_EQ(GlyphMismatches(shot, 40 + 122 + 84, 6, skin, 0, CloseGlyph::Selected), 0);

    // The selected caption is bold and coloured; the others black.
    const corvane::PixelRect normalBox{14, 0, 70, 25}, selectedBox{122, 0, 82, 25};
    const RECT normalRect{40 + 14, 5, 40 + 84, 20}, selectedRect{40 + 122, 5, 40 + 204, 20};
    EXPECT_GT(shot.CountNear(selectedRect, corvane::kSelectedCaptionColor, 20), 3);
    EXPECT_EQ(shot.CountNear(normalRect, corvane::kSelectedCaptionColor, 20), 0);
    EXPECT_GT(shot.CountNear(normalRect, 0x000000, 40), 3);
    const Ink normal = InkIn(shot, normalBox, 40, 40 + 14 + 80);
    const Ink bold = InkIn(shot, selectedBox, 40, 40 + 122 + 80);
    EXPECT_GT(bold.count, normal.count);
    // A short caption is centred in its box; a long one starts at the box's left and stays in it.
    const InkBearings bearings = CaptionInkBearings(L"Tab");
    EXPECT_NEAR(normal.first - (40 + 14) - bearings.left, (40 + 14 + 70 - 1) - normal.last - bearings.right, 1);
    const Ink longInk = InkIn(shot, corvane::PixelRect{338, 0, 70, 25}, 40, 40 + 338 + 80);
    EXPECT_LE(longInk.first, 40 + 338 + 2);
    EXPECT_LE(longInk.last, 40 + 338 + 70);
    EXPECT_GE(longInk.last, 40 + 338 + 60);  // the ellipsis reaches the end of the box

    // Close glyph states of an ordinary tab: mouse over, then pressed.
    harness::MoveTo(Strip(), 40 + 230 + 90, 12);
    ASSERT_TRUE(driver::PumpUntil([&] {
        return GlyphMismatches(driver::CaptureScreen([&] { RECT r; ::GetWindowRect(Strip(), &r); return r; }()),
                               40 + 230 + 84, 6, skin, 0, CloseGlyph::Hover) == 0;
    }, 2000));
    EXPECT_EQ(FaceMismatches(Shot(L"tabstrip-style0-hover"), 40 + 230 + 80, skin, 0, TabFace::Hover), 0);
    ::SendMessageW(Strip(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40 + 230 + 90, 12));
    shot = Shot(L"tabstrip-style0-pressed");
    EXPECT_EQ(GlyphMismatches(shot, 40 + 230 + 84, 6, skin, 0, CloseGlyph::Pressed), 0);
    ::SendMessageW(Strip(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));  // released off the button
    EXPECT_EQ(strip().TabItems().Count(), 4);
    harness::MoveTo(host->hWnd(), 300, 200);
    driver::Pump(50);
}

TEST_F(StripPixels, RoundedStyleAsTheMainWindowHasIt)
{
    const SkinPixels skin(107);
    strip().SetTabStyle(1);
    strip().SetTabLeftSize(10);
    strip().SetTabRightSize(-136);
    Resize();  // the style shows after a resize
    AddTabs({L"页面一", L"页面二", L"页面三", L"页面四"});
    strip().SetSelected(2);
    // A = 726; (726 - 20) / 4 = 176.5 -> 176; Left 0, 181, 362, 543.
    EXPECT_EQ(strip().TabItems().Item(3)->Left(), 543);
    driver::Capture shot = Shot(L"tabstrip-style1");
    ASSERT_EQ(shot.height(), 32);
    EXPECT_TRUE(driver::ColorNear(shot.At(5, 0), skin.At(0, 0), 2));
    EXPECT_TRUE(driver::ColorNear(shot.At(5, 31), skin.At(0, 27), 2));
    EXPECT_TRUE(driver::ColorNear(shot.At(10 + 100, 30), skin.At(0, 27), 6));  // below the tabs
    EXPECT_EQ(FaceMismatches(shot, 10 + 20, skin, 1, TabFace::Normal), 0);
    EXPECT_EQ(FaceMismatches(shot, 10 + 362 + 20, skin, 1, TabFace::Selected), 0);
    EXPECT_EQ(GlyphMismatches(shot, 10 + 176 - 20, 7, skin, 1, CloseGlyph::Normal), 0);
    EXPECT_EQ(GlyphMismatches(shot, 10 + 362 + 176 - 20, 7, skin, 1, CloseGlyph::Selected), 0);
    const RECT selectedRect{10 + 362 + 12, 5, 10 + 362 + 12 + 148, 21};
    EXPECT_GT(shot.CountNear(selectedRect, corvane::kSelectedCaptionColor, 20), 3);
}

// With High Contrast on (decided by the test: Wine keeps no such setting) the captions take
// the scheme's colours, each on the backdrop of its pair; a change of the scheme reaches the
// strip through its top-level window and repaints it, and so does the way back.
TEST_F(StripPixels, HighContrastDrawsCaptionsInTheSchemesColours)
{
    AddTabs({L"Tab", L"Tab", L"Tab", L"Tab"});
    strip().SetSelected(1);
    const RECT normalRect{40 + 14, 5, 40 + 84, 20}, selectedRect{40 + 122, 5, 40 + 204, 20};
    const COLORREF face = 0x00800000, text = 0x0000FFFF, highlight = 0x0000C000, highlightText = 0x00FFFFFF;
    ASSERT_GT(Shot(L"tabstrip-contrast-off").CountNear(selectedRect, corvane::kSelectedCaptionColor, 20), 3);
    {
        driver::HighContrastScheme scheme{
            {COLOR_BTNFACE, face}, {COLOR_BTNTEXT, text}, {COLOR_HIGHLIGHT, highlight}, {COLOR_HIGHLIGHTTEXT, highlightText}};
        ASSERT_TRUE(scheme);
        ASSERT_TRUE(driver::PumpUntil([&] {
            return driver::Screenshot(Strip(), L"tabstrip-contrast-on").CountNear(selectedRect, highlight, 10) > 40;
        }, 3000));
        const driver::Capture shot = Shot(L"tabstrip-contrast-on");
        EXPECT_GT(shot.CountNear(normalRect, face, 10), 40);  // the pair's backdrop behind the text
        EXPECT_GT(shot.CountNear(normalRect, text, 40), 3);
        EXPECT_GT(shot.CountNear(selectedRect, highlightText, 40), 3);
        EXPECT_EQ(shot.CountNear(selectedRect, corvane::kSelectedCaptionColor, 20), 0);
        EXPECT_EQ(shot.CountNear(normalRect, 0x000000, 40), 0);
    }

    ASSERT_TRUE(driver::PumpUntil([&] {
        return Shot(L"tabstrip-contrast-off").CountNear(selectedRect, corvane::kSelectedCaptionColor, 20) > 3;
    }, 3000));
    EXPECT_EQ(Shot(L"tabstrip-contrast-off").CountNear(normalRect, face, 10), 0);
}

TEST_F(StripPixels, HostCanPaintTheBackgroundItself)
{
    strip().OnDrawBackground = [](HDC& dc, long& cx, long& cy, bool& skip) {
        rt::Brush brush(::CreateSolidBrush(0x00336699));
        RECT r{0, 0, cx, cy};
        ::FillRect(dc, &r, brush.get());
        skip = true;
    };
    strip().refresh();
    driver::Capture shot = Shot(L"tabstrip-own-background");
    strip().OnDrawBackground = nullptr;
    strip().refresh();
    EXPECT_TRUE(driver::ColorNear(shot.At(5, 5), 0x00336699, 2));
    EXPECT_TRUE(driver::ColorNear(shot.At(500, 20), 0x00336699, 2));
}

TEST_F(StripPixels, TabsSqueezedBelowNoWidthAreSimplyNotDrawn)
{
    // Six tabs of full width leave the first a negative share of the strip: 560 - 6 x 108 - 14.
    AddTabs({L"A", L"B", L"C", L"D", L"E", L"F", L"G"});
    for (long i = 1; i < 7; ++i) strip().TabItems().Item(i)->SetLockSize(true);
    strip().LockReDraw(false);  // lays the tabs out again
    ASSERT_EQ(strip().TabItems().Item(0)->Width(), -102);
    ASSERT_EQ(strip().TabItems().Item(3)->Left(), 128);
    ASSERT_EQ(strip().TabItems().Item(4)->Left(), 236);
    const SkinPixels skin(106);

    // The squeezed tab is the selected one, and hovered: drawn, it would show the selected face
    // and its caption in the selected colour somewhere.
    strip().SetSelected(0);
    ::SendMessageW(Strip(), WM_MOUSEMOVE, 0, MAKELPARAM(45, 12));
    driver::Capture shot = Shot(L"tabstrip-squeezed");
    int selectedColumns = 0;
    for (int x = 40; x < StripHost::kWidth; ++x) selectedColumns += FaceMismatches(shot, x, skin, 0, TabFace::Selected) == 0;
    EXPECT_EQ(selectedColumns, 0);
    // Where its caption would start: a selected caption leaves more than a few pixels of its
    // colour (a tab's edge may hold one or two).
    EXPECT_LE(shot.CountNear(RECT{40 + 14, 5, 40 + 14 + 60, 20}, corvane::kSelectedCaptionColor, 20), 3);
    for (long i = 2; i < 7; ++i)
        EXPECT_EQ(FaceMismatches(shot, 40 + 20 + 108 * (i - 2) + 80, skin, 0, TabFace::Normal), 0) << i;

    // Hit tests over the squeezed strip still find the full tabs.
    const long frames = strip().FramesDrawn();
    ::SendMessageW(Strip(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40 + 236 + 30, 12));
    ::SendMessageW(Strip(), WM_LBUTTONUP, 0, MAKELPARAM(40 + 236 + 30, 12));
    EXPECT_GT(strip().FramesDrawn(), frames);
    ASSERT_EQ(strip().Selected(), 4);
    shot = Shot(L"tabstrip-squeezed-selected");
    EXPECT_EQ(FaceMismatches(shot, 40 + 236 + 80, skin, 0, TabFace::Selected), 0);
    EXPECT_EQ(FaceMismatches(shot, 40 + 128 + 80, skin, 0, TabFace::Normal), 0);
    harness::MoveTo(host->hWnd(), 300, 200);
    driver::Pump(50);
}

TEST_F(StripPixels, ManyTabsShowTheSelectedWholeBesideTheChevronAndCutLongCaptions)
{
    const SkinPixels skin(107);
    strip().SetTabStyle(1);
    strip().SetTabLeftSize(10);
    strip().SetTabRightSize(-136);
    Resize();
    std::vector<std::wstring> captions;
    for (int i = 0; i < 9; ++i) captions.push_back(L"帐号甲乙丙丁戊己庚辛壬癸" + std::to_wstring(i));
    AddTabs(captions);
    // A = 726; (726 - 45) / 9 = 75.7 -> 76; Left 81 i. The 9th ends at 724, beyond the visible
    // 590; the chevron takes 558..590 and the picture moves 724 - 558 = 166 left.
    ASSERT_EQ(strip().TabItems().Item(8)->Left(), 648);
    ASSERT_EQ(strip().TabItems().Item(8)->Width(), 76);
    strip().SetSelected(8);
    const corvane::TabOverflow o = strip().Overflow();
    ASSERT_TRUE(o.chevron);
    ASSERT_EQ(o.chevronLeft, 558);
    ASSERT_EQ(o.shift, 166);
    driver::Capture shot = Shot(L"tabstrip-many-tabs");
    const corvane::PixelRect normal = SkinFor(1).Face(TabFace::Normal);
    const auto isInk = [&](int x, int y) {
        return !driver::ColorNear(shot.At(x, y), skin.At(normal.x + normal.w / 2, y), 40);
    };
    // Column 55 of a tab lies between its cut caption and its close mark (at 56).
    const int selectedLeft = 10 + 648 - 166;
    EXPECT_EQ(FaceMismatches(shot, selectedLeft + 55, skin, 1, TabFace::Selected), 0);
    EXPECT_EQ(GlyphMismatches(shot, selectedLeft + 56, 7, skin, 1, CloseGlyph::Selected), 0);
    EXPECT_EQ(FaceMismatches(shot, 10 + 567 - 166 + 55, skin, 1, TabFace::Normal), 0) << "its left neighbour";
    // The chevron: a normal face with its glyph, nothing of the cut-off tabs.
    int chevronInk = 0;
    for (int x = 10 + 558 + 8; x < 10 + 590 - 8; ++x)
        for (int y = 4; y < 22; ++y) chevronInk += isInk(x, y);
    EXPECT_GT(chevronInk, 4);
    EXPECT_EQ(shot.CountNear(RECT{10 + 558, 4, 10 + 590, 22}, corvane::kSelectedCaptionColor, 20), 0);

    // The first tab selected: the usual picture, with the chevron. The second tab's caption is
    // cut before its close mark, and nothing of it shows under the mark.
    strip().SetSelected(0);
    EXPECT_EQ(strip().Overflow().shift, 0);
    shot = Shot(L"tabstrip-many-tabs-first");
    const int tab1 = 10 + 81;
    const corvane::PixelRect cell = SkinFor(1).Glyph(CloseGlyph::Normal);
    int under = 0;
    for (int gy = 0; gy < 12; ++gy)
        for (int gx = 0; gx < 12; ++gx)
            under += skin.At(cell.x + gx, cell.y + gy) == corvane::kSkinTransparent && isInk(tab1 + 56 + gx, 7 + gy);
    EXPECT_EQ(under, 0) << "caption ink under the close mark";
    int inkCount = 0, lastInk = -1;
    for (int x = tab1 + 12; x < tab1 + 56; ++x)
        for (int y = 3; y <= 21; ++y)
            if (isInk(x, y)) {
                ++inkCount;
                lastInk = x;
            }
    EXPECT_GT(inkCount, 30);
    EXPECT_LE(lastInk, tab1 + 56 - 2) << "the caption ends before the mark";
    EXPECT_GE(lastInk, tab1 + 56 - 16) << "and uses the room up to it";

    // The close mark of the shifted selected tab closes it.
    strip().SetSelected(8);
    const int glyphX = selectedLeft + 56 + 6;
    ::SendMessageW(Strip(), WM_MOUSEMOVE, 0, MAKELPARAM(glyphX, 12));
    ::SendMessageW(Strip(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(glyphX, 12));
    ::SendMessageW(Strip(), WM_LBUTTONUP, 0, MAKELPARAM(glyphX, 12));
    EXPECT_EQ(strip().TabItems().Count(), 8);
    harness::MoveTo(host->hWnd(), 300, 200);
    driver::Pump(50);
}

}  // namespace
