#include "tests/driver/MessageSequence.h"

#include <algorithm>
#include <cstdio>

namespace driver {

namespace {

constexpr unsigned kMatchFlags = kSent | kPosted | kParent | kBefore | kAfter | kDefWinProc;

std::string Describe(const Msg& m)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%04x flags %03x w %08lx l %08lx", m.message, m.flags,
                  static_cast<unsigned long>(m.wParam), static_cast<unsigned long>(m.lParam));
    return buffer;
}

bool Matches(const Msg& want, const Msg& got)
{
    if (want.message != got.message) return false;
    if ((want.flags & kMatchFlags) != (got.flags & kMatchFlags)) return false;
    if ((want.flags & kWParam) && want.wParam != got.wParam) return false;
    if ((want.flags & kLParam) && want.lParam != got.lParam) return false;
    return true;
}

}  // namespace

std::string MessageSequence::Compare(const Msg* expected) const
{
    std::size_t g = 0;
    const Msg* e = expected;
    bool ok = true;
    while (e->message && ok) {
        if (g < m_log.size() && Matches(*e, m_log[g])) {
            ++e;
            ++g;
        } else if (e->flags & kOptional) {
            ++e;
        } else {
            ok = false;
        }
    }
    if (ok && g == m_log.size()) return {};

    std::vector<const Msg*> wanted;
    for (const Msg* p = expected; p->message; ++p) wanted.push_back(p);
    std::string report = "expected | got\n";
    const std::size_t rows = std::max(wanted.size(), m_log.size());
    for (std::size_t i = 0; i < rows; ++i) {
        std::string left = i < wanted.size() ? Describe(*wanted[i]) : std::string(36, ' ');
        std::string right = i < m_log.size() ? Describe(m_log[i]) : "";
        report += left + " | " + right + "\n";
    }
    return report;
}

}  // namespace driver
