// The update check: Corvane.exe at start-up against a portal whose manifest names another
// version, and the on-demand mode called in this process.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/CheckForUpdate.h"
#include "runtime/Handles.h"
#include "runtime/MessageBox.h"
#include "tests/driver/Driver.h"
#include "tests/wine/update/UpdateTestSupport.h"

namespace {

using namespace updatetest;

// Corvane.exe copied into an installation directory with a blank in its name, started with a
// temporary directory of its own and the main portal as its portal.
class ClientRun {
public:
    explicit ClientRun(const std::wstring& name)
        : inst(FreshDir(L"client " + name)), temp(FreshDir(L"client temp " + name)), marker(temp + L"\\marker.txt")
    {
        ::CopyFileW((driver::BuildDir() + L"\\app\\Corvane.exe").c_str(), (inst + L"\\Corvane.exe").c_str(), FALSE);
    }

    driver::Process Start(const std::wstring& manifestUrl = {}, const std::wstring& arguments = L"")
    {
        std::vector<std::wstring> environment = {L"TMP=" + temp, L"TEMP=" + temp, L"CORVANE_PORTAL_URL=" + Portal(),
                                                 L"CORVANE_TEST_MARKER=" + marker};
        if (!manifestUrl.empty()) environment.push_back(L"CORVANE_UPDATE_URL=" + manifestUrl);
        return driver::Process::Start(inst + L"\\Corvane.exe", arguments, environment);
    }

    std::wstring inst;
    std::wstring temp;
    std::wstring marker;
};

// Start-up went on: the splash window is up.
bool StartUpContinued(const driver::Process& corvane, DWORD timeoutMs = 15000)
{
    return driver::PumpUntil(
        [&] {
            HWND splash = driver::FindTopLevel(L"LoadFrm", nullptr, corvane.id());
            return splash && ::IsWindowVisible(splash);
        },
        timeoutMs);
}

// The folders the client made for updaters in `temp`.
std::vector<std::wstring> UpdaterFolders(const std::wstring& temp)
{
    std::vector<std::wstring> folders;
    for (const std::wstring& name : ListDir(temp))
        if (name.starts_with(L"corvane-update-")) folders.push_back(name);
    return folders;
}

std::size_t ManifestRequests()
{
    const std::string log = PortalLog();
    std::size_t n = 0;
    for (auto at = log.find("/gamehome/vld/update.txt"); at != std::string::npos;
         at = log.find("/gamehome/vld/update.txt", at + 1))
        ++n;
    return n;
}

// A manifest naming this version, none at all (the portal answers with an error) and a signed
// page without a version line: the start-up asked, then goes on without a word.
TEST(StartUpCheck, SilentWhenCurrentOrWithoutAVersion)
{
    for (const char* served : {"current", "no manifest", "no version line"}) {
        SCOPED_TRACE(served);
        const std::string kind = served;
        if (kind == "current")
            ServeManifest("1.1.0", "");
        else if (kind == "no manifest")
            ::DeleteFileW((WorkDir() + L"\\update.txt").c_str());
        else
            ServeSigned("<html>maintenance</html>\r\n");
        ClientRun run(driver::Utf8ToWide(kind));
        const std::size_t before = ManifestRequests();
        driver::Process corvane = run.Start();
        driver::MessageBoxAnswerer answerer(IDYES, corvane.id());
        EXPECT_TRUE(StartUpContinued(corvane));
        driver::Pump(500);
        EXPECT_TRUE(answerer.Seen().empty());
        EXPECT_EQ(ManifestRequests(), before + 1);
        EXPECT_TRUE(UpdaterFolders(run.temp).empty());
        if (kind == "current") {
            // The manifest stays in the temporary directory, hidden.
            const DWORD attributes = ::GetFileAttributesW((run.temp + L"\\update.txt").c_str());
            ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
            EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
        }
        corvane.Kill();
    }
}

TEST(StartUpCheck, NoContinuesTheStartUp)
{
    ServeManifest("1.0.9", "");
    ClientRun run(L"declined");
    driver::Process corvane = run.Start();
    driver::MessageBoxAnswerer answerer(IDNO, corvane.id());
    answerer.SetRecordStyle(true);
    EXPECT_TRUE(StartUpContinued(corvane));
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].title, L"提示");
    EXPECT_EQ(answerer.Seen()[0].text, L"发现有新版本，是否现在更新！");
    EXPECT_EQ(answerer.Seen()[0].style, rt::kMsgQuestionYesNo);
    EXPECT_TRUE(UpdaterFolders(run.temp).empty());
    corvane.Kill();
}

TEST(StartUpCheck, YesStartsTheUpdaterWhichBringsTheNewClient)
{
    const std::string newClient = ProbeClient("new client" + Pattern(200000, 4));
    WriteBytes(FilesDir() + L"\\Corvane.exe", newClient);
    ServeManifest("1.2.0", "Corvane.exe|" + driver::WideToUtf8(Portal("SLOW")) + "/files/Corvane.exe\r\n");
    ClientRun run(L"accepted");
    driver::Process corvane = run.Start();
    driver::MessageBoxAnswerer answerer(IDYES, corvane.id());

    // The program ends at once, leaving the updater running with its command line.
    EXPECT_EQ(corvane.WaitForExit(15000), 0);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(driver::FindTopLevel(L"LoadFrm", nullptr, corvane.id()), nullptr);
    // The updater runs from a new folder of its own, with a random name, and alone there.
    const std::vector<std::wstring> folders = UpdaterFolders(run.temp);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].size(), std::wstring(L"corvane-update-").size() + 24);
    const std::wstring folder = run.temp + L"\\" + folders[0];
    EXPECT_EQ(ListDir(folder), std::vector<std::wstring>{L"Update.exe"});
    EXPECT_EQ(ReadBytes(folder + L"\\Update.exe"), ReadBytes(driver::BuildDir() + L"\\updater\\Update.exe"));
    EXPECT_FALSE(Exists(run.temp + L"\\Update.exe"));
    DWORD updaterId = 0;
    ASSERT_TRUE(driver::PumpUntil([&] { return (updaterId = FindProcess(L"Update.exe")) != 0; }, 10000));
    const std::wstring commandLine = ProcessCommandLine(updaterId);
    const std::wstring expected = run.inst + L"|" + run.inst + L"\\Corvane.exe";
    EXPECT_EQ(commandLine.substr(commandLine.size() - std::min(commandLine.size(), expected.size() + 1)),
              L" " + expected)
        << driver::WideToUtf8(commandLine);

    // The updater fetches the client and starts it.
    driver::MessageBoxAnswerer updaterAnswerer(IDOK, updaterId);
    updaterAnswerer.SetRecordStyle(true);
    ASSERT_TRUE(driver::PumpUntil([&] { return Exists(run.marker); }, 30000));
    driver::Pump(300);
    EXPECT_EQ(ReadBytes(run.marker), driver::WideToUtf8(run.inst + L"\\Corvane.exe") + "\n");
    EXPECT_TRUE(ReadBytes(run.inst + L"\\Corvane.exe") == newClient);
    ASSERT_EQ(updaterAnswerer.Seen().size(), 1u);
    EXPECT_EQ(updaterAnswerer.Seen()[0].text, L"软件已升至最新版本！");
    EXPECT_EQ(updaterAnswerer.Seen()[0].style, rt::kMsgInformation);
}

// "/web" checks for an update before it opens the portal's home page: the offer stands while no
// browser has been asked for anything. "否" then opens the home page; "是" hands over to the
// updater and opens nothing.
TEST(StartUpCheck, WebSwitchChecksFirstAndAnAcceptedUpdateOpensNoBrowser)
{
    WriteBytes(FilesDir() + L"\\Corvane.exe", ProbeClient("new client for the web switch"));
    ServeManifest("1.2.0", "Corvane.exe|" + driver::WideToUtf8(Portal()) + "/files/Corvane.exe\r\n");
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "yes" : "no");
        driver::DefaultBrowserRecorder browser;
        ClientRun run(answer == IDYES ? L"web accepted" : L"web declined");
        driver::Process corvane = run.Start({}, L"/web");
        HWND box = nullptr;
        ASSERT_TRUE(driver::PumpUntil(
            [&] {
                box = driver::FindTopLevel(L"#32770", nullptr, corvane.id());
                return box && ::IsWindowVisible(box);
            },
            15000));
        EXPECT_EQ(driver::MessageBoxStyle(box), rt::kMsgQuestionYesNo);
        EXPECT_EQ(browser.Opened(), "");
        ::SendMessageW(::GetDlgItem(box, answer), BM_CLICK, 0, 0);
        EXPECT_EQ(corvane.WaitForExit(15000), 0);
        if (answer == IDNO) {
            EXPECT_TRUE(driver::PumpUntil([&] { return !browser.Opened().empty(); }, 10000));
            EXPECT_EQ(browser.Opened(), driver::WideToUtf8(Portal()) + "/\n");
            continue;
        }
        DWORD updaterId = 0;
        ASSERT_TRUE(driver::PumpUntil([&] { return (updaterId = FindProcess(L"Update.exe")) != 0; }, 10000));
        driver::MessageBoxAnswerer updaterAnswerer(IDOK, updaterId);
        EXPECT_TRUE(driver::PumpUntil([&] { return Exists(run.marker); }, 30000)) << "the updater brought the client";
        driver::Pump(1000);
        EXPECT_EQ(browser.Opened(), "");
    }
}

TEST(StartUpCheck, RefusedManifestsLeaveTheStartUpSilent)
{
    // Each would offer 1.2.0 if it were believed. The copy of an earlier check (current) is
    // replaced only by a manifest that arrived whole, within the bounds, and passed the check.
    ServeManifest("1.2.0", "Corvane.exe|" + driver::WideToUtf8(Portal()) + "/files/Corvane.exe\r\n");
    const std::string earlier = SignedManifest("version=1.1.0\r\n");
    ServeManifest("1.2.0", "Corvane.exe|" + driver::WideToUtf8(Portal()) + "/files/Corvane.exe\r\n");
    std::vector<std::string> kinds(std::begin(kRefusedManifests), std::end(kRefusedManifests));
    kinds.insert(kinds.end(), {"cut", "trickle"});
    for (const std::string& kind : kinds) {
        SCOPED_TRACE(kind);
        ClientRun run(L"refused " + driver::Utf8ToWide(kind));
        WriteBytes(run.temp + L"\\update.txt", earlier);
        driver::Process corvane = run.Start(Portal("SIGN") + L"/hostile/" + driver::Utf8ToWide(kind) + L"/update.txt");
        driver::MessageBoxAnswerer answerer(IDYES, corvane.id());
        // A trickle holds the start-up for the check's bound, then it goes on.
        EXPECT_TRUE(StartUpContinued(corvane, kind == "trickle" ? 30000 : 15000));
        driver::Pump(300);
        EXPECT_TRUE(answerer.Seen().empty());
        EXPECT_TRUE(UpdaterFolders(run.temp).empty());
        EXPECT_FALSE(Exists(run.temp + L"\\update.txt.part"));
        // The copy the updater and nothing else would act on stays the last one that passed.
        EXPECT_EQ(ReadBytes(run.temp + L"\\update.txt"), earlier);
        corvane.Kill();
    }
}

// A server that sends its headers a byte a second holds the start-up no longer than the check's
// bound, which covers connecting and the headers too.
TEST(StartUpCheck, HeadersThatTrickleEndTheCheckWithinItsBound)
{
    ClientRun run(L"trickled headers");
    const std::string earlier = SignedManifest("version=1.1.0\r\n");
    WriteBytes(run.temp + L"\\update.txt", earlier);
    driver::Process corvane = run.Start(Portal() + L"/trickle-headers/update.txt");
    driver::MessageBoxAnswerer answerer(IDYES, corvane.id());
    EXPECT_TRUE(StartUpContinued(corvane, 25000));
    driver::Pump(300);
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(ReadBytes(run.temp + L"\\update.txt"), earlier);
    EXPECT_NE(PortalLog().find("/trickle-headers/update.txt"), std::string::npos);
    corvane.Kill();
}

// The folders of updaters that have ended go at the next start; anything else stays.
TEST(StartUpCheck, FoldersOfEndedUpdatersGo)
{
    ServeManifest("1.1.0", "");
    ClientRun run(L"old updater folders");
    for (const wchar_t* name : {L"corvane-update-0011", L"corvane-update-empty", L"other"})
        ::CreateDirectoryW((run.temp + L"\\" + name).c_str(), nullptr);
    WriteBytes(run.temp + L"\\corvane-update-0011\\Update.exe", "an ended updater");
    WriteBytes(run.temp + L"\\other\\Update.exe", "not the client's");
    driver::Process corvane = run.Start();
    EXPECT_TRUE(StartUpContinued(corvane));
    EXPECT_TRUE(driver::PumpUntil([&] { return UpdaterFolders(run.temp).empty(); }, 10000));
    EXPECT_EQ(ReadBytes(run.temp + L"\\other\\Update.exe"), "not the client's");
    corvane.Kill();
}

TEST(StartUpCheck, UpdaterStillRunningLetsTheStartUpGoOn)
{
    // An updater of an earlier update still runs (it holds its mutex): a second one would end at
    // once, so none is written or started.
    ServeManifest("1.2.0", "");
    ClientRun run(L"running updater");
    rt::KernelHandle running(::CreateMutexW(nullptr, FALSE, L"Local\\CorvaneUpdate"));
    ASSERT_TRUE(running);
    driver::Process corvane = run.Start();
    driver::MessageBoxAnswerer answerer(IDYES, corvane.id());
    EXPECT_TRUE(StartUpContinued(corvane));
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_TRUE(UpdaterFolders(run.temp).empty());
    corvane.Kill();
}

// --- On demand, in this process (its version resource reads 1.1.0.0 too) ---------------------

class OnDemandCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        temp = FreshDir(L"on demand temp");
        ::SetEnvironmentVariableW(L"TMP", temp.c_str());
        ::SetEnvironmentVariableW(L"TEMP", temp.c_str());
        ::SetEnvironmentVariableW(L"CORVANE_PORTAL_URL", Portal().c_str());
    }
    static std::wstring temp;
};
std::wstring OnDemandCheck::temp;

TEST_F(OnDemandCheck, SaysSoWhenCurrent)
{
    ServeManifest("1.1.0", "");
    driver::MessageBoxAnswerer answerer(IDOK);
    answerer.SetRecordStyle(true);
    corvane::CheckForUpdate(corvane::UpdateMode::OnDemand);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].title, L"提示");
    EXPECT_EQ(answerer.Seen()[0].text, L"当前版本已是最新，无需更新！");
    EXPECT_EQ(answerer.Seen()[0].style, rt::kMsgExclamation);
}

TEST_F(OnDemandCheck, OffersAnyOtherVersion)
{
    for (const char* version : {"1.0.9", "1.1.0\t", "1.1.1"}) {
        SCOPED_TRACE(version);
        ServeManifest(version, "");
        driver::MessageBoxAnswerer answerer(IDNO);
        answerer.SetRecordStyle(true);
        corvane::CheckForUpdate(corvane::UpdateMode::OnDemand);
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].text, L"发现有新版本，是否现在更新！");
        EXPECT_EQ(answerer.Seen()[0].style, rt::kMsgQuestionYesNo);
    }
}

TEST_F(OnDemandCheck, RefusedManifestSaysItCannotBeVerified)
{
    // Never "current", never an offer; the copy of the check before stays.
    const std::string earlier = SignedManifest("version=1.1.0\r\n");
    for (const char* kind : {"unsigned", "wrong-key", "tampered-line", "short-hash", "replay", "no-issued"}) {
        SCOPED_TRACE(kind);
        WriteBytes(temp + L"\\update.txt", earlier);
        ServeManifest("1.2.0", "Corvane.exe|" + driver::WideToUtf8(Portal()) + "/files/Corvane.exe\r\n");
        ServeHostile(kind);
        driver::MessageBoxAnswerer answerer(IDYES);
        answerer.SetRecordStyle(true);
        corvane::CheckForUpdate(corvane::UpdateMode::OnDemand);
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].text, L"无法验证更新信息，本次不进行更新！");
        EXPECT_EQ(answerer.Seen()[0].style, rt::kMsgExclamation);
        EXPECT_TRUE(UpdaterFolders(temp).empty());
        EXPECT_EQ(ReadBytes(temp + L"\\update.txt"), earlier);
    }
}

TEST_F(OnDemandCheck, RollbackIsOfferedOnlyWhenSignedAfresh)
{
    // The same manifest naming an older version: kept from years ago it is a replay, signed now it
    // is the operator's rollback.
    ServeManifest("1.0.9", "Corvane.exe|" + driver::WideToUtf8(Portal()) + "/files/Corvane.exe\r\n");
    const auto fresh = ReadBytes(WorkDir() + L"\\update.txt");
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh->find("\r\nissued="), std::string::npos);
    ServeHostile("replay");
    {
        driver::MessageBoxAnswerer answerer(IDNO);
        corvane::CheckForUpdate(corvane::UpdateMode::OnDemand);
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].text, L"无法验证更新信息，本次不进行更新！");
    }
    WriteBytes(WorkDir() + L"\\update.txt", *fresh);
    driver::MessageBoxAnswerer answerer(IDNO);
    corvane::CheckForUpdate(corvane::UpdateMode::OnDemand);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, L"发现有新版本，是否现在更新！");
    EXPECT_FALSE(Exists(temp + L"\\Update.exe"));
}

int g_nestedChecks = 0;

void CALLBACK CheckAgain(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    ++g_nestedChecks;
    corvane::CheckForUpdate(corvane::UpdateMode::OnDemand);
}

TEST_F(OnDemandCheck, NotStartedAgainWhileItRuns)
{
    ServeManifest("1.1.0", "");
    // "更新" clicked again while the first check waits for the portal.
    int& nested = g_nestedChecks;
    nested = 0;
    ::SetTimer(nullptr, 0, 0, CheckAgain);
    const std::size_t before = ManifestRequests();
    driver::MessageBoxAnswerer answerer(IDOK);
    corvane::CheckForUpdate(corvane::UpdateMode::OnDemand);
    driver::Pump(300);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(ManifestRequests(), before + 1);
    EXPECT_EQ(answerer.Seen().size(), 1u);
}

TEST_F(OnDemandCheck, QuietWithoutAVersionLineOrUpdater)
{
    // A signed page without a version line: no message.
    ServeSigned("<html>maintenance</html>\r\n");
    {
        driver::MessageBoxAnswerer answerer(IDNO);
        corvane::CheckForUpdate(corvane::UpdateMode::OnDemand);
        driver::Pump(300);
        EXPECT_TRUE(answerer.Seen().empty());
    }
    // This program carries no updater: "是" ends the check without writing or starting anything.
    ServeManifest("1.2.0", "");
    driver::MessageBoxAnswerer answerer(IDYES);
    corvane::CheckForUpdate(corvane::UpdateMode::OnDemand);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_TRUE(UpdaterFolders(temp).empty());
}

TEST_F(OnDemandCheck, FailedDownloadReadsTheManifestLeftBefore)
{
    // The manifest of the last check stays; without the server it is read again.
    ServeManifest("1.1.0", "");
    {
        driver::MessageBoxAnswerer answerer(IDOK);
        corvane::CheckForUpdate(corvane::UpdateMode::OnDemand);
    }
    ::DeleteFileW((WorkDir() + L"\\update.txt").c_str());  // the server now answers 500
    driver::MessageBoxAnswerer answerer(IDOK);
    corvane::CheckForUpdate(corvane::UpdateMode::OnDemand);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, L"当前版本已是最新，无需更新！");
}

}  // namespace
