#pragma once
// UTF-8 is the text form of the whole engine: bytes from the network are decoded into it once,
// the DOM keeps it, and the window code converts to UTF-16 only to draw.

#include <cstddef>
#include <string>
#include <string_view>

namespace browser {

inline constexpr char32_t kReplacementChar = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp);

// Decodes one code point at `pos` and advances it; an invalid or truncated sequence yields
// U+FFFD and advances by one byte, so every input makes progress.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

// The text with every invalid sequence replaced by U+FFFD.
std::string SanitizeUtf8(std::string_view text);

// Length in UTF-16 code units, which is what a browser counts as characters.
std::size_t Utf16Length(std::string_view utf8);

bool IsAsciiSpace(char c);
char AsciiLower(char c);
std::string AsciiLowercase(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string_view TrimAsciiSpace(std::string_view text);

}  // namespace browser
