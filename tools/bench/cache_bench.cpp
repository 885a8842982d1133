// "清除缓存" on a large cache: the system's URL cache is filled with N entries, then emptied by the
// program's cleaner (the walk on a thread of its own while the GUI thread processes messages). A
// helper thread posts a message every 2 ms; the longest gap between two processed messages is how
// long the window could not paint. The peer is the same walk on the GUI thread, as it ran before:
// its longest gap is the whole walk.
// Usage: cache-bench.exe [ENTRIES]

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "mainwindow/CacheMain.h"
#include "tools/bench/BenchSupport.h"

namespace {

double g_last = 0;
double g_longest = 0;

LRESULT OnTick()
{
    const double now = bench::NowMs();
    if (g_last > 0) g_longest = std::max(g_longest, now - g_last);
    g_last = now;
    return 0;
}

// The number of entries made.
int Fill(int entries, int round)
{
    int made = 0;
    for (int i = 0; i < entries; ++i) {
        const std::wstring url =
            L"http://cache-bench.invalid/" + std::to_wstring(round) + L"/item" + std::to_wstring(i) + L".png";
        wchar_t file[MAX_PATH] = {};
        if (!::CreateUrlCacheEntryW(url.c_str(), 16, L"png", file, 0)) continue;
        HANDLE h = ::CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        ::WriteFile(h, "0123456789abcdef", 16, &written, nullptr);
        ::CloseHandle(h);
        FILETIME never{};
        if (::CommitUrlCacheEntryW(url.c_str(), file, never, never, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr))
            ++made;
    }
    return made;
}

// Runs `clear` with the ticks measured; returns {walk ms, longest gap ms}.
template <typename Clear>
std::pair<double, double> Measure(Clear clear)
{
    g_longest = 0;
    const double start = bench::NowMs();
    g_last = start;
    clear();
    const double end = bench::NowMs();
    // A gap still open when the walk ends counts too.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    return {end - start, g_longest};
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int entries = argc > 1 ? _wtoi(argv[1]) : 50000;
    bench::Ticker ticker(OnTick);

    const int first = Fill(entries, 1);
    bool complete = false;
    const auto [threadedMs, threadedGap] =
        Measure([&] { complete = corvane::CacheMain::ClearUrlCache("*.*", corvane::kKeepCookiesAndHistory); });
    std::printf("entries made: %d\n", first);
    std::printf("walk %.0f ms (%s); longest gap between processed messages %.1f ms\n", threadedMs,
                complete ? "complete" : "stopped early", threadedGap);
    std::printf("longest gap against the same walk on the GUI thread (gap = the walk): %.4f\n", threadedGap / threadedMs);
    return 0;
}
