#include "mainwindow/UrlCacheCleaner.h"

#include <cstring>

namespace corvane {

namespace {

enum class Next { Entries, Stop };

class FindGuard {
public:
    FindGuard(UrlCacheApi& cache, UrlCacheApi::Handle find) : m_cache(cache), m_find(find) {}
    ~FindGuard()
    {
        if (m_find) m_cache.CloseFind(m_find);
    }
    FindGuard(const FindGuard&) = delete;
    FindGuard& operator=(const FindGuard&) = delete;

private:
    UrlCacheApi& m_cache;
    UrlCacheApi::Handle m_find;
};

Next DeleteGroups(UrlCacheApi& cache)
{
    std::int64_t group = 0;
    UrlCacheApi::Handle find = nullptr;
    const CacheCall first = cache.FindFirstGroup(group, find);
    if (first.error == kErrorMissingEntryPoint) return Next::Entries;
    // Wine reports "no groups" as a failure without an error code; that is no reason to stop.
    if (!find) return first.error == kErrorFileNotFound || first.error == 0 ? Next::Entries : Next::Stop;
    FindGuard guard(cache, find);
    for (;;) {
        const CacheCall deleted = cache.DeleteGroup(group);
        if (!deleted.ok && deleted.error != kErrorMissingEntryPoint) return Next::Stop;
        const CacheCall next = cache.FindNextGroup(find, group);
        if (next.ok) continue;
        // Without a next-group function the walk could only delete the same group again.
        if (next.error == kErrorFileNotFound || next.error == kErrorMissingEntryPoint) return Next::Entries;
        // Any other failure is passed over: the current group is tried once more, and a group
        // that cannot be deleted ends the whole walk above.
    }
}

void PrepareBuffer(std::vector<unsigned char>& buffer, std::uint32_t& size)
{
    std::memcpy(buffer.data(), &kEntryInfoSize, sizeof kEntryInfoSize);
    size = static_cast<std::uint32_t>(buffer.size());
}

// An entry whose information does not fit: the one buffer grows to what the system asks for and
// the same call is made again. False when the system asks for nothing larger.
bool Grow(std::vector<unsigned char>& buffer, std::uint32_t needed)
{
    if (needed <= buffer.size()) return false;
    buffer.resize(needed);
    return true;
}

// True when the walk went through every entry.
bool DeleteEntries(UrlCacheApi& cache, const std::string& pattern, std::uint32_t keepMask)
{
    std::vector<unsigned char> buffer(kEntryBufferSize);
    std::uint32_t size = 0;
    UrlCacheApi::Handle find = nullptr;
    CacheCall call;
    do {
        PrepareBuffer(buffer, size);
        call = cache.FindFirstEntry(pattern, buffer, size, find);
    } while (!find && call.error == kErrorInsufficientBuffer && Grow(buffer, size));
    if (!find) return call.error == kErrorNoMoreItems;
    FindGuard guard(cache, find);
    for (;;) {
        const CacheEntryView entry = cache.ReadEntry(buffer);
        // A failed deletion (an entry in use) only skips that entry.
        if ((entry.type & keepMask) == 0 && entry.sourceUrl) cache.DeleteEntry(entry.sourceUrl);
        do {
            PrepareBuffer(buffer, size);
            call = cache.FindNextEntry(find, buffer, size);
        } while (!call.ok && call.error == kErrorInsufficientBuffer && Grow(buffer, size));
        if (!call.ok) return call.error == kErrorNoMoreItems;  // anything else stops the walk early
    }
}

}  // namespace

bool ClearUrlCache(UrlCacheApi& cache, const std::string& pattern, std::uint32_t keepMask)
{
    if (DeleteGroups(cache) == Next::Stop) return false;
    return DeleteEntries(cache, pattern, keepMask);
}

}  // namespace corvane
