// CKvDownLoadFile against the demo portals: what reaches the disk and which events are raised, in
// which order, for good, missing, chunked, cut and stopped responses.

#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>
#include <vector>

#include "net/CKvDownLoadFile.h"
#include "tests/driver/Driver.h"
#include "tests/wine/update/UpdateTestSupport.h"

namespace {

using corvane::CKvDownLoadFile;
using namespace updatetest;

struct Event {
    char kind;  // 'Q' QueryFileInfo, 'L' Loading, 'C' Complete
    std::int32_t value;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Event& e)
{
    return os << e.kind << e.value;
}

class Recorder {
public:
    explicit Recorder(CKvDownLoadFile& d)
    {
        d.QueryFileInfo = [this](std::int32_t& size) { events.push_back({'Q', size}); };
        d.Loading = [this](std::int32_t& received) { events.push_back({'L', received}); };
        d.Complete = [this] { events.push_back({'C', 0}); };
    }
    std::vector<Event> events;
};

LRESULT CALLBACK ProbeSinkProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_APP + 7) reinterpret_cast<std::vector<std::string>*>(l)->push_back("message");
    return ::DefWindowProcW(h, m, w, l);
}

class Downloader : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = FreshDir(L"downloader");
        small = Pattern(20000, 7);
        ASSERT_TRUE(WriteBytes(FilesDir() + L"\\small.bin", small));
        ASSERT_TRUE(WriteBytes(FilesDir() + L"\\chunked.bin", small));
        ASSERT_TRUE(WriteBytes(FilesDir() + L"\\cut.bin", small));
    }

    std::wstring dir;
    std::string small;
};

TEST_F(Downloader, FailuresWriteNothingAndRaiseOnlyComplete)
{
    const std::wstring target = dir + L"\\out.bin";
    const std::vector<std::pair<const char*, std::wstring>> cases = {
        {"404", Portal() + L"/files/missing.bin"},
        {"chunked, no Content-Length", Portal() + L"/files/chunked.bin"},
        {"refused connection", L"http://127.0.0.1:9/files/small.bin"},
        {"not a URL", L"no such scheme"},
    };
    for (const auto& [name, url] : cases) {
        SCOPED_TRACE(name);
        CKvDownLoadFile d;
        Recorder r(d);
        EXPECT_FALSE(d.DownLoadFile(url, target, false, true));
        EXPECT_EQ(r.events, (std::vector<Event>{{'C', 0}}));
        EXPECT_FALSE(Exists(target));
        EXPECT_FALSE(d.ReceivedAll());
    }

    // A failure leaves an existing file exactly as it was.
    ASSERT_TRUE(WriteBytes(target, "keep me"));
    CKvDownLoadFile d;
    EXPECT_FALSE(d.DownLoadFile(Portal() + L"/files/missing.bin", target, true, false));
    EXPECT_EQ(ReadBytes(target), "keep me");
    EXPECT_EQ(::GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(Downloader, WholeFileInBlocksWithEventsInOrder)
{
    const std::wstring target = dir + L"\\small.bin";
    CKvDownLoadFile d;
    Recorder r(d);
    ASSERT_TRUE(d.DownLoadFile(Portal() + L"/files/small.bin", target, false, true));
    EXPECT_EQ(ReadBytes(target), small);
    EXPECT_TRUE(d.ReceivedAll());
    EXPECT_EQ(d.AnnouncedBytes(), 20000);

    ASSERT_GE(r.events.size(), 5u);  // at least three blocks of at most 8192 bytes
    EXPECT_EQ(r.events.front(), (Event{'Q', 20000}));
    EXPECT_EQ(r.events.back(), (Event{'C', 0}));
    std::int32_t previous = 0;
    for (std::size_t i = 1; i + 1 < r.events.size(); ++i) {
        EXPECT_EQ(r.events[i].kind, 'L');
        EXPECT_GT(r.events[i].value, previous);
        EXPECT_LE(r.events[i].value - previous, 8192);
        previous = r.events[i].value;
    }
    EXPECT_EQ(previous, 20000);
    // Nothing lands in the browser's cache.
    DWORD size = 0;
    EXPECT_FALSE(::GetUrlCacheEntryInfoW((Portal() + L"/files/small.bin").c_str(), nullptr, &size));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // Without events the same download raises nothing.
    CKvDownLoadFile quiet;
    Recorder none(quiet);
    EXPECT_TRUE(quiet.DownLoadFile(Portal() + L"/files/small.bin", target, false, false));
    EXPECT_TRUE(none.events.empty());
}

TEST_F(Downloader, EveryCallFetchesFromTheServer)
{
    const std::wstring target = dir + L"\\again.bin";
    CKvDownLoadFile d;
    ASSERT_TRUE(d.DownLoadFile(Portal() + L"/files/small.bin", target, false, false));
    ASSERT_TRUE(WriteBytes(FilesDir() + L"\\small.bin", "changed on the server"));
    ASSERT_TRUE(d.DownLoadFile(Portal() + L"/files/small.bin", target, false, false));
    EXPECT_EQ(ReadBytes(target), "changed on the server");
}

TEST_F(Downloader, ExistingFileIsReplacedAndHiddenWhenAsked)
{
    const std::wstring target = dir + L"\\existing.bin";
    ASSERT_TRUE(WriteBytes(target, Pattern(50000, 3)));
    CKvDownLoadFile d;
    ASSERT_TRUE(d.DownLoadFile(Portal() + L"/files/small.bin", target, true, false));
    EXPECT_EQ(ReadBytes(target), small);
    EXPECT_NE(::GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    const std::wstring plain = dir + L"\\plain.bin";
    ASSERT_TRUE(d.DownLoadFile(Portal() + L"/files/small.bin", plain, false, false));
    EXPECT_EQ(::GetFileAttributesW(plain.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(Downloader, StopFromLoadingKeepsExactlyTheReportedBytes)
{
    const std::wstring target = dir + L"\\stopped.bin";
    CKvDownLoadFile d;
    Recorder r(d);
    std::int32_t reported = 0;
    d.Loading = [&](std::int32_t& received) {
        r.events.push_back({'L', received});
        reported = received;
        d.StopDownLoad();
    };
    EXPECT_TRUE(d.DownLoadFile(Portal() + L"/files/small.bin", target, false, true));
    ASSERT_EQ(r.events.size(), 3u);
    EXPECT_EQ(r.events[0], (Event{'Q', 20000}));
    EXPECT_EQ(r.events[2], (Event{'C', 0}));
    EXPECT_GT(reported, 0);
    EXPECT_LT(reported, 20000);
    EXPECT_EQ(ReadBytes(target), small.substr(0, static_cast<std::size_t>(reported)));
    EXPECT_FALSE(d.ReceivedAll());

    // The next call clears the stop.
    d.Loading = nullptr;
    EXPECT_TRUE(d.DownLoadFile(Portal() + L"/files/small.bin", target, false, true));
    EXPECT_TRUE(d.ReceivedAll());
}

TEST_F(Downloader, CutResponsesKeepWhatArrivedAndSaySo)
{
    const std::vector<std::pair<const char*, std::size_t>> cuts = {{"CUT0", 0}, {"CUT50", 10000}, {"CUT99", 19800}};
    for (const auto& [portal, sent] : cuts) {
        SCOPED_TRACE(portal);
        const std::wstring target = dir + L"\\cut.bin";
        CKvDownLoadFile d;
        EXPECT_TRUE(d.DownLoadFile(Portal(portal) + L"/files/cut.bin", target, false, false));
        EXPECT_EQ(ReadBytes(target), small.substr(0, sent));
        EXPECT_FALSE(d.ReceivedAll());
        EXPECT_EQ(d.AnnouncedBytes(), 20000);
        EXPECT_EQ(d.ReceivedBytes(), static_cast<std::int32_t>(sent));
    }
}

TEST_F(Downloader, FullDiskIsNotAWholeDownload)
{
    // Wine's Z: is the Unix root; every write to /dev/full fails as on a full disk.
    CKvDownLoadFile d;
    Recorder r(d);
    EXPECT_TRUE(d.DownLoadFile(Portal() + L"/files/small.bin", L"Z:\\dev\\full", false, true));
    EXPECT_FALSE(d.ReceivedAll());
    EXPECT_EQ(d.ReceivedBytes(), 0);
    EXPECT_EQ(r.events, (std::vector<Event>{{'Q', 20000}, {'C', 0}}));
}

TEST_F(Downloader, WindowMessagesRunBetweenBlocks)
{
    // A message posted when the size is known is handled before the second block is read.
    CKvDownLoadFile d;
    std::vector<std::string> order;
    const UINT kProbe = WM_APP + 7;
    HWND sink = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(sink, nullptr);
    ::SetWindowLongPtrW(sink, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProbeSinkProc));
    d.QueryFileInfo = [&](std::int32_t&) { ::PostMessageW(sink, kProbe, 0, reinterpret_cast<LPARAM>(&order)); };
    d.Loading = [&](std::int32_t& received) { order.push_back(std::to_string(received)); };
    ASSERT_TRUE(d.DownLoadFile(Portal() + L"/files/small.bin", dir + L"\\yield.bin", false, true));
    ::DestroyWindow(sink);
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[1], "message");
}

TEST_F(Downloader, HandlerMayDestroyTheDownloader)
{
    auto owned = std::make_unique<CKvDownLoadFile>();
    int loadings = 0;
    owned->Loading = [&](std::int32_t&) {
        ++loadings;
        owned.reset();
    };
    EXPECT_TRUE(owned->DownLoadFile(Portal() + L"/files/small.bin", dir + L"\\gone.bin", false, true));
    EXPECT_EQ(loadings, 1);
    EXPECT_EQ(owned, nullptr);
}

}  // namespace

namespace {

std::vector<std::string>* g_timerOrder = nullptr;

void CALLBACK RecordTimerOnce(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    if (g_timerOrder) g_timerOrder->push_back("timer");
}

TEST_F(Downloader, WindowMessagesRunWhileABlockIsSlowToCome)
{
    // A byte a second: a timer set at the first block is due long before the second block, and
    // its message is handled while the download waits for that block, not after it.
    ServeManifest("1.1.0", "");
    CKvDownLoadFile d;
    d.LimitTime(2500);
    std::vector<std::string> order;
    g_timerOrder = &order;
    d.Loading = [&](std::int32_t& received) {
        if (order.empty()) ::SetTimer(nullptr, 0, 50, &RecordTimerOnce);
        order.push_back(std::to_string(received));
    };
    d.DownLoadFile(Portal("SIGN") + L"/hostile/trickle/update.txt", dir + L"\\trickle.bin", false, true);
    g_timerOrder = nullptr;
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[1], "timer");
    EXPECT_EQ(ReadBytes(dir + L"\\trickle.bin").value_or("").size(), static_cast<std::size_t>(d.ReceivedBytes()));
}

TEST_F(Downloader, BoundsOfSizeAndTime)
{
    ServeManifest("1.1.0", "");
    const std::wstring path = dir + L"\\bounded.txt";
    {
        // More than allowed: refused before any file is made.
        CKvDownLoadFile d;
        d.LimitSize(19999);
        EXPECT_FALSE(d.DownLoadFile(Portal() + L"/files/small.bin", path, false, false));
        EXPECT_FALSE(Exists(path));
        d.LimitSize(20000);
        EXPECT_TRUE(d.DownLoadFile(Portal() + L"/files/small.bin", path, false, false));
        EXPECT_TRUE(d.ReceivedAll());
    }
    {
        // A byte a second: cut off at the bound, not whole, and not long after it.
        CKvDownLoadFile d;
        d.LimitTime(1500);
        const ULONGLONG start = ::GetTickCount64();
        EXPECT_TRUE(d.DownLoadFile(Portal("SIGN") + L"/hostile/trickle/update.txt", path, false, false));
        const ULONGLONG took = ::GetTickCount64() - start;
        EXPECT_FALSE(d.ReceivedAll());
        EXPECT_GT(d.ReceivedBytes(), 0);
        EXPECT_LT(d.ReceivedBytes(), 10);
        EXPECT_LT(took, 6000u) << "a trickle must not hold the download past its bound";
    }
    {
        // Headers a byte a second: the bound covers connecting and the headers too.
        CKvDownLoadFile d;
        d.LimitTime(1500);
        const ULONGLONG start = ::GetTickCount64();
        EXPECT_FALSE(d.DownLoadFile(Portal() + L"/trickle-headers/update.txt", path + L".headers", false, false));
        const ULONGLONG took = ::GetTickCount64() - start;
        EXPECT_FALSE(d.ReceivedAll());
        EXPECT_FALSE(Exists(path + L".headers"));
        EXPECT_LT(took, 6000u) << "headers that trickle must not hold the download past its bound";
    }
}

// No byte for the stall bound ends the download as not whole, whether the server stops in the
// middle of the body or never sends its headers; a server that keeps sending is not cut.
TEST_F(Downloader, StallBound)
{
    ASSERT_TRUE(WriteBytes(FilesDir() + L"\\stalled.bin", Pattern(40000, 3)));
    const std::wstring path = dir + L"\\stalled.bin";
    {
        CKvDownLoadFile d;
        d.LimitStall(1500);
        const ULONGLONG start = ::GetTickCount64();
        EXPECT_TRUE(d.DownLoadFile(Portal() + L"/stall/stalled.bin", path, false, false));
        const ULONGLONG took = ::GetTickCount64() - start;
        EXPECT_FALSE(d.ReceivedAll());
        EXPECT_EQ(d.AnnouncedBytes(), 40000);
        EXPECT_EQ(d.ReceivedBytes(), 20000);
        EXPECT_EQ(ReadBytes(path), Pattern(40000, 3).substr(0, 20000));
        EXPECT_LT(took, 6000u) << "a stalled server must not hold the download past its bound";
    }
    {
        CKvDownLoadFile d;
        d.LimitStall(1500);
        const ULONGLONG start = ::GetTickCount64();
        EXPECT_FALSE(d.DownLoadFile(Portal() + L"/never/stalled.bin", path + L".never", false, false));
        EXPECT_LT(::GetTickCount64() - start, 6000u);
        EXPECT_FALSE(Exists(path + L".never"));
    }
    {
        // A byte a second is slow, not stalled.
        CKvDownLoadFile d;
        d.LimitStall(2500);
        std::int32_t seen = 0;
        d.Loading = [&](std::int32_t& received) {
            seen = received;
            if (received >= 4) d.StopDownLoad();
        };
        EXPECT_TRUE(d.DownLoadFile(Portal("SIGN") + L"/hostile/trickle/update.txt", path + L".slow", false, true));
        EXPECT_GE(seen, 4);
    }
}

}  // namespace
