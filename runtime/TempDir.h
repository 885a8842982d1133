#pragma once
// The temporary directory as the program uses it: always exactly one trailing "\".

#include <string>
#include <string_view>

namespace corvane {

// Normalises what the platform put into its buffer: cut at the first NUL, trailing backslashes
// reduced to exactly one.
std::wstring NormalizeTempDir(std::wstring_view buffer);

// The system's temporary directory, normalised, however long its path (Windows only).
std::wstring SystemTempDir();

}  // namespace corvane
