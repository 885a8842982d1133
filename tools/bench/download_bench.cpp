// Downloads one URL with CKvDownLoadFile a few times and reports the median throughput and the
// longest gap between two window messages processed during the downloads. A helper thread posts
// a message to a window every 2 ms; only the downloader's yield between blocks can process them.
// Usage: download-bench.exe URL OUTPUT-FILE [RUNS]

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/CKvDownLoadFile.h"

namespace {

LARGE_INTEGER g_frequency;
LONGLONG g_lastMessage = 0;
LONGLONG g_longestGap = 0;
bool g_measuring = false;
constexpr UINT kTick = WM_APP + 1;

LONGLONG Now()
{
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart;
}

LRESULT CALLBACK TickWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == kTick && g_measuring) {
        const LONGLONG now = Now();
        if (g_lastMessage) g_longestGap = std::max(g_longestGap, now - g_lastMessage);
        g_lastMessage = now;
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
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

    WNDCLASSW wc{};
    wc.lpfnWndProc = TickWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DownloadBenchTicks";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                    wc.hInstance, nullptr);

    std::atomic<bool> stop{false};
    std::thread ticker([&] {
        while (!stop) {
            ::PostMessageW(window, kTick, 0, 0);
            ::Sleep(2);
        }
    });

    corvane::CKvDownLoadFile downloader;
    std::vector<double> seconds;
    double bytes = 0;
    for (int i = 0; i < runs; ++i) {
        g_lastMessage = 0;
        g_measuring = true;
        const LONGLONG start = Now();
        const bool ok = downloader.DownLoadFile(argv[1], argv[2], false, false);
        const LONGLONG end = Now();
        g_measuring = false;
        if (!ok || !downloader.ReceivedAll()) {
            std::fprintf(stderr, "download %d failed\n", i + 1);
            stop = true;
            ticker.join();
            return 1;
        }
        bytes = downloader.ReceivedBytes();
        seconds.push_back(static_cast<double>(end - start) / g_frequency.QuadPart);
    }
    stop = true;
    ticker.join();
    ::DestroyWindow(window);

    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    std::printf("bytes=%.0f median_seconds=%.3f mb_per_s=%.1f longest_gap_ms=%.1f\n", bytes, median,
                bytes / median / 1e6, 1000.0 * g_longestGap / g_frequency.QuadPart);
    return 0;
}
