#pragma once
// Reading a text file in the system's ANSI code page (GBK on the players' systems) line by line.

#include <optional>
#include <string>
#include <vector>

namespace rt {

// The file's lines converted to UTF-16; nullopt when the file cannot be opened.
std::optional<std::vector<std::wstring>> ReadAnsiLines(const std::wstring& path);

// Text in the ANSI code page as UTF-16, and back.
std::wstring FromAnsi(const std::string& text);
std::string ToAnsi(const std::wstring& text);

}  // namespace rt
