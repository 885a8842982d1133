// The main window's costs, measured from inside the client (run by tools/bench/mainwindow_bench.sh):
//   mainwindow-bench tabs PORTAL N SECONDS   N game pages open, "READY" once every page has
//                                            its title, then idle for SECONDS (PSS is read outside)
//   mainwindow-bench cycles PORTAL N         GDI and USER objects and committed memory after
//                                            opening and closing N further pages
//   mainwindow-bench idle PORTAL SECONDS     one page, the pointer on the page, "READY", then idle
//                                            (CPU is read outside)
//   mainwindow-bench polled PORTAL SECONDS   as idle, pumping as this benchmark did before (waits
//                                            of 10 ms): what its earlier idle figure measured
//   mainwindow-bench hover PORTAL SECONDS    the same with the pointer resting on the close button
//   mainwindow-bench hidden PORTAL SECONDS   the pointer on the close button, then F10 hides the
//                                            window
//   mainwindow-bench views PORTAL N          the cycles' peer: bare web views, no main window

#include <windows.h>
#include <ole2.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "mainwindow/WebMainFrm.h"
#include "runtime/App.h"
#include "runtime/Timer.h"
#include "tabstrip/CTabItem.h"
#include "tools/bench/ObjectCapacity.h"

namespace {

using corvane::WebMainFrm;

struct Counts {
    long gdiFree;
    long userFree;
    unsigned long committedKb;
};

Counts Now()
{
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc);
    return {bench::GdiCapacity(), bench::UserCapacity(), static_cast<unsigned long>(pmc.PagefileUsage / 1024)};
}

void Report(const char* what, int n, const Counts& before, const Counts& after)
{
    std::printf("%s: %d cycles, GDI objects left %ld, USER objects left %ld, committed memory %lu -> %lu KiB "
                "(%+ld KiB)\n",
                what, n, before.gdiFree - after.gdiFree, before.userFree - after.userFree, before.committedKb,
                after.committedKb, static_cast<long>(after.committedKb) - static_cast<long>(before.committedKb));
    std::fflush(stdout);
}

void PumpFor(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < ms) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Pumps like the program's own loop, asleep until a message comes: the idle figures are the
// window's, not this loop's.
void IdleFor(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    MSG msg;
    for (DWORD spent = 0; spent < ms; spent = ::GetTickCount() - start) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

// Pumps until every page's caption is its document's title (the pages have completed).
bool WaitForTitles(WebMainFrm& frm, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        corvane::CTabItems& items = frm.TabStrip().TabItems();
        bool all = true;
        for (long i = 0; i < items.Count() && all; ++i) all = items.Item(i)->Caption().rfind(L"LumoraVeldan", 0) == 0;
        if (all) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        PumpFor(20);
    }
}

std::wstring Account(const std::wstring& portal, int i)
{
    return portal + L"/game/?account=bench" + std::to_wstring(i);
}

void Ready(const char* what)
{
    std::printf("READY %s\n", what);
    std::fflush(stdout);
}

int Tabs(WebMainFrm& frm, const std::wstring& portal, int n, DWORD seconds)
{
    for (int i = 1; i <= n; ++i) frm.SetURL(Account(portal, i));
    if (!WaitForTitles(frm, 60000)) return 3;
    PumpFor(1000);
    Ready("tabs");
    PumpFor(seconds * 1000);
    return 0;
}

int Cycles(WebMainFrm& frm, const std::wstring& portal, int n)
{
    // One URL for every cycle: the system's URL cache then holds one entry, not one per cycle,
    // and what grows is the client's own.
    auto cycle = [&](int) {
        frm.SetURL(Account(portal, 1000));
        WaitForTitles(frm, 20000);
        frm.TabStrip().TabItems().Remove(corvane::TabIndex(1L), true);
        PumpFor(20);
    };
    for (int i = 0; i < 10; ++i) cycle(i);  // warm-up: caches, fonts, the first allocations
    PumpFor(300);
    const Counts before = Now();
    for (int i = 0; i < n; ++i) cycle(100 + i);
    PumpFor(300);
    const Counts after = Now();
    Report("pages", n, before, after);
    return 0;
}

// The peer of Cycles: the same page loaded and dropped in bare web views of a plain window,
// without tab strip or page form, so that what the main window adds shows apart from the engine.
int Views(const std::wstring& portal, int n)
{
    HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                  nullptr, nullptr);
    auto cycle = [&] {
        bool done = false;
        browser::WebViewPtr view = browser::CreateWebView(host, RECT{0, 0, 800, 600});
        if (!view) return;
        view->events.documentComplete = [&](const std::wstring& url, bool) {
            done = url.find(L"bench") != std::wstring::npos;
        };
        view->Navigate(Account(portal, 1000));
        const DWORD start = ::GetTickCount();
        while (!done && ::GetTickCount() - start < 20000) PumpFor(20);
        view.reset();
        PumpFor(20);
    };
    for (int i = 0; i < 10; ++i) cycle();
    PumpFor(300);
    const Counts before = Now();
    for (int i = 0; i < n; ++i) cycle();
    PumpFor(300);
    const Counts after = Now();
    Report("views", n, before, after);
    ::DestroyWindow(host);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fputs("usage: mainwindow-bench tabs|cycles|idle PORTAL N [SECONDS]\n", stderr);
        return 2;
    }
    const std::wstring mode = argv[1];
    const std::wstring portal = argv[2];
    const int n = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
    const DWORD seconds = argc > 4 ? static_cast<DWORD>(std::wcstol(argv[4], nullptr, 10)) : 5;
    ::OleInitialize(nullptr);
    if (mode == L"views") return Views(portal, n);
    int rc = 2;
    {
        WebMainFrm& frm = WebMainFrm::Instance();
        frm.SetURL(portal + L"/game/?account=bench0");
        frm.Show();
        if (!WaitForTitles(frm, 30000)) {
            rc = 3;
        } else if (mode == L"tabs") {
            rc = Tabs(frm, portal, n - 1, seconds);
        } else if (mode == L"cycles") {
            rc = Cycles(frm, portal, n);
        } else if (mode == L"idle" || mode == L"polled" || mode == L"hover" || mode == L"hidden") {
            const bool onPage = mode == L"idle" || mode == L"polled";
            RECT r{};
            ::GetWindowRect(onPage ? frm.hWnd() : frm.CloseButton().hWnd(), &r);
            ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            PumpFor(500);
            if (mode == L"hidden") {
                // What F10 sends; the window goes as the player sees it go.
                ::PostMessageW(frm.hWnd(), WM_HOTKEY, 1000, MAKELPARAM(0, VK_F10));
                const DWORD start = ::GetTickCount();
                while (frm.Visible() && ::GetTickCount() - start < 10000) PumpFor(20);
                if (frm.Visible()) std::puts("the window did not hide");
            }
            PumpFor(1000);
            std::printf("timers running: %u\n", static_cast<unsigned>(rt::Timer::Running()));
            Ready("idle");
            if (mode == L"polled")
                PumpFor(static_cast<DWORD>(n) * 1000);
            else
                IdleFor(static_cast<DWORD>(n) * 1000);
            rc = 0;
        }
        frm.m_bExit = true;
        frm.Unload();
        PumpFor(100);
    }
    ::OleUninitialize();
    return rc;
}
