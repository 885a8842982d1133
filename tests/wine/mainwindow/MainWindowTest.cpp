// The main window in a real window against the demo portal: game pages in tabs, the layout at
// both sizes, the caption strip's pixels, and the screenshot with three tabs.

#include <gtest/gtest.h>

#include <ole2.h>

#include "mainwindow/MainLayout.h"
#include "mainwindow/WebMainFrm.h"
#include "mainwindow/WebUrl.h"
#include "resources/ResourceIds.h"
#include "runtime/Resources.h"
#include "runtime/Screen.h"
#include "tabstrip/CTabItem.h"
#include "tests/wine/mainwindow/MainWindowTestSupport.h"

namespace {

using corvane::WebMainFrm;
using mainwindow_test::GameUrl;

class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ::OleInitialize(nullptr);
        WebMainFrm& frm = WebMainFrm::Instance();
        frm.SetURL(GameUrl(L"alice"));
        frm.Show();
        ASSERT_TRUE(mainwindow_test::WaitVisible(frm.hWnd(), true));
    }

    static void TearDownTestSuite()
    {
        if (WebMainFrm* frm = WebMainFrm::IfExists()) {
            frm->m_bExit = true;
            frm->Unload();
        }
        driver::Pump(200);
    }

    static WebMainFrm& Frm() { return WebMainFrm::Instance(); }
    static HWND Main() { return Frm().hWnd(); }
    static corvane::CTabItems& Tabs() { return Frm().TabStrip().TabItems(); }
    static std::wstring Caption(long i) { return Tabs().Item(i)->Caption(); }

    static bool WaitForCaption(long i, const std::wstring& caption)
    {
        return driver::PumpUntil([&] { return i < Tabs().Count() && Caption(i) == caption; }, 15000);
    }

    // Keeps only the first tab.
    static void CloseAllButFirst()
    {
        while (Tabs().Count() > 1) Tabs().Remove(corvane::TabIndex(Tabs().Count() - 1), true);
        Tabs().SetSelected(0);
        driver::Pump(50);
    }

    // Restores the window when it is maximised, or maximises it when it is restored, through a
    // real click on web_minmax.
    static void ClickMinMax()
    {
        RECT r{};
        ::GetWindowRect(Frm().MinMaxButton().rt::Window::hWnd(), &r);
        const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        driver::MoveMouseTo(centre);
        driver::Pump(150);
        driver::ClickAt(centre);
        driver::Pump(300);
    }
};

TEST_F(MainWindow, OneUrlOneTabCaseIgnoredSlashCounts)
{
    WebMainFrm& frm = Frm();
    EXPECT_EQ(Tabs().Count(), 1);
    EXPECT_FALSE(frm.PlaceholderVisible());
    // The caption starts as the key and follows the page's title.
    EXPECT_TRUE(WaitForCaption(0, L"LumoraVeldan - alice")) << driver::WideToUtf8(Caption(0));

    frm.SetURL(GameUrl(L"alice"));
    EXPECT_EQ(Tabs().Count(), 1);

    frm.SetURL(GameUrl(L"bob"));
    ASSERT_EQ(Tabs().Count(), 2);
    EXPECT_EQ(Tabs().Selected(), 1);
    // Only letter case differs: the open page is selected, not loaded again.
    frm.SetURL(GameUrl(L"ALICE"));
    EXPECT_EQ(Tabs().Count(), 2);
    EXPECT_EQ(Tabs().Selected(), 0);
    // A trailing slash makes another page.
    frm.SetURL(GameUrl(L"alice") + L"/");
    EXPECT_EQ(Tabs().Count(), 3);
    EXPECT_EQ(Tabs().Selected(), 2);
    EXPECT_EQ(Tabs().Item(2)->Caption().substr(0, 4), L"Game");

    // Each page's window lives in the page container; the selected one lies on top.
    for (long i = 0; i < Tabs().Count(); ++i) {
        HWND page = reinterpret_cast<HWND>(Tabs().Item(i)->Form()->hWnd());
        EXPECT_EQ(::GetParent(page), frm.PageContainer());
    }
    EXPECT_EQ(::GetWindow(frm.PageContainer(), GW_CHILD), reinterpret_cast<HWND>(Tabs().Item(2)->Form()->hWnd()));
    CloseAllButFirst();
}

TEST_F(MainWindow, OpensMaximisedAndRestoresTo1036By639)
{
    WebMainFrm& frm = Frm();
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT r{};
    ::GetWindowRect(Main(), &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom - r.top, work.bottom - work.top);
    EXPECT_TRUE(frm.MinMaxButton().Value());
    EXPECT_EQ(frm.CaptionStrip().frmHwnd(), nullptr);

    ClickMinMax();
    EXPECT_FALSE(frm.MinMaxButton().Value());
    EXPECT_EQ(frm.CaptionStrip().frmHwnd(), Main());
    RECT c{};
    ::GetClientRect(Main(), &c);
    EXPECT_EQ(c.right, 1036);
    EXPECT_EQ(c.bottom, 639);
    ::GetWindowRect(Main(), &r);
    EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - 1036) / 2);

    // The restored layout in twips: the strip from 1800, 8640 wide; "登录其他帐号" 250 after it.
    corvane::uTab& strip = frm.TabStrip();
    EXPECT_EQ(strip.Left(), 1800);
    EXPECT_EQ(strip.Top(), 45);
    EXPECT_EQ(strip.Width(), 8640);
    // Controls sit on whole pixels: a place in twips is the nearest pixel's.
    const rt::TwipsScale scale = rt::Screen::Scale();
    auto snap = [&](long twips) { return scale.TwipsX(scale.PixelsX(twips)); };
    EXPECT_EQ(frm.OtherUserButton().Left(), snap(1800 + 8640 + 250));
    EXPECT_EQ(frm.GameSpaceButton().Left(), snap(15540 - 3300));
    EXPECT_EQ(frm.CloseButton().Left(), snap(15540 - 730));
    EXPECT_EQ(frm.ToolButton().Left() + frm.ToolButton().Width(), frm.MinButton().Left());
    EXPECT_EQ(frm.MinButton().Left() + frm.MinButton().Width(), frm.MinMaxButton().Left());
    EXPECT_EQ(frm.MinMaxButton().Left() + frm.MinMaxButton().Width(), frm.CloseButton().Left());
    EXPECT_EQ(frm.CloseButton().Left() + frm.CloseButton().Width(), snap(15540 - 85));
    RECT pages{};
    ::GetWindowRect(frm.PageContainer(), &pages);
    ::MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&pages), 2);
    EXPECT_EQ(pages.left, 4);
    EXPECT_EQ(pages.top, 32);
    EXPECT_EQ(pages.right, 1036 - 4);
    EXPECT_EQ(pages.bottom, 639 - 4);

    // The region: (0, 0) - (1037, 640) with corners of 6 x 6; the system keeps its right and
    // bottom edges out.
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(Main(), region), ERROR);
    RECT box{};
    ::GetRgnBox(region, &box);
    EXPECT_EQ(box.right, 1036);
    EXPECT_EQ(box.bottom, 639);
    EXPECT_TRUE(::PtInRegion(region, 1035, 320));
    EXPECT_FALSE(::PtInRegion(region, 0, 0));
    EXPECT_TRUE(::PtInRegion(region, 3, 3));
    ::DeleteObject(region);

    ClickMinMax();
    EXPECT_TRUE(frm.MinMaxButton().Value());
    ::GetWindowRect(Main(), &r);
    EXPECT_EQ(r.bottom - r.top, work.bottom - work.top);
}

TEST_F(MainWindow, CaptionStripButtonsAndBorderPixels)
{
    WebMainFrm& frm = Frm();
    frm.SetURL(GameUrl(L"bob"));
    frm.SetURL(GameUrl(L"carol"));
    ASSERT_EQ(Tabs().Count(), 3);
    ASSERT_TRUE(WaitForCaption(2, L"LumoraVeldan - carol"));
    ASSERT_TRUE(WaitForCaption(1, L"LumoraVeldan - bob"));
    driver::Pump(500);
    ClickMinMax();  // the restored size for the picture
    driver::Pump(500);
    const driver::Capture shot = driver::Screenshot(Main(), L"mainwindow_three_tabs");
    ASSERT_EQ(shot.width(), 1036);

    // Each caption button shows the first frame of its strip at its place.
    struct Button {
        corvane::iButton& button;
        int bitmap;
    };
    for (const Button& b : {Button{frm.ToolButton(), IDB_CAPTION_TOOL}, Button{frm.MinButton(), IDB_CAPTION_MIN},
                            Button{frm.CloseButton(), IDB_CAPTION_CLOSE}}) {
        RECT r{};
        ::GetWindowRect(b.button.rt::Window::hWnd(), &r);
        ::MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&r), 2);
        const rt::PictureRef strip = rt::LoadResPicture(b.bitmap);
        EXPECT_LE(mainwindow_test::PictureMismatches(shot, r.left, r.top, strip->handle(), 0, 0, r.right - r.left, 18),
                  (r.right - r.left) * 18 / 20)
            << "button " << b.bitmap;
    }
    // The restore face of web_minmax: the second half of its strip.
    {
        RECT r{};
        ::GetWindowRect(frm.MinMaxButton().rt::Window::hWnd(), &r);
        ::MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.right - r.left, 25);
    }
    // The logo at (100, 30) twips = (7, 2) pixels.
    const rt::PictureRef logo = rt::LoadResPicture(IDB_LOGO);
    EXPECT_EQ(mainwindow_test::PictureMismatches(shot, 7, 2, logo->handle(), 0, 0, 29, 29), 0);
    // The rounded corner leaves the screen's background at (0, 0); the page area is white.
    EXPECT_NE(shot.At(0, 0), shot.At(2, 40));
    EXPECT_EQ(shot.CountNear(RECT{1, 40, 3, 600}, 0xFFFFFF, 16), 0) << "the left border is painted";
    // Between the strip's end (696) and "登录其他帐号" (712) the caption skin shows, not white.
    EXPECT_EQ(shot.CountNear(RECT{698, 4, 710, 28}, 0xFFFFFF, 8), 0);
    EXPECT_EQ(shot.CountNear(RECT{698, 4, 710, 28}, 0x000000, 8), 0);
    ClickMinMax();
}

TEST_F(MainWindow, HoverShowsTheCaptionAsTooltip)
{
    WebMainFrm& frm = Frm();
    ASSERT_GE(Tabs().Count(), 2);
    long index = 1;
    int button = 0;
    int shift = 0;
    float x = 0;
    float y = 0;
    frm.TabStrip().OnMouseHover(index, button, shift, x, y);
    EXPECT_EQ(frm.ToolTip().Text(), Caption(1));
    index = -1;
    frm.TabStrip().OnMouseHover(index, button, shift, x, y);
    EXPECT_EQ(frm.ToolTip().Text(), L"");
    index = Tabs().Count();
    frm.TabStrip().OnMouseHover(index, button, shift, x, y);
    EXPECT_EQ(frm.ToolTip().Text(), L"");
}

}  // namespace
