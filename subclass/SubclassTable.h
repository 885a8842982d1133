#pragma once
// One message table of the self-subclasser: a count and 32 slots. Count -1 matches every
// message, 0 none, n the messages in the first n slots; a slot holding 0 is free (left by a
// deletion) and matches nothing.

#include <array>
#include <cstdint>

namespace corvane {

inline constexpr std::int32_t ALL_MESSAGES = -1;
inline constexpr int MSG_ENTRIES = 32;

class SubclassTable {
public:
    // Adds a message (ALL_MESSAGES: every message). A free slot is reused; a message already
    // listed is not listed twice. Returns false, leaving the table as it was, when all 32 slots
    // are taken.
    bool Add(std::int32_t message);
    // Deletes a message (ALL_MESSAGES: empties the table). Deleting one message from a table
    // that matches every message changes nothing.
    void Delete(std::int32_t message);
    void Clear() { m_count = 0; }
    bool Matches(std::uint32_t message) const;
    std::int32_t Count() const { return m_count; }

private:
    std::int32_t m_count = 0;
    std::array<std::int32_t, MSG_ENTRIES> m_slots{};
};

}  // namespace corvane
