#include "update/UpdaterFolder.h"

#include <windows.h>
#include <bcrypt.h>

#include <system_error>
#include <thread>
#include <vector>

#include "runtime/Handles.h"

namespace corvane {

namespace {

// An updater ends a second or two after it started the client; this is plenty.
constexpr int kRemoveAttempts = 120;
constexpr DWORD kRemoveRetryMs = 250;

std::vector<std::wstring> UpdaterFolders(const std::wstring& tempDir)
{
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((tempDir + kUpdaterFolderPrefix + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return folders;
    do {
        // A link is not a folder the client made: it is left alone.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            folders.push_back(tempDir + found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return folders;
}

// True once the folder is gone. A running updater's program cannot be deleted.
bool RemoveFolder(const std::wstring& folder)
{
    ::DeleteFileW((folder + L"\\Update.exe").c_str());
    return ::RemoveDirectoryW(folder.c_str()) || ::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool UpdaterRunning()
{
    rt::KernelHandle mutex(::OpenMutexW(SYNCHRONIZE, FALSE, kUpdaterMutexName));
    return static_cast<bool>(mutex);
}

std::optional<std::wstring> MakeUpdaterFolder(const std::wstring& tempDir)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        unsigned char random[12];
        if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
            return std::nullopt;
        std::wstring folder = tempDir + kUpdaterFolderPrefix;
        for (unsigned char byte : random) {
            folder += L"0123456789abcdef"[byte >> 4];
            folder += L"0123456789abcdef"[byte & 15];
        }
        // Made here or not at all: a folder someone else made first is not ours.
        if (::CreateDirectoryW(folder.c_str(), nullptr)) return folder + L"\\";
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
    }
    return std::nullopt;
}

void RemoveEndedUpdaterFolders(const std::wstring& tempDir)
{
    std::vector<std::wstring> folders = UpdaterFolders(tempDir);
    if (folders.empty()) return;
    const auto removeAll = [](std::vector<std::wstring> left) {
        for (int attempt = 0; attempt < kRemoveAttempts && !left.empty(); ++attempt) {
            if (attempt != 0) ::Sleep(kRemoveRetryMs);
            // Some systems let a running program's file go: the folder waits for its updater.
            if (!UpdaterRunning()) std::erase_if(left, RemoveFolder);
        }
    };
    try {
        // The thread owns everything it touches; the process may end before it does.
        std::thread(removeAll, std::move(folders)).detach();
    } catch (const std::system_error&) {
        for (const std::wstring& folder : UpdaterFolders(tempDir)) RemoveFolder(folder);
    }
}

}  // namespace corvane
