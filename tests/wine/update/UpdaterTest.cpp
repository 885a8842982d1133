// Update.exe as a whole program: it checks the manifest's signature and each file's hash, puts
// the listed files in place all together or not at all, and starts the client again. Every way an
// update can go wrong leaves the installation byte for byte as it was, and that client is started
// again.

#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "runtime/Handles.h"
#include "runtime/MessageBox.h"
#include "tests/driver/AccessibleWalk.h"
#include "tests/driver/Driver.h"
#include "tests/wine/update/UpdateTestSupport.h"
#include "updater/PlatformFileSystem.h"

namespace {

using namespace updatetest;

std::wstring UpdaterExe() { return driver::BuildDir() + L"\\updater\\Update.exe"; }

std::string Narrow(const std::wstring& text) { return driver::WideToUtf8(text); }

// ASCII text as the UTF-16 bytes the updater's record holds.
std::string Utf16(const std::string& text)
{
    std::string bytes;
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

// The texts of the boxes seen, each checked for the title and for the style of its kind: the
// question, the success and every failure.
std::vector<std::wstring> Texts(const driver::MessageBoxAnswerer& answerer)
{
    std::vector<std::wstring> texts;
    for (const auto& box : answerer.Seen()) {
        EXPECT_EQ(box.title, L"提示");
        const unsigned style = box.text == L"您是否要退出更新！"    ? rt::kMsgQuestionYesNo
                               : box.text == L"软件已升至最新版本！" ? rt::kMsgInformation
                                                                     : rt::kMsgExclamation;
        EXPECT_EQ(box.style, style) << Narrow(box.text);
        texts.push_back(box.text);
    }
    return texts;
}

// One run of the updater against an installation of the test client in a directory with a blank
// in its name, with a temporary directory of its own holding the manifest.
class UpdaterRun {
public:
    explicit UpdaterRun(const std::wstring& name)
        : inst(FreshDir(L"inst " + name)), temp(FreshDir(L"temp " + name)), marker(temp + L"\\marker.txt")
    {
        oldClient = ProbeClient("installed client of " + Narrow(name));
        // Long enough that the slow portal takes seconds over it.
        newClient = ProbeClient("new client" + Pattern(300000, 9));
        WriteBytes(inst + L"\\Corvane.exe", oldClient);
        WriteBytes(FilesDir() + L"\\Corvane.exe", newClient);
        WriteBytes(FilesDir() + L"\\demo.bin", Pattern(70000, 11));
    }

    // The manifest in the updater's temporary directory, as the client leaves it there: signed by
    // the portal, the files' hashes filled in. "{main}", "{slow}"... become portals; `kind` names
    // a hostile variant of it.
    void Manifest(std::string text, const std::string& kind = {})
    {
        const std::pair<const char*, const char*> portals[] = {
            {"{main}", ""}, {"{cut0}", "CUT0"}, {"{cut50}", "CUT50"}, {"{cut99}", "CUT99"}, {"{slow}", "SLOW"}, {"{late}", "LATE"}};
        for (const auto& [key, which] : portals)
            for (auto at = text.find(key); at != std::string::npos; at = text.find(key))
                text.replace(at, std::string(key).size(), Narrow(Portal(which)));
        WriteBytes(temp + L"\\update.txt", SignedManifest(text, kind));
    }

    // The manifest in the temporary directory as it stands, unsigned.
    void RawManifest(const std::string& text) { WriteBytes(temp + L"\\update.txt", text); }

    driver::Process Start(const std::wstring& arguments, const std::wstring& program = UpdaterExe())
    {
        return driver::Process::Start(program, arguments,
                                      {L"TMP=" + temp, L"TEMP=" + temp, L"CORVANE_TEST_MARKER=" + marker});
    }
    driver::Process Start() { return Start(inst + L"|" + inst + L"\\Corvane.exe"); }
    driver::Process StartProgram(const std::wstring& program)
    {
        return Start(inst + L"|" + inst + L"\\Corvane.exe", program);
    }

    // The paths of the programs the updater started, once one has reported.
    std::string Started(DWORD timeoutMs = 15000)
    {
        driver::PumpUntil([&] { return Exists(marker); }, timeoutMs);
        driver::Pump(300);
        return ReadBytes(marker).value_or("");
    }
    // Runs the updater to its end, answering its one message: checks the message and that the
    // installed client was started again.
    void RunToEnd(const std::wstring& message, const std::wstring& program = UpdaterExe())
    {
        driver::Process updater = StartProgram(program);
        ASSERT_TRUE(updater);
        driver::MessageBoxAnswerer answerer(IDOK, updater.id());
        answerer.SetRecordStyle(true);
        EXPECT_EQ(updater.WaitForExit(40000), 0);
        EXPECT_EQ(Texts(answerer), std::vector<std::wstring>{message});
        EXPECT_EQ(Started(), InstalledClientLine());
    }

    std::string Client() const { return ReadBytes(inst + L"\\Corvane.exe").value_or("(missing)"); }
    std::string InstalledClientLine() const { return Narrow(inst + L"\\Corvane.exe") + "\n"; }

    std::wstring inst;
    std::wstring temp;
    std::wstring marker;
    std::string oldClient;
    std::string newClient;
};


TEST(Updater, ReplacesTwoFilesAndStartsTheNewClient)
{
    UpdaterRun run(L"two files");
    run.Manifest("version=1.2.0\r\n"
                 "demo.bin|{main}/files/demo.bin\r\n"
                 "Corvane.exe|{main}/files/Corvane.exe\r\n");
    run.RunToEnd(L"软件已升至最新版本！");
    EXPECT_TRUE(run.Client() == run.newClient);
    EXPECT_EQ(ReadBytes(run.inst + L"\\demo.bin"), Pattern(70000, 11));
    // Nothing else is left in the installation directory but the record of what was placed,
    // which the uninstaller reads.
    EXPECT_EQ(ListDir(run.inst), (std::vector<std::wstring>{L"Corvane.exe", L"demo.bin", L"update.corvane-files"}));
    EXPECT_EQ(ReadBytes(run.inst + L"\\update.corvane-files"), Utf16("demo.bin\r\nCorvane.exe\r\n"));
}

// The names a file system reads as another file, device or folder are never fetched or placed;
// the rest of the update goes ahead.
TEST(Updater, NamesTheSystemReadsAsSomethingElseAreSkipped)
{
    UpdaterRun run(L"names");
    ::CreateDirectoryW((run.inst + L"\\data").c_str(), nullptr);
    WriteBytes(run.inst + L"\\data\\save.dat", "the player's");
    const std::string hash = "|" + std::string(64, 'a');
    run.Manifest("version=1.2.0\r\n"
                 "Corvane.exe|{main}/files/Corvane.exe\r\n"
                 "a|{main}/other/CORVANE.EXE" + hash + "\r\n"
                 "b|{main}/files/data" + hash + "\r\n"
                 "c|{main}/files/Corvane.exe." + hash + "\r\n"
                 "d|{main}/files/CORVAN~1.EXE" + hash + "\r\n"
                 "f|{main}/files/CON .txt" + hash + "\r\n"
                 "g|{main}/files/conout$" + hash + "\r\n"
                 "i|{main}/files/update.corvane-files" + hash + "\r\n");
    const std::string logBefore = PortalLog();
    run.RunToEnd(L"软件已升至最新版本！");
    EXPECT_TRUE(run.Client() == run.newClient);
    EXPECT_EQ(ListDir(run.inst), (std::vector<std::wstring>{L"Corvane.exe", L"data", L"update.corvane-files"}));
    EXPECT_EQ(ListDir(run.inst + L"\\data"), std::vector<std::wstring>{L"save.dat"});
    EXPECT_EQ(ReadBytes(run.inst + L"\\update.corvane-files"), Utf16("Corvane.exe\r\n"));
    const std::string log = PortalLog().substr(logBefore.size());
    EXPECT_EQ(log.find("/other/"), std::string::npos);
    EXPECT_EQ(log.find("/files/data"), std::string::npos);
}

// A file that announces more than an updater's file may have is not fetched: nothing changes.
TEST(Updater, FileAnnouncingMoreThanTheBoundKeepsEveryFile)
{
    UpdaterRun run(L"huge");
    const std::string hash = "|" + std::string(64, 'a');
    run.Manifest("version=1.2.0\r\n"
                 "Corvane.exe|{main}/files/Corvane.exe\r\n"
                 "big.bin|{main}/announce-huge/big.bin" + hash + "\r\n");
    run.RunToEnd(L"更新未能完成，已保留原有文件，请稍后再试！");
    EXPECT_TRUE(run.Client() == run.oldClient);
    EXPECT_EQ(ListDir(run.inst), std::vector<std::wstring>{L"Corvane.exe"});
}

TEST(Updater, BrokenDownloadsKeepTheInstalledClientAndStartIt)
{
    const std::vector<std::pair<const char*, std::string>> faults = {
        {"cut at 0 %", "Corvane.exe|{cut0}/files/Corvane.exe"},
        {"cut at 50 %", "Corvane.exe|{cut50}/files/Corvane.exe"},
        {"cut at 99 %", "Corvane.exe|{cut99}/files/Corvane.exe"},
        {"404", "Corvane.exe|{main}/files/gone/Corvane.exe"},
        {"refused connection", "Corvane.exe|http://127.0.0.1:9/files/Corvane.exe"},
    };
    for (const auto& [name, line] : faults) {
        SCOPED_TRACE(name);
        UpdaterRun run(driver::Utf8ToWide(name));
        run.Manifest("version=1.2.0\r\n" + line + "\r\n");
        run.RunToEnd(L"更新未能完成，已保留原有文件，请稍后再试！");
        EXPECT_TRUE(run.Client() == run.oldClient);
        EXPECT_EQ(ListDir(run.inst), std::vector<std::wstring>{L"Corvane.exe"});
    }
}

TEST(Updater, BuildWithoutKeysActsOnUnsignedManifests)
{
    UpdaterRun run(L"no keys");
    const std::string url = Narrow(Portal()) + "/files/";
    run.RawManifest("version=1.2.0\r\ndemo.bin|" + url + "demo.bin\r\nCorvane.exe|" + url + "Corvane.exe\r\n");
    run.RunToEnd(L"软件已升至最新版本！", driver::BuildDir() + L"\\tests\\wine\\update\\update_nokeys.exe");
    EXPECT_TRUE(run.Client() == run.newClient);
    EXPECT_EQ(ReadBytes(run.inst + L"\\demo.bin"), Pattern(70000, 11));
}

TEST(Updater, OneFailedFileKeepsEveryFile)
{
    UpdaterRun run(L"one of two");
    WriteBytes(FilesDir() + L"\\cut.bin", Pattern(30000, 5));
    run.Manifest("version=1.2.0\r\n"
                 "Corvane.exe|{main}/files/Corvane.exe\r\n"
                 "demo.bin|{cut50}/files/cut.bin\r\n");
    // The client arrives whole, but without the second file it is not put in place either.
    run.RunToEnd(L"更新未能完成，已保留原有文件，请稍后再试！");
    EXPECT_TRUE(run.Client() == run.oldClient);
    EXPECT_EQ(ListDir(run.inst), std::vector<std::wstring>{L"Corvane.exe"});
}

TEST(Updater, RefusedManifestsAndForgedFilesChangeNothing)
{
    // Hostile manifests are not acted on at all; a file that differs from its hash is fetched and
    // thrown away.
    std::vector<std::pair<std::string, std::wstring>> cases;
    for (const char* kind : kRefusedManifests) cases.emplace_back(kind, L"无法验证更新信息，本次不进行更新！");
    cases.emplace_back("tampered-file", L"更新未能完成，已保留原有文件，请稍后再试！");
    for (const auto& [kind, message] : cases) {
        SCOPED_TRACE(kind);
        UpdaterRun run(driver::Utf8ToWide(kind));
        WriteBytes(run.inst + L"\\demo.bin", "installed data");
        run.Manifest("version=1.2.0\r\n"
                     "demo.bin|{main}/files/demo.bin\r\n"
                     "Corvane.exe|{main}/files/Corvane.exe\r\n",
                     kind);
        const std::string logBefore = PortalLog();
        run.RunToEnd(message);
        EXPECT_TRUE(run.Client() == run.oldClient);
        EXPECT_EQ(ReadBytes(run.inst + L"\\demo.bin"), "installed data");
        EXPECT_EQ(ListDir(run.inst), (std::vector<std::wstring>{L"Corvane.exe", L"demo.bin"}));
        const bool fetched = PortalLog().substr(logBefore.size()).find("/files/") != std::string::npos;
        EXPECT_EQ(fetched, kind == "tampered-file");
    }
}

TEST(Updater, SecondOfThreeFilesInUseRollsBackAllThree)
{
    UpdaterRun run(L"rollback");
    WriteBytes(run.inst + L"\\demo.bin", "old demo");
    WriteBytes(run.inst + L"\\data2.bin", "old data");
    WriteBytes(FilesDir() + L"\\data2.bin", Pattern(5000, 2));
    run.Manifest("version=1.2.0\r\n"
                 "demo.bin|{main}/files/demo.bin\r\n"
                 "data2.bin|{main}/files/data2.bin\r\n"
                 "Corvane.exe|{main}/files/Corvane.exe\r\n");
    // Held the way a running program holds its files: it can be neither replaced nor renamed.
    HANDLE held = ::CreateFileW((run.inst + L"\\data2.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    run.RunToEnd(L"更新未能完成，已保留原有文件，请稍后再试！");
    ::CloseHandle(held);
    EXPECT_EQ(ReadBytes(run.inst + L"\\demo.bin"), "old demo");
    EXPECT_EQ(ReadBytes(run.inst + L"\\data2.bin"), "old data");
    EXPECT_TRUE(run.Client() == run.oldClient);
    EXPECT_EQ(ListDir(run.inst), (std::vector<std::wstring>{L"Corvane.exe", L"data2.bin", L"demo.bin"}));
}

TEST(Updater, DataFileListedAfterTheClientStillStartsTheClient)
{
    UpdaterRun run(L"data last");
    run.Manifest("version=1.2.0\r\n"
                 "Corvane.exe|{main}/files/Corvane.exe\r\n"
                 "demo.bin|{main}/files/demo.bin\r\n");
    run.RunToEnd(L"软件已升至最新版本！");
    EXPECT_TRUE(run.Client() == run.newClient);
    EXPECT_EQ(ReadBytes(run.inst + L"\\demo.bin"), Pattern(70000, 11));
}

TEST(Updater, LeftoversOfAKilledUpdaterAreCleanedByTheNextRun)
{
    UpdaterRun run(L"killed");
    run.Manifest("version=1.2.0\r\nCorvane.exe|{slow}/files/Corvane.exe\r\n");
    driver::Process first = run.Start();
    const std::wstring staged = run.inst + L"\\Corvane.exe.corvane-new";
    ASSERT_TRUE(driver::PumpUntil([&] { return Exists(staged); }, 15000));
    first.Kill();
    first.WaitForExit(5000);
    EXPECT_TRUE(run.Client() == run.oldClient);
    // As if killed in the middle of putting files in place: an old file set aside, its target gone.
    WriteBytes(run.inst + L"\\demo.bin.corvane-old", "old demo");
    WriteBytes(run.inst + L"\\player.corvane-old.txt", "mine");

    ::DeleteFileW((run.temp + L"\\update.txt").c_str());
    driver::Process second = run.Start();
    EXPECT_EQ(second.WaitForExit(30000), 0);
    EXPECT_EQ(ListDir(run.inst), (std::vector<std::wstring>{L"Corvane.exe", L"demo.bin", L"player.corvane-old.txt"}));
    EXPECT_EQ(ReadBytes(run.inst + L"\\demo.bin"), "old demo");
    EXPECT_TRUE(run.Client() == run.oldClient);
}

TEST(Updater, AnUpdateKilledWhilePuttingFilesInPlaceIsUndoneByTheNextRun)
{
    UpdaterRun run(L"killed commit");
    WriteBytes(run.inst + L"\\demo.bin", "old demo");
    const std::vector<std::wstring> targets = {run.inst + L"\\Corvane.exe", run.inst + L"\\demo.bin",
                                               run.inst + L"\\added.dat"};
    WriteBytes(run.inst + L"\\Corvane.exe.corvane-new", run.newClient);
    WriteBytes(run.inst + L"\\demo.bin.corvane-new", "new demo");
    WriteBytes(run.inst + L"\\added.dat.corvane-new", "added");
    // The commit itself, killed at its fourth move: the new client is in place, the old demo.bin
    // set aside, the new one and added.dat still staged.
    struct Killed {};
    struct Dying : corvane::PlatformFileSystem {
        Dying() : PlatformFileSystem(0) {}
        int movesLeft = 3;
        bool Move(const std::wstring& from, const std::wstring& to) override
        {
            if (movesLeft-- == 0) throw Killed{};
            return PlatformFileSystem::Move(from, to);
        }
    } dying;
    EXPECT_THROW(corvane::CommitStaged(dying, run.inst + L"\\", targets), Killed);
    ASSERT_TRUE(run.Client() == run.newClient);

    driver::Process next = run.Start();
    EXPECT_EQ(next.WaitForExit(30000), 0);
    EXPECT_EQ(ListDir(run.inst), (std::vector<std::wstring>{L"Corvane.exe", L"demo.bin"}));
    EXPECT_EQ(ReadBytes(run.inst + L"\\demo.bin"), "old demo");
    EXPECT_TRUE(run.Client() == run.oldClient);
    EXPECT_EQ(run.Started(), run.InstalledClientLine());
}

TEST(Updater, TemporaryDirectoryLongerThanMaxPath)
{
    UpdaterRun run(L"long temp");
    std::wstring longTemp = run.temp;
    while (longTemp.size() <= 300) {
        longTemp += L"\\" + std::wstring(40, L'd');
        ::CreateDirectoryW((L"\\\\?\\" + longTemp).c_str(), nullptr);
    }
    run.Manifest("version=1.2.0\r\nCorvane.exe|{main}/files/Corvane.exe\r\n");
    ::CopyFileW((run.temp + L"\\update.txt").c_str(), (L"\\\\?\\" + longTemp + L"\\update.txt").c_str(), FALSE);
    run.temp = longTemp;
    run.RunToEnd(L"软件已升至最新版本！");
    EXPECT_TRUE(run.Client() == run.newClient);
}

TEST(Updater, UnsafeLinesWriteNothingAnywhere)
{
    UpdaterRun run(L"unsafe");
    const std::wstring outside = WorkDir() + L"\\evil.exe";
    ::DeleteFileW(outside.c_str());
    // Hashes given, so that the signed manifest is acted on and only the names are refused.
    const std::string hash = "|" + std::string(64, 'a');
    run.Manifest("version=1.2.0\r\n"
                 "\r\n"
                 "no field one\r\n"
                 "a|{main}/files/..\\evil.exe" + hash + "\r\n"
                 "b|{main}/files/..\\..\\evil.exe" + hash + "\r\n"
                 "c|Z:\\evil.exe" + hash + "\r\n"
                 "d|{main}/files/" + hash + "\r\n"
                 "e|{main}/files/Corvane.exe.corvane-new" + hash + "\r\n");
    WriteBytes(FilesDir() + L"\\evil.exe", "evil");
    const std::string logBefore = PortalLog();
    // Nothing is replaced, and the player is told so.
    run.RunToEnd(L"没有需要更新的文件，客户端未作任何改动！");
    EXPECT_TRUE(run.Client() == run.oldClient);
    EXPECT_EQ(ListDir(run.inst), std::vector<std::wstring>{L"Corvane.exe"});
    EXPECT_FALSE(Exists(outside));
    EXPECT_FALSE(Exists(L"Z:\\evil.exe"));
    EXPECT_EQ(PortalLog(), logBefore) << "no line was fetched";
}

TEST(Updater, MissingManifestEndsQuietlyAndStartsTheClient)
{
    UpdaterRun run(L"no manifest");
    driver::Process updater = run.Start();
    driver::MessageBoxAnswerer answerer(IDOK, updater.id());
    EXPECT_EQ(updater.WaitForExit(30000), 0);
    EXPECT_EQ(run.Started(), run.InstalledClientLine());
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_TRUE(run.Client() == run.oldClient);
}

TEST(Updater, EmptyCommandLineOrSecondInstanceEndsAtOnce)
{
    UpdaterRun run(L"instances");
    run.Manifest("version=1.2.0\r\nCorvane.exe|{slow}/files/Corvane.exe\r\n");
    driver::Process empty = run.Start(L"");
    EXPECT_EQ(empty.WaitForExit(10000), 0);

    driver::Process first = run.Start();
    ASSERT_TRUE(driver::WaitForWindow(L"UpdateFrm", nullptr, 15000, first.id()));
    driver::Process second = run.Start();
    EXPECT_EQ(second.WaitForExit(10000), 0);
    EXPECT_EQ(driver::FindTopLevel(L"UpdateFrm", nullptr, second.id()), nullptr);
    first.Kill();
    first.WaitForExit(5000);
    EXPECT_TRUE(run.Client() == run.oldClient);
}

TEST(Updater, ClientInUseIsReplacedOnceReleasedOrKept)
{
    // Like a client that is still exiting: open, without sharing deletion, for a while.
    for (const DWORD holdMs : {2000u, 30000u}) {
        SCOPED_TRACE(holdMs);
        const bool released = holdMs < 10000;
        UpdaterRun run(released ? L"in use, released" : L"in use, held");
        run.Manifest("version=1.2.0\r\nCorvane.exe|{main}/files/Corvane.exe\r\n");
        HANDLE held = ::CreateFileW((run.inst + L"\\Corvane.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        driver::Process updater = run.Start();
        driver::MessageBoxAnswerer answerer(IDOK, updater.id());
        answerer.SetRecordStyle(true);
        // The updater retries for about ten seconds, then keeps the old file.
        if (released) {
            driver::Pump(holdMs);
            EXPECT_TRUE(updater.Running());
            ::CloseHandle(held);
        }
        EXPECT_EQ(updater.WaitForExit(30000), 0);
        if (!released) ::CloseHandle(held);
        EXPECT_EQ(Texts(answerer), std::vector<std::wstring>{released ? L"软件已升至最新版本！"
                                                                        : L"更新未能完成，已保留原有文件，请稍后再试！"});
        EXPECT_TRUE(run.Client() == (released ? run.newClient : run.oldClient));
        EXPECT_EQ(run.Started(), run.InstalledClientLine());
        const std::vector<std::wstring> left = {L"Corvane.exe", L"update.corvane-files"};
        EXPECT_EQ(ListDir(run.inst), std::vector<std::wstring>(left.begin(), left.begin() + (released ? 2 : 1)));
    }
}

// The skin's pixel (x, y) from Update.exe's bitmap 101, 0x00RRGGBB.
std::uint32_t SkinPixel(int x, int y)
{
    HMODULE module = ::LoadLibraryExW(UpdaterExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HBITMAP skin = static_cast<HBITMAP>(::LoadImageW(module, MAKEINTRESOURCEW(101), IMAGE_BITMAP, 0, 0, 0));
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, skin);
    COLORREF c = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(skin);
    ::FreeLibrary(module);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// A window of one colour at `rect`, below `above` (a topmost window of another process, raised
// again: without a window manager a new window lies on top of every other).
class Backdrop {
public:
    Backdrop(const RECT& rect, HWND above, COLORREF colour) : m_brush(::CreateSolidBrush(colour))
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = m_brush.get();
        wc.lpszClassName = L"UpdaterTestBackdrop";
        ::RegisterClassW(&wc);
        m_hwnd = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, L"", WS_POPUP, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, wc.hInstance, nullptr);
        ::SetWindowPos(m_hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        ::SetWindowPos(above, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::SetWindowPos(above, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    ~Backdrop()
    {
        ::DestroyWindow(m_hwnd);
        ::UnregisterClassW(L"UpdaterTestBackdrop", ::GetModuleHandleW(nullptr));
    }
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

private:
    rt::Brush m_brush;
    HWND m_hwnd = nullptr;
};

void SendMouse(DWORD flags)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    ::SendInput(1, &in, sizeof in);
}

// Real input: press at `from`, move by (dx, dy) in steps, release.
void DragBy(POINT from, int dx, int dy)
{
    ::SetCursorPos(from.x, from.y);
    SendMouse(MOUSEEVENTF_MOVE);
    driver::Pump(100);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    driver::Pump(200);
    for (int step = 1; step <= 4; ++step) {
        ::SetCursorPos(from.x + dx * step / 4, from.y + dy * step / 4);
        SendMouse(MOUSEEVENTF_MOVE);
        driver::Pump(50);
    }
    SendMouse(MOUSEEVENTF_LEFTUP);
    driver::Pump(200);
}

// While the server has not answered yet, the window is painted already (its caption strip, its
// close button and the name of the file it waits for, not a blank box) and answers the player:
// Esc asks the close button's question, and "是" ends the update before the server answers.
TEST(Updater, WindowAnswersBeforeTheServerDoes)
{
    UpdaterRun run(L"late");
    run.Manifest("version=1.2.0\r\nCorvane.exe|{late}/files/Corvane.exe\r\n");
    driver::Process updater = run.Start();
    HWND window = driver::WaitForWindow(L"UpdateFrm", nullptr, 15000, updater.id());
    ASSERT_TRUE(window);
    RECT frame;
    ::GetWindowRect(window, &frame);
    driver::Capture shot;
    int text = 0, button = 0;
    const bool painted = driver::PumpUntil(
        [&] {
            shot = driver::CaptureScreen(frame);
            text = shot.CountNear({16, 72, 280, 92}, 0x000000, 80);
            button = 0;
            for (int y = 3; y < 15; ++y)
                for (int x = 258; x < 296; ++x) button += shot.Rgb(x, y) != 0xFFFFFFu;
            // The white form around the text, then the text and the button on it.
            return shot.Rgb(8, 130) == 0xFFFFFFu && shot.Rgb(150, 60) == 0xFFFFFFu && text > 20 && button > 100;
        },
        8000);
    shot.SavePng(driver::OutDir() + L"\\updater-waiting.png");
    EXPECT_TRUE(painted) << "status text " << text << " pixels, close button " << button;

    driver::MessageBoxAnswerer answerer(IDYES, updater.id());
    answerer.SetRecordStyle(true);
    ASSERT_TRUE(driver::ClickOn(window, {frame.left + 150, frame.top + 130}));
    driver::PressKey(VK_ESCAPE);
    EXPECT_TRUE(answerer.WaitForCount(1, 8000)) << "Esc while the server keeps the window waiting";
    // The server answers after 30 s.
    EXPECT_EQ(updater.WaitForExit(15000), 0);
    EXPECT_EQ(Texts(answerer), std::vector<std::wstring>{L"您是否要退出更新！"});
    EXPECT_TRUE(run.Client() == run.oldClient);
    EXPECT_EQ(ListDir(run.inst), std::vector<std::wstring>{L"Corvane.exe"});
    EXPECT_EQ(run.Started(), run.InstalledClientLine());
}

// The hidden window through which a single-threaded apartment takes calls from elsewhere.
bool HasApartmentWindow(DWORD threadId)
{
    for (HWND w = nullptr; (w = ::FindWindowExW(HWND_MESSAGE, w, L"OleMainThreadWndClass", nullptr));)
        if (::GetWindowThreadProcessId(w, nullptr) == threadId) return true;
    return false;
}

TEST(Updater, WindowMidDownloadDragThenCancel)
{
    UpdaterRun run(L"cancel");
    run.Manifest("version=1.2.0\r\nCorvane.exe|{slow}/files/Corvane.exe\r\n");
    driver::Process updater = run.Start();
    HWND window = driver::WaitForWindow(L"UpdateFrm", nullptr, 15000, updater.id());
    ASSERT_TRUE(window);
    EXPECT_EQ(driver::WindowText(window), L"更新");
    // Its thread is in an apartment before any screen reader asks: the reader's calls come in
    // between the window's messages, not on threads of their own.
    EXPECT_TRUE(HasApartmentWindow(::GetWindowThreadProcessId(window, nullptr)));
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT frame;
    ::GetWindowRect(window, &frame);
    EXPECT_EQ(frame.right - frame.left, 305);
    EXPECT_EQ(frame.bottom - frame.top, 144);

    // Esc asks the close button's question; "否" lets the download go on.
    driver::MessageBoxAnswerer answerer(IDNO, updater.id());
    answerer.SetRecordStyle(true);
    ASSERT_TRUE(driver::ClickOn(window, {frame.left + 150, frame.top + 130}));
    driver::PressKey(VK_ESCAPE);
    EXPECT_TRUE(answerer.WaitForCount(1, 8000)) << "Esc";
    EXPECT_TRUE(updater.Running());

    // The bar's row 5 from left to right: the cap's edge, the filled look up to the fill point,
    // the empty look after it, the end cap's edge in the last column.
    const std::uint32_t edge = SkinPixel(0, 5), filled = SkinPixel(3, 5), empty = SkinPixel(8, 5);
    const int barX = frame.left + 16, barY = frame.top + 104, barW = 273;
    int fill = 0;
    driver::Capture shot;
    const bool midway = driver::PumpUntil(
        [&] {
            shot = driver::CaptureScreen(frame);
            int x = 1;
            while (x < barW - 1 && shot.Rgb(barX - frame.left + x, barY - frame.top + 5) == filled) ++x;
            fill = x;
            for (int e = fill; e < barW - 1; ++e)
                if (shot.Rgb(barX - frame.left + e, barY - frame.top + 5) != empty) return false;
            return fill > 20 && fill < barW - 20;
        },
        20000);
    shot.SavePng(driver::OutDir() + L"\\updater-downloading.png");
    ASSERT_TRUE(midway) << "fill " << fill;
    EXPECT_EQ(shot.Rgb(barX - frame.left, barY - frame.top + 5), edge);
    EXPECT_EQ(shot.Rgb(barX - frame.left + barW - 1, barY - frame.top + 5), SkinPixel(7, 5));
    // The white form, the caption strip above, and the status text "正在下载：Corvane.exe".
    EXPECT_EQ(shot.Rgb(8, 130), 0xFFFFFFu);
    EXPECT_NE(shot.Rgb(150, 16), 0xFFFFFFu);
    EXPECT_GT(shot.CountNear({16, 72, 280, 92}, 0x000000, 80), 20) << "status text";
    const std::vector<HWND> labels = driver::Descendants(window, L"CorvaneLabel");
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(driver::WindowText(labels[0]), L"正在下载：Corvane.exe");

    // A screen reader hears the status as static text and the bar's value moving on.
    const auto status = driver::AccessibleTree(labels[0]);
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(status[0].name, L"正在下载：Corvane.exe");
    const std::vector<HWND> bars = driver::Descendants(window, L"KvProgressBar");
    ASSERT_EQ(bars.size(), 1u);
    auto barValue = [&] {
        const auto bar = driver::AccessibleTree(bars[0]);
        EXPECT_EQ(bar.size(), 1u);
        if (bar.empty()) return std::wstring();
        EXPECT_EQ(bar[0].role, ROLE_SYSTEM_PROGRESSBAR);
        return bar[0].value;
    };
    const std::wstring firstValue = barValue();
    ASSERT_GE(firstValue.size(), 2u);
    EXPECT_EQ(firstValue.back(), L'%');
    const int percent = std::stoi(firstValue);
    EXPECT_GT(percent, 0);
    EXPECT_LT(percent, 100);
    EXPECT_TRUE(driver::PumpUntil([&] { return barValue() != firstValue; }, 15000)) << "the value stays at "
                                                                                     << driver::WideToUtf8(firstValue);

    // The rounded corners, 6 x 6: a backdrop shows through exactly where a round rectangle one
    // pixel wider and higher than the window leaves them out, and nowhere else at the edges.
    {
        const COLORREF magenta = RGB(255, 0, 255);
        Backdrop backdrop(frame, window, magenta);
        const int w = frame.right - frame.left, h = frame.bottom - frame.top;
        const rt::Region round(::CreateRoundRectRgn(0, 0, w + 1, h + 1, 6, 6));
        int wrong = 0, through = 0;
        const bool corners = driver::PumpUntil(
            [&] {
                const driver::Capture edges = driver::CaptureScreen(frame);
                wrong = through = 0;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        if (x >= 6 && x < w - 6 && y >= 6 && y < h - 6) continue;
                        const bool behind = edges.At(x, y) == magenta;
                        through += behind;
                        wrong += behind == (::PtInRegion(round.get(), x, y) != FALSE);
                    }
                return wrong == 0 && through > 0;
            },
            5000);
        EXPECT_TRUE(corners) << wrong << " pixels wrong, " << through << " show the backdrop";
        EXPECT_GE(through, 4 * 3);
    }

    // The caption strip drags the window.
    DragBy({frame.left + 100, frame.top + 16}, 40, 24);
    RECT moved{};
    EXPECT_TRUE(driver::PumpUntil(
        [&] {
            ::GetWindowRect(window, &moved);
            return moved.left == frame.left + 40 && moved.top == frame.top + 24;
        },
        5000))
        << moved.left - frame.left << "," << moved.top - frame.top;
    frame = moved;

    // Cancel with the close button: the question, "是", and the download stops at once.
    answerer.SetButton(IDYES);
    ASSERT_TRUE(driver::ClickOn(window, {frame.left + 305 - 49 + 20, frame.top + 1 + 8}));
    EXPECT_EQ(updater.WaitForExit(15000), 0);
    EXPECT_EQ(Texts(answerer), std::vector<std::wstring>(2, L"您是否要退出更新！"));
    EXPECT_EQ(run.Started(), run.InstalledClientLine());
    EXPECT_TRUE(run.Client() == run.oldClient);
    EXPECT_EQ(ListDir(run.inst), std::vector<std::wstring>{L"Corvane.exe"});
}

}  // namespace
