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

// The names the updater and the uninstaller act on (installer/client.nsh holds the same table).
TEST(SafeFileName, RefusesEveryNameTheSystemReadsAsAnotherThing)
{
    struct Case {
        const wchar_t* name;
        bool safe;
    };
    static const Case cases[] = {
        {L"Corvane.exe", true},
        {L"a", true},
        {L".config", true},
        {L"v1.2.dat", true},
        {L"CONSOLE", true},
        {L"COM10", true},
        {L"LPT", true},
        {L"com1x.dll", true},
        {L"NULL.txt", true},
        {L"CONIN", true},
        {L"名字 有空格.txt", true},
        // The system drops a final dot or blank: the name would be another file's.
        {L"Corvane.exe.", false},
        {L"Corvane.exe ", false},
        {L"a. ", false},
        {L" ", false},
        {L".", false},
        // Short-name aliases.
        {L"CORVAN~1.EXE", false},
        {L"~", false},
        // Devices with any extension, trailing blanks, letter case, superscript port digits.
        {L"CON", false},
        {L"con.txt", false},
        {L"Con .txt", false},
        {L"NUL  ", false},
        {L"nul  .tar.gz", false},
        {L"PRN.exe", false},
        {L"aux", false},
        {L"COM1", false},
        {L"com9.log", false},
        {L"LPT1.dll", false},
        {L"lpt9", false},
        {L"COM\u00b9", false},
        {L"COM\u00b2.txt", false},
        {L"lpt\u00b3", false},
        {L"CONIN$", false},
        {L"conout$.log", false},
        {L"CONOUT$ .txt", false},
        // The updater's own files.
        {L"update.corvane-files", false},
        {L"Corvane.exe.corvane-new", false},
        {L"x.CORVANE-OLD", false},
        {L"update.corvane-journal", false},
        // Paths, streams, wildcards, control characters.
        {L"a\\b", false},
        {L"a/b", false},
        {L"a:b", false},
        {L"*.exe", false},
        {L"a?", false},
        {L"a\tb", false},
        {L"a..b", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSafeFileName(c.name), c.safe) << testing::PrintToString(std::wstring(c.name));
}

TEST(SafeFileName, FoldsTheLetterCaseTheFileSystemIgnores)
{
    static const std::pair<const wchar_t*, const wchar_t*> same[] = {
        {L"Corvane.exe", L"CORVANE.EXE"},
        {L"\u00e9t\u00e9.dat", L"\u00c9T\u00c9.DAT"},
        {L"\u0142\u0105ka", L"\u0141\u0104KA"},
        {L"\u017e", L"\u017d"},
        {L"\u03b1\u03b2", L"\u0391\u0392"},
        {L"\u0434\u0451", L"\u0414\u0401"},
        {L"\uff41", L"\uff21"},
        {L"更新.txt", L"更新.TXT"},
    };
    for (const auto& [a, b] : same) EXPECT_EQ(FoldedFileName(a), FoldedFileName(b)) << testing::PrintToString(std::wstring(a));
    EXPECT_NE(FoldedFileName(L"a\u00f7"), FoldedFileName(L"a\u00d7"));  // division and multiplication signs
    EXPECT_NE(FoldedFileName(L"\u0131"), FoldedFileName(L"I"));
}

TEST(UpdatePlan, SkipsDuplicatesInAnyLetterCaseAndFolders)
{
    const std::vector<std::wstring> lines = {
        L"a|http://h/files/Corvane.exe",
        L"b|http://h/other/CORVANE.EXE",
        L"c|http://h/files/data",
        L"d|http://h/files/\u00c9t\u00e9.dat",
        L"e|http://h/files/\u00e9T\u00c9.DAT",
        L"f|http://h/files/new.dll",
    };
    std::vector<std::wstring> asked;
    const auto isFolder = [&](const std::wstring& target) {
        asked.push_back(target);
        return target == L"C:\\Games\\data";
    };
    std::vector<std::wstring> targets;
    for (const auto& f : PlanUpdateFiles(lines, L"C:\\Games\\", isFolder)) targets.push_back(f.url);
    EXPECT_EQ(targets, (std::vector<std::wstring>{L"http://h/files/Corvane.exe", L"http://h/files/\u00c9t\u00e9.dat",
                                                  L"http://h/files/new.dll"}));
    EXPECT_EQ(asked.size(), 4u);
}

}  // namespace
