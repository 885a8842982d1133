#include "runtime/TempDir.h"

#include <windows.h>

#include <vector>

namespace corvane {

namespace {

// Calls `get(buffer, size)`, which answers the length it needs when the buffer is too small, with
// a buffer as large as it asks for; empty on failure.
template <typename Get>
std::wstring Growing(Get get)
{
    std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
    DWORD n = get(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n >= buffer.size()) {
        buffer.assign(n + 1, L'\0');
        n = get(buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    if (n == 0 || n >= buffer.size()) return {};
    return std::wstring(buffer.data(), n);
}

}  // namespace

std::wstring SystemTempDir()
{
    std::wstring dir = Growing([](wchar_t* b, DWORD n) { return ::GetTempPathW(n, b); });
    // The platform answers nothing for a directory longer than MAX_PATH; it is still where the
    // variables point, in the platform's own order.
    for (const wchar_t* name : {L"TMP", L"TEMP", L"USERPROFILE"}) {
        if (!dir.empty()) break;
        dir = Growing([name](wchar_t* b, DWORD n) { return ::GetEnvironmentVariableW(name, b, n); });
    }
    if (dir.empty()) dir = Growing([](wchar_t* b, DWORD n) { return ::GetWindowsDirectoryW(b, n); });
    return NormalizeTempDir(dir);
}

}  // namespace corvane
