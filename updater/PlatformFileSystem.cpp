#include "updater/PlatformFileSystem.h"

#include "runtime/App.h"
#include "runtime/Handles.h"

namespace corvane {

namespace {

bool InUse(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Waits out a file in use for up to `patienceMs`; false for any other failure or when time is up.
template <typename Attempt>
bool WithPatience(DWORD patienceMs, Attempt attempt)
{
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        if (attempt()) return true;
        if (!InUse(::GetLastError()) || ::GetTickCount64() - start >= patienceMs) return false;
        rt::App::DoEvents();
        ::Sleep(100);
    }
}

}  // namespace

bool PlatformFileSystem::Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool PlatformFileSystem::Move(const std::wstring& from, const std::wstring& to)
{
    const bool moved = WithPatience(m_patienceMs, [&] {
        return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    });
    if (!moved) rt::App::LogEvent(L"Update: moving " + from + L" to " + to + L" failed");
    return moved;
}

bool PlatformFileSystem::Remove(const std::wstring& path)
{
    return ::DeleteFileW(path.c_str()) != FALSE;
}

bool PlatformFileSystem::Flush(const std::wstring& path)
{
    // Without this a power cut right after the move can leave the new name on zero-filled blocks.
    rt::KernelHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ::FlushFileBuffers(file.get());
}

bool PlatformFileSystem::WriteDurably(const std::wstring& path, const std::wstring& text)
{
    rt::KernelHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0;
    return ::WriteFile(file.get(), text.data(), bytes, &written, nullptr) && written == bytes &&
           ::FlushFileBuffers(file.get());
}

std::optional<std::wstring> PlatformFileSystem::ReadText(const std::wstring& path, std::size_t maxChars)
{
    rt::KernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart % sizeof(wchar_t) != 0 ||
        static_cast<ULONGLONG>(size.QuadPart) / sizeof(wchar_t) > maxChars)
        return std::nullopt;
    std::wstring text(static_cast<std::size_t>(size.QuadPart) / sizeof(wchar_t), L'\0');
    const DWORD bytes = static_cast<DWORD>(size.QuadPart);
    DWORD read = 0;
    if (bytes != 0 && (!::ReadFile(file.get(), text.data(), bytes, &read, nullptr) || read != bytes))
        return std::nullopt;
    return text;
}

std::vector<std::wstring> PlatformFileSystem::List(const std::wstring& directory)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((directory + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

}  // namespace corvane
