#include "browser/html/ImageCache.h"

namespace browser {

std::shared_ptr<const std::string> ImageCache::Find(const std::string& url)
{
    auto it = m_index.find(url);
    if (it == m_index.end()) return nullptr;
    m_order.splice(m_order.begin(), m_order, it->second);
    return it->second->second;
}

void ImageCache::Erase(std::list<Entry>::iterator it)
{
    m_bytes -= it->second ? it->second->size() : 0;
    m_index.erase(it->first);
    m_order.erase(it);
}

void ImageCache::Store(const std::string& url, std::shared_ptr<const std::string> bytes)
{
    if (auto it = m_index.find(url); it != m_index.end()) Erase(it->second);
    if (!bytes || bytes->size() > m_maxBytes) return;
    m_bytes += bytes->size();
    m_order.emplace_front(url, std::move(bytes));
    m_index[url] = m_order.begin();
    while (m_bytes > m_maxBytes) Erase(std::prev(m_order.end()));
}

}  // namespace browser
