#include "browser/html/Css.h"

#include <array>
#include <charconv>
#include <cstdlib>

#include "browser/html/Utf8.h"

namespace browser {
namespace {

struct NamedColor {
    std::string_view name;
    Rgb rgb;
};

constexpr std::array<NamedColor, 22> kColors{{
    {"black", 0x000000}, {"silver", 0xC0C0C0}, {"gray", 0x808080},   {"grey", 0x808080},
    {"white", 0xFFFFFF}, {"maroon", 0x800000}, {"red", 0xFF0000},    {"purple", 0x800080},
    {"fuchsia", 0xFF00FF}, {"green", 0x008000}, {"lime", 0x00FF00},  {"olive", 0x808000},
    {"yellow", 0xFFFF00}, {"navy", 0x000080},  {"blue", 0x0000FF},   {"teal", 0x008080},
    {"aqua", 0x00FFFF},  {"orange", 0xFFA500}, {"gold", 0xFFD700},   {"pink", 0xFFC0CB},
    {"brown", 0xA52A2A}, {"darkred", 0x8B0000},
}};

int Hex(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<Rgb> ParseHex(std::string_view h)
{
    for (char c : h)
        if (Hex(c) < 0) return std::nullopt;
    if (h.size() == 3) {
        Rgb v = 0;
        for (char c : h) v = (v << 8) | (Hex(c) * 17);
        return v;
    }
    if (h.size() == 6) {
        Rgb v = 0;
        for (char c : h) v = (v << 4) | Hex(c);
        return v;
    }
    return std::nullopt;
}

// HTML's legacy colour rules: any string becomes some colour ("chucknorris" is red-ish).
Rgb LegacyColor(std::string_view text)
{
    std::string s;
    for (char c : text) s += Hex(c) < 0 ? '0' : c;
    if (s.size() > 128) s.resize(128);
    while (s.empty() || s.size() % 3) s += '0';
    std::size_t len = s.size() / 3;
    std::array<std::string, 3> parts{s.substr(0, len), s.substr(len, len), s.substr(2 * len, len)};
    while (len > 8) {
        for (auto& p : parts) p.erase(0, 1);
        --len;
    }
    while (len > 2 && parts[0][0] == '0' && parts[1][0] == '0' && parts[2][0] == '0') {
        for (auto& p : parts) p.erase(0, 1);
        --len;
    }
    Rgb v = 0;
    for (auto& p : parts) v = (v << 8) | (Hex(p[0]) * 16 + (len > 1 ? Hex(p[1]) : 0));
    return v;
}

bool ParseNumber(std::string_view text, double& value)
{
    text = TrimAsciiSpace(text);
    if (text.empty() || text.size() > 32) return false;
    const std::string s(text);
    char* end = nullptr;
    value = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size() && value == value;
}

}  // namespace

std::optional<Rgb> ParseColor(std::string_view text, bool legacy)
{
    text = TrimAsciiSpace(text);
    if (text.empty()) return std::nullopt;
    const std::string lower = AsciiLowercase(text);
    if (lower == "transparent") return std::nullopt;
    for (const auto& c : kColors)
        if (c.name == lower) return c.rgb;
    if (text.front() == '#') {
        if (auto v = ParseHex(text.substr(1))) return v;
        if (!legacy) return std::nullopt;
        return LegacyColor(text.substr(1));
    }
    if (lower.starts_with("rgb(") && lower.ends_with(")")) {
        std::string_view inner = std::string_view(lower).substr(4, lower.size() - 5);
        Rgb v = 0;
        for (int i = 0; i < 3; ++i) {
            const std::size_t comma = inner.find(',');
            if ((comma == std::string_view::npos) != (i == 2)) return std::nullopt;
            double n = 0;
            if (!ParseNumber(inner.substr(0, comma), n)) return std::nullopt;
            v = (v << 8) | static_cast<Rgb>(n < 0 ? 0 : n > 255 ? 255 : n);
            inner = comma == std::string_view::npos ? std::string_view{} : inner.substr(comma + 1);
        }
        return v;
    }
    if (!legacy) return std::nullopt;
    if (auto v = ParseHex(text); v && text.size() == 6) return v;
    return LegacyColor(text);
}

std::vector<std::pair<std::string, std::string>> ParseDeclarations(std::string_view style)
{
    std::vector<std::pair<std::string, std::string>> out;
    std::size_t pos = 0;
    while (pos < style.size()) {
        std::size_t end = style.find(';', pos);
        if (end == std::string_view::npos) end = style.size();
        const std::string_view decl = style.substr(pos, end - pos);
        const std::size_t colon = decl.find(':');
        if (colon != std::string_view::npos) {
            const std::string name = AsciiLowercase(TrimAsciiSpace(decl.substr(0, colon)));
            std::string_view value = TrimAsciiSpace(decl.substr(colon + 1));
            if (value.size() >= 10 && EqualsIgnoreCase(value.substr(value.size() - 10), "!important"))
                value = TrimAsciiSpace(value.substr(0, value.size() - 10));
            if (!name.empty()) out.emplace_back(name, std::string(value));
        }
        pos = end + 1;
    }
    return out;
}

std::optional<Length> ParseLength(std::string_view text, double emBase)
{
    text = TrimAsciiSpace(text);
    std::string lower = AsciiLowercase(text);
    double factor = 1;
    bool percent = false;
    std::string_view number = lower;
    if (lower.ends_with("px")) number.remove_suffix(2);
    else if (lower.ends_with("pt")) number.remove_suffix(2), factor = 96.0 / 72.0;
    else if (lower.ends_with("em")) number.remove_suffix(2), factor = emBase;
    else if (lower.ends_with("%")) number.remove_suffix(1), percent = true;
    double v = 0;
    if (!ParseNumber(number, v) || v < -100000 || v > 100000) return std::nullopt;
    return Length{v * factor, percent};
}

std::optional<std::vector<double>> ParseBoxShorthand(std::string_view text, double emBase)
{
    std::vector<double> values;
    std::size_t pos = 0;
    text = TrimAsciiSpace(text);
    while (pos < text.size()) {
        while (pos < text.size() && IsAsciiSpace(text[pos])) ++pos;
        std::size_t end = pos;
        while (end < text.size() && !IsAsciiSpace(text[end])) ++end;
        if (end == pos) break;
        const std::string_view word = text.substr(pos, end - pos);
        double v = 0;
        if (EqualsIgnoreCase(word, "auto")) v = 0;
        else if (auto l = ParseLength(word, emBase); l && !l->percent) v = l->value;
        else return std::nullopt;
        values.push_back(v);
        pos = end;
    }
    switch (values.size()) {
    case 1: return std::vector<double>{values[0], values[0], values[0], values[0]};
    case 2: return std::vector<double>{values[0], values[1], values[0], values[1]};
    case 3: return std::vector<double>{values[0], values[1], values[2], values[1]};
    case 4: return values;
    default: return std::nullopt;
    }
}

}  // namespace browser
