#pragma once
// Message-sequence checking in the manner of Wine's own user32 tests: windows under test append
// what they see to a log, the test compares the log with a table that ends in {0}.

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

enum MsgFlags : unsigned {
    kSent = 0x1,
    kPosted = 0x2,
    kParent = 0x4,     // seen by the parent or owner
    kBefore = 0x8,     // seen by a hook before the window procedure
    kAfter = 0x10,     // seen by a hook after it
    kDefWinProc = 0x20,
    kWParam = 0x40,    // compare wParam
    kLParam = 0x80,    // compare lParam
    kOptional = 0x100, // may be missing from the log
};

struct Msg {
    UINT message;
    unsigned flags;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageSequence {
public:
    void Add(UINT message, unsigned flags, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        m_log.push_back({message, flags, wParam, lParam});
    }
    void Flush() { m_log.clear(); }
    const std::vector<Msg>& Log() const { return m_log; }

    // Compares the log with `expected` (terminated by an entry whose message is 0). Flags other
    // than kWParam, kLParam and kOptional must match exactly. Returns "" on a match, otherwise
    // both lists side by side for the failure message.
    std::string Compare(const Msg* expected) const;

private:
    std::vector<Msg> m_log;
};

}  // namespace driver
