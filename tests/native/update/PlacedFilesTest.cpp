// The record of placed files: what the updater writes after a commit and what a reader that
// splits lines as the uninstaller does takes from it.

#include <gtest/gtest.h>

#include "tests/native/update/FakeFileSystem.h"
#include "updater/PlacedFiles.h"

namespace {

using namespace corvane;
using updatetest::FakeFileSystem;

const std::wstring kDir = L"C:\\Games\\";

TEST(PlacedFiles, ReadsOnlyWholeLinesOfSafeNames)
{
    const std::wstring longName(kMaxRecordedName, L'x');
    const std::wstring tooLong(kMaxRecordedName + 1, L'y');
    struct Case {
        const char* what;
        std::wstring text;
        std::vector<std::wstring> names;
    };
    const Case cases[] = {
        {"plain", L"Corvane.exe\r\nlib.dll\r\n", {L"Corvane.exe", L"lib.dll"}},
        {"empty", L"", {}},
        {"last line without its end", L"a.dll\r\nb.dll", {L"a.dll"}},
        // A bare LF or CR splits a line for the uninstaller: neither piece is a name.
        {"bare LF", L"a.dll\nevil.dll\r\nok.dll\r\n", {L"ok.dll"}},
        {"bare CR", L"a.dll\revil.dll\r\nok.dll\r\n", {L"ok.dll"}},
        {"LF CR", L"a.dll\n\revil.dll\r\nok.dll\r\n", {L"ok.dll"}},
        {"CR CR LF", L"a.dll\r\r\nok.dll\r\n", {L"ok.dll"}},
        {"empty line", L"\r\nok.dll\r\n", {L"ok.dll"}},
        {"longest name", longName + L"\r\n", {longName}},
        {"longer name", tooLong + L"\r\nok.dll\r\n", {L"ok.dll"}},
        {"unsafe names", L"..\\x.dll\r\nCON.txt\r\nA~1.DLL\r\nx.\r\n*.*\r\nok.dll\r\n", {L"ok.dll"}},
        {"duplicates", L"Corvane.exe\r\nCORVANE.EXE\r\ncorvane.exe\r\n", {L"Corvane.exe"}},
        {"the record itself", L"update.corvane-files\r\nok.dll\r\n", {L"ok.dll"}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParsePlacedFiles(c.text), c.names) << c.what;
    const std::vector<std::wstring> names = {L"a.dll", L"更新.txt"};
    EXPECT_EQ(ParsePlacedFiles(PlacedFilesText(names)), names);
}

TEST(PlacedFiles, EachUpdateAddsItsNamesThroughAStagedRecord)
{
    FakeFileSystem fs;
    const std::wstring record = PlacedFilesPath(kDir);
    EXPECT_EQ(record, L"C:\\Games\\update.corvane-files");
    ASSERT_TRUE(RecordPlacedFiles(fs, kDir, {L"Corvane.exe", L"a.dll"}));
    EXPECT_EQ(fs.files[record], "Corvane.exe\r\na.dll\r\n");
    // A name placed again moves to the end; the record is replaced by a move, never rewritten.
    ASSERT_TRUE(RecordPlacedFiles(fs, kDir, {L"b.dat", L"CORVANE.EXE"}));
    EXPECT_EQ(fs.files[record], "a.dll\r\nb.dat\r\nCORVANE.EXE\r\n");
    EXPECT_EQ(fs.journal.back(), L"move " + StagedPath(record) + L" > " + record);
    EXPECT_EQ(fs.files.size(), 1u);

    // A record that cannot be replaced stays as it was, and nothing is left beside it.
    fs.locked.insert(record);
    EXPECT_FALSE(RecordPlacedFiles(fs, kDir, {L"c.dat"}));
    EXPECT_EQ(fs.files[record], "a.dll\r\nb.dat\r\nCORVANE.EXE\r\n");
    EXPECT_EQ(fs.files.size(), 1u);
}

TEST(PlacedFiles, ABrokenOrOverlongRecordGivesWayToTheNewNames)
{
    FakeFileSystem fs;
    const std::wstring record = PlacedFilesPath(kDir);
    fs.files[record] = "a.dll\nCON\r\nold.dll\r\n";
    ASSERT_TRUE(RecordPlacedFiles(fs, kDir, {L"new.dll"}));
    EXPECT_EQ(fs.files[record], "old.dll\r\nnew.dll\r\n");
    fs.files[record] = std::string(kMaxPlacedFilesChars + 1, 'x');
    ASSERT_TRUE(RecordPlacedFiles(fs, kDir, {L"new.dll"}));
    EXPECT_EQ(fs.files[record], "new.dll\r\n");
}

}  // namespace
