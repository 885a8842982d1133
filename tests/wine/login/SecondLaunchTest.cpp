// A later launch of Corvane.exe while a client runs: it brings the running client back, or waits
// a few seconds for one that is starting or ending, and ends without showing anything. Every case
// counts the Corvane.exe processes left.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "tests/wine/login/LoginTestSupport.h"
#include "tests/wine/mainwindow/MainWindowTestSupport.h"

namespace {

using namespace logintest;

std::size_t Clients() { return driver::ProcessesNamed(L"Corvane.exe").size(); }

// The application the player was using: a window of the test in front of the client.
class OtherApplication {
public:
    OtherApplication()
        : m_hwnd(::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                                   nullptr, nullptr))
    {
        ::SetForegroundWindow(m_hwnd);
        driver::PumpUntil([&] { return ::GetForegroundWindow() == m_hwnd; }, 5000);
    }
    ~OtherApplication() { ::DestroyWindow(m_hwnd); }
    OtherApplication(const OtherApplication&) = delete;
    OtherApplication& operator=(const OtherApplication&) = delete;

private:
    HWND m_hwnd;
};

// Launches Corvane.exe again and expects it to end with 0, having shown no window.
void LaunchAgain(const std::wstring& portal, const std::wstring& arguments = L"")
{
    driver::Process later = StartCorvane(portal, arguments);
    ASSERT_TRUE(later);
    bool windowSeen = false;
    EXPECT_EQ(WaitForExitShowingNothing(later, windowSeen), 0);
    EXPECT_FALSE(windowSeen);
}

bool InFront(HWND hwnd)
{
    return ::IsWindowVisible(hwnd) && !::IsIconic(hwnd) && ::GetForegroundWindow() == hwnd;
}

TEST(SecondLaunch, BringsBackTheMainWindowShownHiddenOrMinimised)
{
    driver::Process client = StartCorvane(Portal());
    ASSERT_TRUE(client);
    HWND main = LogInToMainWindow(client, L"alice");
    ASSERT_TRUE(main);
    const RECT placed = WindowRect(main);
    const struct {
        const char* state;
        std::function<bool()> enter;
    } cases[] = {
        {"shown behind another window", [] { return true; }},
        {"hidden by F10",
         [&] {
             mainwindow_test::PressF10();
             return mainwindow_test::WaitVisible(main, false);
         }},
        {"minimised",
         [&] {
             ::ShowWindow(main, SW_MINIMIZE);
             return driver::PumpUntil([&] { return ::IsIconic(main) != FALSE; }, 5000);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        OtherApplication other;
        ASSERT_TRUE(c.enter());
        ASSERT_NE(::GetForegroundWindow(), main);
        LaunchAgain(Portal());
        EXPECT_TRUE(driver::PumpUntil([&] { return InFront(main); }, 10000));
        const RECT now = WindowRect(main);
        EXPECT_TRUE(::EqualRect(&now, &placed));
        EXPECT_EQ(Clients(), 1u);
        EXPECT_TRUE(mainwindow_test::TrayIconShown(main));
    }
    client.Kill();
}

TEST(SecondLaunch, BringsBackTheLoginPairWhileThereIsNoMainWindow)
{
    driver::Process client = StartCorvane(Portal());
    ASSERT_TRUE(client);
    const LoginPair pair = WaitForLoginPair(client);
    ASSERT_TRUE(pair);
    OtherApplication other;
    ::ShowWindow(pair.background, SW_MINIMIZE);
    ASSERT_TRUE(driver::PumpUntil([&] { return !::IsWindowVisible(pair.login); }, 5000));
    LaunchAgain(Portal());
    EXPECT_TRUE(driver::PumpUntil(
        [&] { return InFront(pair.login) && ::IsWindowVisible(pair.background) && !::IsIconic(pair.background); },
        10000));
    EXPECT_FALSE(driver::FindTopLevel(L"WebMainFrm", nullptr, client.id()));
    EXPECT_EQ(Clients(), 1u);
    client.Kill();
}

TEST(SecondLaunch, DuringTheSplashWaitsAndEndsLeavingOneClient)
{
    // This login page comes twelve seconds late (the portal options of second_launch_test).
    const std::wstring slowPortal = Portal() + L"/length/3000";
    driver::Process client = StartCorvane(slowPortal);
    ASSERT_TRUE(client);
    ASSERT_TRUE(driver::PumpUntil([&] { return VisibleWindow(L"LoadFrm", client.id()) != nullptr; }, 15000));
    LaunchAgain(slowPortal);
    EXPECT_TRUE(WaitForLoginPair(client, 30000));
    EXPECT_EQ(Clients(), 1u);
    client.Kill();
}

TEST(SecondLaunch, WebSwitchOpensTheHomePageAndEndsWhileAClientRuns)
{
    DefaultBrowserRecorder browser;
    driver::Process client = StartCorvane(Portal());
    ASSERT_TRUE(client);
    ASSERT_TRUE(WaitForLoginPair(client));
    LaunchAgain(Portal() + L"/portal", L"/web");
    EXPECT_TRUE(driver::PumpUntil([&] { return !browser.Opened().empty(); }, 10000));
    EXPECT_EQ(browser.Opened(), driver::WideToUtf8(Portal()) + "/portal/\n");
    EXPECT_EQ(Clients(), 1u);
    client.Kill();
}

TEST(SecondLaunch, TwoLaunchesAtOnceLeaveOneClient)
{
    // Started one right after the other, milliseconds apart.
    driver::Process first = StartCorvane(Portal());
    driver::Process second = StartCorvane(Portal());
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(driver::PumpUntil([&] { return !first.Running() || !second.Running(); }, 30000));
    driver::Process& client = first.Running() ? first : second;
    driver::Process& ended = first.Running() ? second : first;
    EXPECT_EQ(ended.WaitForExit(0), 0);
    EXPECT_TRUE(WaitForLoginPair(client));
    EXPECT_EQ(Clients(), 1u);
    client.Kill();
}

// The directory whose files\ the portal of second_launch_test serves under /files/ and whose
// update.txt is its manifest; with a name, a directory in it.
std::wstring Served(const std::wstring& name = L"")
{
    const char* dir = std::getenv("CORVANE_TEST_SERVED");
    const std::wstring root = driver::UnixToWindowsPath(dir ? dir : "");
    if (name.empty()) return root;
    ::CreateDirectoryW((root + L"\\" + name).c_str(), nullptr);
    return root + L"\\" + name;
}

// The client's own version: no update is offered.
constexpr const char* kCurrentManifest = "version=1.1.0\r\n";

void ServeManifest(const std::string& text)
{
    std::ofstream((Served() + L"\\update.txt").c_str(), std::ios::binary | std::ios::trunc) << text;
}

TEST(SecondLaunch, UpdatePathEndsWithOneClient)
{
    // An installed client and the same program served as its update.
    const std::wstring installed = Served(L"installed") + L"\\Corvane.exe";
    const std::wstring temp = Served(L"temp");
    ASSERT_TRUE(::CopyFileW(CorvaneExe().c_str(), installed.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(CorvaneExe().c_str(), (Served(L"files") + L"\\Corvane.exe").c_str(), FALSE));
    struct CurrentAtTheEnd {
        ~CurrentAtTheEnd() { ServeManifest(kCurrentManifest); }
    } current;
    ServeManifest(kCurrentManifest);

    driver::Process old = StartCorvaneAt(installed, Portal(), L"", {L"TMP=" + temp, L"TEMP=" + temp});
    ASSERT_TRUE(old);
    HWND main = LogInToMainWindow(old, L"alice");
    ASSERT_TRUE(main);

    // "更新", and "是" to the offer: the main window closes and the updater takes over.
    ServeManifest("version=1.2.0\r\nCorvane.exe|" + driver::WideToUtf8(Portal()) + "/files/Corvane.exe\r\n");
    driver::MessageBoxAnswerer offer(IDYES, old.id());
    ASSERT_TRUE(mainwindow_test::ChooseMenuItem(mainwindow_test::ButtonsLeftToRight(main)[2], old.id(), 3));
    ASSERT_TRUE(offer.WaitForCount(1, 15000));
    EXPECT_EQ(offer.Seen()[0].text, L"发现有新版本，是否现在更新！");
    ServeManifest(kCurrentManifest);
    EXPECT_EQ(old.WaitForExit(20000), 0);

    std::vector<DWORD> updaters;
    ASSERT_TRUE(driver::PumpUntil([&] { return !(updaters = driver::ProcessesNamed(L"Update.exe")).empty(); }, 10000));
    driver::MessageBoxAnswerer done(IDOK, updaters[0]);
    // The updater's restart becomes the one client.
    std::vector<DWORD> clients;
    ASSERT_TRUE(driver::PumpUntil(
        [&] {
            clients = driver::ProcessesNamed(L"Corvane.exe");
            return clients.size() == 1 && VisibleWindow(L"LoginBgFrm", clients[0]);
        },
        60000));
    EXPECT_NE(clients.front(), old.id());
    EXPECT_EQ(done.Seen().size(), 1u);
    for (DWORD id : driver::ProcessesNamed(L"Corvane.exe")) driver::Process::Attach(id).Kill();
}

}  // namespace
