#include "subclass/SubclassTable.h"

namespace corvane {

bool SubclassTable::Add(std::int32_t message)
{
    if (message == ALL_MESSAGES) {
        m_count = ALL_MESSAGES;
        return true;
    }
    // A table matching every message starts again from its first slot.
    for (int i = 0;; ++i) {
        if (i >= m_count) {
            if (i >= MSG_ENTRIES) return false;
            m_slots[i] = message;
            m_count = i + 1;
            return true;
        }
        if (m_slots[i] == 0) {
            m_slots[i] = message;
            return true;
        }
        if (m_slots[i] == message) return true;
    }
}

void SubclassTable::Delete(std::int32_t message)
{
    if (message == ALL_MESSAGES) {
        m_count = 0;
        return;
    }
    for (int i = 0; i < m_count; ++i) {
        if (m_slots[i] == message) {
            m_slots[i] = 0;
            return;
        }
    }
}

bool SubclassTable::Matches(std::uint32_t message) const
{
    if (m_count < 0) return true;
    if (message == 0) return false;
    for (int i = 0; i < m_count; ++i)
        if (static_cast<std::uint32_t>(m_slots[i]) == message) return true;
    return false;
}

}  // namespace corvane
