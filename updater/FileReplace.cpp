#include "updater/FileReplace.h"

#include "runtime/App.h"

namespace corvane {

std::wstring TempFileBeside(const std::wstring& target)
{
    const auto slash = target.rfind(L'\\');
    const std::wstring dir = slash == std::wstring::npos ? L"." : target.substr(0, slash + 1);
    wchar_t name[MAX_PATH + 16] = {};
    if (!::GetTempFileNameW(dir.c_str(), L"upd", 0, name)) return {};
    return name;
}

bool ReplaceWithRetry(const std::wstring& temp, const std::wstring& target, DWORD patienceMs)
{
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        if (::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        const DWORD error = ::GetLastError();
        const bool inUse =
            error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        if (!inUse || ::GetTickCount64() - start >= patienceMs) break;
        rt::App::DoEvents();
        ::Sleep(100);
    }
    ::DeleteFileW(temp.c_str());
    return false;
}

}  // namespace corvane
