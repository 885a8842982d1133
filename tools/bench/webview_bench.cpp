// Loads one page into the built-in engine N times in a real window and reports the time from
// Navigate to document-complete and the process's memory after the loads.
// Usage: webview-bench <url> [loads]   (run by tools/bench/webview_bench.sh)

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "browser/WebView.h"

namespace {

// Committed memory of the process (Wine reports no PrivateUsage; PagefileUsage is the same figure).
SIZE_T CommittedKb()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage / 1024;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    const std::wstring url = argv[1];
    const int loads = argc > 2 ? std::max(1, _wtoi(argv[2])) : 20;
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"WebviewBench";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"webview-bench", WS_POPUP | WS_VISIBLE, 0, 0, 920, 625,
                                    nullptr, nullptr, wc.hInstance, nullptr);
    const SIZE_T before = CommittedKb();
    browser::WebViewPtr view = browser::CreateWebView(window, RECT{0, 0, 920, 625}, browser::WebViewEngine::Lite);
    if (!view) return 1;
    bool complete = false;
    view->events.documentComplete = [&](const std::wstring&, bool) { complete = true; };
    view->events.beforeNavigate = [](const std::wstring& target, bool, bool& cancel) {
        cancel = target.find(L"app://") != std::wstring::npos;
    };
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> ms;
    for (int i = 0; i < loads; ++i) {
        complete = false;
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        view->Navigate(url);
        MSG msg;
        while (!complete && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::QueryPerformanceCounter(&end);
        ms.push_back(1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart);
    }
    const SIZE_T after = CommittedKb();
    const double first = ms.front();
    std::sort(ms.begin(), ms.end());
    std::printf("load-ms first=%.2f median=%.2f loads=%d\n", first, ms[ms.size() / 2], loads);
    std::printf("memory-kb before-view=%lu after-loads=%lu\n", static_cast<unsigned long>(before),
                static_cast<unsigned long>(after));
    std::fflush(stdout);
    view.reset();
    ::DestroyWindow(window);
    return 0;
}
