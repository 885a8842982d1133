// What signed updates cost: reading and checking a signed manifest against reading its lines as
// the check did before, and the staged replace of a client (flush, set aside, move into place,
// remove the old one) against one plain move over the old file.
// Usage: update-bench.exe SIGNED-MANIFEST WORK-DIRECTORY [CLIENT-MB] [RUNS]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/TextFile.h"
#include "tools/bench/BenchSupport.h"
#include "update/ManifestVerifier.h"
#include "updater/PlatformFileSystem.h"
#include "updater/StagedReplace.h"

namespace {

template <typename Work>
double MedianMs(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = bench::NowMs();
        work();
        times.push_back(bench::NowMs() - start);
    }
    return bench::Median(times);
}

void WriteFileOf(const std::wstring& path, std::size_t bytes, char fill)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<char> block(1 << 20, fill);
    for (std::size_t done = 0; done < bytes; done += block.size()) {
        DWORD written = 0;
        ::WriteFile(file, block.data(), static_cast<DWORD>(std::min(block.size(), bytes - done)), &written, nullptr);
    }
    ::CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: update-bench SIGNED-MANIFEST WORK-DIRECTORY [CLIENT-MB] [RUNS]\n");
        return 2;
    }
    const std::wstring manifest = argv[1];
    const std::wstring dir = std::wstring(argv[2]) + L"\\";
    const std::size_t clientBytes = static_cast<std::size_t>(argc > 3 ? _wtoi(argv[3]) : 20) << 20;
    const int runs = argc > 4 ? _wtoi(argv[4]) : 9;

    // Warm both paths once: the first use of CNG loads its providers.
    if (corvane::ReadCheckedManifest(manifest).outcome != corvane::ManifestReading::Outcome::Accepted) {
        std::fprintf(stderr, "the manifest is not accepted: sign it with the demo key\n");
        return 1;
    }
    (void)rt::ReadAnsiLines(manifest);
    const double checked = MedianMs(runs * 10, [&] { (void)corvane::ReadCheckedManifest(manifest); });
    const double plain = MedianMs(runs * 10, [&] { (void)rt::ReadAnsiLines(manifest); });
    std::printf("manifest: read and checked %.3f ms, lines only %.3f ms, the check adds %.3f ms (target < 5), "
                "ratio %.1f\n",
                checked, plain, checked - plain, checked / plain);

    const std::wstring target = dir + L"Corvane.exe";
    const std::wstring staged = corvane::StagedPath(target);
    corvane::PlatformFileSystem fs(1000);
    std::vector<double> stagedTimes;
    std::vector<double> moveTimes;
    for (int i = 0; i < runs; ++i) {
        WriteFileOf(target, clientBytes, 'o');
        WriteFileOf(staged, clientBytes, 'n');
        double start = bench::NowMs();
        if (corvane::CommitStaged(fs, dir, {target}) != corvane::CommitResult::Committed) {
            std::fprintf(stderr, "the staged replace failed\n");
            return 1;
        }
        stagedTimes.push_back(bench::NowMs() - start);

        WriteFileOf(target, clientBytes, 'o');
        WriteFileOf(staged, clientBytes, 'n');
        start = bench::NowMs();
        ::MoveFileExW(staged.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
        moveTimes.push_back(bench::NowMs() - start);
    }
    const double stagedMs = bench::Median(stagedTimes);
    const double moveMs = bench::Median(moveTimes);
    std::printf("replace of a %zu MB client: staged %.2f ms, plain move %.2f ms, ratio %.1f\n", clientBytes >> 20,
                stagedMs, moveMs, stagedMs / moveMs);
    ::DeleteFileW(target.c_str());
    return 0;
}
