#include "tests/wine/update/UpdateTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "net/CKvDownLoadFile.h"
#include "tests/driver/Driver.h"

namespace updatetest {

namespace {

std::string Environment(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}

void RemoveTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = dir + L"\\" + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(dir.c_str());
}

}  // namespace

std::wstring WorkDir()
{
    return driver::UnixToWindowsPath(Environment("CORVANE_TEST_WORK"));
}

std::wstring FilesDir()
{
    return WorkDir() + L"\\files";
}

std::string SignedManifest(const std::string& text, const std::string& kind)
{
    WriteBytes(WorkDir() + L"\\update-source.txt", text);
    const std::wstring path = kind.empty() ? L"/gamehome/vld/update.txt" : L"/hostile/" + driver::Utf8ToWide(kind) + L"/update.txt";
    const std::wstring file = WorkDir() + L"\\fetched.tmp";
    corvane::CKvDownLoadFile downloader;
    std::string bytes;
    if (downloader.DownLoadFile(Portal("SIGN") + path, file, false, false) && downloader.ReceivedAll())
        bytes = ReadBytes(file).value_or("");
    ::DeleteFileW(file.c_str());
    EXPECT_FALSE(bytes.empty()) << "the signing portal answered nothing for " << driver::WideToUtf8(path);
    return bytes;
}

void ServeSigned(const std::string& text)
{
    WriteBytes(WorkDir() + L"\\update.txt", SignedManifest(text));
}

void ServeHostile(const std::string& kind)
{
    const auto source = ReadBytes(WorkDir() + L"\\update-source.txt").value_or("");
    WriteBytes(WorkDir() + L"\\update.txt", SignedManifest(source, kind));
}

void ServeManifest(const std::string& version, const std::string& fileLines)
{
    ServeSigned("version=" + version + "\r\n" + fileLines);
}

std::wstring FreshDir(const std::wstring& name)
{
    std::wstring dir = WorkDir() + L"\\" + name;
    RemoveTree(dir);
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

std::optional<std::string> ReadBytes(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    ::CloseHandle(file);
    return bytes;
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Pattern(std::size_t size, unsigned seed)
{
    std::string out(size, '\0');
    unsigned x = seed * 2654435761u + 1;
    for (auto& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x >> 24);
    }
    return out;
}

}  // namespace updatetest

#include <winternl.h>

#include <algorithm>

namespace updatetest {

DWORD FindProcess(const wchar_t* exeName)
{
    const std::vector<DWORD> ids = driver::ProcessesNamed(exeName);
    return ids.empty() ? 0 : ids.front();
}

std::wstring ProcessCommandLine(DWORD processId)
{
    using QueryFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process || !query) return {};
    std::wstring result;
    PROCESS_BASIC_INFORMATION info{};
    ULONG size = 0;
    if (query(process, 0, &info, sizeof info, &size) == 0) {
        // 32-bit layouts: PEB.ProcessParameters at 0x10, its CommandLine (UNICODE_STRING) at 0x40.
        auto* peb = reinterpret_cast<const char*>(info.PebBaseAddress);
        const char* params = nullptr;
        UNICODE_STRING line{};
        if (::ReadProcessMemory(process, peb + 0x10, &params, sizeof params, nullptr) &&
            ::ReadProcessMemory(process, params + 0x40, &line, sizeof line, nullptr)) {
            result.resize(line.Length / sizeof(wchar_t));
            if (!::ReadProcessMemory(process, line.Buffer, result.data(), line.Length, nullptr)) result.clear();
        }
    }
    ::CloseHandle(process);
    return result;
}

std::vector<std::wstring> ListDir(const std::wstring& dir)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ProbeClient(const std::string& tag)
{
    return ReadBytes(driver::BuildDir() + L"\\tests\\wine\\update\\update_probe.exe").value_or("") + tag;
}

}  // namespace updatetest
