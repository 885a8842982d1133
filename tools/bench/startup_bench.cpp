// Start-up benchmark: time from process start until Corvane's splash is visible and until the
// login pair is visible, against the time a minimal Win32 window takes to become visible under
// the same Wine in the same run. Prints medians over the warm runs and the ratios, and where the
// time went: Corvane appends a mark per start-up step to the file CORVANE_STARTUP_MARKS names, on
// the same performance counter as this program's clock.
// Before Corvane's entry the time goes to its system libraries and to its own image, runtime start
// and static constructors: two peers of the minimal window beside it tell them apart, one
// importing the same libraries (their cost in total, and where its entry falls against Corvane's)
// and one loading them one at a time (each library's share).
// With --scales the same Corvane at two display scales instead, alternating in one session: the
// time to the splash and to the login pair at one against the other, each step's share at each,
// and with a memory folder the memory of the client's process with the pair shown, which the
// calling script measures on Linux when this program asks (MemoryWhileShown).
// Usage: startup-bench.exe <Corvane.exe> <minimal-window.exe> <runs> [<earlier Corvane.exe>]
//        startup-bench.exe --scales <Corvane.exe> <runs> <peer dpi> <dpi> [<memory folder>]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/driver/DisplayScale.h"

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

struct Mark {
    std::string step;
    double atMs;  // from the process's creation
};

std::wstring MarksFile()
{
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"corvane-startup-marks.txt";
}

// The marks of the run started at `start`; a step that runs twice (each picture's painter) is
// told apart by its number.
std::vector<Mark> ReadMarks(double start)
{
    std::vector<Mark> marks;
    std::map<std::string, int> seen;
    FILE* in = _wfopen(MarksFile().c_str(), L"r");
    if (!in) return marks;
    char text[256];
    while (std::fgets(text, sizeof text, in)) {
        const std::string line = text;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        std::string step = line.substr(0, tab);
        if (const int n = ++seen[step]; n > 1) step += " #" + std::to_string(n);
        marks.push_back({step, std::atof(line.c_str() + tab + 1) - start});
    }
    std::fclose(in);
    return marks;
}

// Starts `exe` and returns the milliseconds until each of `stages` held, in order (-1: not
// within 30 s). Once all held `whileShown` runs; the process is ended afterwards.
std::vector<double> TimeStages(const std::wstring& exe, const std::vector<std::vector<const wchar_t*>>& stages,
                               std::vector<Mark>* marks = nullptr, const std::function<void()>& whileShown = {})
{
    ::DeleteFileW(MarksFile().c_str());
    ::SetEnvironmentVariableW(L"CORVANE_STARTUP_MARKS", marks ? MarksFile().c_str() : nullptr);
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
    if (stage == stages.size() && whileShown) whileShown();
    ::TerminateProcess(pi.hProcess, 0);
    ::WaitForSingleObject(pi.hProcess, 10000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    if (marks) *marks = ReadMarks(start);
    return times;
}

double Median(std::vector<double> v)
{
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The median of each run's ratio a / b: a shared machine slows whole stretches of runs, and a
// ratio of programs run next to each other does not depend on which runs the medians came from.
double MedianRatio(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> r;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) r.push_back(a[i] / b[i]);
    return Median(r);
}

double MedianDifference(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> d;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) d.push_back(a[i] - b[i]);
    return Median(d);
}

// One program under measurement: this build's Corvane, or an earlier build's for the before figures.
struct Subject {
    std::string name;
    std::wstring exe;
    std::vector<double> splash, pair, pss;
    std::vector<std::string> order;  // the steps in the order the first run gave them
    std::map<std::string, std::vector<double>> steps;
};

void Record(const std::vector<Mark>& marks, std::vector<std::string>& order,
            std::map<std::string, std::vector<double>>& steps)
{
    for (const Mark& m : marks) {
        if (!steps.count(m.step)) order.push_back(m.step);
        steps[m.step].push_back(m.atMs);
    }
}

// A peer of the minimal window: its time to visible and its marks.
struct Peer {
    std::wstring exe;
    std::vector<double> visible;
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> steps;

    bool Run(bool keep)
    {
        std::vector<Mark> marks;
        const double t = TimeStages(exe, {{L"MinimalWindow"}}, &marks)[0];
        if (t < 0) return false;
        if (!keep) return true;
        visible.push_back(t);
        Record(marks, order, steps);
        return true;
    }
};

std::wstring Beside(const std::wstring& exe, const wchar_t* name)
{
    return exe.substr(0, exe.find_last_of(L"\\/") + 1) + name;
}

void PrintSplit(double minimal, const Peer& imports, const Peer& loads, const std::vector<Subject>& subjects)
{
    const double importsEntry = Median(imports.steps.at("entry"));
    std::printf("before the entry (medians, ms):\n");
    std::printf("  %8.1f  minimal window visible (3 system libraries)\n", minimal);
    std::printf("  %8.1f  the same importing Corvane's libraries: visible; %+.1f for the libraries\n",
                Median(imports.visible), Median(imports.visible) - minimal);
    std::printf("  %8.1f  its entry\n", importsEntry);
    for (const Subject& s : subjects) {
        if (!s.steps.count("entry")) continue;
        const double entry = Median(s.steps.at("entry"));
        std::printf("  %8.1f  %s's entry; %+.1f for its own image, runtime start and static constructors\n", entry,
                    s.name.c_str(), entry - importsEntry);
    }
    std::printf("each library loaded in turn (its share, median ms; with what it brings in):\n");
    double previous = Median(loads.steps.at("entry"));
    for (const std::string& step : loads.order) {
        if (step == "entry") continue;
        const double at = Median(loads.steps.at(step));
        std::printf("  %+7.1f  %s\n", at - previous, step.c_str());
        previous = at;
    }
}

void PrintSteps(const Subject& s)
{
    std::printf("%s: steps (median ms from start; the step's own share since the step before):\n", s.name.c_str());
    std::vector<std::pair<double, std::string>> timeline;
    for (const std::string& step : s.order) timeline.push_back({Median(s.steps.at(step)), step});
    timeline.push_back({Median(s.splash), "= splash visible"});
    timeline.push_back({Median(s.pair), "= login pair visible"});
    std::stable_sort(timeline.begin(), timeline.end());
    double previous = 0;
    for (const auto& [at, step] : timeline) {
        std::printf("  %8.1f  %+7.1f  %s\n", at, at - previous, step.c_str());
        previous = at;
    }
}

// The client's memory with the login pair shown, in KiB (-1: no answer within a minute). Windows
// cannot name the Linux process behind a Wine process, so the calling script measures it: this
// program leaves the file "shown" in `folder` and the script answers with the number in "pss".
long long MemoryWhileShown(const std::wstring& folder)
{
    const std::wstring shown = folder + L"\\shown", answer = folder + L"\\pss";
    const HANDLE file = ::CreateFileW(shown.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    ::CloseHandle(file);
    for (const double start = Now(); Now() - start < 60000; ::Sleep(10)) {
        FILE* in = _wfopen(answer.c_str(), L"r");
        if (!in) continue;
        long long kib = -1;
        if (std::fscanf(in, "%lld", &kib) != 1) kib = -1;
        std::fclose(in);
        ::DeleteFileW(answer.c_str());
        return kib;
    }
    return -1;
}

// The same client at two display scales, alternating in one session: time to the splash and to
// the login pair at `dpi` against `peerDpi` and, with a memory folder, its memory with the pair
// shown.
int Scales(const std::wstring& exe, int runs, int peerDpi, int dpi, const std::wstring& memory)
{
    struct AtScale {
        int dpi;
        Subject at;
    };
    AtScale peer{peerDpi, {std::to_string(peerDpi) + " dpi", exe}}, subject{dpi, {std::to_string(dpi) + " dpi", exe}};
    constexpr int kWarmUp = 2;
    for (int i = 0; i < kWarmUp + runs; ++i) {
        const bool keep = i >= kWarmUp;
        // Each round in the other order from the one before: neither scale always starts second.
        AtScale* order[] = {&peer, &subject};
        if (i % 2) std::swap(order[0], order[1]);
        for (AtScale* s : order) {
            const driver::DisplayScale scale(s->dpi);
            if (!scale.Set()) {
                std::printf("could not set the display scale to %d dpi\n", s->dpi);
                return 1;
            }
            long long pss = 0;
            const auto measure = [&] { pss = MemoryWhileShown(memory); };
            std::vector<Mark> marks;
            const std::vector<double> c = TimeStages(exe, {{L"LoadFrm"}, {L"LoginBgFrm", L"LoginFrm"}}, &marks,
                                                     keep && !memory.empty() ? measure : std::function<void()>());
            if (!keep) continue;
            if (c[0] < 0 || c[1] < 0 || pss < 0) {
                std::printf("run %d at %d dpi: a window did not show or no memory was measured (splash %.1f, pair "
                            "%.1f ms, PSS %lld KiB)\n",
                            i - kWarmUp + 1, s->dpi, c[0], c[1], pss);
                return 1;
            }
            s->at.splash.push_back(c[0]);
            s->at.pair.push_back(c[1]);
            Record(marks, s->at.order, s->at.steps);
            std::printf("run %d at %d dpi: splash %.1f ms, login pair %.1f ms", i - kWarmUp + 1, s->dpi, c[0], c[1]);
            if (!memory.empty()) {
                s->at.pss.push_back(static_cast<double>(pss));
                std::printf(", PSS %lld KiB", pss);
            }
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    for (const AtScale* s : {&peer, &subject}) PrintSteps(s->at);
    for (const AtScale* s : {&peer, &subject}) {
        std::printf("medians over %d runs at %d dpi (%d %%): splash %.1f ms, login pair %.1f ms", runs, s->dpi,
                    s->dpi * 100 / 96, Median(s->at.splash), Median(s->at.pair));
        if (!memory.empty()) std::printf(", PSS %.0f KiB", Median(s->at.pss));
        std::printf("\n");
    }
    const double pairRatio = MedianRatio(subject.at.pair, peer.at.pair);
    std::printf("%d dpi / %d dpi, median of each run's ratio: splash %.2f, login pair %.2f (target at most 1.15: %s)\n",
                dpi, peerDpi, MedianRatio(subject.at.splash, peer.at.splash), pairRatio,
                pairRatio <= 1.15 ? "met" : "missed");
    if (!memory.empty()) {
        const double more = MedianDifference(subject.at.pss, peer.at.pss);
        std::printf("PSS at %d dpi - at %d dpi, median of each run's difference: %+.0f KiB, ratio %.3f (target at "
                    "most +4 MiB = 4096 KiB: %s)\n",
                    dpi, peerDpi, more, MedianRatio(subject.at.pss, peer.at.pss), more <= 4096 ? "met" : "missed");
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 6 && std::wstring(argv[1]) == L"--scales")
        return Scales(argv[2], std::max(1, _wtoi(argv[3])), _wtoi(argv[4]), _wtoi(argv[5]), argc > 6 ? argv[6] : L"");
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup-bench <Corvane.exe> <minimal-window.exe> <runs> [<earlier Corvane.exe>]\n"
                             "       startup-bench --scales <Corvane.exe> <runs> <peer dpi> <dpi> [<memory folder>]\n");
        return 2;
    }
    std::vector<Subject> subjects;
    if (argc > 4) subjects.push_back({"before", argv[4]});
    subjects.push_back({argc > 4 ? "after" : "Corvane", argv[1]});
    const std::wstring minimal = argv[2];
    const int runs = std::max(1, _wtoi(argv[3]));
    constexpr int kWarmUp = 2;

    Peer imports{Beside(minimal, L"import-peer.exe")}, loads{Beside(minimal, L"load-peer.exe")};
    std::vector<double> floor;
    for (int i = 0; i < kWarmUp + runs; ++i) {
        // Alternating the programs keeps them equally warm.
        const std::vector<double> f = TimeStages(minimal, {{L"MinimalWindow"}});
        if (!imports.Run(i >= kWarmUp) || !loads.Run(i >= kWarmUp)) {
            std::printf("run %d: a peer's window did not show\n", i - kWarmUp + 1);
            return 1;
        }
        for (Subject& s : subjects) {
            std::vector<Mark> marks;
            const std::vector<double> c = TimeStages(s.exe, {{L"LoadFrm"}, {L"LoginBgFrm", L"LoginFrm"}}, &marks);
            if (i < kWarmUp) continue;
            if (f[0] < 0 || c[0] < 0 || c[1] < 0) {
                std::printf("run %d (%s): a window did not show (floor %.1f, splash %.1f, pair %.1f ms)\n",
                            i - kWarmUp + 1, s.name.c_str(), f[0], c[0], c[1]);
                return 1;
            }
            s.splash.push_back(c[0]);
            s.pair.push_back(c[1]);
            Record(marks, s.order, s.steps);
            std::printf("run %d: minimal window %.1f ms, %s: splash %.1f ms, login pair %.1f ms\n", i - kWarmUp + 1,
                        f[0], s.name.c_str(), c[0], c[1]);
        }
        if (i >= kWarmUp) floor.push_back(f[0]);
    }
    const double mf = Median(floor);
    std::printf("medians over %d warm runs: minimal window %.1f ms\n", runs, mf);
    PrintSplit(mf, imports, loads, subjects);
    for (const Subject& s : subjects) PrintSteps(s);
    for (const Subject& s : subjects) {
        const double ms = Median(s.splash), mp = Median(s.pair);
        std::printf("%s: splash %.1f ms, login pair %.1f ms; ratio splash / minimal window %.2f, login pair / "
                    "minimal window %.2f, login pair within 1 s of start: %s\n",
                    s.name.c_str(), ms, mp, ms / mf, mp / mf, mp <= 1000 ? "yes" : "no");
    }
    for (const Subject& s : subjects)
        std::printf("%s, median of each run's ratio to its minimal window: splash %.2f, login pair %.2f\n",
                    s.name.c_str(), MedianRatio(s.splash, floor), MedianRatio(s.pair, floor));
    if (subjects.size() == 2)
        std::printf("after / before, median of each run's ratio: splash %.2f, login pair %.2f\n",
                    MedianRatio(subjects[1].splash, subjects[0].splash),
                    MedianRatio(subjects[1].pair, subjects[0].pair));
    return 0;
}
