// webview-probe: opens one URL in a visible window with the web view engine this process would
// use and prints every event as one UTF-8 line, flushed at once. Navigations to "app://"
// commands are printed and cancelled. Usage: webview-probe <url> [--seconds N]

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "browser/WebView.h"
#include "browser/lite/TextConvert.h"
#include "runtime/MessageFilter.h"

namespace {

browser::WebViewPtr g_view;

void PrintLine(const std::wstring& line)
{
    const std::string utf8 = browser::WideToUtf8(line) + "\n";
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SIZE:
        if (g_view) g_view->Move(0, 0, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_TIMER:
        ::DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        g_view.reset();
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::wstring url;
    double seconds = 10;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--seconds") == 0 && i + 1 < argc) seconds = std::wcstod(argv[++i], nullptr);
        else url = argv[i];
    }
    if (url.empty()) {
        std::fputs("usage: webview-probe <url> [--seconds N]\n", stderr);
        return 2;
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"CorvaneWebviewProbe";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"webview-probe", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40,
                                    920, 625, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window) return 1;
    RECT client{};
    ::GetClientRect(window, &client);
    g_view = browser::CreateWebView(window, client);
    if (!g_view) {
        std::fputs("webview-probe: the web view could not be created\n", stderr);
        return 1;
    }
    g_view->events.beforeNavigate = [](const std::wstring& target, bool, bool& cancel) {
        PrintLine(L"before-navigate " + target);
        if (target.find(L"app://") != std::wstring::npos) cancel = true;
    };
    g_view->events.titleChange = [](const std::wstring& text) { PrintLine(L"title-change " + text); };
    g_view->events.documentComplete = [](const std::wstring& target, bool topLevel) {
        PrintLine(L"document-complete " + std::wstring(topLevel ? L"top " : L"frame ") + target +
                  L" inner-html-length=" + std::to_wstring(g_view ? g_view->RootInnerHtmlLength() : -1));
    };
    g_view->events.downloadComplete = [] { PrintLine(L"download-complete"); };
    g_view->events.contextMenu = [] {
        PrintLine(L"context-menu refused");
        return false;
    };
    ::ShowWindow(window, SW_SHOW);
    ::SetTimer(window, 1, static_cast<UINT>(seconds > 0 ? seconds * 1000 : 1), nullptr);
    g_view->Navigate(url);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) rt::TranslateAndDispatch(msg);
    return 0;
}
