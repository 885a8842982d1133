#pragma once
// High Contrast on for a test, with colours of the test's own: the decision goes through the
// client's seam (Wine keeps no High Contrast setting) and the colours are set as the system's
// for the scope, which every top-level window hears of. Both are put back at the scope's end,
// which every top-level window hears of again.

#include <windows.h>

#include <initializer_list>
#include <utility>
#include <vector>

namespace driver {

class HighContrastScheme {
public:
    // Pairs of a system colour index (COLOR_*) and its colour.
    explicit HighContrastScheme(std::initializer_list<std::pair<int, COLORREF>> colours);
    ~HighContrastScheme();
    HighContrastScheme(const HighContrastScheme&) = delete;
    HighContrastScheme& operator=(const HighContrastScheme&) = delete;

    explicit operator bool() const { return m_set; }

private:
    std::vector<int> m_indexes;
    std::vector<COLORREF> m_saved;
    bool m_set = false;
};

}  // namespace driver
