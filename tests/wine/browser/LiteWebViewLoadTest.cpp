// Loading off the window's thread in the built-in engine, against the demo portal's slow page
// (/error-short, held back 3 seconds before its status line): the window keeps answering while
// it loads, a second view completes meanwhile, a newer navigation or the view's end drops the
// old load without late events, and neither workers nor handles are left behind.

#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>

#include "browser/lite/FetchJob.h"
#include "tests/driver/Driver.h"
#include "tests/wine/browser/WebViewTestSupport.h"

namespace {

using webviewtest::Host;
using webviewtest::Portal;

constexpr auto kLite = browser::WebViewEngine::Lite;

std::wstring SlowUrl() { return Portal() + L"/error-short"; }
std::wstring LoginUrl() { return Portal() + L"/pcLogin/"; }

// The longest time between two ticks of a 10 ms timer while it runs: how long the thread
// went without handling a message.
class GapMeter {
public:
    GapMeter()
    {
        s_last = Now();
        s_longest = 0;
        m_timer = ::SetTimer(nullptr, 0, 10, &GapMeter::Tick);
    }
    ~GapMeter() { ::KillTimer(nullptr, m_timer); }
    double LongestMs() const { return std::max(s_longest, Now() - s_last); }

private:
    static double Now()
    {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        const double now = Now();
        s_longest = std::max(s_longest, now - s_last);
        s_last = now;
    }
    static inline double s_last = 0;
    static inline double s_longest = 0;
    UINT_PTR m_timer = 0;
};

int ThreadsOfThisProcess()
{
    int n = 0;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{sizeof entry};
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
        n += entry.th32OwnerProcessID == ::GetCurrentProcessId();
    ::CloseHandle(snapshot);
    return n;
}

// GetProcessHandleCount reports 0 under Wine: the open handles are counted by asking after
// every handle value the process could hold.
int HandlesOfThisProcess()
{
    int n = 0;
    for (ULONG_PTR value = 4; value < (1u << 16); value += 4) {
        DWORD flags = 0;
        n += ::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != FALSE;
    }
    return n;
}

// Waits until every job has ended (a dropped load finishes in the background).
bool WorkersEnd(DWORD timeoutMs = 10000)
{
    return driver::PumpUntil([] { return browser::FetchJob::Running() == 0; }, timeoutMs);
}

// Waits until the process has no more threads than `threads`: idle workers end on their own
// a little after their last job.
bool ThreadsSettleTo(int threads)
{
    return driver::PumpUntil([&] { return ThreadsOfThisProcess() <= threads; }, 8000);
}

TEST(LiteWebViewLoading, SlowPageKeepsTheWindowAnsweringAndAnotherViewLoadsMeanwhile)
{
    Host slow(kLite);
    Host fast(kLite, 400, 300);
    ASSERT_TRUE(slow.view() && fast.view());
    const auto start = std::chrono::steady_clock::now();
    GapMeter gaps;
    slow.view()->Navigate(SlowUrl());
    driver::Pump(300);
    fast.view()->Navigate(LoginUrl());
    ASSERT_TRUE(fast.WaitFor(L"complete", 1, 3000));
    EXPECT_EQ(slow.Count(L"complete"), 0u);  // still waiting for its server
    // The slow view repaints meanwhile: it answers a synchronous message at once.
    DWORD_PTR answer = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(slow.view()->hWnd(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &answer));
    ::InvalidateRect(slow.view()->hWnd(), nullptr, FALSE);
    EXPECT_TRUE(::UpdateWindow(slow.view()->hWnd()));
    ASSERT_TRUE(slow.WaitFor(L"complete", 1, 10000));
    const double loadMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(loadMs, 2500);
    EXPECT_LT(gaps.LongestMs(), 500) << "the window went this long without handling a message";
    EXPECT_EQ(slow.events().back().text, SlowUrl());
    EXPECT_GT(slow.view()->RootInnerHtmlLength(), 0);
    EXPECT_TRUE(WorkersEnd());
}

TEST(LiteWebViewLoading, ThePageIsAskedForBeforeTheWindowsLoopRunsAgain)
{
    // The caller's own work after Navigate (the login window's, the splash's show) overlaps the
    // fetch: the portal sees the request while this thread handles no message at all.
    Host host(kLite);
    const std::wstring url = LoginUrl() + L"?asked-at-once";
    host.view()->Navigate(url);
    bool asked = false;
    for (int waited = 0; waited < 5000 && !asked; waited += 20) {
        ::Sleep(20);
        asked = webviewtest::PortalLog().find("asked-at-once") != std::string::npos;
    }
    EXPECT_TRUE(asked);
    EXPECT_EQ(host.Count(L"complete"), 0u);  // shown from the loop, as before
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    EXPECT_EQ(host.events().back().text, url);
    // A navigation made meanwhile still wins over the one already fetching.
    host.events().clear();
    host.view()->Navigate(SlowUrl());
    host.view()->Navigate(url);
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    EXPECT_EQ(host.view()->DocumentUrl(), url);
    EXPECT_TRUE(WorkersEnd());
}

TEST(LiteWebViewLoading, NavigatingAwayDropsTheSlowLoadWithoutLateEventsOrLeftovers)
{
    Host host(kLite);
    host.view()->Navigate(LoginUrl());
    ASSERT_TRUE(host.WaitFor(L"complete", 1));
    ASSERT_TRUE(WorkersEnd());
    driver::Pump(200);
    const int threads = ThreadsOfThisProcess();
    const int handles = HandlesOfThisProcess();
    EXPECT_GT(handles, 0);

    const auto rounds = [&](int count) {
        for (int round = 0; round < count; ++round) {
            host.events().clear();
            host.view()->Navigate(SlowUrl());
            driver::Pump(200);
            host.view()->Navigate(LoginUrl());
            ASSERT_TRUE(host.WaitFor(L"complete", 1));
            // A refresh drops a slow load the same way.
            if (round == 1) {
                host.view()->Navigate(SlowUrl());
                driver::Pump(200);
                host.view()->Refresh();
                ASSERT_TRUE(host.WaitFor(L"complete", 2));
            }
        }
        // Past the slow server's answers: nothing arrives from the dropped loads.
        ASSERT_TRUE(WorkersEnd());
        const std::size_t seen = host.events().size();
        driver::Pump(300);
        EXPECT_EQ(host.events().size(), seen);
        for (const auto& e : host.events()) {
            if (e.kind != L"before") {
                EXPECT_EQ(e.text.find(L"error-short"), std::wstring::npos) << "late event";
            }
        }
        EXPECT_EQ(host.view()->DocumentUrl(), LoginUrl());
        EXPECT_TRUE(ThreadsSettleTo(threads)) << ThreadsOfThisProcess() << " threads, " << threads << " before";
    };
    rounds(3);
    // WinINet keeps the connections of the loads that ran side by side (one per slow load
    // under way at once) for a while: that many more handles, and no more when as many loads
    // are dropped again.
    const int afterFew = HandlesOfThisProcess();
    EXPECT_LE(afterFew, handles + 5);
    rounds(3);
    EXPECT_LE(HandlesOfThisProcess(), afterFew + 1);
}

TEST(LiteWebViewLoading, ViewDestroyedInItsBeforeNavigationDuringALoadGoesQuietly)
{
    Host warm(kLite);
    warm.view()->Navigate(LoginUrl());
    ASSERT_TRUE(warm.WaitFor(L"complete", 1));
    ASSERT_TRUE(WorkersEnd());
    const int threads = ThreadsOfThisProcess();
    const int handles = HandlesOfThisProcess();

    Host host(kLite);
    int lateEvents = 0;
    host.view()->Navigate(SlowUrl());
    driver::Pump(200);
    host.view()->events.beforeNavigate = [&](const std::wstring&, bool, bool&) { host.view().reset(); };
    host.view()->events.documentComplete = [&](const std::wstring&, bool) { ++lateEvents; };
    host.view()->Navigate(LoginUrl());
    EXPECT_FALSE(host.view());
    ASSERT_TRUE(WorkersEnd());
    driver::Pump(300);
    EXPECT_EQ(lateEvents, 0);
    EXPECT_TRUE(ThreadsSettleTo(threads)) << ThreadsOfThisProcess() << " threads, " << threads << " before";
    EXPECT_LE(HandlesOfThisProcess(), handles + 2);

    // Destroyed from its document-complete while its images may still be wanted elsewhere:
    // a fresh view of the same page loads normally afterwards.
    Host again(kLite);
    again.view()->events.documentComplete = [&](const std::wstring&, bool) { again.view().reset(); };
    again.view()->Navigate(LoginUrl());
    EXPECT_TRUE(driver::PumpUntil([&] { return !again.view(); }, 5000));
    EXPECT_TRUE(WorkersEnd());
}

TEST(LiteWebViewLoading, RefusedConnectionShowsTheErrorPageWithoutFreezing)
{
    Host host(kLite);
    GapMeter gaps;
    host.view()->Navigate(L"http://127.0.0.1:9/pcLogin/");
    ASSERT_TRUE(host.WaitFor(L"complete", 1, 20000));
    EXPECT_LT(gaps.LongestMs(), 500);
    EXPECT_GT(host.view()->RootInnerHtmlLength(), 0);
    EXPECT_LT(host.view()->RootInnerHtmlLength(), 1500);
}

}  // namespace
