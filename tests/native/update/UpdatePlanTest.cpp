// The updater's command line and its targets from the manifest's file lines.

#include <gtest/gtest.h>

#include "updater/UpdatePlan.h"

namespace {

using namespace corvane;

std::vector<std::wstring> Targets(const std::vector<std::wstring>& lines, const std::wstring& dir = L"C:\\Games\\")
{
    std::vector<std::wstring> out;
    for (const auto& f : PlanUpdateFiles(lines, dir)) out.push_back(f.target);
    return out;
}

TEST(UpdaterCommand, SplitsDirectoryAndExecutable)
{
    auto plain = ParseUpdaterCommand(L"C:\\Games|C:\\Games\\Corvane.exe");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->directory, L"C:\\Games\\");
    EXPECT_EQ(plain->executable, L"C:\\Games\\Corvane.exe");
    // With a trailing backslash, and with blanks in the unquoted path.
    EXPECT_EQ(ParseUpdaterCommand(L"C:\\Games\\|C:\\Games\\Corvane.exe")->directory, L"C:\\Games\\");
    auto blanks = ParseUpdaterCommand(L"C:\\My Games|C:\\My Games\\Corvane.exe");
    EXPECT_EQ(blanks->directory, L"C:\\My Games\\");
    EXPECT_EQ(blanks->executable, L"C:\\My Games\\Corvane.exe");
    // A drive root keeps its one backslash.
    EXPECT_EQ(ParseUpdaterCommand(L"D:\\|D:\\Corvane.exe")->directory, L"D:\\");
    // Nothing to do without a command line; without field 1 there is nothing to start.
    EXPECT_FALSE(ParseUpdaterCommand(L""));
    EXPECT_EQ(ParseUpdaterCommand(L"C:\\Games")->executable, L"");
}

TEST(UpdatePlan, TargetsInTheInstallationDirectory)
{
    const std::vector<std::wstring> manifest = {
        L"version=1.2.0",
        L"demo.bin|http://h:8778/files/demo.bin",
        L"Version: 9",  // any letter case
        L"Corvane.exe|http://h/files/Corvane.exe|extra field",
        L"x|Update.dat",  // no "/": the whole URL is the name
    };
    auto files = PlanUpdateFiles(manifest, L"C:\\Games\\");
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].url, L"http://h:8778/files/demo.bin");
    EXPECT_EQ(files[0].name, L"demo.bin");
    EXPECT_EQ(files[1].url, L"http://h/files/Corvane.exe");
    EXPECT_EQ(files[1].target, L"C:\\Games\\Corvane.exe");
    EXPECT_EQ(files[2].target, L"C:\\Games\\Update.dat");

    // The directory with or without its backslash gives the same targets.
    auto a = ParseUpdaterCommand(L"C:\\Games|C:\\Games\\Corvane.exe")->directory;
    auto b = ParseUpdaterCommand(L"C:\\Games\\|C:\\Games\\Corvane.exe")->directory;
    EXPECT_EQ(Targets(manifest, a), Targets(manifest, b));
}

TEST(UpdatePlan, SkipsLinesWithoutAFileAndUnsafeNames)
{
    const std::vector<std::wstring> lines = {
        L"",
        L"no bar at all",
        L"empty url|",
        L"dir|http://h/files/",
        L"up|http://h/..",
        L"dots|http://h/a..b.exe",
        L"back|http://h/..\\..\\Windows\\evil.exe",
        L"drive|http://h/C:evil.exe",
        L"abs|C:\\Windows\\evil.exe",
        L"query|http://h/get?name=a.exe",
        L"device|http://h/CON",
        L"device2|http://h/nul.txt",
        L"port|http://h/com1.exe",
        L"blank|http://h/ . ",
        L"ok|http://h/files/ok.exe",
    };
    EXPECT_EQ(Targets(lines), (std::vector<std::wstring>{L"C:\\Games\\ok.exe"}));
    EXPECT_TRUE(IsSafeFileName(L"Corvane.exe"));
    EXPECT_TRUE(IsSafeFileName(L"更新 说明.txt"));
    EXPECT_TRUE(IsSafeFileName(L"console.dll"));
    EXPECT_FALSE(IsSafeFileName(L""));
}

}  // namespace
