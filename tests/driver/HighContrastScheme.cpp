#include "tests/driver/HighContrastScheme.h"

#include "runtime/HighContrast.h"

namespace driver {

HighContrastScheme::HighContrastScheme(std::initializer_list<std::pair<int, COLORREF>> colours)
{
    std::vector<COLORREF> wanted;
    for (const auto& [index, colour] : colours) {
        m_indexes.push_back(index);
        m_saved.push_back(::GetSysColor(index));
        wanted.push_back(colour);
    }
    rt::SetHighContrastForTesting(true);
    m_set = ::SetSysColors(static_cast<int>(m_indexes.size()), m_indexes.data(), wanted.data()) != FALSE;
}

HighContrastScheme::~HighContrastScheme()
{
    rt::SetHighContrastForTesting(std::nullopt);
    ::SetSysColors(static_cast<int>(m_indexes.size()), m_indexes.data(), m_saved.data());
}

}  // namespace driver
