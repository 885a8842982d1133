#include "app/StartupMarks.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "runtime/Handles.h"

namespace corvane {

namespace {

rt::KernelHandle OpenMarksFile()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"CORVANE_STARTUP_MARKS", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    return rt::KernelHandle(file);
}

}  // namespace

void StartupMark(const char* step)
{
    static const rt::KernelHandle file = OpenMarksFile();
    if (!file) return;
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    char line[96];
    // Written at once: the benchmark ends the process as soon as it has seen the login pair.
    const int length = std::snprintf(line, sizeof line, "%s\t%.3f\n", step,
                                     static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart));
    if (length <= 0) return;
    DWORD written = 0;
    ::WriteFile(file.get(), line, static_cast<DWORD>(std::min<int>(length, sizeof line - 1)), &written, nullptr);
}

}  // namespace corvane
