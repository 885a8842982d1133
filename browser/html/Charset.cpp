#include "browser/html/Charset.h"

#include "browser/html/Utf8.h"

namespace browser {
namespace {

std::string_view ValueAfter(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && IsAsciiSpace(text[pos])) ++pos;
    if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
        const char quote = text[pos++];
        const std::size_t end = text.find(quote, pos);
        return end == std::string_view::npos ? std::string_view{} : text.substr(pos, end - pos);
    }
    std::size_t end = pos;
    while (end < text.size() && !IsAsciiSpace(text[end]) && text[end] != ';' && text[end] != '"' &&
           text[end] != '\'' && text[end] != '>' && text[end] != '/')
        ++end;
    return text.substr(pos, end - pos);
}

// "charset" followed by optional spaces and "=": the value after it.
bool FindCharsetValue(std::string_view text, std::string& value)
{
    const std::string lower = AsciiLowercase(text);
    std::size_t pos = 0;
    while ((pos = lower.find("charset", pos)) != std::string::npos) {
        std::size_t i = pos + 7;
        while (i < lower.size() && IsAsciiSpace(lower[i])) ++i;
        if (i < lower.size() && lower[i] == '=') {
            value = std::string(ValueAfter(text, i + 1));
            return !value.empty();
        }
        pos += 7;
    }
    return false;
}

}  // namespace

Charset CharsetFromLabel(std::string_view label)
{
    const std::string l = AsciiLowercase(TrimAsciiSpace(label));
    if (l == "gbk" || l == "gb2312" || l == "gb18030" || l == "x-gbk" || l == "chinese" || l == "cp936" ||
        l == "csgb2312" || l == "iso-ir-58" || l == "windows-936")
        return Charset::Gbk;
    if (l == "iso-8859-1" || l == "latin1" || l == "windows-1252" || l == "us-ascii" || l == "ascii" ||
        l == "l1" || l == "cp1252")
        return Charset::Windows1252;
    return Charset::Utf8;
}

std::string CharsetParameter(std::string_view contentType)
{
    std::string value;
    return FindCharsetValue(contentType, value) ? value : std::string{};
}

Charset SniffCharset(std::string_view bytes, std::string_view contentType)
{
    if (bytes.starts_with("\xEF\xBB\xBF")) return Charset::Utf8;
    const std::string header = CharsetParameter(contentType);
    if (!header.empty()) return CharsetFromLabel(header);
    const std::string_view head = bytes.substr(0, 1024);
    const std::string lower = AsciiLowercase(head);
    std::size_t pos = 0;
    while ((pos = lower.find("<meta", pos)) != std::string::npos) {
        const std::size_t end = lower.find('>', pos);
        const std::string_view tag = std::string_view(head).substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        std::string value;
        if (FindCharsetValue(tag, value)) return CharsetFromLabel(value);
        pos += 5;
    }
    return Charset::Utf8;
}

std::string DecodeToUtf8(std::string_view bytes, Charset charset, const GbkLookup& gbk)
{
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
        charset = Charset::Utf8;
    }
    if (charset == Charset::Utf8) return SanitizeUtf8(bytes);
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else if (charset == Charset::Windows1252) {
            // The C1 range of Windows-1252 matters little here; the rest is Latin-1.
            AppendUtf8(out, b == 0x80 ? 0x20AC : b);
        } else if (b == 0x80 || b == 0xFF || i + 1 >= bytes.size()) {
            AppendUtf8(out, kReplacementChar);
        } else {
            const auto trail = static_cast<unsigned char>(bytes[i + 1]);
            if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
                // Not a pair: the lead byte alone is the error; the next byte starts afresh.
                AppendUtf8(out, kReplacementChar);
                continue;
            }
            const char32_t cp = gbk ? gbk(b, trail) : 0;
            AppendUtf8(out, cp ? cp : kReplacementChar);
            ++i;
        }
    }
    return out;
}

}  // namespace browser
