// The built-in engine on the demo login page with 20 pictures from a slow route (each answered
// half a second late): time from Navigate to the first paint of the page and to its
// download-complete (every picture in), against the same page without pictures in the same run.
// Each round asks for pictures at addresses of their own, so none comes from the engine's memory.
// Usage: pageimages-bench <portal> [rounds] [delay-ms]   (run by tools/bench/pageimages_bench.sh)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "browser/WebView.h"
#include "tools/bench/BenchSupport.h"
#include "browser/html/PageLimits.h"

namespace {

using bench::Median;
using bench::NowMs;
using bench::PumpUntil;

struct Timing {
    double firstPaint = 0;
    double complete = 0;
};

// One load: the first paint is the page drawn right after its document-complete.
Timing Load(browser::WebView& view, const std::wstring& url)
{
    bool shown = false;
    bool done = false;
    Timing t;
    const double start = NowMs();
    view.events.documentComplete = [&](const std::wstring&, bool) {
        ::UpdateWindow(view.hWnd());
        t.firstPaint = NowMs() - start;
        shown = true;
    };
    view.events.downloadComplete = [&] {
        t.complete = NowMs() - start;
        done = true;
    };
    view.Navigate(url);
    PumpUntil([&] { return shown && done; });
    return t;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    const std::wstring portal = argv[1];
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
    const int delayMs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 500;
    HWND window = bench::PopupWindow(L"PageImagesBench", 920, 625);
    browser::WebViewPtr view = browser::CreateWebView(window, RECT{0, 0, 920, 625}, browser::WebViewEngine::Lite);
    if (!view) return 1;
    view->events.beforeNavigate = [](const std::wstring& target, bool, bool& cancel) {
        cancel = target.find(L"app://") != std::wstring::npos;
    };
    const auto page = [&](int images, int delay) {
        return portal + L"/images/" + std::to_wstring(images) + L"/slow-image/" + std::to_wstring(delay) + L"/pcLogin/";
    };
    Load(*view, page(0, delayMs));  // the first connection and the engine's first page

    std::vector<double> plainPaint, plainComplete, imagesPaint, imagesComplete;
    for (int round = 0; round < rounds; ++round) {
        const Timing plain = Load(*view, page(0, delayMs));
        plainPaint.push_back(plain.firstPaint);
        plainComplete.push_back(plain.complete);
        // A delay of its own per round: addresses no earlier round fetched.
        const Timing pictures = Load(*view, page(20, delayMs + round));
        imagesPaint.push_back(pictures.firstPaint);
        imagesComplete.push_back(pictures.complete);
    }
    const double p0 = Median(plainPaint), c0 = Median(plainComplete);
    const double p1 = Median(imagesPaint), c1 = Median(imagesComplete);
    std::printf("rounds=%d, 20 pictures each %d ms late\n", rounds, delayMs);
    std::printf("without pictures: first paint %.1f ms, complete %.1f ms (medians)\n", p0, c0);
    std::printf("with 20 pictures: first paint %.1f ms, complete %.1f ms (medians)\n", p1, c1);
    std::printf("first-paint ratio (with / without pictures): %.2f\n", p0 > 0 ? p1 / p0 : 0.0);
    // Four at a time per host: no engine could have them all sooner than this.
    const double waves = (20.0 + browser::kImagesPerHost - 1) / browser::kImagesPerHost;
    const double floorMs = static_cast<int>(waves) * delayMs;
    std::printf("complete ratio (with / without pictures): %.2f\n", c0 > 0 ? c1 / c0 : 0.0);
    std::printf("complete against the %d waves of %zu pictures per host (%.0f ms): %.2f; one after another "
                "they would take %d ms\n",
                static_cast<int>(waves), browser::kImagesPerHost, floorMs, c1 / floorMs, 20 * delayMs);
    std::fflush(stdout);
    view.reset();
    ::DestroyWindow(window);
    return 0;
}
