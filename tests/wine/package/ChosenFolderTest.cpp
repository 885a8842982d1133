// A folder the player chose, with blanks and Chinese characters in its path and a file of theirs
// already in it: a silent install there, the client run from it, an update through the demo
// portal, an uninstall refused while the client runs, and the silent uninstall that leaves the
// player's file and folder.

#include <gtest/gtest.h>

#include "tests/wine/login/LoginTestSupport.h"
#include "tests/wine/package/PackageTestSupport.h"
#include "tests/wine/package/PortalUpdate.h"
#include "tests/wine/update/UpdateTestSupport.h"

namespace {

using namespace packagetest;
using updatetest::ListDir;

constexpr const char kPlayersNote[] = "第 3 关：记得先换装备\r\n";

}  // namespace

TEST(ChosenFolder, BlanksAndChineseInstallRunUpdateAndUninstallKeepingThePlayersFile)
{
    ClientsEnder ender;
    RemoveInstallation();
    const std::wstring parent = LocalAppData() + L"\\我的 游戏";
    const std::wstring dir = parent + L"\\Lumora 客户端";
    ::CreateDirectoryW(parent.c_str(), nullptr);
    ::CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring note = dir + L"\\存档 笔记.txt";
    ASSERT_TRUE(updatetest::WriteBytes(note, kPlayersNote));

    // "/D=" comes last and unquoted, blanks included.
    ASSERT_EQ(RunSilently(SetupExe(), L"/S /D=" + dir), 0);
    const std::wstring client = dir + L"\\Corvane.exe";
    EXPECT_EQ(ListDir(dir), (std::vector<std::wstring>{L"Corvane.exe", L"uninst.exe", L"存档 笔记.txt"}));
    EXPECT_TRUE(SameFile(client, BuiltClient()));
    ExpectInstalledIn(dir, ClientVersion(BuiltClient()));

    {
        driver::Process running = driver::Process::Start(client, L"", PortalEnvironment());
        EXPECT_EQ(ImagePath(running.id()), client);
        EXPECT_TRUE(logintest::LogInToMainWindow(running, L"玩家 一号")) << "the client from the chosen folder";
        running.Kill();
    }

    ExpectUpdateThroughDemoPortal(dir);
    const std::vector<std::wstring> updated{L"Corvane.exe", kUpdatedDataFile, L"uninst.exe", L"存档 笔记.txt"};
    EXPECT_EQ(ListDir(dir), updated);

    // A silent uninstall while the client runs removes nothing.
    {
        driver::Process running = driver::Process::Start(client, L"", PortalEnvironment("UPDATE"));
        ASSERT_TRUE(WaitForLoginPairOf(running.id()));
        UninstallSilently(dir);
        EXPECT_TRUE(running.Running());
        EXPECT_EQ(ListDir(dir), updated);
        EXPECT_TRUE(RegString(kUninstallKey, L"DisplayName"));
        EXPECT_EQ(::GetFileAttributesW(DesktopShortcut().c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
        running.Kill();
    }

    EXPECT_EQ(UninstallSilently(dir), 0);
    // The client, the updater's file and the uninstaller go; the player's file and folder stay.
    EXPECT_EQ(ListDir(dir), std::vector<std::wstring>{L"存档 笔记.txt"});
    EXPECT_EQ(updatetest::ReadBytes(note), std::string(kPlayersNote));
    ExpectNothingLeft();
}
