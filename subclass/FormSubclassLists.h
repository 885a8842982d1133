#pragma once
// The message lists of cFormSubclass: per window and phase, which messages reach the owner.
// A count of -1 matches every message, 0 matches none; an entry 0 is a free slot.

#include <cstdint>
#include <vector>

namespace corvane {

// When flags of the form subclasser: 2 before the window's procedure, 1 after it.
enum FormSubclassWhen : std::int32_t { kFormWhenAfter = 1, kFormWhenBefore = 2 };
inline constexpr std::int32_t kAllMessages = -1;

class PhaseMessages {
public:
    bool Matches(std::uint32_t message) const;
    // Adds a message number, or every message for kAllMessages. Adding one already present
    // does nothing; a free slot is filled before the list grows.
    void Add(std::int32_t message);
    void Clear();
    std::int32_t Count() const { return m_count; }

private:
    std::int32_t m_count = 0;
    std::vector<std::uint32_t> m_entries;
};

struct WindowMessageLists {
    PhaseMessages before;
    PhaseMessages after;

    // Adds `message` to the lists the When flags name (both when both are given).
    void Add(std::int32_t message, std::int32_t when);
};

}  // namespace corvane
