// A page of the built-in engine shows before its images: they follow in parallel, a few per
// host, and are given up at the page's deadline; a page cannot spend the process's window quota
// or its memory, and a worker that runs out of memory fails its fetch.

#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <new>
#include <string>
#include <vector>

#include "browser/html/PageLimits.h"
#include "browser/lite/FetchJob.h"
#include "tests/driver/Driver.h"
#include "tests/wine/browser/WebViewTestSupport.h"

namespace {

using webviewtest::Host;
using webviewtest::Portal;

constexpr auto kLite = browser::WebViewEngine::Lite;
// The login page's band above the panel, where the demo portal's pictures stand in a row.
constexpr RECT kImageBand{0, 30, 520, 110};

// Pixels of `rect` in the view that are not the page's key-coloured background.
int Ink(HWND view, const RECT& rect)
{
    const driver::Capture shot = driver::CaptureWindow(view);
    const int area = (rect.right - rect.left) * (rect.bottom - rect.top);
    return area - shot.CountNear(rect, RGB(0xFE, 0xFE, 0xFE));
}

// Seconds of the day at which the portal received the requests whose path begins with `prefix`.
std::vector<double> RequestTimes(const std::string& prefix)
{
    std::vector<double> times;
    const std::string log = driver::PortalLog();
    for (std::size_t at = 0; (at = log.find("\"time\": \"", at)) != std::string::npos; ++at) {
        const std::size_t line = log.find('\n', at);
        const std::string entry = log.substr(at, line - at);
        if (entry.find("\"path\": \"" + prefix) == std::string::npos) continue;
        const std::string clock = entry.substr(20, 12);  // hh:mm:ss.mmm
        times.push_back(std::stoi(clock.substr(0, 2)) * 3600 + std::stoi(clock.substr(3, 2)) * 60 +
                        std::stod(clock.substr(6)));
    }
    return times;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(LiteImages, PageShowsAtOnceAndItsImagesFollowInParallelAFewPerHost)
{
    Host host(kLite);
    ASSERT_TRUE(host.view());
    host.view()->Navigate(Portal() + L"/images/8/slow-image/1000/pcLogin/");
    ASSERT_TRUE(host.WaitFor(L"complete", 1, 5000));
    EXPECT_EQ(host.downloads, 0) << "every image is a second late";
    const HWND view = host.view()->hWnd();
    EXPECT_EQ(Ink(view, kImageBand), 0) << "the slots are empty, the page is there";
    driver::CaptureWindow(view).SavePng(driver::OutDir() + L"\\lite-images-1-before.png");

    ASSERT_TRUE(driver::PumpUntil([&] { return host.downloads == 1; }, 15000));
    EXPECT_GT(Ink(view, kImageBand), 8 * 32 * 32 / 2) << "each arrived image is drawn in its slot";
    driver::CaptureWindow(view).SavePng(driver::OutDir() + L"\\lite-images-2-after.png");
    // Four requests at once, the next ones as the first are answered.
    const std::vector<double> times = RequestTimes("/slow-image/1000/");
    ASSERT_EQ(times.size(), 8u);
    EXPECT_LT(times[browser::kImagesPerHost - 1] - times[0], 0.8);
    EXPECT_GE(times[browser::kImagesPerHost] - times[0], 0.9);
}

TEST(LiteImages, ImagesStillTricklingInAtTheDeadlineAreGivenUp)
{
    Host host(kLite);
    ASSERT_TRUE(host.view());
    const auto start = std::chrono::steady_clock::now();
    host.view()->Navigate(Portal() + L"/images/3/trickle/pcLogin/");
    ASSERT_TRUE(host.WaitFor(L"complete", 1, 5000));
    EXPECT_LT(SecondsSince(start), 5.0);
    ASSERT_TRUE(driver::PumpUntil([&] { return host.downloads == 1; }, 30000));
    const double seconds = SecondsSince(start);
    EXPECT_GE(seconds, 19.0) << "a byte a second never ends on its own";
    EXPECT_LT(seconds, 25.0);
    EXPECT_EQ(Ink(host.view()->hWnd(), kImageBand), 0);
    // The given-up fetches end at their next byte, not at the server's leisure.
    EXPECT_TRUE(driver::PumpUntil([] { return browser::FetchJob::Running() == 0; }, 5000));
}

TEST(LiteBounds, ThousandsOfFieldsMakeAFewWindowsAndHugeImagesAreSkipped)
{
    Host host(kLite);
    ASSERT_TRUE(host.view());
    const HWND view = host.view()->hWnd();
    host.view()->Navigate(Portal() + L"/inputs/12000/");
    ASSERT_TRUE(host.WaitFor(L"complete", 1, 60000));
    EXPECT_EQ(driver::Descendants(view, L"Edit").size(), browser::kMaxLiveControls);
    // The further fields are drawn all the same, framed, below the live ones.
    const driver::Capture fields = driver::CaptureWindow(view);
    fields.SavePng(driver::OutDir() + L"\\lite-12000-inputs.png");
    RECT lastWindow{};
    ::GetWindowRect(driver::Descendants(view, L"Edit").back(), &lastWindow);
    ::MapWindowPoints(HWND_DESKTOP, view, reinterpret_cast<POINT*>(&lastWindow), 2);
    const RECT below{0, lastWindow.bottom + 4, fields.width() - 20, fields.height()};
    EXPECT_GT(fields.CountNear(below, ::GetSysColor(COLOR_BTNSHADOW)), 1000);
    // Tab from the last live field goes round to the first: the drawn ones take no focus.
    const HWND first = ::GetDlgItem(view, 1000);
    const HWND last = ::GetDlgItem(view, 1000 + static_cast<int>(browser::kMaxLiveControls) - 1);
    ASSERT_TRUE(first && last);
    ::SetFocus(last);
    MSG tab{last, WM_KEYDOWN, VK_TAB, 0};
    EXPECT_TRUE(host.view()->PreTranslate(tab));
    EXPECT_EQ(::GetFocus(), first);

    // Forty pictures that would each take 256 MB decoded.
    host.view()->Navigate(Portal() + L"/images/40/big-image/pcLogin/");
    ASSERT_TRUE(host.WaitFor(L"complete", 2, 10000));
    ASSERT_TRUE(driver::PumpUntil([&] { return host.downloads == 2; }, 30000));
    EXPECT_TRUE(driver::Descendants(view, L"Edit").size() <= 3u);
    ::InvalidateRect(view, nullptr, TRUE);
    ::UpdateWindow(view);
    EXPECT_EQ(Ink(view, kImageBand), 0) << "skipped, not drawn";
    PROCESS_MEMORY_COUNTERS memory{sizeof(memory)};
    ASSERT_TRUE(::K32GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory)));
    EXPECT_LT(memory.PagefileUsage, 400u << 20);
}

TEST(LiteBounds, AFetchThatRunsOutOfMemoryIsAFailedFetch)
{
    Host host(kLite);
    auto job = browser::FetchJob::Start(
        [](const browser::FetchRequest&, const std::atomic<bool>&) -> browser::HttpResult { throw std::bad_alloc(); },
        {{L"http://127.0.0.1/a.png"}, {L"http://127.0.0.1/b.png"}}, host.hwnd(), WM_NULL, 0);
    ASSERT_TRUE(job);
    std::vector<browser::HttpResult> results;
    ASSERT_TRUE(driver::PumpUntil([&] { return !(results = job->TakeResults()).empty(); }, 5000));
    ASSERT_EQ(results.size(), 2u);
    for (const browser::HttpResult& r : results) {
        EXPECT_FALSE(r.connected);
        EXPECT_EQ(r.error, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    }
}

// A server that trickles its headers holds WinINet inside the request, where nothing ends it
// under Wine: the job is given up at its time limit all the same, and its worker comes free when
// the server lets go.
TEST(LiteBounds, AFetchWhoseHeadersTrickleEndsAtItsTimeLimit)
{
    Host host(kLite);
    auto http = std::make_shared<browser::HttpLoader>();
    const auto start = std::chrono::steady_clock::now();
    browser::FetchRequest request{Portal() + L"/trickle-header/8/a.png"};
    request.timeLimit = std::chrono::milliseconds(1000);
    auto job = browser::FetchJob::Start(http, {request}, host.hwnd(), WM_NULL, 0);
    ASSERT_TRUE(job);
    std::vector<browser::HttpResult> results;
    ASSERT_TRUE(driver::PumpUntil([&] { return !(results = job->TakeResults()).empty(); }, 7000));
    const double seconds = SecondsSince(start);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_FALSE(results[0].connected);
    EXPECT_EQ(results[0].error, static_cast<DWORD>(ERROR_INTERNET_TIMEOUT));
    EXPECT_GE(seconds, 1.0 + browser::FetchJob::kGrace.count() / 1000.0 - 0.1);
    EXPECT_LT(seconds, 6.0) << "given up before the server let go";
    EXPECT_TRUE(driver::PumpUntil([] { return browser::FetchJob::Running() == 0; }, 30000));
}

TEST(LiteBounds, TheFetchWorkersAndTheJobsWaitingForThemAreCapped)
{
    Host host(kLite);
    // The workers are all free: no fetch of an earlier test holds one.
    ASSERT_TRUE(driver::PumpUntil([] { return browser::FetchJob::Running() == 0; }, 70000));
    // Fetches that hold their worker until told to end.
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> busy{0}, mostBusy{0};
    const browser::FetchJob::Fetcher hold = [&](const browser::FetchRequest&, const std::atomic<bool>&) {
        const int now = ++busy;
        for (int seen = mostBusy; now > seen && !mostBusy.compare_exchange_weak(seen, now);) {
        }
        ::WaitForSingleObject(release, 20000);
        --busy;
        return browser::HttpResult{};
    };
    std::vector<std::shared_ptr<browser::FetchJob>> jobs;
    const std::size_t all = browser::kMaxFetchWorkers + browser::kMaxWaitingFetches;
    for (std::size_t i = 0; i < all; ++i) {
        jobs.push_back(browser::FetchJob::Start(hold, {{L"http://127.0.0.1/a.png"}}, host.hwnd(), WM_NULL, i));
        ASSERT_TRUE(jobs.back()) << "job " << i;
        // The workers take their jobs before the next ones come, so that exactly `all` fit.
        if (i < browser::kMaxFetchWorkers) {
            ASSERT_TRUE(driver::PumpUntil([&] { return busy == static_cast<int>(i) + 1; }, 5000)) << "job " << i;
        }
    }
    EXPECT_FALSE(browser::FetchJob::Start(hold, {{L"http://127.0.0.1/b.png"}}, host.hwnd(), WM_NULL, 0))
        << "one job more than may wait";
    driver::Pump(300);
    EXPECT_EQ(mostBusy.load(), static_cast<int>(browser::kMaxFetchWorkers));
    ::SetEvent(release);
    EXPECT_TRUE(driver::PumpUntil([] { return browser::FetchJob::Running() == 0; }, 20000));
    EXPECT_EQ(mostBusy.load(), static_cast<int>(browser::kMaxFetchWorkers));
    for (const auto& job : jobs) EXPECT_EQ(job->TakeResults().size(), 1u);
    ::CloseHandle(release);
}

}  // namespace
