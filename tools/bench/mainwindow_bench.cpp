// The main window's costs, measured from inside the client (run by tools/bench/mainwindow_bench.sh):
//   mainwindow-bench tabs PORTAL N SECONDS      N game pages open, "READY" once every page has
//                                               its title, then idle for SECONDS (PSS is read outside)
//   mainwindow-bench cycles PORTAL N objects    GDI and USER objects left by opening and closing N
//                                               further pages, after a warm-up
//   mainwindow-bench cycles PORTAL N memory     memory the same cycles leave (a run of its own)
//   mainwindow-bench idle PORTAL SECONDS        one page, the pointer on the page, "READY", then idle
//                                               (CPU is read outside)
//   mainwindow-bench polled PORTAL SECONDS      as idle, pumping as this benchmark did before (waits
//                                               of 10 ms): what its earlier idle figure measured
//   mainwindow-bench hover PORTAL SECONDS       the same with the pointer resting on the close button
//   mainwindow-bench hidden PORTAL SECONDS      the pointer on the close button, then F10 hides the
//                                               window
//   mainwindow-bench views PORTAL N objects|memory   the cycles' first peer: bare web views, no main window
//   mainwindow-bench wininet PORTAL N memory    the second peer: the page fetched by WinINet alone

#include <windows.h>
#include <ole2.h>
#include <psapi.h>
#include <wininet.h>

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

constexpr int kWarmUpCycles = 10;

struct Objects {
    long gdiFree;
    long userFree;
};

// Counting objects by capacity makes and frees tens of thousands of them, which moves the
// process's memory by megabytes: a run measures either objects or memory, never both.
Objects CountObjects()
{
    return {bench::GdiCapacity(), bench::UserCapacity()};
}

struct Memory {
    unsigned long residentKb;   // what Wine reports as pagefile usage: the process's anonymous resident pages
    unsigned long committedKb;  // private committed pages of the Windows address space
};

Memory MeasureMemory()
{
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc);
    unsigned long long committed = 0;
    MEMORY_BASIC_INFORMATION mbi{};
    for (const char* p = nullptr; ::VirtualQuery(p, &mbi, sizeof mbi) == sizeof mbi;) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) committed += mbi.RegionSize;
        const char* next = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= p) break;
        p = next;
    }
    return {static_cast<unsigned long>(pmc.PagefileUsage / 1024), static_cast<unsigned long>(committed / 1024)};
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

long DeltaKb(unsigned long from, unsigned long to)
{
    return static_cast<long>(to) - static_cast<long>(from);
}

// Runs `cycle` kWarmUpCycles times, then `n` times more, and prints what the `n` left behind:
// objects (`countObjects`) or memory, the latter with its course after every quarter.
template <typename Cycle>
void Measure(const char* what, int n, bool countObjects, Cycle cycle)
{
    const auto settle = [] { PumpFor(300); };
    const Memory start = MeasureMemory();
    for (int i = 0; i < kWarmUpCycles; ++i) cycle();
    settle();
    if (countObjects) {
        const Objects before = CountObjects();
        for (int i = 0; i < n; ++i) cycle();
        settle();
        const Objects after = CountObjects();
        std::printf("%s objects: %d cycles, GDI objects left %ld, USER objects left %ld\n", what, n,
                    before.gdiFree - after.gdiFree, before.userFree - after.userFree);
        std::fflush(stdout);
        return;
    }
    const Memory before = MeasureMemory();
    std::string course;
    const int quarter = n / 4 > 0 ? n / 4 : 1;
    for (int i = 1; i <= n; ++i) {
        cycle();
        if (i % quarter != 0 || i == n) continue;
        char step[32];
        std::snprintf(step, sizeof step, " %+ld", DeltaKb(before.residentKb, MeasureMemory().residentKb));
        course += step;
    }
    settle();
    const Memory after = MeasureMemory();
    // What the benchmark's own object count leaves: the reason the two are never in one run.
    CountObjects();
    const Memory counted = MeasureMemory();
    std::printf("%s memory: the %d warm-up cycles %+ld KiB; then %d cycles: resident %lu -> %lu KiB, growth %+ld KiB "
                "(after each quarter%s), committed %lu -> %lu KiB (%+ld KiB); one object count afterwards %+ld KiB\n",
                what, kWarmUpCycles, DeltaKb(start.residentKb, before.residentKb), n, before.residentKb,
                after.residentKb, DeltaKb(before.residentKb, after.residentKb), course.c_str(), before.committedKb,
                after.committedKb, DeltaKb(before.committedKb, after.committedKb),
                DeltaKb(after.residentKb, counted.residentKb));
    std::fflush(stdout);
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

int Cycles(WebMainFrm& frm, const std::wstring& portal, int n, bool countObjects)
{
    // One URL for every cycle: the system's URL cache then holds one entry, not one per cycle,
    // and what grows is the client's own.
    Measure("pages", n, countObjects, [&] {
        frm.SetURL(Account(portal, 1000));
        WaitForTitles(frm, 20000);
        frm.TabStrip().TabItems().Remove(corvane::TabIndex(1L), true);
        PumpFor(20);
    });
    return 0;
}

// The first peer of Cycles: the same page loaded and dropped in bare web views of a plain window,
// without tab strip or page form, so that what the main window adds shows apart from the engine.
int Views(const std::wstring& portal, int n, bool countObjects)
{
    HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                  nullptr, nullptr);
    Measure("views", n, countObjects, [&] {
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
    });
    ::DestroyWindow(host);
    return 0;
}

// The second peer: the platform alone. Each cycle fetches the same page as a view would, in a
// WinINet session of its own, read to the end and closed, on the same thread; what this leaves
// is WinINet's and Wine's, not the client's.
int WinInet(const std::wstring& portal, int n)
{
    const std::wstring url = Account(portal, 1000);
    Measure("WinINet", n, false, [&] {
        HINTERNET session = ::InternetOpenW(L"bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        HINTERNET request = ::InternetOpenUrlW(session, url.c_str(), nullptr, 0,
                                               INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
        char buffer[16384];
        DWORD got = 0;
        while (request && ::InternetReadFile(request, buffer, sizeof buffer, &got) && got > 0) {
        }
        if (request) ::InternetCloseHandle(request);
        if (session) ::InternetCloseHandle(session);
        PumpFor(20);
    });
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fputs("usage: mainwindow-bench tabs|cycles|views|wininet|idle|polled|hover|hidden PORTAL N [SECONDS|objects|memory]\n",
                   stderr);
        return 2;
    }
    const std::wstring mode = argv[1];
    const std::wstring portal = argv[2];
    const int n = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
    const DWORD seconds = argc > 4 ? static_cast<DWORD>(std::wcstol(argv[4], nullptr, 10)) : 5;
    const bool countObjects = argc > 4 && std::wstring(argv[4]) == L"objects";
    ::OleInitialize(nullptr);
    if (mode == L"views") return Views(portal, n, countObjects);
    if (mode == L"wininet") return WinInet(portal, n);
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
            rc = Cycles(frm, portal, n, countObjects);
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
