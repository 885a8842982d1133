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
    const std::vector<std::wstring> updated{L"Corvane.exe", kUpdatedDataFile, L"uninst.exe", L"update.corvane-files",
                                            L"存档 笔记.txt"};
    EXPECT_EQ(ListDir(dir), updated);

    // A manifest the check refuses never takes the place of the one it last accepted.
    const std::wstring manifest = TempDir() + L"\\update.txt";
    const auto verified = updatetest::ReadBytes(manifest);
    ASSERT_TRUE(verified);
    {
        std::vector<std::wstring> environment = PortalEnvironment();
        environment[1] = L"CORVANE_UPDATE_URL=" + driver::Portal() + L"/hostile/unsigned/update.txt";
        driver::Process forged = driver::Process::Start(client, L"", environment);
        driver::MessageBoxAnswerer answerer(IDYES, forged.id());
        EXPECT_TRUE(WaitForLoginPairOf(forged.id()));
        EXPECT_TRUE(answerer.Seen().empty());
        forged.Kill();
    }
    EXPECT_EQ(updatetest::ReadBytes(manifest), verified);
    // Nor is any manifest there what the uninstaller acts on: another program may have written it.
    ASSERT_TRUE(updatetest::WriteBytes(manifest, "version=1.3.0\r\nx|http://127.0.0.1/files/存档 笔记.txt\r\n"));

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

    // The updater's folder went with the update; an updater ended half-way leaves one.
    for (const wchar_t* name : {L"update.txt", L"vld.ico"})
        EXPECT_NE(::GetFileAttributesW((TempDir() + L"\\" + name).c_str()), INVALID_FILE_ATTRIBUTES) << "before";
    const std::wstring leftFolder = TempDir() + L"\\corvane-update-0a1b";
    ::CreateDirectoryW(leftFolder.c_str(), nullptr);
    ASSERT_TRUE(updatetest::WriteBytes(leftFolder + L"\\Update.exe", "an updater ended half-way"));
    EXPECT_EQ(UninstallSilently(dir), 0);
    // The client, the updater's files and the uninstaller go; the player's file and folder stay.
    EXPECT_EQ(ListDir(dir), std::vector<std::wstring>{L"存档 笔记.txt"});
    EXPECT_EQ(updatetest::ReadBytes(note), std::string(kPlayersNote));
    ExpectNothingLeft();
}

TEST(ChosenFolder, UninstallerRemovesOnlyWholeLinesOfPlainNamesFromTheUpdatersRecord)
{
    ClientsEnder ender;
    RemoveInstallation();
    const std::wstring dir = LocalAppData() + L"\\Games";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    ::CreateDirectoryW((dir + L"\\sub").c_str(), nullptr);
    for (const wchar_t* name : {L"placed.bin", L"placed2.bin", L"notes.txt", L"keep.dat", L"keep2.dat", L"sub\\notes.txt",
                                L"a", L"x~1.txt"})
        ASSERT_TRUE(updatetest::WriteBytes(dir + L"\\" + name, "the player's"));
    // Installed before in the default folder: that copy goes with the install elsewhere.
    ASSERT_EQ(RunSilently(SetupExe()), 0);
    ASSERT_EQ(RunSilently(SetupExe(), L"/S /D=" + dir), 0);
    EXPECT_EQ(::GetFileAttributesW(DefaultInstallDir().c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectInstalledIn(dir, ClientVersion(BuiltClient()));

    // The record as the updater keeps it (UTF-16), with every line it never writes: only the two
    // placed files are its.
    const std::string lines = "placed.bin\r\n"
                              "\r\n"
                              "..\\keep.dat\r\n"
                              "sub\r\n"                        // a folder
                              "notes.txt\nkeep.dat\r\n"       // a bare LF: neither piece is a name
                              "x~1.txt\r\n"                    // a short-name alias
                              "a.\r\n"                         // would be "a"
                              "a \r\n"                         // would be "a"
                              "*.*\r\n"
                              "keep.dat.corvane-new\r\n"
                              + std::string(1023, 'z') + "keep2.dat\r\n"  // read in two pieces
                              + "placed2.bin\r\n";
    std::string record;
    for (char c : lines) record += std::string{c, '\0'};
    ASSERT_TRUE(updatetest::WriteBytes(dir + L"\\update.corvane-files", record));
    // A manifest in the temporary folder naming the player's files is not read at all.
    ASSERT_TRUE(updatetest::WriteBytes(TempDir() + L"\\update.txt",
                                       "version=1.2.0\r\nx|http://127.0.0.1/files/notes.txt\r\n"
                                       "x|http://127.0.0.1/files/keep.dat\r\n"));
    // And what an updater ended half-way left, beside a player's file of a similar name.
    for (const wchar_t* name : {L"placed.bin.corvane-old", L"a.corvane-new", L"update.corvane-journal"})
        ASSERT_TRUE(updatetest::WriteBytes(dir + L"\\" + name, "the updater's"));
    ASSERT_TRUE(updatetest::WriteBytes(dir + L"\\notes.corvane-old.txt", "the player's"));
    EXPECT_EQ(UninstallSilently(dir), 0);
    EXPECT_EQ(ListDir(dir), (std::vector<std::wstring>{L"a", L"keep.dat", L"keep2.dat", L"notes.corvane-old.txt",
                                                       L"notes.txt", L"sub", L"x~1.txt"}));
    EXPECT_EQ(ListDir(dir + L"\\sub"), std::vector<std::wstring>{L"notes.txt"});
    ExpectNothingLeft();
}
