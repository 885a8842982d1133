#include "subclass/FormSubclassLists.h"

#include <algorithm>

namespace corvane {

bool PhaseMessages::Matches(std::uint32_t message) const
{
    if (m_count < 0) return true;
    return std::find(m_entries.begin(), m_entries.begin() + m_count, message) != m_entries.begin() + m_count;
}

void PhaseMessages::Add(std::int32_t message)
{
    if (message == kAllMessages) {
        m_count = kAllMessages;
        return;
    }
    // Once every message matches, a single number adds nothing.
    if (m_count < 0) return;
    const auto number = static_cast<std::uint32_t>(message);
    for (std::int32_t i = 0; i < m_count; ++i) {
        if (m_entries[i] == 0) {
            m_entries[i] = number;
            return;
        }
        if (m_entries[i] == number) return;
    }
    m_entries.push_back(number);
    m_count = static_cast<std::int32_t>(m_entries.size());
}

void PhaseMessages::Clear()
{
    m_count = 0;
    m_entries.clear();
}

void WindowMessageLists::Add(std::int32_t message, std::int32_t when)
{
    if (when & kFormWhenBefore) before.Add(message);
    if (when & kFormWhenAfter) after.Add(message);
}

}  // namespace corvane
