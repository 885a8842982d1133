// The client at the display scales players use: every window it shows is dpi / 96 times its
// size at 96 dpi, the scale set around each client the test starts (driver::DisplayScale).

#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "resources/ResourceIds.h"
#include "runtime/ArtScale.h"
#include "runtime/DpiScale.h"
#include "runtime/Handles.h"
#include "tabstrip/TabAccess.h"
#include "tabstrip/TabPaintPlan.h"
#include "tests/driver/AccessibleWalk.h"
#include "tests/driver/DisplayScale.h"
#include "tests/wine/login/LoginTestSupport.h"
#include "tests/wine/mainwindow/MainWindowTestSupport.h"

namespace {

using namespace logintest;
using driver::DisplayScale;

// The process gone before the scale goes back, whichever check ends the test.
struct EndsWithTheTest {
    driver::Process& process;
    ~EndsWithTheTest() { process.Kill(); }
};

SIZE SizeOf(HWND hwnd)
{
    const RECT r = WindowRect(hwnd);
    return {r.right - r.left, r.bottom - r.top};
}

// Where the login page put its fields, button and a link, relative to the login window: the page
// must sit on the picture drawn behind it at every scale.
struct PagePlaces {
    RECT account{}, password{}, submit{}, minimizeLink{};
};

struct Seen {
    PagePlaces page;
    SIZE background{}, login{}, main{}, closeButton{}, minimizeButton{}, tabStrip{}, exitBox{}, exitClose{};
    SIZE updater{}, updaterClose{};
};

RECT RelativeTo(HWND window, RECT r)
{
    const RECT origin = WindowRect(window);
    ::OffsetRect(&r, -origin.left, -origin.top);
    return r;
}

// Once the page has made its fields: the two edits, the button and the minimise link.
void MeasurePage(HWND login, PagePlaces& seen)
{
    std::vector<HWND> fields, buttons;
    ASSERT_TRUE(driver::PumpUntil(
        [&] {
            fields = driver::Descendants(login, L"Edit");
            buttons = driver::Descendants(login, L"Button");
            return fields.size() == 2 && buttons.size() == 1;
        },
        15000));
    seen.account = RelativeTo(login, WindowRect(fields[0]));
    seen.password = RelativeTo(login, WindowRect(fields[1]));
    seen.submit = RelativeTo(login, WindowRect(buttons[0]));
    const std::vector<HWND> views = driver::Descendants(login, L"CorvaneLiteWebView");
    ASSERT_EQ(views.size(), 1u);
    const auto tree = driver::AccessibleTree(views.front());
    const driver::AccessibleNode* minimize = driver::FindNode(tree, L"最小化", ROLE_SYSTEM_LINK);
    ASSERT_NE(minimize, nullptr);
    seen.minimizeLink = RelativeTo(login, minimize->place);
}

std::wstring Name(int dpi, const wchar_t* what) { return L"dpi-" + std::to_wstring(dpi) + L"-" + what; }

// Bitmap `id` as drawn for the set of `dpi`, read from Corvane.exe; empty when it is missing.
driver::Capture DrawnPicture(int id, int dpi)
{
    rt::Module corvane(
        ::LoadLibraryExW((driver::BuildDir() + L"\\app\\Corvane.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    rt::Bitmap picture(static_cast<HBITMAP>(::LoadImageW(
        corvane.get(), MAKEINTRESOURCEW(rt::ArtResourceId(id, rt::ArtScaleForDpi(dpi))), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP size{};
    if (!picture || !::GetObjectW(picture.get(), sizeof(size), &size)) return {};
    driver::Capture drawn(size.bmWidth, size.bmHeight);
    BITMAPINFO info = rt::TopDownDib32(size.bmWidth, size.bmHeight);
    rt::ClientDC screen(nullptr);
    if (::GetDIBits(screen.get(), picture.get(), 0, static_cast<UINT>(size.bmHeight), drawn.pixels().data(), &info,
                    DIB_RGB_COLORS) != size.bmHeight)
        return {};
    return drawn;
}

// Adds to `tally` (same, counted) the pixels of `piece` of a drawn picture that `shown` shows
// unchanged with the piece's top-left corner at `at`: near all when the picture is shown 1:1, few
// when it was resampled. The key colour, which lets the background through, is left out.
void CountUnchanged(const driver::Capture& drawn, const RECT& piece, const driver::Capture& shown, POINT at,
                    std::pair<int, int>& tally)
{
    for (int y = piece.top; y < std::min<int>(piece.bottom, drawn.height()); ++y)
        for (int x = piece.left; x < std::min<int>(piece.right, drawn.width()); ++x) {
            const std::uint32_t pixel = drawn.Rgb(x, y) & 0xFFFFFF;
            const int sx = at.x + x - piece.left, sy = at.y + y - piece.top;
            if (pixel == 0xFF00FF) continue;
            ++tally.second;
            tally.first += sx >= 0 && sy >= 0 && sx < shown.width() && sy < shown.height() &&
                           pixel == (shown.Rgb(sx, sy) & 0xFFFFFF);
        }
}

double Share(const std::pair<int, int>& tally) { return tally.second ? double(tally.first) / tally.second : 0; }

// The share of the pixels of the first frame of strip `id`, as drawn for the set of `dpi`, that
// `shown` shows unchanged at its top-left corner.
double ShareOfDrawnFrame(const driver::Capture& shown, int id, int frames, int dpi)
{
    const driver::Capture drawn = DrawnPicture(id, dpi);
    std::pair<int, int> tally;
    CountUnchanged(drawn, {0, 0, drawn.width() / frames, drawn.height()}, shown, {0, 0}, tally);
    return Share(tally);
}

// The share of the selected tab's unstretched left side and its close glyph, as the skin of the
// main window's strip (style 1) is drawn for `dpi`, that the strip shows unchanged where it tells a
// screen reader the tab and its close button lie. A glyph under the overflow chevron (a window
// narrowed to the screen leaves the strip little room) is not seen and not counted.
double ShareOfDrawnSelectedTab(HWND strip, const driver::Capture& shown, int dpi)
{
    const corvane::SkinLayout& skin = corvane::SkinFor(1, dpi);
    const auto tree = driver::AccessibleTree(strip);
    const auto tab = std::find_if(tree.begin(), tree.end(), [](const driver::AccessibleNode& n) {
        return n.role == ROLE_SYSTEM_PAGETAB && (n.state & STATE_SYSTEM_SELECTED);
    });
    const driver::AccessibleNode* close = driver::FindNode(tree, corvane::kCloseTabName, ROLE_SYSTEM_PUSHBUTTON);
    if (tab == tree.end() || !close) return 0;
    const RECT origin = WindowRect(strip);
    const auto inStrip = [&](const RECT& r) { return POINT{r.left - origin.left, r.top - origin.top}; };
    const corvane::PixelRect side = skin.Face(corvane::TabFace::Selected);
    const corvane::PixelRect glyph = skin.Glyph(corvane::CloseGlyph::Selected);
    const driver::Capture drawn = DrawnPicture(skin.bitmapId, dpi);
    std::pair<int, int> tally;
    CountUnchanged(drawn, {side.x, side.y, side.x + skin.borderLeft, side.y + side.h}, shown, inStrip(tab->place), tally);
    if (!(close->state & STATE_SYSTEM_OFFSCREEN))
        CountUnchanged(drawn, {glyph.x, glyph.y, glyph.x + glyph.w, glyph.y + glyph.h}, shown, inStrip(close->place),
                       tally);
    return Share(tally);
}

// The journey to the exit box with the client at `dpi`, measuring each window on the way.
void Measure(int dpi, Seen& seen)
{
    const DisplayScale scale(dpi);
    ASSERT_TRUE(scale.Set());
    driver::Process client = StartCorvane(Portal());
    ASSERT_TRUE(client);
    const EndsWithTheTest ender{client};
    const LoginPair pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);
    seen.background = SizeOf(pair.background);
    seen.login = SizeOf(pair.login);
    ASSERT_NO_FATAL_FAILURE(MeasurePage(pair.login, seen.page));
    driver::Pump(1000);
    // The whole screen: the scaled picture may be wider than it.
    SaveScreen(Name(dpi, L"1-login"));

    HWND main = LogInToMainWindow(client, L"alice");
    ASSERT_TRUE(main);
    const std::vector<HWND> buttons = mainwindow_test::ButtonsLeftToRight(main);
    ASSERT_EQ(buttons.size(), 6u);
    // Restored, so that the size is the window's own and not the screen's.
    // A window too large for the screen keeps the screen's size restored: the button shows the
    // other state either way.
    ASSERT_TRUE(ClickUntilItsLookChanges(buttons[4]));
    driver::Pump(500);
    seen.main = SizeOf(main);
    seen.minimizeButton = SizeOf(buttons[3]);
    seen.closeButton = SizeOf(buttons[5]);
    const std::vector<HWND> strips = driver::Descendants(main, L"uTab");
    ASSERT_FALSE(strips.empty());
    seen.tabStrip = SizeOf(strips.front());
    driver::Pump(500);
    SaveScreen(Name(dpi, L"2-main"));
    // The tabs are drawn at the scale, from the skin drawn for it, not stretched from 96 dpi.
    const driver::Capture strip = driver::Screenshot(strips.front(), Name(dpi, L"2-tab-strip"));
    EXPECT_GT(ShareOfDrawnSelectedTab(strips.front(), strip, dpi), 0.9) << "selected tab at " << dpi << " dpi";

    ASSERT_TRUE(driver::ClickOn(buttons[5]));
    HWND box = nullptr;
    ASSERT_TRUE(driver::PumpUntil([&] { return (box = mainwindow_test::FindExitBox(client.id())) != nullptr; }, 10000));
    seen.exitBox = SizeOf(box);
    const std::vector<HWND> boxButtons = driver::Descendants(box, L"iButton");
    ASSERT_FALSE(boxButtons.empty());
    HWND boxClose = boxButtons.front();
    for (HWND b : boxButtons)
        if (WindowRect(b).top < WindowRect(boxClose).top) boxClose = b;
    seen.exitClose = SizeOf(boxClose);
    driver::Pump(500);
    driver::Screenshot(box, Name(dpi, L"3-exit-box"));
    // The close glyph is the one drawn for the scale, not a resampled copy.
    EXPECT_GT(ShareOfDrawnFrame(driver::CaptureScreen(WindowRect(boxClose)), IDB_CAPTION_CLOSE, 3, dpi), 0.9)
        << "exit box's close button at " << dpi << " dpi";
}

// The updater's window, held up by a download that never ends.
void MeasureUpdater(int dpi, Seen& seen)
{
    const DisplayScale scale(dpi);
    ASSERT_TRUE(scale.Set());
    driver::Process updater = StartStalledUpdater(L"display-scale-update");
    ASSERT_TRUE(updater);
    const EndsWithTheTest ender{updater};
    HWND window = nullptr;
    ASSERT_TRUE(driver::PumpUntil([&] { return (window = VisibleWindow(L"UpdateFrm", updater.id())) != nullptr; }, 15000));
    seen.updater = SizeOf(window);
    const std::vector<HWND> buttons = driver::Descendants(window, L"iButton");
    ASSERT_FALSE(buttons.empty());
    seen.updaterClose = SizeOf(buttons.front());
    driver::Pump(500);
    driver::Screenshot(window, Name(dpi, L"4-updater"));
}

void ExpectScaled(SIZE at96, SIZE seen, int dpi, const char* what)
{
    EXPECT_NEAR(seen.cx, rt::ScalePixels(at96.cx, dpi), 2) << what << " width at " << dpi << " dpi";
    EXPECT_NEAR(seen.cy, rt::ScalePixels(at96.cy, dpi), 2) << what << " height at " << dpi << " dpi";
}

void ExpectScaled(const RECT& at96, const RECT& seen, int dpi, const char* what)
{
    EXPECT_NEAR(seen.left, rt::ScalePixels(at96.left, dpi), 2) << what << " left at " << dpi << " dpi";
    EXPECT_NEAR(seen.top, rt::ScalePixels(at96.top, dpi), 2) << what << " top at " << dpi << " dpi";
    EXPECT_NEAR(seen.right, rt::ScalePixels(at96.right, dpi), 2) << what << " right at " << dpi << " dpi";
    EXPECT_NEAR(seen.bottom, rt::ScalePixels(at96.bottom, dpi), 2) << what << " bottom at " << dpi << " dpi";
}

// The splash, held up by the system browser control, which under Wine never completes the login
// page: its picture is the one drawn for the scale, at dpi / 96 times its 96-dpi size.
TEST(DisplayScale, SplashIsScaledByDpiOver96)
{
    for (int dpi : {96, 120, 144, 192}) {
        const DisplayScale scale(dpi);
        ASSERT_TRUE(scale.Set());
        driver::Process client = StartCorvane(Portal(), L"", {L"CORVANE_WEBVIEW=mshtml"});
        ASSERT_TRUE(client);
        const EndsWithTheTest ender{client};
        HWND splash = nullptr;
        ASSERT_TRUE(driver::PumpUntil([&] { return (splash = VisibleWindow(L"LoadFrm", client.id())) != nullptr; }, 15000));
        ExpectScaled(SIZE{356, 122}, SizeOf(splash), dpi, "splash");
        driver::Pump(300);
        driver::Screenshot(splash, Name(dpi, L"0-splash"));
    }
}

TEST(DisplayScale, EveryWindowIsScaledByDpiOver96)
{
    Seen base;
    ASSERT_NO_FATAL_FAILURE(Measure(96, base));
    ASSERT_NO_FATAL_FAILURE(MeasureUpdater(96, base));
    EXPECT_EQ(base.background.cx, 888);
    EXPECT_EQ(base.background.cy, 518);
    for (int dpi : {120, 144, 192}) {
        Seen seen;
        ASSERT_NO_FATAL_FAILURE(Measure(dpi, seen)) << dpi;
        ASSERT_NO_FATAL_FAILURE(MeasureUpdater(dpi, seen)) << dpi;
        ExpectScaled(base.background, seen.background, dpi, "login picture");
        ExpectScaled(base.login, seen.login, dpi, "login window");
        ExpectScaled(base.page.account, seen.page.account, dpi, "account field");
        ExpectScaled(base.page.password, seen.page.password, dpi, "password field");
        ExpectScaled(base.page.submit, seen.page.submit, dpi, "log-in button");
        ExpectScaled(base.page.minimizeLink, seen.page.minimizeLink, dpi, "minimise link");
        // The restored main window shrinks to the work area where its scaled size does not fit.
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const SIZE mainFits{std::min<LONG>(rt::ScalePixels(base.main.cx, dpi), work.right - work.left),
                            std::min<LONG>(rt::ScalePixels(base.main.cy, dpi), work.bottom - work.top)};
        EXPECT_NEAR(seen.main.cx, mainFits.cx, 2) << dpi;
        EXPECT_NEAR(seen.main.cy, mainFits.cy, 2) << dpi;
        ExpectScaled(base.minimizeButton, seen.minimizeButton, dpi, "minimise button");
        ExpectScaled(base.closeButton, seen.closeButton, dpi, "close button");
        EXPECT_NEAR(seen.tabStrip.cy, rt::ScalePixels(base.tabStrip.cy, dpi), 2) << "tab strip height at " << dpi;
        ExpectScaled(base.exitBox, seen.exitBox, dpi, "exit box");
        ExpectScaled(base.exitClose, seen.exitClose, dpi, "exit box's close button");
        ExpectScaled(base.updater, seen.updater, dpi, "updater");
        ExpectScaled(base.updaterClose, seen.updaterClose, dpi, "updater's close button");
    }
}

}  // namespace
