#include "mainwindow/CacheMain.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <thread>

#include "runtime/App.h"
#include "runtime/Handles.h"
#include "runtime/SystemLibraries.h"

namespace corvane::CacheMain {

namespace {

using FindFirstGroupFn = HANDLE(WINAPI*)(DWORD, DWORD, LPVOID, DWORD, GROUPID*, LPVOID);
using FindNextGroupFn = BOOL(WINAPI*)(HANDLE, GROUPID*, LPVOID);
using DeleteGroupFn = BOOL(WINAPI*)(GROUPID, DWORD, LPVOID);

CacheCall Result(bool ok)
{
    return {ok, ok ? 0u : static_cast<std::uint32_t>(::GetLastError())};
}

template <typename Fn>
Fn WinInetFunction(const char* name)
{
    HMODULE wininet = rt::SystemLibrary(L"wininet.dll");
    return wininet ? reinterpret_cast<Fn>(::GetProcAddress(wininet, name)) : nullptr;
}

class WinInetCache final : public UrlCacheApi {
public:
    CacheCall FindFirstGroup(std::int64_t& groupId, Handle& find) override
    {
        static const auto fn = WinInetFunction<FindFirstGroupFn>("FindFirstUrlCacheGroup");
        if (!fn) return {false, kErrorMissingEntryPoint};
        GROUPID id = 0;
        find = fn(0, CACHEGROUP_SEARCH_ALL, nullptr, 0, &id, nullptr);
        groupId = id;
        return Result(find != nullptr);
    }
    CacheCall FindNextGroup(Handle find, std::int64_t& groupId) override
    {
        static const auto fn = WinInetFunction<FindNextGroupFn>("FindNextUrlCacheGroup");
        if (!fn) return {false, kErrorMissingEntryPoint};
        GROUPID id = groupId;
        const bool ok = fn(find, &id, nullptr);
        groupId = id;
        return Result(ok);
    }
    CacheCall DeleteGroup(std::int64_t groupId) override
    {
        static const auto fn = WinInetFunction<DeleteGroupFn>("DeleteUrlCacheGroup");
        if (!fn) return {false, kErrorMissingEntryPoint};
        return Result(fn(groupId, CACHEGROUP_FLAG_FLUSHURL_ONDELETE, nullptr));
    }
    CacheCall FindFirstEntry(const std::string& pattern, std::vector<unsigned char>& buffer, std::uint32_t& size,
                             Handle& find) override
    {
        DWORD n = size;
        // The system documents a null pattern as "every entry"; "*.*", which means the same to
        // the caller, finds nothing in some implementations (Wine's).
        const char* search = pattern == "*.*" ? nullptr : pattern.c_str();
        find = ::FindFirstUrlCacheEntryA(search, Info(buffer), &n);
        size = n;
        return Result(find != nullptr);
    }
    CacheCall FindNextEntry(Handle find, std::vector<unsigned char>& buffer, std::uint32_t& size) override
    {
        DWORD n = size;
        const bool ok = ::FindNextUrlCacheEntryA(find, Info(buffer), &n);
        size = n;
        return Result(ok);
    }
    CacheCall DeleteEntry(const char* sourceUrl) override { return Result(::DeleteUrlCacheEntryA(sourceUrl)); }
    void CloseFind(Handle find) override { ::FindCloseUrlCache(find); }
    CacheEntryView ReadEntry(const std::vector<unsigned char>& buffer) const override
    {
        const auto* info = reinterpret_cast<const INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
        return {static_cast<std::uint32_t>(info->CacheEntryType), info->lpszSourceUrlName};
    }

private:
    static INTERNET_CACHE_ENTRY_INFOA* Info(std::vector<unsigned char>& buffer)
    {
        return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    }
};

}  // namespace

UrlCacheApi& SystemUrlCache()
{
    static WinInetCache cache;
    return cache;
}

bool ClearUrlCache(const std::string& pattern, std::uint32_t mask)
{
    // A cache of tens of thousands of entries takes seconds: the walk runs on a thread of its
    // own (the cache functions are made for any thread) while this one keeps the windows
    // painting. Nothing the walk touches belongs to a window.
    std::atomic<bool> complete{false};
    const rt::KernelHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) return corvane::ClearUrlCache(SystemUrlCache(), pattern, mask);
    const HANDLE doneHandle = done.get();
    std::thread walk([&] {
        complete = corvane::ClearUrlCache(SystemUrlCache(), pattern, mask);
        ::SetEvent(doneHandle);
    });
    while (::MsgWaitForMultipleObjects(1, &doneHandle, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        if (!rt::App::DoEvents()) break;  // the program is ending: it waits for the walk below
    }
    walk.join();
    return complete;
}

}  // namespace corvane::CacheMain
