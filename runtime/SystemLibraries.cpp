#include "runtime/SystemLibraries.h"

#include <string>

namespace rt {

HMODULE SystemLibrary(const wchar_t* name)
{
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    if (HMODULE module = ::LoadLibraryExW(name, nullptr, kSearchSystem32)) return module;
    // Windows 7 before its loader update refuses the flag: the library's full path then.
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace rt
