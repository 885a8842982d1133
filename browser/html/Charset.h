#pragma once
// Which encoding a document's bytes are in, and their decoding into UTF-8. UTF-8 and Latin-1 are
// decoded here; GBK's table belongs to the platform, so its look-up is passed in.

#include <functional>
#include <string>
#include <string_view>

namespace browser {

enum class Charset { Utf8, Gbk, Windows1252 };

// "utf-8", "gb2312", "GBK", "gb18030", "iso-8859-1"...; Utf8 for anything unknown.
Charset CharsetFromLabel(std::string_view label);

// The charset parameter of a Content-Type value ("text/html; charset=gbk"), or "" when absent.
std::string CharsetParameter(std::string_view contentType);

// Decides like a browser: a byte-order mark, then the HTTP header, then a <meta> in the first
// 1024 bytes, then UTF-8.
Charset SniffCharset(std::string_view bytes, std::string_view contentType);

// Maps one valid GBK double-byte sequence to a code point, 0 when the table has no character.
using GbkLookup = std::function<char32_t(unsigned char lead, unsigned char trail)>;

// Always valid UTF-8; undecodable bytes become U+FFFD. A leading byte-order mark is dropped.
std::string DecodeToUtf8(std::string_view bytes, Charset charset, const GbkLookup& gbk);

}  // namespace browser
