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
        EXPECT_TRUE(LogInToMainWindow(running, L"玩家 一号")) << "the client from the chosen folder";
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

    for (const wchar_t* name : {L"update.txt", L"Update.exe", L"vld.ico"})
        EXPECT_NE(::GetFileAttributesW((TempDir() + L"\\" + name).c_str()), INVALID_FILE_ATTRIBUTES) << "before";
    EXPECT_EQ(UninstallSilently(dir), 0);
    // The client, the updater's file and the uninstaller go; the player's file and folder stay.
    EXPECT_EQ(ListDir(dir), std::vector<std::wstring>{L"存档 笔记.txt"});
    EXPECT_EQ(updatetest::ReadBytes(note), std::string(kPlayersNote));
    ExpectNothingLeft();
}

TEST(ChosenFolder, UninstallerTakesOnlyPlainFileNamesFromTheUpdatersManifest)
{
    ClientsEnder ender;
    RemoveInstallation();
    const std::wstring dir = LocalAppData() + L"\\Games";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    ::CreateDirectoryW((dir + L"\\sub").c_str(), nullptr);
    for (const wchar_t* name : {L"placed.bin", L"notes.txt", L"version-notes.txt", L"sub\\notes.txt", L"a"})
        ASSERT_TRUE(updatetest::WriteBytes(dir + L"\\" + name, "the player's"));
    // Installed before in the default folder: that copy goes with the install elsewhere.
    ASSERT_EQ(RunSilently(SetupExe()), 0);
    ASSERT_EQ(RunSilently(SetupExe(), L"/S /D=" + dir), 0);
    EXPECT_EQ(::GetFileAttributesW(DefaultInstallDir().c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectInstalledIn(dir, ClientVersion(BuiltClient()));

    // The manifest the updater read last, as the uninstaller finds it in the temporary folder.
    ASSERT_TRUE(updatetest::WriteBytes(TempDir() + L"\\update.txt",
                                       "version=1.2.0\r\n"
                                       "placed.bin|http://127.0.0.1/files/placed.bin\r\n"  // the updater's: goes
                                       "x|http://127.0.0.1/files/*\r\n"                    // a wildcard
                                       "x|http://127.0.0.1/files/..\r\n"                   // the parent folder
                                       "x|http://127.0.0.1/files/sub\\notes.txt\r\n"       // a path
                                       "x|http://127.0.0.1/files/a:stream\r\n"             // a stream of "a"
                                       "x|http://127.0.0.1/files/version-notes.txt\r\n"    // a version line
                                       "notes.txt\r\n"                                     // no URL
                                       "\r\n"));
    // And what an updater ended half-way left, beside a player's file of a similar name.
    for (const wchar_t* name : {L"placed.bin.corvane-old", L"a.corvane-new", L"update.corvane-journal"})
        ASSERT_TRUE(updatetest::WriteBytes(dir + L"\\" + name, "the updater's"));
    ASSERT_TRUE(updatetest::WriteBytes(dir + L"\\notes.corvane-old.txt", "the player's"));
    EXPECT_EQ(UninstallSilently(dir), 0);
    EXPECT_EQ(ListDir(dir), (std::vector<std::wstring>{L"a", L"notes.corvane-old.txt", L"notes.txt", L"sub",
                                                       L"version-notes.txt"}));
    EXPECT_EQ(ListDir(dir + L"\\sub"), std::vector<std::wstring>{L"notes.txt"});
    ExpectNothingLeft();
}
