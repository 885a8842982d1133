// The main window in a process of its own, driven from this one: DDE execute commands, F10 and
// the tray's notifications from another process, the way out through the exit box, and the
// sudden end when a further login finds the portal gone.

#include <gtest/gtest.h>

#include <windows.h>
#include <ddeml.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/MessageBox.h"
#include "tests/driver/AccessibleWalk.h"
#include "tests/wine/mainwindow/MainWindowTestSupport.h"

namespace {

using mainwindow_test::GameUrl;

const wchar_t* const kService = L"mainwindow-host";

HDDEDATA CALLBACK IgnoreDde(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

std::wstring HostExe()
{
    return driver::BuildDir() + L"\\tests\\wine\\mainwindow\\mainwindow-host.exe";
}

class MainWindowProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        host = new driver::Process(driver::Process::Start(HostExe(), GameUrl(L"alice")));
        ASSERT_TRUE(*host);
        main = driver::WaitForWindow(L"WebMainFrm", nullptr, 20000, host->id());
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(mainwindow_test::WaitVisible(main, true, 10000));
    }
    static void TearDownTestSuite()
    {
        if (host->Running()) host->Kill();
        delete host;
        host = nullptr;
    }

    // Game pages of the host: WebUrl windows inside the main window.
    static int Pages() { return static_cast<int>(driver::Descendants(main, L"WebUrl").size()); }
    static bool WaitForPages(int count)
    {
        return driver::PumpUntil([&] { return Pages() == count; }, 8000);
    }

    static inline driver::Process* host = nullptr;
    static inline HWND main = nullptr;
};

// A DDEML client of its own for one execute command.
bool DdeExecute(const std::wstring& command)
{
    DWORD instance = 0;
    if (::DdeInitializeW(&instance, &IgnoreDde, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return false;
    HSZ service = ::DdeCreateStringHandleW(instance, kService, CP_WINUNICODE);
    HSZ topic = ::DdeCreateStringHandleW(instance, L"CorvaneDDE", CP_WINUNICODE);
    bool done = false;
    if (HCONV conv = ::DdeConnect(instance, service, topic, nullptr)) {
        DWORD result = 0;
        const DWORD bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
        done = ::DdeClientTransaction(reinterpret_cast<LPBYTE>(const_cast<wchar_t*>(command.c_str())), bytes, conv,
                                      nullptr, 0, XTYP_EXECUTE, 10000, &result) != nullptr;
        ::DdeDisconnect(conv);
    }
    ::DdeFreeStringHandle(instance, topic);
    ::DdeFreeStringHandle(instance, service);
    ::DdeUninitialize(instance);
    return done;
}

TEST_F(MainWindowProgram, DdeExecuteAddsOrSelectsAPageAndRestoresAMinimisedWindow)
{
    ASSERT_TRUE(WaitForPages(1));
    const HWND alicePage = driver::Descendants(main, L"WebUrl").front();
    const HWND container = ::GetParent(alicePage);
    ASSERT_TRUE(DdeExecute(GameUrl(L"bob")));
    EXPECT_TRUE(WaitForPages(2));
    // The new page comes on top (the command runs after the transaction: wait for it).
    ASSERT_TRUE(driver::PumpUntil([&] { return ::GetWindow(container, GW_CHILD) != alicePage; }, 10000));
    // An open URL (letter case aside) is selected, not opened again: its page comes on top of
    // the new one and the portal hears nothing.
    const int aliceRequests = mainwindow_test::GameRequests("alice");
    ASSERT_TRUE(DdeExecute(GameUrl(L"ALICE")));
    EXPECT_TRUE(driver::PumpUntil([&] { return ::GetWindow(container, GW_CHILD) == alicePage; }, 10000));
    driver::Pump(700);
    EXPECT_EQ(Pages(), 2);
    EXPECT_EQ(mainwindow_test::GameRequests("alice"), aliceRequests);
    EXPECT_EQ(mainwindow_test::GameRequests("ALICE"), 0);
    // A wrong topic is refused.
    DWORD instance = 0;
    ::DdeInitializeW(&instance, &IgnoreDde, APPCMD_CLIENTONLY, 0);
    HSZ service = ::DdeCreateStringHandleW(instance, kService, CP_WINUNICODE);
    HSZ topic = ::DdeCreateStringHandleW(instance, L"OtherTopic", CP_WINUNICODE);
    EXPECT_EQ(::DdeConnect(instance, service, topic, nullptr), nullptr);
    ::DdeFreeStringHandle(instance, topic);
    ::DdeFreeStringHandle(instance, service);
    ::DdeUninitialize(instance);

    ::ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(driver::PumpUntil([] { return ::IsIconic(main) != FALSE; }, 5000));
    ASSERT_TRUE(DdeExecute(GameUrl(L"carol")));
    EXPECT_TRUE(driver::PumpUntil([] { return !::IsIconic(main); }, 5000));
    EXPECT_TRUE(WaitForPages(3));
}

// Any local program can send execute commands: what is not a web address does nothing at all
// (a minimised window stays down), text longer than an address is refused, and 65 addresses
// leave 64 pages.
TEST_F(MainWindowProgram, DdeOpensOnlyWebAddressesAndAtMost64Pages)
{
    const int before = Pages();
    ::ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(driver::PumpUntil([] { return ::IsIconic(main) != FALSE; }, 5000));
    for (const wchar_t* command : {L"file:///C:/x", L"\\\\127.0.0.1\\s\\x.html", L"javascript:alert(1)"}) {
        SCOPED_TRACE(driver::WideToUtf8(command));
        EXPECT_TRUE(DdeExecute(command)) << "taken, then dropped";
    }
    const std::wstring head = GameUrl(L"long") + L"&x=";
    EXPECT_FALSE(DdeExecute(head + std::wstring(2084 - head.size(), L'a'))) << "one character over the limit";
    EXPECT_FALSE(DdeExecute(std::wstring(1u << 20, L'a')));
    driver::Pump(1000);
    EXPECT_EQ(Pages(), before);
    EXPECT_TRUE(::IsIconic(main));

    // A command may be refused only while 64 others wait, which open 64 pages all the same.
    int accepted = 0;
    for (int i = 0; i < 65; ++i) accepted += DdeExecute(GameUrl(L"dde" + std::to_wstring(i)));
    EXPECT_GE(accepted, 64 - before);
    EXPECT_TRUE(WaitForPages(64));
    driver::Pump(1000);
    EXPECT_EQ(Pages(), 64);
}

TEST_F(MainWindowProgram, F10AndTrayNotificationsFromAnotherProcessToggle)
{
    mainwindow_test::PressF10();
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, false));
    mainwindow_test::PressF10();
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, true));
    ::PostMessageW(main, 6242, 1000, WM_LBUTTONUP);
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, false));
    ::PostMessageW(main, 6242, 1000, WM_LBUTTONUP);
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, true));
    // Right-up opens the menu while the window is hidden.
    ::PostMessageW(main, 6242, 1000, WM_LBUTTONUP);
    ASSERT_TRUE(mainwindow_test::WaitVisible(main, false));
    ::PostMessageW(main, 6242, 1000, WM_RBUTTONUP);
    HWND menu = nullptr;
    EXPECT_TRUE(driver::PumpUntil(
        [&] {
            menu = driver::FindTopLevel(L"#32768", nullptr, host->id());
            return menu && ::IsWindowVisible(menu);
        },
        5000));
    EXPECT_FALSE(::IsWindowVisible(main));
    // Its second item, "隐藏/恢复(F10)", brings the window back.
    if (menu) {
        ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    }
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, true));
}

TEST_F(MainWindowProgram, YesEndsTheProcessAndRemovesTheTrayIcon)
{
    EXPECT_TRUE(mainwindow_test::TrayIconShown(main)) << "the program's icon is in the notification area";
    {
        mainwindow_test::ExitBoxAnswerer answerer(L"NY", host->id());
        ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(answerer.WaitForCount(2, 15000));
    }
    EXPECT_EQ(host->WaitForExit(10000), 0);
    EXPECT_FALSE(mainwindow_test::TrayIconShown(main)) << "the icon left with the program";
}

// A game page of 12,000 fields makes windows of its first fields only: the process keeps the
// windows it needs, and the exit box still opens and ends the program.
TEST(MainWindowBounds, APageOf12000FieldsLeavesTheExitBoxWorking)
{
    driver::Process host = driver::Process::Start(HostExe(), mainwindow_test::Portal() + L"/inputs/12000/");
    ASSERT_TRUE(host);
    HWND main = driver::WaitForWindow(L"WebMainFrm", nullptr, 20000, host.id());
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(mainwindow_test::WaitVisible(main, true, 10000));
    EXPECT_TRUE(driver::PumpUntil([&] { return driver::Descendants(main, L"Edit").size() == 256; }, 30000))
        << driver::Descendants(main, L"Edit").size() << " fields";
    mainwindow_test::ExitBoxAnswerer answerer(L"Y", host.id());
    ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(answerer.WaitForCount(1, 15000));
    EXPECT_EQ(host.WaitForExit(10000), 0);
}

// A sudden end while the main window is up (App::End, as after a fatal message): the host reports
// what the process still held at its last moment, after the main window's own end work. Wine
// would clear a dead process's icon and hot key itself, so only this look tells whether the
// program gave them back.
TEST(MainWindowSuddenEnd, GivesBackTheTrayIconAndF10)
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring report = std::wstring(temp) + L"mainwindow-host-end.txt";
    ::DeleteFileW(report.c_str());
    driver::Process host = driver::Process::Start(HostExe(), GameUrl(L"alice") + L" \"" + report + L"\"");
    ASSERT_TRUE(host);
    HWND main = driver::WaitForWindow(L"WebMainFrm", nullptr, 20000, host.id());
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, true, 10000));
    EXPECT_EQ(host.WaitForExit(20000), 0);
    std::string held;
    if (FILE* f = _wfopen(report.c_str(), L"rb")) {
        char buffer[256];
        held.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
        std::fclose(f);
    }
    EXPECT_EQ(held, "tray icon gone\nF10 free\n");
    ::DeleteFileW(report.c_str());
}

// "登录其他帐号" meets a login page too short to be the portal's: the connection message, and the
// game goes on: the main window stays with its tray icon, and F10 still hides and restores it.
TEST(MainWindowFurtherLogin, TooShortPageKeepsTheGameRunning)
{
    driver::Process host = driver::Process::Start(HostExe(), GameUrl(L"alice"),
                                                  {L"CORVANE_PORTAL_URL=" + mainwindow_test::Portal() + L"/length/1499"});
    ASSERT_TRUE(host);
    HWND main = driver::WaitForWindow(L"WebMainFrm", nullptr, 20000, host.id());
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(mainwindow_test::WaitVisible(main, true, 10000));

    driver::MessageBoxAnswerer answerer(IDOK, host.id());
    answerer.SetRecordStyle(true);
    const std::vector<HWND> buttons = mainwindow_test::ButtonsLeftToRight(main);
    ASSERT_EQ(buttons.size(), 6u);
    EXPECT_TRUE(driver::ClickOn(buttons[0]));
    ASSERT_TRUE(answerer.WaitForCount(1, 20000));
    EXPECT_EQ(answerer.Seen()[0].text, L"未能连接到服务器，请检查网络连接是否正常！");
    EXPECT_EQ(answerer.Seen()[0].style, rt::kMsgExclamation);
    driver::Pump(1000);
    EXPECT_TRUE(host.Running());
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_TRUE(mainwindow_test::TrayIconShown(main));
    EXPECT_EQ(answerer.Seen().size(), 1u);
    // The pair's windows go (each costs Wine a second or two without a window manager).
    EXPECT_TRUE(driver::PumpUntil(
        [&] {
            return !driver::FindTopLevel(L"LoginBgFrm", nullptr, host.id()) &&
                   !driver::FindTopLevel(L"LoginFrm", nullptr, host.id());
        },
        15000));
    mainwindow_test::PressF10();
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, false, 10000));
    mainwindow_test::PressF10();
    EXPECT_TRUE(mainwindow_test::WaitVisible(main, true, 10000));
    host.Kill();
}

// What a screen reader in another process finds in the main window, and the changes it hears.
std::wstring NameOf(HWND hwnd)
{
    const auto tree = driver::AccessibleTree(hwnd);
    return tree.empty() ? L"(none)" : tree[0].name;
}

TEST(MainWindowReader, NamesRolesStatesAndEventsFromAnotherProcess)
{
    driver::Process host = driver::Process::Start(HostExe(), GameUrl(L"alice"));
    ASSERT_TRUE(host);
    const HWND main = driver::WaitForWindow(L"WebMainFrm", nullptr, 20000, host.id());
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(mainwindow_test::WaitVisible(main, true, 10000));
    ASSERT_TRUE(DdeExecute(GameUrl(L"bob")));
    ASSERT_TRUE(DdeExecute(GameUrl(L"carol")));
    ASSERT_TRUE(driver::PumpUntil([&] { return driver::Descendants(main, L"WebUrl").size() == 3; }, 10000));
    const driver::WinEventRecorder events(EVENT_OBJECT_SELECTION, EVENT_OBJECT_NAMECHANGE, host.id());
    ASSERT_TRUE(events);

    // The buttons, picture-only ones named by the window.
    const std::vector<HWND> buttons = mainwindow_test::ButtonsLeftToRight(main);
    ASSERT_EQ(buttons.size(), 6u);
    const wchar_t* names[] = {L"登录其他帐号", L"游戏大厅", L"菜单", L"最小化", nullptr, L"关闭"};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const auto tree = driver::AccessibleTree(buttons[i]);
        ASSERT_EQ(tree.size(), 1u) << i;
        if (names[i]) {
            EXPECT_EQ(tree[0].name, names[i]) << i;
        }
        EXPECT_TRUE(tree[0].role == ROLE_SYSTEM_PUSHBUTTON || tree[0].role == ROLE_SYSTEM_CHECKBUTTON) << i;
        EXPECT_EQ(tree[0].action, L"按下") << i;
        EXPECT_FALSE(tree[0].state & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE)) << i;
    }
    // The maximise button says what it will do, and says it again after it was pressed.
    const HWND minmax = buttons[4];
    const std::wstring before = NameOf(minmax);
    ASSERT_TRUE(before == L"最大化" || before == L"还原") << driver::WideToUtf8(before);
    const std::wstring after = before == L"最大化" ? L"还原" : L"最大化";
    EXPECT_EQ(driver::AccessibleAction(minmax, L"do", 0), S_OK);
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_NAMECHANGE, minmax, CHILDID_SELF, 5000));
    EXPECT_EQ(NameOf(minmax), after);
    EXPECT_EQ(driver::AccessibleAction(minmax, L"do", 0), S_OK);
    EXPECT_TRUE(driver::PumpUntil([&] { return NameOf(minmax) == before; }, 5000));

    // The caption strip.
    const std::vector<HWND> strips = driver::Descendants(main, L"BForm");
    ASSERT_FALSE(strips.empty());
    const auto caption = driver::AccessibleTree(strips.front());
    ASSERT_EQ(caption.size(), 1u);
    EXPECT_EQ(caption[0].role, ROLE_SYSTEM_TITLEBAR);
    EXPECT_FALSE(caption[0].name.empty());

    // The tab strip: three tabs, one selected; a reader's action selects one and closes another.
    const std::vector<HWND> tabStrips = driver::Descendants(main, L"uTab");
    ASSERT_EQ(tabStrips.size(), 1u);
    const HWND strip = tabStrips.front();
    auto tree = driver::AccessibleTree(strip);
    ASSERT_EQ(tree.size(), 7u);
    EXPECT_EQ(tree[0].role, ROLE_SYSTEM_PAGETABLIST);
    int selected = 0;
    for (std::size_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(tree[i].role, ROLE_SYSTEM_PAGETAB);
        EXPECT_FALSE(tree[i].name.empty()) << i;
        selected += (tree[i].state & STATE_SYSTEM_SELECTED) ? 1 : 0;
        EXPECT_EQ(tree[i + 3].name, L"关闭标签");
    }
    EXPECT_EQ(selected, 1);
    const long other = (tree[1].state & STATE_SYSTEM_SELECTED) ? 2 : 1;
    EXPECT_EQ(driver::AccessibleAction(strip, L"do", other), S_OK);
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_SELECTION, strip, other, 5000));
    tree = driver::AccessibleTree(strip);
    ASSERT_EQ(tree.size(), 7u);
    EXPECT_TRUE(tree[std::size_t(other)].state & STATE_SYSTEM_SELECTED);
    const std::wstring closing = tree[3].name;
    EXPECT_EQ(driver::AccessibleAction(strip, L"do", 6), S_OK);  // the third tab's close button
    EXPECT_TRUE(driver::PumpUntil([&] { return driver::Descendants(main, L"WebUrl").size() == 2; }, 10000));
    tree = driver::AccessibleTree(strip);
    ASSERT_EQ(tree.size(), 5u);
    EXPECT_NE(tree[1].name, closing);
    EXPECT_NE(tree[2].name, closing);

    // The exit box: its question as static text, its answers as buttons; "否" answers it.
    ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND box = nullptr;
    ASSERT_TRUE(driver::PumpUntil([&] { return (box = mainwindow_test::FindExitBox(host.id())) != nullptr; }, 10000));
    const std::vector<HWND> labels = driver::Descendants(box, L"CorvaneLabel");
    ASSERT_FALSE(labels.empty());
    const auto question = driver::AccessibleTree(labels.front());
    ASSERT_EQ(question.size(), 1u);
    EXPECT_EQ(question[0].role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_FALSE(question[0].name.empty());
    HWND no = nullptr;
    std::vector<std::wstring> answers;
    for (HWND b : driver::Descendants(box, L"iButton")) {
        answers.push_back(NameOf(b));
        if (answers.back() == L"否") no = b;
    }
    std::sort(answers.begin(), answers.end());
    EXPECT_EQ(answers, (std::vector<std::wstring>{L"关闭", L"否", L"是"}));
    ASSERT_NE(no, nullptr);
    EXPECT_EQ(driver::AccessibleAction(no, L"do", 0), S_OK);
    EXPECT_TRUE(driver::PumpUntil([&] { return !::IsWindowVisible(box); }, 10000));
    EXPECT_TRUE(host.Running());
    host.Kill();
}

}  // namespace
