// One player's machine, in order: a silent install into the default folder, the installed
// client against the demo portal, a second install while it runs, the next version installed
// over it through the wizard's pages driven by keys, the list of programs, and the uninstaller's
// pages. Each case starts from what the one before left.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "runtime/Handles.h"
#include "tests/wine/login/LoginTestSupport.h"
#include "tests/wine/package/PackageTestSupport.h"
#include "tests/wine/update/UpdateTestSupport.h"

namespace {

using namespace packagetest;
using updatetest::ListDir;

std::string Narrow(const std::wstring& s) { return driver::WideToUtf8(s); }
std::wstring InstalledClient() { return DefaultInstallDir() + L"\\Corvane.exe"; }

}  // namespace

TEST(DefaultFolder, SetupCarriesTheClientsIconAndVersion)
{
    const std::wstring version = ClientVersion(BuiltClient());
    ASSERT_EQ(::GetFileAttributesW(SetupExe().c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u) << Narrow(SetupExe());
    EXPECT_TRUE(HasIcon(SetupExe()));
    const struct {
        const wchar_t* name;
        std::wstring value;
    } strings[] = {
        {L"ProductVersion", version},
        {L"FileVersion", version},
        {L"CompanyName", VersionString(BuiltClient(), L"CompanyName")},
        {L"ProductName", VersionString(BuiltClient(), L"ProductName")},
        {L"FileDescription", std::wstring(kProduct) + L" 安装程序"},
    };
    for (const auto& s : strings) EXPECT_EQ(VersionString(SetupExe(), s.name), s.value) << Narrow(s.name);
    EXPECT_EQ(VersionString(NextSetupExe(), L"ProductVersion"), L"1.2.0");
    // Per user: the setup asks for no elevation.
    rt::Module setup(::LoadLibraryExW(SetupExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    HRSRC manifest = ::FindResourceW(setup.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_TRUE(manifest);
    const std::string xml(static_cast<const char*>(::LockResource(::LoadResource(setup.get(), manifest))),
                          ::SizeofResource(setup.get(), manifest));
    EXPECT_NE(xml.find("level=\"asInvoker\""), std::string::npos) << xml;
}

TEST(DefaultFolder, SilentInstallPutsFilesShortcutsEntryAndDocumentMode)
{
    RemoveInstallation();
    ASSERT_EQ(RunSilently(SetupExe()), 0);
    const std::wstring dir = DefaultInstallDir();
    EXPECT_EQ(ListDir(dir), (std::vector<std::wstring>{L"Corvane.exe", L"uninst.exe"}));
    EXPECT_TRUE(SameFile(dir + L"\\Corvane.exe", BuiltClient()));
    ExpectInstalledIn(dir, ClientVersion(BuiltClient()));
    // The uninstaller carries the same icon and version.
    EXPECT_TRUE(HasIcon(dir + L"\\uninst.exe"));
    EXPECT_EQ(VersionString(dir + L"\\uninst.exe", L"ProductVersion"), ClientVersion(BuiltClient()));
}

TEST(DefaultFolder, InstalledClientRunsToTheMainWindowAndIsNeverReplacedSilently)
{
    ClientsEnder ender;
    const auto shortcut = ReadShortcut(StartMenuShortcut());
    ASSERT_TRUE(shortcut);
    driver::Process client = driver::Process::Start(shortcut->target, L"", PortalEnvironment());
    ASSERT_TRUE(client);
    EXPECT_EQ(ImagePath(client.id()), InstalledClient());
    HWND main = LogInToMainWindow(client, L"installed");
    ASSERT_TRUE(main);
    driver::Screenshot(main, L"installer-client-main");

    // A silent install of the next version gives up with exit code 2 and leaves it alone: at the
    // main window, and while the client asks about an update, before it has any window of its
    // own (then only its locked file tells).
    const auto expectRefused = [](const driver::Process& running, const char* state) {
        SCOPED_TRACE(state);
        const FILETIME before = LastWrite(InstalledClient());
        EXPECT_EQ(RunSilently(NextSetupExe()), 2);
        EXPECT_TRUE(running.Running());
        EXPECT_TRUE(SameFile(InstalledClient(), BuiltClient()));
        const FILETIME after = LastWrite(InstalledClient());
        EXPECT_EQ(::CompareFileTime(&before, &after), 0);
        EXPECT_EQ(RegString(kUninstallKey, L"DisplayVersion"), ClientVersion(BuiltClient()));
    };
    expectRefused(client, "main window");
    client.Kill();

    driver::Process asking = driver::Process::Start(InstalledClient(), L"", PortalEnvironment("UPDATE"));
    ASSERT_TRUE(driver::WaitForWindow(L"#32770", nullptr, 30000, asking.id())) << "no update question";
    for (const wchar_t* name : {L"WebMainFrm", L"LoadFrm", L"LoginFrm", L"LoginBgFrm"})
        ASSERT_FALSE(::FindWindowW(name, nullptr)) << driver::WideToUtf8(name);
    expectRefused(asking, "update question");
}

TEST(DefaultFolder, NextVersionUpgradesInPlaceThroughThePagesOnceTheClientIsClosed)
{
    ClientsEnder ender;
    driver::Process client = driver::Process::Start(InstalledClient(), L"", PortalEnvironment());
    ASSERT_TRUE(WaitForLoginPairOf(client.id()));

    driver::Process setup = driver::Process::Start(NextSetupExe(), L"", PortalEnvironment());
    ASSERT_TRUE(setup);
    struct SetupEnder {
        driver::Process& setup;
        ~SetupEnder() { setup.Kill(); }
    } setupEnder{setup};
    Wizard wizard(setup.id());

    HWND page = wizard.WaitForPage(L"欢迎使用");
    ASSERT_TRUE(page);
    const driver::Capture welcome = ClientScreenshot(page, L"installer-1-welcome");
    // The product's picture on the left (the large warm white of its moon, which the stock
    // picture does not have), the texts on the right.
    ASSERT_FALSE(welcome.empty());
    const RECT picture{0, 0, welcome.width() / 4, welcome.height()};
    EXPECT_GT(welcome.CountNear(picture, RGB(246, 238, 220), 14), 2000);
    EXPECT_GT(Ink(welcome, {welcome.width() / 3, 0, welcome.width(), welcome.height() / 2}), 200);
    Wizard::PressKeyIn(page, VK_RETURN);

    // The installed version's folder is proposed: the upgrade stays in place.
    page = wizard.WaitForPage(L"选择安装位置");
    ASSERT_TRUE(page);
    const auto edits = driver::Descendants(page, L"Edit");
    ASSERT_FALSE(edits.empty());
    EXPECT_EQ(ControlText(edits[0]), DefaultInstallDir() + L"\\");
    ClientScreenshot(page, L"installer-2-folder");
    Wizard::PressKeyIn(page, VK_RETURN);

    // The client runs: the player is asked, and "重试" while it still runs asks again.
    auto text = wizard.WaitForMessageBox();
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, kClientRunning);
    HWND box = wizard.MessageBoxWindow();
    ClientScreenshot(box, L"installer-3-client-running");
    Wizard::PressKeyIn(box, VK_RETURN);
    ASSERT_TRUE(driver::PumpUntil([&] { HWND again = wizard.MessageBoxWindow(); return again && again != box; }, 20000));
    EXPECT_TRUE(SameFile(InstalledClient(), BuiltClient()));
    client.Kill();
    Wizard::PressKeyIn(wizard.MessageBoxWindow(), VK_RETURN);

    page = wizard.WaitForPage(L"安装程序结束", 60000);
    ASSERT_TRUE(page);
    ClientScreenshot(page, L"installer-4-finish");
    // "完成" with "运行" ticked starts the new client from its folder.
    Wizard::PressKeyIn(page, VK_RETURN);
    EXPECT_EQ(setup.WaitForExit(20000), 0);
    DWORD started = 0;
    EXPECT_TRUE(driver::PumpUntil(
        [&] {
            const auto ids = ProcessesNamed(L"Corvane.exe");
            started = ids.empty() ? 0 : ids[0];
            return started != 0;
        },
        20000));
    EXPECT_EQ(ImagePath(started), InstalledClient());

    EXPECT_EQ(ListDir(DefaultInstallDir()), (std::vector<std::wstring>{L"Corvane.exe", L"uninst.exe"}));
    EXPECT_TRUE(SameFile(InstalledClient(), NextClient()));
    ExpectInstalledIn(DefaultInstallDir(), L"1.2.0");
}

TEST(DefaultFolder, ListEntryThenUninstallerPagesRemoveEverything)
{
    ClientsEnder ender;
    EndProcesses(L"Corvane.exe");
    ASSERT_TRUE(RegString(kUninstallKey, L"DisplayName"));

    // Wine's list of programs reads the entry.
    const std::wstring listFile = TempDir() + L"\\programs.txt";
    driver::Process list = driver::Process::Start(L"C:\\windows\\system32\\cmd.exe",
                                                  L"/c uninstaller.exe --list > \"" + listFile + L"\"");
    ASSERT_GE(list.WaitForExit(30000), 0);
    const std::string listed = updatetest::ReadBytes(listFile).value_or("");
    std::wstring wide(listed.size(), L'\0');
    wide.resize(::MultiByteToWideChar(936, 0, listed.data(), static_cast<int>(listed.size()), wide.data(),
                                      static_cast<int>(wide.size())));
    EXPECT_NE(wide.find(kProduct), std::wstring::npos) << listed;
    // Its window: a property sheet, in whichever process shows it.
    driver::Process panel = driver::Process::Start(L"C:\\windows\\system32\\uninstaller.exe");
    HWND programs = nullptr;
    HWND view = nullptr;
    ASSERT_TRUE(driver::PumpUntil(
        [&] {
            programs = driver::FindTopLevel(L"#32770", L"添加/删除程序");
            const auto views = programs ? driver::Descendants(programs, L"SysListView32") : std::vector<HWND>{};
            view = views.empty() ? nullptr : views[0];
            return view != nullptr;
        },
        20000))
        << "no list of programs";
    EXPECT_TRUE(driver::PumpUntil([&] { return ::SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) >= 1; }, 10000));
    driver::Pump(1000);
    ClientScreenshot(programs, L"installer-5-programs-list");
    ::PostMessageW(programs, WM_COMMAND, IDCANCEL, 0);
    panel.WaitForExit(10000);
    panel.Kill();

    driver::Process uninstaller = driver::Process::Start(DefaultInstallDir() + L"\\uninst.exe");
    ASSERT_TRUE(uninstaller);
    DWORD copy = 0;
    ASSERT_TRUE(driver::PumpUntil([&] { return (copy = UninstallerCopy()) != 0; }, 20000));
    Wizard wizard(copy);
    HWND page = wizard.WaitForPage(L"从本机卸载");
    ASSERT_TRUE(page);
    ClientScreenshot(page, L"uninstaller-1-confirm");
    Wizard::PressKeyIn(page, VK_RETURN);
    page = wizard.WaitForPage(L"卸载程序成功完成卸载", 60000);
    ASSERT_TRUE(page);
    ClientScreenshot(page, L"uninstaller-2-done");
    Wizard::PressKeyIn(page, VK_RETURN);
    EXPECT_TRUE(driver::PumpUntil([] { return UninstallerCopy() == 0; }, 20000));

    // The default folder held only what was installed: it goes too.
    EXPECT_EQ(::GetFileAttributesW(DefaultInstallDir().c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectNothingLeft();
}
