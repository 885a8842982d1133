#pragma once
// The addresses a view has shown, for its "back" command: the page shown is the newest. A page
// may refresh itself to ever-new long addresses, so the list keeps only the newest ones, within
// a count and a size, and drops the oldest.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace browser {

inline constexpr std::size_t kMaxBackEntries = 50;
inline constexpr std::size_t kMaxBackBytes = 1u << 20;  // of the addresses (UTF-8) together

class BackList {
public:
    // A page arrived from `url`; showing the newest one again adds nothing.
    void Visit(std::string url);
    bool CanGoBack() const { return m_entries.size() > 1; }
    // The address before the page shown, taken off the list with it (the page's arrival visits
    // it again); nullopt when there is none.
    std::optional<std::string> GoBack();
    const std::deque<std::string>& entries() const { return m_entries; }

private:
    std::deque<std::string> m_entries;
    std::size_t m_bytes = 0;
};

}  // namespace browser
