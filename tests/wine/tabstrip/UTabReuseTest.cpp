// The strip reuses what it drew of each tab in earlier frames. These cases hold it to the
// pixels of drawing every tab afresh, the way each frame was built before: a reference frame
// drawn here with the same skins, fonts and routines is compared with the screen, pixel for
// pixel, in both styles, with few and many tabs, long and short captions, hidden close buttons,
// the selected tab and the close glyph's states.

#include <gtest/gtest.h>

#include "tabstrip/TabError.h"
#include "tabstrip/TabLayout.h"
#include "tabstrip/TabPaintPlan.h"
#include "tabstrip/TabSpritePaint.h"
#include "tests/wine/tabstrip/StripHarness.h"

namespace {

using harness::Journal;
using harness::StripHost;
using harness::TestPage;
namespace api = corvane::mdlTabAPI;

rt::Font GuiFont(LONG weight)
{
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfWeight = weight;
    return rt::Font(::CreateFontIndirectW(&lf));
}

api::MemoryDC Skin(long style)
{
    return api::CreateBitmapDC(rt::Bitmap(static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(corvane::SkinFor(style).bitmapId), IMAGE_BITMAP, 0,
                     0, LR_CREATEDIBSECTION))));
}

class StripReuse : public harness::HostedStrip {
protected:
    void TearDown() override
    {
        strip().TabItems().Clear();
        strip().SetTabStyle(0);
        strip().SetTabLeftSize(40);
        strip().SetTabRightSize(0);
        Resize();
        harness::MoveTo(host->hWnd(), 300, 200);
        driver::Pump(50);
    }
    corvane::uTab& strip() { return host->strip; }
    HWND Strip() { return strip().rt::Window::hWnd(); }
    void Resize() { strip().Move(0, 0, StripHost::kWidth * 15.0, 450); }

    void MakeStrip(long style, long left, long right, const std::vector<std::wstring>& captions)
    {
        strip().SetTabStyle(style);
        strip().SetTabLeftSize(left);
        strip().SetTabRightSize(right);
        Resize();
        for (const std::wstring& c : captions) {
            auto page = std::make_shared<TestPage>(journal, "p");
            page->Load();
            strip().TabItems().Add(c, page);
        }
    }

    corvane::StripGeometry Geometry()
    {
        RECT r{};
        ::GetClientRect(Strip(), &r);
        return {strip().TabStyle(), r.right, strip().TabLeftSize(), strip().TabRightSize()};
    }

    // The frame as drawn with every tab painted straight onto a compatible tab-area bitmap.
    driver::Capture Reference(long hover, int closeState)
    {
        const corvane::StripGeometry g = Geometry();
        const long height = g.Height();
        const api::MemoryDC skin = Skin(g.style);
        const rt::Font font = GuiFont(100);
        const rt::Font bold = GuiFont(FW_BOLD);
        api::MemoryDC composed = api::CreateMemoryDC(g.width, height);
        api::MemoryDC background = api::CreateMemoryDC(g.width, height);
        api::MemoryDC area = api::CreateMemoryDC(g.TabAreaWidth(), height);
        const corvane::PixelRect column = corvane::SkinFor(g.style).background;
        ::StretchBlt(background.dc(), 0, 0, g.width, height, skin.dc(), column.x, column.y, column.w, column.h, SRCCOPY);
        HDC dc = area.dc();
        rt::SelectGuard select(dc, font.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, corvane::kCaptionColor);
        ::BitBlt(dc, 0, 0, area.width(), height, background.dc(), g.leftSize, 0, SRCCOPY);
        // With tabs cut off, the picture moves to show the selected tab whole and the chevron
        // covers the visible end.
        const corvane::TabOverflow overflow = strip().Overflow();
        std::vector<corvane::TabState> tabs;
        for (long i = 0; i < strip().TabItems().Count(); ++i) {
            auto t = strip().TabItems().Item(i);
            tabs.push_back({t->Left() - overflow.shift, t->Width(), t->HideButton()});
        }
        const corvane::TabPaintSource source{skin.dc(), &corvane::SkinFor(g.style), font.get(), bold.get()};
        for (const corvane::TabPaint& p : corvane::PlanTabs(g.style, tabs, strip().Selected(), hover, closeState)) {
            if (p.face == corvane::TabFace::Selected) {
                ::SelectObject(dc, bold.get());
                ::SetTextColor(dc, corvane::kSelectedCaptionColor);
            }
            corvane::DrawTabParts(dc, source, p, strip().TabItems().Item(p.index)->Caption());
        }
        if (overflow.chevron)
            corvane::DrawChevron(dc, source, background.dc(), g.leftSize, corvane::PlanChevron(g.style, overflow));
        ::BitBlt(composed.dc(), 0, 0, g.width, height, background.dc(), 0, 0, SRCCOPY);
        ::BitBlt(composed.dc(), g.leftSize, 0, area.width(), height, dc, 0, 0, SRCCOPY);
        return driver::CaptureDC(composed.dc(), g.width, height);
    }

    // Pixels where the screen differs from the reference.
    // The pixels in which the strip on the screen differs from the reference, once the strip has
    // painted what it was told (polled with a bound: a busy machine paints late).
    int Differences(const std::wstring& shotName, long hover, int closeState)
    {
        const driver::Capture want = Reference(hover, closeState);
        int bad = -1;
        driver::PumpUntil(
            [&] {
                RECT r{};
                ::GetWindowRect(Strip(), &r);
                const driver::Capture shown = driver::CaptureScreen(r);
                bad = shown.width() != want.width() || shown.height() != want.height() ? -1 : 0;
                for (int y = 0; bad >= 0 && y < want.height(); ++y)
                    for (int x = 0; x < want.width(); ++x) bad += (shown.Rgb(x, y) & 0xFFFFFF) != (want.Rgb(x, y) & 0xFFFFFF);
                return bad == 0;
            },
            3000);
        driver::Screenshot(Strip(), shotName);
        return bad;
    }

    // Points the mouse at tab i's close glyph, then presses on it; checks both frames.
    void CheckGlyphStates(long i, const std::wstring& name)
    {
        auto tab = strip().TabItems().Item(i);
        const corvane::StripGeometry g = Geometry();
        const long x = g.leftSize + tab->Left() + tab->Width() - (g.style == 0 ? 18 : 14);
        const long y = 12;
        harness::MoveTo(Strip(), x, y);
        driver::Pump(100);
        std::vector<corvane::HitTab> hits;
        for (long k = 0; k < strip().TabItems().Count(); ++k) {
            auto t = strip().TabItems().Item(k);
            hits.push_back({t->Left(), t->Width(), t->HideButton()});
        }
        const corvane::HitResult hit = corvane::HitTest(g, hits, x, y);
        ASSERT_EQ(hit.index, i);
        EXPECT_EQ(Differences(name + L"-hover", hit.index, hit.close ? 1 : 0), 0);
        ::SendMessageW(Strip(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        EXPECT_EQ(Differences(name + L"-pressed", hit.index, hit.close ? 2 : 0), 0);
        ::SendMessageW(Strip(), WM_LBUTTONUP, 0, MAKELPARAM(g.leftSize / 2, 10));  // off the button: nothing closes
        harness::MoveTo(host->hWnd(), 300, 200);
        driver::Pump(100);
    }

    Journal journal;
};

TEST_F(StripReuse, TrapezoidTabsMatchTabsDrawnAfresh)
{
    MakeStrip(0, 40, 0, {L"Tab", L"游戏页面", L"", L"ABCDEFGHIJKLMNOPQRSTUVWXYZ"});
    strip().TabItems().Item(2)->SetHideButton(true);
    strip().SetSelected(1);
    EXPECT_EQ(Differences(L"tabstrip-reuse-style0", -1, 0), 0);
    CheckGlyphStates(3, L"tabstrip-reuse-style0");
    CheckGlyphStates(1, L"tabstrip-reuse-style0-selected");
    // Drawn again from the sprites of the frames before.
    strip().refresh();
    EXPECT_EQ(Differences(L"tabstrip-reuse-style0-again", -1, 0), 0);
    // A renamed tab shows its new caption.
    strip().TabItems().Item(0)->SetCaption(L"改名");
    EXPECT_EQ(Differences(L"tabstrip-reuse-style0-renamed", -1, 0), 0);

    std::vector<std::wstring> many;
    for (int i = 0; i < 46; ++i) many.push_back(L"页面 " + std::to_wstring(i));
    MakeStrip(0, 40, 0, many);
    strip().SetSelected(25);
    EXPECT_EQ(Differences(L"tabstrip-reuse-style0-50", -1, 0), 0);
}

TEST_F(StripReuse, RoundedTabsMatchTabsDrawnAfresh)
{
    MakeStrip(1, 10, -136, {L"页面一", L"Page two is long enough to be cut", L"三", L"", L"页面五"});
    strip().TabItems().Item(2)->SetHideButton(true);
    strip().TabItems().Item(3)->SetLockSize(true);
    strip().LockReDraw(false);
    strip().SetSelected(2);
    EXPECT_EQ(Differences(L"tabstrip-reuse-style1", -1, 0), 0);
    CheckGlyphStates(0, L"tabstrip-reuse-style1");
    CheckGlyphStates(1, L"tabstrip-reuse-style1-long");

    std::vector<std::wstring> many;
    for (int i = 0; i < 45; ++i) many.push_back(L"游戏 " + std::to_wstring(i));
    MakeStrip(1, 10, -136, many);
    strip().SetSelected(0);
    EXPECT_EQ(Differences(L"tabstrip-reuse-style1-50", -1, 0), 0);
}

}  // namespace
