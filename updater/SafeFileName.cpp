#include "updater/SafeFileName.h"

#include <array>

#include "updater/StagedReplace.h"

namespace corvane {

namespace {

wchar_t FoldLetter(wchar_t c)
{
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);  // Latin-1
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        // Latin Extended-A pairs its letters, upper case first; from U+0139 to U+0148 and from
        // U+0179 on the pairs start on an odd code point.
        const bool oddPairs = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        if ((c % 2 == 1) != oddPairs) return static_cast<wchar_t>(c - 1);
        return c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<wchar_t>(c - 0x20);  // Greek
    if (c >= 0x430 && c <= 0x44F) return static_cast<wchar_t>(c - 0x20);  // Cyrillic
    if (c >= 0x450 && c <= 0x45F) return static_cast<wchar_t>(c - 0x50);
    if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<wchar_t>(c - 0x20);  // full-width Latin
    return c;
}

bool IsPortDigit(wchar_t c)
{
    // The system reads the superscript digits as port numbers as well.
    return (c >= L'0' && c <= L'9') || c == 0xB9 || c == 0xB2 || c == 0xB3;
}

}  // namespace

std::wstring FoldedFileName(std::wstring_view name)
{
    std::wstring folded(name);
    for (auto& c : folded) c = FoldLetter(c);
    return folded;
}

bool IsDeviceName(std::wstring_view name)
{
    std::wstring_view base = name.substr(0, name.find(L'.'));
    const auto last = base.find_last_not_of(L' ');
    base = base.substr(0, last == std::wstring_view::npos ? 0 : last + 1);
    std::wstring upper;
    for (wchar_t c : base) upper += (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 0x20) : c;
    static constexpr std::array<std::wstring_view, 6> plain = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (auto device : plain)
        if (upper == device) return true;
    return upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) && IsPortDigit(upper[3]);
}

bool IsSafeFileName(std::wstring_view name)
{
    if (name.empty() || name.find(L"..") != std::wstring_view::npos) return false;
    for (wchar_t c : name) {
        if (c < 0x20) return false;
        if (std::wstring_view(L"\\/:*?\"<>|~").find(c) != std::wstring_view::npos) return false;
    }
    if (name.back() == L'.' || name.back() == L' ') return false;
    // The updater's own staged and set-aside files are removed by its next run.
    return !IsDeviceName(name) && !IsUpdaterFileName(name);
}

}  // namespace corvane
