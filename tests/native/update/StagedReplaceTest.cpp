// The all-or-nothing replace against a file system in memory whose moves can be made to fail.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "updater/StagedReplace.h"

namespace {

using namespace corvane;

class FakeFileSystem : public UpdateFileSystem {
public:
    std::map<std::wstring, std::string> files;
    std::set<std::wstring> locked;  // cannot be moved or removed
    std::vector<std::wstring> journal;

    bool Exists(const std::wstring& path) override { return files.count(path) != 0; }
    bool Move(const std::wstring& from, const std::wstring& to) override
    {
        journal.push_back(L"move " + from + L" > " + to);
        if (!files.count(from) || locked.count(from) || locked.count(to)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    bool Remove(const std::wstring& path) override
    {
        if (locked.count(path)) return false;
        return files.erase(path) != 0;
    }
    bool Flush(const std::wstring& path) override { return files.count(path) != 0; }
    std::vector<std::wstring> List(const std::wstring& directory) override
    {
        std::vector<std::wstring> names;
        for (const auto& [path, bytes] : files)
            if (path.starts_with(directory)) names.push_back(path.substr(directory.size()));
        return names;
    }
};

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

TEST(StagedReplace, CommitsEveryFileAndLeavesNothingOfItsOwn)
{
    FakeFileSystem fs = Staged();
    EXPECT_EQ(CommitStaged(fs, kTargets), CommitResult::Committed);
    EXPECT_EQ(fs.files, (std::map<std::wstring, std::string>{{kDir + L"a.dll", "new a"},
                                                            {kDir + L"Corvane.exe", "new exe"},
                                                            {kDir + L"new.dat", "new dat"},
                                                            {kDir + L"player.sav", "mine"}}));
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFileSystem fs = Staged();
        fs.locked.insert(c.locked);
        if (c.locked == StagedPath(kDir + L"Corvane.exe")) {
            fs.locked.clear();
            fs.files.erase(c.locked);
        }
        EXPECT_EQ(CommitStaged(fs, kTargets), CommitResult::RolledBack);
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
    EXPECT_EQ(CommitStaged(fs, kTargets), CommitResult::RollbackIncomplete);
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
    EXPECT_FALSE(IsUpdaterFileName(L"corvane-old"));
}

}  // namespace
