#include "tabstrip/TabIndex.h"

#include <cmath>
#include <cwchar>

namespace corvane {

bool TabIndex::AsNumber(double& out) const
{
    if (const double* n = Number()) {
        out = *n;
        return true;
    }
    const std::wstring* text = Key();
    if (!text) return false;
    const wchar_t* begin = text->c_str();
    while (*begin == L' ' || *begin == L'\t') ++begin;
    if (!*begin) return false;
    wchar_t* end = nullptr;
    const double value = std::wcstod(begin, &end);
    if (end == begin) return false;
    while (*end == L' ' || *end == L'\t') ++end;
    if (*end || !std::isfinite(value)) return false;
    out = value;
    return true;
}

}  // namespace corvane
