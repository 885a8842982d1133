// Creates and destroys each skinned control 1000 times in a hidden host window and reports how
// many GDI and USER objects the cycles left behind, with the time per cycle as a ratio against a
// plain system button created and destroyed the same number of times.
//
// GetGuiResources and the process memory counters report 0 under Wine, so the objects are
// counted by capacity: how many more brushes (GDI) and menus (USER) can still be made before the
// handle tables are full. What the cycles leave behind reduces that number one for one.
// Usage: controls-bench [cycles]   (run by tools/bench/controls_bench.sh)

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "controls/BForm.h"
#include "controls/cSetStyle.h"
#include "controls/iButton.h"
#include "resources/ResourceIds.h"
#include "runtime/Form.h"
#include "tests/driver/PlainForm.h"
#include "tools/bench/ObjectCapacity.h"

namespace {

struct Counts {
    long gdiFree;
    long userFree;
};

Counts Now()
{
    return {bench::GdiCapacity(), bench::UserCapacity()};
}

void Drain()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Runs `cycle` a few times to settle caches, then `cycles` times in five rounds; prints the
// counts and returns the milliseconds per cycle of the fastest round (the machine is shared:
// the fastest round is the one least disturbed by others).
double Measure(const char* name, int cycles, const std::function<void()>& cycle)
{
    for (int i = 0; i < 10; ++i) cycle();
    Drain();
    const Counts before = Now();
    constexpr int kRounds = 5;
    const int perRound = std::max(1, cycles / kRounds);
    double ms = 1e300;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < perRound; ++i) {
            cycle();
            if (i % 50 == 0) Drain();
        }
        Drain();
        ms = std::min(ms, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
                              perRound);
    }
    const Counts after = Now();
    std::printf("%-10s %d cycles: GDI objects left behind %ld, USER objects left behind %ld, %.3f ms/cycle\n", name,
                perRound * kRounds, before.gdiFree - after.gdiFree, before.userFree - after.userFree, ms);
    std::fflush(stdout);
    return ms;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int cycles = argc > 1 ? std::max(1, _wtoi(argv[1])) : 1000;
    driver::PlainForm host(driver::HostDesign(L"ControlsBenchHost", 9000, 4500));
    host.Load();
    host.SetAutoRedraw(true);
    HWND parent = host.hWnd();
    const rt::PictureRef minmax = rt::LoadResPicture(IDB_CAPTION_MINMAX);
    const rt::PictureRef icon = rt::LoadResPicture(IDB_GAMESPACE_ICON);

    // Calibration: a cycle that leaks one brush and one menu must show as one object each.
    std::vector<HGDIOBJ> leakedBrushes;
    std::vector<HMENU> leakedMenus;
    Measure("leak 1+1", cycles, [&] {
        leakedBrushes.push_back(::CreateSolidBrush(0));
        leakedMenus.push_back(::CreateMenu());
    });
    for (auto b : leakedBrushes) ::DeleteObject(b);
    for (auto m : leakedMenus) ::DestroyMenu(m);

    const double peer = Measure("BUTTON", cycles, [&] {
        HWND b = ::CreateWindowExW(0, L"BUTTON", L"是", WS_CHILD | WS_VISIBLE, 10, 10, 75, 22, parent, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        ::UpdateWindow(b);
        ::DestroyWindow(b);
    });
    const double button = Measure("iButton", cycles, [&] {
        corvane::iButton b;
        b.Create(parent, 150, 150, 1125, 330);
        b.SetStyle(1);
        b.SetBackPicture(minmax);
        b.SetIcon(icon);
        b.SetCaption(L"游戏大厅");
        b.SetValue(true);
    });
    const double strip = Measure("BForm", cycles, [&] {
        corvane::BForm f;
        f.Create(parent, 0, 0, 9000, 500);
        f.SetCaption(L"LumoraVeldan");
        f.Printform(host);
    });
    const double style = Measure("cSetStyle", cycles, [&] {
        corvane::cSetStyle s;
        s.SetobjForm(&host);
        s.SetWindowStyle(parent);
        ::SendMessageW(parent, WM_MOUSEMOVE, 0, 0);
    });
    std::printf("time per cycle against BUTTON: iButton %.2f, BForm %.2f, cSetStyle %.2f\n", button / peer,
                strip / peer, style / peer);
    host.Unload();
    return 0;
}
