#include "browser/html/Entities.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "browser/html/Utf8.h"

namespace browser {
namespace {

struct NamedReference {
    std::string_view name;
    char32_t codePoint;
    bool legacy;  // recognised without the closing ";"
};

// The references pages of this kind use; anything else stays literal text.
constexpr std::array<NamedReference, 58> kNamed{{
    {"AElig", 0xC6, true},   {"Aacute", 0xC1, true}, {"Eacute", 0xC9, true}, {"amp", 0x26, true},
    {"aacute", 0xE1, true},  {"acute", 0xB4, true},  {"apos", 0x27, false},  {"bull", 0x2022, false},
    {"cent", 0xA2, true},    {"copy", 0xA9, true},   {"darr", 0x2193, false}, {"deg", 0xB0, true},
    {"divide", 0xF7, true},  {"eacute", 0xE9, true}, {"emsp", 0x2003, false}, {"ensp", 0x2002, false},
    {"euro", 0x20AC, false}, {"frac12", 0xBD, true}, {"gt", 0x3E, true},     {"hellip", 0x2026, false},
    {"iexcl", 0xA1, true},   {"laquo", 0xAB, true},  {"larr", 0x2190, false}, {"ldquo", 0x201C, false},
    {"lsaquo", 0x2039, false}, {"lsquo", 0x2018, false}, {"lt", 0x3C, true}, {"mdash", 0x2014, false},
    {"micro", 0xB5, true},   {"middot", 0xB7, true}, {"nbsp", 0xA0, true},   {"ndash", 0x2013, false},
    {"not", 0xAC, true},     {"ordf", 0xAA, true},   {"para", 0xB6, true},   {"plusmn", 0xB1, true},
    {"pound", 0xA3, true},   {"quot", 0x22, true},   {"raquo", 0xBB, true},  {"rarr", 0x2192, false},
    {"rdquo", 0x201D, false}, {"reg", 0xAE, true},   {"rsaquo", 0x203A, false}, {"rsquo", 0x2019, false},
    {"sect", 0xA7, true},    {"shy", 0xAD, true},    {"sup1", 0xB9, true},   {"sup2", 0xB2, true},
    {"sup3", 0xB3, true},    {"szlig", 0xDF, true},  {"thinsp", 0x2009, false}, {"times", 0xD7, true},
    {"trade", 0x2122, false}, {"uarr", 0x2191, false}, {"uml", 0xA8, true},  {"yen", 0xA5, true},
    {"zwj", 0x200D, false},  {"zwnj", 0x200C, false},
}};

// Numeric references to C1 controls mean the Windows-1252 characters, as browsers read them.
constexpr std::array<char16_t, 32> kWindows1252High{{
    0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0x8D, 0x017D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178,
}};

bool IsAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

char32_t FixNumeric(std::uint32_t value)
{
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacementChar;
    if (value >= 0x80 && value <= 0x9F) return kWindows1252High[value - 0x80];
    return value;
}

// Tries a numeric reference at text[pos] == '#'; returns the length consumed after '&' or 0.
std::size_t Numeric(std::string_view text, std::size_t pos, char32_t& out)
{
    std::size_t i = pos + 1;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    const std::size_t digitsStart = i;
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = hex ? HexValue(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (d < 0) break;
        value = std::min<std::uint32_t>(value * (hex ? 16 : 10) + d, 0x110000);
    }
    if (i == digitsStart) return 0;
    if (i < text.size() && text[i] == ';') ++i;
    out = FixNumeric(value);
    return i - pos;
}

std::size_t Named(std::string_view text, std::size_t pos, bool inAttribute, char32_t& out)
{
    std::size_t end = pos;
    while (end < text.size() && IsAlnum(text[end]) && end - pos < 32) ++end;
    const std::string_view word = text.substr(pos, end - pos);
    const bool semicolon = end < text.size() && text[end] == ';';
    // The longest legacy name that prefixes the word wins when there is no ";" ("&notit" is "¬it").
    const NamedReference* best = nullptr;
    for (const auto& ref : kNamed) {
        if (semicolon && word == ref.name) {
            out = ref.codePoint;
            return word.size() + 1;
        }
        if (ref.legacy && word.starts_with(ref.name) && (!best || ref.name.size() > best->name.size()))
            best = &ref;
    }
    if (!best) return 0;
    if (inAttribute && (best->name.size() < word.size() || (end < text.size() && text[end] == '=')))
        return 0;
    out = best->codePoint;
    return best->name.size();
}

}  // namespace

std::string DecodeCharacterReferences(std::string_view text, bool inAttribute)
{
    if (text.find('&') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t amp = text.find('&', pos);
        if (amp == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, amp - pos));
        pos = amp + 1;
        char32_t cp = 0;
        std::size_t used = 0;
        if (pos < text.size() && text[pos] == '#')
            used = Numeric(text, pos, cp);
        else if (pos < text.size() && IsAlnum(text[pos]))
            used = Named(text, pos, inAttribute, cp);
        if (used == 0) {
            out += '&';
            continue;
        }
        AppendUtf8(out, cp);
        pos += used;
    }
    return out;
}

}  // namespace browser
