// Corvane.exe itself under Wine: the splash window appears with the size of its picture, its
// transparent pixels show what lies behind, and the command-line switch is exact.

#include <gtest/gtest.h>

#include <objidl.h>
#include <gdiplus.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "runtime/Handles.h"
#include "tests/driver/Driver.h"

namespace {

std::wstring CorvaneExe() { return driver::BuildDir() + L"\\app\\Corvane.exe"; }

// The portal is not needed by the splash; point the client at a port nobody listens on.
const std::vector<std::wstring> kEnvironment = {L"CORVANE_PORTAL_URL=http://127.0.0.1:9"};

HWND WaitForVisibleSplash(const driver::Process& process)
{
    HWND splash = nullptr;
    driver::PumpUntil(
        [&] {
            splash = driver::FindTopLevel(L"LoadFrm", nullptr, process.id());
            return splash && ::IsWindowVisible(splash);
        },
        15000);
    return splash;
}

// Pixels of the splash picture as the file in the repository holds them (ARGB).
class SplashPicture {
public:
    SplashPicture()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
        m_bitmap = new Gdiplus::Bitmap((driver::SourceDir() + L"\\resources\\splash.png").c_str());
    }
    ~SplashPicture()
    {
        delete m_bitmap;
        Gdiplus::GdiplusShutdown(m_token);
    }
    Gdiplus::ARGB At(int x, int y) const
    {
        Gdiplus::Color c;
        m_bitmap->GetPixel(x, y, &c);
        return c.GetValue();
    }
    int Width() const { return static_cast<int>(m_bitmap->GetWidth()); }
    int Height() const { return static_cast<int>(m_bitmap->GetHeight()); }

private:
    ULONG_PTR m_token = 0;
    Gdiplus::Bitmap* m_bitmap = nullptr;
};

TEST(Splash, ShowsThePictureWithItsTransparency)
{
    SplashPicture picture;
    ASSERT_EQ(picture.Width(), 356);
    ASSERT_EQ(picture.Height(), 122);

    // What the screen shows where the splash will be, before it appears (it is centred).
    const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    const RECT expected{(sw - 356) / 2, (sh - 122) / 2, (sw - 356) / 2 + 356, (sh - 122) / 2 + 122};
    const driver::Capture before = driver::CaptureScreen(expected);

    driver::Process corvane = driver::Process::Start(CorvaneExe(), L"", kEnvironment);
    ASSERT_TRUE(corvane);
    HWND splash = WaitForVisibleSplash(corvane);
    ASSERT_TRUE(splash) << "no visible LoadFrm window";

    RECT r;
    ::GetWindowRect(splash, &r);
    EXPECT_EQ(r.right - r.left, 356);
    EXPECT_EQ(r.bottom - r.top, 122);
    EXPECT_TRUE(::GetWindowLongW(splash, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(driver::WindowText(splash), L"LumoraVeldan客户端");

    driver::Capture shot;
    int opaqueMatches = 0, transparentMatches = 0, opaque = 0, transparent = 0;
    driver::PumpUntil(
        [&] {
            shot = driver::CaptureScreen(r);
            opaqueMatches = transparentMatches = opaque = transparent = 0;
            for (int y = 0; y < 122; y += 3) {
                for (int x = 0; x < 356; x += 3) {
                    const Gdiplus::ARGB argb = picture.At(x, y);
                    const int alpha = argb >> 24;
                    const COLORREF png = RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
                    if (alpha == 255) {
                        ++opaque;
                        if (driver::ColorNear(shot.At(x, y), png, 8)) ++opaqueMatches;
                    } else if (alpha == 0 && r.left == expected.left && r.top == expected.top) {
                        ++transparent;
                        if (shot.At(x, y) == before.At(x, y)) ++transparentMatches;
                    }
                }
            }
            return opaque > 0 && opaqueMatches * 100 >= opaque * 98;
        },
        5000);
    shot.SavePng(driver::OutDir() + L"\\splash.png");

    ASSERT_GT(opaque, 1000);
    EXPECT_GE(opaqueMatches * 100, opaque * 98) << opaqueMatches << " of " << opaque << " opaque pixels match";
    ASSERT_GT(transparent, 0) << "the picture has transparent edges";
    EXPECT_GE(transparentMatches * 100, transparent * 98)
        << transparentMatches << " of " << transparent << " transparent pixels show the desktop";

    // For now a click on the splash ends the program.
    ::PostMessageW(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(178, 61));
    EXPECT_EQ(corvane.WaitForExit(10000), 0);
}

TEST(Splash, OnlyTheExactWebSwitchCounts)
{
    for (const wchar_t* args : {L"/WEB", L"/web ", L"/web2"}) {
        driver::Process corvane = driver::Process::Start(CorvaneExe(), args, kEnvironment);
        ASSERT_TRUE(corvane);
        EXPECT_TRUE(WaitForVisibleSplash(corvane)) << "normal start-up expected for " << driver::WideToUtf8(args);
        corvane.Kill();
    }
}

// Wine hands URLs to the Unix browser named in its registry; a recording script stands in.
class DefaultBrowserRecorder {
public:
    DefaultBrowserRecorder()
    {
        const std::string source = std::getenv("CORVANE_SOURCE_DIR") ? std::getenv("CORVANE_SOURCE_DIR") : "";
        const std::string build = std::getenv("CORVANE_BUILD_DIR") ? std::getenv("CORVANE_BUILD_DIR") : "";
        m_logUnix = build + "/opened-urls.log";
        m_log = driver::UnixToWindowsPath(m_logUnix);
        ::DeleteFileW(m_log.c_str());
        const std::wstring script = driver::Utf8ToWide(source + "/tests/wine/data/record-url");
        ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &m_key, nullptr);
        ::RegSetValueExW(m_key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(script.c_str()),
                         static_cast<DWORD>((script.size() + 1) * sizeof(wchar_t)));
    }
    ~DefaultBrowserRecorder()
    {
        ::RegDeleteValueW(m_key, L"Browsers");
        ::RegCloseKey(m_key);
    }
    std::string Opened() const
    {
        std::ifstream in(m_log.c_str());
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    HKEY m_key = nullptr;
    std::string m_logUnix;
    std::wstring m_log;
};

TEST(Splash, WebSwitchOpensTheHomePageAndEndsWithoutTheSplash)
{
    DefaultBrowserRecorder browser;
    driver::Process corvane = driver::Process::Start(
        CorvaneExe(), L"/web",
        {L"CORVANE_PORTAL_URL=http://127.0.0.1:9/portal"});
    ASSERT_TRUE(corvane);
    bool splashSeen = false;
    driver::PumpUntil(
        [&] {
            HWND splash = driver::FindTopLevel(L"LoadFrm", nullptr, corvane.id());
            splashSeen = splashSeen || (splash && ::IsWindowVisible(splash));
            return !corvane.Running();
        },
        15000);
    EXPECT_EQ(corvane.WaitForExit(1000), 0);
    EXPECT_FALSE(splashSeen);
    EXPECT_TRUE(driver::PumpUntil([&] { return !browser.Opened().empty(); }, 10000));
    EXPECT_EQ(browser.Opened(), "http://127.0.0.1:9/portal/\n");
}

}  // namespace
