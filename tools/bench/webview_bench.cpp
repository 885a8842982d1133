// The built-in engine on the demo login page, in a real window: the median time from Navigate
// to document-complete against a bare WinINet fetch of the same page in the same run, where a
// load's time goes (page fetch, image fetch, decoding and parsing, layout, painting), the
// longest the window goes without handling a message while a slow page loads, the process's
// memory after the loads, and what views made, loaded and destroyed leave behind.
// Usage: webview-bench <url> <slow-url> [loads]   (run by tools/bench/webview_bench.sh)

#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "browser/WebView.h"
#include "tools/bench/BenchSupport.h"
#include "browser/html/Charset.h"
#include "browser/html/Parser.h"
#include "browser/layout/Layout.h"
#include "browser/lite/GdiLayoutHost.h"
#include "browser/lite/TextConvert.h"
#include "runtime/Handles.h"

namespace {

// Committed memory of the process (Wine reports no PrivateUsage; PagefileUsage is the same figure).
SIZE_T CommittedKb()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage / 1024;
}

using bench::Median;
using bench::NowMs;
using bench::PumpUntil;

// The peer: what a program needs at the least to have the page's bytes, on a session of its own.
// By default WinINet keeps a copy in the system's disk cache; `uncached` is the strictest peer,
// fetching without it, as the engine does.
class BareFetch {
public:
    BareFetch() : m_session(::InternetOpenW(L"webview-bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)) {}
    ~BareFetch() { ::InternetCloseHandle(m_session); }
    std::string Get(const std::wstring& url, bool uncached = false)
    {
        std::string body;
        HINTERNET request = ::InternetOpenUrlW(
            m_session, url.c_str(), nullptr, 0,
            INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION | (uncached ? INTERNET_FLAG_NO_CACHE_WRITE : 0), 0);
        if (!request) return body;
        char buffer[16384];
        DWORD read = 0;
        while (::InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) body.append(buffer, read);
        ::InternetCloseHandle(request);
        return body;
    }

private:
    HINTERNET m_session;
};

// The longest time between two ticks of a 10 ms timer.
double g_lastTick = 0;
double g_longestGap = 0;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    const double now = NowMs();
    g_longestGap = std::max(g_longestGap, now - g_lastTick);
    g_lastTick = now;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) return 2;
    const std::wstring url = argv[1];
    const std::wstring slowUrl = argv[2];
    const int loads = argc > 3 ? std::max(1, _wtoi(argv[3])) : 20;
    HWND window = bench::PopupWindow(L"WebviewBench", 920, 625);
    const SIZE_T before = CommittedKb();
    browser::WebViewPtr view = browser::CreateWebView(window, RECT{0, 0, 920, 625}, browser::WebViewEngine::Lite);
    if (!view) return 1;
    bool complete = false;
    view->events.documentComplete = [&](const std::wstring&, bool) { complete = true; };
    view->events.beforeNavigate = [](const std::wstring& target, bool, bool& cancel) {
        cancel = target.find(L"app://") != std::wstring::npos;
    };

    // Engine loads and bare fetches, taking turns so that both see the same machine.
    BareFetch bare;
    std::vector<double> engine, peer, uncachedPeer;
    double first = 0;
    std::string page;
    for (int i = 0; i < loads; ++i) {
        // The previous page's painting is that page's business, not this load's.
        ::UpdateWindow(view->hWnd());
        complete = false;
        const double start = NowMs();
        view->Navigate(url);
        PumpUntil([&] { return complete; });
        engine.push_back(NowMs() - start);
        if (i == 0) first = engine.back();
        const double fetchStart = NowMs();
        page = bare.Get(url);
        peer.push_back(NowMs() - fetchStart);
        const double uncachedStart = NowMs();
        bare.Get(url, true);
        uncachedPeer.push_back(NowMs() - uncachedStart);
    }
    const SIZE_T after = CommittedKb();

    // Where a load's time goes, part by part, each the median of `loads` runs.
    std::vector<double> image, parse, layout, paint;
    const std::wstring logo = url.substr(0, url.find(L'/', 8)) + L"/static/logo.png";
    browser::GdiLayoutHost host([](const std::string&) { return std::optional<browser::Size>(browser::Size{96, 32}); });
    rt::ClientDC screen(nullptr);
    rt::OffscreenSurface canvas(screen.get(), 920, 625);
    for (int i = 0; i < loads; ++i) {
        bare.Get(url);
        double t = NowMs();
        bare.Get(logo);  // the second request on the kept connection, as the engine makes it
        image.push_back(NowMs() - t);
        t = NowMs();
        const browser::Charset charset = browser::SniffCharset(page, "text/html; charset=utf-8");
        const browser::Document document = browser::ParseHtml(browser::DecodeToUtf8(page, charset, browser::GbkPair));
        parse.push_back(NowMs() - t);
        t = NowMs();
        browser::LayoutDocument(document, host, 920);
        layout.push_back(NowMs() - t);
        t = NowMs();
        ::SendMessageW(view->hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
        paint.push_back(NowMs() - t);
    }

    // A slow page: how long the window goes without handling a message while it loads.
    complete = false;
    const double slowStart = NowMs();
    g_lastTick = NowMs();
    g_longestGap = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &Tick);
    view->Navigate(slowUrl);
    PumpUntil([&] { return complete; });
    Tick(nullptr, 0, 0, 0);
    ::KillTimer(nullptr, timer);
    const double slowMs = NowMs() - slowStart;

    const double engineMs = Median(engine), peerMs = Median(peer), uncachedMs = Median(uncachedPeer);
    std::printf("load-ms first=%.2f median=%.2f loads=%d\n", first, engineMs, loads);
    std::printf("bare WinINet fetch of the page: median %.2f ms\n", peerMs);
    std::printf("load-to-complete ratio (engine / bare fetch): %.2f\n", peerMs > 0 ? engineMs / peerMs : 0.0);
    std::printf("bare WinINet fetch without the disk cache: median %.2f ms, ratio %.2f\n", uncachedMs,
                uncachedMs > 0 ? engineMs / uncachedMs : 0.0);
    std::printf("parts (medians, ms): page fetch %.2f, logo fetch on the kept connection %.2f, decode+parse %.2f, "
                "layout %.2f, paint %.2f\n",
                peerMs, Median(image), Median(parse), Median(layout), Median(paint));
    std::printf("slow page: complete after %.0f ms, longest gap between handled messages %.1f ms\n", slowMs,
                g_longestGap);
    std::printf("memory-kb before-view=%lu after-loads=%lu\n", static_cast<unsigned long>(before),
                static_cast<unsigned long>(after));
    std::fflush(stdout);

    // Views made, loaded and thrown away, as tabs are: what each one leaves behind.
    const int cycles = 60;
    const auto cycle = [&] {
        browser::WebViewPtr tab = browser::CreateWebView(window, RECT{0, 0, 920, 625}, browser::WebViewEngine::Lite);
        bool done = false;
        tab->events.documentComplete = [&](const std::wstring&, bool) { done = true; };
        tab->Navigate(url);
        PumpUntil([&] { return done; });
        tab.reset();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    };
    for (int i = 0; i < 10; ++i) cycle();
    ::Sleep(2500);  // idle fetch workers end
    const SIZE_T cyclesBefore = CommittedKb();
    for (int i = 0; i < cycles; ++i) cycle();
    ::Sleep(2500);
    const SIZE_T cyclesAfter = CommittedKb();
    std::printf("%d views made, loaded and destroyed: committed memory %+ld KB (%.1f KB per view)\n", cycles,
                static_cast<long>(cyclesAfter) - static_cast<long>(cyclesBefore),
                (static_cast<double>(cyclesAfter) - static_cast<double>(cyclesBefore)) / cycles);
    std::fflush(stdout);
    view.reset();
    ::DestroyWindow(window);
    return 0;
}
