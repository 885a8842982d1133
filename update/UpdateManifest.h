#pragma once
// Reading the update manifest: its first version line and the version it names, compared with
// the program's own version as exact strings (any difference counts as an update).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Major, minor and revision as decimal numbers joined by ".".
std::wstring LocalVersionString(int major, int minor, int revision);

// A line that contains "version" in any letter case.
bool IsVersionLine(std::wstring_view line);

// The value of a version line: its text from the ninth character on, blanks (not tabs) trimmed
// from both ends. The key is expected to be "version" and one separator.
std::wstring VersionValue(std::wstring_view line);

// The value of the first version line of the manifest's lines; nullopt when there is none.
std::optional<std::wstring> ManifestVersion(const std::vector<std::wstring>& lines);

}  // namespace corvane
