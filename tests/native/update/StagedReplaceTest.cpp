// The all-or-nothing replace against a file system in memory whose moves can be made to fail.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

#include "tests/native/update/FakeFileSystem.h"
#include "updater/StagedReplace.h"

namespace {

using namespace corvane;
using updatetest::FakeFileSystem;

const std::wstring kDir = L"C:\\Games\\";
const std::vector<std::wstring> kTargets = {kDir + L"a.dll", kDir + L"Corvane.exe", kDir + L"new.dat"};

// a.dll and Corvane.exe installed, new.dat a file the update adds; all three staged.
FakeFileSystem Staged()
{
    FakeFileSystem fs;
    fs.files = {{kDir + L"a.dll", "old a"},
                {kDir + L"Corvane.exe", "old exe"},
                {kDir + L"player.sav", "mine"},
                {StagedPath(kDir + L"a.dll"), "new a"},
                {StagedPath(kDir + L"Corvane.exe"), "new exe"},
                {StagedPath(kDir + L"new.dat"), "new dat"}};
    return fs;
}

const std::map<std::wstring, std::string> kOld = {
    {kDir + L"a.dll", "old a"}, {kDir + L"Corvane.exe", "old exe"}, {kDir + L"player.sav", "mine"}};
const std::map<std::wstring, std::string> kNew = {{kDir + L"a.dll", "new a"},
                                                  {kDir + L"Corvane.exe", "new exe"},
                                                  {kDir + L"new.dat", "new dat"},
                                                  {kDir + L"player.sav", "mine"}};

// Dies, as a killed process would, at its `killAt`-th change to the files (counted from 0).
struct Killed {};
struct MortalFileSystem : FakeFileSystem {
    int killAt = -1;
    int changes = 0;
    void Change()
    {
        if (changes++ == killAt) throw Killed{};
    }
    bool Move(const std::wstring& from, const std::wstring& to) override
    {
        Change();
        return FakeFileSystem::Move(from, to);
    }
    bool Remove(const std::wstring& path) override
    {
        Change();
        return FakeFileSystem::Remove(path);
    }
    bool WriteDurably(const std::wstring& path, const std::wstring& text) override
    {
        Change();
        return FakeFileSystem::WriteDurably(path, text);
    }
};

TEST(StagedReplace, CommitsEveryFileAndLeavesNothingOfItsOwn)
{
    FakeFileSystem fs = Staged();
    EXPECT_EQ(CommitStaged(fs, kDir, kTargets), CommitResult::Committed);
    EXPECT_EQ(fs.files, kNew);
}

TEST(StagedReplace, AKillAtAnyPointLeavesTheNextRunAllOldOrAllNew)
{
    // A kill at every change of the commit, and again at every change of the next run's clean-up;
    // the run after that finds one whole installation. Past the journal's removal it is the new one.
    MortalFileSystem whole;
    whole.files = Staged().files;
    ASSERT_EQ(CommitStaged(whole, kDir, kTargets), CommitResult::Committed);
    const int commitChanges = whole.changes;
    int newOnes = 0;
    for (int commitKill = 0; commitKill <= commitChanges; ++commitKill) {
        for (int cleanKill = -1; cleanKill < commitChanges; ++cleanKill) {
            SCOPED_TRACE(testing::Message() << "killed at commit change " << commitKill << ", clean-up change "
                                            << cleanKill);
            MortalFileSystem fs;
            fs.files = Staged().files;
            fs.killAt = commitKill;
            try {
                CommitStaged(fs, kDir, kTargets);
            } catch (const Killed&) {
            }
            fs.killAt = cleanKill;
            fs.changes = 0;
            try {
                CleanLeftovers(fs, kDir);
            } catch (const Killed&) {
            }
            fs.killAt = -1;
            EXPECT_TRUE(CleanLeftovers(fs, kDir));
            EXPECT_TRUE(fs.files == kOld || fs.files == kNew);
            newOnes += fs.files == kNew;
        }
    }
    EXPECT_GT(newOnes, 0);
}

TEST(StagedReplace, AnUnfinishedCommitWaitsForAFileInUse)
{
    // Killed with a.dll and Corvane.exe placed, their old files set aside; the client still runs the new
    // program at the next run, so its old one cannot return yet.
    MortalFileSystem fs;
    fs.files = Staged().files;
    fs.killAt = 5;  // the journal, a.dll's two moves, Corvane.exe's two: then new.dat's move
    EXPECT_THROW(CommitStaged(fs, kDir, kTargets), Killed);
    fs.killAt = -1;
    fs.locked.insert(kDir + L"Corvane.exe");
    EXPECT_FALSE(CleanLeftovers(fs, kDir));
    EXPECT_TRUE(fs.files.count(JournalPath(kDir))) << "kept for the next run";
    EXPECT_TRUE(fs.files.count(StagedPath(kDir + L"new.dat"))) << "nothing else is touched";
    fs.locked.clear();
    EXPECT_TRUE(CleanLeftovers(fs, kDir));
    EXPECT_EQ(fs.files, kOld);
}

TEST(StagedReplace, AJournalNotOfTheUpdatersIsRemovedUnread)
{
    const std::string journals[] = {
        "=a.dll",                   // cut short: no move was made
        "=a.dll\n?Corvane.exe\n",  // an unknown mark
        "=..\\player.sav\n",       // outside the directory
        std::string(1 << 21, '='),  // too long to be one
    };
    for (const std::string& journal : journals) {
        SCOPED_TRACE(journal.substr(0, 40));
        FakeFileSystem fs;
        fs.files = kOld;
        fs.files[JournalPath(kDir)] = journal;
        EXPECT_TRUE(CleanLeftovers(fs, kDir));
        EXPECT_EQ(fs.files, kOld);
    }
}

TEST(StagedReplace, AnyFailedMovePutsEverythingBack)
{
    struct Case {
        const char* name;
        std::wstring locked;
    };
    const Case cases[] = {
        {"first target in use", kDir + L"a.dll"},
        {"second target in use", kDir + L"Corvane.exe"},
        {"third cannot be placed", kDir + L"new.dat"},
        {"staged file gone", StagedPath(kDir + L"Corvane.exe")},
        {"no journal can be written", JournalPath(kDir)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileSystem fs = Staged();
        fs.locked.insert(c.locked);
        if (c.locked == StagedPath(kDir + L"Corvane.exe")) {
            fs.locked.clear();
            fs.files.erase(c.locked);
        }
        EXPECT_EQ(CommitStaged(fs, kDir, kTargets), CommitResult::RolledBack);
        EXPECT_EQ(fs.files, kOld);
    }
}

TEST(StagedReplace, AnOldFileThatCannotReturnIsReportedAndKept)
{
    // The third file cannot be placed; on the way back the first old file is refused too.
    struct Blocking : FakeFileSystem {
        bool Move(const std::wstring& from, const std::wstring& to) override
        {
            if (from == SetAsidePath(kDir + L"a.dll")) return false;
            return FakeFileSystem::Move(from, to);
        }
    } fs;
    fs.files = Staged().files;
    fs.locked.insert(kDir + L"new.dat");
    EXPECT_EQ(CommitStaged(fs, kDir, kTargets), CommitResult::RollbackIncomplete);
    EXPECT_EQ(fs.files.at(SetAsidePath(kDir + L"a.dll")), "old a") << "the old file is kept, not deleted";
    EXPECT_EQ(fs.files.at(kDir + L"Corvane.exe"), "old exe");
    EXPECT_EQ(fs.files.count(StagedPath(kDir + L"new.dat")), 0u);
}

TEST(StagedReplace, LeftoversOfAKilledRunAreCleaned)
{
    FakeFileSystem fs;
    fs.files = {{StagedPath(kDir + L"a.dll"), "half"},
                {SetAsidePath(kDir + L"Corvane.exe"), "old exe"},  // killed between the two moves
                {kDir + L"b.dll", "new b"},
                {SetAsidePath(kDir + L"b.dll"), "old b"},          // killed before removing it
                {kDir + L"player.corvane-new.txt", "mine"},
                {kDir + L"upd1234.tmp", "mine too"}};
    CleanLeftovers(fs, kDir);
    EXPECT_EQ(fs.files, (std::map<std::wstring, std::string>{{kDir + L"Corvane.exe", "old exe"},
                                                            {kDir + L"b.dll", "new b"},
                                                            {kDir + L"player.corvane-new.txt", "mine"},
                                                            {kDir + L"upd1234.tmp", "mine too"}}));
    EXPECT_TRUE(IsUpdaterFileName(L"Corvane.exe.CORVANE-OLD"));
    EXPECT_TRUE(IsUpdaterFileName(L"update.corvane-journal"));
    EXPECT_FALSE(IsUpdaterFileName(L"corvane-old"));
}

}  // namespace
