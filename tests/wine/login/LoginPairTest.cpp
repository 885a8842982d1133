// The login pair of a real Corvane.exe against the demo portal: the page's length decides, the
// pair lies on the centred picture with the key colour showing it through, the background drags
// the login window along, and the command URLs close, minimise or hand over.

#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "runtime/DpiScale.h"
#include "runtime/MessageBox.h"
#include "tests/driver/AccessibleWalk.h"
#include "tests/wine/login/LoginTestSupport.h"

namespace {

using namespace logintest;

std::string ReadFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring TempDir()
{
    wchar_t buffer[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, buffer);
    std::wstring dir = buffer;
    if (dir.empty() || dir.back() != L'\\') dir += L'\\';
    return dir;
}

bool Exists(const wchar_t* className, DWORD processId)
{
    return driver::FindTopLevel(className, nullptr, processId) != nullptr;
}

// A rectangle in the client's memory, as the system hands one to the client's window with
// WM_DPICHANGED.
class RectInClient {
public:
    RectInClient(DWORD processId, const RECT& rect)
        : m_process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId))
    {
        if (!m_process) return;
        m_address = ::VirtualAllocEx(m_process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
        if (m_address && !::WriteProcessMemory(m_process, m_address, &rect, sizeof(RECT), nullptr)) m_address = nullptr;
    }
    ~RectInClient()
    {
        if (m_address) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process) ::CloseHandle(m_process);
    }
    RectInClient(const RectInClient&) = delete;
    RectInClient& operator=(const RectInClient&) = delete;
    LPARAM address() const { return reinterpret_cast<LPARAM>(m_address); }

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
};

RECT RelativeTo(HWND window, RECT r)
{
    const RECT origin = WindowRect(window);
    ::OffsetRect(&r, -origin.left, -origin.top);
    return r;
}

TEST(LoginPage, ShorterThan1500CharactersEndsTheProgramWithTheConnectionMessage)
{
    driver::Process client = StartCorvane(Portal() + L"/length/1499");
    ASSERT_TRUE(client);
    SeenBox box;
    ASSERT_TRUE(AnswerMessageBox(client, box));
    EXPECT_EQ(box.title, L"提示");
    EXPECT_EQ(box.text, kNoConnection);
    EXPECT_EQ(box.style, rt::kMsgExclamation);
    for (const std::wstring& window : box.otherWindows) {
        EXPECT_NE(window, L"LoginFrm");
        EXPECT_NE(window, L"LoginBgFrm");
    }
    EXPECT_EQ(client.WaitForExit(10000), 0);
}

TEST(LoginPage, Of1500CharactersShowsThePairAndRemovesTheSplash)
{
    driver::Process client = StartCorvane(Portal() + L"/length/1500");
    ASSERT_TRUE(client);
    ASSERT_TRUE(WaitForLoginPair(client));
    EXPECT_TRUE(driver::PumpUntil([&] { return !Exists(L"LoadFrm", client.id()); }, 5000)) << "the splash is unloaded";
    EXPECT_FALSE(VisibleWindow(L"#32770", client.id()));
    // A screen reader names the picture-only background by the window's caption.
    const auto background = driver::AccessibleTree(driver::FindTopLevel(L"LoginBgFrm", nullptr, client.id()));
    ASSERT_FALSE(background.empty());
    EXPECT_EQ(background[0].role, ROLE_SYSTEM_CLIENT);
    EXPECT_EQ(background[0].name, L"LumoraVeldan客户端");
    EXPECT_FALSE(background[0].state & STATE_SYSTEM_INVISIBLE);
    EXPECT_FALSE(driver::AccessibleTree(driver::FindTopLevel(L"LoginFrm", nullptr, client.id())).empty());
    EXPECT_TRUE(client.Running());
    client.Kill();
}

// Pictures from a server that never answers do not hold the login up (read one after another
// with a 15-second timeout each, three of them kept the splash up for 45 seconds).
TEST(LoginPage, PicturesThatNeverArriveDoNotHoldThePairBack)
{
    driver::Process client = StartCorvane(Portal() + L"/images/3/never");
    ASSERT_TRUE(client);
    EXPECT_TRUE(WaitForLoginPair(client, 15000));
    EXPECT_NE(PortalLog().find("/never/2.png"), std::string::npos) << "the pictures were asked for";
    client.Kill();
}

// A login page with one element of 40,000 attributes held the pair back for seconds; one with a
// link of a megabyte around 2000 pictures ended the client. Both show the pair, and the client
// lives on.
TEST(LoginPage, HostileMarkupShowsThePairAndTheClientLivesOn)
{
    for (const wchar_t* kind : {L"many-attributes", L"long-link"}) {
        driver::Process client = StartCorvane(Portal() + L"/hostile-page/" + kind);
        ASSERT_TRUE(client);
        EXPECT_TRUE(WaitForLoginPair(client, 15000)) << driver::WideToUtf8(kind);
        // The long link's picture comes, and the page is laid out again with it.
        if (std::wstring(kind) == L"long-link") {
            EXPECT_TRUE(driver::PumpUntil([] { return PortalLog().find("/static/logo.png") != std::string::npos; }, 5000));
        }
        driver::Pump(1000);
        EXPECT_TRUE(client.Running()) << driver::WideToUtf8(kind);
        EXPECT_FALSE(VisibleWindow(L"#32770", client.id())) << "no message";
        client.Kill();
    }
}

TEST(LoginPair, LiesOnTheCentredPictureWithTheKeyColourShowingItThrough)
{
    const std::wstring icon = TempDir() + L"vld.ico";
    ::DeleteFileW(icon.c_str());
    Picture picture(L"resources\\login_bg.png");
    ASSERT_EQ(picture.Width(), 888);
    ASSERT_EQ(picture.Height(), 518);
    DesktopPicture desktop;

    driver::Process client = StartCorvane(Portal());
    ASSERT_TRUE(client);
    const LoginPair pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);

    // Placement: the background centred, frameless, the picture's size; the login window exactly
    // on it, owned by it.
    const RECT bg = WindowRect(pair.background);
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(bg.right - bg.left, 888);
    EXPECT_EQ(bg.bottom - bg.top, 518);
    EXPECT_EQ(bg.left, (sw - 888) / 2);
    EXPECT_EQ(bg.top, (sh - 518) / 2);
    const RECT login = WindowRect(pair.login);
    EXPECT_TRUE(::EqualRect(&bg, &login));
    EXPECT_EQ(::GetWindow(pair.login, GW_OWNER), pair.background);
    // The page's browser at the login window's corner, 920 x 625.
    HWND browser = ::GetWindow(pair.login, GW_CHILD);
    ASSERT_TRUE(browser);
    const RECT page = WindowRect(browser);
    EXPECT_EQ(page.left - login.left, 0);
    EXPECT_EQ(page.top - login.top, 0);
    EXPECT_EQ(page.right - page.left, 920);
    EXPECT_EQ(page.bottom - page.top, 625);

    const DWORD bgStyle = static_cast<DWORD>(::GetWindowLongW(pair.background, GWL_STYLE));
    EXPECT_EQ(bgStyle & (WS_CAPTION | WS_THICKFRAME), 0u);
    EXPECT_TRUE(bgStyle & WS_MINIMIZEBOX) << "other bits are kept";
    EXPECT_TRUE(::GetWindowLongW(pair.background, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(::GetWindowLongW(pair.background, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_FALSE(::GetWindowLongW(pair.login, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(driver::WindowText(pair.background), L"LumoraVeldan客户端");
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(pair.login, &key, &alpha, &flags));
    EXPECT_EQ(key, 0x00FEFEFEu);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));

    // The icon file was written. (Wine refuses WM_GETICON from another process, so the icons
    // the taskbar entry carries cannot be read back here.)
    EXPECT_TRUE(ReadFile(icon) == ReadFile(driver::SourceDir() + L"\\resources\\vld.ico"));

    // Pixels: left of the page's panel the page is key-coloured, so the screen shows the
    // background picture there, and the desktop where the picture is transparent.
    const RECT keyed{0, 0, 515, 425};
    driver::Capture shot;
    int opaque = 0, opaqueMatches = 0, transparent = 0, transparentMatches = 0, keyPixels = 0, panel = 0;
    const auto inspect = [&] {
            shot = driver::CaptureScreen(bg);
            opaque = opaqueMatches = transparent = transparentMatches = keyPixels = 0;
            for (int y = keyed.top; y < keyed.bottom; ++y)
                for (int x = keyed.left; x < keyed.right; ++x) {
                    const std::uint32_t argb = picture.At(x, y);
                    if (shot.At(x, y) == 0x00FEFEFE && Colour(argb) != 0x00FEFEFE) ++keyPixels;
                    if (Alpha(argb) == 255) {
                        ++opaque;
                        if (driver::ColorNear(shot.At(x, y), Colour(argb), 8)) ++opaqueMatches;
                    } else if (Alpha(argb) == 0) {
                        ++transparent;
                        if (shot.At(x, y) == DesktopPicture::At(bg.left + x, bg.top + y)) ++transparentMatches;
                    }
                }
            // The page's own panel (520..850, 110..430) lies over the picture's frame.
            panel = shot.CountNear({530, 120, 840, 420}, RGB(0x1E, 0x33, 0x50), 6);
            return opaqueMatches * 100 >= opaque * 98 && transparentMatches * 100 >= transparent * 98 &&
                   panel * 2 >= 310 * 300;
    };
    driver::PumpUntil(inspect, 8000);
    // The page's fields paint themselves a moment later; the picture left in out/ shows them.
    driver::Pump(1000);
    inspect();
    shot.SavePng(driver::OutDir() + L"\\login-pair.png");
    ASSERT_GT(opaque, 100000);
    EXPECT_GE(opaqueMatches * 100, opaque * 98) << opaqueMatches << " of " << opaque << " picture pixels show";
    EXPECT_GE(transparentMatches * 100, transparent * 98)
        << transparentMatches << " of " << transparent << " transparent pixels show the desktop";
    EXPECT_EQ(keyPixels, 0) << "pixels of the key colour itself";
    EXPECT_GE(panel * 2, 310 * 300) << "the page's panel shows on the picture";

    // The footer's text (#404040) stands on the key colour: each of its pixels is either the
    // text's colour or shows what lies behind, with no pale edge blended from the key.
    const COLORREF text = RGB(0x40, 0x40, 0x40);
    int ink = 0, halo = 0;
    for (int y = 440; y < 518; ++y)
        for (int x = 0; x < 888; ++x) {
            const std::uint32_t argb = picture.At(x, y);
            const COLORREF behind = Alpha(argb) == 255 ? Colour(argb)
                                    : Alpha(argb) == 0 ? DesktopPicture::At(bg.left + x, bg.top + y)
                                                       : CLR_INVALID;
            if (behind == CLR_INVALID) continue;  // a blend of the two: neither says anything
            if (shot.At(x, y) == text)
                ++ink;
            else if (!driver::ColorNear(shot.At(x, y), behind, 8))
                ++halo;
        }
    EXPECT_GT(ink, 1000) << "the footer's two lines";
    EXPECT_EQ(halo, 0) << "footer pixels neither text nor background";
    client.Kill();
}

TEST(LoginPair, DraggingTheBackgroundBy100PixelsMovesTheLoginWindowAlong)
{
    driver::Process client = StartCorvane(Portal());
    ASSERT_TRUE(client);
    const LoginPair pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);
    const RECT before = WindowRect(pair.background);

    // A key-coloured point of the page. On Windows the press passes through to the picture
    // below; Wine hit-tests the login window's browser there, so the background hears of the
    // press as a message, and the drag itself is real mouse input.
    const POINT from{before.left + 200, before.top + 300};
    DragMouse(from, {from.x + 100, from.y}, pair.background);
    EXPECT_TRUE(driver::PumpUntil([&] { return WindowRect(pair.background).left == before.left + 100; }, 3000));
    const RECT bg = WindowRect(pair.background);
    EXPECT_EQ(bg.left, before.left + 100);
    EXPECT_EQ(bg.top, before.top);
    EXPECT_TRUE(driver::PumpUntil(
        [&] {
            const RECT login = WindowRect(pair.login);
            return ::EqualRect(&bg, &login) != FALSE;
        },
        3000));

    // Moved on to a monitor of 120 dpi, the pair scales as one: the picture drawn for 1.25 at the
    // corner the system offers (whatever size it offers), moved in just enough to stay on the work
    // area, the login window on it, the browser 1.25 times as large, the page laid out at 120 dpi.
    std::vector<HWND> fields;
    ASSERT_TRUE(driver::PumpUntil([&] { return (fields = driver::Descendants(pair.login, L"Edit")).size() == 2; }, 15000));
    const RECT account96 = RelativeTo(pair.login, WindowRect(fields[0]));
    const RectInClient offered(client.id(), RECT{bg.left - 40, bg.top + 10, bg.left - 40 + 1000, bg.top + 10 + 600});
    ASSERT_NE(offered.address(), 0);
    ::SendMessageW(pair.background, 0x02E0, MAKEWPARAM(120, 120), offered.address());
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = std::min<int>(bg.left - 40, work.right - 1110);
    ASSERT_LT(left, bg.left - 40) << "the offered corner lets the scaled pair reach past the screen";
    const RECT moved{left, bg.top + 10, left + 1110, bg.top + 10 + 648};
    const auto glued = [&] {
        const RECT now = WindowRect(pair.background), login = WindowRect(pair.login);
        return ::EqualRect(&now, &moved) && ::EqualRect(&login, &moved);
    };
    EXPECT_TRUE(driver::PumpUntil(glued, 3000));
    const std::vector<HWND> views = driver::Descendants(pair.login, L"CorvaneLiteWebView");
    ASSERT_EQ(views.size(), 1u);
    const RECT view = WindowRect(views.front());
    EXPECT_EQ(view.right - view.left, 1150);
    EXPECT_EQ(view.bottom - view.top, 781);
    const RECT account = RelativeTo(pair.login, WindowRect(fields[0]));
    for (const auto& [seen, at96] : {std::pair{account.left, account96.left}, {account.top, account96.top},
                                     {account.right, account96.right}, {account.bottom, account96.bottom}})
        EXPECT_NEAR(seen, rt::ScalePixels(at96, 120), 1);
    // The system's own notice to the login window, with a rectangle of its choosing, only glues
    // it to the picture again.
    const RectInClient elsewhere(client.id(), RECT{0, 0, 500, 400});
    ::SendMessageW(pair.login, 0x02E0, MAKEWPARAM(120, 120), elsewhere.address());
    EXPECT_TRUE(glued());
    driver::Pump(300);
    SaveScreen(L"login_pair_moved_to_120_dpi");
    client.Kill();
}

TEST(LoginPair, ClosingEitherWindowClosesThePairAndEndsTheProgram)
{
    for (const bool closeLogin : {true, false}) {
        SCOPED_TRACE(closeLogin ? "Alt+F4 on the page" : "close on the taskbar entry");
        driver::Process client = StartCorvane(Portal());
        ASSERT_TRUE(client);
        const LoginPair pair = WaitForLoginPair(client);
        ASSERT_TRUE(pair);
        ::PostMessageW(closeLogin ? pair.login : pair.background, WM_CLOSE, 0, 0);
        EXPECT_EQ(client.WaitForExit(15000), 0);
    }
}

TEST(LoginPair, RightClickOnThePageOpensNoMenu)
{
    driver::Process client = StartCorvane(Portal());
    ASSERT_TRUE(client);
    const LoginPair pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);
    const RECT bg = WindowRect(pair.background);
    RightClickAt({bg.left + 700, bg.top + 380});
    driver::Pump(700);
    EXPECT_FALSE(VisibleWindow(L"#32768", client.id()));
    EXPECT_TRUE(client.Running());
    client.Kill();
}

TEST(LoginCommands, MinimizeTakesThePairDownAndRestoringBringsItBackAsItWas)
{
    driver::Process client = StartCorvane(PortalThen(L"app://minimize"));
    ASSERT_TRUE(client);
    const LoginPair pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);
    const RECT bg = WindowRect(pair.background);
    const RECT login = WindowRect(pair.login);

    ASSERT_TRUE(driver::PumpUntil(
        [&] { return ::IsIconic(pair.background) && !::IsWindowVisible(pair.login); }, 10000));
    EXPECT_TRUE(client.Running());

    // As a click on the taskbar entry would.
    ::PostMessageW(pair.background, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(driver::PumpUntil(
        [&] { return !::IsIconic(pair.background) && ::IsWindowVisible(pair.login); }, 10000));
    const RECT bgAfter = WindowRect(pair.background);
    const RECT loginAfter = WindowRect(pair.login);
    EXPECT_TRUE(::EqualRect(&bg, &bgAfter));
    EXPECT_TRUE(::EqualRect(&login, &loginAfter));
    client.Kill();
}

struct ExitCase {
    const char* name;
    std::wstring target;
};

TEST(LoginCommands, ExitGameAnywhereInTheUrlEndsTheProgram)
{
    const ExitCase cases[] = {
        {"in a query", Portal() + L"/pcLogin/?next=app://exitgame"},
        {"after minimize", L"app://minimize?then=app://exitgame"},
    };
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.name);
        driver::Process client = StartCorvane(PortalThen(c.target));
        ASSERT_TRUE(client);
        ASSERT_TRUE(WaitForLoginPair(client));
        EXPECT_EQ(client.WaitForExit(15000), 0);
        EXPECT_FALSE(VisibleWindow(L"#32770", client.id()));
    }
    // The command was cancelled: the page with it in its query was never asked for.
    EXPECT_EQ(PortalLog().find("next=app://exitgame"), std::string::npos);
}

TEST(LoginCommands, CommandInCapitalLettersIsFollowedByTheBrowser)
{
    driver::Process client = StartCorvane(PortalThen(Portal() + L"/pcLogin/?next=APP://EXITGAME"));
    ASSERT_TRUE(client);
    ASSERT_TRUE(WaitForLoginPair(client));
    EXPECT_TRUE(driver::PumpUntil([] { return PortalLog().find("next=APP://EXITGAME") != std::string::npos; }, 10000));
    driver::Pump(500);
    EXPECT_TRUE(client.Running());
    EXPECT_TRUE(WaitForLoginPair(client, 3000));
    client.Kill();
}

TEST(LoginCommands, StartCommandHandsFieldOneToTheMainWindowAndClosesThePair)
{
    const std::wstring game = Portal() + L"/game/?account=three";
    driver::Process client =
        StartCorvane(PortalThen(L"app://loadgame|" + game + L"|" + Portal() + L"/game/?account=extra"));
    ASSERT_TRUE(client);
    ASSERT_TRUE(WaitForLoginPair(client));
    ASSERT_TRUE(WaitForMainWindow(client, 10000));
    EXPECT_TRUE(driver::PumpUntil(
        [&] { return !Exists(L"LoginFrm", client.id()) && !Exists(L"LoginBgFrm", client.id()); }, 5000))
        << "the pair is unloaded";
    // The main window opened exactly field 1.
    EXPECT_TRUE(driver::PumpUntil([] { return PortalLog().find("\"query\": \"account=three\"") != std::string::npos; },
                                  15000));
    EXPECT_EQ(PortalLog().find("account=extra"), std::string::npos);
    EXPECT_TRUE(client.Running());
    client.Kill();
}

// Without field 1, or with one that is not a web address, nothing starts and the page stays.
TEST(LoginCommands, StartCommandWithoutAWebAddressKeepsTheLoginWindow)
{
    for (const wchar_t* command : {L"app://loadgame", L"app://loadgame|", L"app://loadgame|file:///C:/x",
                                   L"app://loadgame|\\\\127.0.0.1\\s\\x.html", L"app://loadgame|javascript:alert(1)"}) {
        SCOPED_TRACE(driver::WideToUtf8(command));
        driver::Process client = StartCorvane(PortalThen(command));
        ASSERT_TRUE(client);
        const LoginPair pair = WaitForLoginPair(client);
        ASSERT_TRUE(pair);
        driver::Pump(2500);  // the page navigates a second after it has loaded
        EXPECT_TRUE(client.Running());
        EXPECT_TRUE(::IsWindowVisible(pair.login));
        EXPECT_TRUE(::IsWindowVisible(pair.background));
        EXPECT_FALSE(Exists(L"WebMainFrm", client.id()));
        EXPECT_FALSE(VisibleWindow(L"#32770", client.id()));
        client.Kill();
    }
}

}  // namespace
