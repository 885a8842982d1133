#pragma once
// UTF-8 (the engine's text) to and from UTF-16 (the platform's), and GBK through code page 936.

#include <string>
#include <string_view>

namespace browser {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// Code page 936 bytes of a UTF-8 text (for forms of GBK pages); unmappable characters become "?".
std::string Utf8ToGbk(std::string_view utf8);
// The look-up the decoder needs for GBK documents.
char32_t GbkPair(unsigned char lead, unsigned char trail);

}  // namespace browser
