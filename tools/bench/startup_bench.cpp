// Start-up benchmark: time from process start until Corvane's splash is visible and until the
// login pair is visible, against the time a minimal Win32 window takes to become visible under
// the same Wine in the same run. Prints medians over the warm runs and the ratios.
// Usage: startup-bench.exe <Corvane.exe> <minimal-window.exe> <runs>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Search {
    const wchar_t* className;
    DWORD processId;
    bool visible;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM param)
{
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (pid == s->processId && std::wstring(name) == s->className && ::IsWindowVisible(hwnd)) {
        s->visible = true;
        return FALSE;
    }
    return TRUE;
}

bool Visible(const wchar_t* className, DWORD processId)
{
    Search s{className, processId, false};
    ::EnumWindows(&Match, reinterpret_cast<LPARAM>(&s));
    return s.visible;
}

// Starts `exe` and returns the milliseconds until each of `stages` held, in order (-1: not
// within 30 s). The process is ended afterwards.
std::vector<double> TimeStages(const std::wstring& exe, const std::vector<std::vector<const wchar_t*>>& stages)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    std::vector<double> times(stages.size(), -1);
    const double start = Now();
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return times;
    std::size_t stage = 0;
    while (stage < stages.size() && Now() - start < 30000) {
        bool all = true;
        for (const wchar_t* cls : stages[stage]) all = all && Visible(cls, pi.dwProcessId);
        if (all) {
            times[stage] = Now() - start;
            ++stage;
            continue;
        }
        ::Sleep(1);
    }
    ::TerminateProcess(pi.hProcess, 0);
    ::WaitForSingleObject(pi.hProcess, 10000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return times;
}

double Median(std::vector<double> v)
{
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup-bench <Corvane.exe> <minimal-window.exe> <runs>\n");
        return 2;
    }
    const std::wstring corvane = argv[1];
    const std::wstring minimal = argv[2];
    const int runs = std::max(1, _wtoi(argv[3]));
    constexpr int kWarmUp = 2;

    std::vector<double> floor, splash, pair;
    for (int i = 0; i < kWarmUp + runs; ++i) {
        // Alternating the two programs keeps both equally warm.
        const std::vector<double> f = TimeStages(minimal, {{L"MinimalWindow"}});
        const std::vector<double> c = TimeStages(corvane, {{L"LoadFrm"}, {L"LoginBgFrm", L"LoginFrm"}});
        if (i < kWarmUp) continue;
        if (f[0] < 0 || c[0] < 0 || c[1] < 0) {
            std::printf("run %d: a window did not show (floor %.1f, splash %.1f, pair %.1f ms)\n", i - kWarmUp + 1, f[0],
                        c[0], c[1]);
            return 1;
        }
        floor.push_back(f[0]);
        splash.push_back(c[0]);
        pair.push_back(c[1]);
        std::printf("run %d: minimal window %.1f ms, splash %.1f ms, login pair %.1f ms\n", i - kWarmUp + 1, f[0], c[0],
                    c[1]);
    }
    const double mf = Median(floor), ms = Median(splash), mp = Median(pair);
    std::printf("medians over %d warm runs: minimal window %.1f ms, splash %.1f ms, login pair %.1f ms\n", runs, mf, ms,
                mp);
    std::printf("ratio splash / minimal window: %.2f\n", ms / mf);
    std::printf("ratio login pair / minimal window: %.2f\n", mp / mf);
    std::printf("login pair within 1 s of start: %s\n", mp <= 1000 ? "yes" : "no");
    return 0;
}
