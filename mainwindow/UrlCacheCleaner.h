#pragma once
// The cache cleaner's walk over the system's URL cache, written against a narrow seam of the
// cache functions so that it runs against a fake cache in tests. The Win32 side (CacheMain)
// puts WinINet behind the seam.

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// System error codes that steer the walk.
inline constexpr std::uint32_t kErrorFileNotFound = 2;       // no more groups
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;      // no more entries
// The function is not exported by the system's WinINet.
inline constexpr std::uint32_t kErrorMissingEntryPoint = 453;

inline constexpr std::uint32_t kCookieCacheEntry = 0x100000;
inline constexpr std::uint32_t kUrlHistoryCacheEntry = 0x200000;
inline constexpr std::uint32_t kKeepCookiesAndHistory = kCookieCacheEntry | kUrlHistoryCacheEntry;

inline constexpr std::uint32_t kEntryBufferSize = 2048;
inline constexpr std::uint32_t kEntryInfoSize = 80;  // INTERNET_CACHE_ENTRY_INFOA

// One call's outcome: `ok` as the function returned it, `error` the system error code read
// after a failure (kErrorMissingEntryPoint when the function does not exist).
struct CacheCall {
    bool ok = false;
    std::uint32_t error = 0;
};

// What the walk reads of an entry's information.
struct CacheEntryView {
    std::uint32_t type = 0;
    const char* sourceUrl = nullptr;
};

class UrlCacheApi {
public:
    using Handle = void*;
    virtual ~UrlCacheApi() = default;

    virtual CacheCall FindFirstGroup(std::int64_t& groupId, Handle& find) = 0;
    virtual CacheCall FindNextGroup(Handle find, std::int64_t& groupId) = 0;
    virtual CacheCall DeleteGroup(std::int64_t groupId) = 0;
    // `buffer` holds the entry information; `size` is its usable size in, the size needed out.
    virtual CacheCall FindFirstEntry(const std::string& pattern, std::vector<unsigned char>& buffer,
                                     std::uint32_t& size, Handle& find) = 0;
    virtual CacheCall FindNextEntry(Handle find, std::vector<unsigned char>& buffer, std::uint32_t& size) = 0;
    virtual CacheCall DeleteEntry(const char* sourceUrl) = 0;
    virtual void CloseFind(Handle find) = 0;
    // The fields of the entry information in `buffer`.
    virtual CacheEntryView ReadEntry(const std::vector<unsigned char>& buffer) const = 0;
};

// Deletes every cache group, then every entry matching `pattern` whose type shares no bit with
// `keepMask`. A walk that cannot go on stops; the result says whether it went through to the end
// (an entry in use is skipped, and does not count as stopping).
bool ClearUrlCache(UrlCacheApi& cache, const std::string& pattern, std::uint32_t keepMask);

}  // namespace corvane
