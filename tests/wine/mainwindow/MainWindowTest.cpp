// The main window in a real window against the demo portal: game pages in tabs, the layout at
// both sizes, the caption strip's pixels, and the screenshot with three tabs.

#include <gtest/gtest.h>

#include <ole2.h>
#include <wininet.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <utility>
#include <vector>

#include "app/PublicData.h"
#include "mainwindow/CKvNotifyIcon.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/WebMainFrm.h"
#include "mainwindow/WebUrl.h"
#include "resources/ResourceIds.h"
#include "runtime/App.h"
#include "runtime/DpiScale.h"
#include "runtime/Form.h"
#include "runtime/Handles.h"
#include "runtime/MessageBox.h"
#include "runtime/Resources.h"
#include "runtime/Screen.h"
#include "tabstrip/CTabItem.h"
#include "tests/wine/browser/WebViewTestSupport.h"
#include "tests/wine/mainwindow/MainWindowTestSupport.h"

namespace {

using corvane::WebMainFrm;
using mainwindow_test::GameUrl;

class MainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ::OleInitialize(nullptr);
        // The login window leaves the icon file for the main window to load.
        ::CopyFileW((driver::SourceDir() + L"\\resources\\vld.ico").c_str(), corvane::IconFilePath().c_str(), FALSE);
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

    // Puts the keyboard focus in the selected page's innermost window.
    static bool FocusInSelectedPage()
    {
        if (Tabs().Selected() < 0) return false;
        HWND inPage = reinterpret_cast<HWND>(Tabs().Item(Tabs().Selected())->Form()->hWnd());
        while (HWND child = ::GetWindow(inPage, GW_CHILD)) inPage = child;
        ::SetForegroundWindow(Main());
        ::SetFocus(inPage);
        return driver::PumpUntil([&] { return ::GetFocus() == inPage; }, 3000);
    }

    // Restores the window when it is maximised, or maximises it when it is restored, through a
    // real click on web_minmax.
    static void ClickMinMax()
    {
        EXPECT_TRUE(driver::ClickOn(Frm().MinMaxButton().rt::Window::hWnd()));
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
    const int aliceRequests = mainwindow_test::GameRequests("alice");
    ASSERT_GT(aliceRequests, 0);
    frm.SetURL(GameUrl(L"ALICE"));
    EXPECT_EQ(Tabs().Count(), 2);
    EXPECT_EQ(Tabs().Selected(), 0);
    driver::Pump(1000);
    EXPECT_EQ(mainwindow_test::GameRequests("alice"), aliceRequests);
    EXPECT_EQ(mainwindow_test::GameRequests("ALICE"), 0);
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

// A new game page's view is sent to "about:blank" before the game URL; a URL already open asks
// no view for anything.
TEST_F(MainWindow, NewPageGoesToAboutBlankBeforeItsUrl)
{
    using Call = webviewtest::RecordedViews::Call;
    const std::wstring first = GameUrl(L"blank-first");
    const std::wstring second = GameUrl(L"blank-second");
    {
        webviewtest::RecordedViews views;
        Frm().SetURL(first);
        Frm().SetURL(first);
        Frm().SetURL(second);
        EXPECT_EQ(views.Made(), 2);
        EXPECT_EQ(views.Calls(), (std::vector<Call>{{0, L"about:blank"}, {0, first}, {1, L"about:blank"}, {1, second}}));
    }
    CloseAllButFirst();
}

// A game page's view is under the game page's rule (mainwindow_core_test has it case by case): a
// refused address leaves the page where it is.
TEST_F(MainWindow, AGamePageGoesOnlyToWebAddresses)
{
    auto* page = dynamic_cast<corvane::WebUrl*>(Tabs().Item(0)->Form().get());
    ASSERT_NE(page, nullptr);
    browser::WebView* view = page->Browser();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->navigationFilter.allows);
    const std::wstring before = view->DocumentUrl();
    std::vector<std::wstring> logged;
    rt::App::SetLogSink([&](const std::wstring& text) { logged.push_back(text); });
    view->Navigate(L"file://127.0.0.1/share/x.html");
    rt::App::SetLogSink(nullptr);
    EXPECT_EQ(logged, (std::vector<std::wstring>{L"WebView.Allows: refused a navigation to file://127.0.0.1/share/x.html"}));
    EXPECT_EQ(view->DocumentUrl(), before);
}

// Watches every message the windows of this thread handle while it lives, and notes each one
// that a page window (class "WebUrl") or a window captioned "Form1" handled while it was a
// window of the desktop: what a shell would list, and show once it is visible.
class PageWindowWatch {
public:
    PageWindowWatch() : m_hook(::SetWindowsHookExW(WH_CALLWNDPROCRET, &Seen, nullptr, ::GetCurrentThreadId()))
    {
        Current() = this;
    }
    ~PageWindowWatch() { Current() = nullptr; }
    PageWindowWatch(const PageWindowWatch&) = delete;
    PageWindowWatch& operator=(const PageWindowWatch&) = delete;

    int pagesCreated = 0;
    int pageMessages = 0;
    std::vector<std::string> onTheDesktop;

private:
    static PageWindowWatch*& Current()
    {
        static PageWindowWatch* watch = nullptr;
        return watch;
    }

    static LRESULT CALLBACK Seen(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (PageWindowWatch* self = Current(); self && code == HC_ACTION && ::IsWindow(m->hwnd)) {
            const bool page = driver::ClassNameOf(m->hwnd) == L"WebUrl";
            if (page) ++self->pageMessages;
            if (page && m->message == WM_CREATE) ++self->pagesCreated;
            if ((page || driver::WindowText(m->hwnd) == L"Form1") &&
                ::GetAncestor(m->hwnd, GA_PARENT) == ::GetDesktopWindow()) {
                char line[96];
                std::snprintf(line, sizeof line, "message 0x%04X, %s", m->message,
                              ::IsWindowVisible(m->hwnd) ? "visible" : "hidden");
                self->onTheDesktop.push_back(line);
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    rt::Hook m_hook;
};

// A page's window is never a window of the desktop, not even hidden while it is made and put
// into the strip: a shell that lists windows as they are made would give it a taskbar button.
TEST_F(MainWindow, PagesNeverLiveOnTheDesktop)
{
    PageWindowWatch watch;
    Frm().SetURL(GameUrl(L"erin"));
    Frm().SetURL(GameUrl(L"frank"));
    ASSERT_EQ(Tabs().Count(), 3);
    EXPECT_TRUE(WaitForCaption(2, L"LumoraVeldan - frank"));
    Tabs().SetSelected(1);
    driver::Pump(100);
    CloseAllButFirst();
    EXPECT_EQ(watch.pagesCreated, 2);
    EXPECT_GT(watch.pageMessages, 0);
    EXPECT_TRUE(watch.onTheDesktop.empty()) << watch.onTheDesktop.size() << " messages to a page on the desktop, the first "
                                            << watch.onTheDesktop.front();
}

// The width of an icon's own pictures (0 when it has none).
int IconWidth(HICON icon)
{
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return 0;
    const rt::Bitmap mask(info.hbmMask);
    const rt::Bitmap colour(info.hbmColor);
    BITMAP bitmap{};
    ::GetObjectW(mask.get(), sizeof bitmap, &bitmap);
    return bitmap.bmWidth;
}

// The image of one size in an icon file with the most colours (as the system picks it on a
// true-colour display), made into an icon from its own bytes.
rt::Icon IconFileImage(const std::wstring& path, int size)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    auto word = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8; };
    auto dword = [&](std::size_t at) { return static_cast<DWORD>(word(at) | word(at + 2) << 16); };
    std::size_t best = 0;
    for (std::size_t i = 0, entry = 6; bytes.size() >= 6 && i < std::size_t(word(4)) && entry + 16 <= bytes.size(); ++i, entry += 16)
        if (static_cast<unsigned char>(bytes[entry]) == size && (!best || word(entry + 6) > word(best + 6))) best = entry;
    if (!best || dword(best + 12) + dword(best + 8) > bytes.size()) return {};
    auto* image = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data() + dword(best + 12)));
    return rt::Icon(::CreateIconFromResourceEx(image, dword(best + 8), TRUE, 0x00030000, size, size, 0));
}

// What a player reads and sees of the window: the title the taskbar shows, the captions of the
// strip and of the two wide buttons, and the icons of vld.ico at both sizes.
TEST_F(MainWindow, CaptionsAndIconsFromVldIco)
{
    EXPECT_EQ(driver::WindowText(Main()), L"LumoraVeldan客户端");
    EXPECT_EQ(Frm().CaptionStrip().Caption(), L"LumoraVeldan");
    EXPECT_EQ(Frm().GameSpaceButton().Caption(), L"游戏大厅");
    EXPECT_EQ(Frm().OtherUserButton().Caption(), L"登录其他帐号");

    const std::wstring file = driver::SourceDir() + L"\\resources\\vld.ico";
    for (const auto& [which, size] : {std::pair{ICON_SMALL, 16}, std::pair{ICON_BIG, 32}}) {
        SCOPED_TRACE(size);
        auto icon = reinterpret_cast<HICON>(::SendMessageW(Main(), WM_GETICON, which, 0));
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(IconWidth(icon), size);
        const rt::Icon expected = IconFileImage(file, size);
        ASSERT_TRUE(expected) << "vld.ico has an image of this size";
        for (COLORREF background : {RGB(0, 0, 0), RGB(255, 255, 255)})
            EXPECT_TRUE(driver::DrawnIcon(icon, size, size, background).pixels() ==
                        driver::DrawnIcon(expected.get(), size, size, background).pixels());
    }
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

    // Moved to a monitor of 144 dpi, the window asks for 1.5 times its size, takes the rectangle
    // the system offers for it and lays itself out as it would have at 144 dpi: the same twips,
    // the caption buttons drawn for the scale, the margins 6 pixels. (840 x 600 first, so that
    // 1.5 times that fits on the test's screen.)
    using mainwindow_test::PlaceIn;
    const HWND stripWindow = strip.rt::Window::hWnd(), closeWindow = frm.CloseButton().rt::Window::hWnd();
    ::SetWindowPos(Main(), nullptr, 20, 20, 840, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    const long stripWidth96 = strip.Width();
    const RECT strip96 = PlaceIn(Main(), stripWindow), close96 = PlaceIn(Main(), closeWindow);
    mainwindow_test::MoveToDpi(Main(), 144);
    driver::Pump(50);
    ::GetClientRect(Main(), &c);
    EXPECT_EQ(std::pair(c.right, c.bottom), std::pair(1260L, 900L));
    EXPECT_EQ(std::pair(strip.Left(), strip.Width()), std::pair(1800L, stripWidth96));
    // Each button's left is its place in twips, rounded to the pixel at 144 dpi as it would be
    // for a client started there.
    const rt::TwipsScale at144{144, 144};
    for (const auto& [button, fromRight] : {std::pair<rt::Control*, long>{&frm.CloseButton(), 730},
                                            {&frm.MinMaxButton(), 1105}, {&frm.MinButton(), 1465},
                                            {&frm.ToolButton(), 1825}})
        EXPECT_EQ(button->Left(), at144.TwipsX(at144.PixelsX(12600 - fromRight))) << fromRight;
    const RECT close144 = PlaceIn(Main(), closeWindow);
    EXPECT_EQ(close144.bottom - close144.top, rt::ScalePixels(close96.bottom - close96.top, 144));
    EXPECT_EQ(close144.right - close144.left, rt::ScalePixels(close96.right - close96.left, 144));
    EXPECT_EQ(frm.CloseButton().BackPicture()->WidthPixels(),
              rt::LoadResStripFor(IDB_CAPTION_CLOSE, 3, 144)->WidthPixels());
    // The strip draws itself at the new scale; the pages start below it, its browser overhanging
    // them by 3 pixels (2 at 96).
    const RECT stripPlace = PlaceIn(Main(), stripWindow);
    EXPECT_EQ(stripPlace.left, 180);
    EXPECT_EQ(stripPlace.bottom - stripPlace.top, rt::ScalePixels(strip96.bottom - strip96.top, 144));
    pages = PlaceIn(Main(), frm.PageContainer());
    const RECT pages144{6, stripPlace.bottom - stripPlace.top, 1260 - 6, 900 - 6};
    EXPECT_TRUE(::EqualRect(&pages, &pages144));
    EXPECT_EQ(rt::Screen::DpiFor(frm.PageContainer()), 144);
    const HWND page = reinterpret_cast<HWND>(Tabs().Item(Tabs().Selected())->Form()->hWnd());
    const std::vector<HWND> views = driver::Descendants(page, L"CorvaneLiteWebView");
    ASSERT_EQ(views.size(), 1u);
    RECT view = PlaceIn(Main(), views.front());
    ::InflateRect(&view, -3, -3);
    EXPECT_TRUE(::EqualRect(&view, &pages144));
    region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(Main(), region), ERROR);
    ::GetRgnBox(region, &box);
    ::DeleteObject(region);
    EXPECT_EQ(std::pair(box.right, box.bottom), std::pair(1260L, 900L));
    driver::Screenshot(Main(), L"mainwindow_moved_to_144_dpi");

    // Back on a monitor of 96 dpi, everything is where it was.
    mainwindow_test::MoveToDpi(Main(), 96);
    driver::Pump(50);
    ::GetClientRect(Main(), &c);
    EXPECT_EQ(std::pair(c.right, c.bottom), std::pair(840L, 600L));
    const RECT closeBack = PlaceIn(Main(), closeWindow), stripBack = PlaceIn(Main(), stripWindow);
    EXPECT_TRUE(::EqualRect(&closeBack, &close96));
    EXPECT_TRUE(::EqualRect(&stripBack, &strip96));
    ::SetWindowPos(Main(), nullptr, 0, 0, 1036, 639, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(frm.CloseButton().Left(), snap(15540 - 730));

    ClickMinMax();
    EXPECT_TRUE(frm.MinMaxButton().Value());
    ::GetWindowRect(Main(), &r);
    EXPECT_EQ(r.bottom - r.top, work.bottom - work.top);
}

TEST_F(MainWindow, EmptyStripDragsOnlyTheRestoredWindow)
{
    WebMainFrm& frm = Frm();
    ASSERT_TRUE(frm.MinMaxButton().Value());
    RECT strip{};
    ::GetWindowRect(frm.TabStrip().rt::Window::hWnd(), &strip);
    // Right of the last tab: the strip's empty part.
    const POINT empty{strip.right - 30, strip.top + 16};
    RECT before{};
    ::GetWindowRect(Main(), &before);
    mainwindow_test::Drag(empty, POINT{empty.x - 80, empty.y + 40});
    RECT after{};
    ::GetWindowRect(Main(), &after);
    EXPECT_TRUE(::EqualRect(&before, &after)) << "a maximised window stays put";

    ClickMinMax();
    ::GetWindowRect(Main(), &before);
    ::GetWindowRect(frm.TabStrip().rt::Window::hWnd(), &strip);
    const POINT restoredEmpty{strip.right - 30, strip.top + 16};
    mainwindow_test::Drag(restoredEmpty, POINT{restoredEmpty.x - 80, restoredEmpty.y + 40});
    EXPECT_TRUE(driver::PumpUntil(
        [&] {
            ::GetWindowRect(Main(), &after);
            return after.left == before.left - 80 && after.top == before.top + 40;
        },
        3000))
        << after.left - before.left << "," << after.top - before.top;
    EXPECT_EQ(after.right - after.left, 1036);

    // Minimised (from the taskbar, say), the window keeps its layout and its region.
    const long stripWidth = frm.TabStrip().Width();
    ::ShowWindow(Main(), SW_MINIMIZE);
    ASSERT_TRUE(driver::PumpUntil([] { return ::IsIconic(Main()) != FALSE; }, 3000));
    EXPECT_EQ(frm.TabStrip().Width(), stripWidth);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ::GetWindowRgn(Main(), region);
    RECT box{};
    ::GetRgnBox(region, &box);
    ::DeleteObject(region);
    EXPECT_EQ(box.right, 1036);
    ::ShowWindow(Main(), SW_RESTORE);
    driver::PumpUntil([] { return !::IsIconic(Main()); }, 3000);
    ClickMinMax();
    EXPECT_TRUE(frm.MinMaxButton().Value());
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

TEST_F(MainWindow, TooltipShowsOnlyTheTabUnderThePointer)
{
    WebMainFrm& frm = Frm();
    CloseAllButFirst();
    for (const wchar_t* account : {L"tip1", L"tip2"}) frm.SetURL(GameUrl(account));
    ASSERT_EQ(Tabs().Count(), 3);
    // The tip shows a caption that no longer changes: the pages' titles.
    ASSERT_TRUE(WaitForCaption(1, L"LumoraVeldan - tip1"));
    ASSERT_TRUE(WaitForCaption(2, L"LumoraVeldan - tip2"));
    HWND strip = frm.TabStrip().rt::Window::hWnd();
    HWND tip = frm.ToolTip().hWnd();
    // Strip points of a tab's body, its close button (style 1) and the empty space after the tabs.
    auto onStrip = [&](long x, long y) {
        POINT p{x, y};
        ::ClientToScreen(strip, &p);
        return p;
    };
    auto body = [&](long i) { return onStrip(10 + Tabs().Item(i)->Left() + 40, 16); };
    auto close = [&](long i) { return onStrip(10 + Tabs().Item(i)->Left() + Tabs().Item(i)->Width() - 14, 13); };
    auto empty = [&] {
        const long last = Tabs().Count() - 1;
        return onStrip(10 + Tabs().Item(last)->Left() + Tabs().Item(last)->Width() + 40, 16);
    };
    auto tipShows = [&](const std::wstring& text) {
        return driver::PumpUntil([&] { return ::IsWindowVisible(tip) && frm.ToolTip().Text() == text; }, 5000);
    };
    // No tip appears while the pointer rests for longer than the tip's delay.
    auto noTipFor = [&](DWORD ms) { return !driver::PumpUntil([&] { return ::IsWindowVisible(tip) != FALSE; }, ms); };

    driver::MoveMouseTo(body(1));
    EXPECT_TRUE(tipShows(Caption(1)));
    driver::MoveMouseTo(empty());
    EXPECT_TRUE(noTipFor(1500)) << "over empty space";
    EXPECT_EQ(frm.ToolTip().Text(), L"");

    // Closing tab 1 under the pointer takes its caption off the tip.
    const long before = Tabs().Count();
    const std::wstring closed = Caption(1);
    driver::MoveMouseTo(close(1));
    driver::Pump(150);
    driver::ClickAt(close(1));
    ASSERT_TRUE(driver::PumpUntil([&] { return Tabs().Count() == before - 1; }, 5000));
    EXPECT_NE(frm.ToolTip().Text(), closed);
    driver::MoveMouseTo(empty());
    EXPECT_TRUE(noTipFor(1500)) << "over empty space after a tab closed";
    EXPECT_EQ(frm.ToolTip().Text(), L"");
    driver::MoveMouseTo(onStrip(2, 40));
    CloseAllButFirst();
}

// --- Commands -------------------------------------------------------------------------------

// Records the popup menu that opens while `action` runs and closes it again.
struct MenuWatch {
    static inline bool seen = false;
    static inline bool ownerVisible = false;
    static inline HWND owner = nullptr;
    static inline HMENU shown = nullptr;  // the menu seen
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        HWND menu = ::FindWindowW(L"#32768", nullptr);
        if (!menu || !::IsWindowVisible(menu)) return;
        ::KillTimer(nullptr, id);
        seen = true;
        ownerVisible = ::IsWindowVisible(owner) != FALSE;
        shown = reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
        ::EndMenu();
    }
    static bool Run(HWND window, const std::function<void()>& action)
    {
        seen = false;
        owner = window;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &Tick);
        action();
        driver::PumpUntil([] { return seen; }, 3000);
        ::KillTimer(nullptr, timer);
        return seen;
    }
};

TEST_F(MainWindow, MenuHasItsSevenItemsAndTheVersion)
{
    rt::PopupMenu& menu = Frm().AppMenu();
    ASSERT_EQ(menu.Count(), 7);
    const wchar_t* captions[] = {L"刷新(F5)", L"隐藏/恢复(F10)", L"清除缓存", L"", L"更新", L"版本号:1.1.0", L"退出"};
    for (UINT id = WebMainFrm::kMenuRefresh; id <= WebMainFrm::kMenuExit; ++id)
        EXPECT_EQ(menu.Caption(id), captions[id - 1]) << id;
    // The tool button opens it.
    EXPECT_TRUE(MenuWatch::Run(Main(), [] { EXPECT_TRUE(driver::ClickOn(Frm().ToolButton().rt::Window::hWnd())); }));
}

// Keyboard users open the menu with Alt alone, wherever the focus is in the window (here in the
// selected page); Alt+Space still opens the window menu of the system.
TEST_F(MainWindow, AltOpensTheMenu)
{
    ASSERT_TRUE(FocusInSelectedPage());
    EXPECT_TRUE(MenuWatch::Run(Main(), [] { driver::PressKey(VK_MENU); }));
    EXPECT_EQ(MenuWatch::shown, Frm().AppMenu().handle());
    EXPECT_TRUE(MenuWatch::Run(Main(), [] { driver::PressKey(VK_SPACE, MOD_ALT); }));
    EXPECT_NE(MenuWatch::shown, Frm().AppMenu().handle());
}

// Ctrl+W and Ctrl+F4 close the selected tab as its close mark does: the last one only after
// the exit box, answered "否" here.
TEST_F(MainWindow, CtrlWAndCtrlF4CloseTheSelectedTab)
{
    WebMainFrm& frm = Frm();
    frm.SetURL(GameUrl(L"bob"));
    frm.SetURL(GameUrl(L"carol"));
    ASSERT_EQ(Tabs().Count(), 3);
    Tabs().SetSelected(1);
    const auto first = Tabs().Item(0)->Form(), last = Tabs().Item(2)->Form();
    ASSERT_TRUE(FocusInSelectedPage());
    driver::PressKey('W', MOD_CONTROL);
    ASSERT_TRUE(driver::PumpUntil([] { return Tabs().Count() == 2; }, 5000));
    EXPECT_EQ(Tabs().Item(0)->Form(), first);
    EXPECT_EQ(Tabs().Item(1)->Form(), last);
    Tabs().SetSelected(1);
    ASSERT_TRUE(FocusInSelectedPage());
    driver::PressKey(VK_F4, MOD_CONTROL);
    ASSERT_TRUE(driver::PumpUntil([] { return Tabs().Count() == 1; }, 5000));
    EXPECT_EQ(Tabs().Item(0)->Form(), first);
    EXPECT_TRUE(::IsWindowVisible(Main()));
    {
        mainwindow_test::ExitBoxAnswerer answerer(L"N");
        ASSERT_TRUE(FocusInSelectedPage());
        driver::PressKey('W', MOD_CONTROL);
        EXPECT_TRUE(answerer.WaitForCount(1, 5000));
    }
    driver::Pump(200);
    EXPECT_EQ(Tabs().Count(), 1);
    EXPECT_TRUE(::IsWindowVisible(Main()));
}

TEST_F(MainWindow, TrayIconRecordAndTheShellsIcon)
{
    corvane::CKvNotifyIcon* tray = Frm().TrayIcon();
    ASSERT_NE(tray, nullptr);
    const NOTIFYICONDATAW& d = tray->Record();
    EXPECT_EQ(d.cbSize, NOTIFYICONDATAW_V2_SIZE);
    EXPECT_EQ(d.hWnd, Main());
    EXPECT_EQ(d.uID, 1000u);
    EXPECT_EQ(d.uFlags, 23u);
    EXPECT_EQ(d.uCallbackMessage, 6242u);
    EXPECT_STREQ(d.szTip, L"LumoraVeldan客户端");
    EXPECT_STREQ(d.szInfo, L"");
    // The shell knows the icon: a modify of the same window and id succeeds.
    NOTIFYICONDATAW probe = d;
    probe.uFlags = NIF_TIP;
    EXPECT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &probe));
}

TEST(NotifyIcon, BalloonFieldsLongTipsAndDeletionWithTheObject)
{
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    NOTIFYICONDATAW probe{};
    {
        corvane::CKvNotifyIcon icon;
        // A tip longer than the field is cut to 127 characters and its NUL.
        icon.AddNotifyIcon(owner, ::LoadIconW(nullptr, IDI_APPLICATION), std::wstring(200, L'客'));
        EXPECT_EQ(std::wstring(icon.Record().szTip), std::wstring(127, L'客'));
        probe = icon.Record();
        probe.uFlags = NIF_TIP;
        EXPECT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &probe));

        icon.ShowBubble(L"提示", L"游戏已在后台运行", NIIF_INFO);
        EXPECT_STREQ(icon.Record().szInfoTitle, L"提示");
        EXPECT_STREQ(icon.Record().szInfo, L"游戏已在后台运行");
        EXPECT_EQ(icon.Record().dwInfoFlags, DWORD{NIIF_INFO});
        EXPECT_EQ(icon.Record().uTimeout, 0u);
        icon.HideBubble();
        EXPECT_STREQ(icon.Record().szInfoTitle, L"");
        EXPECT_STREQ(icon.Record().szInfo, L"");
        icon.ModifyNotifyIcon(owner, nullptr, L"LumoraVeldan客户端");
        EXPECT_STREQ(icon.Record().szTip, L"LumoraVeldan客户端");
        EXPECT_EQ(icon.Record().uCallbackMessage, 6242u) << "a modify keeps the callback message";
    }
    EXPECT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &probe)) << "the icon went with the object";
    ::DestroyWindow(owner);
}

TEST_F(MainWindow, TrayClicksToggleAndRightClickOpensTheMenuWhileHidden)
{
    HWND main = Main();
    ::SendMessageW(main, 6242, 1000, WM_LBUTTONUP);
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, false));
    EXPECT_FALSE(::IsIconic(main));
    // Other mouse actions are ignored.
    ::SendMessageW(main, 6242, 1000, WM_LBUTTONDOWN);
    ::SendMessageW(main, 6242, 1000, WM_MOUSEMOVE);
    EXPECT_FALSE(::IsWindowVisible(main));
    EXPECT_TRUE(MenuWatch::Run(main, [&] { ::PostMessageW(main, 6242, 1000, WM_RBUTTONUP); }));
    EXPECT_FALSE(MenuWatch::ownerVisible) << "the menu opened while the window stayed hidden";
    // "隐藏/恢复(F10)" brings it back with its pages.
    Frm().RunMenuCommand(WebMainFrm::kMenuHideRestore);
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, true));
    ::SendMessageW(main, 6242, 1000, WM_LBUTTONUP);
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, false));
    ::SendMessageW(main, 6242, 1000, WM_LBUTTONUP);
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, true));
    EXPECT_GE(Tabs().Count(), 1);
}

TEST_F(MainWindow, F10TogglesKeepingSizeAndPlace)
{
    HWND main = Main();
    RECT before{};
    ::GetWindowRect(main, &before);
    mainwindow_test::PressF10();
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, false));
    mainwindow_test::PressF10();
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, true));
    RECT after{};
    ::GetWindowRect(main, &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
}

TEST_F(MainWindow, MinButtonHidesWithoutMinimising)
{
    HWND main = Main();
    EXPECT_TRUE(driver::ClickOn(Frm().MinButton().rt::Window::hWnd()));
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, false));
    EXPECT_FALSE(::IsIconic(main));
    ::SendMessageW(main, 6242, 1000, WM_LBUTTONUP);
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, true));
}

TEST_F(MainWindow, ClearCacheEmptiesTheRealCacheButKeepsCookies)
{
    const std::wstring picture = mainwindow_test::Portal() + L"/static/logo.png";
    const std::wstring cookieSite = mainwindow_test::Portal() + L"/";
    HINTERNET net = ::InternetOpenW(L"Corvane test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(net, nullptr);
    HINTERNET file = ::InternetOpenUrlW(net, picture.c_str(), nullptr, 0, 0, 0);
    ASSERT_NE(file, nullptr);
    char chunk[4096];
    DWORD got = 0;
    while (::InternetReadFile(file, chunk, sizeof chunk, &got) && got) {
    }
    ::InternetCloseHandle(file);
    ::InternetCloseHandle(net);
    ASSERT_TRUE(::InternetSetCookieW(cookieSite.c_str(), L"keep", L"1; expires=Sat, 01-Jan-2050 00:00:00 GMT"));
    DWORD size = 0;
    ::GetUrlCacheEntryInfoW(picture.c_str(), nullptr, &size);
    ASSERT_EQ(::GetLastError(), DWORD{ERROR_INSUFFICIENT_BUFFER}) << "the picture is in the cache";

    driver::MessageBoxAnswerer answerer(IDOK);
    answerer.SetRecordStyle(true);
    Frm().RunMenuCommand(WebMainFrm::kMenuClearCache);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].title, L"缓存清理");
    EXPECT_EQ(answerer.Seen()[0].text, L"缓存已清理完毕！");
    EXPECT_EQ(answerer.Seen()[0].style, rt::kMsgInformation);

    size = 0;
    EXPECT_FALSE(::GetUrlCacheEntryInfoW(picture.c_str(), nullptr, &size));
    EXPECT_EQ(::GetLastError(), DWORD{ERROR_FILE_NOT_FOUND}) << "the picture has left the cache";
    wchar_t cookie[256] = {};
    DWORD length = 256;
    ASSERT_TRUE(::InternetGetCookieW(cookieSite.c_str(), nullptr, cookie, &length));
    EXPECT_NE(std::wstring(cookie).find(L"keep=1"), std::wstring::npos);
}

TEST_F(MainWindow, RefreshReloadsTheSelectedPageOnly)
{
    ASSERT_GE(Tabs().Count(), 1);
    Tabs().SetSelected(0);
    const auto requests = mainwindow_test::GameRequests;
    const int alice = requests("alice");
    const int bob = requests("bob");
    ASSERT_GT(alice, 0);
    Frm().RunMenuCommand(WebMainFrm::kMenuRefresh);
    EXPECT_TRUE(driver::PumpUntil([&] { return requests("alice") == alice + 1; }, 8000));
    // F5 with the keyboard in the page takes the same path.
    HWND inPage = reinterpret_cast<HWND>(Tabs().Item(0)->Form()->hWnd());
    while (HWND child = ::GetWindow(inPage, GW_CHILD)) inPage = child;
    ::SetForegroundWindow(Main());
    ::SetFocus(inPage);
    ASSERT_TRUE(driver::PumpUntil([&] { return ::GetFocus() == inPage; }, 3000));
    driver::PressKey(VK_F5);
    EXPECT_TRUE(driver::PumpUntil([&] { return requests("alice") == alice + 2; }, 8000)) << "F5";
    driver::Pump(300);
    EXPECT_EQ(requests("alice"), alice + 2);
    EXPECT_EQ(requests("bob"), bob);
}

// --- Closing ------------------------------------------------------------------------------------

TEST_F(MainWindow, AnsweringNoOrClosingTheBoxKeepsEverything)
{
    WebMainFrm& frm = Frm();
    const long pages = Tabs().Count();
    {
        mainwindow_test::ExitBoxAnswerer answerer(L"N");
        answerer.SetScreenshot(L"mainwindow_exit_box");
        frm.RunMenuCommand(WebMainFrm::kMenuExit);
        EXPECT_EQ(answerer.Answered(), 1);
        // The box: its caption strip from the skin, the question in dark ink, its two buttons.
        const driver::Capture box = answerer.FirstBox();
        ASSERT_EQ(box.width(), 242);
        ASSERT_EQ(box.height(), 140);
        EXPECT_EQ(box.CountNear(RECT{160, 2, 190, 30}, 0xFFFFFF, 8), 0) << "caption strip";
        EXPECT_GT(box.CountNear(RECT{24, 56, 233, 97}, 0x000000, 90), 40) << "question text";
        // The close button shows the first frame of the main window's close strip.
        const rt::PictureRef close = rt::LoadResPicture(IDB_CAPTION_CLOSE);
        EXPECT_EQ(mainwindow_test::PictureMismatches(box, 193, 1, close->handle(), 0, 0, 43, 18), 0);
        // "是" and "否": a framed face from the answer strip with the caption in dark ink.
        for (int left : {56, 136}) {
            const RECT caption{left + 20, 92, left + 45, 110};
            // Pixels with every channel at most 160.
            EXPECT_GT(box.CountNear(caption, 0x505050, 80), 15)
                << "caption ink " << left;
            EXPECT_LT(box.CountNear(RECT{left + 5, 88, left + 60, 89}, 0xFFFFFF, 4), 20) << "top edge " << left;
        }
        // Corners cut by the 4 x 4 region.
        EXPECT_NE(box.At(0, 0), box.At(5, 60));
    }
    EXPECT_TRUE(frm.IsLoaded());
    EXPECT_FALSE(frm.m_bExit);
    EXPECT_EQ(Tabs().Count(), pages);
    {
        // Moved to a monitor of 144 dpi first: 1.5 times as large, the close button drawn for
        // the scale at its place in twips, (3630 - 730) / 10 = 290 pixels from the left.
        mainwindow_test::ExitBoxAnswerer answerer(L"PC");
        EXPECT_TRUE(driver::ClickOn(frm.CloseButton().rt::Window::hWnd()));
        EXPECT_TRUE(answerer.WaitForCount(1, 5000));
        const driver::Capture box = answerer.BoxAt144Dpi();
        ASSERT_EQ(box.width(), 363);
        ASSERT_EQ(box.height(), 210);
        const rt::PictureRef close = rt::LoadResStripFor(IDB_CAPTION_CLOSE, 3, 144);
        EXPECT_EQ(mainwindow_test::PictureMismatches(box, 290, 2, close->handle(), 0, 0, 64, 27), 0);
        EXPECT_GT(box.CountNear(RECT{36, 84, 350, 146}, 0x000000, 90), 90) << "question text";
        // Where the bottom border was at 96 dpi, the question's label shows the new surface.
        EXPECT_EQ(box.CountNear(RECT{40, 134, 80, 140}, 0xFFFFFF, 8), 40 * 6) << "the box at 96 dpi shows through";
    }
    EXPECT_TRUE(frm.IsLoaded());
    EXPECT_EQ(Tabs().Count(), pages);
    // The box moves with its caption strip.
    {
        mainwindow_test::ExitBoxAnswerer answerer(L"DN");
        frm.RunMenuCommand(WebMainFrm::kMenuExit);
        EXPECT_EQ(answerer.Answered(), 1);
        EXPECT_EQ(answerer.DragOffset().x, 40);
        EXPECT_EQ(answerer.DragOffset().y, 30);
    }
    EXPECT_TRUE(frm.IsLoaded());
    // Alt+F4 on the box itself leaves the flag false.
    {
        mainwindow_test::ExitBoxAnswerer answerer(L"F");
        frm.RunMenuCommand(WebMainFrm::kMenuExit);
        EXPECT_EQ(answerer.Answered(), 1);
    }
    EXPECT_TRUE(frm.IsLoaded());
}

TEST_F(MainWindow, TheBoxAnswersTheKeyboard)
{
    WebMainFrm& frm = Frm();
    // Each of these keeps the window; Enter on "是", which has the focus first, ends it in the
    // last test.
    static const struct {
        const wchar_t* answers;
        const char* name;
    } cases[] = {
        {L"T", "Tab, Enter"},
        {L"S", "Shift+Tab, Tab, Tab, Space"},
        {L"E", "Esc"},
        {L"A", "Alt+F4"},
    };
    for (const auto& c : cases) {
        mainwindow_test::ExitBoxAnswerer answerer(c.answers);
        if (c.answers == cases[0].answers) answerer.SetScreenshot(L"mainwindow_exit_box_focus");
        frm.RunMenuCommand(WebMainFrm::kMenuExit);
        EXPECT_EQ(answerer.Answered(), 1) << c.name;
        EXPECT_TRUE(frm.IsLoaded()) << c.name;
        EXPECT_FALSE(frm.m_bExit) << c.name;
        if (c.answers != cases[0].answers) continue;
        // The focus cue: a dotted rectangle 3 pixels inside "是", and none on "否".
        const driver::Capture box = answerer.FirstBox();
        int differing = 0;
        for (int x = 5; x < 60; ++x) differing += box.At(56 + x, 91) != box.At(136 + x, 91);
        EXPECT_GT(differing, 10) << "focus cue on the first button";
    }
}

TEST_F(MainWindow, SystemCloseAsksTwiceWhenTheFirstAnswerIsNo)
{
    mainwindow_test::ExitBoxAnswerer answerer(L"NN");
    ::PostMessageW(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(answerer.WaitForCount(2, 10000));
    driver::Pump(300);
    EXPECT_EQ(answerer.Answered(), 2);
    EXPECT_TRUE(Frm().IsLoaded());
}

TEST_F(MainWindow, ClosingTheLastTabAsksAndKeepsIt)
{
    CloseAllButFirst();
    ASSERT_EQ(Tabs().Count(), 1);
    mainwindow_test::ExitBoxAnswerer answerer(L"N");
    long index = 0;
    bool cancel = false;
    Frm().TabStrip().OnItemColose(index, cancel);
    EXPECT_EQ(answerer.Answered(), 1);
    EXPECT_TRUE(cancel) << "the strip keeps the tab";
    EXPECT_EQ(Tabs().Count(), 1);
    // With two tabs the strip closes the tab without asking.
    Frm().SetURL(GameUrl(L"dave"));
    cancel = false;
    index = 1;
    Frm().TabStrip().OnItemColose(index, cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(answerer.Answered(), 1);
}

TEST_F(MainWindow, YesUnloadsReleasesThePagesAndRemovesTheTrayIcon)
{
    WebMainFrm& frm = Frm();
    HWND main = Main();
    NOTIFYICONDATAW probe = frm.TrayIcon()->Record();
    probe.uFlags = NIF_TIP;
    std::vector<HWND> pages;
    for (long i = 0; i < Tabs().Count(); ++i) pages.push_back(reinterpret_cast<HWND>(Tabs().Item(i)->Form()->hWnd()));
    {
        mainwindow_test::ExitBoxAnswerer answerer(L"K");
        frm.RunMenuCommand(WebMainFrm::kMenuExit);
        EXPECT_EQ(answerer.Answered(), 1);
    }
    EXPECT_FALSE(::IsWindow(main));
    for (HWND page : pages) EXPECT_FALSE(::IsWindow(page));
    EXPECT_EQ(WebMainFrm::IfExists(), nullptr);
    EXPECT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &probe)) << "the tray icon is gone";
    // F10 is free again.
    EXPECT_TRUE(::RegisterHotKey(nullptr, 1000, 0, VK_F10));
    ::UnregisterHotKey(nullptr, 1000);
    driver::Pump(100);
}

}  // namespace
