#include "browser/html/BackList.h"

#include <utility>

namespace browser {

void BackList::Visit(std::string url)
{
    if (!m_entries.empty() && m_entries.back() == url) return;
    m_bytes += url.size();
    m_entries.push_back(std::move(url));
    // The page shown stays even when its address alone is over the size.
    while (m_entries.size() > 1 && (m_entries.size() > kMaxBackEntries || m_bytes > kMaxBackBytes)) {
        m_bytes -= m_entries.front().size();
        m_entries.pop_front();
    }
}

std::optional<std::string> BackList::GoBack()
{
    if (!CanGoBack()) return std::nullopt;
    m_bytes -= m_entries.back().size();
    m_entries.pop_back();
    std::string previous = std::move(m_entries.back());
    m_entries.pop_back();
    m_bytes -= previous.size();
    return previous;
}

}  // namespace browser
