// Downloads one URL with CKvDownLoadFile a few times and reports the median throughput and the
// gaps between window messages processed during the downloads; then fetches it as often with the
// platform's own loop (InternetReadFile in blocks of the same size, each written to the file, no
// messages, no events), the throughput the downloader is measured against. A helper thread posts a message
// to a window every 2 ms; only the downloader's yield between blocks can process them. For
// comparison the same ticks are then processed by a plain message loop for as long as one
// download took: its longest gap is what the machine's scheduling alone costs.
// Usage: download-bench.exe URL OUTPUT-FILE [RUNS]

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "net/CKvDownLoadFile.h"
#include "tools/bench/BenchSupport.h"

namespace {

LARGE_INTEGER g_frequency;
LONGLONG g_lastMessage = 0;
bool g_measuring = false;
std::vector<LONGLONG> g_gaps;

LONGLONG Now()
{
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart;
}

LRESULT OnTick()
{
    if (g_measuring) {
        const LONGLONG now = Now();
        if (g_lastMessage) g_gaps.push_back(now - g_lastMessage);
        g_lastMessage = now;
    }
    return 0;
}

double Milliseconds(LONGLONG ticks)
{
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(g_frequency.QuadPart);
}

// Longest and 99th-percentile gap of the ticks recorded since the last call, in milliseconds.
std::pair<double, double> TakeGaps()
{
    std::vector<LONGLONG> gaps;
    gaps.swap(g_gaps);
    if (gaps.empty()) return {0, 0};
    std::sort(gaps.begin(), gaps.end());
    return {Milliseconds(gaps.back()), Milliseconds(gaps[gaps.size() * 99 / 100])};
}

double Seconds(LONGLONG ticks)
{
    return static_cast<double>(ticks) / static_cast<double>(g_frequency.QuadPart);
}

// The peer: what WinINet itself delivers in blocks of the downloader's size, written as they come.
// Negative when the fetch failed.
double BareReadLoop(const wchar_t* url, const wchar_t* path, double& bytes)
{
    const LONGLONG start = Now();
    HINTERNET root = ::InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET request =
        root ? ::InternetOpenUrlW(root, url, nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0) : nullptr;
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    static char buffer[corvane::CKvDownLoadFile::kBlockSize];
    DWORD got = 0;
    bytes = 0;
    while (request && file != INVALID_HANDLE_VALUE && ::InternetReadFile(request, buffer, sizeof buffer, &got) && got) {
        DWORD written = 0;
        ::WriteFile(file, buffer, got, &written, nullptr);
        bytes += got;
    }
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    if (request) ::InternetCloseHandle(request);
    if (root) ::InternetCloseHandle(root);
    return request ? Seconds(Now() - start) : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: download-bench URL OUTPUT-FILE [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 3;
    ::QueryPerformanceFrequency(&g_frequency);

    bench::Ticker ticker(OnTick);

    // Until the response is accepted the call blocks in the server's time to first byte (the
    // demo portal reads the whole file first); that wait is reported apart from the transfer.
    corvane::CKvDownLoadFile downloader;
    LONGLONG longestOpen = 0;
    LONGLONG callStart = 0;
    downloader.QueryFileInfo = [&](std::int32_t&) {
        const LONGLONG now = Now();
        longestOpen = std::max(longestOpen, now - callStart);
        g_lastMessage = now;
    };
    std::vector<double> seconds;
    std::vector<double> bareSeconds;
    double bytes = 0;
    // The two take turns, so that whatever else the machine does falls on both alike.
    for (int i = 0; i < runs; ++i) {
        // Counted from the call: connecting blocks the loop as much as reading does.
        const LONGLONG start = Now();
        callStart = start;
        g_lastMessage = start;
        g_measuring = true;
        const bool ok = downloader.DownLoadFile(argv[1], argv[2], false, true);
        const LONGLONG end = Now();
        g_measuring = false;
        if (!ok || !downloader.ReceivedAll()) {
            std::fprintf(stderr, "download %d failed\n", i + 1);
            return 1;
        }
        bytes = downloader.ReceivedBytes();
        seconds.push_back(Seconds(end - start));

        double bareBytes = 0;
        const double took = BareReadLoop(argv[1], argv[2], bareBytes);
        if (took < 0 || bareBytes != bytes) {
            std::fprintf(stderr, "bare read loop %d failed\n", i + 1);
            return 1;
        }
        bareSeconds.push_back(took);
        // The ticks that piled up meanwhile go before the next download is timed.
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    const auto [downloadLongest, downloadP99] = TakeGaps();

    // The peer: a plain message loop on the same ticks for the length of one download.
    g_lastMessage = Now();
    g_measuring = true;
    const LONGLONG idleEnd = Now() + static_cast<LONGLONG>(median * g_frequency.QuadPart);
    while (Now() < idleEnd) {
        MSG msg;
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT) == WAIT_OBJECT_0)
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    g_measuring = false;
    const auto [idleLongest, idleP99] = TakeGaps();

    std::sort(bareSeconds.begin(), bareSeconds.end());
    const double bareMedian = bareSeconds[bareSeconds.size() / 2];

    std::printf("bare_loop_median_seconds=%.3f bare_loop_mb_per_s=%.1f ", bareMedian, bytes / bareMedian / 1e6);
    std::printf("bytes=%.0f median_seconds=%.3f mb_per_s=%.1f longest_open_ms=%.1f longest_gap_ms=%.1f "
                "p99_gap_ms=%.1f idle_longest_gap_ms=%.1f idle_p99_gap_ms=%.1f\n",
                bytes, median, bytes / median / 1e6, Milliseconds(longestOpen), downloadLongest, downloadP99,
                idleLongest, idleP99);
    return 0;
}
