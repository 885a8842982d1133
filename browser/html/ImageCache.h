#pragma once
// The bytes of images fetched earlier, by address, so that a page shown again does not wait for
// its images a second time. The system's browser control likewise checks for newer versions of
// what it has once per session; a reload (Refresh) fetches them anew. The least recently used
// images go first once the cache holds more than its limit.

#include <cstddef>
#include <iterator>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

namespace browser {

class ImageCache {
public:
    explicit ImageCache(std::size_t maxBytes = 8u << 20) : m_maxBytes(maxBytes) {}

    // The bytes stored for `url`, nullptr when there are none.
    std::shared_ptr<const std::string> Find(const std::string& url);
    // Keeps `bytes` for `url` (replacing what was there); bytes larger than the whole cache are
    // not kept.
    void Store(const std::string& url, std::shared_ptr<const std::string> bytes);
    std::size_t Bytes() const { return m_bytes; }
    std::size_t Count() const { return m_index.size(); }

private:
    using Entry = std::pair<std::string, std::shared_ptr<const std::string>>;
    void Erase(std::list<Entry>::iterator it);

    std::size_t m_maxBytes;
    std::size_t m_bytes = 0;
    std::list<Entry> m_order;  // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> m_index;
};

}  // namespace browser
