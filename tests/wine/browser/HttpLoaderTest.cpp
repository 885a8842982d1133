// The built-in engine's loader against the demo portal: addresses longer than any fixed buffer,
// redirects to them, a body cut at the size cap or the time limit, and fetches whose headers
// trickle past their time limit.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "browser/html/PageLimits.h"
#include "browser/lite/FetchJob.h"
#include "browser/lite/HttpLoader.h"
#include "tests/driver/Driver.h"
#include "tests/wine/browser/WebViewTestSupport.h"

namespace {

using webviewtest::Portal;
using webviewtest::PortalLog;

TEST(HttpLoader, AddressesOfAnyLength)
{
    browser::HttpLoader loader;
    const std::wstring account(6000, L'a');
    const std::wstring url = Portal() + L"/game/?account=" + account;
    const browser::HttpResult r = loader.Fetch(url, std::nullopt);
    ASSERT_TRUE(r.connected) << r.error;
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.finalUrl, url);
    EXPECT_NE(r.body.find(std::string(6000, 'a')), std::string::npos);
    EXPECT_NE(PortalLog().find("account=" + std::string(6000, 'a')), std::string::npos);
    EXPECT_FALSE(r.truncated);

    // The fragment stays here, however long the rest is.
    const browser::HttpResult withFragment = loader.Fetch(url + L"#" + std::wstring(5000, L'f'), std::nullopt);
    EXPECT_EQ(withFragment.status, 200);
}

TEST(HttpLoader, RedirectToALongAddressReportsWhereItEnded)
{
    browser::HttpLoader loader;
    // Wine cuts a response header line at 4096 bytes, so the Location stays just below that;
    // the address it leads to is still longer than 4096 characters.
    const std::wstring target = L"/game/?account=" + std::wstring(4065, L'b');
    // "/", "?" and "=" of the target, percent-encoded in the query.
    std::wstring escaped = target;
    for (auto [from, to] : {std::pair{L"/", L"%2F"}, {L"?", L"%3F"}, {L"=", L"%3D"}})
        for (std::size_t at = 0; (at = escaped.find(from, at)) != std::wstring::npos; at += 3) escaped.replace(at, 1, to);
    const browser::HttpResult r = loader.Fetch(Portal() + L"/redirect?to=" + escaped, std::nullopt);
    ASSERT_TRUE(r.connected) << r.error;
    EXPECT_EQ(r.status, 200);
    const std::wstring expected = Portal() + target;
    ASSERT_GT(expected.size(), 4096u);
    EXPECT_EQ(r.finalUrl.size(), expected.size());
    EXPECT_TRUE(r.finalUrl == expected) << driver::WideToUtf8(r.finalUrl.substr(0, 80));
    EXPECT_NE(r.body.find(std::string(4065, 'b')), std::string::npos);
}

TEST(HttpLoader, BodyCutAtTheCapOrTheTimeLimitIsFlagged)
{
    browser::HttpLoader loader;
    const browser::HttpResult cut = loader.Fetch(Portal() + L"/pcLogin/", std::nullopt, 1000);
    ASSERT_TRUE(cut.connected) << cut.error;
    EXPECT_TRUE(cut.truncated);
    EXPECT_LE(cut.body.size(), 1000u);
    const browser::HttpResult whole = loader.Fetch(Portal() + L"/pcLogin/", std::nullopt);
    EXPECT_FALSE(whole.truncated);
    EXPECT_GT(whole.body.size(), 1000u);
    // A body that trickles (a byte a second) is cut at the time limit with what came.
    const browser::HttpResult slow =
        loader.Fetch(Portal() + L"/trickle/0.png", std::nullopt, 32u << 20, nullptr, std::chrono::milliseconds(2500));
    ASSERT_TRUE(slow.connected) << slow.error;
    EXPECT_TRUE(slow.truncated);
    EXPECT_GE(slow.body.size(), 1u);
    EXPECT_LT(slow.body.size(), 60u) << "of thousands";

    // Not an address the loader takes: reported as such, without a request.
    const browser::HttpResult bad = loader.Fetch(L"ftp://127.0.0.1/x", std::nullopt);
    EXPECT_FALSE(bad.connected);
    EXPECT_EQ(bad.error, static_cast<DWORD>(ERROR_INTERNET_INVALID_URL));
}

// A fetch cancelled while it waits for its headers ends as cancelled, without touching the closed
// handle again (under Wine only once the server lets go), and sends nothing more.
TEST(HttpLoader, AFetchCancelledWhileItWaitsEndsAsCancelled)
{
    browser::HttpLoader loader;
    browser::RequestCancel cancel;
    std::thread canceller([&] {
        driver::PumpUntil([] { return PortalLog().find("/trickle-header/3/cancelled") != std::string::npos; }, 10000);
        cancel.Cancel();
    });
    const browser::HttpResult r = loader.Fetch(Portal() + L"/trickle-header/3/cancelled.png", std::nullopt, 1000,
                                               nullptr, browser::HttpLoader::kTimeLimit, &cancel);
    canceller.join();
    EXPECT_FALSE(r.connected);
    EXPECT_EQ(r.error, static_cast<DWORD>(ERROR_INTERNET_OPERATION_CANCELLED));
    const browser::HttpResult again = loader.Fetch(Portal() + L"/pcLogin/?again", std::nullopt, 1000, nullptr,
                                                   browser::HttpLoader::kTimeLimit, &cancel);
    EXPECT_EQ(again.error, static_cast<DWORD>(ERROR_INTERNET_OPERATION_CANCELLED));
    EXPECT_EQ(PortalLog().find("again"), std::string::npos);
}

// WinINet stays inside a request whose headers trickle, past the fetch's time limit: the worker it
// holds leaves its place, so that a worker held by each does not hold up the next fetch.
TEST(HttpLoader, FetchesHeldPastTheirTimeLimitLeaveTheirWorkersPlaces)
{
    ASSERT_TRUE(driver::PumpUntil([] { return browser::FetchJob::Running() == 0; }, 70000));
    HWND window = ::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    auto http = std::make_shared<browser::HttpLoader>();
    std::vector<std::shared_ptr<browser::FetchJob>> held;
    for (std::size_t i = 0; i < browser::kMaxFetchWorkers; ++i) {
        browser::FetchRequest request{Portal() + L"/trickle-header/14/" + std::to_wstring(i) + L".png"};
        request.timeLimit = std::chrono::milliseconds(1000);
        held.push_back(browser::FetchJob::Start(http, {request}, window, WM_NULL, i));
        ASSERT_TRUE(held.back());
    }
    const auto resultOf = [](const std::shared_ptr<browser::FetchJob>& job, DWORD timeoutMs) {
        std::vector<browser::HttpResult> results;
        driver::PumpUntil([&] { return !(results = job->TakeResults()).empty(); }, timeoutMs);
        return results.empty() ? browser::HttpResult{} : results[0];
    };
    // The server lets the held ones go after 14 seconds.
    const auto next = browser::FetchJob::Start(http, {{Portal() + L"/pcLogin/"}}, window, WM_NULL, 0);
    EXPECT_EQ(resultOf(next, 10000).status, 200);
    for (const auto& job : held) EXPECT_EQ(resultOf(job, 1000).error, static_cast<DWORD>(ERROR_INTERNET_TIMEOUT));
    EXPECT_TRUE(driver::PumpUntil([] { return browser::FetchJob::Running() == 0; }, 30000));
    ::DestroyWindow(window);
}

}  // namespace
