#include "update/UpdateManifest.h"

namespace corvane {

std::wstring LocalVersionString(int major, int minor, int revision)
{
    return std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(revision);
}

bool IsVersionLine(std::wstring_view line)
{
    static constexpr std::wstring_view key = L"version";
    if (line.size() < key.size()) return false;
    for (std::size_t start = 0; start + key.size() <= line.size(); ++start) {
        std::size_t i = 0;
        while (i < key.size()) {
            wchar_t c = line[start + i];
            // Only the ASCII letters change case: the rest of the text is not a key word.
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
            if (c != key[i]) break;
            ++i;
        }
        if (i == key.size()) return true;
    }
    return false;
}

std::wstring VersionValue(std::wstring_view line)
{
    if (line.size() <= 8) return {};
    std::wstring_view value = line.substr(8);
    const auto first = value.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    const auto last = value.find_last_not_of(L' ');
    return std::wstring(value.substr(first, last - first + 1));
}

std::optional<std::wstring> ManifestVersion(const std::vector<std::wstring>& lines)
{
    for (const auto& line : lines)
        if (IsVersionLine(line)) return VersionValue(line);
    return std::nullopt;
}

}  // namespace corvane
