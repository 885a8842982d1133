#pragma once
// A URL cache in memory behind the cleaner's seam: groups, entries with types and URLs,
// entries whose information needs a large buffer, functions that may be missing or fail, and a
// journal of every call.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/UrlCacheCleaner.h"

namespace corvane::test {

class FakeUrlCache : public UrlCacheApi {
public:
    struct Entry {
        std::string url;
        std::uint32_t type = 0;
        std::uint32_t infoSize = 200;  // bytes the entry's information needs
        bool inUse = false;            // deletion fails
    };

    std::vector<std::int64_t> groups;
    std::vector<Entry> entries;
    bool groupFunctionsMissing = false;
    bool nextGroupMissing = false;
    std::optional<std::uint32_t> firstGroupError;  // forced failure of the first group search
    std::uint32_t emptyGroupError = kErrorFileNotFound;
    std::optional<std::uint32_t> deleteGroupError;
    std::optional<std::uint32_t> firstEntryError;  // forced failure of the first entry search
    std::optional<std::uint32_t> nextEntryErrorAt;  // the n-th next-entry call fails with this
    std::size_t nextEntryFailIndex = 0;
    std::vector<std::string> journal;
    std::vector<std::size_t> bufferSizes;  // buffer size at each entry call
    int openFinds = 0;

    CacheCall FindFirstGroup(std::int64_t& groupId, Handle& find) override
    {
        journal.push_back("FindFirstGroup");
        find = nullptr;
        if (groupFunctionsMissing) return {false, kErrorMissingEntryPoint};
        if (firstGroupError) return {false, *firstGroupError};
        if (groups.empty()) return {false, emptyGroupError};
        m_groupCursor = 0;
        groupId = groups[0];
        ++openFinds;
        find = &m_groupCursor;
        return {true, 0};
    }
    CacheCall FindNextGroup(Handle, std::int64_t& groupId) override
    {
        journal.push_back("FindNextGroup");
        if (nextGroupMissing) return {false, kErrorMissingEntryPoint};
        // Deleted groups are gone from the list; the cursor stays at the next one.
        if (m_groupCursor >= groups.size()) return {false, kErrorFileNotFound};
        groupId = groups[m_groupCursor];
        return {true, 0};
    }
    CacheCall DeleteGroup(std::int64_t groupId) override
    {
        journal.push_back("DeleteGroup " + std::to_string(groupId));
        if (groupFunctionsMissing) return {false, kErrorMissingEntryPoint};
        if (deleteGroupError) return {false, *deleteGroupError};
        for (auto it = groups.begin(); it != groups.end(); ++it) {
            if (*it == groupId) {
                groups.erase(it);
                return {true, 0};
            }
        }
        return {false, kErrorFileNotFound};
    }
    CacheCall FindFirstEntry(const std::string& pattern, std::vector<unsigned char>& buffer, std::uint32_t& size,
                             Handle& find) override
    {
        journal.push_back("FindFirstEntry " + pattern);
        find = nullptr;
        m_entryCursor = 0;
        if (firstEntryError) return {false, *firstEntryError};
        const CacheCall call = Fill(buffer, size);
        if (call.ok) {
            ++openFinds;
            find = &m_entryCursor;
        }
        return call;
    }
    CacheCall FindNextEntry(Handle, std::vector<unsigned char>& buffer, std::uint32_t& size) override
    {
        journal.push_back("FindNextEntry");
        if (nextEntryErrorAt && ++m_nextCalls == nextEntryFailIndex) return {false, *nextEntryErrorAt};
        ++m_entryCursor;
        const CacheCall call = Fill(buffer, size);
        if (!call.ok && call.error == kErrorInsufficientBuffer) --m_entryCursor;  // the walk stays put
        return call;
    }
    CacheCall DeleteEntry(const char* sourceUrl) override
    {
        journal.push_back(std::string("DeleteEntry ") + sourceUrl);
        for (Entry& e : entries) {
            if (e.url == sourceUrl && !e.inUse) {
                e.url = "<deleted>";
                return {true, 0};
            }
        }
        return {false, 5};
    }
    void CloseFind(Handle) override
    {
        journal.push_back("CloseFind");
        --openFinds;
    }
    CacheEntryView ReadEntry(const std::vector<unsigned char>& buffer) const override
    {
        std::uint32_t type = 0;
        std::memcpy(&type, buffer.data() + 4, sizeof type);
        return {type, reinterpret_cast<const char*>(buffer.data() + 8)};
    }

    std::vector<std::string> RemainingUrls() const
    {
        std::vector<std::string> urls;
        for (const Entry& e : entries)
            if (e.url != "<deleted>") urls.push_back(e.url);
        return urls;
    }

private:
    // Layout of the fake's information: struct size, type, then the URL.
    CacheCall Fill(std::vector<unsigned char>& buffer, std::uint32_t& size)
    {
        bufferSizes.push_back(buffer.size());
        std::uint32_t structSize = 0;
        std::memcpy(&structSize, buffer.data(), sizeof structSize);
        if (structSize != kEntryInfoSize) return {false, 87};
        while (m_entryCursor < entries.size() && entries[m_entryCursor].url == "<deleted>") ++m_entryCursor;
        if (m_entryCursor >= entries.size()) return {false, kErrorNoMoreItems};
        const Entry& e = entries[m_entryCursor];
        const std::uint32_t needed = std::max<std::uint32_t>(e.infoSize, 8 + e.url.size() + 1);
        if (size < needed) {
            size = needed;
            return {false, kErrorInsufficientBuffer};
        }
        std::memcpy(buffer.data() + 4, &e.type, sizeof e.type);
        std::memcpy(buffer.data() + 8, e.url.c_str(), e.url.size() + 1);
        return {true, 0};
    }

    std::size_t m_groupCursor = 0;
    std::size_t m_entryCursor = 0;
    std::size_t m_nextCalls = 0;
};

}  // namespace corvane::test
